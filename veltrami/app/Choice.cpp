#include "Choice.h"

namespace veltrami {

TForm5::TForm5(QWidget* parent)
    : ModalForm(parent)
{
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(QStringLiteral("Фазовый портрет"));
    PlaceWindow({621, 473}, {86, 87});
}

TForm9::TForm9(QWidget* parent)
    : ModalForm(parent)
{
    setObjectName(QStringLiteral("Form9"));
    setWindowTitle(QString());
    resize(296, 183);
}

} // namespace veltrami
