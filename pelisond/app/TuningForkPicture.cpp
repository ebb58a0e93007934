#include "TuningForkPicture.h"

#include "LineDrawing.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <functional>
#include <initializer_list>
#include <numbers>

namespace pelisond {

namespace {

// The drawing is made in a 400 x 324 box (the proportions of the original picture) and
// scaled to the control.
constexpr double Width = 400;
constexpr double Height = 324;
constexpr double LineWidth = 1.8;
constexpr int LetterHeight = 21;
const QPointF Origin{206, 128};

// Isometric view: X down to the right, Y down to the left (towards the viewer), Z up.
const double Cos30 = std::sqrt(3.0) / 2;
QPointF P(double x, double y, double z = 0)
{
    return {Origin.x() + (x - y) * Cos30, Origin.y() + (x + y) * 0.5 - z};
}

// Device dimensions in drawing units: the arm b from the axis to a plate's centre, the
// plate's half-width a along X and half-depth along Y, the frame's half-length and half-depth.
constexpr double Arm = 82;
constexpr double HalfWidth = 20;
constexpr double HalfDepth = 22;
constexpr double FrameX = 124;
constexpr double FrameY = 40;
constexpr double FrameBar = 7;
constexpr double BaseLevel = -108;
constexpr double BaseHalf = 30;
constexpr double BaseThickness = 7;
constexpr double GroundLevel = BaseLevel - BaseThickness;
// How far the drawing moves the plates out of their nominal places.
constexpr double Shift = 12;
// The dimension lines: beside the frame's long sides and beyond its ends.
constexpr double DimensionY = FrameY + 12;
constexpr double DimensionX = FrameX + 12;
// The base's turn arrow round the base, in front of its sides.
constexpr double BaseTurnRadius = BaseHalf * 1.414 + 14;
constexpr double BaseTurnLevel = BaseLevel - BaseThickness / 2;

QPainterPath Outline(std::initializer_list<QPointF> points)
{
    QPainterPath path;
    auto it = points.begin();
    path.moveTo(*it);
    for (++it; it != points.end(); ++it)
        path.lineTo(*it);
    path.closeSubpath();
    return path;
}

// A rectangle lying in the plane z, from (x0, y0) to (x1, y1).
QPainterPath FlatRect(double x0, double y0, double x1, double y1, double z = 0)
{
    return Outline({P(x0, y0, z), P(x1, y0, z), P(x1, y1, z), P(x0, y1, z)});
}

void ArrowHead(QPainter& p, QPointF tip, QPointF from, double length = 10)
{
    const QPointF d = tip - from;
    const double n = std::hypot(d.x(), d.y());
    if (n == 0)
        return;
    const QPointF u = d / n;
    const QPointF v{-u.y(), u.x()};
    p.save();
    p.setBrush(Qt::black);
    p.setPen(QPen(Qt::black, 1));
    p.drawPath(Outline({tip, tip - u * length + v * length * 0.33, tip - u * length - v * length * 0.33}));
    p.restore();
}

void Arrow(QPainter& p, QPointF from, QPointF to)
{
    p.drawLine(from, to);
    ArrowHead(p, to, from);
}

void DoubleArrow(QPainter& p, QPointF a, QPointF b)
{
    p.drawLine(a, b);
    ArrowHead(p, a, b, 8);
    ArrowHead(p, b, a, 8);
}

void Styled(QPainter& p, Qt::PenStyle style, const std::function<void()>& draw)
{
    p.save();
    QPen pen = p.pen();
    pen.setStyle(style);
    p.setPen(pen);
    draw();
    p.restore();
}

// A circle of radius r round the vertical axis at height z, seen in the isometric view,
// from angle a0 to a1 (degrees, counter-clockwise seen from above).
QPainterPath Circle(double r, double z, double a0 = 0, double a1 = 360)
{
    QPainterPath path;
    const int steps = 96;
    for (int i = 0; i <= steps; ++i) {
        const double a = (a0 + (a1 - a0) * i / steps) * std::numbers::pi / 180;
        const QPointF q = P(r * std::cos(a), r * std::sin(a), z);
        if (i == 0)
            path.moveTo(q);
        else
            path.lineTo(q);
    }
    return path;
}

// A turn arrow round the vertical axis.
void TurnArrow(QPainter& p, double r, double z, double a0, double a1)
{
    p.drawPath(Circle(r, z, a0, a1));
    const double rad = a1 * std::numbers::pi / 180, before = (a1 - 10 * (a1 > a0 ? 1 : -1)) * std::numbers::pi / 180;
    ArrowHead(p, P(r * std::cos(rad), r * std::sin(rad), z), P(r * std::cos(before), r * std::sin(before), z));
}

void DrawAircraft(QPainter& p)
{
    // Seen from above, lying in the plane the base stands on, nose along X.
    const double z = GroundLevel;
    const QPointF outline[] = {
        {112, 0},   {102, 6},   {84, 9},    {26, 9},   {-8, 70},   {-22, 70},  {-12, 9},   {-76, 8},
        {-90, 32},  {-100, 32}, {-95, 7},   {-104, 3}, {-104, -3}, {-95, -7}, {-100, -32}, {-90, -32},
        {-76, -8},  {-12, -9},  {-22, -70}, {-8, -70}, {26, -9},   {84, -9},  {102, -6}};
    QPainterPath plane;
    plane.moveTo(P(outline[0].x(), outline[0].y(), z));
    for (const QPointF& q : outline)
        plane.lineTo(P(q.x(), q.y(), z));
    plane.closeSubpath();
    p.drawPath(plane);
}

void DrawBase(QPainter& p)
{
    p.save();
    p.setBrush(Qt::white);
    const double h = BaseHalf, top = BaseLevel, bottom = BaseLevel - BaseThickness;
    // The two side faces towards the viewer, then the top.
    p.drawPath(Outline({P(h, -h, top), P(h, h, top), P(h, h, bottom), P(h, -h, bottom)}));
    p.drawPath(Outline({P(h, h, top), P(-h, h, top), P(-h, h, bottom), P(h, h, bottom)}));
    p.drawPath(FlatRect(-h, -h, h, h, top));
    p.restore();
}

// A plate: its outline with a dot pattern inside.
void DottedPlate(QPainter& p, double cx, double cy)
{
    p.save();
    p.setBrush(Qt::white);
    p.drawPath(FlatRect(cx - HalfWidth, cy - HalfDepth, cx + HalfWidth, cy + HalfDepth));
    p.setPen(QPen(Qt::black, 2.4, Qt::SolidLine, Qt::RoundCap));
    for (double x = cx - HalfWidth + 6; x < cx + HalfWidth - 2; x += 8)
        for (double y = cy - HalfDepth + 6; y < cy + HalfDepth - 2; y += 8)
            p.drawPoint(P(x, y));
    p.restore();
}

void DrawFrame(QPainter& p)
{
    // A rectangular ring with a cross bar carrying the hub on the axis.
    QPainterPath ring = FlatRect(-FrameX, -FrameY, FrameX, FrameY);
    ring.addPath(FlatRect(-FrameX + FrameBar, -FrameY + FrameBar, -FrameBar, FrameY - FrameBar));
    ring.addPath(FlatRect(FrameBar, -FrameY + FrameBar, FrameX - FrameBar, FrameY - FrameBar));
    ring.setFillRule(Qt::OddEvenFill);
    p.save();
    p.setBrush(Qt::white);
    p.drawPath(ring);
    p.restore();
    // Suspension beams from the frame to both plates, along Y.
    for (double cx : {-Arm, Arm})
        for (double side : {-1.0, 1.0})
            p.drawLine(P(cx, side * HalfDepth), P(cx, side * (FrameY - FrameBar)));
}

// Where the base's turn arrow ends: its head, on the left of the base.
QPointF BaseTurnEnd()
{
    const double a = 120 * std::numbers::pi / 180;
    return P(BaseTurnRadius * std::cos(a), BaseTurnRadius * std::sin(a), BaseTurnLevel);
}

std::vector<gyroapp::DrawingLabel> Labels()
{
    const double outer = Arm + HalfWidth;
    return {
        {BaseTurnEnd() + QPointF(-30, 4), QStringLiteral("Ω"), {}},
        {P(FrameX + 50, 0) + QPointF(2, 8), QStringLiteral("X"), {}},
        {P(0, FrameY + 52) + QPointF(-22, 10), QStringLiteral("Y"), {}},
        {P(0, 0, 106) + QPointF(8, 8), QStringLiteral("Z"), {}},
        {P(0, 0) + QPointF(8, 32), QStringLiteral("0"), {}},
        {P(18, -18, 58) + QPointF(12, 2), QStringLiteral("φ"), {}},
        {P(-DimensionX, 0) + QPointF(-4, -8), QStringLiteral("F"), {}},
        {P(DimensionX, 0) + QPointF(-16, 28), QStringLiteral("F"), {}},
        // x1 inside the frame's dashed swing, y1 and y2 beyond their dimensions' arrowheads,
        // each a few letter widths' fraction clear of them.
        {P(-outer - Shift / 2, DimensionY) + QPointF(-6, 26), QStringLiteral("x"), QStringLiteral("1")},
        {P(-DimensionX, HalfDepth + Shift / 2) + QPointF(-37, 6), QStringLiteral("y"), QStringLiteral("1")},
        {P(outer + Shift / 2, -DimensionY) + QPointF(-14, -14), QStringLiteral("x"), QStringLiteral("2")},
        {P(DimensionX, -HalfDepth - Shift / 2) + QPointF(20, 8), QStringLiteral("y"), QStringLiteral("2")},
        {P(Arm / 2, -DimensionY) + QPointF(2, -6), QStringLiteral("b"), {}},
        {P(-Arm + HalfWidth / 2, -DimensionY) + QPointF(-4, -12), QStringLiteral("a"), {}},
    };
}

void BeginDrawing(QPainter& p, QSizeF size)
{
    gyroapp::BeginLineDrawing(p, size, {Width, Height}, LineWidth, LetterHeight);
}

} // namespace

TuningForkPicture::TuningForkPicture(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TuningForkPicture::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    Draw(painter, size());
}

void TuningForkPicture::Draw(QPainter& p, QSizeF size, bool labels)
{
    p.save();
    BeginDrawing(p, size);

    // The aircraft carrying the base, and the base turning at Omega about Z.
    DrawAircraft(p);
    DrawBase(p);
    TurnArrow(p, BaseTurnRadius, BaseTurnLevel, -20, 120);

    // Output axis Z: a shaft from the base up to the frame's hub.
    p.drawLine(P(0, 0, BaseLevel) + QPointF(-3, 0), P(0, 0, -3) + QPointF(-3, 0));
    p.drawLine(P(0, 0, BaseLevel) + QPointF(3, 0), P(0, 0, -3) + QPointF(3, 0));

    // The frame's swing about Z.
    Styled(p, Qt::DashLine, [&] { p.drawPath(Circle(std::hypot(FrameX, FrameY) + 2, 0)); });

    DrawFrame(p);

    // Sensing plates at both ends: nominal (dotted) and displaced (dashed outline), moved
    // in antiphase: the first towards -X and +Y, the second towards +X and -Y.
    DottedPlate(p, -Arm, 0);
    DottedPlate(p, Arm, 0);
    Styled(p, Qt::DashLine, [&] {
        p.drawPath(FlatRect(-Arm - HalfWidth - Shift, -HalfDepth + Shift, -Arm + HalfWidth - Shift, HalfDepth + Shift));
        p.drawPath(FlatRect(Arm - HalfWidth + Shift, -HalfDepth - Shift, Arm + HalfWidth + Shift, HalfDepth - Shift));
    });

    // Axes X along the frame, Y across it, origin 0 on the output axis, Z up.
    Styled(p, Qt::DashDotLine, [&] {
        p.drawLine(P(-FrameX - 30, 0), P(FrameX + 40, 0));
        p.drawLine(P(0, -FrameY - 20), P(0, FrameY + 46));
        p.drawLine(P(0, 0, 0), P(0, 0, 100));
    });
    ArrowHead(p, P(FrameX + 46, 0), P(FrameX + 30, 0));
    ArrowHead(p, P(0, FrameY + 52), P(0, FrameY + 36));
    ArrowHead(p, P(0, 0, 106), P(0, 0, 90));

    // The frame's turn phi about Z.
    TurnArrow(p, 18, 58, 200, 340);

    // Driving forces along X, in antiphase, on the plates' outer edges.
    Arrow(p, P(-Arm - HalfWidth, 0), P(-DimensionX, 0));
    Arrow(p, P(Arm + HalfWidth, 0), P(DimensionX, 0));

    // Displacements of the plates, measured between their nominal and displaced outer
    // corners: x along X beside the frame's long side, y along Y beyond its end.
    p.save();
    p.setPen(QPen(Qt::black, 1.0));
    const double outer = Arm + HalfWidth, edge = HalfDepth;
    for (double side : {-1.0, 1.0}) {
        // side -1: the first plate, which moves by (-Shift, +Shift); side 1: the second.
        const double x0 = side * outer, x1 = side * (outer + Shift);
        const double y0 = -side * edge, y1 = -side * (edge + Shift);
        const double dimY = -side * DimensionY, dimX = side * DimensionX;
        p.drawLine(P(x0, y0), P(x0, dimY - side * 4));
        p.drawLine(P(x1, y1), P(x1, dimY - side * 4));
        DoubleArrow(p, P(x0, dimY), P(x1, dimY));
        p.drawLine(P(x0, y0), P(dimX + side * 4, y0));
        p.drawLine(P(x1, y1), P(dimX + side * 4, y1));
        DoubleArrow(p, P(dimX, y0), P(dimX, y1));
    }

    // The arm b from the axis to the second plate's centre and the first plate's
    // half-width a, both beside the frame's far side.
    const double farY = -DimensionY;
    p.drawLine(P(Arm, -HalfDepth), P(Arm, farY - 4));
    p.drawLine(P(0, -FrameY), P(0, farY - 4));
    DoubleArrow(p, P(0, farY), P(Arm, farY));
    p.drawLine(P(-Arm, -HalfDepth), P(-Arm, farY - 4));
    p.drawLine(P(-Arm + HalfWidth, -HalfDepth), P(-Arm + HalfWidth, farY - 4));
    DoubleArrow(p, P(-Arm, farY), P(-Arm + HalfWidth, farY));
    p.restore();

    if (labels)
        gyroapp::DrawLabels(p, Labels());
    p.restore();
}

std::vector<QRectF> TuningForkPicture::LabelBoxes(QSizeF size)
{
    QImage scratch(1, 1, QImage::Format_RGB32);
    QPainter p(&scratch);
    BeginDrawing(p, size);
    return gyroapp::LabelBoxes(p, Labels());
}

} // namespace pelisond
