#include <gtest/gtest.h>

#include <QImage>
#include <QJsonArray>
#include <QProcess>

#include "media/fileinfo.h"
#include "platform/system/exceptions.h"
#include "tests/support/ffprobe.h"
#include "tests/support/qt_printers.h"
#include "tests/support/testclips.h"

// GetFileInfo through the real detector, held against what ffprobe reports
// for the same generated clips.
namespace {

struct TRecordingCheck {
  QStringList failed;
  TCheckResult Fn() {
    return [this](HRESULT hr, const QString& label) {
      if (FAILED(hr)) failed << label;
    };
  }
};

QJsonArray Streams(const QString& path) {
  return Ffprobe(path, {"-show_streams", "-show_format"}).value("streams").toArray();
}
double FormatDurationOf(const QString& path) {
  return Ffprobe(path, {"-show_format"}).value("format").toObject().value("duration").toString().toDouble();
}

}  // namespace

class FileInfoClips : public TTestClipsTest {
 protected:
  TFileInfo info;
  TRecordingCheck check;
};

TEST_F(FileInfoClips, AviVideoAndTwoAudioStreamsAgreeWithFfprobe) {
  GetFileInfo(Clips().Avi, info, true, check.Fn());
  ASSERT_TRUE(check.failed.isEmpty()) << check.failed.join(", ").toStdString();
  const QJsonArray s = Streams(Clips().Avi);
  ASSERT_EQ(s.size(), 3);
  const QJsonObject v = s[0].toObject();
  const QString tag = v["codec_tag_string"].toString();
  const QString duration = FormatDuration(float(FormatDurationOf(Clips().Avi)));
  EXPECT_EQ(info.Text.count("Поток N"), 3);
  EXPECT_TRUE(info.Text.contains("Поток N1: Тип: Видео\r\nПродолжительность: " + duration + "\r\n"));
  EXPECT_TRUE(info.Text.contains("FourCC: " + tag + "\r\n")) << info.Text.toStdString();
  EXPECT_TRUE(info.Text.contains(QStringLiteral("Размер: %1 x %2\r\n")
                                     .arg(v["width"].toInt())
                                     .arg(v["height"].toInt())));
  EXPECT_TRUE(info.Text.contains("Глубина цвета: 24 Бит\r\n"));
  EXPECT_TRUE(info.Text.contains("Частота кадров: 25,00 Гц\r\n"));
  EXPECT_EQ(info.VideoSummary, "320x240x24, 25,00 Гц");
  EXPECT_EQ(info.FrameRate, 25.0);
  for (int i : {1, 2}) {
    const QJsonObject a = s[i].toObject();
    const QString channels = a["channels"].toInt() == 2 ? "Стерео" : "Моно";
    const QString line = QStringLiteral("Поток N%1: Тип: Звук\r\nПродолжительность: %2\r\n"
                                        "Формат: %3 Гц, %4, %5 КБит/сек\r\n")
                             .arg(i + 1)
                             .arg(duration, a["sample_rate"].toString(), channels)
                             .arg(a["bit_rate"].toString().toInt() / 1000);
    EXPECT_TRUE(info.Text.contains(line)) << info.Text.toStdString();
  }
  // The second audio stream is the one the summaries describe.
  EXPECT_EQ(info.AudioSummary, "64 КБит/сек");
  EXPECT_EQ(info.AudioDuration, duration);
  EXPECT_TRUE(info.Valid);
  ASSERT_EQ(info.KeyFrames.size(), 10);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(info.KeyFrames[i], qint64(i) * 10000000);
}

TEST_F(FileInfoClips, KeyFramesOnlyWithKeyFrameSeek) {
  GetFileInfo(Clips().Avi, info, false, check.Fn());
  EXPECT_TRUE(info.KeyFrames.isEmpty());
  EXPECT_EQ(info.FrameRate, 25.0);
}

TEST_F(FileInfoClips, AudioOnlyFiles) {
  GetFileInfo(Clips().Wav, info, true, check.Fn());
  EXPECT_TRUE(check.failed.isEmpty());
  EXPECT_TRUE(info.Text.endsWith(" \r\nПоток N1: Тип: Звук\r\nПродолжительность: 5 сек.\r\n"
                                 "Формат: 44100 Гц, Стерео, 1411 КБит/сек\r\n"))
      << info.Text.toStdString();
  EXPECT_TRUE(info.VideoSummary.isEmpty());
  EXPECT_EQ(info.FrameRate, 0);

  GetFileInfo(Clips().Wav6, info, true, check.Fn());
  EXPECT_TRUE(info.Text.contains("Формат: 48000 Гц, 6 канала(-ов), 4608 КБит/сек\r\n"))
      << info.Text.toStdString();

  GetFileInfo(Clips().Mp3, info, true, check.Fn());
  EXPECT_TRUE(check.failed.isEmpty());
  const QJsonObject a = Streams(Clips().Mp3)[0].toObject();
  EXPECT_EQ(info.AudioSummary, QString::number(a["bit_rate"].toString().toInt() / 1000) + " КБит/сек");
  EXPECT_TRUE(info.Text.contains("Формат: 44100 Гц, Стерео, ")) << info.Text.toStdString();
  EXPECT_EQ(info.AudioDuration, FormatDuration(float(FormatDurationOf(Clips().Mp3))));
}

TEST_F(FileInfoClips, NotMediaFailsAtTheFileName) {
  GetFileInfo(Clips().NotMedia, info, true, check.Fn());
  ASSERT_FALSE(check.failed.isEmpty());
  EXPECT_EQ(check.failed.first(), "MediaDet.put_FileName");
  EXPECT_TRUE(info.KeyFrames.isEmpty());
  TFileInfo raised;
  EXPECT_THROW(GetFileInfo(Clips().NotMedia, raised,
                           true, [](HRESULT hr, const QString& label) {
                             if (FAILED(hr)) throw EPlatformError(label);
                           }),
               EPlatformError);
}

TEST_F(FileInfoClips, TruncatedAviKeepsItsHeadersButHasNoIndex) {
  GetFileInfo(Clips().TruncatedAvi, info, true, check.Fn());
  EXPECT_TRUE(info.KeyFrames.isEmpty());
  // Whether the streams can be described depends on what survives; what is
  // described must match what ffprobe still finds.
  if (check.failed.isEmpty()) {
    EXPECT_EQ(info.Text.count("Поток N"), Streams(Clips().TruncatedAvi).size());
    EXPECT_TRUE(info.Text.contains("FourCC: DIVX\r\n"));
  }
}
