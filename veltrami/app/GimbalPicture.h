#pragma once

#include <QWidget>

class QPainter;

namespace veltrami {

// The main window's picture of the device: a line drawing of the gimbal gyroscope
// standing on an aircraft's fuselage, scaled into the control.
class GimbalPicture : public QWidget {
    Q_OBJECT
public:
    explicit GimbalPicture(QWidget* parent = nullptr);

    // Draws the picture into a box of the given size.
    static void Draw(QPainter& painter, QSizeF size);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace veltrami
