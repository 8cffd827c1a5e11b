#include "screens/components/Format.h"

#include <QLocale>
#include <QRegularExpression>
#include <QTimeZone>
#include <cmath>

using namespace Qt::StringLiterals;

QString oneDecimal(double value)
{
    return QString::asprintf("%.1f", value);
}

QString compact(qint64 n)
{
    if (n < 1000)
        return QString::number(n);
    if (n < 10000)
        return QString::asprintf("%.1f k", double(n) / 1000.0);
    return QString::asprintf("%.1f 万", double(n) / 10000.0);
}

std::optional<QDateTime> parseServiceDate(const QString &text)
{
    // Qt's own ISO parsing accepts more forms than these two, so the form is checked first.
    static const QRegularExpression form(
        u"^(\\d{4})-(\\d{2})-(\\d{2})T(\\d{2}):(\\d{2}):(\\d{2})(?:\\.(\\d{1,9}))?(?:([Zz])|([+-])(\\d{2}):?(\\d{2}))$"_s);
    const QRegularExpressionMatch m = form.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    const auto number = [&m](int group) { return m.capturedView(group).toInt(); };
    const QDate date(number(1), number(2), number(3));
    const QTime time(number(4), number(5), number(6),
                     m.capturedView(7).left(3).toString().leftJustified(3, u'0').toInt());
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    int offsetSeconds = 0;
    if (m.capturedLength(8) == 0) {
        const int hours = number(10);
        const int minutes = number(11);
        if (hours > 23 || minutes > 59)
            return std::nullopt;
        offsetSeconds = (hours * 3600 + minutes * 60) * (m.capturedView(9) == u"-" ? -1 : 1);
    }
    return QDateTime(date, time, QTimeZone(offsetSeconds));
}

QString formatDate(const QString &text)
{
    const QDateTime moment = parseServiceDate(text).value_or(QDateTime::currentDateTime());
    return QLocale(QLocale::Chinese, QLocale::China).toString(moment.toLocalTime(), u"yyyy年M月d日"_s);
}

QString formatDateTime(const QDateTime &moment)
{
    return QLocale(QLocale::Chinese, QLocale::China).toString(moment.toLocalTime(), u"yyyy年M月d日 HH:mm"_s);
}

QString price(double value, Cents cents)
{
    if (!std::isfinite(value))
        return u"—"_s;
    if (cents == Cents::always)
        return QString::asprintf("%.2f", value);
    const double wholeCents = std::round(value * 100.0);
    if (std::fmod(wholeCents, 100.0) == 0.0)
        return QString::number(static_cast<qint64>(wholeCents / 100.0));
    QString text = QString::number(wholeCents / 100.0, 'f', 2);
    if (text.endsWith(u'0'))
        text.chop(1);
    return text;
}
