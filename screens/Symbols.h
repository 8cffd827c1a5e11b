#pragma once

#include <QObject>
#include <QQmlEngine>
#include <QStringList>

// The app's symbol vocabulary: every dotted symbol name the screens use, drawn with a glyph of the
// "Material Icons" font. Unknown names draw the "app.dashed" glyph instead of nothing.
class Symbols : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    Q_PROPERTY(QString family READ family CONSTANT)

public:
    static constexpr auto fallbackName = "app.dashed";

    using QObject::QObject;
    static Symbols *create(QQmlEngine *, QJSEngine *);

    [[nodiscard]] static QString family();
    // The code point that draws `name`; the fallback's code point for names not in the table.
    [[nodiscard]] static char16_t codePoint(const QString &name);
    [[nodiscard]] static bool contains(const QString &name);
    [[nodiscard]] static QStringList names();

    // The one-character text to draw with family().
    Q_INVOKABLE [[nodiscard]] QString glyph(const QString &name) const;
    Q_INVOKABLE [[nodiscard]] bool known(const QString &name) const { return contains(name); }
};
