#pragma once
#include <QString>
#include <gtest/gtest.h>

// Media clips generated once per build with gst-launch-1.0 into the build
// folder. Their shapes are fixed here so that tests can state what they expect.
struct TTestClips {
  // 10 s of 320x240 MPEG-4 Part 2 video at 25 fps with a key frame every 25
  // frames (0, 1, 2 ... 9 s), and two MP3 streams: 440 Hz stereo at 128 kbit/s,
  // then 880 Hz mono at 64 kbit/s.
  QString Avi;
  // The first half of Avi's bytes: headers intact, no index at the end.
  QString TruncatedAvi;
  // 5 s of 16-bit 44100 Hz stereo PCM.
  QString Wav;
  // 5 s of 16-bit 48000 Hz PCM in six channels.
  QString Wav6;
  // 5 s of 44100 Hz stereo MP3 at 128 kbit/s, no video.
  QString Mp3;
  // 20 s of 640x480 MPEG-4 Part 2 at 25 fps with one MP3 stream, for benchmarks.
  QString Bench;
  // 2 s of 320x240 H.264 at 25 fps in Matroska, no sound.
  QString Mkv;
  // 2 s of 352x288 MPEG-2 video at 25 fps in an MPEG program stream.
  QString Mpeg2;
  // Text bytes that no demuxer accepts.
  QString NotMedia;
  // The folder that holds them all.
  QString Dir;
  // Empty when every clip was made; otherwise what went wrong.
  QString Error;

  bool Ok() const { return Error.isEmpty(); }

  static constexpr int AviWidth = 320;
  static constexpr int AviHeight = 240;
  static constexpr int AviFrameRate = 25;
  static constexpr int AviFrames = 250;
  static constexpr int AviKeyFrameInterval = 25;
  static constexpr double AviSeconds = 10.0;
  static constexpr double AudioSeconds = 5.0;
  static constexpr double BenchSeconds = 20.0;
};

// Makes the clips on first use (in this process, and across processes that
// start together: a lock file guards the folder, files appear by rename).
const TTestClips& TestClips();

// Fixture for tests that need the clips: fails the test when they are missing.
class TTestClipsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const TTestClips& c = TestClips();
    ASSERT_TRUE(c.Ok()) << c.Error.toStdString();
  }
  const TTestClips& Clips() const { return TestClips(); }
};

// An audio-only Matroska file of `streams` stereo MP3 tones of 3 s each
// (stream i at 300 + 100 * i Hz, full test-tone level), made on first use
// beside the other clips. Empty, with `error` set, when it cannot be made.
QString MultiAudioClip(int streams, QString* error);
