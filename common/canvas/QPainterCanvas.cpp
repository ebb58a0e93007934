#include "QPainterCanvas.h"

#include "FontMapping.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPalette>
#include <QPen>
#include <QString>
#include <QVector>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace canvas {

QFont ToQFont(const Font& font)
{
    return fontmap::MappedFont(QString::fromStdString(font.face), font.pixelHeight, font.bold);
}

QColor ToQColor(Color color, const QColor& buttonFace)
{
    return color.buttonFace ? buttonFace : QColor(color.r, color.g, color.b);
}

QColor DefaultButtonFace()
{
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return QGuiApplication::palette().color(QPalette::Active, QPalette::Button);
    return QColor(240, 240, 240);
}

QPainterCanvas::QPainterCanvas(QPaintDevice* device, QColor buttonFace)
    : painter_(&ownPainter_), buttonFace_(buttonFace)
{
    ownPainter_.begin(device);
    Setup();
}

QPainterCanvas::QPainterCanvas(QPainter& painter, QColor buttonFace, double fineness)
    : painter_(&painter), buttonFace_(buttonFace), fineness_(fineness > 1 ? fineness : 1)
{
    Setup();
}

QPainterCanvas::~QPainterCanvas()
{
    Flush();
    if (ownPainter_.isActive())
        ownPainter_.end();
}

void QPainterCanvas::Setup()
{
    painter_->setRenderHint(QPainter::Antialiasing, false);
    painter_->setBackgroundMode(Qt::TransparentMode);
}

namespace {

QPen MakePen(const State& s, const QColor& buttonFace)
{
    QPen pen(ToQColor(s.penColor, buttonFace));
    pen.setWidth(s.penWidth);
    // Wide pens end and join round, as the platform's wide solid pens do.
    if (s.penWidth > 1) {
        pen.setCapStyle(Qt::RoundCap);
        pen.setJoinStyle(Qt::RoundJoin);
    } else {
        pen.setCapStyle(Qt::FlatCap);
        pen.setJoinStyle(Qt::MiterJoin);
    }
    return pen;
}

} // namespace

void QPainterCanvas::ApplyPen()
{
    ApplyClip(state());
    painter_->setPen(MakePen(state(), buttonFace_));
}

void QPainterCanvas::ApplyClip(const State& s)
{
    if (s.clip)
        painter_->setClipRect(QRect(QPoint(s.clip->x1, s.clip->y1), QPoint(s.clip->x2 - 1, s.clip->y2 - 1)));
    else if (painter_->hasClipping())
        painter_->setClipping(false);
}

namespace {

// A pen for what stands behind the picture proper: dashes along the whole line.
void MakeDashed(QPen& pen, const State& s)
{
    if (s.penStyle != PenStyle::Dash)
        return;
    pen.setStyle(Qt::CustomDashLine);
    pen.setDashPattern({4, 3});
}

} // namespace

void QPainterCanvas::ApplyBrush()
{
    painter_->setBrush(ToQColor(state().brushColor, buttonFace_));
}

const QFont& QPainterCanvas::CurrentFont()
{
    if (!fontValid_ || !(fontKey_ == state().font)) {
        fontKey_ = state().font;
        font_ = ToQFont(fontKey_);
        fontValid_ = true;
    }
    return font_;
}

namespace {

// The pieces that cover the same pixels as the polyline: where several points share a
// column, the pieces between them overlap on one vertical, so one piece from the column's
// lowest to its highest point stands for them. A curve of many thousand samples then costs
// about as many pieces as the box has columns.
QVector<QLine> CoveringLines(const QPolygon& points)
{
    QVector<QLine> lines;
    qsizetype i = 0;
    while (i < points.size()) {
        const int x = points[i].x();
        int low = points[i].y(), high = low;
        qsizetype j = i + 1;
        for (; j < points.size() && points[j].x() == x; ++j) {
            low = std::min(low, points[j].y());
            high = std::max(high, points[j].y());
        }
        if (high > low || j == i + 1)
            lines.append(QLine(x, low, x, high));
        if (j < points.size())
            lines.append(QLine(points[j - 1], points[j]));
        i = j;
    }
    return lines;
}

} // namespace

namespace {

// A run of rows in one pixel column.
struct ColumnRun {
    int x, top, bottom;
};

// The pixels of a steep line (more rows than columns) as runs of rows per column: the run of
// column k holds the rows whose point on the line lies nearest to that column, as a
// one-pixel line has them.
void AddSteepLine(std::vector<ColumnRun>& runs, const QLine& line)
{
    const int adx = std::abs(line.dx()), ady = std::abs(line.dy());
    const int sx = line.dx() < 0 ? -1 : 1, sy = line.dy() < 0 ? -1 : 1;
    long long tStart = 0;
    for (int k = 0; k <= adx; ++k) {
        const long long tEnd = k == adx ? ady : ((2LL * k + 1) * ady + 2LL * adx - 1) / (2LL * adx) - 1;
        if (tEnd >= tStart) {
            const int a = line.y1() + sy * static_cast<int>(tStart), b = line.y1() + sy * static_cast<int>(tEnd);
            runs.push_back({line.x1() + sx * k, std::min(a, b), std::max(a, b)});
        }
        tStart = tEnd + 1;
    }
}

// Fills the runs, those of one column merged first, each as a rectangle of the pen's width:
// the rasteriser would write a steep line one span per pixel, a rectangle in one tight loop,
// and a dense curve's runs overlap heavily.
void FillRuns(QPainter& painter, std::vector<ColumnRun>& runs, int width, const QColor& color)
{
    std::sort(runs.begin(), runs.end(), [](const ColumnRun& a, const ColumnRun& b) {
        return a.x != b.x ? a.x < b.x : a.top < b.top;
    });
    const int left = (width - 1) / 2;
    for (std::size_t i = 0; i < runs.size();) {
        ColumnRun merged = runs[i];
        std::size_t j = i + 1;
        for (; j < runs.size() && runs[j].x == merged.x && runs[j].top <= merged.bottom + 1; ++j)
            merged.bottom = std::max(merged.bottom, runs[j].bottom);
        painter.fillRect(QRect(merged.x - left, merged.top, width, merged.bottom - merged.top + 1), color);
        i = j;
    }
}

} // namespace

namespace {

// The pixel before b on a one-pixel line from a to b: a step back along the line's longer
// axis, the other coordinate the line's nearest there.
QPoint BeforeEnd(QPoint a, QPoint b)
{
    const int dx = b.x() - a.x(), dy = b.y() - a.y();
    if (std::abs(dx) >= std::abs(dy)) {
        const int x = b.x() - (dx > 0 ? 1 : -1);
        return {x, a.y() + static_cast<int>(std::lround(static_cast<double>(x - a.x()) * dy / dx))};
    }
    const int y = b.y() - (dy > 0 ? 1 : -1);
    return {a.x() + static_cast<int>(std::lround(static_cast<double>(y - a.y()) * dx / dy)), y};
}

} // namespace

void QPainterCanvas::Flush()
{
    FlushPixels();
    FlushFine();
}

void QPainterCanvas::FlushFine()
{
    if (pendingFine_.size() > 1) {
        dots_.clear();
        ApplyClip(pendingState_);
        QPen pen = MakePen(pendingState_, buttonFace_);
        MakeDashed(pen, pendingState_);
        // Round joins: a dense zigzag with mitred corners would grow spikes.
        pen.setJoinStyle(Qt::RoundJoin);
        painter_->setPen(pen);
        // In pieces that share their end segments, so that every join is drawn: the stroker
        // that paints a file's polyline again (on the screen, into a picture) takes time
        // growing with the square of a self-crossing line's length, a hundred times longer
        // for a dense curve in one piece than in pieces of 64 points.
        constexpr qsizetype piece = 64;
        for (qsizetype start = 0; start + 1 < pendingFine_.size(); start += piece - 2)
            painter_->drawPolyline(pendingFine_.mid(start, piece));
    }
    pendingFine_.clear();
}

void QPainterCanvas::FlushPixels()
{
    // A one-pixel line-to leaves its final pixel undrawn, as on the platform the windows
    // were laid out on: a grid line to the rectangle's far edge stops inside it.
    if (pending_.size() > 1) {
        dots_.clear();
        ApplyClip(pendingState_);
        if (pendingState_.penStyle == PenStyle::Dash) {
            // Dashes run along the whole polyline: it is drawn as it stands, not in pieces.
            QPen pen = MakePen(pendingState_, buttonFace_);
            MakeDashed(pen, pendingState_);
            painter_->setPen(pen);
            painter_->drawPolyline(pending_);
            pending_.clear();
            return;
        }
        if (pendingState_.penWidth <= 1) {
            const QPoint end = BeforeEnd(pending_[pending_.size() - 2], pending_.last());
            if (end != pending_[pending_.size() - 2])
                pending_.last() = end;
            else
                pending_.removeLast(); // a last piece one pixel long draws its start alone
        }
        if (fineness_ > 1) {
            // Vector files and paper take the line itself, not the pixels a screen lights.
            if (pending_.size() == 1)
                painter_->fillRect(QRect(pending_[0], QSize(1, 1)), ToQColor(pendingState_.penColor, buttonFace_));
            else {
                QPen pen = MakePen(pendingState_, buttonFace_);
                MakeDashed(pen, pendingState_);
                pen.setJoinStyle(Qt::RoundJoin);
                painter_->setPen(pen);
                painter_->drawPolyline(pending_);
            }
            pending_.clear();
            return;
        }
        const int width = std::max(pendingState_.penWidth, 1);
        const QColor color = ToQColor(pendingState_.penColor, buttonFace_);
        QVector<QLine> lines = CoveringLines(pending_);
        if (width <= 2) {
            const auto steep = std::stable_partition(lines.begin(), lines.end(), [](const QLine& l) {
                return std::abs(l.dx()) >= std::abs(l.dy());
            });
            std::vector<ColumnRun> runs;
            for (auto it = steep; it != lines.end(); ++it)
                AddSteepLine(runs, *it);
            FillRuns(*painter_, runs, width, color);
            lines.erase(steep, lines.end());
        }
        if (width == 2) {
            // The flat remainder of a two-pixel pen as two one-pixel lines one above the
            // other: the same pixels within rounding, on the rasteriser's fast path instead
            // of stroked outlines.
            State thin = pendingState_;
            thin.penWidth = 1;
            painter_->setPen(MakePen(thin, buttonFace_));
            painter_->drawLines(lines);
            for (QLine& line : lines)
                line.translate(0, 1);
            painter_->drawLines(lines);
        } else {
            painter_->setPen(MakePen(pendingState_, buttonFace_));
            painter_->drawLines(lines);
        }
    }
    pending_.clear();
}

void QPainterCanvas::Rectangle(int x1, int y1, int x2, int y2)
{
    Flush();
    dots_.clear();
    ApplyPen();
    ApplyBrush();
    // The figure covers x1 .. x2 - 1; QPainter's outline adds the pen width to the rectangle.
    const int inset = state().penWidth > 0 ? 1 : 0;
    painter_->drawRect(QRect(x1, y1, x2 - x1 - inset, y2 - y1 - inset));
}

void QPainterCanvas::MoveTo(int x, int y)
{
    Flush();
    penX_ = x;
    penY_ = y;
}

bool QPainterCanvas::PendingPenDiffers() const
{
    return !(pendingState_.penWidth == state().penWidth && pendingState_.penColor == state().penColor
             && pendingState_.penStyle == state().penStyle && pendingState_.clip == state().clip);
}

void QPainterCanvas::MoveToF(double x, double y)
{
    Flush();
    penFine_ = QPointF(x, y);
}

void QPainterCanvas::LineToF(double x, double y)
{
    if (!pending_.isEmpty() || (!pendingFine_.isEmpty() && PendingPenDiffers()))
        Flush();
    if (pendingFine_.isEmpty()) {
        pendingState_ = state();
        pendingFine_.append(penFine_);
    }
    penFine_ = QPointF(x, y);
    pendingFine_.append(penFine_);
}

void QPainterCanvas::LineTo(int x, int y)
{
    if (!pendingFine_.isEmpty() || (!pending_.isEmpty() && PendingPenDiffers()))
        Flush();
    if (pending_.isEmpty()) {
        pendingState_ = state();
        pending_.append(QPoint(penX_, penY_));
    }
    // A line to where the pen stands draws nothing on the platform either.
    if (pending_.last() != QPoint(x, y))
        pending_.append(QPoint(x, y));
    penX_ = x;
    penY_ = y;
}

namespace {

// What an ellipse is drawn with.
bool SameFigurePen(const State& a, const State& b)
{
    return a.penWidth == b.penWidth && a.penColor == b.penColor && a.brushColor == b.brushColor && a.clip == b.clip;
}

} // namespace

void QPainterCanvas::Ellipse(int x1, int y1, int x2, int y2)
{
    Flush();
    const QSize size(x2 - x1, y2 - y1);
    if (!SameFigurePen(dotsState_, state()) || size != dotsSize_) {
        dots_.clear();
        dotsState_ = state();
        dotsSize_ = size;
        dot_ = QImage();
    }
    // Dots of one size and colour, as a portrait draws them, are known by their corner.
    const quint64 corner = (static_cast<quint64>(static_cast<quint32>(x1)) << 32) | static_cast<quint32>(y1);
    if (dots_.contains(corner))
        return;
    dots_.insert(corner);
    const int inset = state().penWidth > 0 ? 1 : 0;
    const QRect box(x1, y1, x2 - x1 - inset, y2 - y1 - inset);

    // On pixels, a small dot is painted once and then copied: the rasteriser lights the same
    // pixels for a figure moved by whole pixels, and copying is many times faster than
    // outlining a dot for every sample of a long run.
    const QTransform device = painter_->deviceTransform();
    const bool wholePixels = device.type() <= QTransform::TxTranslate && device.dx() == std::floor(device.dx()) &&
                             device.dy() == std::floor(device.dy());
    if (fineness_ == 1 && wholePixels && size.width() > 0 && size.height() > 0 && size.width() <= 64 &&
        size.height() <= 64) {
        const int margin = state().penWidth + 2;
        if (dot_.isNull()) {
            dot_ = QImage(size + QSize(2 * margin, 2 * margin), QImage::Format_ARGB32_Premultiplied);
            dot_.fill(Qt::transparent);
            QPainter stamp(&dot_);
            stamp.setRenderHint(QPainter::Antialiasing, false);
            stamp.setPen(MakePen(state(), buttonFace_));
            stamp.setBrush(ToQColor(state().brushColor, buttonFace_));
            stamp.drawEllipse(box.translated(margin - x1, margin - y1));
        }
        ApplyClip(state());
        painter_->drawImage(QPoint(x1 - margin, y1 - margin), dot_);
        return;
    }
    ApplyPen();
    ApplyBrush();
    painter_->drawEllipse(box);
}

void QPainterCanvas::TextOut(int x, int y, const std::string& text)
{
    Flush();
    dots_.clear();
    ApplyClip(state());
    const QFont& font = CurrentFont();
    const QString qtext = QString::fromStdString(text);
    const QFontMetrics metrics(font, painter_->device());
    painter_->fillRect(QRect(x, y, metrics.horizontalAdvance(qtext), metrics.height()),
                       ToQColor(state().brushColor, buttonFace_));
    painter_->setFont(font);
    painter_->setPen(ToQColor(state().font.color, buttonFace_));
    painter_->drawText(QPoint(x, y + metrics.ascent()), qtext);
}

int QPainterCanvas::TextWidth(const std::string& text)
{
    return QFontMetrics(CurrentFont(), painter_->device()).horizontalAdvance(QString::fromStdString(text));
}

} // namespace canvas
