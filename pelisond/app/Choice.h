#pragma once

#include "ModalForm.h"

namespace pelisond {

// Phase-portrait window "Фазовый портрет". Empty until the phase portrait comes.
class TForm5 : public gyroapp::ModalForm {
    Q_OBJECT
public:
    explicit TForm5(QWidget* parent = nullptr);
};

// Graph choice window: which curves the graph window draws. Empty until the graphs come.
class TForm9 : public gyroapp::ModalForm {
    Q_OBJECT
public:
    explicit TForm9(QWidget* parent = nullptr);
};

} // namespace pelisond
