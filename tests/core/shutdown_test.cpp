// The real program under the test's X server: requests to end it (signals,
// the window manager's close) take effect whatever it is doing, and a home
// where nothing can be written does not stop it from starting.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <thread>


#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include "tests/support/testclips.h"

// The window manager's close request: a WM_DELETE_WINDOW client message.
void SendCloseRequest(unsigned long window);

namespace {

QByteArray RunTool(const QString& program, const QStringList& args) {
  QProcess p;
  p.start(program, args);
  if (!p.waitForFinished(20000)) return {};
  return p.readAllStandardOutput();
}

QByteArray ReadAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

class RealProcess : public ::testing::Test {
 protected:
  void SetUp() override {
    if (qEnvironmentVariableIsEmpty("DISPLAY")) GTEST_SKIP() << "no X server";
    if (QStandardPaths::findExecutable("xdotool").isEmpty()) GTEST_SKIP() << "xdotool missing";
    ASSERT_TRUE(TestClips().Ok()) << TestClips().Error.toStdString();
    QFile::setPermissions(runtime_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  }
  void TearDown() override {
    if (player_.state() == QProcess::NotRunning) return;
    player_.kill();
    player_.waitForFinished(10000);
  }
  QString Config() const { return config_.path() + "/kelvara"; }
  void WriteSettings(const QByteArray& ini) {
    QDir().mkpath(Config());
    QFile f(Config() + "/kelvar.ini");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(ini);
  }
  void Start(const QStringList& args) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", config_.path());
    env.insert("XDG_RUNTIME_DIR", runtime_.path());
    env.insert("QT_QPA_PLATFORM", "xcb");
    env.insert("LC_ALL", "ru_RU.UTF-8");
    env.insert("LANG", "ru_RU.UTF-8");
    player_.setProcessEnvironment(env);
    player_.setProcessChannelMode(QProcess::ForwardedChannels);
    player_.start(KELVARA_BINARY, args);
    ASSERT_TRUE(player_.waitForStarted(10000));
  }
  // The player's visible window with this title, once it shows.
  QString WaitForWindow(const QString& title, int limitMs = 20000) {
    const QString pid = QString::number(player_.processId());
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < limitMs && player_.state() == QProcess::Running) {
      const QString w = QString::fromLatin1(
                            RunTool("xdotool", {"search", "--all", "--onlyvisible", "--pid", pid, "--name", "^" + title + "$"}))
                            .split('\n', Qt::SkipEmptyParts)
                            .value(0);
      if (!w.isEmpty()) return w;
      QThread::msleep(100);
    }
    return {};
  }
  bool Ended(int limitMs = 20000) { return player_.waitForFinished(limitMs); }

  QTemporaryDir config_, runtime_;
  QProcess player_;
};

}  // namespace

// A file that cannot be opened leaves its box on the screen; a logout's
// SIGTERM (or SIGINT, SIGHUP) still ends the program the orderly way.
TEST_F(RealProcess, TerminationSignalsEndTheProgramWhileABoxIsOpen) {
  for (int sig : {SIGTERM, SIGINT, SIGHUP}) {
    SCOPED_TRACE(sig);
    QFile::remove(Config() + "/kelvar.kpl");
    const QString missing = config_.path() + QStringLiteral("/нет/file%1.avi").arg(sig);
    Start({missing});
    ASSERT_FALSE(WaitForWindow("Ошибка загрузки файла").isEmpty()) << "no box for the missing file";
    ::kill(pid_t(player_.processId()), sig);
    ASSERT_TRUE(Ended()) << "the program did not end";
    EXPECT_EQ(player_.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(player_.exitCode(), 0);
    // The shut-down saved the playlist it held.
    EXPECT_TRUE(ReadAll(Config() + "/kelvar.kpl").contains(missing.toUtf8()));
  }
}

// A default playlist that cannot be written is skipped; the settings are
// still written, so the next start is no first start.
TEST_F(RealProcess, StartsAndSavesWhenThePlaylistCannotBeWritten) {
  ASSERT_TRUE(QDir().mkpath(Config() + "/kelvar.kpl"));
  Start({});
  ASSERT_FALSE(WaitForWindow("Kelvara 1.9 Beta").isEmpty()) << "no main window";
  // The window can show while start-up still runs on a loaded machine; the
  // instance channel opens at its end, just before the signal handler.
  QElapsedTimer t;
  t.start();
  while (t.elapsed() < 20000 &&
         (!ReadAll(Config() + "/kelvar.ini").contains("KVVer=1.9 Beta") ||
          QDir(runtime_.path()).entryList({"kelvara-*.instance"}, QDir::System | QDir::Files).isEmpty()))
    QThread::msleep(50);
  EXPECT_TRUE(ReadAll(Config() + "/kelvar.ini").contains("KVVer=1.9 Beta"));
  // The handler is installed a few statements after the channel opens.
  QThread::msleep(500);
  player_.terminate();
  ASSERT_TRUE(Ended());
  EXPECT_EQ(player_.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(player_.exitCode(), 0);
}

// Where the settings folder cannot be made, the error window says so once
// and the player starts and ends as usual.
TEST_F(RealProcess, StartsWhenNothingCanBeWritten) {
  QFile blocker(Config());
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));  // a file where the folder goes
  blocker.close();
  Start({});
  const QString error = WaitForWindow("Ошибка в программе");
  ASSERT_FALSE(error.isEmpty()) << "no error window";
  RunTool("xdotool", {"key", "--window", error, "Return"});
  ASSERT_FALSE(WaitForWindow("Kelvara 1.9 Beta").isEmpty()) << "no main window after the error";
  player_.terminate();
  ASSERT_TRUE(Ended()) << "the program did not end";
  EXPECT_EQ(player_.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(player_.exitCode(), 0);
}

// Two short clips played one after the other: the window manager's close
// request ends the program whether it comes while the first plays or just
// after the player moved on to the second.
TEST_F(RealProcess, CloseRequestWhilePlayingOrMovingOnEndsTheProgram) {
  WriteSettings("[Events]\r\nOnOpenPlay=1\r\nOnStop=1\r\nOnStopRewind=0\r\n");
  const QString first = config_.path() + "/first.mkv";
  const QString second = config_.path() + "/second.mkv";
  ASSERT_TRUE(QFile::copy(TestClips().Mkv, first));
  ASSERT_TRUE(QFile::copy(TestClips().Mkv, second));
  for (const char* moment : {"first", "second"}) {
    SCOPED_TRACE(moment);
    Start({first, second});
    const QString window = WaitForWindow(moment);
    ASSERT_FALSE(window.isEmpty()) << "the file did not open";
    SendCloseRequest(window.toULong());
    ASSERT_TRUE(Ended()) << "the close request was lost";
    EXPECT_EQ(player_.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(player_.exitCode(), 0);
  }
}

// The film comes through a named pipe that the test feeds only after the
// close request was sent: the request arrives while the player is opening
// the file, blocked on it, and must still end the program once the open
// goes on (or give up on the open), never be lost.
TEST_F(RealProcess, CloseRequestWhileAFileOpensEndsTheProgram) {
  WriteSettings("[Events]\r\nOnOpenPlay=1\r\n");
  QFile clip(TestClips().Avi);
  ASSERT_TRUE(clip.open(QIODevice::ReadOnly));
  const QByteArray data = clip.readAll();
  const QByteArray fifo = QFile::encodeName(config_.path() + "/piped.avi");
  ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
  ::signal(SIGPIPE, SIG_IGN);  // a reader that stops early is no failure here

  std::atomic<bool> feed{false}, stop{false};
  std::atomic<int> served{0};
  // Each opening of the pipe gets the whole film; the player may open it
  // more than once (its facts, then the playing graph).
  std::thread feeder([&] {
    while (!stop) {
      if (!feed) {
        QThread::msleep(10);
        continue;
      }
      const int fd = ::open(fifo.constData(), O_WRONLY);
      if (fd < 0 || stop) {
        if (fd >= 0) ::close(fd);
        break;
      }
      for (qsizetype at = 0; at < data.size();) {
        const ssize_t n = ::write(fd, data.constData() + at, size_t(data.size() - at));
        if (n <= 0) break;
        at += n;
      }
      ::close(fd);
      ++served;
    }
  });

  Start({QFile::decodeName(fifo)});
  const QString window = WaitForWindow("Kelvara 1.9 Beta");
  EXPECT_FALSE(window.isEmpty()) << "the window did not show before the open";
  // The kernel names where the main thread waits: opening the pipe, for a
  // writer. (Some kernels hide it and say "0"; the test then trusts the pipe.)
  const QString wchan = QString("/proc/%1/wchan").arg(player_.processId());
  QElapsedTimer t;
  t.start();
  QByteArray waiting;
  do {
    waiting = ReadAll(wchan);
    if (waiting == "wait_for_partner" || waiting == "0") break;
    QThread::msleep(20);
  } while (t.elapsed() < 20000);
  if (waiting != "0") EXPECT_EQ(waiting, "wait_for_partner") << "the player was not inside the open";
  if (!window.isEmpty()) SendCloseRequest(window.toULong());
  feed = true;
  const bool ended = Ended(30000);
  stop = true;
  // Unblocks a feeder waiting for a reader that will not come.
  const int unblock = ::open(fifo.constData(), O_RDONLY | O_NONBLOCK);
  feeder.join();
  if (unblock >= 0) ::close(unblock);
  ASSERT_TRUE(ended) << "the close request sent during the open was lost";
  EXPECT_GE(served.load(), 1) << "the player never read the pipe, so nothing was opening";
  EXPECT_EQ(player_.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(player_.exitCode(), 0);
}

// Last: the X headers define names (None, Bool, Status) that clash with
// the ones above.
#include <X11/Xlib.h>

void SendCloseRequest(unsigned long window) {
  Display* display = XOpenDisplay(nullptr);
  if (!display) return;
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display, window, False, NoEventMask, &event);
  XSync(display, False);
  XCloseDisplay(display);
}
