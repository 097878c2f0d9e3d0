#include "platform/media/aviheaders.h"

#include <QFile>

#include <algorithm>

namespace {

// Header lists are a few kilobytes; a larger claim is damage, not data.
constexpr qint64 kMaxHeaderList = 1 << 20;
constexpr qint64 kMaxFormatChunk = 1 << 16;

// Calls visit(id, payload) for each whole chunk of a chunk sequence.
template <class Visit>
void ForEachChunk(const QByteArray& data, Visit visit) {
  qsizetype p = 0;
  while (data.size() - p >= 8) {
    const uint32_t size = ReadLE32(data.constData() + p + 4);
    if (size > uint64_t(data.size() - p - 8)) return;
    visit(data.mid(p, 4), data.mid(p + 8, size));
    p += 8 + qsizetype(size) + (size & 1);
  }
}

TAviStreamHeader ParseStreamList(const QByteArray& strl) {
  TAviStreamHeader h;
  ForEachChunk(strl, [&](const QByteArray& id, const QByteArray& body) {
    const char* d = body.constData();
    if (id == "strh" && body.size() >= 36) {
      h.fccType = ReadLE32(d);
      h.fccHandler = ReadLE32(d + 4);
      h.dwScale = ReadLE32(d + 20);
      h.dwRate = ReadLE32(d + 24);
      h.dwLength = ReadLE32(d + 32);
    } else if (id == "strf") {
      h.Format = body.left(kMaxFormatChunk);
    }
  });
  return h;
}

// Finds a top-level chunk of a RIFF file of the given form; the file is left
// just after the chunk's 8-byte header and its size is returned, or -1.
qint64 FindRiffChunk(QFile& f, const char* form, const char* id, const QByteArray& listType = {}) {
  const QByteArray riff = f.read(12);
  if (riff.size() != 12 || !riff.startsWith("RIFF") || riff.mid(8, 4) != form) return -1;
  qint64 p = 12;
  // The wanted chunk comes first or nearly so in every file we know of.
  for (int i = 0; i < 16 && f.seek(p); ++i) {
    const QByteArray head = f.read(8);
    if (head.size() < 8) return -1;
    const uint32_t size = ReadLE32(head.constData() + 4);
    if (head.startsWith(id) && (listType.isEmpty() || f.peek(4) == listType)) return size;
    p += 8 + qint64(size) + (size & 1);
  }
  return -1;
}

}  // namespace

std::vector<TAviStreamHeader> ParseAviHeaderList(const QByteArray& hdrl) {
  std::vector<TAviStreamHeader> streams;
  ForEachChunk(hdrl, [&](const QByteArray& id, const QByteArray& body) {
    if (id == "LIST" && body.startsWith("strl")) streams.push_back(ParseStreamList(body.mid(4)));
  });
  return streams;
}

std::vector<TAviStreamHeader> ReadAviStreamHeaders(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return {};
  const qint64 size = FindRiffChunk(f, "AVI ", "LIST", "hdrl");
  if (size < 4) return {};
  f.read(4);
  const qint64 body = std::min({size - 4, f.size() - f.pos(), kMaxHeaderList});
  return body > 0 ? ParseAviHeaderList(f.read(body)) : std::vector<TAviStreamHeader>{};
}

QByteArray ReadWaveFormatChunk(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return {};
  const qint64 size = FindRiffChunk(f, "WAVE", "fmt ");
  return size > 0 ? f.read(std::min(size, kMaxFormatChunk)) : QByteArray();
}

bool ReadBitmapHeader(const QByteArray& videoInfo, TBitmapHeader& h) {
  if (videoInfo.size() < 48 + 20) return false;
  const char* b = videoInfo.constData() + 48;
  h.biWidth = int32_t(ReadLE32(b + 4));
  h.biHeight = int32_t(ReadLE32(b + 8));
  h.biBitCount = ReadLE16(b + 14);
  h.biCompression = ReadLE32(b + 16);
  return true;
}

bool ReadWaveHeader(const QByteArray& waveFormat, TWaveHeader& h) {
  if (waveFormat.size() < 16) return false;
  const char* d = waveFormat.constData();
  h.wFormatTag = ReadLE16(d);
  h.nChannels = ReadLE16(d + 2);
  h.nSamplesPerSec = ReadLE32(d + 4);
  h.nAvgBytesPerSec = ReadLE32(d + 8);
  h.nBlockAlign = ReadLE16(d + 12);
  h.wBitsPerSample = ReadLE16(d + 14);
  return true;
}

namespace {
void PutLE(QByteArray& b, qsizetype at, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) b[at + i] = char(v >> (8 * i));
}
}  // namespace

QByteArray VideoInfoAround(const QByteArray& bitmapHeader, double frameRate) {
  QByteArray b(48, '\0');
  TBitmapHeader h;
  if (ReadBitmapHeader(b + bitmapHeader, h)) {
    PutLE(b, 8, uint32_t(h.biWidth), 4);  // source and target rectangles
    PutLE(b, 12, uint32_t(h.biHeight), 4);
    PutLE(b, 24, uint32_t(h.biWidth), 4);
    PutLE(b, 28, uint32_t(h.biHeight), 4);
  }
  const uint64_t frameTime = frameRate > 0 ? uint64_t(1e7 / frameRate + 0.5) : 0;
  PutLE(b, 40, uint32_t(frameTime), 4);
  PutLE(b, 44, uint32_t(frameTime >> 32), 4);
  return b + bitmapHeader;
}

QByteArray BitmapHeaderBytes(const TBitmapHeader& h) {
  QByteArray b(40, '\0');
  PutLE(b, 0, 40, 4);
  PutLE(b, 4, uint32_t(h.biWidth), 4);
  PutLE(b, 8, uint32_t(h.biHeight), 4);
  PutLE(b, 12, 1, 2);
  PutLE(b, 14, h.biBitCount, 2);
  PutLE(b, 16, h.biCompression, 4);
  return b;
}

QByteArray WaveHeaderBytes(const TWaveHeader& h) {
  QByteArray b(18, '\0');
  PutLE(b, 0, h.wFormatTag, 2);
  PutLE(b, 2, h.nChannels, 2);
  PutLE(b, 4, h.nSamplesPerSec, 4);
  PutLE(b, 8, h.nAvgBytesPerSec, 4);
  PutLE(b, 12, h.nBlockAlign, 2);
  PutLE(b, 14, h.wBitsPerSample, 2);
  return b;
}
