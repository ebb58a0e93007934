#pragma once

#include "ModalForm.h"

class QFrame;
class QLabel;
class QToolButton;
class QWidget;

namespace veltrami {

// 3D view "Визуализация": plays back a finished run. The main window's timer tick
// writes the shown sample's angles, moment indicators and time into it and repaints
// its panel. The panel is a plain surface until the OpenGL drawing comes.
class TForm2 : public gyroapp::ModalForm {
    Q_OBJECT
public:
    explicit TForm2(QWidget* parent = nullptr);

    // Repaints the picture of the shown sample at once.
    void RepaintView();
    // Lets the start/stop button up (not down, not flat).
    void ReleaseStartStop();

    void SpeedButton1Click();

    QFrame* Bevel1 = nullptr;
    QWidget* OpenGLPanel1 = nullptr;
    QLabel* Label1 = nullptr;
    QToolButton* SpeedButton1 = nullptr;

    float ViewAlpha = 0;
    float ViewBeta = 0;
    float InnerTorqueLevel = 0;
    float OuterTorqueLevel = 0;
    bool InnerTorquePositive = false;
    bool OuterTorquePositive = false;

protected:
    void FormShow() override;
    void FormHide() override;
};

} // namespace veltrami
