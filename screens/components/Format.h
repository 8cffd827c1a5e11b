#pragma once
// Display texts for counts and service dates.
#include <QDateTime>
#include <QString>
#include <optional>

// Below 1000 as is; then "%.1f k" of thousands; from 10000 "%.1f 万" of ten-thousands.
QString compact(qint64 n);
// "yyyy-MM-ddTHH:mm:ss" with optional 1-9 fraction digits and a zone (Z, z, ±HH:MM, ±HHMM); absent otherwise.
std::optional<QDateTime> parseServiceDate(const QString &text);
// The date as "yyyy年M月d日" in the machine's time zone; today's date when the text does not parse.
QString formatDate(const QString &text);
