#pragma once
// The service's glyph names to the symbol names the screens draw.
#include <QString>

namespace GlyphMap {
// Exact lookup; unknown names (also "") give "app.dashed".
QString symbol(const QString &glyph);
} // namespace GlyphMap
