#include "tests/support/testclips.h"

#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QLockFile>
#include <QProcess>

#include <cstdio>

namespace {

// Bump when a clip changes shape, so that old build folders make them again.
constexpr const char* kGeneration = "v2";
constexpr const char* kOutToken = "@OUT@";

// Runs one gst-launch pipeline written as space-separated tokens; the token
// @OUT@ becomes the filesink location. Returns an error text or empty.
QString RunPipeline(const QString& pipeline, const QString& out) {
  QStringList args{"-q"};
  for (const QString& token : pipeline.split(' ', Qt::SkipEmptyParts))
    args << (token == kOutToken ? QStringLiteral("location=\"%1\"").arg(out) : token);
  QProcess p;
  p.setProcessChannelMode(QProcess::MergedChannels);
  p.start("gst-launch-1.0", args);
  if (!p.waitForStarted(10000)) return "gst-launch-1.0 did not start";
  if (!p.waitForFinished(300000)) {
    p.kill();
    p.waitForFinished();
    return "gst-launch-1.0 timed out making " + out;
  }
  if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
    return QStringLiteral("gst-launch-1.0 failed (%1) making %2: %3")
        .arg(p.exitCode())
        .arg(out, QString::fromLocal8Bit(p.readAll()));
  if (QFileInfo(out).size() <= 0) return "gst-launch-1.0 wrote nothing to " + out;
  return {};
}

// Writes to a temporary name and renames, so a reader never sees half a file.
QString EncodeClip(const QString& pipeline, const QString& path) {
  const QString tmp = path + ".part";
  QFile::remove(tmp);
  if (QString err = RunPipeline(pipeline, tmp); !err.isEmpty()) return err;
  if (std::rename(QFile::encodeName(tmp).constData(), QFile::encodeName(path).constData()) != 0)
    return "cannot rename " + tmp;
  return {};
}

QString WriteBytes(const QString& path, const QByteArray& bytes) {
  const QString tmp = path + ".part";
  QFile f(tmp);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
    return "cannot write " + tmp;
  f.close();
  if (std::rename(QFile::encodeName(tmp).constData(), QFile::encodeName(path).constData()) != 0)
    return "cannot rename " + tmp;
  return {};
}

// A test tone through an MP3 encoder into a named muxer pad; buffers of 441
// samples at 44100 Hz are 10 ms each, so the length comes out exact.
QString Mp3Branch(int freq, int channels, int kbits, int tenthsOfMs, const QString& mux) {
  return QStringLiteral(
             " audiotestsrc num-buffers=%1 samplesperbuffer=441 freq=%2 !"
             " audio/x-raw,rate=44100,channels=%3 !"
             " lamemp3enc target=bitrate bitrate=%4 cbr=true ! mpegaudioparse ! %5")
      .arg(tenthsOfMs)
      .arg(freq)
      .arg(channels)
      .arg(kbits)
      .arg(mux);
}

// MPEG-4 Part 2 with a fixed group of pictures and no scene-cut key frames, so
// key frames land exactly every 25 frames.
QString VideoBranch(int frames, int width, int height) {
  return QStringLiteral(
             "videotestsrc num-buffers=%1 pattern=ball !"
             " video/x-raw,width=%2,height=%3,framerate=25/1 !"
             " avenc_mpeg4 gop-size=25 max-bframes=0 sc-threshold=1000000000 bitrate=400000 !"
             " avimux name=m ! filesink @OUT@")
      .arg(frames)
      .arg(width)
      .arg(height);
}

TTestClips EncodeAllClips() {
  TTestClips c;
  c.Dir = QStringLiteral(KELVARA_BUILD_DIR "/testclips/") + kGeneration;
  c.Avi = c.Dir + "/video_2audio.avi";
  c.TruncatedAvi = c.Dir + "/truncated.avi";
  c.Wav = c.Dir + "/tone.wav";
  c.Wav6 = c.Dir + "/six_channels.wav";
  c.Mp3 = c.Dir + "/tone.mp3";
  c.Bench = c.Dir + "/bench_20s.avi";
  c.Mkv = c.Dir + "/h264.mkv";
  c.Mpeg2 = c.Dir + "/mpeg2.mpg";
  c.NotMedia = c.Dir + "/not_media.avi";
  if (!QDir().mkpath(c.Dir)) {
    c.Error = "cannot create " + c.Dir;
    return c;
  }

  QLockFile lock(c.Dir + "/.lock");
  lock.setStaleLockTime(10 * 60 * 1000);
  if (!lock.lock()) {
    c.Error = "cannot lock " + c.Dir;
    return c;
  }
  const QString done = c.Dir + "/.complete";
  if (QFile::exists(done)) return c;

  const int frames = TTestClips::AviFrames;
  const int audioTicks = static_cast<int>(TTestClips::AviSeconds * 100);
  const int shortTicks = static_cast<int>(TTestClips::AudioSeconds * 100);
  const int benchTicks = static_cast<int>(TTestClips::BenchSeconds * 100);
  struct Job {
    QString pipeline, path;
  };
  const Job jobs[] = {
      {VideoBranch(frames, TTestClips::AviWidth, TTestClips::AviHeight) +
           Mp3Branch(440, 2, 128, audioTicks, "m.") + Mp3Branch(880, 1, 64, audioTicks, "m."),
       c.Avi},
      {VideoBranch(benchTicks / 4, 640, 480) + Mp3Branch(440, 2, 128, benchTicks, "m."), c.Bench},
      {QStringLiteral("audiotestsrc num-buffers=%1 samplesperbuffer=441 freq=440 !"
                      " audio/x-raw,format=S16LE,rate=44100,channels=2 ! wavenc ! filesink @OUT@")
           .arg(shortTicks),
       c.Wav},
      {QStringLiteral("audiotestsrc num-buffers=%1 samplesperbuffer=480 freq=440 !"
                      " audio/x-raw,format=S16LE,rate=48000,channels=6,channel-mask=(bitmask)0x3f !"
                      " wavenc ! filesink @OUT@")
           .arg(shortTicks),
       c.Wav6},
      {Mp3Branch(440, 2, 128, shortTicks, "filesink @OUT@"), c.Mp3},
      {"videotestsrc num-buffers=50 pattern=ball ! video/x-raw,width=320,height=240,framerate=25/1 !"
       " x264enc key-int-max=25 ! h264parse ! matroskamux ! filesink @OUT@",
       c.Mkv},
      {"videotestsrc num-buffers=50 pattern=ball ! video/x-raw,width=352,height=288,framerate=25/1 !"
       " mpeg2enc format=3 ! mpegpsmux ! filesink @OUT@",
       c.Mpeg2},
  };
  for (const Job& j : jobs) {
    c.Error = EncodeClip(j.pipeline, j.path);
    if (!c.Ok()) return c;
  }

  QFile avi(c.Avi);
  if (!avi.open(QIODevice::ReadOnly)) {
    c.Error = "cannot read " + c.Avi;
    return c;
  }
  const QByteArray bytes = avi.readAll();
  c.Error = WriteBytes(c.TruncatedAvi, bytes.left(bytes.size() / 2));
  if (c.Ok())
    c.Error = WriteBytes(c.NotMedia, QByteArray("This is a plain text note, not a movie.\r\n").repeated(40));
  if (c.Ok()) c.Error = WriteBytes(done, kGeneration);
  return c;
}

}  // namespace

const TTestClips& TestClips() {
  static const TTestClips clips = EncodeAllClips();
  return clips;
}
