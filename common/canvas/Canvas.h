#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The 2D drawing vocabulary of the graph and phase-portrait windows: a pen, a brush and a
// font held as state, and a handful of figures drawn with them. Coordinates are whole
// pixels of the paint box, origin top-left, y downwards. Texts are UTF-8.
namespace canvas {

// An RGB colour, or a system colour resolved by whoever paints (the button face).
struct Color {
    std::uint8_t r = 0, g = 0, b = 0;
    bool buttonFace = false;

    friend bool operator==(const Color&, const Color&) = default;
};

constexpr Color Rgb(int r, int g, int b)
{
    return Color{static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g), static_cast<std::uint8_t>(b), false};
}

// The named colours the windows were written with.
inline constexpr Color clBlack = Rgb(0, 0, 0);
inline constexpr Color clMaroon = Rgb(128, 0, 0);
inline constexpr Color clGreen = Rgb(0, 128, 0);
inline constexpr Color clOlive = Rgb(128, 128, 0);
inline constexpr Color clNavy = Rgb(0, 0, 128);
inline constexpr Color clPurple = Rgb(128, 0, 128);
inline constexpr Color clTeal = Rgb(0, 128, 128);
inline constexpr Color clGray = Rgb(128, 128, 128);
inline constexpr Color clSilver = Rgb(192, 192, 192);
inline constexpr Color clRed = Rgb(255, 0, 0);
inline constexpr Color clLime = Rgb(0, 255, 0);
inline constexpr Color clYellow = Rgb(255, 255, 0);
inline constexpr Color clBlue = Rgb(0, 0, 255);
inline constexpr Color clFuchsia = Rgb(255, 0, 255);
inline constexpr Color clAqua = Rgb(0, 255, 255);
inline constexpr Color clWhite = Rgb(255, 255, 255);
inline constexpr Color clBtnFace = Color{0, 0, 0, true};

// Character height in pixels for a size in points on the 96 dpi screen the windows were
// laid out for (8 points are 11 pixels, 6 points 8), rounded as the platform rounds.
constexpr int PointsToPixels(int points) { return (points * 96 + 36) / 72; }

// A font as the windows name it: a Windows face ("Times New Roman", "Arial",
// "MS Sans Serif"), a character height in pixels, a colour and boldness.
struct Font {
    std::string face = "MS Sans Serif";
    int pixelHeight = 11;
    Color color = clBlack;
    bool bold = false;

    friend bool operator==(const Font&, const Font&) = default;
};

// A point between whole pixels.
struct PointF {
    double x = 0, y = 0;
};

// How a pen draws its lines: solid, or dashed for what stands behind the picture proper.
enum class PenStyle { Solid, Dash };

// A rectangle x1 .. x2 - 1, y1 .. y2 - 1 that figures are cut to.
struct ClipBox {
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;

    friend bool operator==(const ClipBox&, const ClipBox&) = default;
};

// Pen, brush and font as they stand when something is drawn, and the cut, if any.
struct State {
    int penWidth = 1;
    Color penColor = clBlack;
    Color brushColor = clWhite;
    Font font;
    PenStyle penStyle = PenStyle::Solid;
    std::optional<ClipBox> clip;

    friend bool operator==(const State&, const State&) = default;
};

// The drawing surface. State setters only change what the next figures use; the figures
// follow the platform's rules: Rectangle and Ellipse fill with the brush and outline with
// the pen inside (x1, y1) .. (x2, y2) exclusive of the right and bottom edges; LineTo draws
// from the current position and moves it; TextOut puts the text's top-left corner at the
// point on a background of the brush colour.
class Canvas {
public:
    virtual ~Canvas() = default;

    const State& state() const { return state_; }

    void SetPenWidth(int width) { state_.penWidth = width; }
    void SetPenColor(Color color) { state_.penColor = color; }
    void SetBrushColor(Color color) { state_.brushColor = color; }
    void SetFont(const Font& font) { state_.font = font; }
    void SetFontFace(const std::string& face) { state_.font.face = face; }
    void SetFontHeight(int pixels) { state_.font.pixelHeight = pixels; }
    void SetFontSize(int points) { state_.font.pixelHeight = PointsToPixels(points); }
    void SetFontColor(Color color) { state_.font.color = color; }
    void SetFontBold(bool bold) { state_.font.bold = bold; }
    void SetPenStyle(PenStyle style) { state_.penStyle = style; }
    // Figures drawn from now on are cut to the box, until ClearClip.
    void SetClip(int x1, int y1, int x2, int y2) { state_.clip = ClipBox{x1, y1, x2, y2}; }
    void ClearClip() { state_.clip.reset(); }

    virtual void Rectangle(int x1, int y1, int x2, int y2) = 0;
    virtual void MoveTo(int x, int y) = 0;
    virtual void LineTo(int x, int y) = 0;
    virtual void Ellipse(int x1, int y1, int x2, int y2) = 0;
    virtual void TextOut(int x, int y, const std::string& text) = 0;

    // Width in pixels of a text in the current font: measured where the surface knows its
    // fonts, else estimated from the character height.
    virtual int TextWidth(const std::string& text)
    {
        // Digits half the height wide, separators a quarter, other characters 0.6.
        double width = 0;
        const double h = state_.font.pixelHeight;
        for (const char ch : text) {
            if ((static_cast<unsigned char>(ch) & 0xC0) == 0x80)
                continue;
            width += (ch >= '0' && ch <= '9') || ch == '-' ? 0.5 * h : ch == ',' || ch == '.' || ch == ' ' ? 0.25 * h : 0.6 * h;
        }
        return static_cast<int>(width);
    }

    // How finely the surface places points, in steps per pixel: 1 where figures land on
    // whole pixels (screens, images), more on vector files and paper.
    virtual double Fineness() const { return 1; }
    // Move-to and line-to a point between pixels, for surfaces finer than pixels; elsewhere
    // the pixel the point lies in.
    virtual void MoveToF(double x, double y) { MoveTo(PixelOf(x), PixelOf(y)); }
    virtual void LineToF(double x, double y) { LineTo(PixelOf(x), PixelOf(y)); }

    // Beyond a million pixels a point is off every screen: figures keep their far-away
    // points at that distance, on their side, within what any painter takes.
    static constexpr double FarAway = 1'000'000.0;

    // Truncates toward zero, far-away points kept at FarAway and NaN taken as 0.
    static int PixelOf(double v)
    {
        if (v != v)
            return 0;
        return static_cast<int>(v < -FarAway ? -FarAway : v > FarAway ? FarAway : v);
    }

private:
    State state_;
};

} // namespace canvas
