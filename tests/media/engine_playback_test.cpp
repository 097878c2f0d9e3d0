// The engine on real GStreamer with the generated clips: render, transport,
// seeking, rate, frame step, end of media, graph inspection.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QWidget>
#include <QStringList>

#include "media/DShowHlp.h"
#include "platform/media/gstgraph.h"
#include "platform/system/exceptions.h"
#include "tests/support/wait.h"
#include "tests/support/ffprobe.h"
#include "tests/support/testclips.h"

namespace {

constexpr int64_t kSecond = 10000000;
constexpr int64_t kFrame = kSecond / TTestClips::AviFrameRate;

class EnginePlayback : public TTestClipsTest {
 protected:
  void SetUp() override {
    TTestClipsTest::SetUp();
    engine.ShowInfoText = [this](const QString& s) { info << s; };
    engine.OnErrors = [this] { return onErrors; };
    engine.OnComplete = [this](TDirectShowHelper* sender) {
      EXPECT_EQ(sender, &engine);
      ++completions;
    };
  }
  // The main window's open path: build, render, read the facts.
  HRESULT Open(const QString& file) {
    engine.FreeGraph();
    engine.BuildGraph();
    const HRESULT hr = engine.Graph->RenderFile(file, nullptr);
    if (FAILED(hr)) {
      engine.FreeGraph();
      return hr;
    }
    engine.ReadVideoInfo();
    return hr;
  }
  // Declared before the engine: its destructor still reports through them.
  QStringList info;
  int onErrors = 0;
  int completions = 0;
  TDirectShowHelper engine;
};

TEST_F(EnginePlayback, RendersVideoWithTwoAudioRenderers) {
  ASSERT_EQ(Open(Clips().Avi), S_OK);
  EXPECT_TRUE(engine.HasVideo);
  EXPECT_TRUE(engine.HasAudio);
  EXPECT_EQ(engine.VideoWidth, TTestClips::AviWidth);
  EXPECT_EQ(engine.VideoHeight, TTestClips::AviHeight);
  EXPECT_EQ(engine.CountAudioRenderers(), 2);
  EXPECT_TRUE(engine.FindAudioRenderer(1));
  EXPECT_FALSE(engine.FindAudioRenderer(2));
  EXPECT_TRUE(engine.FindVideoRenderer());
  const int64_t d = engine.GetDuration();
  EXPECT_NEAR(double(d), TTestClips::AviSeconds * kSecond, 0.05 * kSecond);
  EXPECT_TRUE(info.isEmpty()) << info.join('\n').toStdString();
}

}  // namespace

namespace {

TEST_F(EnginePlayback, PauseRunStopKeepPosition) {
  ASSERT_EQ(Open(Clips().Avi), S_OK);
  engine.Pause();
  engine.SetPosition(3 * kSecond);
  EXPECT_EQ(engine.GetPosition(), 3 * kSecond);
  engine.Run();
  ASSERT_TRUE(PumpUntil([&] { return engine.GetPosition() > 3 * kSecond + 2 * kFrame; }));
  engine.Pause();
  const int64_t paused = engine.GetPosition();
  PumpUntil([] { return false; }, 200);
  EXPECT_EQ(engine.GetPosition(), paused);
  engine.Stop();
  EXPECT_NEAR(double(engine.GetPosition()), double(paused), double(kFrame));
  engine.Run();
  ASSERT_TRUE(PumpUntil([&] { return engine.GetPosition() > paused + kFrame; }));
  EXPECT_LT(engine.GetPosition(), paused + 3 * kSecond);
  EXPECT_TRUE(info.isEmpty()) << info.join('\n').toStdString();
}

TEST_F(EnginePlayback, SeeksAreClampedAndLandExactlyBetweenKeyFrames) {
  ASSERT_EQ(Open(Clips().Avi), S_OK);
  engine.Pause();
  const int64_t d = engine.GetDuration();
  engine.SetPosition(d + 5 * kSecond);
  EXPECT_EQ(engine.GetPosition(), d);
  engine.SetPosition(-kSecond);
  EXPECT_EQ(engine.GetPosition(), 0);
  // Key frames fall on whole seconds. One frame back from 5.00 s shows the
  // frame at 4.96 s, not the key frame a second earlier.
  engine.SetPosition(5 * kSecond);
  engine.SetPosition(engine.GetPosition() - kFrame);
  EXPECT_EQ(engine.GetPosition(), 5 * kSecond - kFrame);
  // A bookmark or a jump lands on its time, between key frames.
  engine.SetPosition(6 * kSecond + 12 * kFrame);
  EXPECT_EQ(engine.GetPosition(), 6 * kSecond + 12 * kFrame);
  engine.SetPosition(8 * kSecond + 24 * kFrame);
  EXPECT_EQ(engine.GetPosition(), 8 * kSecond + 24 * kFrame);
  EXPECT_TRUE(info.isEmpty()) << info.join('\n').toStdString();
}

TEST_F(EnginePlayback, RateReachesThePlayingSegment) {
  ASSERT_EQ(Open(Clips().Avi), S_OK);
  engine.Pause();
  for (double rate : {0.1, 2.0, 1.0}) {
    engine.SetRate(rate);
    engine.Run();
    double actual = 0;
    ASSERT_EQ(engine.MediaSeeking->GetRate(actual), S_OK);
    EXPECT_DOUBLE_EQ(actual, rate);
    const int64_t start = engine.GetPosition();
    EXPECT_TRUE(PumpUntil([&] { return engine.GetPosition() > start; })) << rate;
    engine.Pause();
  }
  EXPECT_TRUE(info.isEmpty()) << info.join('\n').toStdString();
}

TEST_F(EnginePlayback, FrameStepAdvancesOneFrame) {
  ASSERT_EQ(Open(Clips().Avi), S_OK);
  engine.Pause();
  engine.SetPosition(2 * kSecond);
  const int64_t before = engine.GetPosition();
  engine.FrameStep(1);
  EXPECT_EQ(engine.GetPosition(), before + kFrame);
  engine.FrameStep(1);
  EXPECT_EQ(engine.GetPosition(), before + 2 * kFrame);
  EXPECT_TRUE(info.isEmpty()) << info.join('\n').toStdString();
}

TEST_F(EnginePlayback, EndOfMediaCallsOnCompleteOnce) {
  ASSERT_EQ(Open(Clips().Wav), S_OK);
  engine.Pause();
  engine.SetPosition(engine.GetDuration() - kSecond / 5);
  engine.Run();
  ASSERT_TRUE(PumpUntil([&] { return completions > 0; }));
  PumpUntil([] { return false; }, 300);
  EXPECT_EQ(completions, 1);
}

TEST_F(EnginePlayback, SoundOnlyFileKeepsDefaultSize) {
  for (const QString& file : {Clips().Mp3, Clips().Wav}) {
    engine.VideoWidth = 1;
    engine.VideoHeight = 1;
    ASSERT_EQ(Open(file), S_OK) << file.toStdString();
    EXPECT_FALSE(engine.HasVideo);
    EXPECT_TRUE(engine.HasAudio);
    EXPECT_EQ(engine.VideoWidth, 400);
    EXPECT_EQ(engine.VideoHeight, 250);
    EXPECT_FALSE(engine.FindVideoRenderer());
    EXPECT_EQ(engine.CountAudioRenderers(), 1);
    // The MP3 is a bare stream with no header frame: its length comes from
    // size and bit rate, and must agree with an independent reader's.
    const double probed = Ffprobe(file, {"-show_format"})["format"].toObject()["duration"].toString().toDouble();
    ASSERT_GT(probed, 1.0) << file.toStdString();
    EXPECT_NEAR(double(engine.GetDuration()) / kSecond, probed, 0.6) << file.toStdString();
  }
}

TEST_F(EnginePlayback, UnplayableFilesFailWithCodeAndText) {
  for (const QString& file : {Clips().NotMedia, Clips().Dir + "/no-such-file.avi"}) {
    engine.BuildGraph();
    const HRESULT hr = engine.Graph->RenderFile(file, nullptr);
    EXPECT_TRUE(FAILED(hr)) << file.toStdString();
    const QString text = engine.ErrorText(hr);
    EXPECT_TRUE(text.startsWith(QStringLiteral("Ошибка: 0x"))) << text.toStdString();
    EXPECT_FALSE(text.endsWith(QStringLiteral("()"))) << text.toStdString();
    engine.FreeGraph();
    EXPECT_FALSE(engine.Graph);
  }
}

TEST_F(EnginePlayback, FreeGraphTwiceAndBeforeBuildIsSafe) {
  engine.FreeGraph();
  ASSERT_EQ(Open(Clips().Avi), S_OK);
  engine.Run();
  engine.FreeGraph();
  engine.FreeGraph();
  EXPECT_FALSE(engine.Builder);
  EXPECT_FALSE(engine.MediaControl);
  EXPECT_EQ(engine.GetDuration(), 0);
  EXPECT_EQ(engine.GetPosition(), 0);
  engine.Run();
  engine.SetPosition(kSecond);
  EXPECT_TRUE(info.isEmpty()) << info.join('\n').toStdString();
}

// An element that fails while the film plays: its error reaches the event
// drain, and the next pause, seek and step work (or fail on their own).
TEST_F(EnginePlayback, AnErrorDuringPlaybackDoesNotFailTheNextCalls) {
  ASSERT_EQ(Open(Clips().Avi), S_OK);
  engine.Pause();
  engine.Run();
  auto graph = std::dynamic_pointer_cast<TGstGraph>(engine.Graph);
  ASSERT_TRUE(graph);
  for (bool drained : {true, false}) {
    GError* error = g_error_new_literal(GST_STREAM_ERROR, GST_STREAM_ERROR_DECODE, "Broken frame in the film");
    GstElement* pipeline = graph->Pipeline();
    gst_element_post_message(pipeline, gst_message_new_error(GST_OBJECT(pipeline), error, nullptr));
    g_error_free(error);
    if (drained) {
      long code = 0;
      intptr_t p1 = 0, p2 = 0;
      ASSERT_EQ(engine.MediaEventEx->GetEvent(code, p1, p2, 5000), S_OK);
      EXPECT_EQ(code, EC_ERRORABORT);
    }
    EXPECT_NO_THROW(engine.Pause()) << drained;
    EXPECT_NO_THROW(engine.SetPosition(3 * kSecond)) << drained;
    EXPECT_EQ(engine.GetPosition(), 3 * kSecond) << drained;
    EXPECT_NO_THROW(engine.FrameStep(1)) << drained;
    EXPECT_NO_THROW(engine.Run()) << drained;
  }
  EXPECT_TRUE(info.isEmpty()) << info.join('\n').toStdString();
}

}  // namespace
