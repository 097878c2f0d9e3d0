// The engine against bare GStreamer on the same clip, in one process:
// open to the first frame (paused), key-frame seek, accurate seek.
// Also a driver for engine_vs_gst.sh: "--open FILE" opens and quits,
// "--play FILE" plays to the end and quits (for CPU time), "--play-bare FILE"
// plays the bare pipeline to the end, taking every frame out of its appsink
// and mapping it as the engine does on its way to the picture.
#include <benchmark/benchmark.h>
#include <gst/app/gstappsink.h>
#include <gst/gst.h>

#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <cstring>

#include "media/DShowHlp.h"

namespace {

QString g_clip;
constexpr int64_t kSecond = 10000000;

bool Open(TDirectShowHelper& e, const QString& file) {
  e.FreeGraph();
  e.BuildGraph();
  if (FAILED(e.Graph->RenderFile(file, nullptr))) {
    std::fprintf(stderr, "render failed\n");
    return false;
  }
  e.ReadVideoInfo();
  e.Pause();
  return true;
}

// The pipeline a hand-written GStreamer program would use for the same job.
GstElement* BareOpen(const QString& file) {
  const QByteArray desc = QStringLiteral(
      "uridecodebin uri=file://%1 name=d d. ! queue ! videoconvert ! appsink caps=video/x-raw,format=BGRx "
      "d. ! queue ! audioconvert ! audioresample ! volume ! audiopanorama ! fakesink sync=true")
                             .arg(file)
                             .toUtf8();
  GstElement* p = gst_parse_launch(desc.constData(), nullptr);
  gst_element_set_state(p, GST_STATE_PAUSED);
  gst_element_get_state(p, nullptr, nullptr, GST_CLOCK_TIME_NONE);
  return p;
}

void BareClose(GstElement* p);

// Takes each frame as the engine's offscreen picture does: pulled from the
// sink and its pixels mapped for reading.
GstFlowReturn TakeFrame(GstAppSink* sink, gpointer) {
  GstSample* sample = gst_app_sink_pull_sample(sink);
  if (!sample) return GST_FLOW_OK;
  GstMapInfo map;
  if (gst_buffer_map(gst_sample_get_buffer(sample), &map, GST_MAP_READ))
    gst_buffer_unmap(gst_sample_get_buffer(sample), &map);
  gst_sample_unref(sample);
  return GST_FLOW_OK;
}

int BarePlay(const QString& file) {
  GstElement* p = BareOpen(file);
  GstIterator* sinks = gst_bin_iterate_all_by_element_factory_name(GST_BIN(p), "appsink");
  GValue item = G_VALUE_INIT;
  while (gst_iterator_next(sinks, &item) == GST_ITERATOR_OK) {
    GstAppSinkCallbacks callbacks{};
    callbacks.new_sample = &TakeFrame;
    gst_app_sink_set_callbacks(GST_APP_SINK(g_value_get_object(&item)), &callbacks, nullptr, nullptr);
    g_value_reset(&item);
  }
  g_value_unset(&item);
  gst_iterator_free(sinks);
  gst_element_set_state(p, GST_STATE_PLAYING);
  GstBus* bus = gst_element_get_bus(p);
  GstMessage* m = gst_bus_timed_pop_filtered(bus, GST_CLOCK_TIME_NONE,
                                             GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
  const bool ok = m && GST_MESSAGE_TYPE(m) == GST_MESSAGE_EOS;
  if (m) gst_message_unref(m);
  gst_object_unref(bus);
  BareClose(p);
  return ok ? 0 : 1;
}

void BareClose(GstElement* p) {
  gst_element_set_state(p, GST_STATE_NULL);
  gst_object_unref(p);
}

void BareSeek(GstElement* p, gint64 ns, GstSeekFlags f) {
  gst_element_seek_simple(p, GST_FORMAT_TIME, GstSeekFlags(GST_SEEK_FLAG_FLUSH | f), ns);
  gst_element_get_state(p, nullptr, nullptr, GST_CLOCK_TIME_NONE);
}

void BM_EngineOpen(benchmark::State& s) {
  TDirectShowHelper e;
  for (auto _ : s) {
    Open(e, g_clip);
    s.PauseTiming();
    e.FreeGraph();
    QCoreApplication::sendPostedEvents();
    s.ResumeTiming();
  }
}
void BM_BareOpen(benchmark::State& s) {
  for (auto _ : s) {
    GstElement* p = BareOpen(g_clip);
    s.PauseTiming();
    BareClose(p);
    s.ResumeTiming();
  }
}

// Seeks alternate between two targets so that every one really moves.
void EngineSeek(benchmark::State& s) {
  TDirectShowHelper e;
  Open(e, g_clip);
  int i = 0;
  for (auto _ : s) e.SetPosition((++i % 2 ? 12 : 5) * kSecond + kSecond / 2);
  e.FreeGraph();
}
void BareSeekLoop(benchmark::State& s, GstSeekFlags f) {
  GstElement* p = BareOpen(g_clip);
  int i = 0;
  for (auto _ : s) BareSeek(p, ((++i % 2 ? 12 : 5) * kSecond + kSecond / 2) * 100, f);
  BareClose(p);
}
void BM_EngineAccurateSeek(benchmark::State& s) { EngineSeek(s); }
void BM_BareAccurateSeek(benchmark::State& s) { BareSeekLoop(s, GST_SEEK_FLAG_ACCURATE); }

BENCHMARK(BM_EngineOpen)->Unit(benchmark::kMillisecond)->MinTime(3);
BENCHMARK(BM_BareOpen)->Unit(benchmark::kMillisecond)->MinTime(3);
BENCHMARK(BM_EngineAccurateSeek)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_BareAccurateSeek)->Unit(benchmark::kMillisecond)->MinTime(2);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  gst_init(nullptr, nullptr);
  if (argc >= 3 && std::strcmp(argv[1], "--play-bare") == 0) return BarePlay(QString::fromLocal8Bit(argv[2]));
  if (argc >= 3 && (std::strcmp(argv[1], "--open") == 0 || std::strcmp(argv[1], "--play") == 0)) {
    TDirectShowHelper e;
    // A real event loop: processEvents with a time limit never sleeps, and
    // its spinning would be charged to the engine's playback CPU.
    QEventLoop loop;
    e.OnComplete = [&](TDirectShowHelper*) { loop.quit(); };
    if (!Open(e, QString::fromLocal8Bit(argv[2]))) return 1;
    if (std::strcmp(argv[1], "--play") == 0) {
      e.Run();
      loop.exec();
    }
    return 0;
  }
  const char* clip = std::getenv("KELVARA_BENCH_CLIP");
  if (!clip) {
    std::fprintf(stderr, "set KELVARA_BENCH_CLIP to a video clip with one audio stream\n");
    return 2;
  }
  g_clip = QString::fromLocal8Bit(clip);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
