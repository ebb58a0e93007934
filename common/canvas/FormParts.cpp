#include "FormParts.h"

#include "QPainterCanvas.h"

#include <QButtonGroup>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QRadioButton>
#include <QToolTip>

#include <utility>

namespace canvas {

PaintBox::PaintBox(QWidget* parent)
    : QWidget(parent)
{
}

void PaintBox::paintEvent(QPaintEvent*)
{
    if (!OnPaint)
        return;
    QPainterCanvas c(this, palette().color(QPalette::Button));
    OnPaint(c);
}

void PaintBox::SetReadOut(std::function<QString(QPoint)> readOut)
{
    readOut_ = std::move(readOut);
    setMouseTracking(static_cast<bool>(readOut_));
}

void PaintBox::mouseMoveEvent(QMouseEvent* event)
{
    if (readOut_) {
        const QPoint at = event->position().toPoint();
        // The tooltip stays up only while the mouse is over the box itself.
        QToolTip::showText(event->globalPosition().toPoint(), readOut_(at), this, rect());
    }
    QWidget::mouseMoveEvent(event);
}

void PaintBox::leaveEvent(QEvent* event)
{
    if (readOut_)
        QToolTip::hideText();
    QWidget::leaveEvent(event);
}

RadioGroup::RadioGroup(const QString& title, const QStringList& items, int columns, QWidget* parent)
    : QGroupBox(title, parent), group_(new QButtonGroup(this))
{
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(8, 2, 8, 2);
    const int rows = (static_cast<int>(items.size()) + columns - 1) / columns;
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items[i], this);
        group_->addButton(button, i);
        layout->addWidget(button, i % rows, i / rows);
    }
    connect(group_, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked)
            emit itemIndexChanged(id);
    });
}

int RadioGroup::itemIndex() const { return group_->checkedId(); }

void RadioGroup::setItemIndex(int index)
{
    if (auto* button = group_->button(index))
        button->setChecked(true);
}

QRadioButton* RadioGroup::item(int index) const { return qobject_cast<QRadioButton*>(group_->button(index)); }

QFrame* MakeBevel(QWidget* parent, QRect geometry, bool raised)
{
    auto* bevel = new QFrame(parent);
    bevel->setFrameStyle(QFrame::Box | (raised ? QFrame::Raised : QFrame::Sunken));
    bevel->setGeometry(geometry);
    return bevel;
}

QLabel* MakeLabel(QWidget* parent, const QString& text, QPoint at, const char* face, int pixelHeight, bool bold,
                  QColor color)
{
    auto* label = new QLabel(text, parent);
    label->setFont(ToQFont(Font{face, pixelHeight, clBlack, bold}));
    if (color.isValid()) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, color);
        label->setPalette(palette);
    }
    label->move(at);
    label->adjustSize();
    return label;
}

} // namespace canvas
