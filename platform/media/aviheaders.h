#pragma once
#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

#include "platform/media/mediadet.h"

inline uint32_t ReadLE32(const char* p) {
  const auto* b = reinterpret_cast<const unsigned char*>(p);
  return uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
}
inline uint16_t ReadLE16(const char* p) {
  const auto* b = reinterpret_cast<const unsigned char*>(p);
  return uint16_t(b[0] | b[1] << 8);
}

// One stream's header list of an AVI file: its stream header and the format
// chunk as it stands (a bitmap header for video, a wave format for audio).
struct TAviStreamHeader {
  uint32_t fccType = 0;  // "vids", "auds", "txts", ...
  uint32_t fccHandler = 0;
  uint32_t dwScale = 0;
  uint32_t dwRate = 0;
  uint32_t dwLength = 0;
  QByteArray Format;
};

// The stream headers of the "hdrl" list, in file order; empty for anything
// that is not an AVI file. Reads only the header list, never past the file.
std::vector<TAviStreamHeader> ReadAviStreamHeaders(const QString& path);
// The same from the payload of a "hdrl" list (the bytes after "hdrl").
std::vector<TAviStreamHeader> ParseAviHeaderList(const QByteArray& hdrl);
// The "fmt " chunk of a RIFF WAVE file; empty for anything else.
QByteArray ReadWaveFormatChunk(const QString& path);
