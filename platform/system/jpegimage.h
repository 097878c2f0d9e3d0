#pragma once
#include <QByteArray>
#include <QImage>
#include <QString>

// JPEG pictures through libjpeg. Anything that is not a whole, sound JPEG
// (truncated, corrupt, too large, not a JPEG at all) gives a null image;
// decoding never prints, exits or crashes.
QImage DecodeJpeg(const QByteArray& data);
QImage LoadJpegFile(const QString& path);

// The program's logo, compiled in; shown in the empty movie area.
QImage LoadLogoImage();

// Largest picture the decoder accepts, in pixels per side and in all.
inline constexpr int kJpegMaxSide = 16384;
inline constexpr qint64 kJpegMaxPixels = 64LL * 1024 * 1024;
