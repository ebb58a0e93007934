#include "Main.h"

#include "RunProgressDialog.h"

#include "AppServices.h"
#include "FocusedButtonEnter.h"
#include "Application.h"
#include "Field.h"
#include "Fonts.h"
#include "Forms.h"
#include "Input1.h"
#include "Locale.h"
#include "MainWindowParts.h"
#include "Playback.h"
#include "ProgramDirectory.h"
#include "TuningForkPicture.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>

namespace pelisond {

using gyroapp::FromUtf8;

namespace {

constexpr QSize ClientSize{438, 189};

} // namespace

TForm1::TForm1(const std::string& dataPath)
    : DataPath(dataPath.empty() ? gyroapp::ProgramFile(QStringLiteral("pelisond.dat")) : dataPath)
{
    setObjectName(QStringLiteral("Form1"));
    // The model's messages show numbers as the fields do.
    Model.MessageSeparators = gyroapp::LocaleSeparators();
    setWindowTitle(QStringLiteral("Моделирование ММГ камертонного типа"));
    // A fixed dialog border: a close box only, no resizing.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint);
    setFont(gyroapp::WindowsFont(QStringLiteral("MS Sans Serif"), 11));

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setGeometry(QRect(QPoint(0, 0), ClientSize));

    Button1 = new QPushButton(QStringLiteral("Параметры расчета"), Panel1);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(24, 12, 113, 25);
    Button3 = new QPushButton(QStringLiteral("Визуализация"), Panel1);
    Button3->setObjectName(QStringLiteral("Button3"));
    Button3->setGeometry(24, 64, 113, 25);

    Bevel1 = new QFrame(Panel1);
    Bevel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Bevel1->setGeometry(216, 12, 197, 161);
    Image1 = new TuningForkPicture(Panel1);
    Image1->setObjectName(QStringLiteral("Image1"));
    // Within the bevel's border, two pixels clear of it all round: the picture paints its
    // white paper over whatever it covers, and the bevel is its frame.
    Image1->setGeometry(220, 16, 189, 153);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(50);

    gyroapp::ConnectHandler(Button1, &QPushButton::clicked, this, &TForm1::Button1Click);
    gyroapp::ConnectHandler(Button3, &QPushButton::clicked, this, &TForm1::Button3Click);
    gyroapp::ConnectHandler(Timer1, &QTimer::timeout, this, &TForm1::Timer1Timer);

    gyroapp::EnterPressesFocusedButton(this);
    setFixedSize(ClientSize);
    move(262, 214);
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
    // SampleCount is left to AllocateSeries, so that it changes only together with the series.
    gyroapp::ReadFields(*Form3, Simulation);
}

bool TForm1::Calculate()
{
    return gyroapp::CalculateInWindow(*Timer1, 0.0, Params.StopTime,
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
    CurrentSample = 0;
    Recalculate();
}

void TForm1::Button3Click()
{
    if (CurrentSample >= LastShownSample())
        CurrentSample = 0;
    if (!Model.Calculated && !Calculate())
        return;
    Form2->ShowModal();
    Form2->ReleaseStartStop();
}

void TForm1::Timer1Timer()
{
    if (CurrentSample >= LastShownSample()) {
        Timer1->stop();
        return;
    }
    ++CurrentSample;
    Form2->Label1->setText(FromUtf8(SampleTimeText(CurrentSample, Params.PrintStep, gyroapp::LocaleSeparators())));
    Form2->RepaintView();
}

bool TForm1::SampleRecorded(int k) const
{
    return k >= 0 && k < Model.Recorded();
}

int TForm1::LastShownSample() const
{
    return pelisond::LastShownSample(Model.SampleCount, Model.Recorded());
}

} // namespace pelisond
