#pragma once
// The display texts of numbers, prices and dates: the one place the screens' QML helpers (Theme, PageText) and
// the page models take them from.
#include <QDateTime>
#include <QString>

// "%.1f" (ratings).
QString oneDecimal(double value);
// Below 1000 as is; then "%.1f k" of thousands; from 10000 "%.1f 万" of ten-thousands.
QString compact(qint64 n);
// The date of a service moment (parseServiceDate) as "yyyy年M月d日" in the machine's time zone; today's date when
// the text does not parse.
QString formatDate(const QString &text);
// The moment as "yyyy年M月d日 HH:mm" in the machine's time zone.
QString formatDateTime(const QDateTime &moment);

// A price as shown after "¥": "—" when it is not a number. asNeeded: whole prices without decimals, others with up
// to two, so the shown price is never less than what is charged (plans). always: two decimals (order amounts).
enum class Cents { asNeeded, always };
QString price(double value, Cents cents = Cents::asNeeded);
