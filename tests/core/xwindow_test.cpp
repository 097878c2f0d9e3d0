#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "tests/support/testclips.h"
#include "tests/support/wait.h"

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

// The real program under the X server of the test's environment, in a
// private settings folder.
class RealWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    if (qEnvironmentVariableIsEmpty("DISPLAY")) GTEST_SKIP() << "no X server";
    if (QStandardPaths::findExecutable("import").isEmpty() ||
        QStandardPaths::findExecutable("xdotool").isEmpty())
      GTEST_SKIP() << "imagemagick or xdotool missing";
    ASSERT_TRUE(TestClips().Ok()) << TestClips().Error.toStdString();
    QFile::setPermissions(runtime_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  }
  void TearDown() override {
    if (player_.state() == QProcess::NotRunning) return;
    player_.terminate();
    player_.waitForFinished(10000);
  }
  void Start(const QStringList& files) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", config_.path());
    env.insert("XDG_RUNTIME_DIR", runtime_.path());
    env.insert("QT_QPA_PLATFORM", "xcb");
    env.insert("LC_ALL", "ru_RU.UTF-8");
    player_.setProcessEnvironment(env);
    player_.setProcessChannelMode(QProcess::ForwardedChannels);
    player_.start(KELVARA_BINARY, files);
    ASSERT_TRUE(player_.waitForStarted(10000));
  }
  QString FindWindow() {
    const QString pid = QString::number(player_.processId());
    QString window;
    WaitUntil([&] {
      window = QString::fromLatin1(RunTool("xdotool", {"search", "--onlyvisible", "--pid", pid}))
                   .split('\n', Qt::SkipEmptyParts)
                   .value(0);
      return !window.isEmpty();
    });
    return window;
  }

  QTemporaryDir config_, runtime_;
  QProcess player_;
};

}  // namespace

// The movie area shows the picture and the picture moves.
TEST_F(RealWindow, PlaysAClipWhosePictureChanges) {
  Start({TestClips().Bench});  // 20 s: time to go full screen and back
  // The movie area lies below the caption bar and above the control panel.
  auto movieOf = [](const QImage& shot) { return QRect(0, 20, shot.width(), shot.height() - 20 - 79); };
  auto lit = [&](const QImage& shot) {
    int n = 0;
    const QRect movie = movieOf(shot);
    for (int y = movie.top(); y <= movie.bottom(); y += 4)
      for (int x = movie.left(); x <= movie.right(); x += 4)
        if (qGray(shot.pixel(x, y)) > 40) ++n;
    return n;
  };
  // Grabs the window until it has the wanted size and its movie area shows a
  // picture (a loaded machine may take seconds), then until the picture has
  // moved: it must be there and must move.
  auto expectMovingPicture = [&](const QString& window, const char* when,
                                 const std::function<bool(QSize)>& sized, QSize* shown = nullptr) {
    QImage first, second;
    WaitUntil([&] {
      first = Grab(window);
      return !first.isNull() && sized(first.size()) && lit(first) > 20;
    });
    if (shown) *shown = first.size();
    WaitUntil([&] {
      second = Grab(window);
      return second.size() != first.size() || Differences(first, second, movieOf(first)) > 5;
    });
    ASSERT_FALSE(first.isNull()) << when;
    EXPECT_TRUE(sized(first.size())) << "the window has the wrong size " << when;
    ASSERT_EQ(first.size(), second.size()) << when;
    ASSERT_GT(movieOf(first).height(), 100) << when;
    EXPECT_GT(lit(first), 20) << "the movie area is black " << when;
    EXPECT_GT(Differences(first, second, movieOf(first)), 5) << "the picture did not change " << when;
  };

  const QString window = FindWindow();
  ASSERT_FALSE(window.isEmpty()) << "no window appeared";
  // The window fits the 640 x 480 movie.
  QSize windowed;
  expectMovingPicture(window, "in the window", [](QSize s) { return s.width() == 640; }, &windowed);

  // Enter goes full screen and back; the picture must survive both ways.
  RunTool("xdotool", {"key", "--window", window, "Return"});
  const QString full = FindWindow();
  ASSERT_FALSE(full.isEmpty()) << "no window after going full screen";
  expectMovingPicture(full, "in full screen", [&](QSize s) { return s.width() > windowed.width(); });
  RunTool("xdotool", {"key", "--window", full, "Return"});
  const QString back = FindWindow();
  ASSERT_FALSE(back.isEmpty()) << "no window after leaving full screen";
  expectMovingPicture(back, "back in the window", [&](QSize s) { return s == windowed; });
}

// The logo stays hidden while a film plays and the window fits the film
// meanwhile; when a sound file opens next, the logo is centred in the movie
// area as it now is.
TEST_F(RealWindow, LogoIsCentredAfterTheWindowFittedAFilm) {
  Start({TestClips().Avi, TestClips().Mp3});
  const QString window = FindWindow();
  ASSERT_FALSE(window.isEmpty()) << "no window appeared";
  // The caption names the file that is open; a loaded machine may take seconds.
  auto waitForTitle = [&](const QString& title) {
    return WaitUntil([&] {
      return QString::fromUtf8(RunTool("xdotool", {"getwindowname", window})).trimmed() == title;
    });
  };
  ASSERT_TRUE(waitForTitle(QFileInfo(TestClips().Avi).completeBaseName()));
  // The window has fitted the 320 x 240 film by the time the caption names
  // it; the film plays on until its picture moves.
  QImage playing;
  EXPECT_TRUE(WaitUntil([&] {
    const QImage now = Grab(window);
    const bool moved = !playing.isNull() && now.size() == playing.size() &&
                       Differences(playing, now, QRect(QPoint(0, 0), now.size())) > 5;
    playing = now;
    return moved;
  })) << "the film does not play";
  RunTool("xdotool", {"key", "--window", window, "Next"});
  ASSERT_TRUE(waitForTitle(QFileInfo(TestClips().Mp3).completeBaseName()));
  // The logo's bright pixels, found by rows and columns, once it shows (the
  // sound file may still be opening) and a moment later when it has settled.
  QRect movie;
  int left = 0, right = 0, top = 0, bottom = 0;
  auto findLogo = [&] {
    const QImage shot = Grab(window);
    if (shot.isNull()) return false;
    movie = QRect(0, 20, shot.width(), shot.height() - 20 - 79);
    left = movie.right(), right = movie.left(), top = movie.bottom(), bottom = movie.top();
    for (int y = movie.top(); y <= movie.bottom(); ++y)
      for (int x = movie.left(); x <= movie.right(); ++x)
        if (qGray(shot.pixel(x, y)) > 80) {
          left = std::min(left, x);
          right = std::max(right, x);
          top = std::min(top, y);
          bottom = std::max(bottom, y);
        }
    return left < right;
  };
  // Settled: two grabs in a row find the logo in the same place.
  QRect last;
  ASSERT_TRUE(WaitUntil([&] {
    if (!findLogo()) return false;
    const QRect box(QPoint(left, top), QPoint(right, bottom));
    const bool same = box == last;
    last = box;
    return same;
  })) << "no logo in the movie area";
  EXPECT_NEAR((left + right) / 2.0, movie.center().x(), 4.0);
  EXPECT_NEAR((top + bottom) / 2.0, movie.center().y(), 4.0);
}
