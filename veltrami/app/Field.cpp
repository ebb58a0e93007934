#include "Field.h"

#include "AppServices.h"
#include "Forms.h"
#include "Main.h"

#include <QFrame>
#include <QLabel>
#include <QTimer>
#include <QToolButton>

namespace veltrami {

TForm2::TForm2(QWidget* parent)
    : ModalForm(parent)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Визуализация"));

    Bevel1 = new QFrame(this);
    Bevel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Bevel1->setGeometry(4, 8, 397, 397);

    OpenGLPanel1 = new QWidget(this);
    OpenGLPanel1->setObjectName(QStringLiteral("OpenGLPanel1"));
    OpenGLPanel1->setGeometry(8, 12, 389, 389);
    OpenGLPanel1->setAutoFillBackground(true);
    QPalette black = OpenGLPanel1->palette();
    black.setColor(QPalette::Window, Qt::black);
    OpenGLPanel1->setPalette(black);

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->move(7, 412);
    Label1->resize(200, 13);

    SpeedButton1 = new QToolButton(this);
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton1->setText(QStringLiteral("Старт/стоп"));
    SpeedButton1->setCheckable(true);
    SpeedButton1->setGeometry(420, 304, 81, 25);
    gyroapp::ConnectHandler(SpeedButton1, &QToolButton::clicked, this, &TForm2::SpeedButton1Click);

    PlaceWindow({630, 456}, {115, 148});
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

void TForm2::SpeedButton1Click()
{
    if (SpeedButton1->isChecked()) {
        Form1->Timer1->start();
    } else {
        Form1->Timer1->stop();
        ReleaseStartStop();
    }
}

void TForm2::FormShow()
{
    RepaintView();
}

void TForm2::FormHide()
{
    ReleaseStartStop();
    Form1->Timer1->stop();
}

} // namespace veltrami
