// Which sink shows the picture, and that every sink shows the right picture
// in the rectangle the window gives it: filled, shrunk, zoomed past the panel
// and moved, letterboxed, each while paused (the picture must be redrawn at
// the new size without playing on).
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QWidget>
#include <gst/gst.h>
#include <gst/video/gstvideosink.h>
#include <optional>

#include "platform/media/dshow.h"
#include "platform/media/gstfilter.h"
#include "platform/media/gstgraph.h"
#include "platform/media/videosink.h"
#include "platform/media/videowidget.h"
#include "tests/support/testclips.h"
#include "tests/support/wait.h"

namespace {

// ---- the choice

class TFakeOutputs : public TVideoOutputProbe {
 public:
  bool xv = false, hardwareGl = false, anyGl = false;
  int asked = 0, askedGl = 0;
  bool XvTakesOurFormat() override { return ++asked, xv; }
  bool HardwareGl() override { return ++asked, ++askedGl, hardwareGl; }
  bool AnyGl() override { return ++asked, ++askedGl, anyGl; }
};

TEST(VideoSinkChoice, TakesTheCheapestSinkThatScalesInHardware) {
  // A display with Xv: OpenGL is never opened.
  TFakeOutputs xv;
  xv.xv = xv.hardwareGl = xv.anyGl = true;
  EXPECT_EQ(ChooseVideoSink(xv, false), "xvimagesink");
  EXPECT_EQ(ChooseVideoSink(xv, true), "xvimagesink");
  EXPECT_EQ(xv.askedGl, 0);

  TFakeOutputs gpu;
  gpu.hardwareGl = gpu.anyGl = true;
  EXPECT_EQ(ChooseVideoSink(gpu, false), "glimagesink");

  // Software OpenGL only: the plain X sink, and the software renderer is not
  // even started unless overlay is forced.
  TFakeOutputs soft;
  soft.anyGl = true;
  EXPECT_EQ(ChooseVideoSink(soft, false), "ximagesink");
  EXPECT_EQ(soft.askedGl, 1);
  EXPECT_EQ(ChooseVideoSink(soft, true), "glimagesink");

  // Forced, but nothing overlay-capable starts: the picture still shows.
  TFakeOutputs bare;
  EXPECT_EQ(ChooseVideoSink(bare, true), "ximagesink");
  EXPECT_TRUE(SinkNeedsScaling("ximagesink"));
  EXPECT_FALSE(SinkNeedsScaling("glimagesink"));
}

TEST(VideoSinkChoice, SoftwareRenderersAreKnownByName) {
  for (const char* soft : {"llvmpipe (LLVM 15.0.6, 256 bits)", "Gallium 0.4 on softpipe",
                           "Software Rasterizer", "Mesa DRI swrast", ""})
    EXPECT_TRUE(IsSoftwareGlRenderer(soft)) << soft;
  for (const char* hard : {"Mesa Intel(R) UHD Graphics 620 (KBL GT2)", "AMD Radeon RX 6600 (navi23, LLVM 15.0.6, DRM 3.49)",
                           "NVIDIA GeForce GTX 1060 6GB/PCIe/SSE2"})
    EXPECT_FALSE(IsSoftwareGlRenderer(hard)) << hard;
}

// Names the video sink (nullptr or "": the program's own choice) for as long
// as it lives, and gives the variable back as it was, also when a failed
// assertion ends the test early.
class TSinkChoice {
 public:
  explicit TSinkChoice(const char* sink)
      : had_(qEnvironmentVariableIsSet("KELVARA_VIDEOSINK")), before_(qgetenv("KELVARA_VIDEOSINK")) {
    Set(sink);
  }
  ~TSinkChoice() {
    if (had_) qputenv("KELVARA_VIDEOSINK", before_);
    else qunsetenv("KELVARA_VIDEOSINK");
  }
  void Set(const char* sink) {
    if (sink && *sink) qputenv("KELVARA_VIDEOSINK", sink);
    else qunsetenv("KELVARA_VIDEOSINK");
  }

 private:
  bool had_;
  QByteArray before_;
};

TEST(VideoSinkChoice, TheEnvironmentNamesTheSinkForDiagnosis) {
  gst_init(nullptr, nullptr);
  TSinkChoice choice("fakesink");
  EXPECT_EQ(VideoSinkFactory(false), "fakesink");
  // A name no element has is not taken: the usual choice stands.
  choice.Set("nosuchsink");
  EXPECT_NE(VideoSinkFactory(false), "nosuchsink");
}

// ---- the picture on a real X display

// SMPTE bars, by colour class (red, green, blue each on or off): the seven
// bars of the upper two thirds and the strip just below them.
const char* const kTopBars[7] = {"111", "110", "011", "010", "101", "100", "001"};
const char* const kStrip[7] = {"001", "000", "101", "000", "011", "000", "111"};
constexpr double kTopY = 0.33, kStripY = 0.708;

QByteArray ClassOf(QRgb c) {
  QByteArray out;
  for (int v : {qRed(c), qGreen(c), qBlue(c)}) out += v > 128 ? '1' : v < 64 ? '0' : '?';
  return out;
}

// The factory of the graph's video sink.
QByteArray VideoSinkOf(const ComPtr<IGraphBuilder>& graph) {
  auto gst = std::dynamic_pointer_cast<TGstGraph>(graph);
  QByteArray name;
  GstIterator* it = gst_bin_iterate_recurse(GST_BIN(gst->Pipeline()));
  GValue item = G_VALUE_INIT;
  while (name.isEmpty() && gst_iterator_next(it, &item) == GST_ITERATOR_OK) {
    auto* e = GST_ELEMENT(g_value_get_object(&item));
    if (GST_IS_VIDEO_SINK(e) && gst_element_get_factory(e))
      name = gst_plugin_feature_get_name(GST_PLUGIN_FEATURE(gst_element_get_factory(e)));
    g_value_reset(&item);
  }
  g_value_unset(&item);
  gst_iterator_free(it);
  // The OpenGL sink is a bin round the element that draws.
  if (name.endsWith("element")) name.chop(7);
  return name;
}

bool OnX() { return QGuiApplication::platformName() == QLatin1String("xcb"); }

// The element that draws the graph's pictures.
GstElement* DrawerOf(const ComPtr<IGraphBuilder>& graph) {
  GstElement* drawer = nullptr;
  GstIterator* it = gst_bin_iterate_recurse(GST_BIN(std::dynamic_pointer_cast<TGstGraph>(graph)->Pipeline()));
  GValue item = G_VALUE_INIT;
  while (!drawer && gst_iterator_next(it, &item) == GST_ITERATOR_OK) {
    auto* e = GST_ELEMENT(g_value_get_object(&item));
    if (GST_IS_VIDEO_SINK(e)) drawer = e;
    g_value_reset(&item);
  }
  g_value_unset(&item);
  gst_iterator_free(it);
  return drawer;
}

// The graph's video shown in `panel`, a native window of `size` put on
// screen first, paused there.
void ShowPausedIn(const ComPtr<IGraphBuilder>& graph, QWidget& panel, QSize size, ComPtr<IVideoWindow>& window,
                  ComPtr<IMediaControl>& control) {
  panel.setAttribute(Qt::WA_NativeWindow);
  panel.setGeometry(QRect(QPoint(100, 100), size));
  panel.show();
  ASSERT_EQ(QueryInterface(graph, window), S_OK);
  ASSERT_EQ(window->put_Owner(&panel), S_OK);
  ASSERT_EQ(window->put_Visible(OATRUE), S_OK);
  ASSERT_EQ(QueryInterface(graph, control), S_OK);
  ASSERT_EQ(control->Pause(), S_OK);
}

// The cases run in a child process on the X display (the suite itself runs
// offscreen); the parent only starts it and reads its verdict.
TEST(VideoSinkOnDisplay, EverySinkShowsTheRightPicture) {
  if (OnX()) GTEST_SKIP() << "this is the child";
  if (qEnvironmentVariableIsEmpty("DISPLAY")) GTEST_SKIP() << "no X server";
  QProcess child;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("QT_QPA_PLATFORM", "xcb");
  child.setProcessEnvironment(env);
  child.setProcessChannelMode(QProcess::MergedChannels);
  child.start(QCoreApplication::applicationFilePath(),
              {"--gtest_filter=*VideoSinkPixels.*:VideoSinkForced.*:VideoSinkRemoved.*:VideoSinkOwnSize.*"});
  ASSERT_TRUE(child.waitForFinished(240000));
  const QString out = QString::fromLocal8Bit(child.readAll());
  EXPECT_EQ(child.exitCode(), 0) << out.toStdString();
  EXPECT_TRUE(out.contains("[  PASSED  ]")) << out.toStdString();
  EXPECT_FALSE(out.contains("[  SKIPPED ]")) << out.toStdString();
}

class VideoSinkPixels : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    if (!OnX()) GTEST_SKIP() << "needs an X display";
    gst_init(nullptr, nullptr);
    ASSERT_TRUE(dir_.isValid());
    clip_ = dir_.filePath("bars.avi");
    GError* error = nullptr;
    const QByteArray line =
        "videotestsrc num-buffers=25 pattern=smpte ! video/x-raw,width=320,height=240,framerate=25/1 "
        "! avenc_mpeg4 bitrate=4000000 ! avimux ! filesink location=" + clip_.toLocal8Bit();
    GstElement* p = gst_parse_launch(line.constData(), &error);
    ASSERT_TRUE(p && !error);
    gst_element_set_state(p, GST_STATE_PLAYING);
    GstBus* bus = gst_element_get_bus(p);
    GstMessage* m = gst_bus_timed_pop_filtered(bus, 30 * GST_SECOND, GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    ASSERT_TRUE(m && GST_MESSAGE_TYPE(m) == GST_MESSAGE_EOS);
    gst_message_unref(m);
    gst_object_unref(bus);
    gst_element_set_state(p, GST_STATE_NULL);
    gst_object_unref(p);
    choice_.emplace(GetParam());
  }
  void TearDown() override { choice_.reset(); }

  // Waits until the panel shows the bars filling `picture` (in panel
  // coordinates, clipped by the panel) and the panel's own colour around it;
  // returns what was wrong at the deadline, or nothing.
  QString WaitForPicture(QWidget& panel, const QRect& picture) {
    QString wrong;
    QElapsedTimer t;
    t.start();
    do {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
      const QImage shot = panel.screen()->grabWindow(panel.winId()).toImage();
      wrong = Check(shot, picture);
    } while (!wrong.isEmpty() && t.elapsed() < 15000);
    return wrong;
  }
  static QString Check(const QImage& shot, const QRect& picture) {
    const QRect seen = shot.rect().adjusted(2, 2, -2, -2);
    QString wrong;
    int checked = 0;
    for (int i = 0; i < 7; ++i) {
      for (auto [y, expected] : {std::pair{kTopY, kTopBars[i]}, std::pair{kStripY, kStrip[i]}}) {
        const QPoint at(picture.x() + int((i + 0.5) / 7 * picture.width()), picture.y() + int(y * picture.height()));
        if (!seen.contains(at)) continue;
        ++checked;
        const QByteArray got = ClassOf(shot.pixel(at));
        if (got != expected)
          wrong += QString(" bar %1 at (%2,%3): %4 not %5").arg(i).arg(at.x()).arg(at.y()).arg(got, expected);
      }
    }
    if (checked < 3) wrong += QString(" only %1 points of the picture are inside the panel").arg(checked);
    // Outside the picture the panel shows through.
    for (QPoint at : {QPoint(picture.left() - 4, picture.center().y()), QPoint(picture.right() + 4, picture.center().y()),
                      QPoint(picture.center().x(), picture.top() - 4), QPoint(picture.center().x(), picture.bottom() + 4)})
      if (seen.contains(at) && ClassOf(shot.pixel(at)) != "?00" && ClassOf(shot.pixel(at)) != "100")
        wrong += QString(" around (%1,%2): %3").arg(at.x()).arg(at.y()).arg(ClassOf(shot.pixel(at)));
    return wrong;
  }

  QTemporaryDir dir_;
  QString clip_;
  std::optional<TSinkChoice> choice_;
};

TEST_P(VideoSinkPixels, PictureFillsTheRectangleItIsGiven) {
  ComPtr<IGraphBuilder> graph;
  ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, graph), S_OK);
  ASSERT_EQ(graph->RenderFile(clip_, nullptr), S_OK);
  if (*GetParam()) {
    ASSERT_EQ(VideoSinkOf(graph), GetParam());
  }

  QWidget panel;
  QPalette palette;
  palette.setColor(QPalette::Window, QColor(160, 20, 20));  // a colour the bars do not have
  panel.setPalette(palette);
  panel.setAutoFillBackground(true);
  ComPtr<IVideoWindow> window;
  ComPtr<IMediaControl> control;
  ASSERT_NO_FATAL_FAILURE(ShowPausedIn(graph, panel, QSize(400, 300), window, control));

  // Filled (any aspect), 50 % in the middle, zoomed twice and moved past the
  // panel's top left corner, then past its bottom right one, letterboxed to
  // 16:9, and filled again.
  for (const QRect& r : {QRect(0, 0, 400, 300), QRect(120, 90, 160, 120), QRect(-200, -100, 800, 600),
                         QRect(-20, -30, 800, 600), QRect(0, 37, 400, 225), QRect(0, 0, 400, 300)}) {
    ASSERT_EQ(window->SetWindowPosition(r.x(), r.y(), r.width(), r.height()), S_OK);
    const QString wrong = WaitForPicture(panel, r);
    EXPECT_TRUE(wrong.isEmpty()) << GetParam() << " in " << r.x() << "," << r.y() << " " << r.width() << "x"
                                 << r.height() << ":" << wrong.toStdString();
  }
  // Playing on keeps the picture where it is.
  ASSERT_EQ(control->Run(), S_OK);
  const QString wrong = WaitForPicture(panel, QRect(0, 0, 400, 300));
  EXPECT_TRUE(wrong.isEmpty()) << GetParam() << " playing:" << wrong.toStdString();
  control->Stop();
  window->put_Visible(OAFALSE);
  window->put_Owner(nullptr);
}

// The overlay mixer in the graph ("ForceOverlay") takes an overlay sink even
// where OpenGL runs in software, as under Xvfb.
TEST(VideoSinkForced, OverlayMixerTakesAnOverlaySink) {
  if (!OnX()) GTEST_SKIP() << "needs an X display";
  ASSERT_TRUE(TestClips().Ok());
  TSinkChoice choice(nullptr);
  ComPtr<IGraphBuilder> graph;
  ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, graph), S_OK);
  ComPtr<IBaseFilter> mixer;
  ASSERT_EQ(CoCreateInstance(CLSID_OverlayMixer, mixer), S_OK);
  ASSERT_EQ(graph->AddFilter(mixer, "OverlayMixer2"), S_OK);
  ASSERT_EQ(graph->RenderFile(TestClips().Avi, nullptr), S_OK);
  const QByteArray sink = VideoSinkOf(graph);
  EXPECT_TRUE(sink == "xvimagesink" || sink == "glimagesink") << sink.constData();
}

void RenderTestAvi(ComPtr<IGraphBuilder>& graph) {
  ASSERT_TRUE(TestClips().Ok());
  ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, graph), S_OK);
  ASSERT_EQ(graph->RenderFile(TestClips().Avi, nullptr), S_OK);
}

// The decoder benchmark takes the video chain out of a running graph while
// the movie panel stays on screen: the next expose of the panel must not call
// into the sink that was freed with the chain.
TEST(VideoSinkRemoved, ExposingThePanelAfterTheSinkWasFreedDrawsNothing) {
  if (!OnX()) GTEST_SKIP() << "needs an X display";
  TSinkChoice choice("ximagesink");
  ComPtr<IGraphBuilder> graph;
  ASSERT_NO_FATAL_FAILURE(RenderTestAvi(graph));
  QWidget panel;
  ComPtr<IVideoWindow> window;
  ComPtr<IMediaControl> control;
  ASSERT_NO_FATAL_FAILURE(ShowPausedIn(graph, panel, QSize(320, 240), window, control));
  ASSERT_EQ(window->SetWindowPosition(0, 0, 320, 240), S_OK);
  QCoreApplication::processEvents(QEventLoop::AllEvents, 200);

  // The video renderer is one filter: a bin round the element that draws.
  GstElement* drawer = DrawerOf(graph);
  ASSERT_TRUE(drawer);
  GWeakRef gone;
  g_weak_ref_init(&gone, drawer);
  ComPtr<IBaseFilter> sink;
  ComPtr<IEnumFilters> filters;
  ASSERT_EQ(graph->EnumFilters(filters), S_OK);
  for (ComPtr<IBaseFilter> f; !sink && filters->Next(f) == S_OK;)
    if (auto g = std::dynamic_pointer_cast<TGstFilter>(f);
        g && (g->Element() == drawer || gst_object_has_as_ancestor(GST_OBJECT(drawer), GST_OBJECT(g->Element()))))
      sink = f;
  ASSERT_TRUE(sink);
  ASSERT_EQ(control->Stop(), S_OK);
  ASSERT_EQ(graph->RemoveFilter(sink), S_OK);
  sink.reset();
  filters.reset();
  QCoreApplication::processEvents(QEventLoop::AllEvents, 200);
  GstElement* still = static_cast<GstElement*>(g_weak_ref_get(&gone));
  EXPECT_EQ(still, nullptr) << "the sink outlived its removal, so this test shows nothing";
  if (still) gst_object_unref(still);
  g_weak_ref_clear(&gone);

  // Resizes and repaints reach the video window's expose path.
  TVideoWidget* video = std::dynamic_pointer_cast<TGstGraph>(graph)->VideoWidget();
  ASSERT_TRUE(video && video->OnExpose);
  int exposed = 0;
  video->OnExpose = [&exposed, inner = video->OnExpose] {
    ++exposed;
    inner();
  };
  for (int w : {300, 340, 320}) {
    panel.resize(w, 240);
    window->SetWindowPosition(0, 0, w, 240);
    panel.repaint();
    QCoreApplication::processEvents(QEventLoop::AllEvents, 100);
  }
  panel.hide();
  panel.show();
  QCoreApplication::processEvents(QEventLoop::AllEvents, 200);
  EXPECT_GT(exposed, 0);
  window->put_Visible(OAFALSE);
  window->put_Owner(nullptr);
}

GstPadProbeReturn CountAllocation(GstPad*, GstPadProbeInfo* info, gpointer count) {
  if (GST_QUERY_TYPE(GST_PAD_PROBE_INFO_QUERY(info)) == GST_QUERY_ALLOCATION) ++*static_cast<int*>(count);
  return GST_PAD_PROBE_OK;
}

// A sink that cannot scale makes its pictures for its window's size. A film
// shown at its own size is drawn, exposed and played on in the pictures made
// for it at the start: none is asked for again.
TEST(VideoSinkOwnSize, AWindowAtTheFilmsSizeKeepsTheFirstPictures) {
  if (!OnX()) GTEST_SKIP() << "needs an X display";
  TSinkChoice choice("ximagesink");
  ComPtr<IGraphBuilder> graph;
  ASSERT_NO_FATAL_FAILURE(RenderTestAvi(graph));
  ASSERT_EQ(VideoSinkOf(graph), "ximagesink");
  GstElement* drawer = DrawerOf(graph);
  ASSERT_TRUE(drawer);
  int asked = 0;
  GstPad* in = gst_element_get_static_pad(drawer, "sink");
  gst_pad_add_probe(in, GST_PAD_PROBE_TYPE_QUERY_DOWNSTREAM, &CountAllocation, &asked, nullptr);
  gst_object_unref(in);

  QWidget panel;
  ComPtr<IVideoWindow> window;
  ComPtr<IMediaControl> control;
  const QSize kFilmSize(TTestClips::AviWidth, TTestClips::AviHeight);
  ASSERT_NO_FATAL_FAILURE(ShowPausedIn(graph, panel, kFilmSize, window, control));
  TVideoWidget* video = std::dynamic_pointer_cast<TGstGraph>(graph)->VideoWidget();
  ASSERT_TRUE(video && video->OnExpose);
  int exposed = 0;
  video->OnExpose = [&exposed, inner = video->OnExpose] {
    ++exposed;
    inner();
  };
  ASSERT_EQ(window->SetWindowPosition(0, 0, TTestClips::AviWidth, TTestClips::AviHeight), S_OK);
  EXPECT_TRUE(PumpUntil([&] { return exposed > 0; }));
  ASSERT_EQ(control->Run(), S_OK);
  ComPtr<IMediaSeeking> seeking;
  ASSERT_EQ(QueryInterface(graph, seeking), S_OK);
  REFERENCE_TIME position = 0;
  EXPECT_TRUE(PumpUntil([&] { return SUCCEEDED(seeking->GetCurrentPosition(position)) && position > 5000000; }));
  EXPECT_EQ(asked, 0);
  control->Stop();
  window->put_Visible(OAFALSE);
  window->put_Owner(nullptr);
}

// "" is the choice for the display the test runs on (under Xvfb: the plain X
// sink with the graph's scaling); the OpenGL sink runs there in software.
INSTANTIATE_TEST_SUITE_P(Sinks, VideoSinkPixels, ::testing::Values("", "ximagesink", "glimagesink"),
                         [](const auto& info) {
                           return std::string(*info.param ? info.param : "chosen");
                         });

}  // namespace
