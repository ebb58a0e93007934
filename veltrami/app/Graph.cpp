#include "Graph.h"

namespace veltrami {

TForm8::TForm8(QWidget* parent)
    : ModalForm(parent)
{
    setObjectName(QStringLiteral("Form8"));
    setWindowTitle(QStringLiteral("Графики "));
    PlaceWindow({699, 505}, {192, 114});
}

} // namespace veltrami
