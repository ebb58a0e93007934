#include "FocusedButtonEnter.h"

#include <QEvent>
#include <QKeyEvent>
#include <QPushButton>

namespace gyroapp {

namespace {

// Sees the key after the button has let it go by (a button that is not a dialog's
// default ignores Enter), on its way up to the window.
class EnterFilter : public QObject {
public:
    explicit EnterFilter(QWidget* window) : QObject(window), window_(window) {}

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == window_ && event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
            const Qt::KeyboardModifiers other = key->modifiers() & ~Qt::KeypadModifier;
            auto* button = qobject_cast<QPushButton*>(window_->focusWidget());
            if (enter && other == Qt::NoModifier && button && button->window() == window_ && button->isEnabled()) {
                button->click();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QWidget* window_;
};

} // namespace

void EnterPressesFocusedButton(QWidget* window)
{
    window->installEventFilter(new EnterFilter(window));
}

} // namespace gyroapp
