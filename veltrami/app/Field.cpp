#include "Field.h"

#include "AppServices.h"
#include "Choice.h"
#include "Fonts.h"
#include "Forms.h"
#include "GimbalScene.h"
#include "Graph.h"
#include "Locale.h"
#include "Main.h"
#include "OpenGLPanel.h"
#include "PictureMenu.h"
#include "Playback.h"
#include "ProgramDirectory.h"

#include <QFrame>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QToolButton>

#include <algorithm>

namespace veltrami {

namespace {

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, QPoint at)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->move(at);
    label->adjustSize();
    return label;
}

// A magnification bar: 1 .. 100000 from top to bottom, ticks on both sides.
QSlider* MakeFactorBar(QWidget* parent, const char* name, int x)
{
    auto* bar = new QSlider(Qt::Vertical, parent);
    bar->setObjectName(QString::fromLatin1(name));
    bar->setGeometry(x, 52, 41, 225);
    bar->setRange(1, 100000);
    bar->setPageStep(2);
    bar->setValue(10000);
    bar->setTickInterval(10000);
    bar->setTickPosition(QSlider::TicksBothSides);
    bar->setInvertedAppearance(true);
    bar->setInvertedControls(true);
    bar->setToolTip(QString::number(bar->value()));
    return bar;
}

} // namespace

TForm2::TForm2(QWidget* parent)
    : ModalForm(parent)
    , TexturePath(gyroapp::ProgramDirectory() + QStringLiteral("textur1.bmp"))
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Визуализация"));
    setFont(gyroapp::WindowsFont(QStringLiteral("MS Sans Serif"), 11));

    Bevel1 = new QFrame(this);
    Bevel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Bevel1->setGeometry(4, 8, 397, 397);

    OpenGLPanel1 = new TOpenGLPanel(this);
    OpenGLPanel1->setObjectName(QStringLiteral("OpenGLPanel1"));
    OpenGLPanel1->setGeometry(8, 12, 389, 389);
    OpenGLPanel1->SetPFDFlags({f_PFD_DRAW_TO_WINDOW, f_PFD_SUPPORT_OPENGL, f_PFD_DOUBLEBUFFER});
    OpenGLPanel1->OnInit = [this](TOpenGLPanel* sender) { OpenGLPanel1Init(sender); };
    OpenGLPanel1->OnResize = [this](TOpenGLPanel* sender) { OpenGLPanel1Resize(sender); };
    OpenGLPanel1->OnPaint = [this](TOpenGLPanel* sender) { OpenGLPanel1Paint(sender); };
    OpenGLPanel1->OnMouseUp = [this](TOpenGLPanel* sender, Qt::MouseButton button, Qt::KeyboardModifiers shift, int x,
                                     int y) {
        gyroapp::RunHandler([&] { OpenGLPanel1MouseUp(sender, button, shift, x, y); });
    };

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->move(7, 412);
    Label1->resize(200, 13);

    SpeedButton1 = new QToolButton(this);
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton1->setText(QStringLiteral("Старт/стоп"));
    SpeedButton1->setCheckable(true);
    SpeedButton1->setGeometry(420, 304, 81, 25);

    Button3 = new QPushButton(QStringLiteral("С начала"), this);
    Button3->setObjectName(QStringLiteral("Button3"));
    Button3->setGeometry(532, 304, 75, 25);

    Label2 = MakeLabel(this, "Label2", QStringLiteral("Коэф. умножения  по альфа"), {420, 8});
    Label2->setWordWrap(true);
    Label2->resize(60, 39);
    Label3 = MakeLabel(this, "Label3", QStringLiteral("Коэф. умножения  по бета"), {508, 8});
    Label3->setWordWrap(true);
    Label3->resize(60, 39);

    TrackBar1 = MakeFactorBar(this, "TrackBar1", 428);
    TrackBar2 = MakeFactorBar(this, "TrackBar2", 516);

    const QFont bold = gyroapp::WindowsFont(QStringLiteral("MS Sans Serif"), 11, true);
    Label4 = MakeLabel(this, "Label4", QStringLiteral("1"), {488, 56});
    Label6 = MakeLabel(this, "Label6", QStringLiteral("50000"), {476, 148});
    Label5 = MakeLabel(this, "Label5", QStringLiteral("100000"), {472, 260});
    for (QLabel* mark : {Label4, Label6, Label5}) {
        mark->setFont(bold);
        mark->adjustSize();
    }

    Label7 = MakeLabel(this, "Label7", QStringLiteral("Скорость воспроизведения"), {408, 336});

    TrackBar3 = new QSlider(Qt::Horizontal, this);
    TrackBar3->setObjectName(QStringLiteral("TrackBar3"));
    TrackBar3->setGeometry(408, 352, 205, 37);
    TrackBar3->setRange(0, 90);
    TrackBar3->setPageStep(2);
    TrackBar3->setValue(90);
    TrackBar3->setTickInterval(10);
    TrackBar3->setTickPosition(QSlider::TicksBelow);

    Button1 = new QPushButton(QStringLiteral("Графики"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(420, 404, 75, 25);
    Button2 = new QPushButton(QStringLiteral("Фазовый портрет"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(508, 404, 101, 25);

    gyroapp::ConnectHandler(SpeedButton1, &QToolButton::clicked, this, &TForm2::SpeedButton1Click);
    gyroapp::ConnectHandler(Button1, &QPushButton::clicked, this, &TForm2::Button1Click);
    gyroapp::ConnectHandler(Button2, &QPushButton::clicked, this, &TForm2::Button2Click);
    gyroapp::ConnectHandler(Button3, &QPushButton::clicked, this, &TForm2::Button3Click);
    gyroapp::ConnectHandler(TrackBar1, &QSlider::valueChanged, this, &TForm2::TrackBar1Change);
    gyroapp::ConnectHandler(TrackBar2, &QSlider::valueChanged, this, &TForm2::TrackBar2Change);
    gyroapp::ConnectHandler(TrackBar3, &QSlider::valueChanged, this, &TForm2::TrackBar3Change);

    viewexport::Animation animation;
    animation.timer = [] { return Form1->Timer1; };
    animation.shownSample = [this] { return Form1->Model.Recorded() > 0 ? ShownSample() : -1; };
    animation.lastSample = [] { return Form1->LastShownSample(); };
    animation.showSample = [this](int k) { ShowSample(k); };
    animation.keepView = [this]() -> std::function<void()> {
        const int sample = Form1->CurrentSample;
        const QString time = Label1->text();
        const float alpha = ViewAlpha, beta = ViewBeta;
        const float inner = InnerTorqueLevel, outer = OuterTorqueLevel;
        const bool innerPositive = InnerTorquePositive, outerPositive = OuterTorquePositive;
        return [=, this] {
            Form1->CurrentSample = sample;
            Label1->setText(time);
            ViewAlpha = alpha;
            ViewBeta = beta;
            InnerTorqueLevel = inner;
            OuterTorqueLevel = outer;
            InnerTorquePositive = innerPositive;
            OuterTorquePositive = outerPositive;
        };
    };
    PopupMenu1 = new viewexport::PictureMenu(OpenGLPanel1, std::move(animation), this);

    PlaceWindow({630, 456}, {115, 148});
}

void TForm2::RepaintView()
{
    OpenGLPanel1->Repaint();
}

void TForm2::ReleaseStartStop()
{
    SpeedButton1->setChecked(false);
    SpeedButton1->setAutoRaise(false);
}

int TForm2::ShownSample() const
{
    const int recorded = Form1->Model.Recorded();
    if (recorded <= 0)
        return 0;
    return std::clamp(Form1->CurrentSample, 0, recorded - 1);
}

void TForm2::TakeAngles(int k)
{
    if (!Form1->SampleRecorded(k)) {
        ViewAlpha = 0;
        ViewBeta = 0;
        return;
    }
    const auto index = static_cast<std::size_t>(k);
    ViewAlpha = ViewAngle(Form1->Model.Alf[index]);
    ViewBeta = ViewAngle(Form1->Model.Bet[index]);
}

void TForm2::ShowSample(int k)
{
    Form1->CurrentSample = k;
    Label1->setText(QString::fromStdString(SampleTimeText(k, Form1->Params.PrintStep, gyroapp::LocaleSeparators())));
    Form1->ShowMomentLevels(k);
    TakeAngles(k);
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

void TForm2::Button1Click()
{
    Form8->ShowModal();
}

void TForm2::Button2Click()
{
    Form5->ShowModal();
}

void TForm2::Button3Click()
{
    ReleaseStartStop();
    Form1->Timer1->stop();
    Form1->CurrentSample = 0;
    TakeAngles(0);
    RepaintView();
    Label1->setText(QString::fromStdString(SampleTimeText(0, Form1->Params.PrintStep, gyroapp::LocaleSeparators())));
}

void TForm2::TrackBar1Change()
{
    TrackBar1->setToolTip(QString::number(TrackBar1->value()));
}

void TForm2::TrackBar2Change()
{
    TrackBar2->setToolTip(QString::number(TrackBar2->value()));
}

void TForm2::TrackBar3Change()
{
    Form1->Timer1->setInterval(100 - TrackBar3->value());
}

void TForm2::FormShow()
{
    // A recalculation since the last showing may have left other angles at this index,
    // or none at all.
    TakeAngles(ShownSample());
    RepaintView();
    Form1->Timer1->setInterval(100 - TrackBar3->value());
}

void TForm2::FormHide()
{
    ReleaseStartStop();
    Form1->Timer1->stop();
}

void TForm2::OpenGLPanel1Init(TOpenGLPanel* Sender)
{
    std::unique_ptr<BMPTexture> texture;
    QString failure;
    try {
        texture = Sender->LoadBMPTexture(TexturePath, true);
        if (!TextureSidesAccepted(texture->Width(), texture->Height()))
            failure = QStringLiteral("стороны %1 × %2 — не степени двойки").arg(texture->Width()).arg(texture->Height());
    } catch (const std::exception&) {
        failure = QStringLiteral("файл не читается");
    }
    const bool textured = InitGimbalScene(Sender->width(), Sender->height(), texture.get());
    if (failure.isEmpty() && !textured)
        failure = QStringLiteral("OpenGL её не принял");
    if (!failure.isEmpty())
        ReportMissingTexture(failure);
}

void TForm2::ReportMissingTexture(const QString& reason)
{
    if (textureReported_)
        return;
    textureReported_ = true;
    const QString text =
        QStringLiteral("Текстура ротора «%1» не загружена: %2. Ротор рисуется без текстуры.").arg(TexturePath, reason);
    // Told after the panel has let go of its context, not from inside its creation.
    QPointer<TForm2> self = this;
    QTimer::singleShot(0, this, [self, text] {
        if (self)
            gyroapp::RunHandler([&text] { gyroapp::Services().ShowError(text); });
    });
}

void TForm2::OpenGLPanel1Resize(TOpenGLPanel* Sender)
{
    SetGimbalProjection(Sender->width(), Sender->height());
}

void TForm2::OpenGLPanel1Paint(TOpenGLPanel*)
{
    GimbalSceneState state;
    state.alphaDegrees = TrackBar1->value() * static_cast<double>(ViewAlpha);
    state.betaDegrees = TrackBar2->value() * static_cast<double>(ViewBeta);
    state.outerTorqueShown = Form1->Params.MomentAlfAmplitude != 0;
    state.outerTorqueLevel = OuterTorqueLevel;
    state.outerTorquePositive = OuterTorquePositive;
    state.innerTorqueShown = Form1->Params.MomentBetAmplitude != 0;
    state.innerTorqueLevel = InnerTorqueLevel;
    state.innerTorquePositive = InnerTorquePositive;
    state.spinning = Form1->Params.KineticMoment != 0;
    state.sample = ShownSample();
    DrawGimbalScene(state);
}

void TForm2::OpenGLPanel1MouseUp(TOpenGLPanel*, Qt::MouseButton Button, Qt::KeyboardModifiers, int X, int Y)
{
    if (Button == Qt::RightButton)
        PopupMenu1->Popup(OpenGLPanel1->mapToGlobal(QPoint(X, Y)));
}

} // namespace veltrami
