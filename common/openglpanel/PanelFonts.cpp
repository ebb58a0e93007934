#include "PanelFonts.h"

#include <GL/gl.h>

OpenGLFont2D::OpenGLFont2D(std::shared_ptr<glpanel::PanelPlatform> platform, int firstGlyph, int glyphCount,
                           glpanel::ListName listBase)
    : m_platform(std::move(platform)), m_firstGlyph(firstGlyph), m_glyphCount(glyphCount), m_listBase(listBase)
{
}

OpenGLFont2D::~OpenGLFont2D()
{
    if (m_platform) m_platform->DeleteLists(m_listBase, m_glyphCount);
}

bool OpenGLFont2D::Covers(std::string_view text) const
{
    for (char c : text) {
        const int code = static_cast<unsigned char>(c);
        if (code < m_firstGlyph || code > m_firstGlyph + m_glyphCount - 1) return false;
    }
    return true;
}

OpenGLFont3D::OpenGLFont3D(std::shared_ptr<glpanel::PanelPlatform> platform, int firstGlyph, int glyphCount,
                           glpanel::ListName listBase, float extrusion)
    : OpenGLFont2D(std::move(platform), firstGlyph, glyphCount, listBase), m_extrusion(extrusion),
      m_metrics(std::size_t(std::max(glyphCount, 0)))
{
}

namespace glpanel {
namespace {

void CallGlyphLists(const OpenGLFont2D& font, std::string_view text)
{
    glListBase(font.ListBase() - GLuint(font.FirstGlyph()));
    glCallLists(GLsizei(text.size()), GL_UNSIGNED_BYTE, text.data());
}

} // namespace

void DrawBitmapText(const OpenGLFont2D* font, std::string_view text)
{
    if (font == nullptr || text.empty() || !font->Covers(text)) return;
    glPushAttrib(GL_LIST_BIT);
    CallGlyphLists(*font, text);
    glPopAttrib();
}

void DrawOutlineText(const OpenGLFont3D* font, std::string_view text)
{
    if (font == nullptr || text.empty() || !font->Covers(text)) return;
    glPushAttrib(GL_LIST_BIT);
    GLint frontFace = GL_CCW;
    glGetIntegerv(GL_FRONT_FACE, &frontFace);
    CallGlyphLists(*font, text);
    glFrontFace(GLenum(frontFace));
    glPopAttrib();
}

void MeasureOutlineText(const OpenGLFont3D* font, std::string_view text, double& x, double& y, double& z)
{
    if (font == nullptr || text.empty()) return;
    x = 0;
    y = 0;
    z = font->Extrusion();
    const auto& metrics = font->GlyphMetrics();
    for (std::size_t i = 0; i < text.size(); ++i) {
        const int code = static_cast<unsigned char>(text[i]);
        const int index = code - font->FirstGlyph();
        if (index < 0 || index >= font->GlyphCount() || std::size_t(index) >= metrics.size()) {
            x = y = z = 0;
            return;
        }
        const GlyphMetricsFloat& m = metrics[std::size_t(index)];
        if (i + 1 < text.size()) {
            x += m.gmfCellIncX;
            y += m.gmfCellIncY;
        } else {
            x += m.gmfBlackBoxX;
            y += m.gmfBlackBoxY;
        }
    }
}

} // namespace glpanel
