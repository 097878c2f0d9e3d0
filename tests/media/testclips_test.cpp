#include "tests/support/ffprobe.h"
#include "tests/support/testclips.h"

#include <QFileInfo>
#include <QJsonArray>

// The generated clips must have the shapes the other tests rely on.
class TestClipsShape : public TTestClipsTest {};

TEST_F(TestClipsShape, AviHasVideoAndTwoAudioStreamsOfTheStatedShape) {
  const QJsonObject o = Ffprobe(Clips().Avi, {"-show_streams", "-count_packets"});
  const QJsonArray s = o.value("streams").toArray();
  ASSERT_EQ(s.size(), 3);
  const QJsonObject v = s[0].toObject();
  EXPECT_EQ(v.value("codec_name").toString(), "mpeg4");
  EXPECT_EQ(v.value("width").toInt(), TTestClips::AviWidth);
  EXPECT_EQ(v.value("height").toInt(), TTestClips::AviHeight);
  EXPECT_EQ(v.value("r_frame_rate").toString(), "25/1");
  EXPECT_EQ(v.value("nb_read_packets").toString().toInt(), TTestClips::AviFrames);
  for (int i : {1, 2}) {
    const QJsonObject a = s[i].toObject();
    EXPECT_EQ(a.value("codec_type").toString(), "audio");
    EXPECT_EQ(a.value("codec_name").toString(), "mp3");
  }
  EXPECT_EQ(s[1].toObject().value("channels").toInt(), 2);
  EXPECT_EQ(s[2].toObject().value("channels").toInt(), 1);
  EXPECT_EQ(s[2].toObject().value("bit_rate").toString(), "64000");
}

TEST_F(TestClipsShape, AviKeyFramesFallEverySecond) {
  QList<double> expected;
  for (int f = 0; f < TTestClips::AviFrames; f += TTestClips::AviKeyFrameInterval)
    expected << double(f) / TTestClips::AviFrameRate;
  EXPECT_EQ(FfprobeVideoKeyFrameTimes(Clips().Avi), expected);
}

TEST_F(TestClipsShape, AudioOnlyClipsAndBrokenFiles) {
  for (const QString& path : {Clips().Wav, Clips().Wav6, Clips().Mp3}) {
    const QJsonArray s = Ffprobe(path, {"-show_streams"}).value("streams").toArray();
    ASSERT_EQ(s.size(), 1) << path.toStdString();
    EXPECT_EQ(s[0].toObject().value("codec_type").toString(), "audio");
  }
  EXPECT_EQ(Ffprobe(Clips().Wav6, {"-show_streams"}).value("streams")[0]["channels"].toInt(), 6);
  const QJsonObject bench = Ffprobe(Clips().Bench, {"-show_format"}).value("format").toObject();
  EXPECT_NEAR(bench.value("duration").toString().toDouble(), TTestClips::BenchSeconds, 0.1);
  EXPECT_TRUE(Ffprobe(Clips().NotMedia, {"-show_streams"}).isEmpty());
  EXPECT_EQ(QFileInfo(Clips().TruncatedAvi).size(), QFileInfo(Clips().Avi).size() / 2);
}
