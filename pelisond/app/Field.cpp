#include "Field.h"

#include "AppServices.h"
#include "Fonts.h"
#include "Forms.h"
#include "GraphWindows.h"
#include "Locale.h"
#include "Main.h"
#include "OpenGLPanel.h"
#include "PictureMenu.h"
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

QFrame* MakeBevel(QWidget* parent, const QRect& geometry)
{
    auto* bevel = new QFrame(parent);
    bevel->setFrameStyle(QFrame::Box | QFrame::Sunken);
    bevel->setGeometry(geometry);
    return bevel;
}

QLabel* MakeLabel(QWidget* parent, const QString& text, QPoint at, bool bold = false)
{
    auto* label = new QLabel(text, parent);
    if (bold)
        label->setFont(gyroapp::WindowsFont(QStringLiteral("MS Sans Serif"), 11, true));
    label->move(at);
    label->adjustSize();
    return label;
}

// A caption that wraps within its frame, as the factor captions do.
QLabel* MakeWrappedLabel(QWidget* parent, const QString& text, const QRect& geometry)
{
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setGeometry(geometry);
    return label;
}

// A vertical factor track bar: its minimum at the top, ticks on both sides, its position as its hint.
QSlider* MakeFactorBar(QWidget* parent, const char* name, int left, int maximum, int tickEvery)
{
    auto* bar = new QSlider(Qt::Vertical, parent);
    bar->setObjectName(QString::fromLatin1(name));
    bar->setGeometry(left, 56, 41, 193);
    bar->setRange(1, maximum);
    bar->setValue(1);
    bar->setInvertedAppearance(true);
    bar->setInvertedControls(true);
    bar->setTickInterval(tickEvery);
    bar->setTickPosition(QSlider::TicksBothSides);
    bar->setToolTip(QString::number(bar->value()));
    return bar;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& text, const QRect& geometry)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(geometry);
    button->setAutoDefault(false);
    return button;
}

} // namespace

TForm2::TForm2(QWidget* parent)
    : ModalForm(parent)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Визуализация"));
    setFont(gyroapp::WindowsFont(QStringLiteral("MS Sans Serif"), 11));
    SymbolFont.SetBold(true);

    Bevel1 = MakeBevel(this, {4, 8, 481, 485});

    OpenGLPanel1 = new TOpenGLPanel(this);
    OpenGLPanel1->setObjectName(QStringLiteral("OpenGLPanel1"));
    OpenGLPanel1->setGeometry(8, 12, 473, 473);
    OpenGLPanel1->SetPFDFlags({f_PFD_DRAW_TO_WINDOW, f_PFD_SUPPORT_OPENGL, f_PFD_DOUBLEBUFFER});
    TPanelFont axisFont(QStringLiteral("Arial"), -13, ANSI_CHARSET);
    axisFont.SetBold(true);
    OpenGLPanel1->SetFont(axisFont);
    OpenGLPanel1->SetFont2D_Enabled(true);
    OpenGLPanel1->OnInit = [this](TOpenGLPanel* sender) { OpenGLPanel1Init(sender); };
    OpenGLPanel1->OnPaint = [this](TOpenGLPanel* sender) { OpenGLPanel1Paint(sender); };
    OpenGLPanel1->OnMouseMove = [this](TOpenGLPanel* sender, Qt::MouseButtons buttons, Qt::KeyboardModifiers shift,
                                       int x, int y) {
        gyroapp::RunHandler([&] { OpenGLPanel1MouseMove(sender, buttons, shift, x, y); });
    };
    OpenGLPanel1->OnMouseUp = [this](TOpenGLPanel* sender, Qt::MouseButton button, Qt::KeyboardModifiers shift, int x,
                                     int y) {
        gyroapp::RunHandler([&] { OpenGLPanel1MouseUp(sender, button, shift, x, y); });
    };

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->move(503, 444);
    Label1->resize(220, 13);

    SpeedButton1 = new QToolButton(this);
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton1->setText(QStringLiteral("Старт/стоп"));
    SpeedButton1->setCheckable(true);
    SpeedButton1->setGeometry(508, 280, 81, 25);
    Button3 = MakeButton(this, "Button3", QStringLiteral("С начала"), {620, 280, 75, 25});

    Bevel2 = MakeBevel(this, {492, 8, 77, 245});
    Bevel3 = MakeBevel(this, {572, 8, 93, 245});
    Bevel4 = MakeBevel(this, {668, 8, 97, 245});
    Label2 = MakeWrappedLabel(this, QStringLiteral("Коэф. умножения  по X"), {500, 12, 65, 40});
    Label3 = MakeWrappedLabel(this, QStringLiteral("Коэф. умножения  по Y"), {580, 12, 81, 40});
    Label11 = MakeWrappedLabel(this, QStringLiteral("Коэф. умножения  по Fi"), {676, 12, 85, 40});
    TrackBar1 = MakeFactorBar(this, "TrackBar1", 504, 10, 1);
    TrackBar2 = MakeFactorBar(this, "TrackBar2", 584, 1000, 100);
    TrackBar4 = MakeFactorBar(this, "TrackBar4", 680, 10000, 1000);
    Label4 = MakeLabel(this, QStringLiteral("1"), {552, 60}, true);
    Label6 = MakeLabel(this, QStringLiteral("5"), {548, 152}, true);
    Label5 = MakeLabel(this, QStringLiteral("10"), {548, 228}, true);
    Label8 = MakeLabel(this, QStringLiteral("1"), {636, 60}, true);
    Label9 = MakeLabel(this, QStringLiteral("500"), {632, 152}, true);
    Label10 = MakeLabel(this, QStringLiteral("1000"), {632, 228}, true);
    Label12 = MakeLabel(this, QStringLiteral("1"), {732, 60}, true);
    Label13 = MakeLabel(this, QStringLiteral("5000"), {728, 152}, true);
    Label14 = MakeLabel(this, QStringLiteral("10000"), {724, 228}, true);

    Label7 = MakeLabel(this, QStringLiteral("Скорость воспроизведения"), {496, 336});
    TrackBar3 = new QSlider(Qt::Horizontal, this);
    TrackBar3->setObjectName(QStringLiteral("TrackBar3"));
    TrackBar3->setGeometry(496, 352, 205, 37);
    TrackBar3->setRange(0, FastestPosition);
    TrackBar3->setValue(FastestPosition);
    TrackBar3->setTickInterval(5);
    TrackBar3->setTickPosition(QSlider::TicksBelow);

    Button1 = MakeButton(this, "Button1", QStringLiteral("Графики"), {508, 404, 75, 25});
    Button2 = MakeButton(this, "Button2", QStringLiteral("Фазовый портрет"), {596, 404, 101, 25});

    gyroapp::ConnectHandler(SpeedButton1, &QToolButton::clicked, this, &TForm2::SpeedButton1Click);
    gyroapp::ConnectHandler(Button3, &QPushButton::clicked, this, &TForm2::Button3Click);
    gyroapp::ConnectHandler(Button1, &QPushButton::clicked, this, &TForm2::Button1Click);
    gyroapp::ConnectHandler(Button2, &QPushButton::clicked, this, &TForm2::Button2Click);
    gyroapp::ConnectHandler(TrackBar1, &QSlider::valueChanged, this, &TForm2::TrackBar1Change);
    gyroapp::ConnectHandler(TrackBar2, &QSlider::valueChanged, this, &TForm2::TrackBar2Change);
    gyroapp::ConnectHandler(TrackBar4, &QSlider::valueChanged, this, &TForm2::TrackBar4Change);
    gyroapp::ConnectHandler(TrackBar3, &QSlider::valueChanged, this, &TForm2::TrackBar3Change);

    viewexport::Animation animation;
    animation.timer = [] { return Form1->Timer1; };
    animation.shownSample = [this] { return SampleToDraw(); };
    animation.lastSample = [] { return Form1->LastShownSample(); };
    animation.showSample = [this](int k) {
        Form1->CurrentSample = k;
        Label1->setText(
            QString::fromStdString(SampleTimeText(k, Form1->Params.PrintStep, gyroapp::LocaleSeparators())));
    };
    animation.keepView = [this]() -> std::function<void()> {
        const int sample = Form1->CurrentSample;
        const QString time = Label1->text();
        return [=, this] {
            Form1->CurrentSample = sample;
            Label1->setText(time);
        };
    };
    PopupMenu1 = new viewexport::PictureMenu(OpenGLPanel1, std::move(animation), this);

    PlaceWindow({772, 502}, {94, 78});
}

TForm2::~TForm2()
{
    // The Ω glyphs are display lists of the panel's context: deleted there while it lives.
    if (symbolFont2D_ && OpenGLPanel1->RC() != 0) {
        OpenGLPanel1->MakeOpenGLPanelCurrent();
        symbolFont2D_.reset();
    }
    OpenGLPanel1->MakeOpenGLPanelNotCurrent();
    symbolFont2D_.reset();
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

int TForm2::PlaybackInterval() const
{
    return SlowestInterval - TrackBar3->value();
}

int TForm2::SampleToDraw() const
{
    // The timer, a rewind or a shorter recalculation may leave the index past the run.
    if (Form1->SampleRecorded(Form1->CurrentSample))
        return Form1->CurrentSample;
    return Form1->Model.Recorded() - 1;
}

Magnification TForm2::Factors() const
{
    return {TrackBar1->value(), TrackBar2->value(), TrackBar4->value()};
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

void TForm2::Button1Click()
{
    Form8->ShowModal();
}

void TForm2::Button2Click()
{
    Form5->ShowModal();
}

void TForm2::TrackBar1Change()
{
    TrackBar1->setToolTip(QString::number(TrackBar1->value()));
}

void TForm2::TrackBar2Change()
{
    TrackBar2->setToolTip(QString::number(TrackBar2->value()));
}

void TForm2::TrackBar4Change()
{
    TrackBar4->setToolTip(QString::number(TrackBar4->value()));
}

void TForm2::TrackBar3Change()
{
    Form1->Timer1->setInterval(PlaybackInterval());
}

void TForm2::OpenGLPanel1Init(TOpenGLPanel* Sender)
{
    // A context made anew has none of the old one's lists: forget the Ω glyphs without
    // deleting lists of that number in the new one.
    if (symbolFont2D_) {
        Sender->MakeOpenGLPanelNotCurrent();
        symbolFont2D_.reset();
        Sender->MakeOpenGLPanelCurrent();
    }
    SetUpSceneView(Sender->width(), Sender->height());
}

void TForm2::OpenGLPanel1Paint(TOpenGLPanel* Sender)
{
    const ScenePose pose = PoseAt(Form1->Model, SampleToDraw(), Factors());
    if (pose.baseTurns && !symbolFont2D_)
        symbolFont2D_ = Sender->Create2DFont(&SymbolFont, 32, 96);
    DrawTuningForkScene(*Sender, symbolFont2D_.get(), pose, {ViewTilt, ViewTurn});
}

void TForm2::OpenGLPanel1MouseMove(TOpenGLPanel*, Qt::MouseButtons Buttons, Qt::KeyboardModifiers, int X, int Y)
{
    if (!(Buttons & Qt::LeftButton))
        return;
    // The last position outlives the drag: a later drag's first move turns by the gap.
    if (LastMouseX != NoMouse) {
        ViewTurn += LastMouseX - X;
        ViewTilt += Y - LastMouseY;
    }
    LastMouseX = X;
    LastMouseY = Y;
    RepaintView();
}

void TForm2::OpenGLPanel1MouseUp(TOpenGLPanel*, Qt::MouseButton Button, Qt::KeyboardModifiers, int X, int Y)
{
    if (Button == Qt::RightButton)
        PopupMenu1->Popup(OpenGLPanel1->mapToGlobal(QPoint(X, Y)));
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
