#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include "commands/commandtable.h"
#include "commands/winlirc.h"
#include "controls/statusbars.h"
#include "core/MainUnit.h"
#include "core/dispatch.h"
#include "core/playback.h"
#include "platform/system/profile.h"
#include "playlist/playlist.h"
#include "tests/support/fake_desktop.h"
#include "tests/support/tempenv.h"
#include "tests/support/testclips.h"

namespace {

using TState = TWinLIRCClient::TState;
constexpr int kDeadline = 10000;

// The daemon lives in sbin, which an ordinary user's PATH may lack.
QString FindTool(const QString& name) {
  QString path = QStandardPaths::findExecutable(name);
  if (path.isEmpty())
    path = QStandardPaths::findExecutable(name, {"/usr/sbin", "/usr/local/sbin", "/sbin", "/usr/bin"});
  return path;
}

// A loopback port nobody listens on at this moment.
quint16 FreePort() {
  QTcpServer probe;
  if (!probe.listen(QHostAddress::LocalHost, 0)) return 0;
  return probe.serverPort();
}

// A private remote server: lircd on a loopback port with a remote of its
// own, whose presses the test makes with irsend's simulate.
class TLircd {
 public:
  static constexpr const char* Remote = "testremote";
  ~TLircd() { Stop(); }

  // Empty when it runs and listens; otherwise what went wrong.
  QString Start(quint16 port) {
    lircd_ = FindTool("lircd");
    irsend_ = FindTool("irsend");
    if (lircd_.isEmpty() || irsend_.isEmpty())
      return "lircd and irsend are needed (Debian package lirc, installed by scripts/setup.sh)";
    if (!dir_.isValid()) return "no temporary folder";
    port_ = port;
    QFile conf(dir_.filePath("test.lircd.conf"));
    if (!conf.open(QIODevice::WriteOnly)) return "cannot write the remote definition";
    conf.write(
        "begin remote\n  name testremote\n  bits 16\n  eps 30\n  aeps 100\n  one 0 0\n"
        "  zero 0 0\n  gap 100000\n  begin codes\n    Play 0x0001\n    Stop 0x0002\n"
        "    V+ 0x0003\n    Twin 0x0004\n  end codes\nend remote\n");
    conf.close();
    process_.setProcessChannelMode(QProcess::MergedChannels);
    process_.start(lircd_, {"-n", "--driver=file", "--device=/dev/null", "--allow-simulate",
                            QString("--listen=127.0.0.1:%1").arg(port),
                            "--output=" + Socket(), "--pidfile=" + dir_.filePath("lircd.pid"),
                            "--logfile=" + dir_.filePath("lircd.log"), conf.fileName()});
    if (!process_.waitForStarted()) return "lircd did not start: " + process_.errorString();
    // Ready once both its command socket and its TCP port take connections.
    const bool ready = QTest::qWaitFor(
        [&] {
          if (process_.state() != QProcess::Running || !QFile::exists(Socket())) return false;
          QTcpSocket probe;
          probe.connectToHost(QHostAddress::LocalHost, port);
          return probe.waitForConnected(200);
        },
        kDeadline);
    return ready ? QString() : "lircd is not listening: " + Log();
  }

  void Stop() {
    if (process_.state() == QProcess::NotRunning) return;
    process_.terminate();
    if (!process_.waitForFinished(kDeadline)) process_.kill();
    process_.waitForFinished(kDeadline);
  }

  // One report of a button, as the remote sends it.
  void Press(const QString& button, int repeat, const QString& code = "0000000000000001") {
    QProcess irsend;
    irsend.setProcessChannelMode(QProcess::MergedChannels);
    irsend.start(irsend_, {"-d", Socket(), "simulate",
                           QString("%1 %2 %3 %4").arg(code).arg(repeat, 2, 16, QChar('0')).arg(button, Remote)});
    ASSERT_TRUE(irsend.waitForFinished(kDeadline));
    ASSERT_EQ(irsend.exitCode(), 0) << irsend.readAll().toStdString();
  }

  QString Log() const {
    QFile f(dir_.filePath("lircd.log"));
    return f.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(f.readAll()) : QString();
  }

 private:
  QString Socket() const { return dir_.filePath("lircd.sock"); }
  QTemporaryDir dir_;
  QProcess process_;
  QString lircd_, irsend_;
  quint16 port_ = 0;
};

// A main window in a private home whose settings enable the remote on the
// port and bind remote buttons; started as the program starts.
class RemoteControl : public TTestClipsTest {
 protected:
  void WriteSettings(quint16 port, bool enable = true) {
    QDir().mkpath(home_.ConfigDir());
    TIniFile ini;
    ini.WriteBool("WinLIRC", "WIRCenable", enable);
    ini.WriteString("WinLIRC", "WIRCserver", "127.0.0.1");
    ini.WriteString("WinLIRC", "WIRCport", QString::number(port));
    ini.WriteBool("Events", "OnOpenPlay", false);
    ini.WriteString("CommandMap", "WIRC_005", "Play");
    ini.WriteString("CommandMap", "WIRC_002", "Stop");
    ini.WriteString("CommandMap", "WIRC_026", "V+");
    // One button for two commands: Repeat playlist (0x1A) and Mute (0x25).
    ini.WriteString("CommandMap", "WIRC_01A", "Twin");
    ini.WriteString("CommandMap", "WIRC_025", "Twin");
    ASSERT_TRUE(ini.Save(home_.ConfigDir() + "/kelvar.ini"));
  }
  void StartMain() {
    main_ = std::make_unique<TfrMain>();
    spy_ = std::make_unique<QSignalSpy>(&main_->Commands(), &TCommandDispatch::CommandExecuted);
    ASSERT_TRUE(main_->StartUp({}));
  }
  TWinLIRCClient& Client() { return main_->Remote(); }
  bool WaitForState(TState state) {
    return QTest::qWaitFor([&] { return Client().State() == state; }, kDeadline);
  }
  QList<int> Executed() const {
    QList<int> ids;
    for (const QList<QVariant>& args : *spy_) ids.append(args.at(0).toInt());
    return ids;
  }
  // Waits until n commands have run in all.
  bool WaitForCommands(qsizetype n) {
    return QTest::qWaitFor([&] { return spy_->size() >= n; }, kDeadline);
  }
  void TearDown() override {
    spy_.reset();
    main_.reset();
  }

  TPrivateHome home_;
  TFakeDesktop desktop_;
  TLircd lircd_;
  std::unique_ptr<TfrMain> main_;
  std::unique_ptr<QSignalSpy> spy_;
};

}  // namespace

TEST_F(RemoteControl, ButtonsDriveThePlayerThroughTheServer) {
  const quint16 port = FreePort();
  ASSERT_EQ(lircd_.Start(port), QString());
  WriteSettings(port);
  StartMain();
  ASSERT_TRUE(WaitForState(TState::Connected)) << Client().StatusText().toStdString();
  EXPECT_EQ(Client().StatusText(), "Соединение установлено.");

  main_->PlayList()->AddFiles({Clips().Avi}, true);
  main_->Playback().OpenFile(Clips().Avi);
  ASSERT_EQ(main_->Playback().PlayState(), TPlayState::Paused);

  lircd_.Press("Play", 0);
  ASSERT_TRUE(WaitForCommands(1));
  EXPECT_EQ(main_->Playback().PlayState(), TPlayState::Playing);
  EXPECT_EQ(Client().StatusText(), "0000000000000001 00 Play testremote");
  // Holding Play runs it once; the Stop that follows shows the repeat ran nothing.
  lircd_.Press("Play", 1);
  lircd_.Press("Play", 2);
  lircd_.Press("Stop", 0, "0000000000000002");
  ASSERT_TRUE(WaitForCommands(2));
  EXPECT_EQ(Executed(), (QList<int>{cmPlay, cmStop}));
  EXPECT_EQ(main_->Playback().PlayState(), TPlayState::Paused);

  // A held volume button repeats with every report.
  const int volume = main_->Playback().VolumePosition();
  for (int repeat = 0; repeat < 4; ++repeat) lircd_.Press("V+", repeat, "0000000000000003");
  ASSERT_TRUE(WaitForCommands(6));
  EXPECT_EQ(Executed().mid(2), QList<int>(4, cmVolumeUp));
  EXPECT_EQ(main_->Playback().VolumePosition(), volume + 20);

  // One button bound to two commands runs both, lower identifier first.
  const bool repeat = main_->Playback().RepeatPlaylist();
  lircd_.Press("Twin", 0, "0000000000000004");
  ASSERT_TRUE(WaitForCommands(8));
  EXPECT_EQ(Executed().mid(6), (QList<int>{cmRepeatPlaylist, cmMute}));
  EXPECT_NE(main_->Playback().RepeatPlaylist(), repeat);
  EXPECT_EQ(Client().StatusText(), "0000000000000004 00 Twin testremote");

  // The socket closes with the program: the server lets its client go.
  const qsizetype removed = lircd_.Log().count("removed client");
  spy_.reset();
  main_.reset();
  EXPECT_TRUE(QTest::qWaitFor([&] { return lircd_.Log().count("removed client") > removed; }, kDeadline));
}

TEST_F(RemoteControl, ARefusedConnectionShowsItsNumberAndThePlayerGoesOn) {
  const quint16 port = FreePort();
  WriteSettings(port);
  StartMain();
  ASSERT_TRUE(WaitForState(TState::Failed));
  EXPECT_EQ(Client().StatusText(), "Ошибка соединения # 10061");
  main_->Commands().ExecuteCommand(cmVolumeDown);
  EXPECT_EQ(Executed(), QList<int>{cmVolumeDown});
}

TEST_F(RemoteControl, AServerThatClosesEndsTheClientForTheRun) {
  const quint16 port = FreePort();
  ASSERT_EQ(lircd_.Start(port), QString());
  WriteSettings(port);
  StartMain();
  ASSERT_TRUE(WaitForState(TState::Connected));
  lircd_.Stop();
  ASSERT_TRUE(WaitForState(TState::Failed));
  EXPECT_EQ(Client().StatusText(), "Ошибка соединения # 10054");
}

TEST_F(RemoteControl, TurnedOffMeansNoConnectionAtAll) {
  const quint16 port = FreePort();
  ASSERT_EQ(lircd_.Start(port), QString());
  WriteSettings(port, false);
  StartMain();
  EXPECT_EQ(Client().State(), TState::NotConnected);
  EXPECT_EQ(Client().StatusText(), QString());
}
