#pragma once
// The picture of a finished check that a seller or buyer posts with a second-hand listing: 1080 px wide,
// large Chinese text that stays readable at phone size, the score and the facts a buyer asks about, and the
// serial with its middle hidden. Laid out as a list of drawn pieces first, so tests read what it says
// without looking at pixels, then painted.

#include "device/DeviceRecords.h"

#include <QColor>
#include <QDateTime>
#include <QImage>
#include <QRectF>

namespace ShareCard {

inline constexpr int kWidth = 1080;

// The facts on the card, as texts.
struct Facts
{
    int score = 0;
    QString verdict;
    DeviceStatus scoreLevel = DeviceStatus::ok;
    QString modelName;
    QString chip;
    QString memory;
    QString storage;
    QString batteryHealth;
    QString cycles;
    QString condition;
    QString activationLock;
    QString management;
    QString firmware;
    QString checkedAt;
    QString maskedSerial;
    // Status of each fact row by its label, for the value's colour.
    QList<std::pair<QString, DeviceStatus>> statuses;
};

[[nodiscard]] Facts factsFrom(const DeviceIdentity &identity, const QList<DeviceSection> &sections,
                              const QList<CrossCheck> &checks, int score, const QDateTime &checkedAt);

struct Piece
{
    enum Kind { Fill, Text };
    Kind kind = Text;
    QString name; // what the piece shows ("score", "row:芯片", "header")
    QRectF box;
    QString text;
    QColor color;
    QColor colorEnd; // a Fill's gradient end, invalid for a plain fill
    int pixelSize = 0;
    bool bold = false;
    int align = 0; // Qt::Alignment
    qreal radius = 0;
};

struct Layout
{
    QSize size;
    QList<Piece> pieces;

    [[nodiscard]] QStringList texts() const;
};

[[nodiscard]] Layout layout(const Facts &facts);
[[nodiscard]] QImage render(const Layout &layout);

} // namespace ShareCard
