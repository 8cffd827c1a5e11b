#pragma once

#include <QColor>
#include <QDateTime>
#include <QObject>
#include <QQmlEngine>
#include <QVariantList>

// The one place the screens take their look from: the UI font, every named colour, the gradients of catalogue
// records, the symbol glyphs and the small display texts (compact counts, dates). Pages read these names and
// never write colour literals themselves.
class Theme : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    Q_PROPERTY(QString fontFamily READ fontFamily CONSTANT)
    Q_PROPERTY(QString symbolFamily READ symbolFamily CONSTANT)
    // Text, from strongest to faintest.
    Q_PROPERTY(QColor ink READ ink CONSTANT)
    Q_PROPERTY(QColor text READ text CONSTANT)
    Q_PROPERTY(QColor strong READ strong CONSTANT)
    Q_PROPERTY(QColor secondary READ secondary CONSTANT)
    Q_PROPERTY(QColor subdued READ subdued CONSTANT)
    Q_PROPERTY(QColor muted READ muted CONSTANT)
    Q_PROPERTY(QColor faint READ faint CONSTANT)
    Q_PROPERTY(QColor tertiary READ tertiary CONSTANT)
    // Surfaces.
    Q_PROPERTY(QColor background READ background CONSTANT)
    Q_PROPERTY(QColor sidebar READ sidebar CONSTANT)
    Q_PROPERTY(QColor surface READ surface CONSTANT)
    Q_PROPERTY(QColor card READ card CONSTANT)
    Q_PROPERTY(QColor cardHover READ cardHover CONSTANT)
    Q_PROPERTY(QColor toastFill READ toastFill CONSTANT)
    Q_PROPERTY(QColor hairline READ hairline CONSTANT)
    // Signal colours.
    Q_PROPERTY(QColor accent READ accent CONSTANT)
    // The ring around the control that has the keyboard's focus.
    Q_PROPERTY(QColor focusRing READ focusRing CONSTANT)
    Q_PROPERTY(QColor star READ star CONSTANT)
    Q_PROPERTY(QColor green READ green CONSTANT)
    Q_PROPERTY(QColor orange READ orange CONSTANT)
    Q_PROPERTY(QColor red READ red CONSTANT)
    // The "编辑推荐" badge of the detail page.
    Q_PROPERTY(QColor editorsChoice READ editorsChoice CONSTANT)
    // Judged facts of the device check: fine, worth a look, a problem; and the screen check's colour fields.
    Q_PROPERTY(QColor good READ good CONSTANT)
    Q_PROPERTY(QColor caution READ caution CONSTANT)
    Q_PROPERTY(QColor danger READ danger CONSTANT)
    Q_PROPERTY(QVariantList screenTestColors READ screenTestColors CONSTANT)
    // The three window buttons of the drawn mini window.
    Q_PROPERTY(QVariantList windowButtons READ windowButtons CONSTANT)
    // The sponsor strip's night gradient and the ink of its light button.
    Q_PROPERTY(QColor sponsorStart READ sponsorStart CONSTANT)
    Q_PROPERTY(QColor sponsorEnd READ sponsorEnd CONSTANT)
    Q_PROPERTY(QColor sponsorInk READ sponsorInk CONSTANT)
    // Accent pair (record hex texts) of entries that carry no colours of their own.
    Q_PROPERTY(QString plainAccent READ plainAccent CONSTANT)
    Q_PROPERTY(QString plainAccent2 READ plainAccent2 CONSTANT)
    // Second colour of the account icon (sign-in sheet, membership page), beside plainAccent.
    Q_PROPERTY(QString accountAccent2 READ accountAccent2 CONSTANT)

public:
    using QObject::QObject;
    static Theme *create(QQmlEngine *, QJSEngine *);

    // The interface font: the system's on macOS, Noto Sans CJK SC (Debian's fonts-noto-cjk) elsewhere.
    [[nodiscard]] static QString fontFamily();
    [[nodiscard]] static QString symbolFamily();
    [[nodiscard]] static QColor ink() { return QColor(0x1d, 0x1d, 0x1f); }
    [[nodiscard]] static QColor text() { return QColor::fromRgbF(0.11f, 0.11f, 0.12f); }
    [[nodiscard]] static QColor strong() { return QColor(0x3a, 0x3a, 0x3c); }
    [[nodiscard]] static QColor secondary() { return QColor::fromRgbF(0.24f, 0.24f, 0.26f, 0.62f); }
    [[nodiscard]] static QColor subdued() { return QColor(0x6e, 0x6e, 0x73); }
    [[nodiscard]] static QColor muted() { return QColor(0x8a, 0x8a, 0x8e); }
    [[nodiscard]] static QColor faint() { return QColor(0xa1, 0xa1, 0xa6); }
    [[nodiscard]] static QColor tertiary() { return QColor::fromRgbF(0.24f, 0.24f, 0.26f, 0.40f); }
    [[nodiscard]] static QColor background() { return QColor(0xf6, 0xf6, 0xf8); }
    [[nodiscard]] static QColor sidebar() { return QColor(0xf2, 0xf2, 0xf5); }
    [[nodiscard]] static QColor surface() { return QColor(0xfb, 0xfb, 0xfd); }
    [[nodiscard]] static QColor card() { return QColor(0xff, 0xff, 0xff); }
    [[nodiscard]] static QColor cardHover() { return QColor(0xf0, 0xf4, 0xfb); }
    [[nodiscard]] static QColor toastFill() { return QColor::fromRgbF(0.98f, 0.98f, 0.99f, 0.94f); }
    [[nodiscard]] static QColor hairline();
    [[nodiscard]] static QColor accent();
    [[nodiscard]] static QColor focusRing() { return accent(); }
    [[nodiscard]] static QColor star() { return QColor::fromRgbF(0.96f, 0.65f, 0.14f); }
    [[nodiscard]] static QColor green() { return QColor(0x34, 0xc7, 0x59); }
    [[nodiscard]] static QColor orange() { return QColor(0xff, 0x95, 0x00); }
    [[nodiscard]] static QColor red() { return QColor(0xff, 0x3b, 0x30); }
    [[nodiscard]] static QColor editorsChoice() { return QColor::fromRgbF(0.96f, 0.40f, 0.35f); }
    [[nodiscard]] static QColor good() { return QColor::fromRgbF(0.13f, 0.65f, 0.32f); }
    [[nodiscard]] static QColor caution() { return QColor::fromRgbF(0.95f, 0.62f, 0.07f); }
    [[nodiscard]] static QColor danger() { return QColor::fromRgbF(0.91f, 0.22f, 0.31f); }
    // White, black, red, green, blue, grey.
    [[nodiscard]] static QVariantList screenTestColors()
    {
        return {QColor(Qt::white), QColor(Qt::black), QColor(Qt::red),
                QColor(Qt::green), QColor(Qt::blue),  QColor(0x80, 0x80, 0x80)};
    }
    [[nodiscard]] static QVariantList windowButtons();
    [[nodiscard]] static QColor sponsorStart() { return QColor::fromRgbF(0.04f, 0.09f, 0.22f); }
    [[nodiscard]] static QColor sponsorEnd() { return QColor::fromRgbF(0.10f, 0.07f, 0.24f); }
    [[nodiscard]] static QColor sponsorInk() { return QColor::fromRgbF(0.06f, 0.09f, 0.24f); }
    [[nodiscard]] static QString plainAccent() { return QStringLiteral("#0A84FF"); }
    [[nodiscard]] static QString plainAccent2() { return QStringLiteral("#5AC8FA"); }
    [[nodiscard]] static QString accountAccent2() { return QStringLiteral("#5E5CE6"); }

    // `color` at `alpha` opacity (0–1): the one way pages make a translucent colour.
    Q_INVOKABLE [[nodiscard]] QColor tint(const QColor &color, double alpha) const;
    // White and black at `alpha` opacity, for text and washes over pictures and for pressed states.
    Q_INVOKABLE [[nodiscard]] QColor light(double alpha) const { return tint(Qt::white, alpha); }
    Q_INVOKABLE [[nodiscard]] QColor shade(double alpha) const { return tint(Qt::black, alpha); }

    // Colours named by the service's records ("#0A84FF"); anything unreadable is the standard blue.
    Q_INVOKABLE [[nodiscard]] QColor color(const QString &hex) const;
    // [start, end] of the top-leading to bottom-trailing gradient of two record colours.
    Q_INVOKABLE [[nodiscard]] QVariantList gradient(const QString &a, const QString &b) const;
    // The symbol name for a record's glyph name.
    Q_INVOKABLE [[nodiscard]] QString glyph(const QString &name) const;
    // The one-character text that draws the symbol `name` with symbolFamily.
    Q_INVOKABLE [[nodiscard]] QString symbol(const QString &name) const;
    Q_INVOKABLE [[nodiscard]] bool knownSymbol(const QString &name) const;
    // "1.2 万" style counts, the Chinese date of an ISO 8601 text and the Chinese date and minute of a moment.
    Q_INVOKABLE [[nodiscard]] QString compact(double n) const;
    Q_INVOKABLE [[nodiscard]] QString formatDate(const QString &text) const;
    Q_INVOKABLE [[nodiscard]] QString formatDateTime(const QDateTime &moment) const;
};
