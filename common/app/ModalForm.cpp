#include "ModalForm.h"

#include "AppServices.h"
#include "FocusedButtonEnter.h"

#include <QKeyEvent>

namespace gyroapp {

ModalForm::ModalForm(QWidget* parent)
    : QDialog(parent)
{
    setModal(true);
    // The windows have no help button; a bare title bar with its close box.
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    EnterPressesFocusedButton(this);
}

int ModalForm::ShowModal()
{
    setResult(mrNone);
    return exec();
}

void ModalForm::reject()
{
    done(mrCancel);
}

void ModalForm::PlaceWindow(QSize clientSize, QPoint screenPosition)
{
    resize(clientSize);
    move(screenPosition);
}

void ModalForm::keyPressEvent(QKeyEvent* event)
{
    if (!keysClose_) {
        switch (event->key()) {
        case Qt::Key_Escape:
        case Qt::Key_Return:
        case Qt::Key_Enter:
            event->accept();
            return;
        default:
            break;
        }
    }
    QDialog::keyPressEvent(event);
}

void ModalForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        RunHandler([this] { FormShow(); });
}

void ModalForm::hideEvent(QHideEvent* event)
{
    QDialog::hideEvent(event);
    if (!event->spontaneous())
        RunHandler([this] { FormHide(); });
}

} // namespace gyroapp
