#pragma once

#include "ModalForm.h"
#include "PanelFont.h"
#include "TuningForkScene.h"

#include <memory>

class OpenGLFont2D;
class QFrame;
class QLabel;
class QPushButton;
class QSlider;
class QToolButton;
class QWidget;
class TOpenGLPanel;

namespace viewexport {
class PictureMenu;
}

namespace pelisond {

// 3D view "Визуализация": plays back a finished run with the main window's timer, which
// advances the sample, writes its time into Label1 and repaints the panel. The elements'
// displacements and the frame angle are magnified by three track bars; dragging with the
// left button turns the view.
class TForm2 : public gyroapp::ModalForm {
    Q_OBJECT
public:
    explicit TForm2(QWidget* parent = nullptr);
    ~TForm2() override;

    // Repaints the picture of the shown sample at once.
    void RepaintView();
    // Lets the start/stop button up (not down, not flat).
    void ReleaseStartStop();
    // The timer interval the playback speed asks for, in milliseconds.
    int PlaybackInterval() const;
    // The sample a paint draws: the main window's current one when the run recorded it,
    // else the last recorded one, -1 when there is none.
    int SampleToDraw() const;
    Magnification Factors() const;

    void SpeedButton1Click();  // "Старт/стоп"
    void Button3Click();       // "С начала"
    void Button1Click();       // "Графики"
    void Button2Click();       // "Фазовый портрет"
    void TrackBar1Change();
    void TrackBar2Change();
    void TrackBar4Change();
    void TrackBar3Change();
    void OpenGLPanel1Init(TOpenGLPanel* Sender);
    void OpenGLPanel1Paint(TOpenGLPanel* Sender);
    void OpenGLPanel1MouseMove(TOpenGLPanel* Sender, Qt::MouseButtons Buttons, Qt::KeyboardModifiers Shift, int X,
                               int Y);
    // The right button brings up the picture's menu.
    void OpenGLPanel1MouseUp(TOpenGLPanel* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);

    QFrame* Bevel1 = nullptr;
    TOpenGLPanel* OpenGLPanel1 = nullptr;
    QLabel* Label1 = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    QPushButton* Button3 = nullptr;
    QFrame* Bevel2 = nullptr;
    QFrame* Bevel3 = nullptr;
    QFrame* Bevel4 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label11 = nullptr;
    QSlider* TrackBar1 = nullptr;
    QSlider* TrackBar2 = nullptr;
    QSlider* TrackBar4 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label8 = nullptr;
    QLabel* Label9 = nullptr;
    QLabel* Label10 = nullptr;
    QLabel* Label12 = nullptr;
    QLabel* Label13 = nullptr;
    QLabel* Label14 = nullptr;
    QLabel* Label7 = nullptr;
    QSlider* TrackBar3 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
    // Saving, printing and recording the picture.
    viewexport::PictureMenu* PopupMenu1 = nullptr;

    // Face of the Ω label: the symbol set shows "W" as Ω.
    TPanelFont SymbolFont{QStringLiteral("Symbol"), -16, SYMBOL_CHARSET};
    int ViewTilt = 15;
    int ViewTurn = 45;
    // Where the last drag ended; NoMouse in LastMouseX until the first drag.
    static constexpr int NoMouse = -12345;
    int LastMouseX = NoMouse;
    int LastMouseY = NoMouse;

protected:
    void FormShow() override;
    void FormHide() override;

private:
    // The Ω label's glyphs, built at the first paint that needs them, in the panel's context.
    std::unique_ptr<OpenGLFont2D> symbolFont2D_;
};

} // namespace pelisond
