#include "Input1.h"

#include "ModelParameters.h"

namespace veltrami {

gyroapp::ParameterWindowLayout GimbalParameterLayout()
{
    gyroapp::ParameterWindowLayout layout;
    layout.caption = QStringLiteral("Параметры моделирования");
    layout.screenPosition = {189, 18};
    layout.clientSize = {741, 625};
    layout.scrollBox = {12, 16, 699, 577};
    // An empty caption at (47, 747) keeps the table 760 pixels high.
    layout.scrollRange = {667, 760};
    layout.acceptButton = {128, 598};
    layout.cancelButton = {200, 598};
    layout.fontHeight = 10;

    // Rows 1-19 are evenly spaced; from row 20 on the fields are wider and 28 apart.
    static constexpr int LowerTops[] = {514, 542, 570, 598, 626, 654, 682, 710};
    for (std::size_t i = 0; i < ParameterRows.size(); ++i) {
        const ParameterRow& source = ParameterRows[i];
        gyroapp::ParameterRowLayout row;
        row.label = QString::fromUtf8(source.label.data(), static_cast<qsizetype>(source.label.size()));
        row.nominal = QString::fromUtf8(source.nominal.data(), static_cast<qsizetype>(source.nominal.size()));
        const int k = static_cast<int>(i) + 1;
        row.top = k <= 19 ? 19 + 26 * (k - 1) : LowerTops[k - 20];
        row.fieldWidth = k <= 19 ? 99 : 101;
        row.labelDrop = 4;
        row.bevelRise = 0;
        row.fontHeight = k <= 2 ? 11 : 0;
        row.format.kind = gyroapp::FieldFormat::Kind::General;
        row.format.precision = source.digits;
        row.format.exponentDigits = source.exponentDigits;
        layout.rows.push_back(row);
    }
    return layout;
}

TForm3::TForm3(QWidget* parent)
    : ParameterWindow(GimbalParameterLayout(), parent)
{
    setObjectName(QStringLiteral("Form3"));
}

} // namespace veltrami
