#pragma once

#include <QRectF>
#include <QWidget>

#include <vector>

class QPainter;

namespace pelisond {

// The main window's picture of the device: an isometric line drawing of the tuning-fork
// gyroscope (frame on the output axis, the two sensing plates in their nominal and
// displaced positions, the base inside an aircraft's outline), scaled into the control.
class TuningForkPicture : public QWidget {
    Q_OBJECT
public:
    explicit TuningForkPicture(QWidget* parent = nullptr);

    // Draws the picture into a box of the given size; without its labels on request.
    static void Draw(QPainter& painter, QSizeF size, bool labels = true);
    // Where the labels' ink falls in a box of that size.
    static std::vector<QRectF> LabelBoxes(QSizeF size);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace pelisond
