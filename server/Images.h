#pragma once
// Generated images: the payment QR code as PNG and the wallpaper JPEGs drawn from a wallpaper's three colours.
#include <QByteArray>
#include <QSize>
#include <QString>

struct WallpaperEntry;

namespace Images {

enum class WallpaperSize { preview, full };

inline constexpr QSize kPreviewSize{3840, 2160};
inline constexpr QSize kFullSize{5120, 2880};
inline constexpr QSize kThumbSize{640, 360};

QByteArray qrPng(const QByteArray &text);

// File name inside the wallpaper folder, e.g. "aurora-5k.jpg" or "aurora-5k-thumb.jpg".
QString wallpaperFileName(const QString &slug, WallpaperSize size, bool thumb);
// The cached JPEG for that wallpaper, drawn and written (atomically) on first use. Empty on failure. The picture
// depends only on the wallpaper's row, so instances with their own folders serve the same bytes.
QString ensureWallpaper(const QString &folder, const WallpaperEntry &wallpaper, WallpaperSize size, bool thumb);

} // namespace Images
