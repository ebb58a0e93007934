#include "GimbalPicture.h"

#include "LineDrawing.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace veltrami {

namespace {

// The drawing is made in a 322 x 372 box and scaled to the control.
constexpr double Width = 322;
constexpr double Height = 372;
constexpr double LineWidth = 1.6;
constexpr int LetterHeight = 20;
const QPointF Centre{161, 150};

// The outer frame's half-width and half-height and its bars, the lower bearing's bottom,
// and how far down the aircraft is moved so that the stand and the alpha arrow have room
// between the frame and the fuselage.
constexpr double OuterX = 78;
constexpr double OuterY = 96;
constexpr double Bar = 8;
constexpr double BearingSide = 14;
constexpr double StandTop = -OuterY - BearingSide;
constexpr double AircraftDrop = 20;
constexpr double FuselageTop = 280 + AircraftDrop;
// The inner frame's half-length along xi and half-depth along the rotor axis: it turns
// inside the outer frame.
constexpr double InnerX = 50;
constexpr double InnerZ = 40;
constexpr double RotorRadius = 36;
// Where the rotor axis ends towards the viewer, still inside the outer frame.
constexpr double RotorAxisEnd = 130;

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

void DrawAircraft(QPainter& p)
{
    p.save();
    p.translate(0, AircraftDrop);
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
    p.restore();
}

std::vector<gyroapp::DrawingLabel> Labels()
{
    const QPointF rotor = P(0, 0, 0) + QPointF(-4, 3);
    return {
        {P(8, 133, 0), QStringLiteral("ζ, y"), {}},
        {P(-150, 14, 0), QStringLiteral("ξ, -x"), {}},
        {P(0, 0, RotorAxisEnd) + QPointF(-8, 34), QStringLiteral("η, z"), {}},
        {P(40, StandTop - 34, 0), QStringLiteral("α"), {}},
        {P(116, 32, 0), QStringLiteral("β"), {}},
        {rotor + QPointF(-48, -38), QStringLiteral("γ"), {}},
    };
}

void BeginDrawing(QPainter& p, QSizeF size)
{
    gyroapp::BeginLineDrawing(p, size, {Width, Height}, LineWidth, LetterHeight);
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

void GimbalPicture::Draw(QPainter& p, QSizeF size, bool labels)
{
    p.save();
    BeginDrawing(p, size);

    DrawAircraft(p);

    // Stand from the fuselage up to the outer frame's lower bearing, which it carries.
    Polygon(p, {P(-10, StandTop, 0), P(10, StandTop, 0), P(16, Centre.y() - FuselageTop, 0),
                P(-16, Centre.y() - FuselageTop, 0)});

    // Vertical axis of the outer frame: zeta, y.
    Axis(p, P(0, StandTop, 0), P(0, 145, 0));

    // Outer frame: an upright rectangle turning about the vertical axis, with its bearings.
    Polygon(p, {P(-OuterX, OuterY, 0), P(OuterX, OuterY, 0), P(OuterX, -OuterY, 0), P(-OuterX, -OuterY, 0)});
    Polygon(p, {P(-OuterX + Bar, OuterY - Bar, 0), P(OuterX - Bar, OuterY - Bar, 0), P(OuterX - Bar, -OuterY + Bar, 0),
                P(-OuterX + Bar, -OuterY + Bar, 0)});
    for (double y : {OuterY + BearingSide, -OuterY})
        p.drawRect(QRectF(P(-BearingSide / 2, y, 0), QSizeF(BearingSide, BearingSide)));
    // Its turn alpha, round the stand between the frame and the fuselage, in front.
    TurnArrow(p, P(0, (StandTop + Centre.y() - FuselageTop) / 2, 0), 34, 8, 250, 340);

    // Horizontal axis of the inner frame: xi, -x, held in bearings on the outer frame.
    Axis(p, P(95, 0, 0), P(-132, 0, 0));
    for (double x : {-OuterX - 4, OuterX - 4})
        p.drawEllipse(QRectF(P(x, 6, 0), QSizeF(12, 12)));

    // Inner frame: a horizontal rectangle turning about xi, inside the outer frame.
    Polygon(p, {P(-InnerX, 0, -InnerZ), P(InnerX, 0, -InnerZ), P(InnerX, 0, InnerZ), P(-InnerX, 0, InnerZ)});
    Polygon(p, {P(-InnerX + 7, 0, -InnerZ + 7), P(InnerX - 7, 0, -InnerZ + 7), P(InnerX - 7, 0, InnerZ - 7),
                P(-InnerX + 7, 0, InnerZ - 7)});
    p.drawLine(P(-OuterX + Bar, 0, 0), P(-InnerX, 0, 0));
    p.drawLine(P(InnerX, 0, 0), P(OuterX - Bar, 0, 0));
    // Its turn beta, round the xi axis beside the frame.
    TurnArrow(p, P(108, 0, 0), 8, 22, 110, 330);

    // Rotor axis: eta, z, across the inner frame towards the viewer, ending inside the outer frame.
    Axis(p, P(0, 0, -InnerZ), P(0, 0, RotorAxisEnd));

    // Rotor: a disc at the centre spinning by gamma about eta.
    p.setBrush(Qt::white);
    const QPointF centre = P(0, 0, 0);
    const QPointF front = centre + QPointF(-4, 3);
    p.drawEllipse(centre, RotorRadius, RotorRadius);
    p.drawEllipse(front, RotorRadius, RotorRadius);
    p.drawEllipse(front, 8, 8);
    p.setBrush(Qt::NoBrush);
    TurnArrow(p, front, 24, 24, 60, 200);

    if (labels)
        gyroapp::DrawLabels(p, Labels());
    p.restore();
}

std::vector<QRectF> GimbalPicture::LabelBoxes(QSizeF size)
{
    QImage scratch(1, 1, QImage::Format_RGB32);
    QPainter p(&scratch);
    BeginDrawing(p, size);
    return gyroapp::LabelBoxes(p, Labels());
}

} // namespace veltrami
