// The picture's context menu: saving, printing and recording the animation as frames.
#include "ViewFixture.h"

#include "Field.h"
#include "Forms.h"
#include "Main.h"
#include "OpenGLPanel.h"
#include "PictureMenu.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScreen>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWindow>

namespace viewtest {
namespace {

using veltrami::Form1;
using veltrami::Form2;

class ViewMenu : public ViewTest {
protected:
    void SetUp() override
    {
        Start(ShippedDataWith());
        Calculate();
        ShowView();
        services.ProgressUpdates = 0;  // the calculation's own ones
        menu = Form2->PopupMenu1;
        menu->ChooseFile = [this](QWidget*, const QString&, const QString&) { return chosenFile; };
        menu->ChooseFolder = [this](QWidget*, const QString&) { return chosenFolder; };
    }

    // Puts the view at sample k as the timer would, without the timer.
    static void ShowTicked(int k)
    {
        Form1->CurrentSample = k - 1;
        Form1->Timer1Timer();
        ASSERT_EQ(Form1->CurrentSample, k);
    }

    static QStringList FramesIn(const QString& folder)
    {
        return QDir(folder).entryList({QStringLiteral("*")}, QDir::Files, QDir::Name);
    }

    static QStringList FrameNames(int count)
    {
        QStringList names;
        for (int i = 0; i < count; ++i)
            names << QStringLiteral("frame_%1.png").arg(i, 5, 10, QLatin1Char('0'));
        return names;
    }

    viewexport::PictureMenu* menu = nullptr;
    QString chosenFile;
    QString chosenFolder;
};

TEST_F(ViewMenu, RightButtonOnThePanelOpensTheMenuWithItsRussianActions)
{
    QWindow* surface = Form2->OpenGLPanel1->SurfaceWindow();
    QTest::mouseClick(surface, Qt::LeftButton, Qt::NoModifier, QPoint(100, 120));
    EXPECT_FALSE(menu->Menu->isVisible()) << "the left button brings no menu";

    QTest::mouseClick(surface, Qt::RightButton, Qt::NoModifier, QPoint(100, 120));
    ASSERT_TRUE(QTest::qWaitFor([this] { return menu->Menu->isVisible(); }, 5000));
    QStringList captions;
    for (const QAction* action : menu->Menu->actions())
        if (!action->isSeparator())
            captions << action->text();
    EXPECT_EQ(captions, (QStringList{QStringLiteral("Сохранить изображение как BMP..."),
                                     QStringLiteral("Сохранить изображение как PNG..."), QStringLiteral("Печать..."),
                                     QStringLiteral("Записать анимацию в PNG...")}));
    const QPoint corner = Form2->OpenGLPanel1->mapToGlobal(QPoint(100, 120));
    EXPECT_LE((menu->Menu->geometry().topLeft() - corner).manhattanLength(), 2) << "the menu opens at the pointer";
    menu->Menu->close();
}

TEST_F(ViewMenu, SavedBmpAndPngHoldThePanelsPicture)
{
    ShowTicked(40);
    const QImage shown = Form2->OpenGLPanel1->GrabOpenGLPanel();
    ASSERT_EQ(shown.size(), QSize(389, 389));

    chosenFile = dir.filePath(QStringLiteral("picture"));
    menu->SaveBmpAction->trigger();
    QImage bmp;
    ASSERT_TRUE(bmp.load(chosenFile + QStringLiteral(".bmp"), "bmp")) << "a name without a suffix gets .bmp";
    EXPECT_EQ(Differing(bmp.convertToFormat(QImage::Format_RGB32), shown), 0);

    chosenFile = dir.filePath(QStringLiteral("picture.png"));
    menu->SavePngAction->trigger();
    QImage png;
    ASSERT_TRUE(png.load(chosenFile, "png"));
    EXPECT_EQ(Differing(png.convertToFormat(QImage::Format_RGB32), shown), 0);

    // A cancelled dialog writes nothing; a file that cannot be written is an error, told.
    chosenFile.clear();
    menu->SavePngAction->trigger();
    EXPECT_EQ(FramesIn(dir.path()).size(), 3) << FramesIn(dir.path()).join(QLatin1Char(' ')).toStdString();
    EXPECT_TRUE(services.Errors.isEmpty());
    chosenFile = dir.filePath(QStringLiteral("no-such-folder/picture.png"));
    menu->SavePngAction->trigger();
    chosenFile = dir.filePath(QStringLiteral("no-such-folder/picture.bmp"));
    menu->SaveBmpAction->trigger();
    EXPECT_EQ(services.Errors.size(), 2);
}

TEST_F(ViewMenu, PrintingGoesToThePrinterSetUpAndWithoutAPrinterTheUserIsTold)
{
    const QString pdf = dir.filePath(QStringLiteral("printout.pdf"));
    bool accept = false;
    menu->PrinterInstalled = [] { return true; };
    menu->SetUpPrinter = [&](QPrinter& printer, QWidget*) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return accept;
    };
    menu->PrintAction->trigger();
    EXPECT_FALSE(QFile::exists(pdf)) << "the printer dialog was cancelled";

    accept = true;
    menu->PrintAction->trigger();
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray printed = file.readAll();
    EXPECT_TRUE(printed.startsWith("%PDF-"));
    EXPECT_TRUE(printed.contains("/Subtype /Image")) << "the page holds the picture";
    EXPECT_TRUE(services.Notices.isEmpty());

    if (!QPrinterInfo::defaultPrinter().isNull())
        GTEST_SKIP() << "this computer has a printer: the notice without one is not checked";
    menu->PrinterInstalled = [] { return false; };
    bool setUp = false;
    menu->SetUpPrinter = [&](QPrinter&, QWidget*) { return setUp = true; };
    menu->PrintAction->trigger();
    EXPECT_FALSE(setUp);
    EXPECT_EQ(services.Notices, QStringList{QStringLiteral("Принтер не установлен: изображение не напечатано.")});
}

TEST_F(ViewMenu, RecordingWritesTheShownSamplesToTheLastAndLeavesTheViewAsItWas)
{
    const int last = Form1->LastShownSample();
    ASSERT_GT(last, 20);
    const int first = last - 7;
    ShowTicked(first);
    const QString label = Form2->Label1->text();
    const float alpha = Form2->ViewAlpha;
    const QImage before = Form2->OpenGLPanel1->GrabOpenGLPanel();

    // Playing when the recording starts: the timer must not tick under it.
    QTest::mouseClick(Form2->SpeedButton1, Qt::LeftButton);
    ASSERT_TRUE(Form1->Timer1->isActive());
    int ticks = 0;
    QObject::connect(Form1->Timer1, &QTimer::timeout, Form2, [&ticks] { ++ticks; });
    services.ProbeDuringRun = [] {
        QTest::qWait(20);
        return Form1->Timer1->isActive();
    };
    chosenFolder = dir.filePath(QStringLiteral("frames"));
    QDir().mkpath(chosenFolder);
    menu->RecordAction->trigger();

    EXPECT_FALSE(services.ProbeSeenTrue) << "the timer ran during the recording";
    EXPECT_EQ(ticks, 0);
    EXPECT_TRUE(Form1->Timer1->isActive()) << "the animation goes on afterwards";
    EXPECT_EQ(Form1->CurrentSample, first);
    Form1->Timer1->stop();
    EXPECT_EQ(Form2->Label1->text(), label);
    EXPECT_EQ(Form2->ViewAlpha, alpha);
    EXPECT_EQ(Differing(Form2->OpenGLPanel1->GrabOpenGLPanel(), before), 0);
    EXPECT_EQ(services.ProgressUpdates, 8);
    ASSERT_EQ(services.Notices.size(), 1);
    EXPECT_TRUE(services.Notices.front().startsWith(QStringLiteral("Записано кадров: 8 "))) << services.Notices.front().toStdString();

    ASSERT_EQ(FramesIn(chosenFolder), FrameNames(8));
    QImage previous;
    for (int i = 0; i < 8; ++i) {
        QImage frame;
        ASSERT_TRUE(frame.load(QDir(chosenFolder).filePath(FrameNames(8)[i]), "png"));
        frame = frame.convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(frame.size(), Form2->OpenGLPanel1->size());
        // Each frame is what the view shows at its sample, screen and all.
        ShowTicked(first + i);
        EXPECT_EQ(Differing(frame, Form2->OpenGLPanel1->GrabOpenGLPanel()), 0) << "frame " << i;
        if (i > 0) {
            EXPECT_GT(Differing(frame, previous), 100) << "the rotor turns from frame " << i - 1 << " to " << i;
        }
        previous = frame;
    }
}

TEST_F(ViewMenu, CancelledRecordingKeepsTheFramesWrittenAndTellsHowMany)
{
    ShowTicked(10);
    services.CancelAtUpdate = 3;
    chosenFolder = dir.filePath(QStringLiteral("cancelled"));
    menu->RecordAction->trigger();
    EXPECT_EQ(FramesIn(chosenFolder), FrameNames(3));
    ASSERT_EQ(services.Notices.size(), 1);
    EXPECT_TRUE(services.Notices.front().contains(QStringLiteral("прервана"))) << services.Notices.front().toStdString();
    EXPECT_TRUE(services.Notices.front().contains(QStringLiteral("Записано кадров: 3 "))) << services.Notices.front().toStdString();
    EXPECT_EQ(Form1->CurrentSample, 10);
    EXPECT_FALSE(Form1->Timer1->isActive()) << "a stopped animation stays stopped";
}

TEST_F(ViewMenu, EarlierFramesInTheFolderAreReplacedOnlyWhenTheUserAgrees)
{
    chosenFolder = dir.filePath(QStringLiteral("again"));
    ShowTicked(Form1->LastShownSample() - 2);
    menu->RecordAction->trigger();
    ASSERT_EQ(FramesIn(chosenFolder), FrameNames(3));
    QFile stray(QDir(chosenFolder).filePath(QStringLiteral("frame_00099.png")));
    ASSERT_TRUE(stray.open(QIODevice::WriteOnly));
    stray.close();
    QFile other(QDir(chosenFolder).filePath(QStringLiteral("notes.txt")));
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.close();

    ShowTicked(Form1->LastShownSample() - 1);
    services.Answer({false});
    menu->RecordAction->trigger();
    EXPECT_EQ(services.Questions.size(), 1);
    EXPECT_EQ(FramesIn(chosenFolder).size(), 5) << "declined: nothing touched";

    services.Answer({true});
    menu->RecordAction->trigger();
    EXPECT_EQ(FramesIn(chosenFolder), FrameNames(2) << QStringLiteral("notes.txt"))
        << "the earlier frames gave way, other files stayed";
}

// Also the screenshot of the documentation, when screenshots are asked for.
TEST_F(ViewMenu, WindowPictureMidAnimationShowsThePanelAtItsPlace)
{
    Form2->TrackBar1->setValue(30000);
    Form2->TrackBar2->setValue(30000);
    ShowTicked(Form1->LastShownSample() / 2);
    const QImage panel = Form2->OpenGLPanel1->GrabOpenGLPanel();
    QCoreApplication::processEvents();
    const QImage window = Form2->screen()->grabWindow(Form2->winId()).toImage().convertToFormat(QImage::Format_RGB32);
    Keep(window, QStringLiteral("veltrami-view"));
    const QRect at(Form2->OpenGLPanel1->mapTo(Form2, QPoint(0, 0)), panel.size());
    EXPECT_EQ(Differing(window.copy(at), panel), 0);
    EXPECT_GT(CountAll(panel, IsRed), 0) << "the torque and kinetic-moment arrows are there";
}

} // namespace
} // namespace viewtest
