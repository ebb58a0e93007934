#pragma once

#include "Canvas.h"

#include <QGroupBox>
#include <QWidget>

#include <functional>

class QButtonGroup;
class QFrame;
class QLabel;
class QRadioButton;

// Pieces of the graph and phase-portrait windows of both programs.
namespace canvas {

// A paint box: whoever owns it draws on it through a canvas at every paint.
class PaintBox : public QWidget {
    Q_OBJECT
public:
    explicit PaintBox(QWidget* parent = nullptr);

    std::function<void(Canvas&)> OnPaint;

    // A tooltip that follows the mouse over the box with the text for its position;
    // an empty text shows none.
    void SetReadOut(std::function<QString(QPoint)> readOut);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    std::function<QString(QPoint)> readOut_;
};

// A radio group: a titled box whose items stand in the given number of columns.
class RadioGroup : public QGroupBox {
    Q_OBJECT
public:
    RadioGroup(const QString& title, const QStringList& items, int columns, QWidget* parent = nullptr);

    int itemIndex() const;
    void setItemIndex(int index);
    QRadioButton* item(int index) const;

signals:
    void itemIndexChanged(int index);

private:
    QButtonGroup* group_;
};

// A bevel: a sunken frame, or raised.
QFrame* MakeBevel(QWidget* parent, QRect geometry, bool raised = false);
// A label at a point in a Windows face of the given pixel height.
QLabel* MakeLabel(QWidget* parent, const QString& text, QPoint at, const char* face, int pixelHeight,
                  bool bold = false, QColor color = QColor());

} // namespace canvas
