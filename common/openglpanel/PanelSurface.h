#pragma once

#include <QWindow>
#include <functional>

class QWidget;

namespace glpanel {

// The native window the panel draws in. It reports its creation, destruction and every
// need to repaint, and passes mouse and key input on to the panel widget.
class PanelSurface : public QWindow {
    Q_OBJECT
public:
    explicit PanelSurface(QWidget* inputTarget);

    std::function<void()> OnCreated;
    std::function<void()> OnAboutToBeDestroyed;
    std::function<void()> OnPaintNeeded;

protected:
    bool event(QEvent* event) override;
    void exposeEvent(QExposeEvent* event) override;

private:
    QWidget* m_inputTarget;
};

} // namespace glpanel
