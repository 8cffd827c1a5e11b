#pragma once
// The display helpers for QML: Display.color(hex), Display.gradient(a, b), Display.glyph(name),
// Display.compact(n), Display.formatDate(text), Display.accent, Display.hairline.
#include <QColor>
#include <QObject>
#include <QVariantList>
#include <QtQml/qqmlregistration.h>

class Display : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    Q_PROPERTY(QColor accent READ accent CONSTANT)
    Q_PROPERTY(QColor hairline READ hairline CONSTANT)
public:
    using QObject::QObject;

    [[nodiscard]] QColor accent() const;
    [[nodiscard]] QColor hairline() const;
    Q_INVOKABLE QColor color(const QString &hex) const;
    // [start, end]: the two colours of the top-leading to bottom-trailing gradient.
    Q_INVOKABLE QVariantList gradient(const QString &a, const QString &b) const;
    Q_INVOKABLE QString glyph(const QString &name) const;
    Q_INVOKABLE QString compact(double n) const;
    Q_INVOKABLE QString formatDate(const QString &text) const;
};
