#include "Choice.h"

namespace pelisond {

TForm5::TForm5(QWidget* parent)
    : ModalForm(parent)
{
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(QStringLiteral("Фазовый портрет"));
    setFixedSize(621, 473);
    move(86, 87);
}

TForm9::TForm9(QWidget* parent)
    : ModalForm(parent)
{
    setObjectName(QStringLiteral("Form9"));
    setWindowTitle(QString());
    resize(270, 259);
}

} // namespace pelisond
