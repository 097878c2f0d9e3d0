#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include "tests/support/testclips.h"
#include "tests/support/wait.h"

namespace {

// Two real player processes sharing one private settings and runtime folder.
class TwoInstances : public ::testing::Test {
 protected:
  void SetUp() override {
    env_ = QProcessEnvironment::systemEnvironment();
    env_.insert("XDG_CONFIG_HOME", config_.path());
    env_.insert("XDG_RUNTIME_DIR", runtime_.path());
    env_.insert("QT_QPA_PLATFORM", "offscreen");
    env_.insert("LC_ALL", "ru_RU.UTF-8");
    env_.insert("LANG", "ru_RU.UTF-8");
    QFile::setPermissions(runtime_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  }
  void TearDown() override {
    for (QProcess* p : {&first_, &second_})
      if (p->state() != QProcess::NotRunning) {
        p->kill();
        p->waitForFinished(5000);
      }
  }
  QString Ini() const { return config_.path() + "/kelvara/kelvar.ini"; }
  QString Kpl() const { return config_.path() + "/kelvara/kelvar.kpl"; }
  QString Channel() const {
    return runtime_.path() + QStringLiteral("/kelvara-%1.instance").arg(getuid());
  }
  void Start(QProcess& p, const QStringList& args) {
    p.setProcessEnvironment(env_);
    p.setProcessChannelMode(QProcess::ForwardedChannels);
    p.start(KELVARA_BINARY, args);
    ASSERT_TRUE(p.waitForStarted(10000));
  }
  // The first instance opens its channel only when it is ready.
  bool WaitForChannel() {
    return WaitUntil([this] { return QFileInfo::exists(Channel()); });
  }
  static QByteArray Read(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
  }
  QTemporaryDir config_, runtime_;
  QProcessEnvironment env_;
  QProcess first_, second_;
};

}  // namespace

TEST_F(TwoInstances, SecondStartHandsItsFilesToTheFirstAndLeavesSettingsAlone) {
  // Real clips: the first instance opens the first one while the second waits.
  ASSERT_TRUE(TestClips().Ok()) << TestClips().Error.toStdString();
  QDir().mkpath(config_.path() + "/My Movies");
  const QString a = config_.path() + "/a.wav";
  const QString b = config_.path() + "/My Movies/b.wav";
  for (const QString& f : {a, b}) ASSERT_TRUE(QFile::copy(TestClips().Wav, f));
  Start(first_, {});
  ASSERT_TRUE(WaitForChannel());
  const QByteArray iniBefore = Read(Ini());
  const QDateTime iniTime = QFileInfo(Ini()).lastModified();

  Start(second_, {a, b});
  ASSERT_TRUE(second_.waitForFinished(20000));
  EXPECT_EQ(second_.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(second_.exitCode(), 0);
  EXPECT_EQ(Read(Ini()), iniBefore);
  EXPECT_EQ(QFileInfo(Ini()).lastModified(), iniTime);

  // An orderly close writes the playlist the first instance now holds.
  first_.terminate();
  ASSERT_TRUE(first_.waitForFinished(20000));
  const QByteArray kpl = Read(Kpl());
  EXPECT_TRUE(kpl.contains(a.toUtf8())) << kpl.constData();
  EXPECT_TRUE(kpl.contains(b.toUtf8())) << kpl.constData();
  EXPECT_LT(kpl.indexOf(a.toUtf8()), kpl.indexOf(b.toUtf8()));
}

TEST_F(TwoInstances, MultiInstanceLetsBothRun) {
  QDir().mkpath(config_.path() + "/kelvara");
  QFile ini(Ini());
  ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
  ini.write("[Misc]\r\nMultiInstance=1\r\n");
  ini.close();
  // Neither looks for the other, so the order of their start-ups does not matter.
  Start(first_, {});
  Start(second_, {});
  EXPECT_FALSE(second_.waitForFinished(2500));
  EXPECT_EQ(first_.state(), QProcess::Running);
}
