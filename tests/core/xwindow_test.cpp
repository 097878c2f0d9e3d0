#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include "tests/support/testclips.h"

namespace {

// Runs a command and returns its standard output.
QByteArray RunTool(const QString& program, const QStringList& args) {
  QProcess p;
  p.start(program, args);
  if (!p.waitForFinished(20000)) return {};
  return p.readAllStandardOutput();
}

QImage Grab(const QString& window) {
  return QImage::fromData(RunTool("import", {"-window", window, "png:-"}), "PNG");
}

// How many of the sampled pixels differ between two pictures of one size.
int Differences(const QImage& a, const QImage& b, const QRect& area) {
  int n = 0;
  for (int y = area.top(); y <= area.bottom(); y += 4)
    for (int x = area.left(); x <= area.right(); x += 4)
      if (a.pixel(x, y) != b.pixel(x, y)) ++n;
  return n;
}

}  // namespace

// The real program in a real X window: the movie area shows the picture and
// the picture moves.
TEST(RealWindow, PlaysAClipWhosePictureChanges) {
  if (qEnvironmentVariableIsEmpty("DISPLAY")) GTEST_SKIP() << "no X server";
  if (QStandardPaths::findExecutable("import").isEmpty() ||
      QStandardPaths::findExecutable("xdotool").isEmpty())
    GTEST_SKIP() << "imagemagick or xdotool missing";
  const TTestClips& clips = TestClips();
  ASSERT_TRUE(clips.Ok()) << clips.Error.toStdString();

  QTemporaryDir config, runtime;
  QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("XDG_CONFIG_HOME", config.path());
  env.insert("XDG_RUNTIME_DIR", runtime.path());
  env.insert("QT_QPA_PLATFORM", "xcb");
  env.insert("LC_ALL", "ru_RU.UTF-8");
  QProcess player;
  player.setProcessEnvironment(env);
  player.setProcessChannelMode(QProcess::ForwardedChannels);
  player.start(KELVARA_BINARY, {clips.Bench});  // 20 s: time to go full screen and back
  ASSERT_TRUE(player.waitForStarted(10000));

  const QString pid = QString::number(player.processId());
  auto findWindow = [&] {
    QString window;
    for (int i = 0; i < 100 && window.isEmpty(); ++i) {
      QThread::msleep(100);
      window = QString::fromLatin1(RunTool("xdotool", {"search", "--onlyvisible", "--pid", pid}))
                   .split('\n', Qt::SkipEmptyParts)
                   .value(0);
    }
    return window;
  };
  // Two grabs of the window some time apart: the movie area, below the
  // caption bar and above the control panel, shows a picture that moves.
  auto expectMovingPicture = [&](const QString& window, const char* when) {
    const QImage first = Grab(window);
    QThread::msleep(800);
    const QImage second = Grab(window);
    ASSERT_FALSE(first.isNull()) << when;
    ASSERT_EQ(first.size(), second.size()) << when;
    const QRect movie(0, 20, first.width(), first.height() - 20 - 79);
    ASSERT_GT(movie.height(), 100) << when;
    int lit = 0;
    for (int y = movie.top(); y <= movie.bottom(); y += 4)
      for (int x = movie.left(); x <= movie.right(); x += 4)
        if (qGray(first.pixel(x, y)) > 40) ++lit;
    EXPECT_GT(lit, 20) << "the movie area is black " << when;
    EXPECT_GT(Differences(first, second, movie), 5) << "the picture did not change " << when;
  };

  const QString window = findWindow();
  ASSERT_FALSE(window.isEmpty()) << "no window appeared";
  QThread::msleep(1500);  // the clip opens, the window fits the 640 x 480 movie and plays
  expectMovingPicture(window, "in the window");

  // Enter goes full screen and back; the picture must survive both ways.
  RunTool("xdotool", {"key", "--window", window, "Return"});
  QThread::msleep(1200);
  const QString full = findWindow();
  ASSERT_FALSE(full.isEmpty()) << "no window after going full screen";
  expectMovingPicture(full, "in full screen");
  RunTool("xdotool", {"key", "--window", full, "Return"});
  QThread::msleep(1200);
  const QString back = findWindow();
  ASSERT_FALSE(back.isEmpty()) << "no window after leaving full screen";
  expectMovingPicture(back, "back in the window");

  player.terminate();
  player.waitForFinished(10000);
}
