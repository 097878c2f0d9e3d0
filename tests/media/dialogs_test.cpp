// The engine's dialogs on real graphs: the filter list, the audio pairs
// measured at each renderer's output, and the decoder benchmark end to end.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QTest>
#include <cmath>
#include <mutex>

#include "controls/multivolume.h"
#include "media/DShowHlp.h"
#include "media/aprops.h"
#include "media/filters.h"
#include "media/perf.h"
#include "media/playhost.h"
#include "platform/media/gstfilter.h"
#include "tests/support/wait.h"
#include "tests/support/fake_msgbox.h"
#include "tests/support/testclips.h"

namespace {

// The main window's play-state side, over the engine alone.
class TEngineHost : public TPlayHost {
 public:
  explicit TEngineHost(TDirectShowHelper& e) : engine(e) {}
  void RestorePlayState() override { ++restores; }
  void PauseMovie() override { engine.Pause(); }
  void Play() override {
    engine.SetRate(1.0);
    engine.Run();
  }
  void OpenFile(const QString& name) override {
    opened << name;
    engine.FreeGraph();
    engine.BuildGraph();
    ASSERT_EQ(engine.Graph->RenderFile(name, nullptr), S_OK);
    file = name;
  }
  QString CurrentFile() const override { return file; }
  int64_t FirstBookmark() const override { return 0; }
  TDirectShowHelper& engine;
  QString file;
  QStringList opened;
  int restores = 0;
};

class EngineDialogs : public TTestClipsTest {
 protected:
  void SetUp() override {
    TTestClipsTest::SetUp();
    engine.OnErrors = [] { return 0; };
  }
  void Open(const QString& file) {
    host.OpenFile(file);
    host.opened.clear();
  }
  std::vector<ComPtr<IBaseFilter>> Filters() {
    std::vector<ComPtr<IBaseFilter>> out;
    ComPtr<IEnumFilters> e;
    engine.Graph->EnumFilters(e);
    ComPtr<IBaseFilter> f;
    while (e->Next(f) == S_OK) out.push_back(f);
    return out;
  }
  TFakeMessageBoxes boxes;
  TDirectShowHelper engine;
  TEngineHost host{engine};
};

TEST_F(EngineDialogs, FilterListShowsTheGraphNewestFirstWithItsVersion) {
  Open(Clips().Avi);
  TfrFilters w(engine, host);
  w.Fill();
  long version = 0;
  ComPtr<IGraphVersion> gv;
  ASSERT_EQ(QueryInterface(engine.Graph, gv), S_OK);
  gv->QueryVersion(version);
  EXPECT_GT(version, 0);
  EXPECT_EQ(w.windowTitle(), QStringLiteral("FilterGraph GV:%1").arg(version));
  const auto filters = Filters();
  ASSERT_EQ(w.lbFilters->count(), int(filters.size()));
  for (size_t i = 0; i < filters.size(); ++i)
    EXPECT_EQ(w.lbFilters->item(int(filters.size() - 1 - i))->text(), engine.GetFilterName(filters[i]));
  EXPECT_EQ(w.lbFilters->currentRow(), 0);

  // An element with nothing to edit has no sheet: the button stays off, and
  // reaching the sheet anyway says so.
  const auto demuxer = std::find_if(filters.begin(), filters.end(), [&](const ComPtr<IBaseFilter>& f) {
    return engine.GetFilterName(f).startsWith("avidemux");
  });
  ASSERT_NE(demuxer, filters.end());
  const QString demuxerName = engine.GetFilterName(*demuxer);
  EXPECT_FALSE(engine.HasPropertyPages(*demuxer));
  w.lbFilters->setCurrentItem(w.lbFilters->findItems(demuxerName, Qt::MatchExactly).value(0));
  EXPECT_FALSE(w.sbFilterProps->isEnabled());
  w.show();
  w.ShowProperties();
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].text, QStringLiteral("Нет свойств"));
  EXPECT_EQ(host.restores, 1);
  EXPECT_FALSE(w.isVisible());

  // A second filter of the same name: both lines appear and both stand for
  // the later one, which has a sheet; the graph's version moved on.
  ComPtr<IBaseFilter> null;
  ASSERT_EQ(CoCreateInstance(CLSID_NullRenderer, null), S_OK);
  ASSERT_EQ(engine.Graph->AddFilter(null, demuxerName), S_OK);
  w.Fill();
  long later = 0;
  gv->QueryVersion(later);
  EXPECT_GT(later, version);
  const auto lines = w.lbFilters->findItems(demuxerName, Qt::MatchExactly);
  ASSERT_EQ(lines.size(), 2);
  EXPECT_EQ(engine.GetFilterClassID(w.FindFilter(demuxerName)), engine.GetFilterClassID(null));
  for (QListWidgetItem* line : lines) {
    w.lbFilters->setCurrentItem(line);
    EXPECT_TRUE(w.sbFilterProps->isEnabled());
  }
  EXPECT_FALSE(w.FindFilter("no such filter"));
}

// Per renderer: root mean square of each channel over the samples that
// reached its sink after the first 0.3 s.
struct TLevel {
  std::mutex lock;
  double sum[2] = {0, 0};
  long samples = 0;
  double Rms(int ch) {
    std::lock_guard<std::mutex> l(lock);
    return samples ? std::sqrt(sum[ch] / double(samples)) : -1;
  }
};

GstPadProbeReturn Measure(GstPad* pad, GstPadProbeInfo* info, gpointer data) {
  auto* level = static_cast<TLevel*>(data);
  GstBuffer* b = GST_PAD_PROBE_INFO_BUFFER(info);
  if (!GST_BUFFER_PTS_IS_VALID(b) || GST_BUFFER_PTS(b) < 300 * GST_MSECOND) return GST_PAD_PROBE_OK;
  TGstRef<GstCaps> caps = TGstRef<GstCaps>::Adopt(gst_pad_get_current_caps(pad));
  const GstStructure* s = gst_caps_get_structure(caps.get(), 0);
  const char* format = gst_structure_get_string(s, "format");
  int channels = 0;
  gst_structure_get_int(s, "channels", &channels);
  GstMapInfo map;
  if (channels != 2 || !gst_buffer_map(b, &map, GST_MAP_READ)) return GST_PAD_PROBE_OK;
  std::lock_guard<std::mutex> l(level->lock);
  const bool f32 = std::strcmp(format, "F32LE") == 0;
  const size_t frames = map.size / (f32 ? 8 : 4);
  for (size_t i = 0; i < frames; ++i)
    for (int ch = 0; ch < 2; ++ch) {
      const double v = f32 ? double(reinterpret_cast<const float*>(map.data)[2 * i + ch])
                           : reinterpret_cast<const int16_t*>(map.data)[2 * i + ch] / 32768.0;
      level->sum[ch] += v * v;
    }
  level->samples += long(frames);
  gst_buffer_unmap(b, &map);
  return GST_PAD_PROBE_OK;
}

TEST_F(EngineDialogs, EachAudioPairReachesItsOwnRenderer) {
  QString error;
  const QString clip = MultiAudioClip(3, &error);
  ASSERT_FALSE(clip.isEmpty()) << error.toStdString();
  Open(clip);
  TfrAudioProps w(engine, host);
  w.Fill();
  EXPECT_EQ(w.windowTitle(), QStringLiteral("Audio: 3 stream(s)"));
  ASSERT_EQ(w.Volumes->Count(), 3);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(w.Volumes->Levels[size_t(i)].Volume, 0);

  TLevel levels[3];
  for (int i = 0; i < 3; ++i) {
    auto renderer = std::dynamic_pointer_cast<TGstFilter>(engine.FindAudioRenderer(i));
    ASSERT_TRUE(renderer);
    GstElement* sink = LeafElements(GST_BIN(renderer->Element())).back().get();
    TGstRef<GstPad> pad = TGstRef<GstPad>::Adopt(gst_element_get_static_pad(sink, "sink"));
    gst_pad_add_probe(pad.get(), GST_PAD_PROBE_TYPE_BUFFER, &Measure, &levels[i], nullptr);
  }
  // Silence; full volume to the left only; a tenth of the amplitude.
  w.Volumes->Levels[0] = {-10000, 0};
  w.Volumes->Levels[1] = {0, -10000};
  w.Volumes->Levels[2] = {-2000, 0};
  w.Apply();
  ComPtr<IMediaFilter> clockless;
  ASSERT_EQ(QueryInterface(engine.Graph, clockless), S_OK);
  clockless->SetSyncSource(nullptr);
  engine.Run();
  long code = 0;
  intptr_t p1 = 0, p2 = 0;
  ASSERT_TRUE(PumpUntil([&] { return SUCCEEDED(engine.MediaEventEx->GetEvent(code, p1, p2, 0)); }));
  EXPECT_EQ(code, EC_COMPLETE);
  // A full-scale test tone has an RMS of 0.8 / sqrt(2) = 0.57 per channel.
  EXPECT_LT(levels[0].Rms(0), 1e-3);
  EXPECT_LT(levels[0].Rms(1), 1e-3);
  EXPECT_GT(levels[1].Rms(0), 0.3);
  EXPECT_LT(levels[1].Rms(1), 1e-3);
  EXPECT_NEAR(levels[2].Rms(0), 0.057, 0.015);
  EXPECT_NEAR(levels[2].Rms(1), 0.057, 0.015);

  // Reset puts every renderer back to full volume in the centre.
  w.sbReset->click();
  for (int i = 0; i < 3; ++i) {
    ComPtr<IBasicAudio> audio;
    ASSERT_EQ(QueryInterface(engine.FindAudioRenderer(i), audio), S_OK);
    long v = -1, b = -1;
    audio->get_Volume(v);
    audio->get_Balance(b);
    EXPECT_EQ(v, 0);
    EXPECT_EQ(b, 0);
  }
}

TEST_F(EngineDialogs, MoreThanTenRenderersAreCountedAndTheFirstTenShown) {
  QString error;
  const QString clip = MultiAudioClip(12, &error);
  ASSERT_FALSE(clip.isEmpty()) << error.toStdString();
  Open(clip);
  TfrAudioProps w(engine, host);
  w.Fill();
  EXPECT_EQ(w.windowTitle(), QStringLiteral("Audio: 12 stream(s)"));
  ASSERT_EQ(w.Volumes->Count(), 10);
  w.Volumes->Levels[9] = {-500, 2500};
  w.Apply();
  for (int i : {9, 10}) {
    ComPtr<IBasicAudio> audio;
    ASSERT_EQ(QueryInterface(engine.FindAudioRenderer(i), audio), S_OK);
    long v = 1, b = 1;
    audio->get_Volume(v);
    audio->get_Balance(b);
    EXPECT_EQ(v, i == 9 ? -500 : 0) << i;
    EXPECT_EQ(b, i == 9 ? 2500 : 0) << i;
  }
}

TEST_F(EngineDialogs, BenchmarkTimesEveryFrameWithoutSoundAndClosingReopens) {
  Open(Clips().Avi);
  ASSERT_EQ(engine.CountAudioRenderers(), 2);
  TfrPerfTest w(engine, host);
  w.show();
  w.Start();
  EXPECT_FALSE(w.sbStart->isEnabled());
  EXPECT_FALSE(w.tbScale->isEnabled());
  // Every frame of the clip reaches the grabber once and is charted.
  ASSERT_TRUE(PumpUntil([&] { return w.FramesSeen() >= TTestClips::AviFrames; }));
  EXPECT_EQ(w.FramesSeen(), TTestClips::AviFrames);
  ASSERT_TRUE(PumpUntil([&] { return !w.lbFPS->text().isEmpty(); }));
  EXPECT_TRUE(w.lbFPS->text().startsWith("Average: ")) << w.lbFPS->text().toStdString();
  EXPECT_EQ(engine.CountAudioRenderers(), 0);
  EXPECT_FALSE(engine.FindAudioDecoder());
  EXPECT_FALSE(engine.FindVideoRenderer());
  QStringList names;
  for (auto& f : Filters()) names << engine.GetFilterName(f);
  EXPECT_TRUE(names.contains("Grabber"));
  EXPECT_TRUE(names.contains("Null Renderer"));

  w.sbClose->click();
  EXPECT_EQ(host.opened, QStringList{Clips().Avi});
  EXPECT_TRUE(w.sbStart->isEnabled());
  EXPECT_EQ(engine.CountAudioRenderers(), 2);
  EXPECT_TRUE(engine.FindVideoRenderer());
}

// What feeds the graph's video decoder, from the decoder up to the file, each
// element by its class ("Decoder", "Parser", "Demuxer", "Queue", "Source").
QStringList FeedOfVideoDecoder(TDirectShowHelper& engine) {
  QStringList kinds;
  auto decoder = std::dynamic_pointer_cast<TGstFilter>(engine.FindVideoDecoder());
  GstElement* e = decoder ? decoder->Element() : nullptr;
  for (int guard = 0; e && guard < 16; ++guard) {
    GstElementFactory* f = gst_element_get_factory(e);
    const QString klass = QString::fromUtf8(f ? gst_element_factory_get_metadata(f, GST_ELEMENT_METADATA_KLASS) : "");
    const QString name = QString::fromUtf8(f ? gst_plugin_feature_get_name(GST_PLUGIN_FEATURE(f)) : "");
    kinds << (name.contains("queue") ? "Queue"
              : klass.contains("Demux") ? "Demuxer"
              : klass.contains("Decoder") ? "Decoder"
              : klass.contains("Parser") ? "Parser"
              : klass.contains("Source") ? "Source"
                                         : name);
    GstPad* in = e->sinkpads ? GST_PAD(e->sinkpads->data) : nullptr;
    TGstRef<GstPad> peer = TGstRef<GstPad>::Adopt(in ? gst_pad_get_peer(in) : nullptr);
    // Inside the automatic decoder a pad's peer may be a bin's own pad:
    // the walk then stops there.
    TGstRef<GstElement> up = TGstRef<GstElement>::Adopt(peer ? gst_pad_get_parent_element(peer.get()) : nullptr);
    e = up.get();  // the pipeline keeps it alive
  }
  return kinds;
}

TEST_F(EngineDialogs, BenchmarkFeedsTheDecoderStraightFromTheDemuxer) {
  struct {
    QString file;
    int frames;
    QStringList feed;
  } cases[] = {
      {Clips().Avi, TTestClips::AviFrames, {"Decoder", "Demuxer", "Source"}},
      {Clips().Mkv, 50, {"Decoder", "Demuxer", "Source"}},
      // A program stream's packets do not end where pictures do: its parser stays.
      {Clips().Mpeg2, 50, {"Decoder", "Parser", "Demuxer", "Source"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file.toStdString());
    Open(c.file);
    // Playback hands the stream across a queue (the measurement must not).
    EXPECT_TRUE(FeedOfVideoDecoder(engine).contains("Queue")) << FeedOfVideoDecoder(engine).join(' ').toStdString();
    TfrPerfTest w(engine, host);
    w.Start();
    EXPECT_EQ(FeedOfVideoDecoder(engine), c.feed) << FeedOfVideoDecoder(engine).join(' ').toStdString();
    ASSERT_TRUE(PumpUntil([&] { return w.FramesSeen() >= c.frames; }));
    EXPECT_EQ(w.FramesSeen(), c.frames);
    EXPECT_EQ(engine.CountAudioRenderers(), 0);
    w.close();
    // Closing gives playback its usual graph back.
    EXPECT_TRUE(FeedOfVideoDecoder(engine).contains("Queue"));
  }
}

TEST_F(EngineDialogs, BenchmarkWithDrawingRendersTheFramesToo) {
  Open(Clips().Mkv);
  TfrPerfTest w(engine, host);
  w.cbNoVideo->setChecked(false);
  w.Start();
  ASSERT_TRUE(PumpUntil([&] { return w.FramesSeen() >= 50; }));
  EXPECT_TRUE(engine.FindVideoRenderer());
  w.close();
}

TEST(EscDialog, EscClosesOnReleaseWhicheverControlHasTheFocus) {
  TEscDialog d;
  auto* button = new QPushButton("x", &d);
  d.show();
  button->setFocus();
  QTest::keyPress(button, Qt::Key_Escape);
  EXPECT_TRUE(d.isVisible());  // the press alone does not close
  QTest::keyRelease(button, Qt::Key_Escape);
  EXPECT_FALSE(d.isVisible());
}

// ---- the chart's arithmetic

TEST(PerfChart, FirstTenFramesAreNotMeasured) {
  TPerfChart chart;
  chart.Clear(1);
  const QImage empty = chart.Image();
  for (int i = 0; i < 10; ++i) EXPECT_FALSE(chart.Frame(1000 + 40 * uint32_t(i), i, 1));
  EXPECT_EQ(chart.Average(), QString());
  EXPECT_EQ(chart.Image(), empty);
}

TEST(PerfChart, ScaleOneDrawsAColumnPerFrameFromItsInterval) {
  TPerfChart chart;
  chart.Clear(1);
  const int x = TPerfChart::PlotLeft, base = TPerfChart::PlotBaseline;
  for (int i = 0; i <= 9; ++i) chart.Frame(1000 + 40 * uint32_t(i), i, 1);
  // Frame 10, 20 ms after frame 9: minimum and maximum are both 20 ms, so
  // the column is 80 pixels of maroon over the green.
  chart.Frame(1000 + 360 + 20, 10, 1);
  EXPECT_EQ(chart.Image().pixel(x, base), qRgb(128, 0, 0));
  EXPECT_EQ(chart.Image().pixel(x, base - 79), qRgb(128, 0, 0));
  EXPECT_NE(chart.Image().pixel(x, base - 80), qRgb(128, 0, 0));
  EXPECT_NE(chart.Image().pixel(x, base - 80), qRgb(0, 128, 0));
  // A slow frame (over 100 ms) draws nothing.
  const QImage before = chart.Image();
  chart.Frame(1000 + 380 + 150, 11, 1);
  EXPECT_EQ(chart.Image().pixel(x + 1, base), before.pixel(x + 1, base));
}

TEST(PerfChart, ColumnsShowTheFastestAndSlowestFrameOfTheirGroup) {
  TPerfChart chart;
  chart.Clear(2);
  const int x = TPerfChart::PlotLeft, base = TPerfChart::PlotBaseline;
  uint32_t t = 0;
  for (int i = 0; i <= 9; ++i) chart.Frame(t += 40, i, 2);
  chart.Frame(t += 10, 10, 2);  // 10 ms
  chart.Frame(t += 30, 11, 2);  // 30 ms: the column closes
  EXPECT_EQ(chart.Image().pixel(x, base - 69), qRgb(128, 0, 0));  // 100 - 30 = 70 maroon
  EXPECT_EQ(chart.Image().pixel(x, base - 70), qRgb(0, 128, 0));  // green up to 100 - 10 = 90
  EXPECT_EQ(chart.Image().pixel(x, base - 89), qRgb(0, 128, 0));
  EXPECT_NE(chart.Image().pixel(x, base - 90), qRgb(0, 128, 0));
}

TEST(PerfChart, AverageAppearsFromTheHundredAndTwelfthFrame) {
  TPerfChart chart;
  chart.Clear(10);
  uint32_t t = 0xFFFFF000u;  // the tick wraps during the run
  for (int i = 0; i <= 110; ++i) {
    EXPECT_FALSE(chart.Frame(t += 20, i, 10)) << i;
    EXPECT_EQ(chart.Average(), QString()) << i;
  }
  EXPECT_TRUE(chart.Frame(t += 20, 111, 10));
  const QString average = chart.Average();
  // Frame 111 is 101 frames and 102 intervals of 20 ms past frame 9.
  const QString sep = QLocale::system().decimalPoint();
  EXPECT_EQ(average, QStringLiteral("Average: 49%1 fps  (20%2 ms per frame)").arg(sep + "5", sep + "2"));
}

TEST(PerfChart, ColumnsPastThePlotAreNotDrawnAndMeasuringGoesOn) {
  TPerfChart chart;
  chart.Clear(1);
  uint32_t t = 0;
  int i = 0;
  for (; i < 10 + TPerfChart::PlotWidth; ++i) chart.Frame(t += 10, i, 1);
  EXPECT_EQ(chart.Image().pixel(TPerfChart::PlotLeft + TPerfChart::PlotWidth - 1, TPerfChart::PlotBaseline),
            qRgb(128, 0, 0));
  const QImage full = chart.Image();
  EXPECT_TRUE(chart.Frame(t += 10, i, 1));
  EXPECT_EQ(chart.Image(), full);
  EXPECT_FALSE(chart.Average().isEmpty());
  // A new run starts without the old run's average.
  chart.Clear(1);
  EXPECT_EQ(chart.Average(), QString());
}

}  // namespace
