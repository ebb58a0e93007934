#pragma once

#include "ParameterWindow.h"

namespace pelisond {

// The layout of the parameter window: one row per parameter, from the parameter table.
gyroapp::ParameterWindowLayout TuningForkParameterLayout();

// Parameter window "Исходные данные": fields Edit1 .. Edit30 in the order of the
// parameters, filled and read back by the main window.
class TForm3 : public gyroapp::ParameterWindow {
    Q_OBJECT
public:
    explicit TForm3(QWidget* parent = nullptr);
};

} // namespace pelisond
