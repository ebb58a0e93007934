#pragma once

#include "ParameterWindow.h"

namespace veltrami {

// The layout of the parameter window: one row per parameter, from the parameter table.
gyroapp::ParameterWindowLayout GimbalParameterLayout();

// Parameter window "Параметры моделирования": fields Edit1 .. Edit27 in the order of
// the parameters, filled and read back by the main window.
class TForm3 : public gyroapp::ParameterWindow {
    Q_OBJECT
public:
    explicit TForm3(QWidget* parent = nullptr);
};

} // namespace veltrami
