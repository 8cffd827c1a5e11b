#include "screens/components/Format.h"

#include "service/ServiceDate.h"

#include <QLocale>
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
