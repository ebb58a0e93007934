#include "Main.h"

#include "RunProgressDialog.h"

#include "AppServices.h"
#include "Application.h"
#include "Field.h"
#include "Fonts.h"
#include "Forms.h"
#include "Input1.h"
#include "Locale.h"
#include "Playback.h"
#include "ProgramDirectory.h"
#include "TuningForkPicture.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>

namespace pelisond {

namespace {

QString FromUtf8(const std::string& text)
{
    return QString::fromStdString(text);
}

constexpr QSize ClientSize{438, 189};

} // namespace

TForm1::TForm1(const std::string& dataPath)
    : DataPath(dataPath.empty() ? gyroapp::ProgramFile(QStringLiteral("pelisond.dat")) : dataPath)
{
    setObjectName(QStringLiteral("Form1"));
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
    Image1->setGeometry(220, 16, 197, 157);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(50);

    gyroapp::ConnectHandler(Button1, &QPushButton::clicked, this, &TForm1::Button1Click);
    gyroapp::ConnectHandler(Button3, &QPushButton::clicked, this, &TForm1::Button3Click);
    gyroapp::ConnectHandler(Timer1, &QTimer::timeout, this, &TForm1::Timer1Timer);

    setFixedSize(ClientSize);
    move(262, 214);
}

TForm1::~TForm1() = default;

void TForm1::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!shown_ && !event->spontaneous()) {
        shown_ = true;
        gyroapp::RunHandler([this] { FormShow(); });
    }
}

void TForm1::FormShow()
{
    if (!LoadParameters()) {
        gyroapp::Services().Notify(QStringLiteral("Can't find data!"));
        gyroapp::Terminate(1);
        return;
    }
    WriteParameters();
    ReadParameters();
    const RunStatus status = Model.AllocateSeries();
    if (!status.ok())
        gyroapp::Services().Notify(FromUtf8(status.message));
}

bool TForm1::LoadParameters()
{
    return Model.LoadParameters(DataPath);
}

void TForm1::WriteParameters()
{
    for (int k = 1; k <= static_cast<int>(ModelParameters::Count); ++k)
        Form3->SetValue(k, Params.at(static_cast<std::size_t>(k - 1)));
}

void TForm1::ReadParameters()
{
    // SampleCount is left to AllocateSeries, so that it changes only together with the series.
    for (int k = 1; k <= static_cast<int>(ModelParameters::Count); ++k)
        Params.at(static_cast<std::size_t>(k - 1)) = static_cast<float>(Form3->Value(k));
}

bool TForm1::Calculate()
{
    return gyroapp::CalculateInWindow(*Timer1, 0.0, Params.StopTime,
                                      [this](const std::function<bool(double)>& cancel) { return Model.Calculate(cancel); });
}

void TForm1::Recalculate()
{
    const ModelParameters previous = Params;
    // A field that is not a number ends the handler here, before the old series are touched.
    ReadParameters();
    // The new series replace the old ones only once they exist; a refusal leaves the old ones.
    const RunStatus allocation = Model.AllocateSeries();
    if (!allocation.ok()) {
        Params = previous;
        gyroapp::Services().Notify(FromUtf8(allocation.message));
        return;
    }
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
