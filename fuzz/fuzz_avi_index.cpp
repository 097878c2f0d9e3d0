// Arbitrary bytes as an AVI file through the key-frame index reader and the
// stream header parser: neither may read past the file or over-allocate.
#include <QByteArray>
#include <QFile>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <unistd.h>

#include "media/avikeyframes.h"
#include "media/fileinfo.h"
#include "platform/media/aviheaders.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const QString path = QStringLiteral("/tmp/fuzz_avi_index_%1.avi").arg(getpid());
  const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
  {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
    f.write(bytes);
  }
  TFileInfo info;
  // The last byte picks the frame rate, zero and absurd ones included.
  static const double rates[] = {25, 29.97, 0, -1, 1e-9, 1e9, 1280, 0.5};
  info.FrameRate = rates[size ? data[size - 1] % 8 : 0];
  ReadAviKeyFrames(path, info);
  // Key frames come one per video entry at most: 16 bytes each.
  if (info.KeyFrames.size() > qsizetype(size / 16)) __builtin_trap();
  ReadAviStreamHeaders(path);
  TWaveHeader wave;
  ReadWaveHeader(ReadWaveFormatChunk(path), wave);
  TBitmapHeader bitmap;
  for (const TAviStreamHeader& h : ParseAviHeaderList(bytes)) ReadBitmapHeader(VideoInfoAround(h.Format, 25), bitmap);
  return 0;
}
