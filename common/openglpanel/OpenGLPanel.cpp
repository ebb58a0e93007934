#include "OpenGLPanel.h"

#include "FloatingPoint.h"
#include "PanelSurface.h"
#include "PixelFormat.h"
#include "QtPanelPlatform.h"

#include <QMessageBox>
#include <QMouseEvent>
#include <cstring>

using namespace glpanel;

namespace {

TMessageSink& DefaultSink()
{
    static TMessageSink sink;
    return sink;
}

void ShowMessageBox(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, QString(), text, QMessageBox::Ok, parent);
    box.exec();
}

} // namespace

TOpenGLPanel::TOpenGLPanel(QWidget* Owner, std::shared_ptr<PanelPlatform> platform)
    : QWidget(Owner), m_platform(platform ? std::move(platform) : QtPanelPlatform::Shared()), m_messageSink(DefaultSink())
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    m_pfdFlags = TPFDFlags{};
    m_pfdFlags = TPFDFlags{f_PFD_DRAW_TO_WINDOW, f_PFD_SUPPORT_OPENGL, f_PFD_DOUBLEBUFFER};
    MaskFloatingPointExceptions();
}

TOpenGLPanel::~TOpenGLPanel()
{
    // Release the context while its window still exists.
    if (m_surface && m_surface->handle()) m_surface->destroy();
    if (m_surface) {
        m_surface->OnCreated = nullptr;
        m_surface->OnAboutToBeDestroyed = nullptr;
        m_surface->OnPaintNeeded = nullptr;
    }
}

void TOpenGLPanel::SetDefaultMessageSink(TMessageSink sink) { DefaultSink() = std::move(sink); }

QWindow* TOpenGLPanel::SurfaceWindow() const { return m_surface; }

void TOpenGLPanel::Notify(const QString& text)
{
    if (m_messageSink)
        m_messageSink(text);
    else
        ShowMessageBox(this, text);
}

void TOpenGLPanel::NotifyWithCode(const char* text)
{
    Notify(QString::fromLatin1(text) + QString::number(m_platform->GetLastError()));
}

void TOpenGLPanel::SetPFDFlags(TPFDFlags value) { m_pfdFlags = PairGdiAndDoubleBuffer(m_pfdFlags, value); }

void TOpenGLPanel::SetFont3DFormat(TFont3DFormat value)
{
    m_font3DFormat = value;
    m_font3DPlatformFormat = value == f_WGL_FONT_POLYGONS ? 1 : 0;
}

// --- window life -------------------------------------------------------------------

void TOpenGLPanel::CreateParams()
{
    if (OnPreInit) OnPreInit(this);
    // The native window is a child of its own, kept apart from its siblings, with one
    // device context for its whole life: the platform binds the format to it here.
    m_platform->PrepareWindow(m_surface, RequestedDescriptor(m_pixelType, m_pfdFlags, m_colorBits, m_depthBits));
}

void TOpenGLPanel::HandleNeeded()
{
    if (m_surface) return;
    m_surface = new PanelSurface(this);
    m_surface->OnCreated = [this] { WMCreate(); };
    m_surface->OnAboutToBeDestroyed = [this] { WMDestroy(); };
    m_surface->OnPaintNeeded = [this] { Paint(); };
    CreateParams();
    m_surface->resize(size());
    m_container = QWidget::createWindowContainer(m_surface, this);
    m_container->setAttribute(Qt::WA_OpaquePaintEvent);
    m_container->setGeometry(rect());
    m_container->show();
    // Windows follows creation with a size message; the owner sets its viewport there.
    if (m_rc) Resize();
}

void TOpenGLPanel::WMCreate()
{
    if (!CreateGLContext()) {
        Notify(QStringLiteral("Open GL Context Create Failed"));
        return;
    }
    if (OnInit) {
        if (!m_platform->MakeCurrent(m_dc, m_rc)) NotifyWithCode("wglMakeCurrent:");
        if (m_font3DEnabled) Create3DFont();
        if (m_font2DEnabled) Create2DFont();
        OnInit(this);
        m_platform->MakeCurrent(0, 0);
    }
}

void TOpenGLPanel::WMDestroy() { DestroyGLContext(); }

bool TOpenGLPanel::CreateGLContext()
{
    PixelFormatDescriptor pfd = RequestedDescriptor(m_pixelType, m_pfdFlags, m_colorBits, m_depthBits);
    m_dc = m_platform->GetDC(m_surface);
    const int format = m_platform->ChoosePixelFormat(m_dc, pfd);
    if (format == 0) {
        NotifyWithCode("ChoosePixelFormat:");
        ReleaseDeviceContext();
        return false;
    }
    if (m_platform->SetPixelFormat(m_dc, format, pfd) != 1) {
        NotifyWithCode("SetPixelFormat:");
        ReleaseDeviceContext();
        return false;
    }
    m_isDoubleBuffered = (pfd.dwFlags & PFD_DOUBLEBUFFER) != 0;
    m_platform->DescribePixelFormat(m_dc, format, pfd);
    if (pfd.dwFlags & PFD_NEED_PALETTE) {
        if (!ConstructPalette(pfd)) {
            ReleaseDeviceContext();
            return false;
        }
    } else {
        m_palette = 0;
    }
    m_rc = m_platform->CreateContext(m_dc);
    if (m_rc != 0) return true;
    NotifyWithCode("wglRenderingContext:");
    if (m_palette) {
        m_platform->SelectPalette(m_dc, m_platform->DefaultPalette(), false);
        if (!m_platform->DeleteObject(m_palette)) Notify(QStringLiteral("DeleteObject: Failed"));
        m_palette = 0;
    }
    ReleaseDeviceContext();
    return false;
}

void TOpenGLPanel::ReleaseDeviceContext()
{
    m_platform->ReleaseDC(m_surface, m_dc);
    m_dc = 0;
}

void TOpenGLPanel::DestroyGLContext()
{
    // Display lists belong to the context, so it is made current to delete them.
    if (m_rc && (m_font3D || m_font2D)) m_platform->MakeCurrent(m_dc, m_rc);
    m_font3D.reset();
    m_font2D.reset();
    m_platform->MakeCurrent(0, 0);
    if (m_rc == 0) return;
    if (!m_platform->DeleteContext(m_rc)) NotifyWithCode("wglDeleteContext:");
    m_rc = 0;
    if (m_palette) {
        if (!m_platform->DeleteObject(m_palette)) Notify(QStringLiteral("DeleteObject: Failed"));
        m_palette = 0;
    }
    if (m_platform->ReleaseDC(m_surface, m_dc) == 0) Notify(QStringLiteral("ReleaseDC: Failed"));
    m_dc = 0;
}

bool TOpenGLPanel::ConstructPalette(const PixelFormatDescriptor& descriptor)
{
    const std::uint16_t n = PaletteEntryCount(descriptor);
    // LOGPALETTE: version and count, then the entries.
    std::vector<std::uint8_t> description;
    if (!m_platform->Allocate(description, 4 + 4 * std::size_t(n))) {
        Notify(QStringLiteral("ConstructPalette: Malloc failure"));
        return false;
    }
    const std::uint16_t header[2] = {0x300, n};
    std::memcpy(description.data(), header, sizeof header);
    std::vector<PaletteEntry> entries(n);
    for (unsigned i = 0; i < n; ++i) entries[i] = PaletteEntryFor(descriptor, i);
    if (n > 0) std::memcpy(description.data() + 4, entries.data(), 4 * std::size_t(n));
    m_palette = m_platform->CreatePalette(entries);
    if (m_palette == 0) {
        NotifyWithCode("CreatePalette:");
        return false;
    }
    return true;
}

// --- current context and painting ---------------------------------------------------

void TOpenGLPanel::MakeOpenGLPanelCurrent()
{
    if (!m_platform->MakeCurrent(m_dc, m_rc)) NotifyWithCode("wglMakeCurrent:");
}

void TOpenGLPanel::MakeOpenGLPanelNotCurrent() { m_platform->MakeCurrent(0, 0); }

void TOpenGLPanel::SwapBuffers()
{
    if (m_isDoubleBuffered && m_dc) m_platform->SwapBuffers(m_dc);
}

bool TOpenGLPanel::PanelShareLists(TOpenGLPanel* other)
{
    if (other == nullptr || other->m_platform != m_platform) return false;
    return m_platform->ShareLists(m_rc, other->m_rc);
}

void TOpenGLPanel::Paint()
{
    // Without a context there is nothing to draw with; Windows would call the handler
    // with no context current, which draws nothing either.
    if (!OnPaint || m_rc == 0) return;
    PaletteHandle previous = 0;
    if (m_palette) {
        previous = m_platform->SelectPalette(m_dc, m_palette, false);
        if (m_platform->RealizePalette(m_dc) == GDI_ERROR) {
            NotifyWithCode("RealizePalette:");
            return;
        }
    }
    if (!m_platform->MakeCurrent(m_dc, m_rc)) {
        NotifyWithCode("wglMakeCurrent:");
        return;
    }
    OnPaint(this);
    if (m_swapBuffers == Auto && m_isDoubleBuffered) m_platform->SwapBuffers(m_dc);
    if (previous) m_platform->SelectPalette(m_dc, previous, true);
    m_platform->MakeCurrent(0, 0);
}

void TOpenGLPanel::Resize()
{
    if (!OnResize || m_rc == 0) return;
    if (!m_platform->MakeCurrent(m_dc, m_rc)) {
        NotifyWithCode("wglMakeCurrent:");
        return;
    }
    OnResize(this);
    m_platform->MakeCurrent(0, 0);
}

void TOpenGLPanel::Repaint()
{
    if (m_surface && m_surface->isExposed()) Paint();
}

void TOpenGLPanel::Invalidate()
{
    if (m_surface) m_surface->requestUpdate();
}

int TOpenGLPanel::WMQueryNewPalette()
{
    const PaletteHandle previous = m_platform->SelectPalette(m_dc, m_palette, false);
    const int changed = m_platform->RealizePalette(m_dc);
    if (changed == GDI_ERROR) {
        NotifyWithCode("RealizePalette:");
        return 0;
    }
    if (!m_platform->MakeCurrent(m_dc, m_rc)) return 0;
    m_platform->MakeCurrent(0, 0);
    m_platform->SelectPalette(m_dc, previous, true);
    if (changed != 0) m_platform->InvalidateWindow(m_surface);
    return changed;
}

void TOpenGLPanel::WMPaletteChanged(const QWindow* changedBy)
{
    if (changedBy != m_surface) WMQueryNewPalette();
}

// --- widget events ------------------------------------------------------------------

void TOpenGLPanel::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    HandleNeeded();
}

void TOpenGLPanel::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (m_container) m_container->setGeometry(rect());
    if (m_surface && m_surface->handle()) Resize();
}

void TOpenGLPanel::paintEvent(QPaintEvent*)
{
    // The native window covers the panel and the background is never erased.
}

void TOpenGLPanel::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    // Gaining focus is when Windows offers the palette; true-colour surfaces have none.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && m_palette) WMQueryNewPalette();
}

void TOpenGLPanel::mousePressEvent(QMouseEvent* event)
{
    m_pressed = true;
    if (OnMouseDown) {
        const QPoint p = event->position().toPoint();
        OnMouseDown(this, event->button(), event->modifiers(), p.x(), p.y());
    }
}

void TOpenGLPanel::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    if (OnMouseUp) OnMouseUp(this, event->button(), event->modifiers(), p.x(), p.y());
    if (m_pressed && rect().contains(p) && OnClick) OnClick(this);
    m_pressed = false;
}

void TOpenGLPanel::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (OnDblClick) OnDblClick(this);
    mousePressEvent(event);
}

void TOpenGLPanel::mouseMoveEvent(QMouseEvent* event)
{
    if (OnMouseMove) {
        const QPoint p = event->position().toPoint();
        OnMouseMove(this, event->buttons(), event->modifiers(), p.x(), p.y());
    }
}
