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
    IMediaDet::TMajorType type = IMediaDet::TMajorType::Other;
    double length = 0;
    double frameRate = 0;
    IMediaDet::TMediaType mediaType;
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
    s.type = s.mediaType.majortype = IMediaDet::TMajorType::Video;
    s.frameRate = rate;
    s.length = length;
    s.mediaType.formattype = IMediaDet::TFormatType::VideoInfo;
    s.mediaType.subtype = s.mediaType.bmiHeader.biCompression = fourcc;
    s.mediaType.bmiHeader.biWidth = width;
    s.mediaType.bmiHeader.biHeight = height;
    s.mediaType.bmiHeader.biBitCount = uint16_t(bits);
    return s;
  }
  static Stream Audio(uint32_t rate, uint16_t channels, uint32_t avgBytes, double length) {
    Stream s;
    s.type = s.mediaType.majortype = IMediaDet::TMajorType::Audio;
    s.length = length;
    s.mediaType.formattype = IMediaDet::TFormatType::WaveFormatEx;
    s.mediaType.subtype = s.mediaType.wfx.wFormatTag = 1;
    s.mediaType.wfx.nSamplesPerSec = rate;
    s.mediaType.wfx.nChannels = channels;
    s.mediaType.wfx.nAvgBytesPerSec = avgBytes;
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
    HRESULT get_StreamType(TMajorType* type) override {
      return Answer("get_StreamType", type, &Stream::type);
    }
    HRESULT get_StreamLength(double* seconds) override {
      return Answer("get_StreamLength", seconds, &Stream::length);
    }
    HRESULT get_StreamMediaType(TMediaType* type) override {
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
