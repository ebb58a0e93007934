#include "Main.h"

#include "RunProgressDialog.h"

#include "AppServices.h"
#include "FocusedButtonEnter.h"
#include "Application.h"
#include "Field.h"
#include "Fonts.h"
#include "Forms.h"
#include "GimbalPicture.h"
#include "Input1.h"
#include "Locale.h"
#include "MainWindowParts.h"
#include "Playback.h"
#include "ProgramDirectory.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>
#include <QToolButton>

#include <algorithm>

namespace veltrami {

using gyroapp::FromUtf8;

TForm1::TForm1(const std::string& dataPath)
    : DataPath(dataPath.empty() ? gyroapp::ProgramFile(QStringLiteral("veltrami.dat")) : dataPath)
{
    setObjectName(QStringLiteral("Form1"));
    // The model's messages show numbers as the fields do.
    Model.MessageSeparators = gyroapp::LocaleSeparators();
    setWindowTitle(QStringLiteral("Моделирование гироскопа с кардановым подвесом ротора"));
    setFont(gyroapp::WindowsFont(QStringLiteral("MS Sans Serif"), 11));

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setGeometry(0, 0, 505, 205);

    Button1 = new QPushButton(QStringLiteral("Параметры расчета"), Panel1);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(24, 12, 113, 25);
    Button2 = new QPushButton(QStringLiteral("Рассчитать!"), Panel1);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(24, 44, 75, 25);
    Button3 = new QPushButton(QStringLiteral("Визуализация"), Panel1);
    Button3->setObjectName(QStringLiteral("Button3"));
    Button3->setGeometry(152, 12, 85, 25);

    Bevel1 = new QFrame(Panel1);
    Bevel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Bevel1->setGeometry(328, 12, 169, 189);
    Image1 = new GimbalPicture(Panel1);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(332, 16, 161, 181);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(100);

    gyroapp::ConnectHandler(Button1, &QPushButton::clicked, this, &TForm1::Button1Click);
    gyroapp::ConnectHandler(Button2, &QPushButton::clicked, this, &TForm1::Button2Click);
    gyroapp::ConnectHandler(Button3, &QPushButton::clicked, this, &TForm1::Button3Click);
    gyroapp::ConnectHandler(Timer1, &QTimer::timeout, this, &TForm1::Timer1Timer);

    gyroapp::EnterPressesFocusedButton(this);
    setFixedSize(505, 205);
    move(242, 186);
}

TForm1::~TForm1() = default;

void TForm1::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    gyroapp::RunAtFirstShow(shown_, event, [this] { FormShow(); });
}

void TForm1::FormShow()
{
    gyroapp::LoadAtStart(Simulation, DataPath, *Form3);
}

bool TForm1::LoadParameters()
{
    return static_cast<bool>(Simulation.Load(DataPath));
}

void TForm1::WriteParameters()
{
    gyroapp::WriteFields(*Form3, Simulation);
}

void TForm1::ReadParameters()
{
    gyroapp::ReadFields(*Form3, Simulation);
}

bool TForm1::Calculate()
{
    return gyroapp::CalculateInWindow(*Timer1, Params.InitialTime, Params.StopTime,
                                      [this](const std::function<bool(double)>& cancel) { return Model.Calculate(cancel); });
}

void TForm1::Recalculate()
{
    if (gyroapp::TakeNewParameters(Simulation, *Form3))
        Calculate();
}

void TForm1::Button1Click()
{
    if (Form3->ShowModal() != gyroapp::mrOk)
        return;
    if (!gyroapp::Services().AskYesNo(QStringLiteral("Произвести перерасчет?")))
        return;
    CurrentSample = 0;
    Recalculate();
}

void TForm1::Button2Click()
{
    Recalculate();
}

void TForm1::Button3Click()
{
    if (CurrentSample >= LastShownSample())
        CurrentSample = 0;
    if (!Model.Calculated) {
        if (!gyroapp::Services().AskYesNo(QStringLiteral("Расчет данных не произведен. Произвести расчет?")))
            return;
        if (!Calculate())
            return;
    }
    ShowMomentLevels(CurrentSample);
    Form2->ShowModal();
    Form2->ReleaseStartStop();
}

void TForm1::Timer1Timer()
{
    if (CurrentSample >= LastShownSample()) {
        Timer1->stop();
        return;
    }
    const int k = ++CurrentSample;
    Form2->Label1->setText(FromUtf8(SampleTimeText(k, Params.PrintStep, gyroapp::LocaleSeparators())));
    ShowMomentLevels(k);
    const auto index = static_cast<std::size_t>(k);
    Form2->ViewAlpha = ViewAngle(Model.Alf[index]);
    Form2->ViewBeta = ViewAngle(Model.Bet[index]);
    Form2->RepaintView();
}

void TForm1::ShowMomentLevels(int k)
{
    if (!SampleRecorded(k)) {
        // Nothing recorded to show: no moment.
        Form2->InnerTorqueLevel = 0;
        Form2->OuterTorqueLevel = 0;
        return;
    }
    const auto index = static_cast<std::size_t>(k);
    UpdateTorqueIndicator(Model.MomentBet[index], Model.MomentBetMin, Model.MomentBetMax, Form2->InnerTorqueLevel,
                          Form2->InnerTorquePositive);
    UpdateTorqueIndicator(Model.MomentAlf[index], Model.MomentAlfMin, Model.MomentAlfMax, Form2->OuterTorqueLevel,
                          Form2->OuterTorquePositive);
}

bool TForm1::SampleRecorded(int k) const
{
    return k >= 0 && k < Model.Recorded() && static_cast<std::size_t>(k) < Model.Alf.size();
}

int TForm1::LastShownSample() const
{
    return std::min(Model.SampleCount - 2, Model.Recorded() - 1);
}

} // namespace veltrami
