#include "Field.h"

#include "AppServices.h"
#include "Forms.h"
#include "Locale.h"
#include "Main.h"
#include "Playback.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QToolButton>

namespace pelisond {

namespace {

// The playback track bar runs 0 .. 40; the timer fires every 50 - position ms.
constexpr int SlowestInterval = 50;
constexpr int FastestPosition = 40;

} // namespace

TForm2::TForm2(QWidget* parent)
    : ModalForm(parent)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Визуализация"));

    Bevel1 = new QFrame(this);
    Bevel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Bevel1->setGeometry(4, 8, 481, 485);

    OpenGLPanel1 = new QWidget(this);
    OpenGLPanel1->setObjectName(QStringLiteral("OpenGLPanel1"));
    OpenGLPanel1->setGeometry(8, 12, 473, 473);
    OpenGLPanel1->setAutoFillBackground(true);
    QPalette white = OpenGLPanel1->palette();
    white.setColor(QPalette::Window, Qt::white);
    OpenGLPanel1->setPalette(white);

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->move(503, 444);
    Label1->resize(200, 13);

    SpeedButton1 = new QToolButton(this);
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton1->setText(QStringLiteral("Старт/стоп"));
    SpeedButton1->setCheckable(true);
    SpeedButton1->setGeometry(508, 280, 81, 25);

    Button3 = new QPushButton(QStringLiteral("С начала"), this);
    Button3->setObjectName(QStringLiteral("Button3"));
    Button3->setGeometry(620, 280, 75, 25);
    Button3->setAutoDefault(false);

    Label7 = new QLabel(QStringLiteral("Скорость воспроизведения"), this);
    Label7->move(496, 336);
    Label7->adjustSize();

    TrackBar3 = new QSlider(Qt::Horizontal, this);
    TrackBar3->setObjectName(QStringLiteral("TrackBar3"));
    TrackBar3->setGeometry(496, 352, 205, 37);
    TrackBar3->setRange(0, FastestPosition);
    TrackBar3->setValue(FastestPosition);
    TrackBar3->setTickInterval(5);
    TrackBar3->setTickPosition(QSlider::TicksBelow);

    gyroapp::ConnectHandler(SpeedButton1, &QToolButton::clicked, this, &TForm2::SpeedButton1Click);
    gyroapp::ConnectHandler(Button3, &QPushButton::clicked, this, &TForm2::Button3Click);
    gyroapp::ConnectHandler(TrackBar3, &QSlider::valueChanged, this, &TForm2::TrackBar3Change);

    PlaceWindow({772, 502}, {94, 78});
}

void TForm2::RepaintView()
{
    OpenGLPanel1->repaint();
}

void TForm2::ReleaseStartStop()
{
    SpeedButton1->setChecked(false);
    SpeedButton1->setAutoRaise(false);
}

int TForm2::PlaybackInterval() const
{
    return SlowestInterval - TrackBar3->value();
}

void TForm2::SpeedButton1Click()
{
    if (SpeedButton1->isChecked()) {
        Form1->Timer1->start();
    } else {
        Form1->Timer1->stop();
        ReleaseStartStop();
    }
}

void TForm2::Button3Click()
{
    ReleaseStartStop();
    Form1->Timer1->stop();
    Form1->CurrentSample = 0;
    RepaintView();
    Label1->setText(QString::fromStdString(SampleTimeText(0, Form1->Params.PrintStep, gyroapp::LocaleSeparators(), 3)));
}

void TForm2::TrackBar3Change()
{
    Form1->Timer1->setInterval(PlaybackInterval());
}

void TForm2::FormShow()
{
    RepaintView();
    Form1->Timer1->setInterval(PlaybackInterval());
    Label1->setText(QString::fromStdString(
        SampleTimeText(Form1->CurrentSample, Form1->Params.PrintStep, gyroapp::LocaleSeparators())));
}

void TForm2::FormHide()
{
    ReleaseStartStop();
    Form1->Timer1->stop();
}

} // namespace pelisond
