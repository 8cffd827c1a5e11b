#pragma once
// The order of names shown in lists: the user's collation, case ignored. A locale without a collation of its
// own (C, POSIX) would order by code point and scatter Chinese names; the Chinese collation stands in there.
#include <QCollator>
#include <QLocale>

namespace NameOrder {
[[nodiscard]] QCollator collator(const QLocale &locale = QLocale());
} // namespace NameOrder
