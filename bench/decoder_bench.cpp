// The decoder benchmark against the bare decoder, on one clip, in one run:
// the rate the benchmark dialog reports (its own average label), and the
// rate of the same demuxer and decoder in a bare pipeline into
// `fakesink sync=false`, timed the same way (from frame 9 to the last, at
// the sink's input, by the millisecond tick). Runs alternate; the best of
// each is printed with the ratio.
// Usage: decoder_bench <clip> <runs> "<bare pipeline with fakesink name=sink>"...
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLocale>
#include <QTimer>
#include <cstdio>
#include <ctime>
#include <vector>
#include <gst/gst.h>

#include "media/DShowHlp.h"
#include "media/perf.h"
#include "media/playhost.h"
#include "platform/system/msgport.h"

namespace {

class THost : public TPlayHost {
 public:
  explicit THost(TDirectShowHelper& e) : engine(e) {}
  void RestorePlayState() override {}
  void PauseMovie() override { engine.Pause(); }
  void Play() override {
    engine.SetRate(1.0);
    engine.Run();
  }
  void OpenFile(const QString& name) override {
    engine.FreeGraph();
    engine.BuildGraph();
    if (FAILED(engine.Graph->RenderFile(name, nullptr))) std::fprintf(stderr, "cannot render %s\n", qPrintable(name));
    file = name;
  }
  QString CurrentFile() const override { return file; }
  int64_t FirstBookmark() const override { return 0; }
  TDirectShowHelper& engine;
  QString file;
};

// The dialog's figure: "Average: 123,4 fps  (...)".
double Ours(const QString& clip, QString& chain) {
  TDirectShowHelper engine;
  engine.OnErrors = [] { return 1; };
  THost host(engine);
  host.OpenFile(clip);
  chain.clear();
  if (auto d = engine.FindVideoDecoder()) chain = engine.GetFilterName(d);
  TfrPerfTest w(engine, host);
  timespec ui0{}, wall0{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ui0);
  clock_gettime(CLOCK_MONOTONIC, &wall0);
  w.Start();
  long code = 0;
  intptr_t p1, p2;
  QElapsedTimer t;
  t.start();
  // The loop sleeps between looks, as the player's event loop does: one
  // that spun would take a processor from the decoder being measured.
  QTimer look;
  look.start(20);
  while (t.elapsed() < 600000) {
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    if (engine.MediaEventEx && SUCCEEDED(engine.MediaEventEx->GetEvent(code, p1, p2, 0))) break;
  }
  QCoreApplication::processEvents();
  timespec ui1{}, wall1{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ui1);
  clock_gettime(CLOCK_MONOTONIC, &wall1);
  const auto ms = [](const timespec& a, const timespec& b) {
    return double(b.tv_sec - a.tv_sec) * 1e3 + double(b.tv_nsec - a.tv_nsec) / 1e6;
  };
  // What the dialog's own thread took from the processors while it measured.
  std::fprintf(stderr, "  ui thread %.0f ms of %.0f ms\n", ms(ui0, ui1), ms(wall0, wall1));
  const QString text = w.lbFPS->text();
  w.close();
  const QString number = text.section(' ', 1, 1);
  return QLocale::system().toDouble(number);
}

struct TBare {
  int index = 0;
  uint32_t start = 0, last = 0;
};

GstPadProbeReturn Tick(GstPad*, GstPadProbeInfo*, gpointer data) {
  auto* b = static_cast<TBare*>(data);
  const uint32_t now = GetTickCount();
  if (b->index == 9) b->start = now;
  b->last = now;
  ++b->index;
  return GST_PAD_PROBE_OK;
}

double Bare(const QString& pipeline) {
  GError* error = nullptr;
  GstElement* p = gst_parse_launch(pipeline.toUtf8().constData(), &error);
  if (!p) {
    std::fprintf(stderr, "bad pipeline: %s\n", error ? error->message : "?");
    return 0;
  }
  TBare b;
  GstElement* sink = gst_bin_get_by_name(GST_BIN(p), "sink");
  GstPad* pad = gst_element_get_static_pad(sink, "sink");
  gst_pad_add_probe(pad, GST_PAD_PROBE_TYPE_BUFFER, &Tick, &b, nullptr);
  gst_object_unref(pad);
  gst_object_unref(sink);
  gst_element_set_state(p, GST_STATE_PLAYING);
  GstBus* bus = gst_element_get_bus(p);
  GstMessage* m = gst_bus_timed_pop_filtered(bus, GST_CLOCK_TIME_NONE, GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
  if (m) gst_message_unref(m);
  gst_object_unref(bus);
  gst_element_set_state(p, GST_STATE_NULL);
  gst_object_unref(p);
  // The chart's formula: frames past the tenth over the time since frame 9.
  const int n = b.index - 1 - 10;
  const uint32_t span = b.last - b.start;
  return n > 0 && span > 0 ? double(n) * 1000.0 / double(span) : 0;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  gst_init(&argc, &argv);
  if (argc < 4) {
    std::fprintf(stderr, "usage: decoder_bench <clip> <runs> <bare pipeline>...\n");
    return 2;
  }
  const QString clip = QString::fromLocal8Bit(argv[1]);
  const int runs = std::max(1, std::atoi(argv[2]));
  std::vector<QString> bare;
  for (int i = 3; i < argc; ++i) bare.push_back(QString::fromLocal8Bit(argv[i]));
  double bestOurs = 0;
  std::vector<double> bestBare(bare.size(), 0.0);
  QString chain;
  for (int r = 0; r < runs; ++r) {
    for (size_t i = 0; i < bare.size(); ++i) bestBare[i] = std::max(bestBare[i], Bare(bare[i]));
    bestOurs = std::max(bestOurs, Ours(clip, chain));
  }
  std::printf("%s (decoder %s): ours %.1f fps\n", qPrintable(clip.section('/', -1)), qPrintable(chain), bestOurs);
  for (size_t i = 0; i < bare.size(); ++i)
    std::printf("  bare %.1f fps, ratio %.3f: %s\n", bestBare[i], bestBare[i] > 0 ? bestOurs / bestBare[i] : 0.0,
                qPrintable(bare[i].section('!', 1).trimmed()));
  return 0;
}
