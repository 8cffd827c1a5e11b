#pragma once
// What the device page derives from a finished (or partial) check: the score's colour level, the two
// capacity bars, the cross-check summary, the identity card's cells and the lines of the hands-on block.
// Pure functions over the records, so the page and its tests read the same values.

#include "device/DeviceRecords.h"

#include <QVariantMap>

namespace DeviceSummary {

// Colour level of the score: ok from 85, warn from 70, bad below (not the verdict's 90 / 78 / 60).
[[nodiscard]] DeviceStatus scoreLevel(int score);

struct Bar
{
    bool available = false;
    double share = 0; // 0..1, the bar's filled part
    QString text; // the figure shown, "—" when unavailable
    QString caption;
    DeviceStatus status = DeviceStatus::info; // info draws in the accent colour

    [[nodiscard]] QVariantMap toMap() const;
};

// "165 GB" or "1.5 TB" (TB × 1024) as gigabytes; none when the text is not such a figure.
[[nodiscard]] std::optional<double> gigabytes(const QString &text);
// 系统盘已用: the used share of the system disk from the storage rows "free" and "size", within 0.02..1,
// bad above 0.9.
[[nodiscard]] Bar storageBar(const DeviceSection *storage);
// 电池健康: the health row as a share of 100 with the battery thresholds (85 / 75), the cycle row as caption.
[[nodiscard]] Bar batteryBar(const DeviceSection *battery);
// "电池 92% · 循环 112 次" for the identity card, or "电池 —".
[[nodiscard]] QString batteryLine(const DeviceSection *battery);

// "N 项异常", "N 项注意" (only the counts that are not zero, joined by " · "), or "全部通过".
[[nodiscard]] QString crossSummary(const QList<CrossCheck> &checks);

struct Cell
{
    Q_GADGET
    Q_PROPERTY(QString key MEMBER key CONSTANT)
    Q_PROPERTY(QString label MEMBER label CONSTANT)
    Q_PROPERTY(QString value MEMBER value CONSTANT)
    Q_PROPERTY(QString flag MEMBER flag CONSTANT)
    Q_PROPERTY(QString status READ statusValue CONSTANT)

public:
    QString key; // the identity field or the section row key
    QString label;
    QString value;
    QString flag; // empty: no marker
    DeviceStatus status = DeviceStatus::info;

    [[nodiscard]] QString statusValue() const { return statusText(status); }
};
// The identity fields, the system version and the indicator rows of the sections, in that order.
[[nodiscard]] QList<Cell> identityCells(const DeviceIdentity &identity, const QString &osVersion,
                                        const QList<DeviceSection> &sections, const QList<CrossCheck> &checks);
// The cells shown while the card is collapsed.
[[nodiscard]] QList<Cell> collapsedCells(const QList<Cell> &all);

// Answers of the guided hands-on checks; empty texts are checks not done.
struct HandsOn
{
    QString screen;
    QString keyboard;
    int keysSeen = 0;
    int keysTotal = 0;
    QString speakerLeft;
    QString speakerRight;
};
// The block's lines after "【动手检查】" (two-space indented), empty when no check was done.
[[nodiscard]] QStringList handsOnLines(const HandsOn &answers);

} // namespace DeviceSummary
