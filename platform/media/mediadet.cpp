#include "platform/media/mediadet.h"

#include <QFileInfo>
#include <QImage>
#include <QUrl>

#include <gst/app/gstappsink.h>
#include <gst/audio/audio.h>
#include <gst/gst.h>
#include <gst/pbutils/pbutils.h>
#include <gst/video/video.h>

#include <cmath>
#include <vector>

#include "platform/media/aviheaders.h"
#include "platform/media/gsterror.h"
#include "platform/media/gstfilter.h"
#include "platform/media/gstref.h"

namespace {


// How long a file may take to give up its stream facts or a frame.
constexpr GstClockTime kDiscoverTimeout = 15 * GST_SECOND;
constexpr GstClockTime kFrameTimeout = 15 * GST_SECOND;

// Discoverer objects are plain GObjects, not GstObjects.
struct TGObjectUnref {
  void operator()(gpointer p) const {
    if (p) g_object_unref(p);
  }
};
template <class T>
using TGObject = std::unique_ptr<T, TGObjectUnref>;
struct TStreamListFree {
  void operator()(GList* l) const { gst_discoverer_stream_info_list_free(l); }
};

struct TStream {
  GUID type = MEDIATYPE_Stream;
  double length = 0;
  double frameRate = 0;
  AM_MEDIA_TYPE mediaType{MEDIATYPE_Stream, GUID(), FORMAT_None, {}};
};

// A stream the discoverer found, in the terms the pins of a graph use, with
// the facts the discoverer adds: frame rate, a byte rate the caps lack, and
// the MPEG format blocks that elementary MPEG video carries.
TStream FromDiscoverer(GstDiscovererStreamInfo* si, double length) {
  TStream st;
  st.length = length;
  TGstRef<GstCaps> caps = TGstRef<GstCaps>::Adopt(gst_discoverer_stream_info_get_caps(si));
  st.mediaType = MediaTypeFromCaps(caps.get());
  const GstStructure* s =
      caps && gst_caps_get_size(caps.get()) > 0 ? gst_caps_get_structure(caps.get(), 0) : nullptr;
  if (GST_IS_DISCOVERER_VIDEO_INFO(si)) {
    auto* v = GST_DISCOVERER_VIDEO_INFO(si);
    const guint num = gst_discoverer_video_info_get_framerate_num(v);
    const guint den = gst_discoverer_video_info_get_framerate_denom(v);
    if (num > 0 && den > 0) st.frameRate = double(num) / den;
    st.mediaType.majortype = MEDIATYPE_Video;
    int mpeg = 0;
    if (s && g_str_equal(gst_structure_get_name(s), "video/mpeg") &&
        gst_structure_get_int(s, "mpegversion", &mpeg) && (mpeg == 1 || mpeg == 2))
      st.mediaType.formattype = mpeg == 1 ? FORMAT_MPEGVideo : FORMAT_MPEG2Video;
  } else if (GST_IS_DISCOVERER_AUDIO_INFO(si)) {
    auto* a = GST_DISCOVERER_AUDIO_INFO(si);
    st.mediaType.majortype = MEDIATYPE_Audio;
    TWaveHeader w;
    if (ReadWaveHeader(st.mediaType.format, w) && w.nAvgBytesPerSec == 0) {
      guint bitrate = gst_discoverer_audio_info_get_bitrate(a);
      if (bitrate == 0) bitrate = gst_discoverer_audio_info_get_max_bitrate(a);
      w.nAvgBytesPerSec = bitrate / 8;
      if (w.nChannels == 0) w.nChannels = uint16_t(gst_discoverer_audio_info_get_channels(a));
      if (w.nSamplesPerSec == 0) w.nSamplesPerSec = gst_discoverer_audio_info_get_sample_rate(a);
      st.mediaType.format = WaveHeaderBytes(w);
    }
  } else if (GST_IS_DISCOVERER_SUBTITLE_INFO(si)) {
    st.mediaType.majortype = MEDIATYPE_Text;
  }
  st.type = st.mediaType.majortype;
  return st;
}

// An AVI stream as its header list declares it: the streams, formats and
// lengths are the file's own words, whatever survives of the data behind them.
TStream FromAviHeader(const TAviStreamHeader& h) {
  TStream st;
  if (h.dwRate > 0) st.length = double(h.dwLength) * h.dwScale / h.dwRate;
  AM_MEDIA_TYPE& mt = st.mediaType;
  TBitmapHeader bmp;
  TWaveHeader wave;
  if (h.fccType == FourCCFromText("vids")) {
    mt.majortype = MEDIATYPE_Video;
    if (h.dwScale > 0) st.frameRate = double(h.dwRate) / h.dwScale;
    const QByteArray info = VideoInfoAround(h.Format, st.frameRate);
    if (ReadBitmapHeader(info, bmp)) {
      mt.subtype = FourCCSubtype(bmp.biCompression);
      mt.formattype = FORMAT_VideoInfo;
      mt.format = info;
    }
  } else if (h.fccType == FourCCFromText("auds")) {
    mt.majortype = MEDIATYPE_Audio;
    if (ReadWaveHeader(h.Format, wave)) {
      mt.subtype = FourCCSubtype(wave.wFormatTag);
      mt.formattype = FORMAT_WaveFormatEx;
      mt.format = h.Format;
    }
  } else if (h.fccType == FourCCFromText("txts")) {
    mt.majortype = MEDIATYPE_Text;
  }
  st.type = mt.majortype;
  return st;
}

// Waits for the pipeline to finish a state change or a flushing seek.
bool WaitForPreroll(GstElement* pipeline) {
  TGstRef<GstBus> bus = TGstRef<GstBus>::Adopt(gst_element_get_bus(pipeline));
  TGstRef<GstMessage> m = TGstRef<GstMessage>::Adopt(gst_bus_timed_pop_filtered(
      bus.get(), kFrameTimeout,
      GstMessageType(GST_MESSAGE_ASYNC_DONE | GST_MESSAGE_ERROR | GST_MESSAGE_EOS)));
  return m && GST_MESSAGE_TYPE(m.get()) == GST_MESSAGE_ASYNC_DONE;
}

class TGstMediaDet : public IMediaDet {
 public:
  TGstMediaDet() { EnsureGStreamer(); }

  HRESULT put_Filename(const QString& name) override {
    streams_.clear();
    current_ = 0;
    file_.clear();
    const QFileInfo fi(name);
    if (!fi.isFile() || !fi.isReadable()) return HRESULT_FILE_NOT_FOUND;
    if (const std::vector<TAviStreamHeader> avi = ReadAviStreamHeaders(name); !avi.empty()) {
      for (const TAviStreamHeader& h : avi) streams_.push_back(FromAviHeader(h));
      file_ = fi.absoluteFilePath();
      return S_OK;
    }
    TGError err;
    TGObject<GstDiscoverer> discoverer(gst_discoverer_new(kDiscoverTimeout, err.out()));
    if (!discoverer) return err ? HresultFromGError(err.get()) : E_FAIL;
    const QByteArray uri = QUrl::fromLocalFile(fi.absoluteFilePath()).toEncoded();
    TGObject<GstDiscovererInfo> info(
        gst_discoverer_discover_uri(discoverer.get(), uri.constData(), err.out()));
    const GstDiscovererResult result =
        info ? gst_discoverer_info_get_result(info.get()) : GST_DISCOVERER_ERROR;
    if (result != GST_DISCOVERER_OK && result != GST_DISCOVERER_MISSING_PLUGINS) {
      // The platform's own words about the file become the error's text.
      if (err && result != GST_DISCOVERER_TIMEOUT) return HresultFromGError(err.get());
      return result == GST_DISCOVERER_TIMEOUT ? VFW_E_TIMEOUT : VFW_E_UNSUPPORTED_STREAM;
    }

    const GstClockTime duration = gst_discoverer_info_get_duration(info.get());
    const double length = GST_CLOCK_TIME_IS_VALID(duration) ? double(duration) / GST_SECOND : 0.0;
    std::unique_ptr<GList, TStreamListFree> list(gst_discoverer_info_get_stream_list(info.get()));
    for (GList* l = list.get(); l; l = l->next) {
      auto* si = static_cast<GstDiscovererStreamInfo*>(l->data);
      // A stream seen through a parser appears once per stage; its last
      // stage describes it.
      if (GST_IS_DISCOVERER_CONTAINER_INFO(si)) continue;
      if (TGObject<GstDiscovererStreamInfo> next(gst_discoverer_stream_info_get_next(si)); next) continue;
      TStream st = FromDiscoverer(si, length);
      streams_.push_back(st);
    }
    // A wave file's own format chunk says more than the parsed caps do.
    TWaveHeader wave;
    if (const QByteArray fmt = ReadWaveFormatChunk(name);
        streams_.size() == 1 && streams_[0].type == MEDIATYPE_Audio && ReadWaveHeader(fmt, wave)) {
      streams_[0].mediaType.format = fmt;
      streams_[0].mediaType.subtype = FourCCSubtype(wave.wFormatTag);
    }
    file_ = fi.absoluteFilePath();
    return S_OK;
  }

  HRESULT get_OutputStreams(long* count) override {
    if (!count) return E_POINTER;
    if (file_.isEmpty()) return E_UNEXPECTED;
    *count = long(streams_.size());
    return S_OK;
  }
  HRESULT put_CurrentStream(long index) override {
    if (file_.isEmpty()) return E_UNEXPECTED;
    if (index < 0 || size_t(index) >= streams_.size()) return E_INVALIDARG;
    current_ = index;
    return S_OK;
  }
  HRESULT get_StreamType(GUID* type) override {
    return Answer(type, [](const TStream& s) { return s.type; });
  }
  HRESULT get_StreamLength(double* seconds) override {
    return Answer(seconds, [](const TStream& s) { return s.length; });
  }
  HRESULT get_StreamMediaType(AM_MEDIA_TYPE* type) override {
    return Answer(type, [](const TStream& s) { return s.mediaType; });
  }
  HRESULT get_FrameRate(double* rate) override {
    if (const TStream* s = Current(); s && s->type != MEDIATYPE_Video) return E_FAIL;
    return Answer(rate, [](const TStream& s) { return s.frameRate; });
  }
  HRESULT WriteBitmapBits(double streamTime, long width, long height,
                          const QString& fileName) override;

 private:
  // One fact of the current stream into *out.
  template <class T, class Get>
  HRESULT Answer(T* out, Get get) const {
    const TStream* s = Current();
    if (!out) return E_POINTER;
    if (!s) return E_UNEXPECTED;
    *out = get(*s);
    return S_OK;
  }
  const TStream* Current() const {
    return size_t(current_) < streams_.size() ? &streams_[size_t(current_)] : nullptr;
  }

  QString file_;
  std::vector<TStream> streams_;
  long current_ = 0;
};

HRESULT TGstMediaDet::WriteBitmapBits(double streamTime, long width, long height,
                                      const QString& fileName) {
  const TStream* s = Current();
  if (!s) return E_UNEXPECTED;
  if (s->type != MEDIATYPE_Video) return E_FAIL;
  if (!std::isfinite(streamTime) || streamTime < 0) return E_INVALIDARG;
  const QByteArray uri = QUrl::fromLocalFile(file_).toEncoded();
  // Only the video pad links: decodebin leaves the others unlinked, which it
  // tolerates while one stream flows.
  const QByteArray launch = "uridecodebin name=d uri=\"" + uri +
                            "\" d. ! videoconvert ! video/x-raw,format=RGB,pixel-aspect-ratio=1/1"
                            " ! appsink name=sink sync=false max-buffers=1";
  GError* err = nullptr;
  GstElement* raw = gst_parse_launch(launch.constData(), &err);
  g_clear_error(&err);
  if (!raw) return E_FAIL;
  TGstRef<GstElement> pipeline = TGstRef<GstElement>::Adopt(GST_ELEMENT(gst_object_ref_sink(raw)));
  struct TStopOnExit {
    GstElement* p;
    ~TStopOnExit() { gst_element_set_state(p, GST_STATE_NULL); }
  } stop{pipeline.get()};

  gst_element_set_state(pipeline.get(), GST_STATE_PAUSED);
  if (!WaitForPreroll(pipeline.get())) return VFW_E_UNSUPPORTED_STREAM;
  if (streamTime > 0) {
    const gint64 at = gint64(streamTime * GST_SECOND);
    if (!gst_element_seek_simple(pipeline.get(), GST_FORMAT_TIME,
                                 GstSeekFlags(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE), at) ||
        !WaitForPreroll(pipeline.get()))
      return E_FAIL;
  }
  TGstRef<GstElement> sink =
      TGstRef<GstElement>::Adopt(gst_bin_get_by_name(GST_BIN(pipeline.get()), "sink"));
  TGstRef<GstSample> sample =
      TGstRef<GstSample>::Adopt(gst_app_sink_try_pull_preroll(GST_APP_SINK(sink.get()), kFrameTimeout));
  if (!sample) return E_FAIL;
  GstVideoInfo vi;
  GstVideoFrame frame;
  if (!gst_video_info_from_caps(&vi, gst_sample_get_caps(sample.get())) ||
      !gst_video_frame_map(&frame, &vi, gst_sample_get_buffer(sample.get()), GST_MAP_READ))
    return E_FAIL;
  QImage image(static_cast<const uchar*>(GST_VIDEO_FRAME_PLANE_DATA(&frame, 0)), vi.width,
               vi.height, GST_VIDEO_FRAME_PLANE_STRIDE(&frame, 0), QImage::Format_RGB888);
  QImage picture = image.copy();
  gst_video_frame_unmap(&frame);
  if (width > 0 && height > 0 && (width != picture.width() || height != picture.height()))
    picture = picture.scaled(int(width), int(height), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  return picture.save(fileName, "BMP") ? S_OK : E_FAIL;
}

TMediaDetFactory& Factory() {
  static TMediaDetFactory factory;
  return factory;
}

}  // namespace

HRESULT CreateMediaDet(std::unique_ptr<IMediaDet>& det) {
  det = Factory() ? Factory()() : std::make_unique<TGstMediaDet>();
  return det ? S_OK : E_NOINTERFACE;
}

void SetMediaDetFactory(TMediaDetFactory factory) { Factory() = std::move(factory); }
