#include "PanelSurface.h"

#include <QCoreApplication>
#include <QPlatformSurfaceEvent>
#include <QWidget>

namespace glpanel {

PanelSurface::PanelSurface(QWidget* inputTarget) : m_inputTarget(inputTarget) {}

bool PanelSurface::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::PlatformSurface: {
        const auto type = static_cast<QPlatformSurfaceEvent*>(event)->surfaceEventType();
        if (type == QPlatformSurfaceEvent::SurfaceCreated && OnCreated) OnCreated();
        if (type == QPlatformSurfaceEvent::SurfaceAboutToBeDestroyed && OnAboutToBeDestroyed) OnAboutToBeDestroyed();
        break;
    }
    case QEvent::UpdateRequest:
        if (isExposed() && OnPaintNeeded) OnPaintNeeded();
        return true;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        // The window lies exactly over the panel, so its coordinates are the panel's.
        if (m_inputTarget) return QCoreApplication::sendEvent(m_inputTarget, event);
        break;
    default:
        break;
    }
    return QWindow::event(event);
}

void PanelSurface::exposeEvent(QExposeEvent*)
{
    if (isExposed() && OnPaintNeeded) OnPaintNeeded();
}

} // namespace glpanel
