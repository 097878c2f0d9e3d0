#pragma once
#include <QByteArray>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

#include "base/hresult.h"
#include "platform/media/dshow.h"
#include "platform/media/dsound.h"

// Format blocks that elementary MPEG video streams carry instead of a plain
// video header.
inline const GUID FORMAT_MPEGVideo{"{05589F82-C356-11CE-BF01-00AA0055595A}"};
inline const GUID FORMAT_MPEG2Video{"{E06D80E3-DB46-11CF-B4D1-00805F6CBBEA}"};

// The media detector: facts about the streams of a file without playing it,
// and a single frame written as a bitmap file. The calls keep the shape of the
// detector the engine was designed against (select a stream, then ask about
// it), so the information code reads as a sequence of checked calls.
class IMediaDet {
 public:
  virtual ~IMediaDet() = default;
  // Reads the file; every later call describes it.
  virtual HRESULT put_Filename(const QString& name) = 0;
  virtual HRESULT get_OutputStreams(long* count) = 0;
  virtual HRESULT put_CurrentStream(long index) = 0;
  // The major type of the current stream.
  virtual HRESULT get_StreamType(GUID* type) = 0;
  // Seconds.
  virtual HRESULT get_StreamLength(double* seconds) = 0;
  virtual HRESULT get_StreamMediaType(AM_MEDIA_TYPE* type) = 0;
  // Frames per second of the current stream, which must be video.
  virtual HRESULT get_FrameRate(double* rate) = 0;
  // The frame of the current video stream at streamTime seconds, as a 24-bit
  // BMP file of width x height (the native size when either is 0 or below).
  virtual HRESULT WriteBitmapBits(double streamTime, long width, long height,
                                  const QString& fileName) = 0;
};

// Makes a detector ("CoCreateInstance(CLSID_MediaDet)"): the GStreamer one
// unless a test installed a factory; fails when the factory gives none.
HRESULT CreateMediaDet(std::unique_ptr<IMediaDet>& det);
using TMediaDetFactory = std::function<std::unique_ptr<IMediaDet>()>;
// An empty factory restores the GStreamer detector.
void SetMediaDetFactory(TMediaDetFactory factory);

// The fields of a format block that readers of stream facts use.
struct TBitmapHeader {
  int32_t biWidth = 0;
  int32_t biHeight = 0;
  uint16_t biBitCount = 0;
  uint32_t biCompression = 0;  // four-character code, lowest byte first
};
using TWaveHeader = WAVEFORMATEX;
// The bitmap header inside a video-info format block; false when too short.
bool ReadBitmapHeader(const QByteArray& videoInfo, TBitmapHeader& header);
// A wave-format block; false when too short.
bool ReadWaveHeader(const QByteArray& waveFormat, TWaveHeader& header);
// A video-info block around a bitmap header (40 bytes or more, as on disk).
QByteArray VideoInfoAround(const QByteArray& bitmapHeader, double frameRate);
// Format blocks from their fields, as on disk.
QByteArray BitmapHeaderBytes(const TBitmapHeader& h);
QByteArray WaveHeaderBytes(const TWaveHeader& h);

// Four-character code from its text, lowest byte first ("DIVX").
constexpr uint32_t FourCCFromText(const char (&s)[5]) {
  return uint32_t(uint8_t(s[0])) | uint32_t(uint8_t(s[1])) << 8 | uint32_t(uint8_t(s[2])) << 16 |
         uint32_t(uint8_t(s[3])) << 24;
}
