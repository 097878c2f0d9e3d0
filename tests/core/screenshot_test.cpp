#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QtEndian>
#include <cmath>

#include "commands/commandtable.h"
#include "core/geometry.h"
#include "media/DShowHlp.h"
#include "playlist/playlist.h"
#include "tests/support/main_window.h"

namespace {

constexpr int64_t S = 10'000'000;
constexpr int kBmpHeaderSize = 14 + 40;

// A 24-bit bitmap file as its headers state it, with the picture turned into
// top-down BGR rows without row padding (the form ffmpeg's bgr24 gives).
struct TBitmap {
  int width = 0, height = 0, bits = 0, compression = -1;
  quint32 statedFileSize = 0, dataOffset = 0, headerSize = 0;
  QByteArray bgr;
};

TBitmap ReadBitmap(const QByteArray& bytes) {
  TBitmap bmp;
  if (bytes.size() < kBmpHeaderSize || !bytes.startsWith("BM")) return bmp;
  const auto* b = reinterpret_cast<const uchar*>(bytes.constData());
  bmp.statedFileSize = qFromLittleEndian<quint32>(b + 2);
  bmp.dataOffset = qFromLittleEndian<quint32>(b + 10);
  bmp.headerSize = qFromLittleEndian<quint32>(b + 14);
  bmp.width = qFromLittleEndian<qint32>(b + 18);
  const int statedHeight = qFromLittleEndian<qint32>(b + 22);
  bmp.bits = qFromLittleEndian<quint16>(b + 28);
  bmp.compression = int(qFromLittleEndian<quint32>(b + 30));
  // A positive height stores the rows bottom-up.
  const bool bottomUp = statedHeight > 0;
  bmp.height = std::abs(statedHeight);
  if (bmp.bits != 24 || bmp.width <= 0) return bmp;
  const int row = bmp.width * 3, stride = (row + 3) / 4 * 4;
  if (bytes.size() < qsizetype(bmp.dataOffset) + qsizetype(stride) * bmp.height) return bmp;
  for (int y = 0; y < bmp.height; ++y) {
    const int stored = bottomUp ? bmp.height - 1 - y : y;
    bmp.bgr.append(bytes.constData() + bmp.dataOffset + qsizetype(stride) * stored, row);
  }
  return bmp;
}

// Frame `index` of the clip decoded by ffmpeg, as top-down BGR rows. Picked
// by number: ffmpeg's -ss gives the first frame that starts at or after the
// time, which is the next frame for a time inside one.
QByteArray FfmpegFrame(const QString& clip, int index) {
  QProcess p;
  p.start("ffmpeg", {"-v", "error", "-i", clip, "-vf", QStringLiteral("select=eq(n\\,%1)").arg(index),
                     "-frames:v", "1", "-f", "rawvideo", "-pix_fmt", "bgr24", "-"});
  if (!p.waitForFinished(60000) || p.exitCode() != 0) return {};
  return p.readAllStandardOutput();
}

// Mean absolute difference per colour byte; infinite when the sizes differ.
double MeanAbsDiff(const QByteArray& a, const QByteArray& b) {
  if (a.size() != b.size() || a.isEmpty()) return INFINITY;
  double sum = 0;
  for (qsizetype i = 0; i < a.size(); ++i) sum += std::abs(int(uchar(a[i])) - int(uchar(b[i])));
  return sum / double(a.size());
}

class Screenshot : public TMainWindowTest {
 protected:
  void SetUp() override {
    TMainWindowTest::SetUp();
    // Seeks land on the asked frame, not on the key frame before it.
    Settings().KeyFrameSeek = false;
    Settings().ScreenShotDir = shots_.path() + "/";
    main_->show();
  }

  // The size at which the picture is on screen.
  QSize VideoOnScreen() const {
    for (QWidget* w : Panels().pnMovie->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
      if (w != Panels().imLogo && w->isVisible()) return w->size();
    return {};
  }
  // Runs SaveScreenshot and answers its save dialog with `name` (no answer
  // when `name` is empty); returns whether a dialog was shown.
  bool SaveScreenshotAs(const QString& name) {
    bool shown = false;
    QTimer answer;
    answer.setInterval(20);
    QObject::connect(&answer, &QTimer::timeout, [&] {
      auto* dlg = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      if (!dlg) return;
      shown = true;
      dialogTitle_ = dlg->windowTitle();
      dialogFolder_ = dlg->directory().absolutePath();
      // Typed into the name box, as a user does: selectFile leaves a box
      // that has the focus alone.
      if (auto* edit = dlg->findChild<QLineEdit*>("fileNameEdit"))
        edit->setText(QFileInfo(name).fileName());
      else
        dlg->selectFile(name);
      // Through QDialog: QFileDialog keeps its accept protected.
      QDialog* box = dlg;
      name.isEmpty() ? box->reject() : box->accept();
    });
    answer.start();
    Playback().SaveScreenshot();
    return shown;
  }

  QTemporaryDir shots_;
  QString dialogTitle_, dialogFolder_;
};

}  // namespace

// The saved picture is the paused frame at native size, whatever the zoom
// and the aspect on screen, checked against ffmpeg's own decoding of the clip.
TEST_F(Screenshot, SavesThePausedFrameAtNativeSizeAsDecodedElsewhere) {
  Open(Clips().Avi);
  ASSERT_TRUE(Playback().IsFileOpen());
  Execute(cmAspect16x9);
  Geometry().Framing().ZoomX = 40;
  Geometry().PlaceVideo();
  const QSize onScreen = VideoOnScreen();
  ASSERT_TRUE(onScreen.isValid());
  ASSERT_NE(onScreen, QSize(TTestClips::AviWidth, TTestClips::AviHeight));

  // The middle of frame 100 (the key frame at 4 s) and of frame 112 (not one).
  struct TCase {
    const char* name;
    int frame;
  };
  for (const TCase& c : {TCase{"key", 100}, TCase{"between", 112}}) {
    SCOPED_TRACE(c.name);
    const int64_t at = (2 * c.frame + 1) * S / (2 * TTestClips::AviFrameRate);
    Playback().PauseMovie();
    Playback().SetPosition(at);
    DrainPostedEvents();
    const QString file = shots_.filePath(QStringLiteral("shot-%1.bmp").arg(c.name));
    ASSERT_TRUE(SaveScreenshotAs(file));
    EXPECT_EQ(dialogTitle_, "Save screenshot...");
    EXPECT_EQ(dialogFolder_, shots_.path());
    EXPECT_EQ(Settings().ScreenShotDir, shots_.path() + "/");

    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    const TBitmap bmp = ReadBitmap(bytes);
    EXPECT_EQ(bmp.width, TTestClips::AviWidth);
    EXPECT_EQ(bmp.height, TTestClips::AviHeight);
    EXPECT_EQ(bmp.bits, 24);
    EXPECT_EQ(bmp.compression, 0);
    EXPECT_EQ(bmp.dataOffset, quint32(kBmpHeaderSize));
    EXPECT_EQ(bmp.headerSize, 40u);
    const qsizetype padded = (TTestClips::AviWidth * 3 + 3) / 4 * 4;
    EXPECT_EQ(bytes.size(), kBmpHeaderSize + padded * TTestClips::AviHeight);
    EXPECT_EQ(qsizetype(bmp.statedFileSize), bytes.size());

    const QByteArray same = FfmpegFrame(Clips().Avi, c.frame);
    const QByteArray next = FfmpegFrame(Clips().Avi, c.frame + 1);
    const QByteArray later = FfmpegFrame(Clips().Avi, c.frame + TTestClips::AviFrameRate);
    ASSERT_EQ(same.size(), qsizetype(TTestClips::AviWidth) * TTestClips::AviHeight * 3);
    // Two decoders and two colour conversions differ by about one level on
    // average. The ball is small on a black ground, so even the next frame
    // differs by only about twice that, and a second later by about eight.
    constexpr double kTolerance = 1.5;
    const double near = MeanAbsDiff(bmp.bgr, same);
    EXPECT_LT(near, kTolerance);
    EXPECT_GT(MeanAbsDiff(bmp.bgr, next), kTolerance) << "the same frame differs by " << near;
    EXPECT_GT(MeanAbsDiff(bmp.bgr, later), 4 * kTolerance) << "the same frame differs by " << near;

    // The player goes on where it was, in the state it was in.
    EXPECT_NEAR(double(Playback().Engine().GetPosition()), double(at), double(S / 25));
    EXPECT_EQ(Playback().PlayState(), TPlayState::Paused);
  }
}

// Without a video stream there is nothing to save: no dialog, no file, and
// the position and the play state are put back all the same.
TEST_F(Screenshot, AudioOnlyFileAsksNothingAndKeepsItsPlace) {
  Open(Clips().Wav);
  ASSERT_TRUE(Playback().IsFileOpen());
  Playback().SetPosition(2 * S);
  DrainPostedEvents();
  const QString file = shots_.filePath("audio.bmp");
  EXPECT_FALSE(SaveScreenshotAs(file));
  EXPECT_FALSE(QFile::exists(file));
  EXPECT_NEAR(double(Playback().Engine().GetPosition()), double(2 * S), double(S / 25));
  EXPECT_EQ(Playback().PlayState(), TPlayState::Paused);
}

// A cancelled dialog writes nothing and leaves a playing file playing.
TEST_F(Screenshot, CancelledDialogWritesNothingAndPlaysOn) {
  Open(Clips().Avi);
  Playback().SetPosition(3 * S);
  Playback().Play();
  DrainPostedEvents();
  EXPECT_TRUE(SaveScreenshotAs(QString()));
  EXPECT_TRUE(QDir(shots_.path()).entryList({"*.bmp"}, QDir::Files).isEmpty());
  EXPECT_EQ(Playback().PlayState(), TPlayState::Playing);
  EXPECT_GE(Playback().Engine().GetPosition(), 3 * S - S / 25);
}
