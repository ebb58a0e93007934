#include "PanelFont.h"

#include "FontMapping.h"

#include <QFontMetricsF>
#include <cmath>

void TPanelFont::Assign(const TPanelFont& other)
{
    m_name = other.m_name;
    m_height = other.m_height;
    m_charset = other.m_charset;
    m_bold = other.m_bold;
    m_italic = other.m_italic;
}

QFont TPanelFont::ToQFont() const
{
    const int em = m_height == 0 ? 12 : std::abs(m_height);
    QFont font = fontmap::MappedFont(m_name, em, m_bold, m_italic);
    if (m_height > 0) {
        // A positive height is the cell height; scale the em so that ascent + descent fits it.
        const QFontMetricsF metrics(font);
        const double cell = metrics.ascent() + metrics.descent();
        if (cell > 0) font.setPixelSize(std::max(1, int(std::lround(em * em / cell))));
    }
    return font;
}
