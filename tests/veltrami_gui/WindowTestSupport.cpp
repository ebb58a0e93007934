#include "WindowTestSupport.h"

#include "Application.h"
#include "Field.h"
#include "Forms.h"
#include "Input1.h"
#include "Main.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <sstream>
#include <vector>

namespace testsupport {

QString ExpectedDecimal()
{
    return qgetenv("GYRO_EXPECTED_DECIMAL") == "comma" ? QStringLiteral(",") : QStringLiteral(".");
}

QString OtherDecimal()
{
    return ExpectedDecimal() == QLatin1String(",") ? QStringLiteral(".") : QStringLiteral(",");
}

QString Local(const char* number)
{
    return QString::fromLatin1(number).replace(QLatin1Char('.'), QLocale().decimalPoint());
}

const char* const NominalData =
    "0.001,0.1,12,1,0.01,0.01,10,0.0003,0.0004,0.0002,0.0002,0.0003,0.0015,1,0,4,20,0,20,0,0,1.125,0,0,0,0,0\n";

const char* const DivergingData =
    "0.1,0.1,12,1,0.01,0.01,10,0.0003,0.0004,0.0002,0.0002,0.0003,0.0015,1,0,4,20,0,20,0,0,1.125,0,0,0,0,0\n";

std::string DataWith(std::initializer_list<std::pair<int, const char*>> replaced)
{
    std::vector<std::string> values;
    std::stringstream in{std::string(NominalData)};
    std::string value;
    while (std::getline(in, value, ','))
        values.push_back(value);
    values.back() = "0";
    for (const auto& [k, text] : replaced)
        values.at(static_cast<std::size_t>(k - 1)) = text;
    std::string data;
    for (const std::string& v : values)
        data += (data.empty() ? "" : ",") + v;
    return data + "\n";
}

void WhenShown(QWidget* window, std::function<void()> action)
{
    auto* poll = new QTimer;
    poll->setInterval(5);
    QPointer<QWidget> watched = window;
    QObject::connect(poll, &QTimer::timeout, [poll, watched, action] {
        if (!watched) {
            poll->stop();
            poll->deleteLater();
            return;
        }
        if (!watched->isVisible())
            return;
        poll->stop();
        poll->deleteLater();
        action();
    });
    poll->start();
}

void SaveScreenshot(QWidget* widget, const QString& name)
{
    const QString dir = QString::fromLocal8Bit(qgetenv("GYRO_SCREENSHOTS"));
    if (dir.isEmpty())
        return;
    QDir().mkpath(dir);
    widget->grab().save(dir + QLatin1Char('/') + name + QStringLiteral(".png"));
}

void VeltramiWindows::TearDown()
{
    veltrami::DestroyForms();
    gyroapp::ClearTermination();
}

void VeltramiWindows::Start(const std::string& data)
{
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("veltrami.dat"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(data.data(), static_cast<qint64>(data.size()));
    file.close();
    veltrami::CreateForms(QFile::encodeName(path).toStdString());
    veltrami::Form1->show();
}

void VeltramiWindows::StartWithoutData()
{
    veltrami::CreateForms(QFile::encodeName(dir.filePath(QStringLiteral("missing.dat"))).toStdString());
    veltrami::Form1->show();
}

void VeltramiWindows::EditParameters(const std::function<void()>& edit, bool accept)
{
    WhenShown(veltrami::Form3, [edit, accept] {
        edit();
        QTest::mouseClick(accept ? veltrami::Form3->Button1 : veltrami::Form3->Button2, Qt::LeftButton);
    });
    QTest::mouseClick(veltrami::Form1->Button1, Qt::LeftButton);
}

void VeltramiWindows::Visualise(const std::function<void()>& inView)
{
    viewOpened = false;
    WhenShown(veltrami::Form2, [this, inView] {
        viewOpened = true;
        if (inView)
            inView();
        veltrami::Form2->close();
    });
    QTest::mouseClick(veltrami::Form1->Button3, Qt::LeftButton);
}

} // namespace testsupport
