#pragma once

#include <QString>

#include <functional>
#include <initializer_list>
#include <ostream>
#include <string>
#include <utility>

class QImage;
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

// Writes a parameter file; false when it cannot be written.
bool WriteDataFile(const QString& path, const std::string& data);

// Runs action once the widget is visible, from inside the loop that shows it; not at
// all if the widget goes first.
void WhenShown(QWidget* window, std::function<void()> action);

// Saves a picture of the widget when the run asked for screenshots (GYRO_SCREENSHOTS).
void SaveScreenshot(QWidget* widget, const QString& name);
// The same for a picture drawn off screen.
void SaveScreenshot(const QImage& picture, const QString& name);

// Pixels darker than mid grey: the lines of a line drawing.
int CountDark(const QImage& picture);

// The widget Tab moves to from w.
QWidget* NextTabStop(QWidget* w);

} // namespace testsupport
