#pragma once

#include <QImage>
#include <QPainter>
#include <QRectF>
#include <QSize>
#include <QString>

#include <functional>
#include <initializer_list>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

class QWidget;

// Readable QStrings in failure messages.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

// What the window tests of both programs need alike.
namespace testsupport {

// The decimal separator the test run was started for (GYRO_EXPECTED_DECIMAL).
QString ExpectedDecimal();
// The other one, which the fields do not accept.
QString OtherDecimal();
// A number as the user types it: the point of a literal replaced by the locale's separator.
QString Local(const char* number);

// A parameter file's line with value k (1-based) replaced by the given text; a line
// break ending the line is dropped and one put back.
std::string ReplaceValues(const std::string& line, std::initializer_list<std::pair<int, const char*>> replaced);

// The 32-bit values of a parameter file's line, each read exactly (no locale, no detour
// through double).
std::vector<float> FileValues(const std::string& line);

// Writes a parameter file; false when it cannot be written.
bool WriteDataFile(const QString& path, const std::string& data);

// Runs action once the widget is visible, from inside the loop that shows it; not at
// all if the widget goes first.
void WhenShown(QWidget* window, std::function<void()> action);

// Runs action on the first modal window that comes up, from inside its own loop.
void WhenModal(std::function<void(QWidget* modal)> action);

// The name the X server holds for a window (_NET_WM_NAME, else WM_NAME): the title the
// window manager shows. Empty when the window has none or there is no X server.
QString XWindowName(const QWidget* window);

// Saves a picture of the widget when the run asked for screenshots (GYRO_SCREENSHOTS).
void SaveScreenshot(QWidget* widget, const QString& name);
// The same for a picture drawn off screen.
void SaveScreenshot(const QImage& picture, const QString& name);

// Pixels darker than mid grey: the lines of a line drawing.
int CountDark(const QImage& picture);

// What keeps a picture's labels from being read: ink of the lines within `clearance`
// pixels of a label's box (1: touching it), or two labels' boxes meeting. Empty when every
// label stands free; else each offender with the distance of the nearest ink.
std::string LabelClashes(const QImage& lines, const std::vector<QRectF>& labelBoxes, int clearance = 1);

// The same for a device picture drawn into a box of the given size.
template <class Picture>
std::string LabelClashes(QSize size, int clearance = 1)
{
    QImage lines(size, QImage::Format_RGB32);
    QPainter linesOnly(&lines);
    Picture::Draw(linesOnly, size, false);
    linesOnly.end();
    return LabelClashes(lines, Picture::LabelBoxes(size), clearance);
}

// Ink within `margin` pixels of a picture's edges: a drawing that runs off its paper.
int InkAtEdges(const QImage& picture, int margin);

// The widget Tab moves to from w.
QWidget* NextTabStop(QWidget* w);

} // namespace testsupport
