#include "TuningForkPicture.h"

#include "Fonts.h"

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
const QPointF Origin{206, 128};

// Isometric view: X down to the right, Y down to the left (towards the viewer), Z up.
const double Cos30 = std::sqrt(3.0) / 2;
QPointF P(double x, double y, double z = 0)
{
    return {Origin.x() + (x - y) * Cos30, Origin.y() + (x + y) * 0.5 - z};
}

// Device dimensions in drawing units: the arm b from the axis to a plate's centre, the
// plate's half-width a along X and half-depth along Y, the frame's half-length and half-depth.
constexpr double Arm = 84;
constexpr double HalfWidth = 22;
constexpr double HalfDepth = 24;
constexpr double FrameX = 122;
constexpr double FrameY = 36;
constexpr double FrameBar = 8;
constexpr double BaseLevel = -74;
constexpr double BaseHalf = 34;
constexpr double BaseThickness = 8;
constexpr double GroundLevel = BaseLevel - BaseThickness;

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

void Text(QPainter& p, QPointF at, const QString& text)
{
    p.drawText(at, text);
}

// A subscripted symbol such as x1: the letter, then the index a little lower and smaller.
void Indexed(QPainter& p, QPointF at, const QString& letter, const QString& index)
{
    p.drawText(at, letter);
    p.save();
    QFont small = p.font();
    small.setPixelSize(small.pixelSize() * 2 / 3);
    p.setFont(small);
    p.drawText(at + QPointF(QFontMetricsF(p.font()).horizontalAdvance(letter) * 1.5 + 1, 4), index);
    p.restore();
}

void DrawAircraft(QPainter& p)
{
    // Seen from above, lying in the plane the base stands on, nose along X.
    const double z = GroundLevel;
    QPainterPath plane;
    const QPointF outline[] = {
        {182, 0},   {168, 10},  {140, 15},  {40, 15},   {-10, 118}, {-34, 118}, {-16, 15},  {-128, 14},
        {-150, 52}, {-166, 52}, {-158, 12}, {-172, 4},  {-172, -4}, {-158, -12}, {-166, -52}, {-150, -52},
        {-128, -14}, {-16, -15}, {-34, -118}, {-10, -118}, {40, -15}, {140, -15}, {168, -10}};
    bool first = true;
    for (const QPointF& q : outline) {
        if (first)
            plane.moveTo(P(q.x(), q.y(), z));
        else
            plane.lineTo(P(q.x(), q.y(), z));
        first = false;
    }
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
        for (double side : {-1.0, 1.0}) {
            p.drawLine(P(cx - 8, side * HalfDepth), P(cx - 8, side * (FrameY - FrameBar)));
            p.drawLine(P(cx + 8, side * HalfDepth), P(cx + 8, side * (FrameY - FrameBar)));
        }
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

void TuningForkPicture::Draw(QPainter& p, QSizeF size)
{
    p.save();
    p.fillRect(QRectF(QPointF(0, 0), size), Qt::white);
    p.setRenderHint(QPainter::Antialiasing);
    const double scale = std::min(size.width() / Width, size.height() / Height);
    p.translate((size.width() - Width * scale) / 2, (size.height() - Height * scale) / 2);
    p.scale(scale, scale);

    QPen pen(Qt::black, 1.8);
    pen.setJoinStyle(Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    QFont letters = gyroapp::WindowsFont(QStringLiteral("Times New Roman"), 21);
    letters.setItalic(true);
    p.setFont(letters);

    // The aircraft carrying the base, and the base turning at Omega about Z.
    DrawAircraft(p);
    Styled(p, Qt::DashDotLine, [&] { p.drawLine(P(0, 0, GroundLevel - 14), P(0, 0, BaseLevel)); });
    DrawBase(p);
    TurnArrow(p, BaseHalf + 18, BaseLevel - 4, 200, 330);
    Text(p, P(BaseHalf + 24, 16, BaseLevel - 8) + QPointF(2, 14), QStringLiteral("Ω"));

    // Output axis Z from the base up through the frame's hub.
    p.drawLine(P(-3, 0, BaseLevel), P(-3, 0, -2));
    p.drawLine(P(3, 0, BaseLevel), P(3, 0, -2));

    // The frame's swing about Z.
    Styled(p, Qt::DashLine, [&] { p.drawPath(Circle(std::hypot(FrameX, FrameY) + 4, 0)); });

    DrawFrame(p);

    // Sensing plates at both ends: nominal (dotted) and displaced (dashed outline).
    const double dx = 12, dy = 10;
    DottedPlate(p, -Arm, 0);
    DottedPlate(p, Arm, 0);
    Styled(p, Qt::DashLine, [&] {
        p.drawPath(FlatRect(-Arm - HalfWidth - dx, -HalfDepth + dy, -Arm + HalfWidth - dx, HalfDepth + dy));
        p.drawPath(FlatRect(Arm - HalfWidth + dx, -HalfDepth - dy, Arm + HalfWidth + dx, HalfDepth - dy));
    });

    // Axes X along the frame, Y across it, origin 0 on the output axis, Z up.
    Styled(p, Qt::DashDotLine, [&] {
        p.drawLine(P(-FrameX - 40, 0), P(FrameX + 46, 0));
        p.drawLine(P(0, -FrameY - 24), P(0, FrameY + 58));
        p.drawLine(P(0, 0, 0), P(0, 0, 104));
    });
    ArrowHead(p, P(FrameX + 50, 0), P(FrameX + 30, 0));
    ArrowHead(p, P(0, FrameY + 62), P(0, FrameY + 42));
    ArrowHead(p, P(0, 0, 108), P(0, 0, 90));
    Text(p, P(FrameX + 54, 0) + QPointF(0, 4), QStringLiteral("X"));
    Text(p, P(0, FrameY + 66) + QPointF(-18, 12), QStringLiteral("Y"));
    Text(p, P(0, 0, 108) + QPointF(8, 4), QStringLiteral("Z"));
    Text(p, P(0, 0) + QPointF(-16, -4), QStringLiteral("0"));

    // The frame's turn phi about Z.
    TurnArrow(p, 20, 62, 210, 330);
    Text(p, P(20, -20, 62) + QPointF(10, -4), QStringLiteral("φ"));

    // Driving forces along X, in antiphase.
    Arrow(p, P(-Arm, 0), P(-Arm - HalfWidth - 30, 0, 0) + QPointF(0, -14));
    Arrow(p, P(Arm, 0), P(Arm + HalfWidth + 30, 0, 0) + QPointF(0, -14));
    Text(p, P(-Arm - HalfWidth - 30, 0) + QPointF(-14, -18), QStringLiteral("F"));
    Text(p, P(Arm + HalfWidth + 30, 0) + QPointF(4, -18), QStringLiteral("F"));

    // Displacements of the plates from their nominal positions.
    DoubleArrow(p, P(-Arm - HalfWidth, HalfDepth + 6), P(-Arm - HalfWidth - dx, HalfDepth + 6));
    Indexed(p, P(-Arm - HalfWidth - dx, HalfDepth + 6) + QPointF(-24, 14), QStringLiteral("x"), QStringLiteral("1"));
    DoubleArrow(p, P(-Arm - HalfWidth - 6, -HalfDepth), P(-Arm - HalfWidth - 6, -HalfDepth + dy));
    Indexed(p, P(-Arm - HalfWidth - 6, -HalfDepth) + QPointF(-26, 2), QStringLiteral("y"), QStringLiteral("1"));
    DoubleArrow(p, P(Arm + HalfWidth, -HalfDepth - 6), P(Arm + HalfWidth + dx, -HalfDepth - 6));
    Indexed(p, P(Arm + HalfWidth + dx, -HalfDepth - 6) + QPointF(2, -6), QStringLiteral("x"), QStringLiteral("2"));
    DoubleArrow(p, P(Arm + HalfWidth + 6, HalfDepth), P(Arm + HalfWidth + 6, HalfDepth - dy));
    Indexed(p, P(Arm + HalfWidth + 6, HalfDepth) + QPointF(6, 12), QStringLiteral("y"), QStringLiteral("2"));

    // The arm b from the axis to a plate's centre, and the plate's half-width a.
    p.save();
    p.setPen(QPen(Qt::black, 1.0));
    const double armY = -FrameY - 14;
    p.drawLine(P(0, -FrameY - 2), P(0, armY - 4));
    p.drawLine(P(Arm, -HalfDepth - 18), P(Arm, armY - 4));
    DoubleArrow(p, P(0, armY), P(Arm, armY));
    const double aY = HalfDepth + 30;
    p.drawLine(P(-Arm, HalfDepth + 2), P(-Arm, aY + 4));
    p.drawLine(P(-Arm + HalfWidth, HalfDepth + 2), P(-Arm + HalfWidth, aY + 4));
    DoubleArrow(p, P(-Arm, aY), P(-Arm + HalfWidth, aY));
    p.restore();
    Text(p, P(Arm / 2, armY) + QPointF(4, -6), QStringLiteral("b"));
    Text(p, P(-Arm + HalfWidth / 2, aY) + QPointF(-4, 20), QStringLiteral("a"));

    p.restore();
}

} // namespace pelisond
