#pragma once

#include <QString>
#include <QStringList>

// The app's symbol vocabulary: every dotted symbol name the screens use, drawn with a glyph of the
// "Material Icons" font. Unknown names draw the "app.dashed" glyph instead of nothing. QML reaches it through Theme.
namespace Symbols {

inline constexpr auto fallbackName = "app.dashed";

[[nodiscard]] QString family();
// The font file built into the program (a resource path).
[[nodiscard]] QString fontFile();
// Makes the font available to every window; false (and a warning) when it cannot be read.
bool loadFont();
// The code point that draws `name`; the fallback's code point for names not in the table.
[[nodiscard]] char16_t codePoint(const QString &name);
[[nodiscard]] bool contains(const QString &name);
[[nodiscard]] QStringList names();

} // namespace Symbols
