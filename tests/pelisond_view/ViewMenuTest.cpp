// The picture's context menu in the tuning-fork view: it comes with the right button
// without disturbing the drag, and its saves and recording take this view's samples.
#include "Field.h"
#include "Forms.h"
#include "Main.h"
#include "OpenGLPanel.h"
#include "PictureMenu.h"
#include "WindowTestSupport.h"

#include <QAction>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <QWindow>

namespace {

using pelisond::Form1;
using pelisond::Form2;

int Differing(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return a.width() * a.height();
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            n += a.pixel(x, y) != b.pixel(x, y) ? 1 : 0;
    return n;
}

// The panel's window on the screen: until then a grab of the screen holds no picture.
void WaitForThePanel()
{
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Form2->OpenGLPanel1->SurfaceWindow()));
}

QImage Shown()
{
    return Form2->OpenGLPanel1->GrabOpenGLPanel().convertToFormat(QImage::Format_RGB32);
}

// Sample k in the view as the timer puts it there.
void ShowTicked(int k)
{
    Form1->CurrentSample = k - 1;
    Form1->Timer1Timer();
}

using ViewMenu = testsupport::PelisondWindows;

TEST_F(ViewMenu, RightButtonOpensTheMenuAndTheLeftButtonStillTurnsTheView)
{
    Start(testsupport::ShortRunData());
    Visualise([] {
        WaitForThePanel();
        QMenu* menu = Form2->PopupMenu1->Menu;
        QWindow* surface = Form2->OpenGLPanel1->SurfaceWindow();
        QTest::mousePress(surface, Qt::RightButton, Qt::NoModifier, QPoint(200, 200));
        QTest::mouseMove(surface, QPoint(230, 210));
        QTest::mouseRelease(surface, Qt::RightButton, Qt::NoModifier, QPoint(230, 210));
        ASSERT_TRUE(QTest::qWaitFor([menu] { return menu->isVisible(); }, 5000));
        EXPECT_EQ(Form2->ViewTurn, 45) << "a right-button move is no drag";
        EXPECT_EQ(Form2->ViewTilt, 15);
        QStringList captions;
        for (const QAction* action : menu->actions())
            if (!action->isSeparator())
                captions << action->text();
        EXPECT_EQ(captions, (QStringList{QStringLiteral("Сохранить изображение как BMP..."),
                                         QStringLiteral("Сохранить изображение как PNG..."),
                                         QStringLiteral("Печать..."), QStringLiteral("Записать анимацию в PNG...")}));
        menu->close();
        ASSERT_TRUE(QTest::qWaitFor([menu] { return !menu->isVisible(); }, 5000));

        QTest::mousePress(surface, Qt::LeftButton, Qt::NoModifier, QPoint(150, 120));
        QTest::mouseMove(surface, QPoint(160, 118));  // the first drag starts here, without a jump
        QTest::mouseMove(surface, QPoint(170, 116));
        QTest::mouseRelease(surface, Qt::LeftButton, Qt::NoModifier, QPoint(170, 116));
        EXPECT_EQ(Form2->ViewTurn, 35);
        EXPECT_EQ(Form2->ViewTilt, 13);
        EXPECT_FALSE(menu->isVisible());
    });
    EXPECT_TRUE(viewOpened);
}

TEST_F(ViewMenu, PngSaveAndRecordingTakeTheTuningForksSamples)
{
    Start(testsupport::ShortRunData());
    const QString picture = dir.filePath(QStringLiteral("fork"));
    const QString folder = dir.filePath(QStringLiteral("frames"));
    Visualise([&] {
        WaitForThePanel();
        viewexport::PictureMenu* menu = Form2->PopupMenu1;
        menu->ChooseFile = [&](QWidget*, const QString&, const QString&) { return picture; };
        menu->ChooseFolder = [&](QWidget*, const QString&) { return folder; };
        const int last = Form1->LastShownSample();
        ASSERT_GT(last, 10);
        ShowTicked(last - 4);
        const QString label = Form2->Label1->text();
        const QImage before = Shown();

        menu->SavePngAction->trigger();
        QImage png;
        ASSERT_TRUE(png.load(picture + QStringLiteral(".png"), "png"));
        EXPECT_EQ(Differing(png.convertToFormat(QImage::Format_RGB32), before), 0);

        menu->RecordAction->trigger();
        EXPECT_EQ(Form1->CurrentSample, last - 4);
        EXPECT_EQ(Form2->Label1->text(), label);
        const QStringList frames = QDir(folder).entryList(QDir::Files, QDir::Name);
        ASSERT_EQ(frames, (QStringList{QStringLiteral("frame_00000.png"), QStringLiteral("frame_00001.png"),
                                       QStringLiteral("frame_00002.png"), QStringLiteral("frame_00003.png"),
                                       QStringLiteral("frame_00004.png")}));
        QImage previous;
        for (int i = 0; i < frames.size(); ++i) {
            QImage frame;
            ASSERT_TRUE(frame.load(QDir(folder).filePath(frames[i]), "png"));
            frame = frame.convertToFormat(QImage::Format_RGB32);
            EXPECT_EQ(frame.size(), QSize(473, 473));
            ShowTicked(last - 4 + i);
            EXPECT_EQ(Differing(frame, Shown()), 0) << "frame " << i;
            if (i > 0) {
                EXPECT_GT(Differing(frame, previous), 50) << "the base turns from frame " << i - 1 << " to " << i;
            }
            previous = frame;
        }
    });
    EXPECT_TRUE(viewOpened);
    ASSERT_EQ(services.Notices.size(), 1);
    EXPECT_TRUE(services.Notices.front().startsWith(QStringLiteral("Записано кадров: 5 "))) 
        << services.Notices.front().toStdString();
}

// Also the screenshot of the documentation, when screenshots are asked for.
TEST_F(ViewMenu, WindowPictureMidAnimationShowsThePanelAtItsPlace)
{
    Start();
    Visualise([] {
        WaitForThePanel();
        // The sensing motion magnified a little, so that it shows.
        Form2->TrackBar2->setValue(200);
        ShowTicked(Form1->LastShownSample() / 2);
        const QImage panel = Shown();
        QCoreApplication::processEvents();
        const QImage window =
            Form2->screen()->grabWindow(Form2->winId()).toImage().convertToFormat(QImage::Format_RGB32);
        const QString shots = QString::fromLocal8Bit(qgetenv("GYRO_SCREENSHOTS"));
        if (!shots.isEmpty()) {
            QDir().mkpath(shots);
            window.save(shots + QStringLiteral("/pelisond-view.png"));
        }
        const QRect at(Form2->OpenGLPanel1->mapTo(Form2, QPoint(0, 0)), panel.size());
        EXPECT_EQ(Differing(window.copy(at), panel), 0);
        EXPECT_NE(Form2->Label1->text(), QString());
    });
    EXPECT_TRUE(viewOpened);
}

} // namespace
