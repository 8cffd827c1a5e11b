#pragma once
// The service's glyph names to the symbol names the screens draw.
#include <QString>
#include <QStringList>

namespace GlyphMap {
// Exact lookup; unknown names (also "") give "app.dashed".
QString symbol(const QString &glyph);
// Every symbol name symbol() can give.
QStringList symbols();
} // namespace GlyphMap
