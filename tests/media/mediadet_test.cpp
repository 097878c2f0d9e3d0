#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QJsonArray>
#include <QProcess>

#include <cmath>

#include "platform/media/mediadet.h"
#include "tests/support/ffprobe.h"
#include "tests/support/qt_printers.h"
#include "tests/support/testclips.h"

// The GStreamer media detector on generated clips.
namespace {


std::unique_ptr<IMediaDet> Open(const QString& path) {
  std::unique_ptr<IMediaDet> det;
  EXPECT_EQ(CreateMediaDet(det), S_OK);
  EXPECT_EQ(det->put_Filename(path), S_OK) << path.toStdString();
  return det;
}

struct TStreamFacts {
  GUID type;
  double length = -1;
  AM_MEDIA_TYPE mt;
  double rate = -1;
  TBitmapHeader bmp;  // from the format block, when it holds one
  TWaveHeader wfx;
};

TStreamFacts Facts(IMediaDet& det, long i) {
  TStreamFacts f;
  EXPECT_EQ(det.put_CurrentStream(i), S_OK);
  EXPECT_EQ(det.get_StreamType(&f.type), S_OK);
  EXPECT_EQ(det.get_StreamLength(&f.length), S_OK);
  EXPECT_EQ(det.get_StreamMediaType(&f.mt), S_OK);
  if (f.type == MEDIATYPE_Video) {
    EXPECT_EQ(det.get_FrameRate(&f.rate), S_OK);
  }
  ReadBitmapHeader(f.mt.format, f.bmp);
  ReadWaveHeader(f.mt.format, f.wfx);
  return f;
}

// Mean absolute difference of two same-sized pictures, per channel, 0..255.
double MeanDifference(const QImage& a, const QImage& b) {
  const QImage x = a.convertToFormat(QImage::Format_RGB888);
  const QImage y = b.convertToFormat(QImage::Format_RGB888);
  double sum = 0;
  for (int row = 0; row < x.height(); ++row)
    for (int col = 0; col < x.width() * 3; ++col)
      sum += std::abs(int(x.constScanLine(row)[col]) - int(y.constScanLine(row)[col]));
  return sum / (double(x.width()) * x.height() * 3);
}

QString DataDir() {
  const QString dir = KELVARA_TEST_DATA_DIR;
  QDir().mkpath(dir);
  return dir;
}

}  // namespace

class MediaDetClips : public TTestClipsTest {};

TEST_F(MediaDetClips, AviStreamsAsTheHeaderListDeclaresThem) {
  auto det = Open(Clips().Avi);
  long n = 0;
  ASSERT_EQ(det->get_OutputStreams(&n), S_OK);
  ASSERT_EQ(n, 3);
  const TStreamFacts v = Facts(*det, 0);
  EXPECT_EQ(v.type, MEDIATYPE_Video);
  EXPECT_EQ(v.mt.formattype, FORMAT_VideoInfo);
  EXPECT_EQ(v.mt.subtype.data1, FourCCFromText("DIVX"));
  EXPECT_EQ(v.bmp.biWidth, 320);
  EXPECT_EQ(v.bmp.biHeight, 240);
  EXPECT_EQ(v.bmp.biBitCount, 24);
  EXPECT_DOUBLE_EQ(v.rate, 25);
  EXPECT_DOUBLE_EQ(v.length, 10);
  const QJsonArray probe = Ffprobe(Clips().Avi, {"-show_streams"}).value("streams").toArray();
  for (long i : {1, 2}) {
    const TStreamFacts a = Facts(*det, i);
    const QJsonObject p = probe[int(i)].toObject();
    EXPECT_EQ(a.type, MEDIATYPE_Audio);
    EXPECT_EQ(a.mt.formattype, FORMAT_WaveFormatEx);
    EXPECT_EQ(a.wfx.wFormatTag, 0x55);  // MPEG layer 3
    EXPECT_EQ(a.wfx.nChannels, p["channels"].toInt());
    EXPECT_EQ(a.wfx.nSamplesPerSec, p["sample_rate"].toString().toUInt());
    EXPECT_EQ(a.wfx.nAvgBytesPerSec * 8, p["bit_rate"].toString().toUInt());
    EXPECT_NEAR(a.length, p["duration"].toString().toDouble(), 0.001);
  }
  // Only video streams have a frame rate.
  double rate = 0;
  EXPECT_TRUE(FAILED(det->get_FrameRate(&rate)));
}

TEST_F(MediaDetClips, OtherContainersThroughTheDiscoverer) {
  auto mkv = Open(Clips().Mkv);
  long n = 0;
  ASSERT_EQ(mkv->get_OutputStreams(&n), S_OK);
  ASSERT_EQ(n, 1);
  const TStreamFacts h264 = Facts(*mkv, 0);
  EXPECT_EQ(h264.type, MEDIATYPE_Video);
  EXPECT_EQ(h264.mt.formattype, FORMAT_VideoInfo);
  EXPECT_EQ(h264.mt.subtype.data1, FourCCFromText("H264"));
  EXPECT_EQ(h264.bmp.biWidth, 320);
  EXPECT_EQ(h264.bmp.biHeight, 240);
  EXPECT_DOUBLE_EQ(h264.rate, 25);
  EXPECT_NEAR(h264.length, 2, 0.05);

  auto mpeg = Open(Clips().Mpeg2);
  ASSERT_EQ(mpeg->get_OutputStreams(&n), S_OK);
  ASSERT_EQ(n, 1);
  const TStreamFacts m2v = Facts(*mpeg, 0);
  EXPECT_EQ(m2v.type, MEDIATYPE_Video);
  EXPECT_EQ(m2v.mt.formattype, FORMAT_MPEG2Video);
  EXPECT_DOUBLE_EQ(m2v.rate, 25);

  auto wav = Open(Clips().Wav);
  ASSERT_EQ(wav->get_OutputStreams(&n), S_OK);
  ASSERT_EQ(n, 1);
  const TStreamFacts pcm = Facts(*wav, 0);
  EXPECT_EQ(pcm.type, MEDIATYPE_Audio);
  EXPECT_EQ(pcm.wfx.wFormatTag, 1);
  EXPECT_EQ(pcm.wfx.nChannels, 2);
  EXPECT_EQ(pcm.wfx.nSamplesPerSec, 44100u);
  EXPECT_EQ(pcm.wfx.wBitsPerSample, 16);
  EXPECT_EQ(pcm.wfx.nAvgBytesPerSec, 176400u);
  EXPECT_NEAR(pcm.length, 5, 0.01);
}

TEST_F(MediaDetClips, CallsOutOfOrderOrOnBadFilesFail) {
  std::unique_ptr<IMediaDet> det;
  ASSERT_EQ(CreateMediaDet(det), S_OK);
  long n = 0;
  GUID type;
  EXPECT_TRUE(FAILED(det->get_OutputStreams(&n)));
  EXPECT_TRUE(FAILED(det->put_CurrentStream(0)));
  EXPECT_TRUE(FAILED(det->get_StreamType(&type)));
  EXPECT_TRUE(FAILED(det->put_Filename("/no/such/file.avi")));
  EXPECT_TRUE(FAILED(det->put_Filename(Clips().NotMedia)));
  EXPECT_TRUE(FAILED(det->get_OutputStreams(&n)));  // a failed name leaves no file
  ASSERT_EQ(det->put_Filename(Clips().Wav), S_OK);
  EXPECT_TRUE(FAILED(det->put_CurrentStream(1)));
  EXPECT_TRUE(FAILED(det->put_CurrentStream(-1)));
  EXPECT_TRUE(FAILED(det->WriteBitmapBits(0, 0, 0, DataDir() + "/audio.bmp")));
}

TEST_F(MediaDetClips, TruncatedAviStillDeclaresItsStreams) {
  auto det = Open(Clips().TruncatedAvi);
  long n = 0;
  ASSERT_EQ(det->get_OutputStreams(&n), S_OK);
  EXPECT_EQ(n, 3);
  EXPECT_EQ(Facts(*det, 0).mt.subtype.data1, FourCCFromText("DIVX"));
}

TEST_F(MediaDetClips, WriteBitmapBitsMatchesTheFrameFfmpegDecodes) {
  auto det = Open(Clips().Avi);
  ASSERT_EQ(det->put_CurrentStream(0), S_OK);
  const QString at0 = DataDir() + "/frame0.bmp", at2 = DataDir() + "/frame2.bmp";
  const QString ref = DataDir() + "/frame2_ffmpeg.png", small = DataDir() + "/small.bmp";
  ASSERT_EQ(det->WriteBitmapBits(0, 320, 240, at0), S_OK);
  ASSERT_EQ(det->WriteBitmapBits(2.0, 320, 240, at2), S_OK);
  ASSERT_EQ(det->WriteBitmapBits(2.0, 160, 120, small), S_OK);
  QProcess ff;
  ff.start("ffmpeg", {"-v", "error", "-y", "-i", Clips().Avi, "-vf", "select=eq(n\\,50)", "-frames:v",
                      "1", ref});
  ASSERT_TRUE(ff.waitForFinished(60000));
  ASSERT_EQ(ff.exitCode(), 0) << ff.readAllStandardError().toStdString();

  const QImage frame0(at0, "BMP"), frame2(at2, "BMP"), reference(ref), half(small, "BMP");
  ASSERT_EQ(frame2.size(), QSize(320, 240));
  ASSERT_EQ(reference.size(), QSize(320, 240));
  EXPECT_EQ(half.size(), QSize(160, 120));
  EXPECT_EQ(frame2.depth(), 32);  // Qt widens 24-bit files on load
  // The same decoded frame up to colour conversion, and not the first frame:
  // the ball has moved by frame 50.
  EXPECT_LT(MeanDifference(frame2, reference), 2.0);
  EXPECT_GT(MeanDifference(frame0, reference), 2 * MeanDifference(frame2, reference));
  QFile bmp(at2);
  ASSERT_TRUE(bmp.open(QIODevice::ReadOnly));
  const QByteArray header = bmp.read(30);
  EXPECT_TRUE(header.startsWith("BM"));
  EXPECT_EQ(int(uchar(header[28])), 24);  // bits per pixel of the file itself
}
