#pragma once

#include "ModalForm.h"

class QFrame;
class QLabel;
class QPushButton;
class QSlider;
class QToolButton;
class QWidget;

namespace pelisond {

// 3D view "Визуализация": plays back a finished run with the main window's timer. Each
// tick writes the shown sample's time into Label1 and repaints the panel. The panel is a
// plain surface until the OpenGL drawing comes.
class TForm2 : public gyroapp::ModalForm {
    Q_OBJECT
public:
    explicit TForm2(QWidget* parent = nullptr);

    // Repaints the picture of the shown sample at once.
    void RepaintView();
    // Lets the start/stop button up (not down, not flat).
    void ReleaseStartStop();
    // The timer interval the playback speed asks for, in milliseconds.
    int PlaybackInterval() const;

    void SpeedButton1Click();  // "Старт/стоп"
    void Button3Click();       // "С начала"
    void TrackBar3Change();

    QFrame* Bevel1 = nullptr;
    QWidget* OpenGLPanel1 = nullptr;
    QLabel* Label1 = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    QPushButton* Button3 = nullptr;
    QLabel* Label7 = nullptr;
    QSlider* TrackBar3 = nullptr;

protected:
    void FormShow() override;
    void FormHide() override;
};

} // namespace pelisond
