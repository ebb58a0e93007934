#pragma once

#include "BMPTexture.h"
#include "PanelFont.h"
#include "PanelFonts.h"
#include "PanelPlatform.h"
#include "PanelTypes.h"

#include <QImage>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>
#include <string_view>

class QPrinter;
class TOpenGLPanel;

namespace glpanel {
class PanelSurface;
}

using TNotifyEvent = std::function<void(TOpenGLPanel* Sender)>;
using TMouseEvent = std::function<void(TOpenGLPanel* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TOpenGLPanel* Sender, Qt::MouseButtons Buttons, Qt::KeyboardModifiers Shift, int X, int Y)>;
// Shows one notice with a single OK button.
using TMessageSink = std::function<void(const QString& text)>;

// A panel that gives its window an OpenGL drawing surface with its own native window,
// pixel format and rendering context, and calls the owner's handlers with that context
// current. It draws nothing itself.
//
// It is a plain widget over a native QWindow rather than a QOpenGLWidget: a QOpenGLWidget
// draws into an offscreen framebuffer that Qt composes and presents itself, so there
// would be no pixel format of our own, no single buffering, and no swap that the panel
// (or the owner, in Manual mode) decides.
class TOpenGLPanel : public QWidget {
    Q_OBJECT
    Q_PROPERTY(Openglpanel::TPFDPixelTypes PixelType READ PixelType WRITE SetPFDPixelType)
    Q_PROPERTY(Openglpanel::TPFDFlags PFDFlags READ PFDFlags WRITE SetPFDFlags)
    Q_PROPERTY(quint8 cColorBits READ cColorBits WRITE SetPFDNumColorBits)
    Q_PROPERTY(quint8 cDepthBits READ cDepthBits WRITE SetPFDNumDepthBits)
    Q_PROPERTY(Openglpanel::TOpenGLSwapBuffers GLSwapBuffers READ GLSwapBuffers WRITE SetGLSwapBuffers)
    Q_PROPERTY(int PixelsPerInch READ PixelsPerInch WRITE SetOpenGLPixelsPerInch)
    Q_PROPERTY(Openglpanel::TOpenGLPrintScale PrintScale READ PrintScale WRITE SetOpenGLPrintScale)
    Q_PROPERTY(bool Font3D_Enabled READ Font3D_Enabled WRITE SetFont3D_Enabled)
    Q_PROPERTY(int Font3D_FirstGylph READ Font3D_FirstGylph WRITE SetFont3D_FirstGylph)
    Q_PROPERTY(int Font3D_NumGylph READ Font3D_NumGylph WRITE SetFont3D_NumGylph)
    Q_PROPERTY(float Font3D_MaxDeviation READ Font3D_MaxDeviation WRITE SetFont3D_MaxDeviation)
    Q_PROPERTY(float Font3D_Extrustion READ Font3D_Extrustion WRITE SetFont3D_Extrustion)
    Q_PROPERTY(Openglpanel::TFont3DFormat Font3D_Format READ Font3D_Format WRITE SetFont3DFormat)
    Q_PROPERTY(bool Font2D_Enabled READ Font2D_Enabled WRITE SetFont2D_Enabled)
    Q_PROPERTY(int Font2D_FirstGylph READ Font2D_FirstGylph WRITE SetFont2D_FirstGylph)
    Q_PROPERTY(int Font2D_NumGylph READ Font2D_NumGylph WRITE SetFont2D_NumGylph)

public:
    // Masks all floating-point exceptions for the whole process.
    explicit TOpenGLPanel(QWidget* Owner = nullptr, std::shared_ptr<glpanel::PanelPlatform> platform = {});
    ~TOpenGLPanel() override;

    // Handlers; the panel's context is current during OnInit, OnResize and OnPaint.
    TNotifyEvent OnPreInit;
    TNotifyEvent OnInit;
    TNotifyEvent OnResize;
    TNotifyEvent OnPaint;
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;

    // Properties.
    TPFDPixelTypes PixelType() const { return m_pixelType; }
    void SetPFDPixelType(TPFDPixelTypes value) { m_pixelType = value; }
    TPFDFlags PFDFlags() const { return m_pfdFlags; }
    // Keeps exactly one of GDI support and double buffering on.
    void SetPFDFlags(TPFDFlags value);
    quint8 cColorBits() const { return m_colorBits; }
    void SetPFDNumColorBits(quint8 value) { m_colorBits = value; }
    quint8 cDepthBits() const { return m_depthBits; }
    void SetPFDNumDepthBits(quint8 value) { m_depthBits = value; }
    TOpenGLSwapBuffers GLSwapBuffers() const { return m_swapBuffers; }
    void SetGLSwapBuffers(TOpenGLSwapBuffers value) { m_swapBuffers = value; }
    int PixelsPerInch() const { return m_pixelsPerInch; }
    void SetOpenGLPixelsPerInch(int value) { m_pixelsPerInch = value; }
    TOpenGLPrintScale PrintScale() const { return m_printScale; }
    void SetOpenGLPrintScale(TOpenGLPrintScale value) { m_printScale = value; }

    bool Font3D_Enabled() const { return m_font3DEnabled; }
    void SetFont3D_Enabled(bool value) { m_font3DEnabled = value; }
    TPanelFont* Font3D_Type() { return &m_font3DType; }
    const TPanelFont* Font3D_Type() const { return &m_font3DType; }
    void SetFont3DType(const TPanelFont& value) { m_font3DType.Assign(value); }
    int Font3D_FirstGylph() const { return m_font3DFirst; }
    void SetFont3D_FirstGylph(int value) { m_font3DFirst = value; }
    int Font3D_NumGylph() const { return m_font3DCount; }
    void SetFont3D_NumGylph(int value) { m_font3DCount = value; }
    float Font3D_MaxDeviation() const { return m_font3DDeviation; }
    void SetFont3D_MaxDeviation(float value) { m_font3DDeviation = value; }
    float Font3D_Extrustion() const { return m_font3DExtrusion; }
    void SetFont3D_Extrustion(float value) { m_font3DExtrusion = value; }
    TFont3DFormat Font3D_Format() const { return m_font3DFormat; }
    void SetFont3DFormat(TFont3DFormat value);

    bool Font2D_Enabled() const { return m_font2DEnabled; }
    void SetFont2D_Enabled(bool value) { m_font2DEnabled = value; }
    TPanelFont* Font2D_Type() { return &m_font2DType; }
    const TPanelFont* Font2D_Type() const { return &m_font2DType; }
    void SetFont(const TPanelFont& value) { m_font2DType.Assign(value); }
    int Font2D_FirstGylph() const { return m_font2DFirst; }
    void SetFont2D_FirstGylph(int value) { m_font2DFirst = value; }
    int Font2D_NumGylph() const { return m_font2DCount; }
    void SetFont2D_NumGylph(int value) { m_font2DCount = value; }

    // Internal state, readable for the owner and for tests.
    glpanel::DeviceContext DC() const { return m_dc; }
    glpanel::RenderingContext RC() const { return m_rc; }
    glpanel::PaletteHandle Palette() const { return m_palette; }
    bool IsDoubleBuffered() const { return m_isDoubleBuffered; }
    const OpenGLFont2D* Font2D() const { return m_font2D.get(); }
    const OpenGLFont3D* Font3D() const { return m_font3D.get(); }
    glpanel::PanelPlatform& Platform() const { return *m_platform; }
    QWindow* SurfaceWindow() const;

    // Notices go here; the default shows a message box with an empty title and OK.
    void SetMessageSink(TMessageSink sink) { m_messageSink = std::move(sink); }
    // The sink for panels made from now on.
    static void SetDefaultMessageSink(TMessageSink sink);

    // Context and paint cycle.
    bool CreateGLContext();
    void DestroyGLContext();
    bool ConstructPalette(const glpanel::PixelFormatDescriptor& descriptor);
    void MakeOpenGLPanelCurrent();
    void MakeOpenGLPanelNotCurrent();
    // Swaps when the format is double-buffered, whatever GLSwapBuffers says.
    void SwapBuffers();
    // Lets other's context use this panel's display lists.
    bool PanelShareLists(TOpenGLPanel* other);
    void Paint();
    void Resize();
    // Paints now / at the next frame.
    void Repaint();
    void Invalidate();
    // Palette focus, as the window system asks for it; the entries changed.
    int WMQueryNewPalette();
    void WMPaletteChanged(const QWindow* changedBy);

    // Fonts and text, in the current context. Texts are single-byte Cyrillic strings.
    std::unique_ptr<OpenGLFont2D> Create2DFont(const TPanelFont* font, int firstGlyph, int glyphCount);
    void Create2DFont();
    std::unique_ptr<OpenGLFont3D> Create3DFont(const TPanelFont* font, int firstGlyph, int glyphCount,
                                               float maxDeviation, float extrusion, int format);
    void Create3DFont();
    void Draw2DText(std::string_view text);
    void Draw2DText(const OpenGLFont2D* font, std::string_view text);
    void Draw3DText(std::string_view text);
    void Draw3DText(const OpenGLFont3D* font, std::string_view text);
    void Get3DTextSize(std::string_view text, double& x, double& y, double& z);
    void Get3DTextSize(const OpenGLFont3D* font, std::string_view text, double& x, double& y, double& z);

    // Textures, pictures and printing.
    std::unique_ptr<BMPTexture> LoadBMPTexture(const QString& fileName, bool withAlpha);
    // What the panel shows, after painting it afresh.
    QImage GrabOpenGLPanel();
    void SaveOpenGLPanelToFile(const QString& fileName);
    void PrintOpenGLPanel();
    // Prints on the given printer; where the picture went on the page, empty if nowhere.
    QRect PrintOpenGLPanel(QPrinter& printer);

    // Queries.
    bool QueryOpenGLExtention(std::string_view name);
    int GetDisplayBPP();
    bool SetDisplayBPP(int bitsPerPixel);

protected:
    void CreateParams();
    void WMCreate();
    void WMDestroy();
    // Makes the native window when the panel first needs one.
    void HandleNeeded();

    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void Notify(const QString& text);
    // Text followed by the platform's last error code.
    void NotifyWithCode(const char* text);
    void ReleaseDeviceContext();

    std::shared_ptr<glpanel::PanelPlatform> m_platform;
    TMessageSink m_messageSink;

    TPFDPixelTypes m_pixelType = f_PFD_TYPE_RGBA;
    TPFDFlags m_pfdFlags;
    quint8 m_colorBits = 32;
    quint8 m_depthBits = 32;
    TOpenGLSwapBuffers m_swapBuffers = Auto;
    int m_pixelsPerInch = 96;
    TOpenGLPrintScale m_printScale = pglProportional;
    bool m_font3DEnabled = false;
    TPanelFont m_font3DType{QStringLiteral("Arial"), -9, ANSI_CHARSET};
    int m_font3DFirst = 32;
    int m_font3DCount = 96;
    float m_font3DDeviation = 0.0f;
    float m_font3DExtrusion = 0.1f;
    TFont3DFormat m_font3DFormat = f_WGL_FONT_POLYGONS;
    int m_font3DPlatformFormat = 1;
    bool m_font2DEnabled = false;
    TPanelFont m_font2DType{QStringLiteral("Arial"), -9, ANSI_CHARSET};
    int m_font2DFirst = 32;
    int m_font2DCount = 96;

    glpanel::DeviceContext m_dc = 0;
    glpanel::RenderingContext m_rc = 0;
    glpanel::PaletteHandle m_palette = 0;
    bool m_isDoubleBuffered = false;
    std::unique_ptr<OpenGLFont3D> m_font3D;
    std::unique_ptr<OpenGLFont2D> m_font2D;

    glpanel::PanelSurface* m_surface = nullptr;
    QPointer<QWidget> m_container;
    bool m_pressed = false;
};
