#include "QtPanelPlatform.h"

#include "DisplayDepth.h"
#include "GlyphLists.h"

#include <QGuiApplication>
#include <QOpenGLContext>
#include <QScreen>
#include <QWindow>
#include <GL/gl.h>
#include <new>

namespace glpanel {
namespace {

// Restores whatever context was current when it was made.
class CurrentContextGuard {
public:
    CurrentContextGuard() : m_context(QOpenGLContext::currentContext()), m_surface(m_context ? m_context->surface() : nullptr) {}
    ~CurrentContextGuard()
    {
        if (m_context && m_surface)
            m_context->makeCurrent(m_surface);
        else if (QOpenGLContext* now = QOpenGLContext::currentContext())
            now->doneCurrent();
    }
    CurrentContextGuard(const CurrentContextGuard&) = delete;
    CurrentContextGuard& operator=(const CurrentContextGuard&) = delete;

private:
    QOpenGLContext* m_context;
    QSurface* m_surface;
};

int ChannelBits(int bits) { return bits < 0 ? 8 : bits; }

} // namespace

QtPanelPlatform::QtPanelPlatform() = default;

QtPanelPlatform::~QtPanelPlatform()
{
    if (m_contexts.empty()) return;
    if (QOpenGLContext* current = QOpenGLContext::currentContext())
        for (auto& [handle, entry] : m_contexts)
            if (entry.context.get() == current) current->doneCurrent();
}

std::shared_ptr<PanelPlatform> QtPanelPlatform::Shared()
{
    // Lives as long as some panel uses it, so that it never outlives the application.
    static std::weak_ptr<PanelPlatform> shared;
    std::shared_ptr<PanelPlatform> platform = shared.lock();
    if (!platform) {
        platform = std::make_shared<QtPanelPlatform>();
        shared = platform;
    }
    return platform;
}

QWindow* QtPanelPlatform::WindowOf(DeviceContext dc) const
{
    const auto it = m_windows.find(dc);
    return it == m_windows.end() ? nullptr : it->second.data();
}

QOpenGLContext* QtPanelPlatform::ContextOf(RenderingContext rc) const
{
    const auto it = m_contexts.find(rc);
    return it == m_contexts.end() ? nullptr : it->second.context.get();
}

QSurfaceFormat QtPanelPlatform::SurfaceFormatFor(const PixelFormatDescriptor& request)
{
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setSwapBehavior((request.dwFlags & PFD_DOUBLEBUFFER) ? QSurfaceFormat::DoubleBuffer : QSurfaceFormat::SingleBuffer);
    const int channel = request.cColorBits >= 24 ? 8 : request.cColorBits >= 15 ? 5 : 3;
    format.setRedBufferSize(channel);
    format.setGreenBufferSize(channel == 5 ? 6 : channel);
    format.setBlueBufferSize(channel == 3 ? 2 : channel);
    format.setAlphaBufferSize(request.cAlphaBits);
    // Like ChoosePixelFormat, take the deepest buffer the system has when more is asked.
    format.setDepthBufferSize(std::min<int>(request.cDepthBits, 24));
    format.setStencilBufferSize(request.cStencilBits);
    format.setStereo(request.dwFlags & PFD_STEREO);
    return format;
}

void QtPanelPlatform::PrepareWindow(QWindow* window, const PixelFormatDescriptor& request)
{
    window->setSurfaceType(QSurface::OpenGLSurface);
    window->setFormat(SurfaceFormatFor(request));
}

DeviceContext QtPanelPlatform::GetDC(QWindow* window)
{
    if (window == nullptr || window->handle() == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    for (const auto& [dc, w] : m_windows)
        if (w == window) return dc;
    const DeviceContext dc = m_nextHandle++;
    m_windows[dc] = window;
    return dc;
}

int QtPanelPlatform::ChoosePixelFormat(DeviceContext dc, const PixelFormatDescriptor& request)
{
    // Colour-index surfaces and surfaces OpenGL cannot draw on do not exist here.
    const bool usable = WindowOf(dc) != nullptr && request.iPixelType == PFD_TYPE_RGBA &&
                        (request.dwFlags & PFD_SUPPORT_OPENGL) && (request.dwFlags & PFD_DRAW_TO_WINDOW);
    if (!usable) {
        SetLastError(WindowOf(dc) ? ERROR_INVALID_PIXEL_FORMAT : ERROR_INVALID_HANDLE);
        return 0;
    }
    m_formats.push_back(SurfaceFormatFor(request));
    return int(m_formats.size());
}

int QtPanelPlatform::SetPixelFormat(DeviceContext dc, int format, const PixelFormatDescriptor&)
{
    QWindow* window = WindowOf(dc);
    if (window == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    if (format < 1 || format > int(m_formats.size())) {
        SetLastError(ERROR_INVALID_PIXEL_FORMAT);
        return 0;
    }
    const QSurfaceFormat& wanted = m_formats[format - 1];
    if (window->handle() == nullptr) {
        window->setFormat(wanted);
        return 1;
    }
    // A native window keeps the format it was made with, as a Windows window keeps its first one.
    const bool wantsDouble = wanted.swapBehavior() != QSurfaceFormat::SingleBuffer;
    const bool hasDouble = window->requestedFormat().swapBehavior() != QSurfaceFormat::SingleBuffer;
    if (wantsDouble != hasDouble || window->surfaceType() != QSurface::OpenGLSurface) {
        SetLastError(ERROR_INVALID_PIXEL_FORMAT);
        return 0;
    }
    return 1;
}

int QtPanelPlatform::DescribePixelFormat(DeviceContext dc, int format, PixelFormatDescriptor& out)
{
    QWindow* window = WindowOf(dc);
    if (window == nullptr || format < 1 || format > int(m_formats.size())) {
        SetLastError(window ? ERROR_INVALID_PIXEL_FORMAT : ERROR_INVALID_HANDLE);
        return 0;
    }
    const QSurfaceFormat actual = window->handle() ? window->format() : m_formats[format - 1];
    const bool doubleBuffered = actual.swapBehavior() != QSurfaceFormat::SingleBuffer;
    out = PixelFormatDescriptor{};
    out.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | (doubleBuffered ? PFD_DOUBLEBUFFER : PFD_SUPPORT_GDI) |
                  (actual.stereo() ? std::uint32_t(PFD_STEREO) : 0u);
    out.iPixelType = PFD_TYPE_RGBA;
    out.cRedBits = std::uint8_t(ChannelBits(actual.redBufferSize()));
    out.cGreenBits = std::uint8_t(ChannelBits(actual.greenBufferSize()));
    out.cBlueBits = std::uint8_t(ChannelBits(actual.blueBufferSize()));
    out.cAlphaBits = std::uint8_t(std::max(0, actual.alphaBufferSize()));
    out.cBlueShift = 0;
    out.cGreenShift = out.cBlueBits;
    out.cRedShift = std::uint8_t(out.cBlueBits + out.cGreenBits);
    out.cAlphaShift = std::uint8_t(out.cRedShift + out.cRedBits);
    out.cColorBits = std::uint8_t(out.cRedBits + out.cGreenBits + out.cBlueBits);
    out.cDepthBits = std::uint8_t(std::max(0, actual.depthBufferSize()));
    out.cStencilBits = std::uint8_t(std::max(0, actual.stencilBufferSize()));
    return int(m_formats.size());
}

int QtPanelPlatform::ReleaseDC(QWindow* window, DeviceContext dc)
{
    const auto it = m_windows.find(dc);
    if (it == m_windows.end() || it->second != window) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    m_windows.erase(it);
    m_contextOfDc.erase(dc);
    m_selectedPalette.erase(dc);
    return 1;
}

RenderingContext QtPanelPlatform::CreateContext(DeviceContext dc)
{
    QWindow* window = WindowOf(dc);
    if (window == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    auto context = std::make_unique<QOpenGLContext>();
    context->setFormat(window->requestedFormat());
    context->setScreen(window->screen());
    if (!context->create()) {
        SetLastError(ERROR_INVALID_PIXEL_FORMAT);
        return 0;
    }
    const RenderingContext rc = m_nextHandle++;
    m_contexts[rc] = Context{std::move(context), dc};
    m_contextOfDc[dc] = rc;
    return rc;
}

bool QtPanelPlatform::MakeCurrent(DeviceContext dc, RenderingContext rc)
{
    if (rc == 0) {
        if (QOpenGLContext* current = QOpenGLContext::currentContext()) current->doneCurrent();
        return true;
    }
    QWindow* window = WindowOf(dc);
    QOpenGLContext* context = ContextOf(rc);
    if (window == nullptr || context == nullptr || window->handle() == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    if (!context->makeCurrent(window)) {
        SetLastError(ERROR_INVALID_PIXEL_FORMAT);
        return false;
    }
    m_contextOfDc[dc] = rc;
    m_contexts[rc].everCurrent = true;
    return true;
}

bool QtPanelPlatform::DeleteContext(RenderingContext rc)
{
    const auto it = m_contexts.find(rc);
    if (it == m_contexts.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    if (QOpenGLContext::currentContext() == it->second.context.get()) it->second.context->doneCurrent();
    m_contexts.erase(it);
    std::erase_if(m_contextOfDc, [rc](const auto& entry) { return entry.second == rc; });
    return true;
}

bool QtPanelPlatform::ShareLists(RenderingContext first, RenderingContext second)
{
    QOpenGLContext* source = ContextOf(first);
    const auto it = m_contexts.find(second);
    if (source == nullptr || it == m_contexts.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    QOpenGLContext* target = it->second.context.get();
    if (QOpenGLContext::areSharing(source, target)) return true;
    // Qt shares only between contexts made as a sharing pair, so the second context is
    // made again sharing the first. That would lose whatever it holds, so, as wglShareLists
    // wants a context without lists, one that has ever been current is refused.
    if (it->second.everCurrent || QOpenGLContext::currentContext() == target) {
        SetLastError(ERROR_BUSY);
        return false;
    }
    auto replacement = std::make_unique<QOpenGLContext>();
    replacement->setFormat(target->format());
    replacement->setScreen(target->screen());
    replacement->setShareContext(source);
    if (!replacement->create() || !QOpenGLContext::areSharing(source, replacement.get())) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return false;
    }
    it->second.context = std::move(replacement);
    return true;
}

bool QtPanelPlatform::SwapBuffers(DeviceContext dc)
{
    QWindow* window = WindowOf(dc);
    const auto rc = m_contextOfDc.find(dc);
    QOpenGLContext* context = rc == m_contextOfDc.end() ? nullptr : ContextOf(rc->second);
    if (window == nullptr || context == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    if (!window->isExposed()) return true;  // nothing on screen to show it in
    if (QOpenGLContext::currentContext() == context && context->surface() == window) {
        context->swapBuffers(window);
        return true;
    }
    CurrentContextGuard restore;
    if (!context->makeCurrent(window)) {
        SetLastError(ERROR_INVALID_PIXEL_FORMAT);
        return false;
    }
    context->swapBuffers(window);
    return true;
}

PaletteHandle QtPanelPlatform::CreatePalette(const std::vector<PaletteEntry>& entries)
{
    if (entries.empty()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const PaletteHandle palette = m_nextHandle++;
    m_palettes[palette] = entries;
    return palette;
}

PaletteHandle QtPanelPlatform::SelectPalette(DeviceContext dc, PaletteHandle palette, bool)
{
    if (WindowOf(dc) == nullptr || (palette != kStockPalette && !m_palettes.contains(palette))) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    auto [it, inserted] = m_selectedPalette.try_emplace(dc, kStockPalette);
    const PaletteHandle previous = it->second;
    it->second = palette;
    return previous;
}

int QtPanelPlatform::RealizePalette(DeviceContext dc)
{
    if (WindowOf(dc) == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return GDI_ERROR;
    }
    return 0;  // a true-colour display has no system palette to change
}

bool QtPanelPlatform::DeleteObject(PaletteHandle palette)
{
    if (palette == kStockPalette) return true;
    if (m_palettes.erase(palette) == 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    return true;
}

void QtPanelPlatform::InvalidateWindow(QWindow* window)
{
    if (window) window->requestUpdate();
}

bool QtPanelPlatform::Allocate(std::vector<std::uint8_t>& buffer, std::size_t bytes)
{
    try {
        buffer.assign(bytes, 0);
        return true;
    } catch (const std::bad_alloc&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
}

ListName QtPanelPlatform::GenLists(int count)
{
    if (count <= 0 || QOpenGLContext::currentContext() == nullptr) return 0;
    return glGenLists(count);
}

void QtPanelPlatform::DeleteLists(ListName base, int count)
{
    if (base != 0 && count > 0 && QOpenGLContext::currentContext() != nullptr) glDeleteLists(base, count);
}

bool QtPanelPlatform::UseFontBitmaps(DeviceContext, const TPanelFont& font, int first, int count, ListName base)
{
    if (QOpenGLContext::currentContext() == nullptr) return false;
    return BuildBitmapGlyphLists(font, first, count, base);
}

bool QtPanelPlatform::UseFontOutlines(DeviceContext, const TPanelFont& font, int first, int count, ListName base,
                                      float deviation, float extrusion, int format, GlyphMetricsFloat* metrics)
{
    if (QOpenGLContext::currentContext() == nullptr) return false;
    return BuildOutlineGlyphLists(font, first, count, base, deviation, extrusion, format, metrics);
}

const char* QtPanelPlatform::ExtensionString()
{
    if (QOpenGLContext::currentContext() == nullptr) return nullptr;
    return reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
}

int QtPanelPlatform::ScreenBitsPerPixel()
{
    return DisplayBitsPerPixel();
}

bool QtPanelPlatform::ChangeDisplayBitsPerPixel(int bitsPerPixel)
{
    // The display already has that depth: nothing to change.
    if (bitsPerPixel == DisplayBitsPerPixel())
        return true;
    // Qt has no way to change the display mode; the X server's depth is fixed at start.
    SetLastError(ERROR_NOT_SUPPORTED);
    return false;
}

QImage QtPanelPlatform::GrabWindow(DeviceContext dc, QSize size)
{
    // What the X server shows in the window, as BitBlt from a window DC gives on Windows.
    // Reading the front buffer through GL is no substitute: Mesa's software rasteriser
    // keeps no front buffer for double-buffered windows.
    QWindow* window = WindowOf(dc);
    QScreen* screen = window ? window->screen() : nullptr;
    if (screen == nullptr || size.isEmpty()) return {};
    return screen->grabWindow(window->winId(), 0, 0, size.width(), size.height()).toImage().convertToFormat(QImage::Format_RGB32);
}

} // namespace glpanel
