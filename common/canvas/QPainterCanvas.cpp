#include "QPainterCanvas.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPalette>
#include <QPen>
#include <QString>

namespace canvas {

QFont ToQFont(const Font& font)
{
    QFont q;
    if (font.face == "Times New Roman") {
        q.setFamilies({QStringLiteral("Liberation Serif"), QStringLiteral("DejaVu Serif")});
        q.setStyleHint(QFont::Serif);
    } else if (font.face == "Arial" || font.face == "MS Sans Serif") {
        q.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
        q.setStyleHint(QFont::SansSerif);
    } else {
        q.setFamily(QString::fromStdString(font.face));
    }
    q.setPixelSize(font.pixelHeight > 0 ? font.pixelHeight : 1);
    q.setBold(font.bold);
    return q;
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

QPainterCanvas::QPainterCanvas(QPainter& painter, QColor buttonFace)
    : painter_(&painter), buttonFace_(buttonFace)
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
    painter_->setPen(MakePen(state(), buttonFace_));
}

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

void QPainterCanvas::Flush()
{
    if (pending_.size() > 1) {
        painter_->setPen(MakePen(pendingState_, buttonFace_));
        painter_->drawPolyline(pending_);
    }
    pending_.clear();
}

void QPainterCanvas::Rectangle(int x1, int y1, int x2, int y2)
{
    Flush();
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

void QPainterCanvas::LineTo(int x, int y)
{
    if (!pending_.isEmpty() && !(pendingState_.penWidth == state().penWidth && pendingState_.penColor == state().penColor))
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

void QPainterCanvas::Ellipse(int x1, int y1, int x2, int y2)
{
    Flush();
    ApplyPen();
    ApplyBrush();
    const int inset = state().penWidth > 0 ? 1 : 0;
    painter_->drawEllipse(QRect(x1, y1, x2 - x1 - inset, y2 - y1 - inset));
}

void QPainterCanvas::TextOut(int x, int y, const std::string& text)
{
    Flush();
    const QFont& font = CurrentFont();
    const QString qtext = QString::fromStdString(text);
    const QFontMetrics metrics(font, painter_->device());
    painter_->fillRect(QRect(x, y, metrics.horizontalAdvance(qtext), metrics.height()),
                       ToQColor(state().brushColor, buttonFace_));
    painter_->setFont(font);
    painter_->setPen(ToQColor(state().font.color, buttonFace_));
    painter_->drawText(QPoint(x, y + metrics.ascent()), qtext);
}

} // namespace canvas
