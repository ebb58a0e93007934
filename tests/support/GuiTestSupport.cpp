#include "GuiTestSupport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLocale>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>

#include <algorithm>
#include <charconv>
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

std::vector<float> FileValues(const std::string& line)
{
    std::vector<float> values;
    std::stringstream in{line};
    std::string value;
    while (std::getline(in, value, ',')) {
        const std::size_t start = value.find_first_not_of(" \t\r\n");
        const std::size_t end = value.find_last_not_of(" \t\r\n");
        float v = 0;
        if (start != std::string::npos)
            std::from_chars(value.data() + start, value.data() + end + 1, v);
        values.push_back(v);
    }
    return values;
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

void WhenModal(std::function<void(QWidget* modal)> action)
{
    auto* poll = new QTimer;
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, [poll, action] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || !modal->isVisible())
            return;
        poll->stop();
        poll->deleteLater();
        action(modal);
    });
    poll->start();
}

namespace {

QByteArray XProperty(xcb_connection_t* connection, xcb_window_t window, const char* name)
{
    const xcb_intern_atom_cookie_t atomCookie =
        xcb_intern_atom(connection, 1, static_cast<std::uint16_t>(std::strlen(name)), name);
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> atom(
        xcb_intern_atom_reply(connection, atomCookie, nullptr), &std::free);
    if (!atom || atom->atom == XCB_ATOM_NONE)
        return {};
    const xcb_get_property_cookie_t cookie =
        xcb_get_property(connection, 0, window, atom->atom, XCB_GET_PROPERTY_TYPE_ANY, 0, 1024);
    std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
        xcb_get_property_reply(connection, cookie, nullptr), &std::free);
    if (!reply || reply->type == XCB_ATOM_NONE)
        return {};
    return QByteArray(static_cast<const char*>(xcb_get_property_value(reply.get())),
                      xcb_get_property_value_length(reply.get()));
}

} // namespace

QString XWindowName(const QWidget* window)
{
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr || window->windowHandle() == nullptr)
        return {};
    const auto id = static_cast<xcb_window_t>(window->winId());
    const QByteArray name = XProperty(x11->connection(), id, "_NET_WM_NAME");
    return QString::fromUtf8(name.isNull() ? XProperty(x11->connection(), id, "WM_NAME") : name);
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

std::string LabelClashes(const QImage& lines, const std::vector<QRectF>& labelBoxes, int clearance)
{
    std::ostringstream clashes;
    for (std::size_t i = 0; i < labelBoxes.size(); ++i) {
        const QRect box = labelBoxes[i].toAlignedRect();
        const QRect area = box.adjusted(-clearance, -clearance, clearance, clearance).intersected(lines.rect());
        int ink = 0, nearest = clearance;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                if (qGray(lines.pixel(x, y)) < 200) {
                    ++ink;
                    const int dx = std::max({box.left() - x, x - box.right(), 0});
                    const int dy = std::max({box.top() - y, y - box.bottom(), 0});
                    nearest = std::min(nearest, std::max(dx, dy));
                }
        if (ink > 0)
            clashes << "label " << i << " has " << ink << " pixels of lines, the nearest " << nearest << " px off; ";
        for (std::size_t j = i + 1; j < labelBoxes.size(); ++j)
            if (labelBoxes[i].intersects(labelBoxes[j]))
                clashes << "labels " << i << " and " << j << " meet; ";
    }
    return clashes.str();
}

int InkAtEdges(const QImage& picture, int margin)
{
    const QRect inside = picture.rect().adjusted(margin, margin, -margin, -margin);
    int ink = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            ink += !inside.contains(x, y) && qGray(picture.pixel(x, y)) < 200;
    return ink;
}

QWidget* NextTabStop(QWidget* w)
{
    do
        w = w->nextInFocusChain();
    while (!(w->focusPolicy() & Qt::TabFocus));
    return w;
}

} // namespace testsupport
