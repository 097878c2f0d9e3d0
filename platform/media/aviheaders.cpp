#include "platform/media/aviheaders.h"

#include <QFile>

#include <algorithm>

namespace {

// Header lists are a few kilobytes; a larger claim is damage, not data.
constexpr qint64 kMaxHeaderList = 1 << 20;

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

IMediaDet::TWaveFormatEx ParseWaveFormat(const char* d) {
  IMediaDet::TWaveFormatEx w;
  w.wFormatTag = ReadLE16(d);
  w.nChannels = ReadLE16(d + 2);
  w.nSamplesPerSec = ReadLE32(d + 4);
  w.nAvgBytesPerSec = ReadLE32(d + 8);
  w.nBlockAlign = ReadLE16(d + 12);
  w.wBitsPerSample = ReadLE16(d + 14);
  return w;
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
    } else if (id == "strf" && h.fccType == FourCCFromText("vids") && body.size() >= 20) {
      h.HasBitmapHeader = true;
      h.Bitmap.biWidth = int32_t(ReadLE32(d + 4));
      h.Bitmap.biHeight = int32_t(ReadLE32(d + 8));
      h.Bitmap.biBitCount = ReadLE16(d + 14);
      h.Bitmap.biCompression = ReadLE32(d + 16);
    } else if (id == "strf" && h.fccType == FourCCFromText("auds") && body.size() >= 16) {
      h.HasWaveFormat = true;
      h.Wave = ParseWaveFormat(d);
    }
  });
  return h;
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
  const QByteArray riff = f.read(12);
  if (riff.size() != 12 || !riff.startsWith("RIFF") || riff.mid(8, 4) != "AVI ") return {};
  // The header list comes first in every AVI we know of, but walk a few
  // chunks in case a writer put something ahead of it.
  qint64 p = 12;
  for (int i = 0; i < 16 && f.seek(p); ++i) {
    const QByteArray head = f.read(12);
    if (head.size() < 12) return {};
    const uint32_t size = ReadLE32(head.constData() + 4);
    if (head.startsWith("LIST") && head.mid(8, 4) == "hdrl") {
      const qint64 body = std::min({qint64(size) - 4, f.size() - p - 12, kMaxHeaderList});
      return body > 0 ? ParseAviHeaderList(f.read(body)) : std::vector<TAviStreamHeader>{};
    }
    p += 8 + qint64(size) + (size & 1);
  }
  return {};
}

bool ReadWaveFormat(const QString& path, IMediaDet::TWaveFormatEx& wave) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return false;
  const QByteArray riff = f.read(12);
  if (riff.size() != 12 || !riff.startsWith("RIFF") || riff.mid(8, 4) != "WAVE") return false;
  qint64 p = 12;
  for (int i = 0; i < 16 && f.seek(p); ++i) {
    const QByteArray head = f.read(8);
    if (head.size() < 8) return false;
    const uint32_t size = ReadLE32(head.constData() + 4);
    if (head.startsWith("fmt ")) {
      const QByteArray body = f.read(16);
      if (size < 16 || body.size() < 16) return false;
      wave = ParseWaveFormat(body.constData());
      return true;
    }
    p += 8 + qint64(size) + (size & 1);
  }
  return false;
}
