#pragma once

#include "Palette.h"
#include "PanelFont.h"
#include "PixelFormat.h"

#include <QImage>
#include <QSize>
#include <cstddef>
#include <cstdint>
#include <vector>

class QWindow;

namespace glpanel {

// Handles of platform objects; 0 means none.
using DeviceContext = std::uint32_t;
using RenderingContext = std::uint32_t;
using PaletteHandle = std::uint32_t;
using ListName = std::uint32_t;

constexpr int GDI_ERROR = -1;

// System error codes the platform reports through GetLastError (Windows numbering).
enum : unsigned long {
    ERROR_INVALID_HANDLE = 6,
    ERROR_NOT_ENOUGH_MEMORY = 8,
    ERROR_NOT_SUPPORTED = 50,
    ERROR_INVALID_PARAMETER = 87,
    ERROR_BUSY = 170,
    ERROR_INVALID_PIXEL_FORMAT = 2000,
};

// Per-glyph metrics of an outline font, in em units, y up.
struct GlyphMetricsFloat {
    float gmfBlackBoxX = 0;
    float gmfBlackBoxY = 0;
    struct {
        float x = 0;
        float y = 0;
    } gmfptGlyphOrigin;
    float gmfCellIncX = 0;
    float gmfCellIncY = 0;
};

// The window-system and OpenGL operations the panel is built on. The panel calls only
// these, so a test implementation can make any of them fail.
class PanelPlatform {
public:
    virtual ~PanelPlatform() = default;

    // Window binding. The format is bound when the native window is made (X11 picks the
    // visual then), so the panel prepares the window with its request beforehand.
    virtual void PrepareWindow(QWindow* window, const PixelFormatDescriptor& request) = 0;
    // The window's one device context; the same value for the window's whole life.
    virtual DeviceContext GetDC(QWindow* window) = 0;
    // A format number, 0 when nothing matches.
    virtual int ChoosePixelFormat(DeviceContext dc, const PixelFormatDescriptor& request) = 0;
    // 1 on success.
    virtual int SetPixelFormat(DeviceContext dc, int format, const PixelFormatDescriptor& request) = 0;
    // Fills the descriptor of the format; the number of formats, 0 on failure.
    virtual int DescribePixelFormat(DeviceContext dc, int format, PixelFormatDescriptor& out) = 0;
    // 0 on failure.
    virtual int ReleaseDC(QWindow* window, DeviceContext dc) = 0;
    virtual unsigned long GetLastError() const = 0;

    // Contexts. MakeCurrent(0, 0) makes no context current.
    virtual RenderingContext CreateContext(DeviceContext dc) = 0;
    virtual bool MakeCurrent(DeviceContext dc, RenderingContext rc) = 0;
    virtual bool DeleteContext(RenderingContext rc) = 0;
    // Lets second use the display lists of first.
    virtual bool ShareLists(RenderingContext first, RenderingContext second) = 0;
    virtual bool SwapBuffers(DeviceContext dc) = 0;

    // Palettes.
    virtual PaletteHandle CreatePalette(const std::vector<PaletteEntry>& entries) = 0;
    // The previously selected palette, 0 on failure.
    virtual PaletteHandle SelectPalette(DeviceContext dc, PaletteHandle palette, bool background) = 0;
    // Entries changed in the system palette, or GDI_ERROR.
    virtual int RealizePalette(DeviceContext dc) = 0;
    virtual PaletteHandle DefaultPalette() = 0;
    virtual bool DeleteObject(PaletteHandle palette) = 0;
    virtual void InvalidateWindow(QWindow* window) = 0;

    // Memory for the component's own buffers; false when it cannot be had.
    virtual bool Allocate(std::vector<std::uint8_t>& buffer, std::size_t bytes) = 0;

    // Display lists and fonts, in the current context. GenLists gives 0 when none are free.
    virtual ListName GenLists(int count) = 0;
    virtual void DeleteLists(ListName base, int count) = 0;
    virtual bool UseFontBitmaps(DeviceContext dc, const TPanelFont& font, int first, int count, ListName base) = 0;
    virtual bool UseFontOutlines(DeviceContext dc, const TPanelFont& font, int first, int count, ListName base,
                                 float deviation, float extrusion, int format, GlyphMetricsFloat* metrics) = 0;

    // Queries.
    // Extension list of the current context, or null.
    virtual const char* ExtensionString() = 0;
    virtual int ScreenBitsPerPixel() = 0;
    virtual bool ChangeDisplayBitsPerPixel(int bitsPerPixel) = 0;
    // What the window shows on the screen.
    virtual QImage GrabWindow(DeviceContext dc, QSize size) = 0;
};

} // namespace glpanel
