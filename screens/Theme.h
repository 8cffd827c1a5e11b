#pragma once

#include <QColor>
#include <QObject>
#include <QQmlEngine>

// Look of the store pages: the UI font and the neutral colours the pages share. Colours that the
// catalogue names (accents, gradients) come from the palette helpers instead.
class Theme : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    Q_PROPERTY(QString fontFamily READ fontFamily CONSTANT)
    Q_PROPERTY(QColor text READ text CONSTANT)
    Q_PROPERTY(QColor secondary READ secondary CONSTANT)
    Q_PROPERTY(QColor tertiary READ tertiary CONSTANT)
    Q_PROPERTY(QColor background READ background CONSTANT)
    Q_PROPERTY(QColor card READ card CONSTANT)
    Q_PROPERTY(QColor cardHover READ cardHover CONSTANT)
    Q_PROPERTY(QColor hairline READ hairline CONSTANT)
    Q_PROPERTY(QColor accent READ accent CONSTANT)
    Q_PROPERTY(QColor star READ star CONSTANT)

public:
    using QObject::QObject;
    static Theme *create(QQmlEngine *, QJSEngine *);

    [[nodiscard]] static QString fontFamily() { return QStringLiteral("Noto Sans CJK SC"); }
    [[nodiscard]] static QColor text() { return QColor::fromRgbF(0.11f, 0.11f, 0.12f); }
    [[nodiscard]] static QColor secondary() { return QColor::fromRgbF(0.24f, 0.24f, 0.26f, 0.62f); }
    [[nodiscard]] static QColor tertiary() { return QColor::fromRgbF(0.24f, 0.24f, 0.26f, 0.40f); }
    [[nodiscard]] static QColor background() { return QColor(0xf6, 0xf6, 0xf8); }
    [[nodiscard]] static QColor card() { return QColor(0xff, 0xff, 0xff); }
    [[nodiscard]] static QColor cardHover() { return QColor(0xf0, 0xf4, 0xfb); }
    [[nodiscard]] static QColor hairline() { return QColor::fromRgbF(0.f, 0.f, 0.f, 0.08f); }
    [[nodiscard]] static QColor accent() { return QColor::fromRgbF(0.04f, 0.52f, 1.0f); }
    [[nodiscard]] static QColor star() { return QColor::fromRgbF(0.96f, 0.65f, 0.14f); }
};
