#include "ViewFixture.h"

#include "Application.h"
#include "Field.h"
#include "Forms.h"
#include "Main.h"
#include "OpenGLPanel.h"

#include <QDir>
#include <QFile>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <cstdlib>
#include <sstream>
#include <vector>

namespace viewtest {

namespace {

constexpr int PanelSide = 389;

QPoint Project(const QMatrix4x4& modelView, float x, float y, float z)
{
    QMatrix4x4 projection;
    projection.ortho(-10, 10, -10, 10, -10, 10);
    const QVector3D ndc = projection.map(modelView.map(QVector3D(x, y, z)));
    return {static_cast<int>((ndc.x() + 1) / 2 * PanelSide), static_cast<int>((1 - ndc.y()) / 2 * PanelSide)};
}

QMatrix4x4 ViewTurn()
{
    QMatrix4x4 m;
    m.rotate(15, 1, 0, 0);
    m.rotate(45, 0, -1, 0);
    return m;
}

QMatrix4x4 OuterFrame(double alphaDegrees)
{
    QMatrix4x4 m;
    m.scale(5);
    m *= ViewTurn();
    m.rotate(static_cast<float>(alphaDegrees), 0, 1, 0);
    return m;
}

} // namespace

std::string ShippedDataWith(std::initializer_list<std::pair<int, const char*>> replaced)
{
    QFile file(QStringLiteral(VIEW_SHIPPED_DATA));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return testsupport::ReplaceValues(file.readAll().trimmed().toStdString(), replaced);
}

bool IsRed(QRgb c)
{
    return qRed(c) >= 150 && qGreen(c) <= 90 && qBlue(c) <= 90;
}

bool IsBlue(QRgb c)
{
    return qBlue(c) >= 150 && qRed(c) <= 90 && qGreen(c) < qBlue(c) - 30;
}

bool IsGreen(QRgb c)
{
    return qGreen(c) >= 150 && qRed(c) <= 90 && qBlue(c) <= 90;
}

bool IsGrey(QRgb c)
{
    return std::abs(qRed(c) - qGreen(c)) <= 20 && std::abs(qGreen(c) - qBlue(c)) <= 20 && qRed(c) >= 50 &&
           qRed(c) <= 215;
}

bool IsWhite(QRgb c)
{
    return qRed(c) >= 190 && qGreen(c) >= 190 && qBlue(c) >= 190;
}

bool IsBlack(QRgb c)
{
    return qRed(c) <= 8 && qGreen(c) <= 8 && qBlue(c) <= 8;
}

int CountNear(const QImage& image, QPoint at, int radius, bool (*is)(QRgb))
{
    int count = 0;
    for (int y = at.y() - radius; y <= at.y() + radius; ++y)
        for (int x = at.x() - radius; x <= at.x() + radius; ++x)
            if (image.valid(x, y) && is(image.pixel(x, y)))
                ++count;
    return count;
}

int CountAll(const QImage& image, bool (*is)(QRgb))
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (is(image.pixel(x, y)))
                ++count;
    return count;
}

int Differing(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return a.width() * a.height();
    int count = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                ++count;
    return count;
}

QPoint OuterFramePoint(float x, float y, float z, double alphaDegrees)
{
    return Project(OuterFrame(alphaDegrees), x, y, z);
}

QPoint InnerFramePoint(float x, float y, float z, double alphaDegrees, double betaDegrees)
{
    QMatrix4x4 m = OuterFrame(alphaDegrees);
    m.rotate(static_cast<float>(betaDegrees), 0, 0, 1);
    m.scale(1, 1, 0.9f);
    return Project(m, x, y, z);
}

QPoint AxesPoint(float x, float y, float z)
{
    return Project(ViewTurn(), x, y, z);
}

void ViewTest::TearDown()
{
    veltrami::DestroyForms();
    gyroapp::ClearTermination();
}

void ViewTest::Start(const std::string& data)
{
    if (veltrami::Form1)
        veltrami::DestroyForms();
    ASSERT_FALSE(data.empty()) << "no shipped data at " << VIEW_SHIPPED_DATA;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("veltrami.dat"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(data.data(), static_cast<qint64>(data.size()));
    file.close();
    veltrami::CreateForms(QFile::encodeName(path).toStdString());
    veltrami::Form2->TexturePath = texturePath;
    veltrami::Form1->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(veltrami::Form1));
}

void ViewTest::Calculate()
{
    veltrami::Form1->Button2Click();
    ASSERT_TRUE(services.Notices.isEmpty()) << services.Notices.join(QLatin1Char('|')).toStdString();
    ASSERT_TRUE(veltrami::Form1->Model.Calculated);
}

void ViewTest::ShowView()
{
    veltrami::Form2->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(veltrami::Form2));
    QWindow* surface = veltrami::Form2->OpenGLPanel1->SurfaceWindow();
    ASSERT_NE(surface, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(surface));
    ASSERT_NE(veltrami::Form2->OpenGLPanel1->RC(), 0u) << "no OpenGL context";
    // Let a notice posted while the panel got its context come through.
    QCoreApplication::processEvents();
}

QImage ViewTest::Picture(float viewAlpha, float viewBeta, int sample)
{
    veltrami::Form1->CurrentSample = sample;
    veltrami::Form2->ViewAlpha = viewAlpha;
    veltrami::Form2->ViewBeta = viewBeta;
    return veltrami::Form2->OpenGLPanel1->GrabOpenGLPanel();
}

void ViewTest::Keep(const QImage& picture, const QString& name)
{
    const QString shots = QString::fromLocal8Bit(qgetenv("GYRO_SCREENSHOTS"));
    if (shots.isEmpty())
        return;
    QDir().mkpath(shots);
    picture.save(shots + QLatin1Char('/') + name + QStringLiteral(".png"));
}

} // namespace viewtest
