#include "DisplayDepth.h"

#include <QGuiApplication>
#include <QScreen>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

namespace glpanel {

int DisplayBitsPerPixel()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return 0;
    const int depth = screen->depth();
    // The X server says how it stores a pixel of each depth.
    if (auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()) {
        const xcb_setup_t* setup = xcb_get_setup(x11->connection());
        for (xcb_format_iterator_t format = xcb_setup_pixmap_formats_iterator(setup); format.rem;
             xcb_format_next(&format))
            if (format.data->depth == depth)
                return format.data->bits_per_pixel;
    }
    // Elsewhere pixels take whole bytes, and 24-bit colour a 32-bit word.
    return depth > 16 ? 32 : depth > 8 ? 16 : depth;
}

} // namespace glpanel
