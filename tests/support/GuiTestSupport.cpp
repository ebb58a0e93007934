#include "GuiTestSupport.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QLocale>
#include <QPointer>
#include <QTimer>
#include <QWidget>

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

std::string ReplaceValues(const std::string& line, std::initializer_list<std::pair<int, const char*>> replaced)
{
    std::string text = line;
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    std::vector<std::string> values;
    std::stringstream in{text};
    std::string value;
    while (std::getline(in, value, ','))
        values.push_back(value);
    for (const auto& [k, replacement] : replaced)
        values.at(static_cast<std::size_t>(k - 1)) = replacement;
    std::string data;
    for (const std::string& v : values)
        data += (data.empty() ? "" : ",") + v;
    return data + "\n";
}

bool WriteDataFile(const QString& path, const std::string& data)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    return file.write(data.data(), static_cast<qint64>(data.size())) == static_cast<qint64>(data.size());
}

void WhenShown(QWidget* window, std::function<void()> action)
{
    auto* poll = new QTimer;
    poll->setInterval(5);
    QPointer<QWidget> watched = window;
    QObject::connect(poll, &QTimer::timeout, [poll, watched, action] {
        if (watched && !watched->isVisible())
            return;
        poll->stop();
        poll->deleteLater();
        if (watched)
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

void SaveScreenshot(const QImage& picture, const QString& name)
{
    const QString dir = QString::fromLocal8Bit(qgetenv("GYRO_SCREENSHOTS"));
    if (dir.isEmpty())
        return;
    QDir().mkpath(dir);
    picture.save(dir + QLatin1Char('/') + name + QStringLiteral(".png"));
}

int CountDark(const QImage& picture)
{
    int dark = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            dark += qGray(picture.pixel(x, y)) < 128;
    return dark;
}

QWidget* NextTabStop(QWidget* w)
{
    do
        w = w->nextInFocusChain();
    while (!(w->focusPolicy() & Qt::TabFocus));
    return w;
}

} // namespace testsupport
