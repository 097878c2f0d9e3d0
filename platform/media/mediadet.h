#pragma once
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/media/hresult.h"

// The media detector: facts about the streams of a file without playing it,
// and a single frame written as a bitmap file. The calls keep the shape of the
// detector the engine was designed against (select a stream, then ask about
// it), so the information code reads as a sequence of checked calls.
class IMediaDet {
 public:
  enum class TMajorType { Other, Video, Audio, Text };
  // The kind of format block the stream's media type carries.
  enum class TFormatType { None, VideoInfo, MpegVideo, Mpeg2Video, WaveFormatEx };

  struct TBitmapInfoHeader {
    int32_t biWidth = 0;
    int32_t biHeight = 0;
    uint16_t biBitCount = 0;
    uint32_t biCompression = 0;  // four-character code, lowest byte first
  };
  struct TWaveFormatEx {
    uint16_t wFormatTag = 0;
    uint16_t nChannels = 0;
    uint32_t nSamplesPerSec = 0;
    uint32_t nAvgBytesPerSec = 0;
    uint16_t nBlockAlign = 0;
    uint16_t wBitsPerSample = 0;
  };
  struct TMediaType {
    TMajorType majortype = TMajorType::Other;
    // The first 32 bits of the subtype: the four-character code of
    // four-character subtypes, the format tag of wave subtypes.
    uint32_t subtype = 0;
    TFormatType formattype = TFormatType::None;
    TBitmapInfoHeader bmiHeader;  // meaningful with VideoInfo
    TWaveFormatEx wfx;            // meaningful with WaveFormatEx
  };

  virtual ~IMediaDet() = default;
  // Reads the file; every later call describes it.
  virtual HRESULT put_Filename(const QString& name) = 0;
  virtual HRESULT get_OutputStreams(long* count) = 0;
  virtual HRESULT put_CurrentStream(long index) = 0;
  virtual HRESULT get_StreamType(TMajorType* type) = 0;
  // Seconds.
  virtual HRESULT get_StreamLength(double* seconds) = 0;
  virtual HRESULT get_StreamMediaType(TMediaType* type) = 0;
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

// Four-character code from its text, lowest byte first ("DIVX").
constexpr uint32_t FourCCFromText(const char (&s)[5]) {
  return uint32_t(uint8_t(s[0])) | uint32_t(uint8_t(s[1])) << 8 | uint32_t(uint8_t(s[2])) << 16 |
         uint32_t(uint8_t(s[3])) << 24;
}
