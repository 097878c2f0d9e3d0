#pragma once
#include <QSet>
#include <QString>
#include <vector>

#include "platform/media/mediadet.h"

// A media detector that describes scripted streams and fails, on command, any
// call named in `failing` (by method name, e.g. "get_FrameRate"). Installs
// itself as the detector factory for its lifetime; each created detector
// shares this script. With `failCreate` the factory gives no detector.
class TFakeMediaDet {
 public:
  struct Stream {
    GUID type = MEDIATYPE_Stream;
    double length = 0;
    double frameRate = 0;
    AM_MEDIA_TYPE mediaType{MEDIATYPE_Stream, GUID(), FORMAT_None, {}};
  };

  TFakeMediaDet() {
    SetMediaDetFactory([this]() -> std::unique_ptr<IMediaDet> {
      ++created;
      if (failCreate) return nullptr;
      return std::make_unique<Det>(*this);
    });
  }
  ~TFakeMediaDet() { SetMediaDetFactory(nullptr); }
  TFakeMediaDet(const TFakeMediaDet&) = delete;
  TFakeMediaDet& operator=(const TFakeMediaDet&) = delete;

  static Stream Video(int width, int height, int bits, uint32_t fourcc, double rate, double length) {
    Stream s;
    s.type = s.mediaType.majortype = MEDIATYPE_Video;
    s.frameRate = rate;
    s.length = length;
    s.mediaType.formattype = FORMAT_VideoInfo;
    s.mediaType.subtype = FourCCSubtype(fourcc);
    s.mediaType.format = VideoInfoAround(BitmapHeaderBytes({width, height, uint16_t(bits), fourcc}), rate);
    return s;
  }
  static Stream Audio(uint32_t rate, uint16_t channels, uint32_t avgBytes, double length) {
    Stream s;
    s.type = s.mediaType.majortype = MEDIATYPE_Audio;
    s.length = length;
    s.mediaType.formattype = FORMAT_WaveFormatEx;
    s.mediaType.subtype = MEDIASUBTYPE_PCM;
    s.mediaType.format = WaveHeaderBytes({1, channels, rate, avgBytes, uint16_t(channels * 2), 16});
    return s;
  }

  std::vector<Stream> streams;
  QSet<QString> failing;
  bool failCreate = false;
  int created = 0;
  QString fileName;  // the last name given to put_Filename

 private:
  class Det : public IMediaDet {
   public:
    explicit Det(TFakeMediaDet& script) : s_(script) {}
    HRESULT put_Filename(const QString& name) override {
      s_.fileName = name;
      return Fails("put_Filename") ? E_FAIL : S_OK;
    }
    HRESULT get_OutputStreams(long* count) override {
      if (Fails("get_OutputStreams")) return E_FAIL;
      *count = long(s_.streams.size());
      return S_OK;
    }
    HRESULT put_CurrentStream(long index) override {
      if (Fails("put_CurrentStream") || index < 0 || size_t(index) >= s_.streams.size()) return E_FAIL;
      current_ = size_t(index);
      return S_OK;
    }
    HRESULT get_StreamType(GUID* type) override {
      return Answer("get_StreamType", type, &Stream::type);
    }
    HRESULT get_StreamLength(double* seconds) override {
      return Answer("get_StreamLength", seconds, &Stream::length);
    }
    HRESULT get_StreamMediaType(AM_MEDIA_TYPE* type) override {
      return Answer("get_StreamMediaType", type, &Stream::mediaType);
    }
    HRESULT get_FrameRate(double* rate) override {
      return Answer("get_FrameRate", rate, &Stream::frameRate);
    }
    HRESULT WriteBitmapBits(double, long, long, const QString&) override {
      return Fails("WriteBitmapBits") ? E_FAIL : E_NOTIMPL;
    }

   private:
    template <class T>
    HRESULT Answer(const char* call, T* out, T Stream::*field) const {
      if (Fails(call)) return E_FAIL;
      *out = Cur().*field;
      return S_OK;
    }
    bool Fails(const char* call) const { return s_.failing.contains(QLatin1String(call)); }
    const Stream& Cur() const { return s_.streams.at(current_); }
    TFakeMediaDet& s_;
    size_t current_ = 0;
  };
};
