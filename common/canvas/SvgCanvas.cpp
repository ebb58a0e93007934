#include "SvgCanvas.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <utility>

namespace canvas {

namespace {

// A coordinate to a tenth of a pixel, with a point whatever the locale.
std::string Num(double v)
{
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, std::round(v * 10) / 10, std::chars_format::fixed, 1);
    std::string text(buffer, end.ptr);
    if (text.ends_with(".0"))
        text.resize(text.size() - 2);
    return text == "-0" ? "0" : text;
}

std::string Hex(Color c)
{
    if (c.buttonFace)
        return "#f0f0f0";
    static const char digits[] = "0123456789abcdef";
    std::string text = "#";
    for (int v : {c.r, c.g, c.b}) {
        text += digits[v >> 4];
        text += digits[v & 15];
    }
    return text;
}

std::string Escaped(const std::string& text)
{
    std::string out;
    for (char ch : text) {
        switch (ch) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += ch;
        }
    }
    return out;
}

// Whole pixels name the pixel; the line through its middle covers it.
double Mid(int v) { return v + 0.5; }

} // namespace

SvgCanvas::SvgCanvas(int width, int height, std::string title) : width_(width), height_(height), title_(std::move(title))
{
}

std::string SvgCanvas::ClipAttribute(const State& s)
{
    if (!s.clip)
        return {};
    auto found = std::find(clips_.begin(), clips_.end(), *s.clip);
    if (found == clips_.end())
        found = clips_.insert(clips_.end(), *s.clip);
    return " clip-path=\"url(#clip" + std::to_string(found - clips_.begin()) + ")\"";
}

std::string SvgCanvas::Style(const State& s, bool filled)
{
    const int width = std::max(1, s.penWidth);
    std::string style = " fill=\"" + (filled ? Hex(s.brushColor) : std::string("none")) + "\" stroke=\""
        + Hex(s.penColor) + "\"";
    if (width != 1)
        style += " stroke-width=\"" + std::to_string(width) + "\" stroke-linecap=\"round\" stroke-linejoin=\"round\"";
    if (s.penStyle == PenStyle::Dash)
        style += " stroke-dasharray=\"4 3\"";
    return style + ClipAttribute(s);
}

void SvgCanvas::Flush()
{
    if (line_.size() >= 2) {
        body_ << "<polyline points=\"";
        for (std::size_t i = 0; i < line_.size(); ++i)
            body_ << (i ? " " : "") << Num(line_[i].x) << ',' << Num(line_[i].y);
        // The polyline keeps the pen it was started with.
        body_ << '"' << Style(lineState_, false) << "/>\n";
    }
    line_.clear();
}

void SvgCanvas::Rectangle(int x1, int y1, int x2, int y2)
{
    Flush();
    const double w = std::max(1, state().penWidth);
    body_ << "<rect x=\"" << Num(x1 + w / 2) << "\" y=\"" << Num(y1 + w / 2) << "\" width=\""
          << Num(std::max(0.0, x2 - x1 - w)) << "\" height=\"" << Num(std::max(0.0, y2 - y1 - w)) << '"'
          << Style(state(), true) << "/>\n";
}

void SvgCanvas::Ellipse(int x1, int y1, int x2, int y2)
{
    Flush();
    const double w = std::max(1, state().penWidth);
    body_ << "<ellipse cx=\"" << Num((x1 + x2) / 2.0) << "\" cy=\"" << Num((y1 + y2) / 2.0) << "\" rx=\""
          << Num(std::max(0.0, (x2 - x1 - w) / 2)) << "\" ry=\"" << Num(std::max(0.0, (y2 - y1 - w) / 2)) << '"'
          << Style(state(), true) << "/>\n";
}

void SvgCanvas::MoveTo(int x, int y) { MoveToF(Mid(x), Mid(y)); }

void SvgCanvas::LineTo(int x, int y) { LineToF(Mid(x), Mid(y)); }

void SvgCanvas::MoveToF(double x, double y)
{
    Flush();
    pen_ = {x, y};
}

void SvgCanvas::LineToF(double x, double y)
{
    const State& s = state();
    const bool samePen = s.penWidth == lineState_.penWidth && s.penColor == lineState_.penColor
        && s.penStyle == lineState_.penStyle && s.clip == lineState_.clip;
    if (!line_.empty() && !samePen)
        Flush();
    if (line_.empty()) {
        lineState_ = s;
        line_.push_back(pen_);
    }
    pen_ = {x, y};
    line_.push_back(pen_);
}

void SvgCanvas::TextOut(int x, int y, const std::string& text)
{
    Flush();
    const Font& font = state().font;
    const int h = font.pixelHeight;
    // The background the platform lays under text, as wide as the text is likely to be.
    int chars = 0;
    for (unsigned char ch : text)
        chars += (ch & 0xC0) != 0x80;
    body_ << "<rect x=\"" << x << "\" y=\"" << y << "\" width=\"" << Num(chars * h * 0.55) << "\" height=\""
          << Num(h * 1.15) << "\" fill=\"" << Hex(state().brushColor) << '"' << ClipAttribute(state()) << "/>\n";
    body_ << "<text x=\"" << x << "\" y=\"" << Num(y + h * 0.9) << "\" font-family=\"" << Escaped(font.face)
          << ", Liberation Sans, sans-serif\" font-size=\"" << h << "px\" fill=\"" << Hex(font.color) << '"'
          << (font.bold ? " font-weight=\"bold\"" : "") << ClipAttribute(state()) << ">" << Escaped(text) << "</text>\n";
}

std::string SvgCanvas::Document()
{
    Flush();
    std::ostringstream doc;
    doc << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << width_ << "\" height=\"" << height_
        << "\" viewBox=\"0 0 " << width_ << ' ' << height_ << "\">\n"
        << "<title>" << Escaped(title_) << "</title>\n";
    if (!clips_.empty()) {
        doc << "<defs>\n";
        for (std::size_t i = 0; i < clips_.size(); ++i) {
            const ClipBox& b = clips_[i];
            doc << "<clipPath id=\"clip" << i << "\"><rect x=\"" << b.x1 << "\" y=\"" << b.y1 << "\" width=\""
                << b.x2 - b.x1 << "\" height=\"" << b.y2 - b.y1 << "\"/></clipPath>\n";
        }
        doc << "</defs>\n";
    }
    doc << "<rect width=\"" << width_ << "\" height=\"" << height_ << "\" fill=\"#ffffff\"/>\n"
        << body_.str() << "</svg>\n";
    return doc.str();
}

} // namespace canvas
