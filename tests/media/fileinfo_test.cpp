#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QLocale>

#include <cmath>
#include <limits>

#include "media/fileinfo.h"
#include "lang/langs.h"
#include "platform/system/exceptions.h"
#include "tests/support/fake_mediadet.h"
#include "tests/support/ffprobe.h"
#include "tests/support/qt_printers.h"
#include "tests/support/testclips.h"

namespace {

// Records every failed check and lets the operation go on, as the "write to
// the panel and continue" policy does.
struct TRecordingCheck {
  QStringList failed;
  TCheckResult Fn() {
    return [this](HRESULT hr, const QString& label) {
      if (FAILED(hr)) failed << label;
    };
  }
};

// The "show the message and stop" policy: the first failure abandons the fill.
void RaisingCheck(HRESULT hr, const QString& label) {
  if (FAILED(hr)) throw EPlatformError(label);
}

QString Dec() { return QLocale::system().decimalPoint(); }

// Restores Russian texts after a test that switched language.
struct TRussianAfter {
  ~TRussianAfter() { ApplyLanguage(0); }
};

}  // namespace

TEST(FormatDuration, HoursAndMinutesOnlyWhenReached) {
  EXPECT_EQ(FormatDuration(5.7f), "5 сек.");
  EXPECT_EQ(FormatDuration(59.99f), "59 сек.");
  EXPECT_EQ(FormatDuration(60), "1 мин 0 сек.");
  EXPECT_EQ(FormatDuration(3599), "59 мин 59 сек.");
  EXPECT_EQ(FormatDuration(3600), "1 ч 0 мин 0 сек.");
  EXPECT_EQ(FormatDuration(3725), "1 ч 2 мин 5 сек.");
  EXPECT_EQ(FormatDuration(90061), "25 ч 1 мин 1 сек.");
  EXPECT_EQ(FormatDuration(0), "0 сек.");
}

TEST(FormatDuration, LengthsOfDamagedFilesDoNotOverflow) {
  EXPECT_EQ(FormatDuration(std::numeric_limits<float>::quiet_NaN()), "0 сек.");
  EXPECT_EQ(FormatDuration(std::numeric_limits<float>::infinity()), "0 сек.");
  EXPECT_EQ(FormatDuration(1e30f), "0 сек.");
  // Beyond 32 bits the hours are still right.
  EXPECT_EQ(FormatDuration(30198988800.0f), "8388608 ч 0 мин 0 сек.");
}

TEST(FormatDuration, EnglishWords) {
  TRussianAfter restore;
  ApplyLanguage(1);
  EXPECT_EQ(FormatDuration(3725), "1 h 2 min 5 sec.");
  ApplyLanguage(0);
  EXPECT_EQ(FormatDuration(61), "1 мин 1 сек.");
}

TEST(FourCCToText, BytesInMemoryOrderWithControlBytesMasked) {
  EXPECT_EQ(FourCCToText(0), "0x00000000");
  EXPECT_EQ(FourCCToText(FourCCFromText("DIVX")), "DIVX");
  EXPECT_EQ(FourCCToText(0x34363248), "H264");
  EXPECT_EQ(FourCCToText(1), "????");            // the PCM wave tag
  EXPECT_EQ(FourCCToText(0x1F203132), "21 ?");   // 0x1F is below 32, 0x20 is not
  EXPECT_EQ(FourCCToText(0xe436eb7d).size(), 4);  // an RGB subtype's first bits
}

TEST(FormatFixed, SystemSeparatorNoGrouping) {
  EXPECT_EQ(Dec(), ",");  // the tests run under the Russian locale
  EXPECT_EQ(FormatFixed(25, 2), "25,00");
  EXPECT_EQ(FormatFixed(1234567.8916, 3), "1234567,892");
  EXPECT_EQ(FormatFixed(29.97002997, 2), "29,97");
}

class FileInfoFake : public ::testing::Test {
 protected:
  TFakeMediaDet det;
  TFileInfo info;
  TRecordingCheck check;
};

TEST_F(FileInfoFake, FullTextForVideoAndTwoAudioStreams) {
  det.streams = {TFakeMediaDet::Video(640, 480, 24, FourCCFromText("XVID"), 25, 3725.4),
                 TFakeMediaDet::Audio(44100, 2, 16000, 3725.4),
                 TFakeMediaDet::Audio(48000, 6, 56000, 62)};
  GetFileInfo("/nowhere/film.avi", info, false, check.Fn());
  EXPECT_TRUE(check.failed.isEmpty());
  EXPECT_EQ(det.fileName, "/nowhere/film.avi");
  EXPECT_EQ(info.Text,
            "Расположение: /nowhere/film.avi\r\n"
            "Размер файла: 0,000 Mb\r\n"
            " \r\n"
            "Поток N1: Тип: Видео\r\n"
            "Продолжительность: 1 ч 2 мин 5 сек.\r\n"
            "FourCC: XVID\r\n"
            "Размер: 640 x 480\r\n"
            "Глубина цвета: 24 Бит\r\n"
            "Частота кадров: 25,00 Гц\r\n"
            " \r\n"
            "Поток N2: Тип: Звук\r\n"
            "Продолжительность: 1 ч 2 мин 5 сек.\r\n"
            "Формат: 44100 Гц, Стерео, 128 КБит/сек\r\n"
            " \r\n"
            "Поток N3: Тип: Звук\r\n"
            "Продолжительность: 1 мин 2 сек.\r\n"
            "Формат: 48000 Гц, 6 канала(-ов), 448 КБит/сек\r\n");
  EXPECT_EQ(info.VideoSummary, "640x480x24, 25,00 Гц");
  // The last audio stream describes the file's sound.
  EXPECT_EQ(info.AudioSummary, "448 КБит/сек");
  EXPECT_EQ(info.AudioDuration, "1 мин 2 сек.");
  EXPECT_TRUE(info.Valid);
  EXPECT_EQ(info.FrameRate, 25);
}

TEST_F(FileInfoFake, EnglishText) {
  TRussianAfter restore;
  ApplyLanguage(1);
  det.streams = {TFakeMediaDet::Audio(22050, 1, 4000, 5)};
  GetFileInfo("a.wav", info, false, check.Fn());
  EXPECT_EQ(info.Text,
            "Location: a.wav\r\nFile Size: 0,000 Mb\r\n \r\n"
            "Stream N1: Type: Audio\r\nDuration: 5 sec.\r\n"
            "Format: 22050 Hz, Mono, 32 KBit/sec\r\n");
  EXPECT_EQ(info.AudioSummary, "32 KBit/sec");
}

TEST_F(FileInfoFake, NoStreamsLeavesOnlyLocationAndSize) {
  GetFileInfo("empty", info, true, check.Fn());
  EXPECT_EQ(info.Text, "Расположение: empty\r\nРазмер файла: 0,000 Mb\r\n");
  EXPECT_TRUE(info.Valid);
  EXPECT_TRUE(info.VideoSummary.isEmpty());
  EXPECT_TRUE(info.AudioSummary.isEmpty());
  EXPECT_TRUE(info.AudioDuration.isEmpty());
}

TEST_F(FileInfoFake, VideoWithoutBitmapHeaderStillGetsItsFrameRate) {
  TFakeMediaDet::Stream mpeg2 = TFakeMediaDet::Video(720, 576, 24, 0, 25, 10);
  mpeg2.mediaType.formattype = FORMAT_MPEG2Video;
  mpeg2.mediaType.format.resize(60);  // no bitmap header to read
  TFakeMediaDet::Stream text;
  text.type = text.mediaType.majortype = MEDIATYPE_Text;
  TFakeMediaDet::Stream other;
  det.streams = {mpeg2, text, other};
  GetFileInfo("m.mpg", info, false, check.Fn());
  EXPECT_EQ(info.Text,
            "Расположение: m.mpg\r\nРазмер файла: 0,000 Mb\r\n \r\n"
            "Поток N1: Тип: Видео\r\nПродолжительность: 10 сек.\r\n"
            "Частота кадров: 25,00 Гц\r\n \r\n"
            "Поток N2: Тип: Текст\r\nПродолжительность: 0 сек.\r\n \r\n"
            "Поток N3: \r\nПродолжительность: 0 сек.\r\n");
  EXPECT_EQ(info.VideoSummary, "25,00 Гц");
}

TEST_F(FileInfoFake, AudioWithoutWaveFormatIsNotDescribed) {
  TFakeMediaDet::Stream a = TFakeMediaDet::Audio(44100, 2, 16000, 10);
  a.mediaType.formattype = FORMAT_None;
  det.streams = {a};
  GetFileInfo("x", info, false, check.Fn());
  EXPECT_TRUE(info.Text.endsWith("Продолжительность: 10 сек.\r\n"));
  EXPECT_TRUE(info.AudioSummary.isEmpty());
  EXPECT_TRUE(info.AudioDuration.isEmpty());
}

TEST_F(FileInfoFake, HugeByteRateDoesNotWrap) {
  det.streams = {TFakeMediaDet::Audio(44100, 2, 0xFFFFFFFFu, 1)};
  GetFileInfo("x", info, false, check.Fn());
  EXPECT_EQ(info.AudioSummary, "34359738 КБит/сек");
}

TEST_F(FileInfoFake, EveryLabelReachesTheCheck) {
  det.streams = {TFakeMediaDet::Video(320, 240, 24, FourCCFromText("DIVX"), 25, 10)};
  const QStringList calls{"put_Filename", "get_OutputStreams", "put_CurrentStream", "get_StreamType",
                          "get_StreamLength", "get_StreamMediaType", "get_FrameRate"};
  const QStringList labels{"MediaDet.put_FileName",      "MediaDet.get_OutputStreams",
                           "MediaDet.put_CurrentStream", "MediaDet.get_StreamType",
                           "MediaDet.get_StreamLength",  "MediaDet.get_StreamMediaType",
                           "MediaDet.get_FrameRate"};
  for (int i = 0; i < calls.size(); ++i) {
    det.failing = {calls[i]};
    TRecordingCheck going;
    TFileInfo record;
    GetFileInfo("x", record, false, going.Fn());
    EXPECT_EQ(going.failed, QStringList{labels[i]});
    // The raising policy abandons the fill at that call.
    TFileInfo raised;
    try {
      GetFileInfo("x", raised, false, RaisingCheck);
      ADD_FAILURE() << "no raise for " << calls[i].toStdString();
    } catch (const EPlatformError& e) {
      EXPECT_EQ(e.Message, labels[i]);
    }
    // Valid is set only once the stream count was asked.
    EXPECT_EQ(raised.Valid, i >= 2) << calls[i].toStdString();
  }
}

TEST_F(FileInfoFake, GoingOnAfterFailuresKeepsWhatIsKnown) {
  det.streams = {TFakeMediaDet::Video(320, 240, 24, FourCCFromText("DIVX"), 25, 10)};
  det.failing = {"get_FrameRate", "get_StreamMediaType"};
  GetFileInfo("x", info, false, check.Fn());
  EXPECT_EQ(check.failed, (QStringList{"MediaDet.get_StreamMediaType", "MediaDet.get_FrameRate"}));
  // No format block came back, so only the frame rate line, with 0.
  EXPECT_TRUE(info.Text.endsWith("Частота кадров: 0,00 Гц\r\n"));
  EXPECT_EQ(info.VideoSummary, "0,00 Гц");
}

TEST_F(FileInfoFake, NoDetectorReportsAndStops) {
  det.failCreate = true;
  info.Valid = true;
  info.FrameRate = 30;
  GetFileInfo("x", info, true, check.Fn());
  EXPECT_EQ(check.failed, QStringList{"CoCreateInstance(CLSID_MediaDet)"});
  EXPECT_FALSE(info.Valid);
  EXPECT_EQ(info.FrameRate, 0);
  EXPECT_THROW(GetFileInfo("x", info, true, RaisingCheck), EPlatformError);
}

TEST_F(FileInfoFake, ReusedRecordDoesNotLendFrameRateOrKeyFrames) {
  // An audio-only file after a video file: the earlier rate must not be
  // used to time this file's index, nor its key frames kept.
  info.FrameRate = 25;
  info.KeyFrames = {0, 10000000};
  info.VideoSummary = "old";
  det.streams = {TFakeMediaDet::Audio(44100, 2, 16000, 10)};
  GetFileInfo(TestClips().Avi, info, true, check.Fn());
  EXPECT_EQ(info.FrameRate, 0);
  EXPECT_TRUE(info.KeyFrames.isEmpty());
  EXPECT_TRUE(info.VideoSummary.isEmpty());
}

TEST(FileInfoSize, SparseFileOverTwoGigabytesShowsItsTrueSize) {
  const QString dir = KELVARA_TEST_DATA_DIR;
  ASSERT_TRUE(QDir().mkpath(dir));
  const QString path = dir + "/sparse_3g.bin";
  {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_TRUE(f.resize((qint64(3) << 30) + 5 * 1024 * 1024 + 1023));  // holes, no disk use
  }
  TFakeMediaDet det;
  TFileInfo info;
  TRecordingCheck check;
  GetFileInfo(path, info, false, check.Fn());
  QFile::remove(path);
  // Whole kilobytes only, then megabytes with three decimals.
  EXPECT_TRUE(info.Text.contains("Размер файла: 3077,000 Mb\r\n")) << info.Text.toStdString();
}

TEST(FileInfoSize, UnreadableFileHasSizeZero) {
  TFakeMediaDet det;
  TFileInfo info;
  TRecordingCheck check;
  GetFileInfo("/no/such/file.avi", info, true, check.Fn());
  EXPECT_TRUE(info.Text.contains("Размер файла: 0,000 Mb\r\n"));
  EXPECT_TRUE(info.KeyFrames.isEmpty());
}
