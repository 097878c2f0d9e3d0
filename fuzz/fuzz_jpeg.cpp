// Arbitrary bytes as a JPEG picture. Decoding must end without a crash, a
// leak or a jump out of the program, and a picture it does give back must be
// whole and within the decoder's size limits.
#include <QByteArray>
#include <QImage>
#include <cstddef>
#include <cstdint>

#include "platform/system/jpegimage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const QImage image = DecodeJpeg(bytes);
  if (!image.isNull()) {
    if (image.width() > kJpegMaxSide || image.height() > kJpegMaxSide ||
        qint64(image.width()) * image.height() > kJpegMaxPixels || image.format() != QImage::Format_RGB32)
      __builtin_trap();
    // Touch the last row: it must be there.
    volatile QRgb last = image.pixel(image.width() - 1, image.height() - 1);
    (void)last;
  }
  return 0;
}
