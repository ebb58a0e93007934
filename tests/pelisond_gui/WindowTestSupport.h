#pragma once

#include "ScriptedServices.h"

#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>

class QWidget;

// Readable QStrings in failure messages.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace testsupport {

// The decimal separator the test run was started for (GYRO_EXPECTED_DECIMAL).
QString ExpectedDecimal();
// The other one, which the fields do not accept.
QString OtherDecimal();
// A number as the user types it: the point of a literal replaced by the locale's separator.
QString Local(const char* number);

// The parameter file shipped with the program.
extern const char* const NominalData;
// NominalData with parameter k (1-based) replaced by the given text.
std::string DataWith(std::initializer_list<std::pair<int, const char*>> replaced);
// The nominal parameters stopped at 0.003 s: 100 samples, a run of a thousand steps.
std::string ShortRunData();

// Runs action once the widget is visible, from inside the modal loop that shows it.
void WhenShown(QWidget* window, std::function<void()> action);

// Saves a picture of the widget when the run asked for screenshots (GYRO_SCREENSHOTS).
void SaveScreenshot(QWidget* widget, const QString& name);

// The six windows of pelisond started on a parameter file in a temporary directory, with
// scripted message boxes; destroyed after each test.
class PelisondWindows : public ::testing::Test {
protected:
    void TearDown() override;

    // Writes the parameter file and shows the main window, which loads it.
    void Start(const std::string& data = NominalData);
    // Starts with a parameter file that does not exist.
    void StartWithoutData();
    // Ends the windows of a started program and starts anew with other data.
    void Restart(const std::string& data);

    // Opens the parameter window with "Параметры расчета", lets edit change the fields,
    // then presses "Принять" (accept) or "Отмена".
    void EditParameters(const std::function<void()>& edit, bool accept);
    // Presses "Визуализация"; when the 3D view opens, runs inView and closes it.
    void Visualise(const std::function<void()>& inView = {});

    QTemporaryDir dir;
    gyroapp::ScriptedServices services;
    bool viewOpened = false;
};

} // namespace testsupport
