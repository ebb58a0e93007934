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
    "0.000003,0.00003,0.119,500,1500,0.0000042,0.000001,0.2,49500,49500,1150000000,62000000000,62800,1,0,0,"
    "39.4,39.4,1.2,951E15,1554E8,1554E8,6448E8,6448E8,90000,90000,0,0,0,0\n";

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

std::string ShortRunData()
{
    return DataWith({{3, "0.003"}});
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

void PelisondWindows::TearDown()
{
    pelisond::DestroyForms();
    gyroapp::ClearTermination();
}

void PelisondWindows::Start(const std::string& data)
{
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("pelisond.dat"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(data.data(), static_cast<qint64>(data.size()));
    file.close();
    pelisond::CreateForms(QFile::encodeName(path).toStdString());
    pelisond::Form1->show();
}

void PelisondWindows::StartWithoutData()
{
    pelisond::CreateForms(QFile::encodeName(dir.filePath(QStringLiteral("missing.dat"))).toStdString());
    pelisond::Form1->show();
}

void PelisondWindows::Restart(const std::string& data)
{
    pelisond::DestroyForms();
    services.Clear();
    Start(data);
}

void PelisondWindows::EditParameters(const std::function<void()>& edit, bool accept)
{
    WhenShown(pelisond::Form3, [edit, accept] {
        edit();
        QTest::mouseClick(accept ? pelisond::Form3->Button1 : pelisond::Form3->Button2, Qt::LeftButton);
    });
    QTest::mouseClick(pelisond::Form1->Button1, Qt::LeftButton);
}

void PelisondWindows::Visualise(const std::function<void()>& inView)
{
    viewOpened = false;
    WhenShown(pelisond::Form2, [this, inView] {
        viewOpened = true;
        if (inView)
            inView();
        pelisond::Form2->close();
    });
    QTest::mouseClick(pelisond::Form1->Button3, Qt::LeftButton);
}

} // namespace testsupport
