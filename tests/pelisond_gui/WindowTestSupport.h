#pragma once

#include "GuiTestSupport.h"
#include "ScriptedServices.h"

#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <string>

class QWidget;

namespace testsupport {

// The parameter file shipped with the program.
extern const char* const NominalData;
// NominalData with parameter k (1-based) replaced by the given text.
std::string DataWith(std::initializer_list<std::pair<int, const char*>> replaced);
// The nominal parameters stopped at 0.003 s: 100 samples, a run of a thousand steps.
std::string ShortRunData();

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
