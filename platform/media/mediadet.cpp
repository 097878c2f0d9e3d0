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

namespace {

using TMajorType = IMediaDet::TMajorType;
using TFormatType = IMediaDet::TFormatType;

constexpr HRESULT kFileNotFound = static_cast<HRESULT>(0x80070002u);
// How long a file may take to give up its stream facts or a frame.
constexpr GstClockTime kDiscoverTimeout = 15 * GST_SECOND;
constexpr GstClockTime kFrameTimeout = 15 * GST_SECOND;

struct TGObjectUnref {
  void operator()(gpointer p) const {
    if (p) g_object_unref(p);
  }
};
struct TCapsUnref {
  void operator()(GstCaps* c) const {
    if (c) gst_caps_unref(c);
  }
};
struct TMessageUnref {
  void operator()(GstMessage* m) const {
    if (m) gst_message_unref(m);
  }
};
struct TSampleUnref {
  void operator()(GstSample* s) const {
    if (s) gst_sample_unref(s);
  }
};
struct TStreamListFree {
  void operator()(GList* l) const { gst_discoverer_stream_info_list_free(l); }
};
template <class T>
using TGObject = std::unique_ptr<T, TGObjectUnref>;
using TCaps = std::unique_ptr<GstCaps, TCapsUnref>;
using TMessage = std::unique_ptr<GstMessage, TMessageUnref>;
using TSample = std::unique_ptr<GstSample, TSampleUnref>;

void EnsureGst() {
  if (!gst_is_initialized()) gst_init(nullptr, nullptr);
}

// Subtype codes of the uncompressed RGB subtypes: the first 32 bits of their
// GUIDs, which is what a reader of the subtype sees.
constexpr uint32_t kSubtypeRgb565 = 0xe436eb7bu;
constexpr uint32_t kSubtypeRgb555 = 0xe436eb7cu;
constexpr uint32_t kSubtypeRgb24 = 0xe436eb7du;
constexpr uint32_t kSubtypeRgb32 = 0xe436eb7eu;
constexpr uint32_t kSubtypeArgb32 = 0x773c9ac0u;

// Subtype and bit depth of decoded video in the terms of a bitmap header.
void DescribeRawVideo(const GstStructure* s, IMediaDet::TMediaType& mt) {
  const GstVideoFormat format = gst_video_format_from_string(gst_structure_get_string(s, "format"));
  const GstVideoFormatInfo* info = gst_video_format_get_info(format);
  switch (format) {
    case GST_VIDEO_FORMAT_BGR: mt.subtype = kSubtypeRgb24; break;
    case GST_VIDEO_FORMAT_BGRx: mt.subtype = kSubtypeRgb32; break;
    case GST_VIDEO_FORMAT_BGRA: mt.subtype = kSubtypeArgb32; break;
    case GST_VIDEO_FORMAT_RGB16: mt.subtype = kSubtypeRgb565; break;
    case GST_VIDEO_FORMAT_RGB15: mt.subtype = kSubtypeRgb555; break;
    default:
      mt.subtype = format == GST_VIDEO_FORMAT_UNKNOWN ? 0 : gst_video_format_to_fourcc(format);
  }
  if (!info || format == GST_VIDEO_FORMAT_UNKNOWN) return;
  if (GST_VIDEO_FORMAT_INFO_N_PLANES(info) == 1) {
    mt.bmiHeader.biBitCount = uint16_t(GST_VIDEO_FORMAT_INFO_PSTRIDE(info, 0) * 8);
    return;
  }
  // Planar: every component's depth shared out over its subsampled area.
  unsigned bits = 0;
  for (unsigned c = 0; c < GST_VIDEO_FORMAT_INFO_N_COMPONENTS(info); ++c)
    bits += GST_VIDEO_FORMAT_INFO_DEPTH(info, c) >> (info->w_sub[c] + info->h_sub[c]);
  mt.bmiHeader.biBitCount = uint16_t(bits);
}

// Four-character codes by which the common compressed video types are known.
uint32_t CompressedVideoCode(const GstStructure* s) {
  const char* name = gst_structure_get_name(s);
  int version = 0;
  if (g_str_equal(name, "video/x-divx")) return FourCCFromText("DIVX");
  if (g_str_equal(name, "video/x-xvid")) return FourCCFromText("XVID");
  if (g_str_equal(name, "video/mpeg") && gst_structure_get_int(s, "mpegversion", &version)) {
    if (version == 4) return FourCCFromText("MP4V");
    return version == 1 ? FourCCFromText("MPG1") : FourCCFromText("MPG2");
  }
  if (g_str_equal(name, "video/x-msmpeg") && gst_structure_get_int(s, "msmpegversion", &version))
    return version == 41 ? FourCCFromText("MPG4") : version == 42 ? FourCCFromText("MP42") : FourCCFromText("MP43");
  if (g_str_equal(name, "video/x-wmv")) {
    if (const char* f = gst_structure_get_string(s, "format"); f && strlen(f) == 4)
      return uint32_t(uint8_t(f[0])) | uint32_t(uint8_t(f[1])) << 8 | uint32_t(uint8_t(f[2])) << 16 |
             uint32_t(uint8_t(f[3])) << 24;
    gst_structure_get_int(s, "wmvversion", &version);
    return version == 1 ? FourCCFromText("WMV1") : version == 2 ? FourCCFromText("WMV2") : FourCCFromText("WMV3");
  }
  static const struct {
    const char* caps;
    uint32_t code;
  } table[] = {
      {"video/x-h264", FourCCFromText("H264")}, {"video/x-h265", FourCCFromText("HEVC")},
      {"image/jpeg", FourCCFromText("MJPG")},   {"video/x-h263", FourCCFromText("H263")},
      {"video/x-vp8", FourCCFromText("VP80")},  {"video/x-vp9", FourCCFromText("VP90")},
      {"video/x-av1", FourCCFromText("AV01")},  {"video/x-theora", FourCCFromText("THEO")},
      {"video/x-flash-video", FourCCFromText("FLV1")}, {"video/x-dv", FourCCFromText("dvsd")},
      {"video/x-huffyuv", FourCCFromText("HFYU")}, {"video/x-indeo", FourCCFromText("IV50")},
      {"video/x-cinepak", FourCCFromText("cvid")}, {"video/x-svq", FourCCFromText("SVQ3")},
  };
  for (const auto& row : table)
    if (g_str_equal(name, row.caps)) return row.code;
  return 0;
}

// Wave format tags of the common audio types; 0 when there is none.
uint16_t WaveFormatTag(const GstStructure* s) {
  const char* name = gst_structure_get_name(s);
  int version = 0, layer = 0;
  if (g_str_equal(name, "audio/x-raw")) {
    const char* f = gst_structure_get_string(s, "format");
    return f && f[0] == 'F' ? 3 : 1;
  }
  if (g_str_equal(name, "audio/mpeg") && gst_structure_get_int(s, "mpegversion", &version)) {
    if (version != 1) return 0xFF;
    gst_structure_get_int(s, "layer", &layer);
    return layer == 3 ? 0x55 : 0x50;
  }
  if (g_str_equal(name, "audio/x-wma") && gst_structure_get_int(s, "wmaversion", &version))
    return uint16_t(0x15F + version);
  static const struct {
    const char* caps;
    uint16_t tag;
  } table[] = {{"audio/x-ac3", 0x2000}, {"audio/x-dts", 0x2001}, {"audio/x-alaw", 6},
               {"audio/x-mulaw", 7},    {"audio/x-gsm", 0x31},    {"audio/x-adpcm", 2}};
  for (const auto& row : table)
    if (g_str_equal(name, row.caps)) return row.tag;
  return 0;
}

struct TStream {
  TMajorType type = TMajorType::Other;
  double length = 0;
  double frameRate = 0;
  IMediaDet::TMediaType mediaType;
};

void DescribeVideo(GstDiscovererStreamInfo* info, const GstStructure* s, TStream& st) {
  auto* v = GST_DISCOVERER_VIDEO_INFO(info);
  IMediaDet::TMediaType& mt = st.mediaType;
  const guint num = gst_discoverer_video_info_get_framerate_num(v);
  const guint den = gst_discoverer_video_info_get_framerate_denom(v);
  if (num > 0 && den > 0) st.frameRate = double(num) / den;
  int mpegVersion = 0;
  const bool mpegStream = g_str_equal(gst_structure_get_name(s), "video/mpeg") &&
                          gst_structure_get_int(s, "mpegversion", &mpegVersion) && mpegVersion < 4;
  if (mpegStream) {
    mt.formattype = mpegVersion == 1 ? TFormatType::MpegVideo : TFormatType::Mpeg2Video;
    mt.subtype = CompressedVideoCode(s);
    return;
  }
  mt.formattype = TFormatType::VideoInfo;
  mt.bmiHeader.biWidth = int32_t(gst_discoverer_video_info_get_width(v));
  mt.bmiHeader.biHeight = int32_t(gst_discoverer_video_info_get_height(v));
  if (g_str_equal(gst_structure_get_name(s), "video/x-raw")) {
    DescribeRawVideo(s, mt);
  } else {
    mt.subtype = CompressedVideoCode(s);
    mt.bmiHeader.biBitCount = 24;
  }
  mt.bmiHeader.biCompression = mt.subtype;
}

void DescribeAudio(GstDiscovererStreamInfo* info, const GstStructure* s, TStream& st) {
  auto* a = GST_DISCOVERER_AUDIO_INFO(info);
  IMediaDet::TMediaType& mt = st.mediaType;
  mt.formattype = TFormatType::WaveFormatEx;
  IMediaDet::TWaveFormatEx& w = mt.wfx;
  w.wFormatTag = WaveFormatTag(s);
  w.nChannels = uint16_t(gst_discoverer_audio_info_get_channels(a));
  w.nSamplesPerSec = gst_discoverer_audio_info_get_sample_rate(a);
  if (g_str_equal(gst_structure_get_name(s), "audio/x-raw")) {
    const GstAudioFormatInfo* f =
        gst_audio_format_get_info(gst_audio_format_from_string(gst_structure_get_string(s, "format")));
    w.wBitsPerSample = f ? uint16_t(GST_AUDIO_FORMAT_INFO_WIDTH(f)) : 0;
    w.nBlockAlign = uint16_t(w.nChannels * w.wBitsPerSample / 8);
    w.nAvgBytesPerSec = w.nSamplesPerSec * w.nBlockAlign;
  } else {
    guint bitrate = gst_discoverer_audio_info_get_bitrate(a);
    if (bitrate == 0) bitrate = gst_discoverer_audio_info_get_max_bitrate(a);
    if (bitrate == 0) {
      int fromCaps = 0;
      if (gst_structure_get_int(s, "bitrate", &fromCaps) && fromCaps > 0) bitrate = guint(fromCaps);
    }
    w.nAvgBytesPerSec = bitrate / 8;
    w.nBlockAlign = 1;
  }
  mt.subtype = w.wFormatTag;
}

// An AVI stream as its header list declares it: the streams, formats and
// lengths are the file's own words, whatever survives of the data behind them.
TStream FromAviHeader(const TAviStreamHeader& h) {
  TStream st;
  if (h.dwRate > 0) st.length = double(h.dwLength) * h.dwScale / h.dwRate;
  IMediaDet::TMediaType& mt = st.mediaType;
  if (h.fccType == FourCCFromText("vids")) {
    st.type = TMajorType::Video;
    if (h.dwScale > 0) st.frameRate = double(h.dwRate) / h.dwScale;
    if (h.HasBitmapHeader) {
      mt.formattype = TFormatType::VideoInfo;
      mt.bmiHeader = h.Bitmap;
      mt.subtype = h.Bitmap.biCompression;
    }
  } else if (h.fccType == FourCCFromText("auds")) {
    st.type = TMajorType::Audio;
    if (h.HasWaveFormat) {
      mt.formattype = TFormatType::WaveFormatEx;
      mt.wfx = h.Wave;
      mt.subtype = h.Wave.wFormatTag;
    }
  } else if (h.fccType == FourCCFromText("txts")) {
    st.type = TMajorType::Text;
  }
  mt.majortype = st.type;
  return st;
}

// Waits for the pipeline to finish a state change or a flushing seek.
bool WaitForPreroll(GstElement* pipeline) {
  TGObject<GstBus> bus(gst_element_get_bus(pipeline));
  TMessage m(gst_bus_timed_pop_filtered(
      bus.get(), kFrameTimeout,
      GstMessageType(GST_MESSAGE_ASYNC_DONE | GST_MESSAGE_ERROR | GST_MESSAGE_EOS)));
  return m && GST_MESSAGE_TYPE(m.get()) == GST_MESSAGE_ASYNC_DONE;
}

class TGstMediaDet : public IMediaDet {
 public:
  TGstMediaDet() { EnsureGst(); }

  HRESULT put_Filename(const QString& name) override {
    streams_.clear();
    current_ = 0;
    file_.clear();
    const QFileInfo fi(name);
    if (!fi.isFile() || !fi.isReadable()) return kFileNotFound;
    if (const std::vector<TAviStreamHeader> avi = ReadAviStreamHeaders(name); !avi.empty()) {
      for (const TAviStreamHeader& h : avi) streams_.push_back(FromAviHeader(h));
      file_ = fi.absoluteFilePath();
      return S_OK;
    }
    GError* err = nullptr;
    TGObject<GstDiscoverer> discoverer(gst_discoverer_new(kDiscoverTimeout, &err));
    if (!discoverer) {
      g_clear_error(&err);
      return E_FAIL;
    }
    const QByteArray uri = QUrl::fromLocalFile(fi.absoluteFilePath()).toEncoded();
    TGObject<GstDiscovererInfo> info(
        gst_discoverer_discover_uri(discoverer.get(), uri.constData(), &err));
    g_clear_error(&err);
    if (!info) return VFW_E_UNSUPPORTED_STREAM;
    const GstDiscovererResult result = gst_discoverer_info_get_result(info.get());
    if (result != GST_DISCOVERER_OK && result != GST_DISCOVERER_MISSING_PLUGINS)
      return VFW_E_UNSUPPORTED_STREAM;

    const GstClockTime duration = gst_discoverer_info_get_duration(info.get());
    const double length = GST_CLOCK_TIME_IS_VALID(duration) ? double(duration) / GST_SECOND : 0.0;
    std::unique_ptr<GList, TStreamListFree> list(gst_discoverer_info_get_stream_list(info.get()));
    for (GList* l = list.get(); l; l = l->next) {
      auto* si = static_cast<GstDiscovererStreamInfo*>(l->data);
      // A stream seen through a parser appears once per stage; its last
      // stage describes it.
      if (GST_IS_DISCOVERER_CONTAINER_INFO(si)) continue;
      if (TGObject<GstDiscovererStreamInfo> next(gst_discoverer_stream_info_get_next(si)); next) continue;
      TStream st;
      st.length = length;
      TCaps caps(gst_discoverer_stream_info_get_caps(si));
      const GstStructure* s = caps && gst_caps_get_size(caps.get()) > 0
                                  ? gst_caps_get_structure(caps.get(), 0)
                                  : nullptr;
      if (GST_IS_DISCOVERER_VIDEO_INFO(si)) {
        st.type = st.mediaType.majortype = TMajorType::Video;
        if (s) DescribeVideo(si, s, st);
      } else if (GST_IS_DISCOVERER_AUDIO_INFO(si)) {
        st.type = st.mediaType.majortype = TMajorType::Audio;
        if (s) DescribeAudio(si, s, st);
      } else if (GST_IS_DISCOVERER_SUBTITLE_INFO(si)) {
        st.type = st.mediaType.majortype = TMajorType::Text;
      }
      streams_.push_back(st);
    }
    // A wave file's own format chunk says more than the parsed caps do.
    IMediaDet::TWaveFormatEx wave;
    if (streams_.size() == 1 && streams_[0].type == TMajorType::Audio && ReadWaveFormat(name, wave)) {
      streams_[0].mediaType.wfx = wave;
      streams_[0].mediaType.subtype = wave.wFormatTag;
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
  HRESULT get_StreamType(TMajorType* type) override {
    return Answer(type, [](const TStream& s) { return s.type; });
  }
  HRESULT get_StreamLength(double* seconds) override {
    return Answer(seconds, [](const TStream& s) { return s.length; });
  }
  HRESULT get_StreamMediaType(TMediaType* type) override {
    return Answer(type, [](const TStream& s) { return s.mediaType; });
  }
  HRESULT get_FrameRate(double* rate) override {
    if (const TStream* s = Current(); s && s->type != TMajorType::Video) return E_FAIL;
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
  if (s->type != TMajorType::Video) return E_FAIL;
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
  TGObject<GstElement> pipeline(GST_ELEMENT(gst_object_ref_sink(raw)));
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
  TGObject<GstElement> sink(gst_bin_get_by_name(GST_BIN(pipeline.get()), "sink"));
  TSample sample(gst_app_sink_try_pull_preroll(GST_APP_SINK(sink.get()), kFrameTimeout));
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
