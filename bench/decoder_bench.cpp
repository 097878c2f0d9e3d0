// The decoder benchmark against the bare decoder, on one clip, in one run:
// the rate the benchmark dialog reports (its own average label), and the
// rate of the same elements it measured (source, demuxer, the parser where
// it kept one, decoder) in a bare pipeline into `fakesink sync=false`, timed
// the same way (from frame 9 to the last, at the sink's input, by the
// millisecond tick). Further bare pipelines given on the command line are
// timed beside them. Each run times every pipeline once, turn about, and
// the ratio is taken within the run: this machine's speed drifts by a fifth
// within minutes, which a best-of-all figure would pick up as a difference.
// Printed are the medians of the rates and of the per-run ratios.
// Usage: decoder_bench <clip> <runs> ["<bare pipeline with fakesink name=sink>"...]
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLocale>
#include <QStringList>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>
#include <gst/gst.h>

#include "media/DShowHlp.h"
#include "media/perf.h"
#include "media/playhost.h"
#include "platform/media/gstfilter.h"
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

// The elements from the file to the video decoder the dialog measures, as
// pipeline text: "avidemux ! avdec_mpeg4".
QString ChainTo(TDirectShowHelper& engine) {
  auto decoder = std::dynamic_pointer_cast<TGstFilter>(engine.FindVideoDecoder());
  if (!decoder) return {};
  QStringList names;
  GstElement* e = decoder->Element();
  for (int guard = 0; e && guard < 16; ++guard) {
    GstElementFactory* f = gst_element_get_factory(e);
    GstPad* in = e->sinkpads ? GST_PAD(e->sinkpads->data) : nullptr;
    if (!in) break;  // the file's source
    names.prepend(QString::fromUtf8(f ? gst_plugin_feature_get_name(GST_PLUGIN_FEATURE(f)) : "?"));
    GstPad* peer = gst_pad_get_peer(in);
    GstElement* up = peer ? gst_pad_get_parent_element(peer) : nullptr;
    if (peer) gst_object_unref(peer);
    if (up) gst_object_unref(up);  // the pipeline holds it
    e = up;
  }
  return names.join(QStringLiteral(" ! "));
}

// The dialog's figure: "Average: 123,4 fps  (...)".
double Ours(const QString& clip, QString& chain) {
  TDirectShowHelper engine;
  engine.OnErrors = [] { return 1; };
  THost host(engine);
  host.OpenFile(clip);
  TfrPerfTest w(engine, host);
  // Shown, as a user has it: the chart and the label are painted while the
  // decoder runs.
  w.show();
  w.Start();
  // Start returns as the decoder is let go.
  timespec ui0{}, wall0{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ui0);
  clock_gettime(CLOCK_MONOTONIC, &wall0);
  chain = ChainTo(engine);
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
  timespec ui1{}, wall1{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ui1);
  clock_gettime(CLOCK_MONOTONIC, &wall1);
  const auto ms = [](const timespec& a, const timespec& b) {
    return double(b.tv_sec - a.tv_sec) * 1e3 + double(b.tv_nsec - a.tv_nsec) / 1e6;
  };
  // What the dialog's own thread took from the processors while the decoder ran.
  std::fprintf(stderr, "  ui thread %.0f ms of %.0f ms\n", ms(ui0, ui1), ms(wall0, wall1));
  // The last frames' messages come in the port's next batch and the label
  // follows the chart by up to 100 ms: the figure read is the one the dialog
  // ends on, not one from a little before the end.
  QElapsedTimer settle;
  settle.start();
  while (settle.elapsed() < 250) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
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
  if (argc < 3) {
    std::fprintf(stderr, "usage: decoder_bench <clip> <runs> [<bare pipeline>...]\n");
    return 2;
  }
  const QString clip = QString::fromLocal8Bit(argv[1]);
  const int runs = std::max(1, std::atoi(argv[2]));
  // The first bare pipeline is the dialog's own chain, known after its first run.
  std::vector<QString> bare(1);
  for (int i = 3; i < argc; ++i) bare.push_back(QString::fromLocal8Bit(argv[i]));
  std::vector<double> ours;
  std::vector<std::vector<double>> rates(bare.size()), ratios(bare.size());
  QString chain;
  for (int r = 0; r < runs; ++r) {
    // Every other run the bare pipelines go first, so that neither side
    // always inherits a warm cache or a cold processor from the other.
    std::vector<double> these(bare.size(), 0.0);
    const auto timeBare = [&] {
      for (size_t i = 0; i < bare.size(); ++i)
        if (!bare[i].isEmpty()) these[i] = Bare(bare[i]);
    };
    if (r % 2) timeBare();
    ours.push_back(Ours(clip, chain));
    if (bare[0].isEmpty()) {
      if (chain.isEmpty()) {
        std::fprintf(stderr, "no video decoder in the benchmark's graph\n");
        return 1;
      }
      bare[0] = QStringLiteral("filesrc location=\"%1\" ! %2 ! fakesink name=sink sync=false").arg(clip, chain);
    }
    if (r % 2 == 0) timeBare();
    for (size_t i = 0; i < bare.size(); ++i) {
      rates[i].push_back(these[i]);
      ratios[i].push_back(these[i] > 0 ? ours.back() / these[i] : 0.0);
    }
  }
  const auto median = [](std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
  };
  std::printf("%s: ours %.1f fps (median of %d runs)\n", qPrintable(clip.section('/', -1)), median(ours), runs);
  for (size_t i = 0; i < bare.size(); ++i)
    std::printf("  %s %.1f fps, ratio %.3f (min %.3f, max %.3f): %s\n", i == 0 ? "same chain" : "bare",
                median(rates[i]), median(ratios[i]), *std::min_element(ratios[i].begin(), ratios[i].end()),
                *std::max_element(ratios[i].begin(), ratios[i].end()), qPrintable(bare[i].section('!', 1).trimmed()));
  return 0;
}
