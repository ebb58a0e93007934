#include "ParameterWindow.h"

#include "AppServices.h"
#include "Fonts.h"
#include "Locale.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>

namespace gyroapp {

namespace {

constexpr int FieldLeft = 8;
constexpr int FieldHeight = 21;
constexpr int NameLeft = 121;
constexpr int BevelLeft = 599;
constexpr QSize BevelSize{67, 21};
constexpr QSize ButtonSize{61, 20};

// A scroll box that scrolls a field into view when it takes the focus, or never.
class ScrollBox : public QScrollArea {
public:
    ScrollBox(bool followsFocus, QWidget* parent) : QScrollArea(parent)
    {
        if (followsFocus)
            connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
                if (now && widget() && widget()->isAncestorOf(now))
                    ensureWidgetVisible(now);
            });
    }

protected:
    // Tab within the box moves the focus alone; the focus change above does the scrolling.
    bool focusNextPrevChild(bool next) override { return QWidget::focusNextPrevChild(next); }
};

QLabel* PlaceLabel(QWidget* parent, const QString& text, QPoint at, const QFont& font)
{
    auto* label = new QLabel(text, parent);
    label->setFont(font);
    label->adjustSize();
    label->move(at);
    return label;
}

} // namespace

ParameterWindow::ParameterWindow(const ParameterWindowLayout& layout, QWidget* parent)
    : ModalForm(parent)
{
    SetKeysClose(false);
    setWindowTitle(layout.caption);
    const QFont windowFont = WindowsFont(QStringLiteral("MS Sans Serif"), layout.fontHeight);
    setFont(windowFont);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setGeometry(QRect(QPoint(0, 0), layout.clientSize));

    ScrollBox1 = new ScrollBox(layout.scrollFollowsFocus, Panel1);
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    ScrollBox1->setGeometry(layout.scrollBox);
    ScrollBox1->setWidgetResizable(false);
    ScrollBox1->setFocusPolicy(Qt::NoFocus);
    ScrollBox1->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    ScrollBox1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    auto* table = new QWidget;
    table->setObjectName(QStringLiteral("Table"));
    table->setFixedSize(layout.scrollRange);

    PlaceLabel(table, QStringLiteral("Значение"), {9, 0}, windowFont);
    PlaceLabel(table, QStringLiteral("Наименование параметра"), {117, 0}, windowFont);
    PlaceLabel(table, QStringLiteral("Номинал"), {609, 0}, windowFont);

    int k = 0;
    for (const ParameterRowLayout& row : layout.rows) {
        ++k;
        const QFont rowFont = row.fontHeight > 0 ? WindowsFont(QStringLiteral("MS Sans Serif"), row.fontHeight)
                                                 : windowFont;
        auto* edit = new QLineEdit(table);
        edit->setObjectName(QStringLiteral("Edit%1").arg(k));
        edit->setGeometry(FieldLeft, row.top, row.fieldWidth, FieldHeight);
        Edits.push_back(edit);

        QLabel* name = PlaceLabel(table, row.label, {NameLeft, row.top + row.labelDrop}, rowFont);
        name->setObjectName(QStringLiteral("NameLabel%1").arg(k));
        NameLabels.push_back(name);

        auto* bevel = new QFrame(table);
        bevel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        bevel->setGeometry(QRect(QPoint(BevelLeft, row.top - row.bevelRise), BevelSize));
        auto* nominal = new QLabel(row.nominal, bevel);
        nominal->setObjectName(QStringLiteral("NominalLabel%1").arg(k));
        nominal->setFont(rowFont);
        nominal->setGeometry(bevel->rect().adjusted(6, 1, -2, -1));
        nominal->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        NominalLabels.push_back(nominal);

        formats_.push_back(row.format);
    }
    ScrollBox1->setWidget(table);

    Button1 = new QPushButton(QStringLiteral("Принять"), Panel1);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(QRect(layout.acceptButton, ButtonSize));
    Button2 = new QPushButton(QStringLiteral("Отмена"), Panel1);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(QRect(layout.cancelButton, ButtonSize));
    // Neither button answers Enter: only a click closes the window.
    for (QPushButton* button : {Button1, Button2}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    ConnectHandler(Button1, &QPushButton::clicked, this, &ParameterWindow::Button1Click);
    ConnectHandler(Button2, &QPushButton::clicked, this, &ParameterWindow::Button2Click);

    QWidget* previous = nullptr;
    for (QLineEdit* edit : Edits) {
        if (previous)
            setTabOrder(previous, edit);
        previous = edit;
    }
    if (previous)
        setTabOrder(previous, Button2);
    setTabOrder(Button2, Button1);

    PlaceWindow(layout.clientSize, layout.screenPosition);
}

QLineEdit* ParameterWindow::Edit(int k) const
{
    return Edits.at(static_cast<std::size_t>(k - 1));
}

void ParameterWindow::SetValue(int k, double value)
{
    Write(k, value, false);
}

void ParameterWindow::SetExactValue(int k, float value)
{
    Write(k, value, true);
}

void ParameterWindow::Write(int k, double value, bool exact)
{
    const FieldFormat& f = formats_.at(static_cast<std::size_t>(k - 1));
    const numfmt::Separators sep = LocaleSeparators();
    const auto single = static_cast<float>(value);
    std::string text;
    if (f.kind == FieldFormat::Kind::Fixed)
        text = exact ? numfmt::FormatFixedExact(single, f.precision, f.decimals, sep)
                     : numfmt::FormatFixed(value, f.precision, f.decimals, sep);
    else
        text = exact ? numfmt::FormatGeneralExact(single, f.precision, sep, f.exponentDigits)
                     : numfmt::FormatGeneral(value, f.precision, sep, f.exponentDigits);
    Edit(k)->setText(QString::fromStdString(text));
}

double ParameterWindow::Value(int k) const
{
    return numfmt::TextToFloat(Edit(k)->text().toStdString(), LocaleSeparators().decimal);
}

QString ParameterWindow::Label(int k) const
{
    return NameLabels.at(static_cast<std::size_t>(k - 1))->text();
}

void ParameterWindow::Button1Click()
{
    SetModalResult(mrOk);
}

void ParameterWindow::Button2Click()
{
    SetModalResult(mrCancel);
}

} // namespace gyroapp
