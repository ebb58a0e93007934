#include "GimbalPicture.h"

#include "LineDrawing.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace veltrami {

namespace {

// The drawing is made in a 322 x 362 box and scaled to the control.
constexpr double Width = 322;
constexpr double Height = 362;
const QPointF Centre{161, 150};

// Oblique view of the device's axes: x to the right (the inner frame's axis), y up
// (the outer frame's axis), z towards the viewer and down to the left (the rotor's axis).
QPointF P(double x, double y, double z)
{
    return {Centre.x() + x - 0.45 * z, Centre.y() - y + 0.3 * z};
}

void Polygon(QPainter& p, std::initializer_list<QPointF> points, bool closed = true)
{
    QPainterPath path;
    auto it = points.begin();
    path.moveTo(*it);
    for (++it; it != points.end(); ++it)
        path.lineTo(*it);
    if (closed)
        path.closeSubpath();
    p.drawPath(path);
}

void ArrowHead(QPainter& p, QPointF tip, QPointF from, double length = 9)
{
    const QPointF d = tip - from;
    const double n = std::hypot(d.x(), d.y());
    if (n == 0)
        return;
    const QPointF u = d / n;
    const QPointF v{-u.y(), u.x()};
    QPainterPath head;
    head.moveTo(tip);
    head.lineTo(tip - u * length + v * length * 0.35);
    head.lineTo(tip - u * length - v * length * 0.35);
    head.closeSubpath();
    p.save();
    p.setBrush(Qt::black);
    p.drawPath(head);
    p.restore();
}

void Axis(QPainter& p, QPointF from, QPointF to)
{
    QPen pen = p.pen();
    QPen dashed = pen;
    dashed.setStyle(Qt::DashDotLine);
    p.setPen(dashed);
    p.drawLine(from, to);
    p.setPen(pen);
    ArrowHead(p, to, from);
}

// An arc arrow on an ellipse round a centre: angles in degrees, counter-clockwise.
void TurnArrow(QPainter& p, QPointF centre, double rx, double ry, double from, double to)
{
    const QRectF box(centre.x() - rx, centre.y() - ry, 2 * rx, 2 * ry);
    p.drawArc(box, static_cast<int>(from * 16), static_cast<int>((to - from) * 16));
    auto at = [&](double degrees) {
        const double a = degrees * M_PI / 180;
        return QPointF(centre.x() + rx * std::cos(a), centre.y() - ry * std::sin(a));
    };
    ArrowHead(p, at(to), at(to - 12 * (to > from ? 1 : -1)));
}

void Label(QPainter& p, QPointF at, const QString& text)
{
    p.drawText(at, text);
}

void DrawAircraft(QPainter& p)
{
    // Fuselage seen from the side and a little above, nose to the right.
    QPainterPath body;
    body.moveTo(20, 300);
    body.cubicTo(40, 286, 120, 280, 200, 280);
    body.lineTo(262, 281);
    body.cubicTo(290, 283, 306, 292, 310, 300);
    body.cubicTo(306, 308, 290, 316, 262, 318);
    body.lineTo(60, 318);
    body.cubicTo(40, 316, 26, 308, 20, 300);
    p.drawPath(body);
    // Cockpit glazing.
    QPainterPath canopy;
    canopy.moveTo(262, 282);
    canopy.cubicTo(272, 276, 286, 280, 296, 290);
    p.drawPath(canopy);
    // Wing, swept back, seen a little from above.
    Polygon(p, {{150, 310}, {110, 352}, {88, 352}, {112, 312}});
    Polygon(p, {{142, 284}, {118, 266}, {102, 266}, {112, 284}}, false);
    // Tail fin and tailplane.
    Polygon(p, {{30, 294}, {16, 250}, {34, 250}, {62, 286}}, false);
    Polygon(p, {{40, 310}, {20, 330}, {32, 330}, {60, 314}}, false);
}

} // namespace

GimbalPicture::GimbalPicture(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void GimbalPicture::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    Draw(painter, size());
}

void GimbalPicture::Draw(QPainter& p, QSizeF size)
{
    p.save();
    gyroapp::BeginLineDrawing(p, size, {Width, Height}, 1.6, 20);

    DrawAircraft(p);

    // Stand from the fuselage up to the lower bearing of the outer frame.
    Polygon(p, {P(-10, -126, 0), P(10, -126, 0), P(16, -146, 0), P(-16, -146, 0)});

    // Vertical axis of the outer frame: zeta, y.
    Axis(p, P(0, -126, 0), P(0, 145, 0));
    Label(p, P(8, 132, 0), QStringLiteral("ζ, y"));

    // Outer frame: an upright rectangle turning about the vertical axis, with its bearings.
    const double ox = 78, oy = 100, bar = 8;
    Polygon(p, {P(-ox, oy, 0), P(ox, oy, 0), P(ox, -oy, 0), P(-ox, -oy, 0)});
    Polygon(p, {P(-ox + bar, oy - bar, 0), P(ox - bar, oy - bar, 0), P(ox - bar, -oy + bar, 0),
                P(-ox + bar, -oy + bar, 0)});
    for (double y : {oy, -oy - 14})
        p.drawRect(QRectF(P(-7, y + 14, 0), QSizeF(14, 14)));
    // Its turn alpha, marked below the frame.
    TurnArrow(p, P(0, -118, 0), 34, 9, 200, 340);
    Label(p, P(36, -104, 0), QStringLiteral("α"));

    // Horizontal axis of the inner frame: xi, -x, held in bearings on the outer frame.
    Axis(p, P(95, 0, 0), P(-132, 0, 0));
    Label(p, P(-150, 12, 0), QStringLiteral("ξ, -x"));
    for (double x : {-ox - 4, ox - 4})
        p.drawEllipse(QRectF(P(x, 6, 0), QSizeF(12, 12)));

    // Inner frame: a horizontal rectangle turning about xi.
    const double ix = 62, iz = 58;
    Polygon(p, {P(-ix, 0, -iz), P(ix, 0, -iz), P(ix, 0, iz), P(-ix, 0, iz)});
    Polygon(p, {P(-ix + 7, 0, -iz + 7), P(ix - 7, 0, -iz + 7), P(ix - 7, 0, iz - 7), P(-ix + 7, 0, iz - 7)});
    p.drawLine(P(-ox + bar, 0, 0), P(-ix, 0, 0));
    p.drawLine(P(ix, 0, 0), P(ox - bar, 0, 0));
    // Its turn beta, round the xi axis beside the frame.
    TurnArrow(p, P(108, 0, 0), 8, 22, 110, 330);
    Label(p, P(116, 32, 0), QStringLiteral("β"));

    // Rotor axis: eta, z, across the inner frame towards the viewer.
    Axis(p, P(0, 0, -iz), P(0, 0, 150));
    Label(p, P(-52, 6, 150), QStringLiteral("η, z"));

    // Rotor: a disc at the centre spinning by gamma about eta.
    p.setBrush(Qt::white);
    const QPointF centre = P(0, 0, 0);
    p.drawEllipse(centre, 36, 36);
    p.drawEllipse(centre + QPointF(-4, 3), 36, 36);
    p.drawEllipse(centre + QPointF(-4, 3), 8, 8);
    p.setBrush(Qt::NoBrush);
    TurnArrow(p, centre + QPointF(-4, 3), 24, 24, 60, 200);
    Label(p, centre + QPointF(30, -34), QStringLiteral("γ"));

    p.restore();
}

} // namespace veltrami
