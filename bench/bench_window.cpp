// The player in its real window against a bare playbin with the same video
// sink, on one clip: frames the video sink dropped while the whole clip
// played, and the time from a forward jump to the picture at the new place,
// paused and playing. One side per process, driven by window_vs_gst.sh:
//   bench_window player CLIP STEP_SECONDS JUMPS
//   bench_window bare   CLIP STEP_SECONDS JUMPS
//   bench_window view   CLIP WIDTHxHEIGHT|full
// The view side opens the clip, pauses it at the start, gives the movie panel that size (or
// goes full screen), then plays the clip once and reports
// only the play line. The bare side takes BENCH_BARE_SINK (glimagesink when unset).
// The player side expects its settings file to say KeySeek=STEP_SECONDS.
// Output lines are "name key=value ...", numbers in the C locale.
#include <gst/gst.h>
#include <gst/video/gstvideodecoder.h>
#include <gst/video/gstvideosink.h>

#include <QApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "core/MainUnit.h"
#include "core/playback.h"
#include "core/application.h"
#include "core/windowgeom.h"
#include "media/DShowHlp.h"
#include "platform/media/gstgraph.h"
#include "platform/media/videowidget.h"
#include "playlist/error.h"
#include "playlist/subtitles.h"

namespace {

using Clock = std::chrono::steady_clock;

// Jumps start here, far enough from both ends for a jump to land inside the
// clip.
constexpr gint64 kStartNs = 2 * GST_SECOND;
constexpr auto kFrameTimeout = std::chrono::seconds(5);
constexpr int kPlayTimeoutMs = 60000;

double MsBetween(Clock::time_point a, Clock::time_point b) {
  return std::chrono::duration<double, std::milli>(b - a).count();
}

QByteArray OneDecimal(double v) { return QByteArray::number(v, 'f', 1); }

// ---- the video sink

bool CarriesVideo(GstElement* e) {
  GstPad* pad = gst_element_get_static_pad(e, "sink");
  if (!pad) return false;
  GstCaps* caps = gst_pad_get_current_caps(pad);
  gst_object_unref(pad);
  if (!caps) return false;
  const bool video = gst_caps_get_size(caps) > 0 &&
                     g_str_has_prefix(gst_structure_get_name(gst_caps_get_structure(caps, 0)), "video/");
  gst_caps_unref(caps);
  return video;
}

// The first element inside `bin`, at any depth, that `wanted` accepts; a
// reference, or nullptr.
GstElement* FindElement(GstElement* bin, const std::function<bool(GstElement*)>& wanted) {
  GstIterator* it = gst_bin_iterate_recurse(GST_BIN(bin));
  GValue item = G_VALUE_INIT;
  GstElement* found = nullptr;
  while (!found && gst_iterator_next(it, &item) == GST_ITERATOR_OK) {
    auto* e = GST_ELEMENT(g_value_get_object(&item));
    if (wanted(e)) found = GST_ELEMENT(gst_object_ref(e));
    g_value_reset(&item);
  }
  g_value_unset(&item);
  gst_iterator_free(it);
  return found;
}

// The element that renders the pictures (the overlay sinks may be bins
// round the real sink).
GstElement* FindVideoSink(GstElement* bin) {
  if (GstElement* e = FindElement(bin, [](GstElement* e) { return GST_IS_VIDEO_SINK(e); })) return e;
  return FindElement(bin, [](GstElement* e) { return GST_IS_BASE_SINK(e) && CarriesVideo(e); });
}

// The output of the video decoder, or nullptr.
GstPad* VideoDecoderOutput(GstElement* pipeline) {
  if (!pipeline) return nullptr;
  GstElement* decoder = FindElement(pipeline, [](GstElement* e) { return GST_IS_VIDEO_DECODER(e); });
  if (!decoder) return nullptr;
  GstPad* pad = gst_element_get_static_pad(decoder, "src");
  gst_object_unref(decoder);
  return pad;
}

// The picture format and memory the sink was given, "video/x-raw(memory:GLMemory),RGBA".
QByteArray SinkFormat(GstElement* sink) {
  GstPad* pad = gst_element_get_static_pad(sink, "sink");
  GstCaps* caps = pad ? gst_pad_get_current_caps(pad) : nullptr;
  if (pad) gst_object_unref(pad);
  if (!caps || gst_caps_get_size(caps) == 0) {
    if (caps) gst_caps_unref(caps);
    return "?";
  }
  QByteArray text = gst_structure_get_name(gst_caps_get_structure(caps, 0));
  if (GstCapsFeatures* f = gst_caps_get_features(caps, 0); f && !gst_caps_features_is_any(f)) {
    gchar* features = gst_caps_features_to_string(f);
    text += QByteArray("(") + features + ")";
    g_free(features);
  }
  if (const char* format = gst_structure_get_string(gst_caps_get_structure(caps, 0), "format"))
    text += QByteArray(",") + format;
  gst_caps_unref(caps);
  return text;
}

QByteArray FactoryName(GstElement* e) {
  GstElementFactory* f = gst_element_get_factory(e);
  return f ? QByteArray(gst_plugin_feature_get_name(GST_PLUGIN_FEATURE(f))) : QByteArray("?");
}

struct TSinkCounts {
  guint64 rendered = 0, dropped = 0;
  // Pictures that reached the sink after it was found; fewer than the clip
  // holds means the decoder skipped them for being late.
  guint64 arrived = 0;
  // Where in the clip pictures were lost: dropped by the sink for being
  // late, and missing from the stream that reached it.
  std::vector<GstClockTime> lateAt, skippedAt;
};

TSinkCounts ReadCounts(GstElement* sink) {
  TSinkCounts c;
  GstStructure* s = nullptr;
  g_object_get(sink, "stats", &s, nullptr);
  if (!s) return c;
  gst_structure_get_uint64(s, "rendered", &c.rendered);
  gst_structure_get_uint64(s, "dropped", &c.dropped);
  gst_structure_free(s);
  return c;
}

// Time stamp of the picture the sink last took for showing; the sink keeps
// it just before it draws. GST_CLOCK_TIME_NONE when there is none.
GstClockTime ShownPts(GstElement* sink) {
  GstSample* sample = nullptr;
  g_object_get(sink, "last-sample", &sample, nullptr);
  if (!sample) return GST_CLOCK_TIME_NONE;
  GstBuffer* b = gst_sample_get_buffer(sample);
  const GstClockTime pts = b ? GST_BUFFER_PTS(b) : GST_CLOCK_TIME_NONE;
  gst_sample_unref(sample);
  return pts;
}

// The sink's counts at the moment the end of the stream reached it, when
// every picture before it has been dealt with, and how many pictures came.
class TEndWatch {
 public:
  explicit TEndWatch(GstElement* sink) : sink_(GST_ELEMENT(gst_object_ref(sink))) {
    pad_ = gst_element_get_static_pad(sink_, "sink");
    probe_ = gst_pad_add_probe(pad_, GstPadProbeType(GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM | GST_PAD_PROBE_TYPE_BUFFER),
                               &TEndWatch::OnData, this, nullptr);
  }
  ~TEndWatch() {
    gst_pad_remove_probe(pad_, probe_);
    gst_object_unref(pad_);
    gst_object_unref(sink_);
  }
  bool Ended() const { return ended_; }
  TSinkCounts Counts() {
    std::lock_guard<std::mutex> l(lock_);
    return counts_;
  }

 private:
  static GstPadProbeReturn OnData(GstPad*, GstPadProbeInfo* info, gpointer data) {
    auto* self = static_cast<TEndWatch*>(data);
    if (self->ended_) return GST_PAD_PROBE_OK;
    if (info->type & GST_PAD_PROBE_TYPE_BUFFER) {
      self->Arrived(GST_PAD_PROBE_INFO_BUFFER(info));
    } else if (GST_EVENT_TYPE(GST_PAD_PROBE_INFO_EVENT(info)) == GST_EVENT_EOS) {
      {
        std::lock_guard<std::mutex> l(self->lock_);
        const TSinkCounts now = ReadCounts(self->sink_);
        self->counts_.rendered = now.rendered;
        self->counts_.dropped = now.dropped;
      }
      self->ended_ = true;
    }
    return GST_PAD_PROBE_OK;
  }
  // A picture is on its way in: the one before it has been rendered or
  // dropped by now, and a gap in the time stamps is pictures never sent.
  void Arrived(GstBuffer* b) {
    const GstClockTime pts = GST_BUFFER_PTS(b);
    const GstClockTime duration = GST_BUFFER_DURATION_IS_VALID(b) ? GST_BUFFER_DURATION(b) : 40 * GST_MSECOND;
    const guint64 dropped = ReadCounts(sink_).dropped;
    std::lock_guard<std::mutex> l(lock_);
    ++counts_.arrived;
    if (dropped > lastDropped_ && GST_CLOCK_TIME_IS_VALID(lastPts_)) counts_.lateAt.push_back(lastPts_);
    if (GST_CLOCK_TIME_IS_VALID(lastPts_) && GST_CLOCK_TIME_IS_VALID(pts))
      for (GstClockTime t = lastPts_ + duration; t + duration / 2 < pts; t += duration) counts_.skippedAt.push_back(t);
    lastDropped_ = dropped;
    lastPts_ = pts;
  }
  GstElement* sink_;
  GstPad* pad_;
  gulong probe_;
  std::mutex lock_;
  TSinkCounts counts_;
  std::atomic<bool> ended_{false};
  // Streaming thread only.
  guint64 lastDropped_ = 0;
  GstClockTime lastPts_ = GST_CLOCK_TIME_NONE;
};

// When a pad first saw a flush, and a picture stamped `minPts` or later.
class TPadStamps {
 public:
  TPadStamps(GstPad* pad, GstClockTime minPts)
      : pad_(GST_PAD(gst_object_ref(pad))),
        minPts_(minPts),
        probe_(gst_pad_add_probe(pad_, GstPadProbeType(GST_PAD_PROBE_TYPE_EVENT_FLUSH | GST_PAD_PROBE_TYPE_BUFFER),
                                 &TPadStamps::OnData, this, nullptr)) {}
  ~TPadStamps() {
    gst_pad_remove_probe(pad_, probe_);
    gst_object_unref(pad_);
  }
  TPadStamps(const TPadStamps&) = delete;
  TPadStamps& operator=(const TPadStamps&) = delete;
  std::optional<double> FlushMsSince(Clock::time_point start) const {
    return flushed_ ? std::optional(MsBetween(start, flushAt_)) : std::nullopt;
  }
  std::optional<double> PictureMsSince(Clock::time_point start) const {
    return pictured_ ? std::optional(MsBetween(start, pictureAt_)) : std::nullopt;
  }

 private:
  static GstPadProbeReturn OnData(GstPad*, GstPadProbeInfo* info, gpointer data) {
    auto* self = static_cast<TPadStamps*>(data);
    if (info->type & GST_PAD_PROBE_TYPE_BUFFER) {
      const GstClockTime pts = GST_BUFFER_PTS(GST_PAD_PROBE_INFO_BUFFER(info));
      if (!self->pictured_ && GST_CLOCK_TIME_IS_VALID(pts) && pts >= self->minPts_) {
        self->pictureAt_ = Clock::now();
        self->pictured_ = true;
      }
    } else if (GST_EVENT_TYPE(GST_PAD_PROBE_INFO_EVENT(info)) == GST_EVENT_FLUSH_START && !self->flushed_) {
      self->flushAt_ = Clock::now();
      self->flushed_ = true;
    }
    return GST_PAD_PROBE_OK;
  }
  GstPad* pad_;
  const GstClockTime minPts_;
  gulong probe_;
  std::atomic<bool> flushed_{false}, pictured_{false};
  Clock::time_point flushAt_, pictureAt_;
};

// Waits on a thread of its own for the sink to take a picture stamped
// `minPts` or later, and notes when. Started before the jump is asked for,
// so that the moment is not late by the asking side's own work. Stamps on
// the way tell where the time went: up to the flush reaching the sink, on
// asking for the seek; up to the picture leaving the decoder, on reading and
// decoding; up to its arrival at the sink, on the elements between.
class TFrameWait {
 public:
  TFrameWait(GstElement* sink, GstPad* decoderOut, GstClockTime minPts)
      : sinkPad_(gst_element_get_static_pad(sink, "sink")),
        atSink_(sinkPad_, minPts),
        thread_([this, sink, minPts] { Watch(sink, minPts); }) {
    if (decoderOut) decoded_.emplace(decoderOut, minPts);
  }
  ~TFrameWait() {
    stop_ = true;
    thread_.join();
    gst_object_unref(sinkPad_);
  }
  bool Done() const { return done_; }
  // Milliseconds from `start` to the picture shown; empty when none came in time.
  std::optional<double> MsSince(Clock::time_point start) const {
    return seen_ ? std::optional(MsBetween(start, seenAt_)) : std::nullopt;
  }
  std::optional<double> FlushMsSince(Clock::time_point start) const { return atSink_.FlushMsSince(start); }
  std::optional<double> DecodedMsSince(Clock::time_point start) const {
    return decoded_ ? decoded_->PictureMsSince(start) : std::nullopt;
  }
  std::optional<double> ArrivalMsSince(Clock::time_point start) const { return atSink_.PictureMsSince(start); }

 private:
  void Watch(GstElement* sink, GstClockTime minPts) {
    const auto deadline = Clock::now() + kFrameTimeout;
    while (!stop_ && Clock::now() < deadline) {
      const GstClockTime pts = ShownPts(sink);
      if (GST_CLOCK_TIME_IS_VALID(pts) && pts >= minPts) {
        seenAt_ = Clock::now();
        seen_ = true;
        break;
      }
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    done_ = true;
  }
  GstPad* sinkPad_;
  TPadStamps atSink_;
  std::optional<TPadStamps> decoded_;
  std::atomic<bool> stop_{false}, done_{false}, seen_{false};
  Clock::time_point seenAt_;
  std::thread thread_;
};

// ---- the two sides, as the measurements see them

class TSide {
 public:
  virtual ~TSide() = default;
  virtual GstElement* Sink() const = 0;
  virtual GstElement* Pipeline() const = 0;
  // Lets the side's own loop run for about `ms`.
  virtual void Pump(int ms) = 0;
  virtual void Play() = 0;
  virtual void Pause() = 0;
  // Puts the clip back at the start of a jump; not measured.
  virtual void Rewind(gint64 ns) = 0;
  // Asks for one forward jump, the way this side's user would.
  virtual void Jump() = 0;
};

// Pumps until the sink shows a picture in [from, to) or the time is up.
bool PumpUntilShown(TSide& side, GstClockTime from, GstClockTime to, int timeoutMs) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  while (Clock::now() < deadline) {
    const GstClockTime pts = ShownPts(side.Sink());
    if (GST_CLOCK_TIME_IS_VALID(pts) && pts >= from && pts < to) return true;
    side.Pump(2);
  }
  return false;
}

struct TJumpTimes {
  std::vector<double> ms, flushMs, decodedMs, arrivalMs;
  int failed = 0;
};

// How far short of a full step a jump may land: the key frame before the
// target (half a second apart in the clip) and the player's seek bar, which
// gives the jump's origin and follows the clip on a 300 ms timer.
constexpr gint64 kJumpSlackNs = 1200 * GST_MSECOND;

// Each jump starts from the same place with the picture settled; it counts
// from the request to the first picture nearly a step further on. Playing on
// at normal speed would get there too, but only after as long as that
// distance takes to play, so a time near that is no jump.
TJumpTimes MeasureJumps(TSide& side, bool playing, gint64 stepNs, int jumps) {
  const gint64 distanceNs = stepNs - kJumpSlackNs;
  const double playOnMs = 0.9 * double(distanceNs) / 1e6;
  TJumpTimes r;
  GstPad* decoderOut = VideoDecoderOutput(side.Pipeline());
  if (playing) side.Play();
  else side.Pause();
  for (int i = 0; i < jumps; ++i) {
    side.Rewind(kStartNs);
    if (!PumpUntilShown(side, kStartNs - GST_SECOND, kStartNs + GST_SECOND, 5000)) {
      ++r.failed;
      continue;
    }
    // The player reads the jump's origin from its seek bar, which follows
    // the clip on a 300 ms timer.
    side.Pump(400);
    const GstClockTime before = ShownPts(side.Sink());
    if (!GST_CLOCK_TIME_IS_VALID(before)) {
      ++r.failed;
      continue;
    }
    TFrameWait wait(side.Sink(), decoderOut, before + distanceNs);
    const Clock::time_point start = Clock::now();
    side.Jump();
    while (!wait.Done()) side.Pump(1);
    const std::optional<double> ms = wait.MsSince(start);
    if (ms && !(playing && *ms >= playOnMs)) {
      r.ms.push_back(*ms);
      if (auto flush = wait.FlushMsSince(start)) r.flushMs.push_back(*flush);
      if (auto decoded = wait.DecodedMsSince(start)) r.decodedMs.push_back(*decoded);
      if (auto arrival = wait.ArrivalMsSince(start)) r.arrivalMs.push_back(*arrival);
    } else {
      ++r.failed;
    }
  }
  if (decoderOut) gst_object_unref(decoderOut);
  return r;
}

double Quantile(std::vector<double> v, double q) {
  std::sort(v.begin(), v.end());
  const double at = q * double(v.size() - 1);
  const size_t lo = size_t(at);
  const size_t hi = std::min(lo + 1, v.size() - 1);
  return v[lo] + (v[hi] - v[lo]) * (at - double(lo));
}

void PrintJumps(const char* name, const TJumpTimes& t) {
  QByteArray line = QByteArray(name) + " n=" + QByteArray::number(qsizetype(t.ms.size())) +
                    " failed=" + QByteArray::number(t.failed);
  if (!t.ms.empty()) {
    line += " median=" + OneDecimal(Quantile(t.ms, 0.5)) + " p10=" + OneDecimal(Quantile(t.ms, 0.1)) +
            " p90=" + OneDecimal(Quantile(t.ms, 0.9)) + " min=" + OneDecimal(Quantile(t.ms, 0)) +
            " max=" + OneDecimal(Quantile(t.ms, 1));
  }
  if (!t.flushMs.empty()) line += " flush_median=" + OneDecimal(Quantile(t.flushMs, 0.5));
  if (!t.decodedMs.empty()) line += " decoded_median=" + OneDecimal(Quantile(t.decodedMs, 0.5));
  if (!t.arrivalMs.empty()) line += " arrival_median=" + OneDecimal(Quantile(t.arrivalMs, 0.5));
  std::printf("%s\n", line.constData());
}

// Clip times in seconds, "-" for none; a long list is cut short.
QByteArray Times(const std::vector<GstClockTime>& at) {
  QByteArray text;
  for (size_t i = 0; i < at.size() && i < 12; ++i)
    text += (i ? "," : "") + QByteArray::number(double(at[i]) / GST_SECOND, 'f', 2);
  if (at.size() > 12) text += ",...";
  return text.isEmpty() ? QByteArray("-") : text;
}

void PrintPlay(bool ended, const TSinkCounts& c, GstElement* sink, GstElement* pipeline) {
  GstPad* decoderOut = VideoDecoderOutput(pipeline);
  GstElement* decoder = decoderOut ? gst_pad_get_parent_element(decoderOut) : nullptr;
  std::printf(
      "play ended=%d rendered=%llu dropped=%llu arrived=%llu sink=%s format=%s decoder=%s late_at=%s "
      "skipped_at=%s\n",
      ended ? 1 : 0, static_cast<unsigned long long>(c.rendered), static_cast<unsigned long long>(c.dropped),
      static_cast<unsigned long long>(c.arrived), FactoryName(sink).constData(), SinkFormat(sink).constData(),
      decoder ? FactoryName(decoder).constData() : "?", Times(c.lateAt).constData(), Times(c.skippedAt).constData());
  if (decoder) gst_object_unref(decoder);
  if (decoderOut) gst_object_unref(decoderOut);
}

// Plays the clip to its end and reports the sink's counts, then both jump runs.
int RunSide(TSide& side, gint64 stepNs, int jumps, const std::function<bool()>& playToEnd, TEndWatch& end) {
  const bool ended = playToEnd();
  PrintPlay(ended, ended ? end.Counts() : ReadCounts(side.Sink()), side.Sink(), side.Pipeline());
  std::fflush(stdout);
  PrintJumps("seek-paused", MeasureJumps(side, false, stepNs, jumps));
  std::fflush(stdout);
  PrintJumps("seek-playing", MeasureJumps(side, true, stepNs, jumps));
  std::fflush(stdout);
  return ended ? 0 : 1;
}

// ---- the player, in its own main window

class TPlayerSide : public TSide {
 public:
  TPlayerSide(TfrMain& window, GstElement* sink) : window_(window), sink_(sink) {}
  GstElement* Sink() const override { return sink_; }
  GstElement* Pipeline() const override {
    auto graph = std::dynamic_pointer_cast<TGstGraph>(DirectShowHelper->Graph);
    return graph ? graph->Pipeline() : nullptr;
  }
  // A real event loop, as the program's own: a posted key or command is
  // handled the moment it is queued.
  void Pump(int ms) override {
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
  }
  void Play() override { window_.Playback().Play(); }
  void Pause() override { window_.Playback().PauseMovie(); }
  void Rewind(gint64 ns) override { DirectShowHelper->SetPosition(ns / 100); }
  void Jump() override {
    // The right-arrow key as the X server reports it: its XKB key code and keysym.
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : &window_;
    QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier, 114,
                                                      0xff53, 0));
    QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyRelease, Qt::Key_Right, Qt::NoModifier,
                                                      114, 0xff53, 0));
  }

 private:
  TfrMain& window_;
  GstElement* sink_;
};

GstElement* PlayerVideoSink() {
  if (!DirectShowHelper || !DirectShowHelper->Graph) return nullptr;
  auto graph = std::dynamic_pointer_cast<TGstGraph>(DirectShowHelper->Graph);
  return graph ? FindVideoSink(graph->Pipeline()) : nullptr;
}

// Gives the movie panel `view` ("640x360") by sizing the window round it, or
// goes full screen for "full".
void SetView(TfrMain& window, const QByteArray& view) {
  if (view == "full") {
    window.Geometry().EnterFullScreen();
    return;
  }
  const QList<QByteArray> wh = view.split('x');
  TVideoWidget* picture = VideoWidgetOf(DirectShowHelper->Graph);
  QWidget* panel = picture ? picture->parentWidget() : nullptr;
  if (wh.size() != 2 || !panel) return;
  window.resize(wh[0].toInt() + window.width() - panel->width(), wh[1].toInt() + window.height() - panel->height());
}

int RunPlayer(int argc, char** argv, const QString& clip, gint64 stepNs, int jumps,
              const QByteArray& view = {}) {
  TKelvaraApplication app(argc, argv);
  TfrMain frMain;
  TfrSubtitles frSubtitles;
  TfrError frError;
  frMain.SetErrorWindow(&frError);
  frMain.SetSubtitleWindow(&frSubtitles);
  if (!frMain.StartUp({clip})) {
    std::fprintf(stderr, "the player did not start\n");
    return 1;
  }
  frMain.show();

  // The clip opens and starts playing by itself; the sink is there from the open on.
  GstElement* sink = nullptr;
  const auto deadline = Clock::now() + std::chrono::seconds(20);
  while (!(sink = PlayerVideoSink()) && Clock::now() < deadline)
    QApplication::processEvents(QEventLoop::AllEvents, 5);
  if (!sink) {
    std::fprintf(stderr, "no video sink in the player's graph\n");
    return 1;
  }
  int rc = 0;
  if (!view.isEmpty()) {
    TPlayerSide side(frMain, sink);
    side.Pause();
    side.Rewind(0);
    SetView(frMain, view);
    side.Pump(1500);  // the window settles and the paused picture is redrawn
    TVideoWidget* picture = VideoWidgetOf(DirectShowHelper->Graph);
    QWidget* panel = picture ? picture->parentWidget() : nullptr;
    std::printf("view %s panel=%dx%d picture=%dx%d\n", view.constData(), panel ? panel->width() : 0,
                panel ? panel->height() : 0, picture ? picture->width() : 0, picture ? picture->height() : 0);
    TEndWatch end(sink);
    side.Play();
    const auto until = Clock::now() + std::chrono::milliseconds(kPlayTimeoutMs);
    while (!end.Ended() && Clock::now() < until) side.Pump(10);
    PrintPlay(end.Ended(), end.Ended() ? end.Counts() : ReadCounts(sink), sink, side.Pipeline());
    rc = end.Ended() ? 0 : 1;
  } else {
    TEndWatch end(sink);
    TPlayerSide side(frMain, sink);
    rc = RunSide(side, stepNs, jumps, [&] {
      const auto until = Clock::now() + std::chrono::milliseconds(kPlayTimeoutMs);
      while (!end.Ended() && Clock::now() < until) side.Pump(10);
      return end.Ended();
    }, end);
  }
  gst_object_unref(sink);
  frMain.close();
  QApplication::processEvents();
  return rc;
}

// ---- the bare pipeline

// The audio renderer the player would pick on this machine, so that both
// sides pay for the same sound path.
GstElement* SameAudioSink() {
  for (const char* f : {"pulsesink", "alsasink"}) {
    GstElement* e = gst_element_factory_make(f, nullptr);
    if (!e) continue;
    gst_object_ref_sink(e);
    const bool works = gst_element_set_state(e, GST_STATE_READY) != GST_STATE_CHANGE_FAILURE;
    gst_element_set_state(e, GST_STATE_NULL);
    if (works) return e;
    gst_object_unref(e);
  }
  GstElement* e = gst_element_factory_make("fakesink", nullptr);
  g_object_set(e, "sync", TRUE, nullptr);
  return GST_ELEMENT(gst_object_ref_sink(e));
}

class TBareSide : public TSide {
 public:
  TBareSide(GstElement* playbin, GstElement* sink, gint64 stepNs)
      : playbin_(playbin), sink_(sink), bus_(gst_element_get_bus(playbin)), stepNs_(stepNs) {}
  ~TBareSide() override { gst_object_unref(bus_); }
  GstElement* Sink() const override { return sink_; }
  GstElement* Pipeline() const override { return playbin_; }
  void Pump(int ms) override {
    // Messages are read as a program would; none of them is needed here.
    const auto until = Clock::now() + std::chrono::milliseconds(ms);
    for (auto now = Clock::now(); now < until; now = Clock::now()) {
      const auto left = std::chrono::duration_cast<std::chrono::nanoseconds>(until - now).count();
      if (GstMessage* m = gst_bus_timed_pop(bus_, GstClockTime(left))) gst_message_unref(m);
    }
  }
  void Play() override { SetState(GST_STATE_PLAYING); }
  void Pause() override { SetState(GST_STATE_PAUSED); }
  void Rewind(gint64 ns) override {
    gst_element_seek_simple(playbin_, GST_FORMAT_TIME, KeyFrameSeekFlags(), ns);
    gst_element_get_state(playbin_, nullptr, nullptr, 5 * GST_SECOND);
  }
  void Jump() override {
    gint64 now = 0;
    gst_element_query_position(playbin_, GST_FORMAT_TIME, &now);
    gst_element_seek_simple(playbin_, GST_FORMAT_TIME, KeyFrameSeekFlags(), now + stepNs_);
  }

 private:
  // What the player asks for when it seeks to key frames.
  static GstSeekFlags KeyFrameSeekFlags() {
    return GstSeekFlags(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_KEY_UNIT | GST_SEEK_FLAG_SNAP_BEFORE);
  }
  void SetState(GstState s) {
    gst_element_set_state(playbin_, s);
    gst_element_get_state(playbin_, nullptr, nullptr, 5 * GST_SECOND);
  }
  GstElement* playbin_;
  GstElement* sink_;
  GstBus* bus_;
  gint64 stepNs_;
};

int RunBare(const QString& clip, gint64 stepNs, int jumps) {
  GstElement* playbin = gst_element_factory_make("playbin", nullptr);
  const QByteArray sinkName = qEnvironmentVariableIsEmpty("BENCH_BARE_SINK") ? QByteArray("glimagesink")
                                                                              : qgetenv("BENCH_BARE_SINK");
  GstElement* videoSink = gst_element_factory_make(sinkName.constData(), nullptr);
  if (!playbin || !videoSink) {
    std::fprintf(stderr, "playbin or %s missing\n", sinkName.constData());
    return 1;
  }
  gst_object_ref_sink(playbin);
  const QByteArray uri = "file://" + clip.toUtf8();
  g_object_set(playbin, "uri", uri.constData(), "video-sink", videoSink, nullptr);
  GstElement* audioSink = SameAudioSink();
  g_object_set(playbin, "audio-sink", audioSink, nullptr);
  gst_object_unref(audioSink);
  gst_element_set_state(playbin, GST_STATE_PAUSED);
  gst_element_get_state(playbin, nullptr, nullptr, 20 * GST_SECOND);
  GstElement* sink = FindVideoSink(playbin);
  if (!sink) {
    std::fprintf(stderr, "no video sink in playbin\n");
    gst_element_set_state(playbin, GST_STATE_NULL);
    gst_object_unref(playbin);
    return 1;
  }
  int rc = 0;
  {
    TEndWatch end(sink);
    TBareSide side(playbin, sink, stepNs);
    rc = RunSide(side, stepNs, jumps, [&] {
      side.Play();
      const auto until = Clock::now() + std::chrono::milliseconds(kPlayTimeoutMs);
      while (!end.Ended() && Clock::now() < until) side.Pump(10);
      return end.Ended();
    }, end);
  }
  gst_element_set_state(playbin, GST_STATE_NULL);
  gst_object_unref(sink);
  gst_object_unref(playbin);
  return rc;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "view") == 0) {
    gst_init(nullptr, nullptr);
    int qtArgc = 1;
    return RunPlayer(qtArgc, argv, QString::fromLocal8Bit(argv[2]), 0, 0, argv[3]);
  }
  if (argc < 5 || (std::strcmp(argv[1], "player") != 0 && std::strcmp(argv[1], "bare") != 0)) {
    std::fprintf(stderr, "usage: %s player|bare CLIP STEP_SECONDS JUMPS\n       %s view CLIP WxH|full\n",
                 argv[0], argv[0]);
    return 2;
  }
  gst_init(nullptr, nullptr);
  const QString clip = QString::fromLocal8Bit(argv[2]);
  const gint64 stepNs = gint64(std::atoi(argv[3])) * GST_SECOND;
  const int jumps = std::max(1, std::atoi(argv[4]));
  if (stepNs < 3 * GST_SECOND) {
    std::fprintf(stderr, "a jump must be 3 s or longer to be told from playing on\n");
    return 2;
  }
  int qtArgc = 1;
  return std::strcmp(argv[1], "player") == 0 ? RunPlayer(qtArgc, argv, clip, stepNs, jumps)
                                               : RunBare(clip, stepNs, jumps);
}
