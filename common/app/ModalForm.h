#pragma once

#include <QDialog>
#include <QPoint>
#include <QSize>

namespace gyroapp {

// Modal results of the secondary windows.
enum ModalResult { mrNone = 0, mrOk = 1, mrCancel = 2 };

// A secondary window shown modally and closed by a button that sets its result.
// Closing it from the title bar gives mrCancel. FormShow and FormHide run on every
// showing and hiding.
class ModalForm : public QDialog {
    Q_OBJECT
public:
    explicit ModalForm(QWidget* parent = nullptr);

    // Shows the window modally; returns its modal result.
    int ShowModal();
    // Closes the window with this result.
    void SetModalResult(int result) { done(result); }
    int ModalResultValue() const { return result(); }

    // Whether Enter and Esc close the window (Esc as cancel); on by default.
    bool KeysClose() const { return keysClose_; }
    void SetKeysClose(bool close) { keysClose_ = close; }

    void reject() override;

protected:
    // The window's client size and its place on the screen, as the window was laid out.
    void PlaceWindow(QSize clientSize, QPoint screenPosition);

    virtual void FormShow() {}
    virtual void FormHide() {}

    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    bool keysClose_ = true;
};

} // namespace gyroapp
