#pragma once

#include "PanelPlatform.h"

#include <memory>
#include <string_view>
#include <vector>

// A bitmap font: one display list per glyph from ListBase on. Destroying it deletes the
// lists in the context that is current then, which should be the one they were made in.
class OpenGLFont2D {
public:
    OpenGLFont2D(std::shared_ptr<glpanel::PanelPlatform> platform, int firstGlyph, int glyphCount, glpanel::ListName listBase);
    virtual ~OpenGLFont2D();
    OpenGLFont2D(const OpenGLFont2D&) = delete;
    OpenGLFont2D& operator=(const OpenGLFont2D&) = delete;

    int FirstGlyph() const { return m_firstGlyph; }
    int GlyphCount() const { return m_glyphCount; }
    glpanel::ListName ListBase() const { return m_listBase; }
    // True when every byte of the text has a glyph in this font.
    bool Covers(std::string_view text) const;

private:
    std::shared_ptr<glpanel::PanelPlatform> m_platform;
    int m_firstGlyph;
    int m_glyphCount;
    glpanel::ListName m_listBase;
};

// An outline font: per-glyph lists as for the bitmap font, the extrusion they were made
// with, and each glyph's metrics in em units.
class OpenGLFont3D : public OpenGLFont2D {
public:
    OpenGLFont3D(std::shared_ptr<glpanel::PanelPlatform> platform, int firstGlyph, int glyphCount,
                 glpanel::ListName listBase, float extrusion);

    float Extrusion() const { return m_extrusion; }
    const std::vector<glpanel::GlyphMetricsFloat>& GlyphMetrics() const { return m_metrics; }
    std::vector<glpanel::GlyphMetricsFloat>& GlyphMetrics() { return m_metrics; }

private:
    float m_extrusion;
    std::vector<glpanel::GlyphMetricsFloat> m_metrics;
};

namespace glpanel {

// Text drawing and measuring in the current context. A text with a byte outside the
// font's range draws nothing and measures (0, 0, 0).
void DrawBitmapText(const OpenGLFont2D* font, std::string_view text);
void DrawOutlineText(const OpenGLFont3D* font, std::string_view text);
void MeasureOutlineText(const OpenGLFont3D* font, std::string_view text, double& x, double& y, double& z);

} // namespace glpanel
