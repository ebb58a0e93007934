// The 3D view drawn in a real X server and read back from the screen.
#include "Field.h"
#include "Forms.h"
#include "GraphWindows.h"
#include "Main.h"
#include "OpenGLPanel.h"
#include "WindowTestSupport.h"

#include <QDir>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWindow>

#include <cmath>
#include <functional>
#include <numbers>

namespace {

using pelisond::Form1;
using pelisond::Form2;
using testsupport::Local;

// Classes of the colours the scene uses, loose enough for the lighting.
bool IsWhite(QRgb p) { return qRed(p) > 245 && qGreen(p) > 245 && qBlue(p) > 245; }
bool IsBlack(QRgb p) { return qRed(p) < 60 && qGreen(p) < 60 && qBlue(p) < 60; }
bool IsRed(QRgb p) { return qRed(p) > 140 && qGreen(p) < 90 && qBlue(p) < 90; }
bool IsGreen(QRgb p) { return qGreen(p) > qRed(p) + 40 && qGreen(p) > qBlue(p) + 40; }
bool IsYellow(QRgb p) { return qRed(p) > 120 && qGreen(p) > 120 && qBlue(p) + 50 < qGreen(p); }

struct Point3 {
    double x, y, z;
};

// Where a scene point lands in the panel's picture for a view: turned about (0, -1, 0),
// then tilted about x, then the orthographic box -150 .. 150 over the 473 pixels.
QPointF Project(Point3 p, int tilt, int turn)
{
    const double a = turn * std::numbers::pi / 180;
    const double t = tilt * std::numbers::pi / 180;
    const double x = p.x * std::cos(a) - p.z * std::sin(a);
    const double z = p.x * std::sin(a) + p.z * std::cos(a);
    const double y = p.y * std::cos(t) - z * std::sin(t);
    const double scale = 473.0 / 300.0;
    return {(x + 150) * scale, (150 - y) * scale};
}

int Count(const QImage& picture, const QRect& area, bool (*is)(QRgb))
{
    int n = 0;
    const QRect r = area.intersected(picture.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += is(picture.pixel(x, y)) ? 1 : 0;
    return n;
}

bool BlackNear(const QImage& picture, QPointF at)
{
    return Count(picture, QRect(at.toPoint() - QPoint(2, 2), QSize(5, 5)), IsBlack) > 0;
}

// Centre of the pixels of one colour class, in the whole picture.
QPointF Centroid(const QImage& picture, bool (*is)(QRgb))
{
    double sx = 0, sy = 0;
    int n = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (is(picture.pixel(x, y))) {
                sx += x;
                sy += y;
                ++n;
            }
    return n ? QPointF(sx / n, sy / n) : QPointF(-1, -1);
}

// Below this row only the base (and the lower yoke) is drawn in the starting view.
int BaseTopRow()
{
    return static_cast<int>(Project({0, -60, 0}, 15, 0).y());
}

class View : public testsupport::PelisondWindows {
protected:
    // What the panel shows now, painted afresh.
    static QImage Picture(const QString& screenshot = {})
    {
        QWindow* surface = Form2->OpenGLPanel1->SurfaceWindow();
        EXPECT_TRUE(surface && QTest::qWaitForWindowExposed(surface));
        QImage picture = Form2->OpenGLPanel1->GrabOpenGLPanel().convertToFormat(QImage::Format_RGB32);
        const QString dir = QString::fromLocal8Bit(qgetenv("GYRO_SCREENSHOTS"));
        if (!screenshot.isEmpty() && !dir.isEmpty()) {
            QDir().mkpath(dir);
            picture.save(dir + QLatin1Char('/') + screenshot + QStringLiteral(".png"));
        }
        return picture;
    }

    // Puts one sample of the run in a known state: the elements' displacements, no frame angle.
    static void SetSample(int k, double x1, double x2, double y1, double y2)
    {
        auto& s = Form1->Model.Series;
        const auto i = static_cast<std::size_t>(k);
        s[pelisond::X1][i] = x1;
        s[pelisond::X2][i] = x2;
        s[pelisond::Y1][i] = y1;
        s[pelisond::Y2][i] = y2;
        s[pelisond::Fi][i] = 0;
        Form1->CurrentSample = k;
    }

    // The whole window as the screen shows it, panel included, when screenshots were asked for.
    static void SaveWindow(const QString& name)
    {
        const QString dir = QString::fromLocal8Bit(qgetenv("GYRO_SCREENSHOTS"));
        if (dir.isEmpty())
            return;
        QDir().mkpath(dir);
        Form2->screen()->grabWindow(Form2->winId()).save(dir + QLatin1Char('/') + name + QStringLiteral(".png"));
    }

    static void Move(int x, int y, Qt::MouseButtons buttons)
    {
        QMouseEvent move(QEvent::MouseMove, QPointF(x, y), Form2->OpenGLPanel1->mapToGlobal(QPointF(x, y)),
                         Qt::NoButton, buttons, Qt::NoModifier);
        QCoreApplication::sendEvent(Form2->OpenGLPanel1, &move);
    }
};

TEST_F(View, WithoutBaseRotationWhiteBackgroundBlackLabelledAxesNoArrowAndAStillBase)
{
    Start(testsupport::DataWith({{3, "0.003"}, {14, "0"}}));
    EXPECT_FALSE(Form2->OpenGLPanel1->OnResize) << "the view keeps the box its initialisation set";
    Visualise([] {
        const QImage first = Picture(QStringLiteral("view3d_still_base"));
        ASSERT_EQ(first.size(), QSize(473, 473));
        for (const QPoint corner : {QPoint(2, 2), QPoint(470, 2), QPoint(2, 470), QPoint(470, 470)})
            EXPECT_TRUE(IsWhite(first.pixel(corner))) << corner.x() << "," << corner.y();

        // The axes where nothing stands in front of them: drawn y (model Z) up, drawn x
        // (model Y) and drawn z (model X) between the elements.
        for (double d : {20.0, 40.0, 60.0, 80.0})
            EXPECT_TRUE(BlackNear(first, Project({d, 0, 0}, 15, 45))) << "drawn x at " << d;
        for (double d : {15.0, 30.0, 50.0})
            EXPECT_TRUE(BlackNear(first, Project({0, d, 0}, 15, 45))) << "drawn y at " << d;
        for (double d : {-50.0, -30.0, 30.0, 50.0})
            EXPECT_TRUE(BlackNear(first, Project({0, 0, d}, 15, 45))) << "drawn z at " << d;

        // A letter at each axis's end, drawn to the right of and above its raster position.
        const struct {
            const char* letter;
            Point3 at;
        } labels[] = {{"Y", {110, -5, 0}}, {"X", {0, -5, 160}}, {"Z", {-5, 110, 0}}};
        for (const auto& label : labels) {
            const QPoint p = Project(label.at, 15, 45).toPoint();
            EXPECT_GT(Count(first, QRect(p.x(), p.y() - 12, 11, 13), IsBlack), 15) << label.letter;
        }
        // The first element swung out along X until the letter's place lies within it: the
        // letter stays in front.
        SetSample(0, 50, 0, 0, 0);
        const QPoint x = Project({0, -5, 160}, 15, 45).toPoint();
        EXPECT_GT(Count(Picture(), QRect(x.x(), x.y() - 12, 11, 13), IsBlack), 15) << "X over the element";

        // No arrow: red only on the base's top, below the frame.
        EXPECT_EQ(Count(first, QRect(0, 0, 473, BaseTopRow()), IsRed), 0);
        EXPECT_GT(Count(first, QRect(0, BaseTopRow(), 473, 473), IsRed), 1000);

        Form1->CurrentSample = 60;
        // The same frame pose 60 samples later: nothing moves, the base included.
        SetSample(0, 0, 0, 0, 0);
        const QImage atStart = Picture();
        SetSample(60, 0, 0, 0, 0);
        EXPECT_EQ(Picture(), atStart);
    });
    EXPECT_TRUE(viewOpened);
}

TEST_F(View, TurningBaseShowsTheOmegaArrowWithItsLabelAndTurnsTheBase)
{
    Start(testsupport::ShortRunData());
    ASSERT_EQ(Form1->Params.BaseRate, 1.0f);
    Visualise([] {
        const QImage first = Picture(QStringLiteral("view3d_turning_base"));
        SaveWindow(QStringLiteral("view3d_window"));
        const QRect aboveBase(0, 0, 473, BaseTopRow());
        EXPECT_GT(Count(first, aboveBase, IsRed), 100) << "the arrow";
        // The Ω beside the arrow at height 30, drawn black from its raster position on.
        const QPoint label = Project({0, 30, -5}, 15, 45).toPoint();
        EXPECT_GT(Count(first, QRect(label.x() + 4, label.y() - 14, 12, 16), IsBlack), 10);

        // 25 samples at 1 rad/s with the thousandfold picture speed: 43 degrees. With the
        // frame at rest in both, only the base changes.
        SetSample(0, 0, 0, 0, 0);
        const QImage atStart = Picture();
        SetSample(25, 0, 0, 0, 0);
        const QImage later = Picture();
        EXPECT_EQ(later.copy(0, 0, 473, BaseTopRow()), atStart.copy(0, 0, 473, BaseTopRow()));
        EXPECT_NE(later.copy(0, BaseTopRow(), 473, 473), atStart.copy(0, BaseTopRow(), 473, 473));
    });
}

TEST_F(View, MagnificationsMoveTheElementsAlongTheirDrawnAxesAndTheYokesFollow)
{
    Start(testsupport::ShortRunData());
    Visualise([] {
        const double pixels = 473.0 / 300.0;
        // One displacement of 3 at factors 1 and 10: the elements move by 27 along the axis.
        const struct {
            const char* name;
            QSlider* bar;
            double x1, y1;
            Point3 axis;
        } rows[] = {{"X along the drawn z", Form2->TrackBar1, 3, 0, {0, 0, 1}},
                    {"Y along the drawn x", Form2->TrackBar2, 0, 3, {1, 0, 0}}};
        for (const auto& row : rows) {
            SetSample(10, row.x1, row.x1, row.y1, row.y1);
            row.bar->setValue(1);
            const QImage before = Picture();
            row.bar->setValue(10);
            EXPECT_EQ(row.bar->toolTip(), QStringLiteral("10")) << row.name;
            const QImage after = Picture(QStringLiteral("view3d_factor_") + row.bar->objectName());
            row.bar->setValue(1);

            const QPointF origin = Project({0, 0, 0}, 15, 45);
            const QPointF expected = (Project({27 * row.axis.x, 0, 27 * row.axis.z}, 15, 45) - origin);
            const QPointF moved = Centroid(after, IsGreen) - Centroid(before, IsGreen);
            const double along = QPointF::dotProduct(moved, expected) / QPointF::dotProduct(expected, expected);
            EXPECT_NEAR(along, 1.0, 0.2) << row.name << ": " << moved.x() << "," << moved.y();
            const double across = (moved - along * expected).manhattanLength();
            EXPECT_LT(across, 0.2 * 27 * pixels) << row.name;
            const QPointF yoke = Centroid(after, IsYellow) - Centroid(before, IsYellow);
            EXPECT_GT(QPointF::dotProduct(yoke, expected), 0) << row.name << ": the yoke ends follow";
        }
    });
}

TEST_F(View, DraggingTurnsTheViewAndALaterDragStartsFromWhereTheLastEnded)
{
    Start(testsupport::ShortRunData());
    Visualise([] {
        const QImage start = Picture();
        Move(100, 100, Qt::NoButton);
        EXPECT_EQ(Form2->LastMouseX, pelisond::TForm2::NoMouse) << "a move without the button is no drag";

        Move(100, 100, Qt::LeftButton);
        EXPECT_EQ(Form2->ViewTurn, 45) << "the first drag does not jump";
        EXPECT_EQ(Form2->ViewTilt, 15);
        Move(110, 105, Qt::LeftButton);
        EXPECT_EQ(Form2->ViewTurn, 35);
        EXPECT_EQ(Form2->ViewTilt, 20);
        Move(300, 300, Qt::NoButton);

        // The next drag's first move turns by the distance from (110, 105).
        Move(150, 120, Qt::LeftButton);
        EXPECT_EQ(Form2->ViewTurn, -5);
        EXPECT_EQ(Form2->ViewTilt, 35);
        const QImage turned = Picture(QStringLiteral("view3d_dragged"));
        EXPECT_NE(turned, start);
        for (double d : {30.0, 60.0, 80.0})
            EXPECT_TRUE(BlackNear(turned, Project({d, 0, 0}, 35, -5))) << "drawn x at " << d;
        EXPECT_FALSE(BlackNear(turned, Project({60, 0, 0}, 15, 45))) << "the axis left its old place";

        // The same through the panel's own window, as the pointer drives it.
        QWindow* surface = Form2->OpenGLPanel1->SurfaceWindow();
        QTest::mousePress(surface, Qt::LeftButton, Qt::NoModifier, QPoint(150, 120));
        QTest::mouseMove(surface, QPoint(160, 118));
        QTest::mouseRelease(surface, Qt::LeftButton, Qt::NoModifier, QPoint(160, 118));
        EXPECT_EQ(Form2->ViewTurn, -15);
        EXPECT_EQ(Form2->ViewTilt, 33);
    });
}

TEST_F(View, RewindThenStartReplaysFromSampleOneAndHidingStopsTheTimer)
{
    Start(testsupport::ShortRunData());
    Visualise([] {
        Form2->TrackBar3->setValue(0);  // 50 ms: one tick at a time
        Form1->CurrentSample = 50;
        QTest::mouseClick(Form2->SpeedButton1, Qt::LeftButton);
        ASSERT_TRUE(Form1->Timer1->isActive());

        QTest::mouseClick(Form2->Button3, Qt::LeftButton);
        EXPECT_FALSE(Form1->Timer1->isActive());
        EXPECT_FALSE(Form2->SpeedButton1->isChecked());
        EXPECT_EQ(Form1->CurrentSample, 0);
        EXPECT_EQ(Form2->Label1->text(), QStringLiteral("Время, сек ") + Local("0.000"));

        QTest::mouseClick(Form2->SpeedButton1, Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor([] { return Form1->CurrentSample != 0; }, 5000));
        EXPECT_EQ(Form1->CurrentSample, 1);
        EXPECT_EQ(Form2->SampleToDraw(), 1);
        EXPECT_EQ(Form2->Label1->text(), QStringLiteral("Время, сек ") + Local("0.0000"));
        EXPECT_TRUE(Form1->Timer1->isActive());
    });
    EXPECT_FALSE(Form1->Timer1->isActive()) << "hiding the view stops the animation";
    EXPECT_FALSE(Form2->SpeedButton1->isChecked());
}

TEST_F(View, PlaybackSpeedSetsTheTimerIntervalAtBothEnds)
{
    Start(testsupport::ShortRunData());
    Visualise([] {
        EXPECT_EQ(Form1->Timer1->interval(), 10);
        Form2->TrackBar3->setValue(0);
        EXPECT_EQ(Form1->Timer1->interval(), 50);
        Form2->TrackBar3->setValue(40);
        EXPECT_EQ(Form1->Timer1->interval(), 10);
        Form2->TrackBar3->setValue(0);
    });
    // Showing the view again sets the interval from the bar, whatever the timer had.
    Form1->Timer1->setInterval(33);
    int shownWith = -1;
    Visualise([&] { shownWith = Form1->Timer1->interval(); });
    EXPECT_EQ(shownWith, 50);
}

TEST_F(View, GraphsAndPhasePortraitOpenFromTheView)
{
    Start(testsupport::ShortRunData());
    bool graphShown = false, choiceShown = false, portraitShown = false;
    int graphResult = -1, portraitResult = -1;
    Visualise([&] {
        testsupport::WhenShown(pelisond::Form8, [&] {
            graphShown = true;
            // Activating the graph window asks which curves to draw.
            testsupport::WhenShown(pelisond::Form9, [&] {
                choiceShown = true;
                QTest::mouseClick(pelisond::Form9->Button1, Qt::LeftButton);
                QTimer::singleShot(0, [] { QTest::mouseClick(pelisond::Form8->Button1, Qt::LeftButton); });
            });
        });
        QTest::mouseClick(Form2->Button1, Qt::LeftButton);
        graphResult = pelisond::Form8->result();

        testsupport::WhenShown(pelisond::Form5, [&] {
            portraitShown = true;
            QTest::mouseClick(pelisond::Form5->Button3, Qt::LeftButton);
        });
        QTest::mouseClick(Form2->Button2, Qt::LeftButton);
        portraitResult = pelisond::Form5->result();
    });
    EXPECT_TRUE(graphShown);
    EXPECT_TRUE(choiceShown);
    EXPECT_TRUE(portraitShown);
    EXPECT_EQ(graphResult, gyroapp::mrOk);
    EXPECT_EQ(portraitResult, gyroapp::mrOk);
}

TEST_F(View, PaintsOnlyRecordedSamplesWhateverTheIndexSays)
{
    // A step far too long for the sensing mode: the run stops early with few samples.
    Start(testsupport::DataWith({{1, "0.0001"}}));
    Visualise([] {
        const int last = Form1->Model.Recorded() - 1;
        ASSERT_GT(last, 0);
        ASSERT_LT(last, Form1->Model.SampleCount - 2);
        Form2->TrackBar1->setValue(10);
        SetSample(last, 3, 3, 0, 0);
        const QImage lastSample = Picture();

        for (const int index : {last + 1, Form1->Model.SampleCount, 1'000'000}) {
            Form1->CurrentSample = index;
            EXPECT_EQ(Form2->SampleToDraw(), last) << index;
            EXPECT_EQ(Picture(), lastSample) << index;
        }
    });
    EXPECT_TRUE(viewOpened);
}

} // namespace
