#pragma once

#include "PanelPlatform.h"

#include <QPointer>
#include <QSurfaceFormat>
#include <map>
#include <memory>

class QOpenGLContext;

namespace glpanel {

// The platform on Qt's OpenGL classes with the system's OpenGL 1.x and GLU: a device
// context stands for a native QWindow, a rendering context for a QOpenGLContext.
class QtPanelPlatform : public PanelPlatform {
public:
    QtPanelPlatform();
    ~QtPanelPlatform() override;

    // The instance panels share unless given another; it lasts while one of them does.
    static std::shared_ptr<PanelPlatform> Shared();

    void PrepareWindow(QWindow* window, const PixelFormatDescriptor& request) override;
    DeviceContext GetDC(QWindow* window) override;
    int ChoosePixelFormat(DeviceContext dc, const PixelFormatDescriptor& request) override;
    int SetPixelFormat(DeviceContext dc, int format, const PixelFormatDescriptor& request) override;
    int DescribePixelFormat(DeviceContext dc, int format, PixelFormatDescriptor& out) override;
    int ReleaseDC(QWindow* window, DeviceContext dc) override;
    unsigned long GetLastError() const override { return m_lastError; }

    RenderingContext CreateContext(DeviceContext dc) override;
    bool MakeCurrent(DeviceContext dc, RenderingContext rc) override;
    bool DeleteContext(RenderingContext rc) override;
    bool ShareLists(RenderingContext first, RenderingContext second) override;
    bool SwapBuffers(DeviceContext dc) override;

    PaletteHandle CreatePalette(const std::vector<PaletteEntry>& entries) override;
    PaletteHandle SelectPalette(DeviceContext dc, PaletteHandle palette, bool background) override;
    int RealizePalette(DeviceContext dc) override;
    PaletteHandle DefaultPalette() override { return kStockPalette; }
    bool DeleteObject(PaletteHandle palette) override;
    void InvalidateWindow(QWindow* window) override;

    bool Allocate(std::vector<std::uint8_t>& buffer, std::size_t bytes) override;

    ListName GenLists(int count) override;
    void DeleteLists(ListName base, int count) override;
    bool UseFontBitmaps(DeviceContext dc, const TPanelFont& font, int first, int count, ListName base) override;
    bool UseFontOutlines(DeviceContext dc, const TPanelFont& font, int first, int count, ListName base, float deviation,
                         float extrusion, int format, GlyphMetricsFloat* metrics) override;

    const char* ExtensionString() override;
    int ScreenBitsPerPixel() override;
    bool ChangeDisplayBitsPerPixel(int bitsPerPixel) override;
    QImage GrabWindow(DeviceContext dc, QSize size) override;

    // The surface format a descriptor asks for.
    static QSurfaceFormat SurfaceFormatFor(const PixelFormatDescriptor& request);

protected:
    void SetLastError(unsigned long code) { m_lastError = code; }
    QWindow* WindowOf(DeviceContext dc) const;
    QOpenGLContext* ContextOf(RenderingContext rc) const;

private:
    static constexpr PaletteHandle kStockPalette = 1;

    struct Context {
        std::unique_ptr<QOpenGLContext> context;
        DeviceContext dc = 0;
        bool everCurrent = false;  // only then can it hold objects of its own
    };

    unsigned long m_lastError = 0;
    std::uint32_t m_nextHandle = 100;
    std::map<DeviceContext, QPointer<QWindow>> m_windows;
    std::map<RenderingContext, Context> m_contexts;
    std::map<DeviceContext, RenderingContext> m_contextOfDc;
    std::vector<QSurfaceFormat> m_formats;  // format number n is m_formats[n - 1]
    std::map<PaletteHandle, std::vector<PaletteEntry>> m_palettes;
    std::map<DeviceContext, PaletteHandle> m_selectedPalette;
};

} // namespace glpanel
