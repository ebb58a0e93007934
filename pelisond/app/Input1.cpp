#include "Input1.h"

#include "ModelParameters.h"

#include <QLabel>

#include <array>

namespace pelisond {

namespace {

// Field tops of the thirty rows; the spacing is uneven, as the window was laid out by hand.
constexpr std::array<int, ModelParameters::Count> RowTops = {
    19,  45,  71,  97,  123, 149, 175, 201, 227, 253, 279, 305, 331, 357, 383,
    409, 435, 461, 487, 514, 542, 570, 596, 622, 648, 674, 700, 727, 755, 783};

// The stiffness rows and the imperfection rows have slightly wider fields.
bool WideField(int k)
{
    return (k >= 20 && k <= 22) || k >= 28;
}

QString Text(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

gyroapp::ParameterWindowLayout TuningForkParameterLayout()
{
    gyroapp::ParameterWindowLayout layout;
    layout.caption = QStringLiteral("Исходные данные");
    layout.screenPosition = {137, 64};
    layout.clientSize = {741, 545};
    layout.scrollBox = {12, 16, 699, 477};
    layout.scrollRange = {667, 830};
    // Fixed ranges and no automatic scrolling: the box stays where the user put it.
    layout.scrollFollowsFocus = false;
    layout.acceptButton = {12, 506};
    layout.cancelButton = {84, 506};
    layout.fontHeight = 10;

    for (std::size_t i = 0; i < ParameterRows.size(); ++i) {
        const ParameterRow& source = ParameterRows[i];
        const int k = static_cast<int>(i) + 1;
        gyroapp::ParameterRowLayout row;
        row.label = Text(source.label);
        row.nominal = Text(source.nominal);
        row.top = RowTops[i];
        row.fieldWidth = WideField(k) ? 101 : 99;
        // The two rows in the larger font sit a pixel higher so their text meets the field's.
        row.fontHeight = k <= 2 ? 11 : 0;
        row.labelDrop = k <= 2 ? 3 : 4;
        row.bevelRise = 0;
        if (source.kind == DisplayKind::Fixed) {
            row.format.kind = gyroapp::FieldFormat::Kind::Fixed;
            row.format.precision = source.precision;
            row.format.decimals = source.decimals;
        } else {
            row.format.kind = gyroapp::FieldFormat::Kind::General;
            row.format.precision = source.precision;
            row.format.exponentDigits = source.exponentDigits;
        }
        layout.rows.push_back(row);
    }
    return layout;
}

TForm3::TForm3(QWidget* parent)
    : ParameterWindow(TuningForkParameterLayout(), parent)
{
    setObjectName(QStringLiteral("Form3"));
    // "62000000000" is wider than the usual inset leaves in its bevel; such a caption
    // starts nearer the bevel's edge so that no digit is cut.
    for (QLabel* nominal : NominalLabels) {
        const QRect inside = nominal->parentWidget()->rect().adjusted(2, 1, -2, -1);
        if (nominal->fontMetrics().horizontalAdvance(nominal->text()) > nominal->width())
            nominal->setGeometry(inside);
    }
}

} // namespace pelisond
