#pragma once

#include <QString>

// The file-style byte count text used wherever an application's size is shown: decimal units
// (1 KB = 1,000 bytes), "Zero KB" for nothing, whole bytes below 1 KB, one fraction digit for MB and two
// from GB up, trailing fraction zeros dropped, halves rounded to even.
[[nodiscard]] QString fileByteCount(qint64 bytes);
