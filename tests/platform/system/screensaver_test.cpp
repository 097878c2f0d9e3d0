#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QMutex>
#include <QProcess>
#include <QTest>
#include <QThread>
#include <atomic>

#include "platform/system/screensaver.h"

namespace {

// The session's screensaver, answering from a thread of its own: giving the
// request back waits for the answer, which the UI thread cannot give itself.
class TSessionScreenSaver : public QObject, protected QDBusContext {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")

 public:
  std::atomic<bool> refuse{false};
  std::atomic<uint> lastCookie{0};

  QStringList Calls() {
    QMutexLocker hold(&lock_);
    return calls_;
  }

 public slots:
  uint Inhibit(const QString& app, const QString& reason) {
    Record(QStringLiteral("Inhibit %1 / %2").arg(app, reason));
    if (refuse) {
      sendErrorReply(QDBusError::AccessDenied, QStringLiteral("Not now"));
      return 0;
    }
    lastCookie = lastCookie + 17;
    return lastCookie;
  }
  void UnInhibit(uint cookie) { Record(QStringLiteral("UnInhibit %1").arg(cookie)); }

 private:
  void Record(const QString& call) {
    QMutexLocker hold(&lock_);
    calls_ << call;
  }
  QMutex lock_;
  QStringList calls_;
};

class ScreenSaverBus : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    daemon_ = new QProcess;
    daemon_->start("dbus-daemon", {"--session", "--nofork", "--nopidfile", "--print-address=1",
                                   "--address=unix:tmpdir=/tmp"});
    if (!daemon_->waitForStarted(10000)) return;
    while (!daemon_->canReadLine() && daemon_->waitForReadyRead(10000)) {
    }
    address_ = QString::fromUtf8(daemon_->readLine().trimmed());
  }
  static void TearDownTestSuite() {
    daemon_->terminate();
    daemon_->waitForFinished(5000);
    delete daemon_;
    daemon_ = nullptr;
  }

  void SetUp() override {
    ASSERT_FALSE(address_.isEmpty()) << "no private session bus";
    const QString id = QString::number(++count_);
    clientName_ = "client" + id;
    serviceName_ = "service" + id;
    client_ = std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(address_, clientName_));
    ASSERT_TRUE(client_->isConnected());
  }
  void TearDown() override {
    if (thread_.isRunning()) {
      QDBusConnection(QDBusConnection::connectToBus(address_, serviceName_)).unregisterObject("/org/freedesktop/ScreenSaver");
      thread_.quit();
      thread_.wait();
    }
    delete saver_;
    client_.reset();
    QDBusConnection::disconnectFromBus(clientName_);
    QDBusConnection::disconnectFromBus(serviceName_);
  }

  // Puts the screensaver on the bus.
  void StartSaver() {
    QDBusConnection bus = QDBusConnection::connectToBus(address_, serviceName_);
    ASSERT_TRUE(bus.isConnected());
    saver_ = new TSessionScreenSaver;
    saver_->moveToThread(&thread_);
    thread_.start();
    ASSERT_TRUE(bus.registerObject("/org/freedesktop/ScreenSaver", saver_, QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(bus.registerService("org.freedesktop.ScreenSaver"));
  }
  void EmitActiveChanged(bool active) {
    QDBusMessage signal = QDBusMessage::createSignal("/org/freedesktop/ScreenSaver", "org.freedesktop.ScreenSaver",
                                                     "ActiveChanged");
    signal << active;
    ASSERT_TRUE(QDBusConnection(QDBusConnection::connectToBus(address_, serviceName_)).send(signal));
  }

  static inline QProcess* daemon_ = nullptr;
  static inline QString address_;
  static inline int count_ = 0;
  QString clientName_, serviceName_;
  std::unique_ptr<QDBusConnection> client_;
  TSessionScreenSaver* saver_ = nullptr;
  QThread thread_;
};

}  // namespace

TEST_F(ScreenSaverBus, HoldsTheScreensaverOffAndGivesTheRequestBack) {
  StartSaver();
  int reports = 0;
  {
    TDBusScreenSaver service(*client_);
    service.Inhibit("Kelvara", "Playing a movie", [&] { ++reports; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return service.IsInhibited(); }, 5000));
    EXPECT_EQ(saver_->Calls(), QStringList{"Inhibit Kelvara / Playing a movie"});
    // Asking again while it holds changes nothing on the bus.
    service.Inhibit("Kelvara", "Playing a movie", [&] { ++reports; });
    service.UnInhibit();
    EXPECT_FALSE(service.IsInhibited());
    EXPECT_EQ(saver_->Calls().value(1), "UnInhibit 17");

    // Going away gives back a request still held.
    service.Inhibit("Kelvara", "again", [&] { ++reports; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return service.IsInhibited(); }, 5000));
  }
  EXPECT_EQ(saver_->Calls().value(3), "UnInhibit 34");
  EXPECT_EQ(saver_->Calls().size(), 4);
  EXPECT_EQ(reports, 0);
}

// Nothing tried to start when the session has no screensaver to hold off or
// will not hold it off: that is not reported as one starting.
TEST_F(ScreenSaverBus, ARefusalOrAMissingServiceIsNoActivation) {
  int reports = 0;
  TDBusScreenSaver alone(*client_);
  alone.Inhibit("Kelvara", "x", [&] { ++reports; });

  StartSaver();
  saver_->refuse = true;
  TDBusScreenSaver refused(*client_);
  refused.Inhibit("Kelvara", "x", [&] { ++reports; });
  ASSERT_TRUE(QTest::qWaitFor([&] { return saver_->Calls().size() == 1; }, 5000));

  // No bus at all.
  TDBusScreenSaver nowhere(QDBusConnection::connectToBus("unix:path=/nonexistent/bus", "nowhere"));
  nowhere.Inhibit("Kelvara", "x", [&] { ++reports; });
  EXPECT_FALSE(QTest::qWaitFor([&] { return reports > 0; }, 1000));
  EXPECT_FALSE(alone.IsInhibited());
  EXPECT_FALSE(refused.IsInhibited());
  QDBusConnection::disconnectFromBus("nowhere");
}

TEST_F(ScreenSaverBus, TheScreensaverStartingAnywayIsReported) {
  StartSaver();
  int reports = 0;
  TDBusScreenSaver service(*client_);
  service.Inhibit("Kelvara", "x", [&] { ++reports; });
  ASSERT_TRUE(QTest::qWaitFor([&] { return service.IsInhibited(); }, 5000));
  EmitActiveChanged(false);
  EmitActiveChanged(true);
  ASSERT_TRUE(QTest::qWaitFor([&] { return reports > 0; }, 5000));
  QTest::qWait(50);
  EXPECT_EQ(reports, 1);
}

TEST_F(ScreenSaverBus, GivenBackBeforeTheAnswerCame) {
  StartSaver();
  TDBusScreenSaver service(*client_);
  service.Inhibit("Kelvara", "x", [] {});
  service.UnInhibit();
  ASSERT_TRUE(QTest::qWaitFor([&] { return saver_->Calls().size() == 2; }, 5000));
  EXPECT_EQ(saver_->Calls().value(1), "UnInhibit 17");
  EXPECT_FALSE(service.IsInhibited());
}

#include "screensaver_test.moc"
