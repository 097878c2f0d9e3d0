#include "media/avikeyframes.h"

#include <QFile>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "media/fileinfo.h"
#include "platform/media/aviheaders.h"

namespace {

constexpr qint64 kEntrySize = 16;
constexpr qint64 kEntriesPerRead = 4096;
// A frame longer than this (about half an hour) is no frame rate at all; it
// also keeps the running time far from overflow for any index a file can hold.
constexpr double kMaxFrameTime = double(qint64(1) << 34);

// Position of the idx1 chunk header, or -1: the top-level chunks after the
// RIFF header are walked by their sizes, the first one always skipped.
qint64 FindIndexChunk(QFile& f, uint32_t& size) {
  qint64 p = 12;
  char head[8];
  if (!f.seek(p) || f.read(head, 8) != 8) return -1;
  for (;;) {
    size = ReadLE32(head + 4);
    p += 8 + qint64(size) + (size & 1);
    if (!f.seek(p) || f.read(head, 8) != 8) return -1;
    if (memcmp(head, "idx1", 4) == 0) {
      size = ReadLE32(head + 4);
      return p;
    }
  }
}

}  // namespace

void ReadAviKeyFrames(const QString& name, TFileInfo& info) {
  info.KeyFrames.clear();
  if (!std::isfinite(info.FrameRate) || info.FrameRate <= 0) return;
  const double step = std::nearbyint(1e7 / info.FrameRate);
  if (step < 1 || step > kMaxFrameTime) return;
  const qint64 d = qint64(step);

  QFile f(name);
  if (!f.open(QIODevice::ReadOnly)) return;
  char riff[12];
  if (f.read(riff, 12) != 12 || memcmp(riff, "RIFF", 4) != 0 || memcmp(riff + 8, "AVI ", 4) != 0)
    return;
  uint32_t size = 0;
  const qint64 at = FindIndexChunk(f, size);
  if (at < 0 || !f.seek(at + 8)) return;

  // A damaged size may claim more than the file holds; never plan beyond it.
  qint64 entries = std::min<qint64>(size / kEntrySize, (f.size() - at - 8) / kEntrySize);
  qint64 t = 0;
  QByteArray block;
  while (entries > 0) {
    const qint64 want = std::min(entries, kEntriesPerRead);
    block = f.read(want * kEntrySize);
    const qint64 whole = block.size() / kEntrySize;
    for (qint64 i = 0; i < whole; ++i) {
      const char* e = block.constData() + i * kEntrySize;
      if (e[2] != 'd') continue;
      if (ReadLE32(e + 4) & 0x10) info.KeyFrames.append(t);
      t += d;
    }
    // A short read is an index cut off by the end of the file.
    if (whole < want) break;
    entries -= whole;
  }
}
