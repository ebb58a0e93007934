#pragma once

#include "PanelPlatform.h"

namespace glpanel {

// Compiles one display list per character code from base on, in the current context.
// Each bitmap glyph is drawn with glBitmap at the raster position and advances it.
bool BuildBitmapGlyphLists(const TPanelFont& font, int first, int count, ListName base);

// Compiles one display list per character code: the glyph's outline tessellated into
// polygons (format 1) or drawn as line loops (format 0), extruded towards -z, in em
// units, ending with a move by the glyph's cell increment. Fills count metrics.
bool BuildOutlineGlyphLists(const TPanelFont& font, int first, int count, ListName base, float deviation,
                            float extrusion, int format, GlyphMetricsFloat* metrics);

} // namespace glpanel
