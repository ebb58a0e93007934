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

// The nominal parameters with a step of 0.001 s: the nominal 0.1 s step cannot follow
// the nutation (about 1000 1/s), and the run diverges at once.
extern const char* const NominalData;
// The nominal parameters exactly, step 0.1 s included.
extern const char* const DivergingData;
// NominalData with parameter k (1-based) replaced by the given text.
std::string DataWith(std::initializer_list<std::pair<int, const char*>> replaced);

// The six windows of veltrami started on a parameter file in a temporary directory,
// with scripted message boxes; destroyed after each test.
class VeltramiWindows : public ::testing::Test {
protected:
    void TearDown() override;

    // Writes the parameter file and shows the main window, which loads it.
    void Start(const std::string& data = NominalData);
    // Starts with a parameter file that does not exist.
    void StartWithoutData();

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
