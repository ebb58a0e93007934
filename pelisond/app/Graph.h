#pragma once

#include "ModalForm.h"

namespace pelisond {

// Graph window "Графики ": the time curves of the latest run. Empty until the graphs come.
class TForm8 : public gyroapp::ModalForm {
    Q_OBJECT
public:
    explicit TForm8(QWidget* parent = nullptr);
};

} // namespace pelisond
