#pragma once

#include <QRectF>
#include <QWidget>

#include <vector>

class QPainter;

namespace veltrami {

// The main window's picture of the device: a line drawing of the gimbal gyroscope
// standing on an aircraft's fuselage, scaled into the control.
class GimbalPicture : public QWidget {
    Q_OBJECT
public:
    explicit GimbalPicture(QWidget* parent = nullptr);

    // Draws the picture into a box of the given size; without its labels on request.
    static void Draw(QPainter& painter, QSizeF size, bool labels = true);
    // Where the labels' ink falls in a box of that size.
    static std::vector<QRectF> LabelBoxes(QSizeF size);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace veltrami
