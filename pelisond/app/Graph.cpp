#include "Graph.h"

namespace pelisond {

TForm8::TForm8(QWidget* parent)
    : ModalForm(parent)
{
    setObjectName(QStringLiteral("Form8"));
    setWindowTitle(QStringLiteral("Графики "));
    resize(699, 505);
    move(192, 114);
}

} // namespace pelisond
