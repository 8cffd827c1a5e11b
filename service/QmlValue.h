#pragma once
// How records cross into QML and back: optional members and records read as undefined when absent, lists as
// arrays; what QML writes back is taken only when it is the record itself or absent.
#include <QList>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <optional>

namespace QmlValue {

template <typename T> QVariant of(const std::optional<T> &value)
{
    return value ? QVariant::fromValue(*value) : QVariant();
}

template <typename T> QVariantList list(const QList<T> &list)
{
    QVariantList out;
    out.reserve(list.size());
    for (const T &item : list)
        out.append(QVariant::fromValue(item));
    return out;
}

// QML writes undefined or null for "absent"; anything that is not the record itself is ignored (nullopt).
template <typename T> std::optional<std::optional<T>> record(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return std::optional<T>();
    if (value.metaType() == QMetaType::fromType<T>())
        return std::optional<T>(value.value<T>());
    return std::nullopt;
}

// An empty text from QML means "none".
inline std::optional<QString> text(const QString &text)
{
    return text.isEmpty() ? std::nullopt : std::optional<QString>(text);
}

} // namespace QmlValue
