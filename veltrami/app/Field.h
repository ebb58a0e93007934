#pragma once

#include "ModalForm.h"

#include <QString>

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

namespace veltrami {

// 3D view "Визуализация": plays back a finished run as an animated gimbal gyroscope.
// The main window's timer tick writes the shown sample's angles, moment indicators and
// time into it and repaints its panel; the view starts, stops and paces that timer.
class TForm2 : public gyroapp::ModalForm {
    Q_OBJECT
public:
    explicit TForm2(QWidget* parent = nullptr);

    // Repaints the picture of the shown sample at once.
    void RepaintView();
    // Lets the start/stop button up (not down, not flat).
    void ReleaseStartStop();

    void SpeedButton1Click();  // "Старт/стоп"
    void Button1Click();       // "Графики"
    void Button2Click();       // "Фазовый портрет"
    void Button3Click();       // "С начала"
    void TrackBar1Change();
    void TrackBar2Change();
    void TrackBar3Change();

    void OpenGLPanel1Init(TOpenGLPanel* Sender);
    void OpenGLPanel1Resize(TOpenGLPanel* Sender);
    void OpenGLPanel1Paint(TOpenGLPanel* Sender);
    // The right button brings up the picture's menu.
    void OpenGLPanel1MouseUp(TOpenGLPanel* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);

    // The sample the picture shows: the main window's index, kept within the recorded run.
    int ShownSample() const;

    QFrame* Bevel1 = nullptr;
    TOpenGLPanel* OpenGLPanel1 = nullptr;
    QLabel* Label1 = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    QPushButton* Button3 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QSlider* TrackBar1 = nullptr;
    QSlider* TrackBar2 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label7 = nullptr;
    QSlider* TrackBar3 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
    // Saving, printing and recording the picture.
    viewexport::PictureMenu* PopupMenu1 = nullptr;

    float ViewAlpha = 0;
    float ViewBeta = 0;
    float InnerTorqueLevel = 0;
    float OuterTorqueLevel = 0;
    bool InnerTorquePositive = false;
    bool OuterTorquePositive = false;

    // The rotor's texture; read when the panel gets its context, at the first showing.
    QString TexturePath;

protected:
    void FormShow() override;
    void FormHide() override;

private:
    // ViewAlpha and ViewBeta from a sample, or the rest position when it was not recorded.
    void TakeAngles(int k);
    // Sample k in the view as a timer tick puts it there; for the frames of a recording.
    void ShowSample(int k);
    void ReportMissingTexture(const QString& reason);

    bool textureReported_ = false;
};

} // namespace veltrami
