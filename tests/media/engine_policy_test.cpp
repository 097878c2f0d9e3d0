// The engine against the fake platform: call orders, the result check and
// the failure policy for every labelled call, the event drain, the finders.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QWidget>
#include <functional>

#include "media/DShowHlp.h"
#include "platform/media/fakemedia.h"
#include "platform/system/exceptions.h"
#include "tests/support/fake_msgbox.h"

namespace {

class EnginePolicy : public ::testing::Test {
 protected:
  void SetUp() override {
    engine.ShowInfoText = [this](const QString& s) { info << s; };
    engine.OnErrors = [this] { return onErrors; };
    engine.OnComplete = [this](TDirectShowHelper*) { ++completions; };
  }
  void Open() {
    engine.BuildGraph();
    ASSERT_EQ(engine.Graph->RenderFile(QStringLiteral("/clip.avi"), nullptr), S_OK);
    engine.ReadVideoInfo();
  }
  std::shared_ptr<TFakeGraph> Graph() { return platform.LastGraph.lock(); }
  void DeliverPosted() { QCoreApplication::sendPostedEvents(); }

  TFakeMediaPlatform platform;
  // Declared before the engine: its destructor still reports through them.
  QStringList info;
  int onErrors = 0;
  int completions = 0;
  TDirectShowHelper engine;
};

TEST_F(EnginePolicy, BuildGraphCallsInOrder) {
  engine.ForceOverlay = true;
  engine.BuildGraph();
  EXPECT_EQ(platform.Calls,
            QStringList({"Create(CaptureGraphBuilder2)", "Create(FilterGraph)", "Builder.SetFiltergraph",
                         "Graph.QueryInterface(IMediaControl)", "Graph.QueryInterface(IVideoWindow)",
                         "Graph.QueryInterface(IMediaSeeking)", "Graph.QueryInterface(IMediaEventEx)",
                         "MediaSeeking.SetTimeFormat", "MediaEventEx.SetNotifyWindow",
                         "Create(OverlayMixer)", "Graph.AddFilter"}));
  ASSERT_TRUE(Graph());
  EXPECT_EQ(Graph()->notifyTarget, engine.NotifyWindow.data());
  EXPECT_EQ(Graph()->notifyMessage, 0x400);
  EXPECT_TRUE(Graph()->FilterNamed("OverlayMixer2"));
}

TEST_F(EnginePolicy, FreeGraphStopsHidesUnhooksThenEmptiesTheGraph) {
  Open();
  engine.AttachVideoWindow(nullptr);
  auto graph = Graph();
  platform.Calls.clear();
  engine.FreeGraph();
  ASSERT_GE(platform.Calls.size(), 5);
  EXPECT_EQ(platform.Calls.mid(0, 5),
            QStringList({"MediaControl.Stop", "VideoWindow.put_Visible", "VideoWindow.put_Owner",
                         "MediaEventEx.SetNotifyWindow", "Graph.EnumFilters"}));
  EXPECT_TRUE(graph->filters.empty());
  EXPECT_EQ(graph->visible, OAFALSE);
  EXPECT_EQ(graph->notifyTarget, nullptr);
  // Each removal is followed by a fresh walk from the first remaining filter.
  // Source, splitter, video decoder and renderer, audio decoder and renderer.
  EXPECT_EQ(platform.Calls.count("Graph.RemoveFilter"), 6);
  EXPECT_EQ(platform.Calls.count("FilterEnum.Reset"), 6);
  // Connected pins are unhooked partner first: 5 links, two calls each.
  EXPECT_EQ(platform.Calls.count("Graph.Disconnect"), 10);
  EXPECT_FALSE(engine.Builder || engine.Graph || engine.MediaControl || engine.MediaSeeking ||
               engine.MediaEventEx || engine.VideoWindow);
  platform.Calls.clear();
  engine.FreeGraph();
  EXPECT_TRUE(platform.Calls.isEmpty());
}

TEST_F(EnginePolicy, NothingHappensWithoutAGraph) {
  engine.Run();
  engine.Pause();
  engine.Stop();
  engine.SetRate(2.0);
  engine.SetPosition(5);
  EXPECT_EQ(engine.GetDuration(), 0);
  EXPECT_EQ(engine.GetPosition(), 0);
  engine.AdjustDivXPicture(1, 0, 0);
  EXPECT_FALSE(engine.FindVideoDecoder());
  EXPECT_EQ(engine.CountAudioRenderers(), 0);
  EXPECT_TRUE(platform.Calls.isEmpty());
  EXPECT_TRUE(info.isEmpty());
}

TEST_F(EnginePolicy, SeekClampsAndAsksForTheExactTime) {
  Open();
  engine.SetPosition(platform.Duration + 1);
  EXPECT_EQ(Graph()->position, platform.Duration);
  engine.SetPosition(-1);
  EXPECT_EQ(Graph()->position, 0);
  engine.SetPosition(25000000);
  EXPECT_EQ(Graph()->position, 25000000);
  EXPECT_EQ(Graph()->lastSeekFlags, AM_SEEKING_AbsolutePositioning);
}

TEST_F(EnginePolicy, VideoFactsAndWindow) {
  platform.AudioStreams = 2;
  Open();
  EXPECT_TRUE(engine.HasVideo);
  EXPECT_TRUE(engine.HasAudio);
  EXPECT_EQ(engine.VideoWidth, 320);
  EXPECT_EQ(engine.CountAudioRenderers(), 2);
  QWidget panel;
  engine.AttachVideoWindow(&panel);
  EXPECT_EQ(Graph()->style, 0x42000000);
  EXPECT_EQ(Graph()->owner, &panel);
  EXPECT_EQ(Graph()->visible, OATRUE);
  EXPECT_EQ(Graph()->drain, &panel);
  engine.FreeGraph();
  platform.Video = false;
  platform.AudioStreams = 1;
  Open();
  EXPECT_FALSE(engine.HasVideo);
  EXPECT_EQ(engine.VideoWidth, 400);
  EXPECT_EQ(engine.VideoHeight, 250);
  EXPECT_TRUE(info.isEmpty()) << info.join('\n').toStdString();
}

TEST_F(EnginePolicy, DrainCallsOnCompleteOncePerNotification) {
  Open();
  Graph()->PostEvents({0x0E, EC_COMPLETE, 0x0D, EC_COMPLETE});
  DeliverPosted();
  EXPECT_EQ(completions, 1);
  EXPECT_EQ(Graph()->eventsFreed, 4);
  EXPECT_TRUE(Graph()->events.empty());
  Graph()->PostEvents({0x0E, 0x0D});
  DeliverPosted();
  EXPECT_EQ(completions, 1);
  EXPECT_EQ(Graph()->eventsFreed, 6);
}

TEST_F(EnginePolicy, CompletionHandlerMayOpenTheNextFile) {
  Open();
  int opened = 0;
  engine.OnComplete = [&](TDirectShowHelper* e) {
    e->FreeGraph();
    e->BuildGraph();
    e->Graph->RenderFile(QStringLiteral("/next.avi"), nullptr);
    ++opened;
  };
  auto first = Graph();
  first->PostEvents({EC_COMPLETE});
  // A notification of the first graph still queued must not drain the second.
  first->PostEvents({});
  DeliverPosted();
  EXPECT_EQ(opened, 1);
  EXPECT_NE(Graph(), first);
  Graph()->events.push_back(EC_COMPLETE);
  DeliverPosted();
  EXPECT_EQ(Graph()->events.size(), 1u);
}

TEST_F(EnginePolicy, FindersAndDownstreamRemoval) {
  Open();
  ComPtr<IBaseFilter> video = engine.FindVideoDecoder();
  ASSERT_TRUE(video);
  EXPECT_EQ(engine.GetFilterName(video), "Video Decoder");
  EXPECT_EQ(engine.GetFilterName(engine.FindAudioDecoder()), "Audio Decoder 1");
  EXPECT_EQ(engine.GetFilterName(engine.GetDownstreamFilter(video)), "Video Renderer");
  EXPECT_FALSE(engine.GetDownstreamFilter(engine.FindVideoRenderer()));
  engine.RemoveDownstream(video);
  EXPECT_FALSE(Graph()->FilterNamed("Video Decoder"));
  EXPECT_FALSE(Graph()->FilterNamed("Video Renderer"));
  EXPECT_TRUE(Graph()->FilterNamed("Audio Renderer 1"));
  EXPECT_FALSE(engine.FindVideoDecoder());
}

TEST_F(EnginePolicy, PropertySheets) {
  TFakeMessageBoxes boxes;
  Open();
  EXPECT_FALSE(engine.HasPropertyPages(nullptr));
  EXPECT_FALSE(engine.HasPropertyPages(engine.FindVideoRenderer()));
  EXPECT_TRUE(engine.HasPropertyPages(engine.FindVideoDecoder()));
  engine.ShowFilterProperties(engine.FindVideoRenderer());
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].caption, "Kelvara");
  EXPECT_EQ(boxes.shown[0].text, "Нет свойств");
  EXPECT_EQ(boxes.shown[0].icon, TMsgIcon::Warning);
  engine.ShowFilterProperties(engine.FindVideoDecoder());
  EXPECT_EQ(Graph()->FilterNamed("Video Decoder")->sheetsShown, 1);
  EXPECT_TRUE(info.isEmpty());
}

TEST_F(EnginePolicy, PictureControlsClampAndReport) {
  Open();
  auto decoder = Graph()->FilterNamed("Video Decoder");
  decoder->picture[0] = 127;
  engine.AdjustDivXPicture(1, 0, 0);
  EXPECT_EQ(decoder->picture[0], 127);
  engine.AdjustDivXPicture(0, -1, 0);
  engine.AdjustDivXPicture(0, 0, 1);
  EXPECT_EQ(info, QStringList({"Яркость: 127", "Контраст: -1", "Насыщенность: 1"}));
  decoder->divx = false;
  engine.AdjustDivXPicture(0, 0, 1);
  EXPECT_EQ(info.last(), "No DivX interface found.");
}

// Every labelled call: the failure writes the text and raises (OnErrors 0)
// or writes it and lets the operation go on (OnErrors 1).
struct TLabelCase {
  const char* label;
  const char* call;
  int skip;
  std::function<void(TDirectShowHelper&)> run;
};

void Build(TDirectShowHelper& e) { e.BuildGraph(); }
void BuildOverlay(TDirectShowHelper& e) {
  e.ForceOverlay = true;
  e.BuildGraph();
}

class EngineLabels : public EnginePolicy, public ::testing::WithParamInterface<TLabelCase> {};

TEST_P(EngineLabels, FailureWritesTheTextThenRaisesOrContinues) {
  const TLabelCase& c = GetParam();
  const QString expected = QStringLiteral("Ошибка: 0x80004005 (Unspecified error.)\r\nScope:[%1]").arg(c.label);
  int after[2] = {0, 0};
  for (int policy : {0, 1}) {
    SCOPED_TRACE(policy);
    onErrors = policy;
    engine.FreeGraph();
    info.clear();
    platform.ClearFailures();
    // The graph-building cases start from nothing; the others from an open file.
    const bool builds = c.run.target<void (*)(TDirectShowHelper&)>() != nullptr;
    if (!builds) Open();
    platform.Calls.clear();
    platform.FailOn(c.call, E_FAIL, c.skip);
    bool raised = false;
    try {
      c.run(engine);
    } catch (const EPlatformError& e) {
      raised = true;
      EXPECT_EQ(e.Message, expected);
    }
    EXPECT_EQ(raised, policy == 0);
    ASSERT_FALSE(info.isEmpty());
    EXPECT_EQ(info.first(), expected);
    int failedAt = -1, seen = 0;
    for (int i = 0; i < platform.Calls.size(); ++i)
      if (platform.Calls[i] == c.call && seen++ == c.skip) failedAt = i;
    ASSERT_GE(failedAt, 0);
    after[policy] = int(platform.Calls.size()) - failedAt - 1;
  }
  EXPECT_GT(after[1], after[0]) << "the operation did not go on after the failure";
}

const TLabelCase kLabels[] = {
    {"CoCreateInstance(Builder", "Create(CaptureGraphBuilder2)", 0, Build},
    {"CoCreateInstance(FilterGraph)", "Create(FilterGraph)", 0, Build},
    {"Builder.SetFilterGraph", "Builder.SetFiltergraph", 0, Build},
    {"Graph.QueryInterface(IMediaControl)", "Graph.QueryInterface(IMediaControl)", 0, Build},
    {"Graph.QueryInterface(IVideoWindow)", "Graph.QueryInterface(IVideoWindow)", 0, Build},
    {"Graph.QueryInterface(IMediaSeeking)", "Graph.QueryInterface(IMediaSeeking)", 0, Build},
    {"Graph.QueryInterface(IMediaEventEx)", "Graph.QueryInterface(IMediaEventEx)", 0, Build},
    {"MediaSeeking.SetTimeFormat", "MediaSeeking.SetTimeFormat", 0, Build},
    {"MediaEventEx.SetNotifyWindow", "MediaEventEx.SetNotifyWindow", 0, BuildOverlay},
    {"CoCreateInstance(Overlay)", "Create(OverlayMixer)", 0, BuildOverlay},
    {"Graph.EnumFilters", "Graph.EnumFilters", 0,
     [](TDirectShowHelper& e) { e.CountAudioRenderers(); e.GetPosition(); }},
    {"Filter.EnumPins", "Filter.EnumPins", 0, [](TDirectShowHelper& e) { e.FreeGraph(); }},
    {"Pin.ConnectedTo", "Pin.ConnectedTo", 0, [](TDirectShowHelper& e) { e.FreeGraph(); }},
    {"Graph.Disconnect(cPin)", "Graph.Disconnect", 0, [](TDirectShowHelper& e) { e.FreeGraph(); }},
    {"Graph.Disconnect(Pin)", "Graph.Disconnect", 1, [](TDirectShowHelper& e) { e.FreeGraph(); }},
    {"Graph.RemoveFilter", "Graph.RemoveFilter", 0, [](TDirectShowHelper& e) { e.FreeGraph(); }},
    {"FEnum.Reset", "FilterEnum.Reset", 0, [](TDirectShowHelper& e) { e.FreeGraph(); }},
    {"MediaControl.Run", "MediaControl.Run", 0, [](TDirectShowHelper& e) { e.Run(); e.GetPosition(); }},
    {"MediaControl.Pause", "MediaControl.Pause", 0, [](TDirectShowHelper& e) { e.Pause(); e.GetPosition(); }},
    {"MediaControl.Stop", "MediaControl.Stop", 0, [](TDirectShowHelper& e) { e.Stop(); e.GetPosition(); }},
    {"MediaSeeking.GetDuration", "MediaSeeking.GetDuration", 0, [](TDirectShowHelper& e) { e.SetPosition(5); }},
    {"MediaSeeking.GetCurrentPosition", "MediaSeeking.GetCurrentPosition", 0,
     [](TDirectShowHelper& e) { e.GetPosition(); e.GetDuration(); }},
    {"MediaSeeking.SetPositions", "MediaSeeking.SetPositions", 0,
     [](TDirectShowHelper& e) { e.SetPosition(5); e.GetPosition(); }},
    {"MediaSeeking.SetRate", "MediaSeeking.SetRate", 0, [](TDirectShowHelper& e) { e.SetRate(2); e.Run(); }},
    {"VideoWindow.Put_WindowStyle", "VideoWindow.put_WindowStyle", 0,
     [](TDirectShowHelper& e) { e.AttachVideoWindow(nullptr); }},
    {"VideoWindow.Put_Owner", "VideoWindow.put_Owner", 0, [](TDirectShowHelper& e) { e.AttachVideoWindow(nullptr); }},
    {"VideoWindow.Put_Visible", "VideoWindow.put_Visible", 0,
     [](TDirectShowHelper& e) { e.AttachVideoWindow(nullptr); }},
    {"VideoWindow.Put_MessageDrain", "VideoWindow.put_MessageDrain", 0,
     [](TDirectShowHelper& e) { e.AttachVideoWindow(nullptr); e.GetPosition(); }},
    {"Graph.QueryInterface(IBasicVideo)", "Graph.QueryInterface(IBasicVideo)", 0,
     [](TDirectShowHelper& e) { e.ReadVideoInfo(); }},
    {"MediaEventEx.FreeEventParams", "MediaEventEx.FreeEventParams", 0,
     [](TDirectShowHelper& e) {
       std::dynamic_pointer_cast<TFakeGraph>(e.Graph)->events = {EC_COMPLETE, EC_COMPLETE};
       e.NotifyWndProc(0x400);
     }},
    {"Filter.QueryInfo", "Filter.QueryFilterInfo", 0,
     [](TDirectShowHelper& e) { e.GetFilterName(e.FindVideoDecoder()); e.GetPosition(); }},
    {"Obj.QueryInterface(IID_IPersist)", "Filter.QueryInterface(IPersist)", 0,
     [](TDirectShowHelper& e) { e.CountAudioRenderers(); }},
    {"P.GetClassID", "Filter.GetClassID", 0, [](TDirectShowHelper& e) { e.CountAudioRenderers(); }},
    {"Pins.Reset", "PinEnum.Reset", 0, [](TDirectShowHelper& e) { e.FindVideoDecoder(); }},
    {"Pin.QueryDirection", "Pin.QueryDirection", 0, [](TDirectShowHelper& e) { e.FindVideoDecoder(); }},
    {"Pin.ConnectedTo(CPin)", "Pin.ConnectedTo", 0,
     [](TDirectShowHelper& e) { e.GetDownstreamFilter(e.FindVideoDecoder()); e.GetPosition(); }},
    {"PInfo.QueryPinInfo", "Pin.QueryPinInfo", 0,
     [](TDirectShowHelper& e) { e.GetDownstreamFilter(e.FindVideoDecoder()); e.GetPosition(); }},
    {"Graph.QueryInterface(IID_IVideoFrameStep)", "Graph.QueryInterface(IVideoFrameStep)", 0,
     [](TDirectShowHelper& e) { e.FrameStep(1); e.GetPosition(); }},
    {"VFS.Step", "FrameStep.Step", 0, [](TDirectShowHelper& e) { e.FrameStep(1); e.GetPosition(); }},
    {"Filter.QueryInterface(IID_ISpecifyPropertyPages)", "Filter.QueryInterface(ISpecifyPropertyPages)", 0,
     [](TDirectShowHelper& e) { e.ShowFilterProperties(e.FindVideoDecoder()); e.GetPosition(); }},
    {"Specify.GetPages", "Specify.GetPages", 0,
     [](TDirectShowHelper& e) { e.ShowFilterProperties(e.FindVideoDecoder()); }},
    {"OleCreatePropertyFrame", "Specify.ShowPropertyFrame", 0,
     [](TDirectShowHelper& e) { e.ShowFilterProperties(e.FindVideoDecoder()); e.GetPosition(); }},
    {"DivX.GetBrightness", "DivX.get_Brightness", 0, [](TDirectShowHelper& e) { e.AdjustDivXPicture(1, 0, 0); }},
    {"DivX.PutContrast", "DivX.put_Contrast", 0,
     [](TDirectShowHelper& e) { e.AdjustDivXPicture(0, 1, 0); e.GetPosition(); }},
    {"DivX.GetSaturation", "DivX.get_Saturation", 0, [](TDirectShowHelper& e) { e.AdjustDivXPicture(0, 0, 1); }},
};

INSTANTIATE_TEST_SUITE_P(AllLabels, EngineLabels, ::testing::ValuesIn(kLabels),
                         [](const ::testing::TestParamInfo<TLabelCase>& i) {
                           QString n = QString::fromLatin1(i.param.label);
                           for (QChar& ch : n)
                             if (!ch.isLetterOrNumber()) ch = '_';
                           return n.toStdString() + "_" + std::to_string(i.index);
                         });

}  // namespace

namespace {

TEST_F(EnginePolicy, EachFailureReportsItsOwnText) {
  onErrors = 1;
  // The platform explains one failure of a file...
  RecordPlatformErrorText(VFW_E_TIMEOUT, QStringLiteral("Opening /films/first.avi timed out."));
  engine.Check(VFW_E_TIMEOUT, QStringLiteral("Graph.RenderFile"));
  ASSERT_EQ(info.size(), 1);
  EXPECT_TRUE(info[0].contains("first.avi")) << info[0].toStdString();
  // ...and a later failure with the same code, which it did not explain,
  // does not borrow that file's name.
  engine.Check(VFW_E_TIMEOUT, QStringLiteral("MediaControl.Pause"));
  ASSERT_EQ(info.size(), 2);
  EXPECT_FALSE(info[1].contains("first.avi")) << info[1].toStdString();
  EXPECT_TRUE(info[1].contains("The operation timed out.")) << info[1].toStdString();
  // A text recorded by an earlier graph and never reported is not the next
  // file's either.
  RecordPlatformErrorText(E_FAIL, QStringLiteral("Internal data stream error in first.avi"));
  Open();
  EXPECT_FALSE(engine.ErrorText(E_FAIL).contains("first.avi"));
}

}  // namespace

namespace {

// A stream whose length nobody knows plays and seeks without an end to clamp
// to, and reading its length is no failure.
TEST_F(EnginePolicy, UnknownLengthSeeksWithoutAnEndClamp) {
  platform.Duration = 0;
  Open();
  EXPECT_NO_THROW(EXPECT_EQ(engine.GetDuration(), 0));
  engine.SetPosition(30000000);
  EXPECT_EQ(Graph()->position, 30000000);
  engine.SetPosition(-1);
  EXPECT_EQ(Graph()->position, 0);
  EXPECT_TRUE(info.isEmpty()) << info.join('\n').toStdString();
}

}  // namespace
