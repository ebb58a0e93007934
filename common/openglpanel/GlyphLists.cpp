#include "GlyphLists.h"

#include "Charsets.h"
#include "FontMapping.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <GL/gl.h>
#include <GL/glu.h>
#include <array>
#include <cmath>
#include <deque>
#include <vector>

namespace glpanel {
namespace {

// Outlines are taken at this pixel size and scaled down to the em square.
constexpr double kOutlineEm = 1024.0;

void EmptyGlyph(float advance) { glBitmap(0, 0, 0, 0, advance, 0, nullptr); }

void CompileBitmapGlyph(const QFont& font, QChar ch)
{
    const QFontMetrics metrics(font);
    const float advance = float(metrics.horizontalAdvance(ch));
    const QRect box = metrics.boundingRect(ch).adjusted(-1, -1, 1, 1);
    if (ch.isSpace() || box.isEmpty()) {
        EmptyGlyph(advance);
        return;
    }
    QImage image(box.size(), QImage::Format_Grayscale8);
    image.fill(0);
    {
        QPainter painter(&image);
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.drawText(QPoint(-box.left(), -box.top()), QString(ch));
    }
    // glBitmap wants rows bottom first, most significant bit leftmost, byte-aligned rows.
    const int w = image.width();
    const int h = image.height();
    const int stride = (w + 7) / 8;
    std::vector<GLubyte> bits(std::size_t(stride) * h, 0);
    for (int row = 0; row < h; ++row) {
        const uchar* src = image.constScanLine(h - 1 - row);
        for (int x = 0; x < w; ++x)
            if (src[x] >= 128) bits[std::size_t(row) * stride + x / 8] |= GLubyte(0x80 >> (x % 8));
    }
    const float xorig = float(-box.left());
    const float yorig = float(box.top() + h);  // rows below the baseline
    glBitmap(w, h, xorig, yorig, advance, 0, bits.data());
}

using Contour = std::vector<QPointF>;

double DistanceToChord(QPointF p, QPointF a, QPointF b)
{
    const QPointF d = b - a;
    const double len = std::hypot(d.x(), d.y());
    if (len == 0) return std::hypot(p.x() - a.x(), p.y() - a.y());
    return std::abs((p.x() - a.x()) * d.y() - (p.y() - a.y()) * d.x()) / len;
}

// Splits a cubic Bézier until its control points lie within the deviation of the chord.
void FlattenCubic(QPointF p0, QPointF p1, QPointF p2, QPointF p3, double deviation, int depth, Contour& out)
{
    if (depth >= 12 || std::max(DistanceToChord(p1, p0, p3), DistanceToChord(p2, p0, p3)) <= deviation) {
        out.push_back(p3);
        return;
    }
    const QPointF a = (p0 + p1) / 2, b = (p1 + p2) / 2, c = (p2 + p3) / 2;
    const QPointF d = (a + b) / 2, e = (b + c) / 2, m = (d + e) / 2;
    FlattenCubic(p0, a, d, m, deviation, depth + 1, out);
    FlattenCubic(m, e, c, p3, deviation, depth + 1, out);
}

// Closed polygons of a glyph path, in em units with y up.
std::vector<Contour> Contours(const QPainterPath& path, double deviationPixels)
{
    std::vector<Contour> contours;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        if (e.type == QPainterPath::MoveToElement) {
            contours.emplace_back();
            contours.back().push_back(e);
        } else if (e.type == QPainterPath::LineToElement) {
            if (contours.empty()) contours.emplace_back();
            contours.back().push_back(e);
        } else if (e.type == QPainterPath::CurveToElement && i + 2 < path.elementCount() && !contours.empty()) {
            const QPointF start = contours.back().back();
            FlattenCubic(start, e, path.elementAt(i + 1), path.elementAt(i + 2), deviationPixels, 0, contours.back());
            i += 2;
        }
    }
    std::vector<Contour> result;
    for (Contour& c : contours) {
        if (c.size() > 1 && c.front() == c.back()) c.pop_back();
        if (c.size() < 3) continue;
        for (QPointF& p : c) p = QPointF(p.x() / kOutlineEm, -p.y() / kOutlineEm);
        result.push_back(std::move(c));
    }
    return result;
}

double SignedArea(const Contour& c)
{
    double area = 0;
    for (std::size_t i = 0; i < c.size(); ++i) {
        const QPointF& a = c[i];
        const QPointF& b = c[(i + 1) % c.size()];
        area += a.x() * b.y() - b.x() * a.y();
    }
    return area / 2;
}

struct TessState {
    std::deque<std::array<GLdouble, 3>> vertices;  // stable addresses for the tessellator
};

void GLAPIENTRY TessBegin(GLenum mode) { glBegin(mode); }
void GLAPIENTRY TessEnd() { glEnd(); }
void GLAPIENTRY TessVertex(void* data) { glVertex3dv(static_cast<const GLdouble*>(data)); }
void GLAPIENTRY TessError(GLenum) {}
void GLAPIENTRY TessCombine(GLdouble coords[3], void*[4], GLfloat[4], void** out, void* polygonData)
{
    auto* state = static_cast<TessState*>(polygonData);
    state->vertices.push_back({coords[0], coords[1], coords[2]});
    *out = state->vertices.back().data();
}

void TessellateFace(GLUtesselator* tess, const std::vector<Contour>& contours, double z, double normalZ)
{
    TessState state;
    gluTessNormal(tess, 0, 0, normalZ);
    glNormal3d(0, 0, normalZ);
    gluTessBeginPolygon(tess, &state);
    for (const Contour& c : contours) {
        gluTessBeginContour(tess);
        for (const QPointF& p : c) {
            state.vertices.push_back({p.x(), p.y(), z});
            gluTessVertex(tess, state.vertices.back().data(), state.vertices.back().data());
        }
        gluTessEndContour(tess);
    }
    gluTessEndPolygon(tess);
}

// Side walls between the front face (z = 0) and the back face (z = -depth). The filled
// region lies on the same side of every contour, which the largest contour tells.
void ExtrudeSides(const std::vector<Contour>& contours, double depth)
{
    const Contour* largest = nullptr;
    for (const Contour& c : contours)
        if (!largest || std::abs(SignedArea(c)) > std::abs(SignedArea(*largest))) largest = &c;
    const double outward = largest && SignedArea(*largest) > 0 ? 1.0 : -1.0;
    glBegin(GL_QUADS);
    for (const Contour& c : contours) {
        for (std::size_t i = 0; i < c.size(); ++i) {
            const QPointF& a = c[i];
            const QPointF& b = c[(i + 1) % c.size()];
            const double dx = b.x() - a.x(), dy = b.y() - a.y();
            const double len = std::hypot(dx, dy);
            if (len == 0) continue;
            glNormal3d(outward * dy / len, -outward * dx / len, 0);
            glVertex3d(a.x(), a.y(), 0);
            glVertex3d(a.x(), a.y(), -depth);
            glVertex3d(b.x(), b.y(), -depth);
            glVertex3d(b.x(), b.y(), 0);
        }
    }
    glEnd();
}

} // namespace

bool BuildBitmapGlyphLists(const TPanelFont& font, int first, int count, ListName base)
{
    QFont qfont = font.ToQFont();
    qfont.setStyleStrategy(QFont::NoAntialias);
    // Each character from the first of the font's faces that really has it.
    const fontmap::CoveringFonts faces(qfont);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_LSB_FIRST, GL_FALSE);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    for (int i = 0; i < count; ++i) {
        const QChar ch = CharForCode(first + i, font.Charset());
        glNewList(base + ListName(i), GL_COMPILE);
        if (ch.isNull())
            EmptyGlyph(0);
        else
            CompileBitmapGlyph(faces.For(ch), ch);
        glEndList();
    }
    glPopClientAttrib();
    return true;
}

bool BuildOutlineGlyphLists(const TPanelFont& font, int first, int count, ListName base, float deviation,
                            float extrusion, int format, GlyphMetricsFloat* metrics)
{
    QFont qfont = font.ToQFont();
    qfont.setPixelSize(int(kOutlineEm));
    const fontmap::CoveringFonts faces(qfont);
    // Deviation 0 means one design unit of a TrueType font (1/2048 em).
    const double deviationPixels = (deviation > 0 ? double(deviation) : 1.0 / 2048.0) * kOutlineEm;

    GLUtesselator* tess = gluNewTess();
    if (tess == nullptr) return false;
    gluTessCallback(tess, GLU_TESS_BEGIN, reinterpret_cast<_GLUfuncptr>(&TessBegin));
    gluTessCallback(tess, GLU_TESS_END, reinterpret_cast<_GLUfuncptr>(&TessEnd));
    gluTessCallback(tess, GLU_TESS_VERTEX, reinterpret_cast<_GLUfuncptr>(&TessVertex));
    gluTessCallback(tess, GLU_TESS_ERROR, reinterpret_cast<_GLUfuncptr>(&TessError));
    gluTessCallback(tess, GLU_TESS_COMBINE_DATA, reinterpret_cast<_GLUfuncptr>(&TessCombine));
    gluTessProperty(tess, GLU_TESS_WINDING_RULE, GLU_TESS_WINDING_NONZERO);

    for (int i = 0; i < count; ++i) {
        const QChar ch = CharForCode(first + i, font.Charset());
        const QFont& face = faces.For(ch);
        QPainterPath path;
        if (!ch.isNull()) path.addText(0, 0, face, QString(ch));
        const std::vector<Contour> contours = Contours(path, deviationPixels);

        GlyphMetricsFloat m;
        if (!contours.empty()) {
            const QRectF box = path.boundingRect();
            m.gmfBlackBoxX = float(box.width() / kOutlineEm);
            m.gmfBlackBoxY = float(box.height() / kOutlineEm);
            m.gmfptGlyphOrigin.x = float(box.left() / kOutlineEm);
            m.gmfptGlyphOrigin.y = float(-box.top() / kOutlineEm);
        }
        m.gmfCellIncX = ch.isNull() ? 0.0f : float(QFontMetricsF(face).horizontalAdvance(ch) / kOutlineEm);
        m.gmfCellIncY = 0;
        if (metrics) metrics[i] = m;

        glNewList(base + ListName(i), GL_COMPILE);
        glFrontFace(GL_CCW);
        if (format == 0) {
            for (const Contour& c : contours) {
                glBegin(GL_LINE_LOOP);
                for (const QPointF& p : c) glVertex3d(p.x(), p.y(), 0);
                glEnd();
            }
        } else if (!contours.empty()) {
            TessellateFace(tess, contours, 0, 1);
            if (extrusion != 0) {
                TessellateFace(tess, contours, -double(extrusion), -1);
                ExtrudeSides(contours, double(extrusion));
            }
        }
        glTranslatef(m.gmfCellIncX, m.gmfCellIncY, 0);
        glEndList();
    }
    gluDeleteTess(tess);
    return true;
}

} // namespace glpanel
