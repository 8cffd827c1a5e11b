#pragma once
// The moments in the service's records (ISO 8601 texts such as "createdAt"), read one way everywhere.
#include <QDateTime>
#include <QString>
#include <optional>

// "yyyy-MM-ddTHH:mm:ss" with optional 1-9 fraction digits and a zone (Z, z, ±HH:MM, ±HHMM); absent otherwise.
std::optional<QDateTime> parseServiceDate(const QString &text);
