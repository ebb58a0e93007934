#pragma once

#include "ModalForm.h"
#include "NumberFormat.h"

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <vector>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;

namespace gyroapp {

// How a field writes its parameter.
struct FieldFormat {
    enum class Kind { General, Fixed };
    Kind kind = Kind::General;
    int precision = 5;        // significant digits
    int exponentDigits = 0;   // General: at least this many exponent digits
    int decimals = 0;         // Fixed: digits after the separator
};

// One row of the parameter table: the value field, the parameter's name and the
// nominal caption in its bevel, placed relative to the field's top.
struct ParameterRowLayout {
    QString label;
    QString nominal;
    int top = 0;            // field top within the scrolled table
    int fieldWidth = 99;
    int labelDrop = 4;      // how much lower than the field its name stands
    int bevelRise = 0;      // how much higher than the field its bevel stands
    int fontHeight = 0;     // name and nominal font height in pixels; 0: the window's
    FieldFormat format;
};

// The whole window: its caption and geometry and the rows in field order.
struct ParameterWindowLayout {
    QString caption;
    QPoint screenPosition;
    QSize clientSize;         // Panel1, which the window sizes itself to
    QRect scrollBox;
    QSize scrollRange;        // extent of the scrolled table
    bool scrollFollowsFocus = true;  // the box scrolls a field that takes the focus into view
    QPoint acceptButton;      // "Принять"
    QPoint cancelButton;      // "Отмена"
    int fontHeight = 10;
    std::vector<ParameterRowLayout> rows;
};

// The parameter window of both programs: a scrolled table of value fields Edit1 .. EditN
// with their names and nominal captions, and the buttons "Принять" and "Отмена".
// It holds no data besides its controls and checks nothing; the main window fills
// the fields and reads them back. Enter and Esc do not close it.
class ParameterWindow : public ModalForm {
    Q_OBJECT
public:
    explicit ParameterWindow(const ParameterWindowLayout& layout, QWidget* parent = nullptr);

    int RowCount() const { return static_cast<int>(Edits.size()); }
    // Field k, 1-based as in the names Edit1 .. EditN.
    QLineEdit* Edit(int k) const;

    // Writes a value into field k in the row's format with the user's separators.
    void SetValue(int k, double value);
    // The same for a value the field is to give back bit for bit: the row's format with as
    // many more digits as the 32-bit value needs.
    void SetExactValue(int k, float value);
    // Reads field k with the user's decimal separator; throws numfmt::ConversionError.
    double Value(int k) const;
    // The name of field k's parameter, as its row shows it.
    QString Label(int k) const;

    void Button1Click();
    void Button2Click();

    QFrame* Panel1 = nullptr;
    QScrollArea* ScrollBox1 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
    std::vector<QLineEdit*> Edits;
    std::vector<QLabel*> NameLabels;
    std::vector<QLabel*> NominalLabels;

private:
    void Write(int k, double value, bool exact);

    std::vector<FieldFormat> formats_;
};

} // namespace gyroapp
