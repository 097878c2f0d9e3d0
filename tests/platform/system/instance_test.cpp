#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QtEndian>

#include "platform/system/instance.h"

namespace {

const QString kPeer = QStringLiteral(KELVARA_INSTANCE_PEER);

// Runs the event loop until `done` holds or a generous limit passes, so that
// the in-process server can serve a peer process meanwhile.
template <typename Pred>
bool SpinUntil(Pred done, int limitMs = 20000) {
  QElapsedTimer t;
  t.start();
  while (!done()) {
    if (t.elapsed() > limitMs) return false;
    QEventLoop loop;
    QTimer::singleShot(5, &loop, &QEventLoop::quit);
    loop.exec();
  }
  return true;
}

// A peer process whose exit code is a THandOverResult.
struct TSender {
  QProcess process;
  explicit TSender(const QStringList& args) { process.start(kPeer, args); }
  THandOverResult Result() {
    EXPECT_TRUE(SpinUntil([&] { return process.state() == QProcess::NotRunning; }));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    return THandOverResult(process.exitCode());
  }
};

// A peer process that serves the channel until it is stopped.
struct TServingPeer {
  QProcess process;
  explicit TServingPeer(const QString& channel) {
    process.start(kPeer, {"serve", channel});
    process.waitForReadyRead(10000);
  }
  ~TServingPeer() {
    process.kill();
    process.waitForFinished();
  }
  bool Listening() { return process.readLine().trimmed() == "listening"; }
};

class InstanceChannel : public ::testing::Test {
 protected:
  QTemporaryDir dir_;
  const QString channel_ = dir_.filePath("ch");
  std::vector<QByteArray> received_;
  TInstanceServer server_{[this](const QByteArray& text) { received_.push_back(text); }};
};

}  // namespace

TEST(InstanceChannelName, OnePerUserInTheRuntimeFolder) {
  const QString name = InstanceChannelName();
  const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  EXPECT_EQ(QFileInfo(name).absolutePath(), QFileInfo(runtime).absoluteFilePath());
  EXPECT_TRUE(QFileInfo(name).fileName().contains(QString::number(getuid()))) << name.toStdString();
}

TEST_F(InstanceChannel, HandsTheCommandLineOverAndTheSenderWaitsForTheHandler) {
  QProcess* running = nullptr;
  bool senderWasWaiting = false;
  TInstanceServer server([&](const QByteArray& text) {
    received_.push_back(text);
    senderWasWaiting = !running->waitForFinished(300);
  });
  ASSERT_TRUE(server.Listen(channel_));
  const QString line = QString::fromUtf8("/usr/bin/kelvara /tmp/a.avi \"/tmp/My Movies/Фильм.avi\"");
  TSender sender({"send", channel_, line});
  running = &sender.process;
  EXPECT_EQ(sender.Result(), THandOverResult::Delivered);
  ASSERT_EQ(received_.size(), 1u);
  EXPECT_EQ(received_[0], line.toUtf8());
  EXPECT_TRUE(senderWasWaiting);
}

TEST_F(InstanceChannel, NobodyListening) {
  TSender sender({"send", channel_, "kelvara a.avi"});
  EXPECT_EQ(sender.Result(), THandOverResult::NoInstance);
}

TEST_F(InstanceChannel, OnlyTheOwnerMayConnect) {
  ASSERT_TRUE(server_.Listen(channel_));
  EXPECT_EQ(server_.SocketOptions(), QLocalServer::UserAccessOption);
  struct stat st{};
  ASSERT_EQ(stat(QFile::encodeName(server_.FullServerName()).constData(), &st), 0);
  EXPECT_TRUE(S_ISSOCK(st.st_mode));
  EXPECT_EQ(st.st_mode & 077, 0u);
  EXPECT_EQ(st.st_uid, getuid());
}

TEST_F(InstanceChannel, StaleSocketOfACrashedInstanceDoesNotBlockTheNextOne) {
  {
    TServingPeer crashed(channel_);
    ASSERT_TRUE(crashed.Listening());
  }  // killed with SIGKILL: its socket file stays behind
  ASSERT_TRUE(QFileInfo::exists(channel_));
  EXPECT_EQ(HandOverCommandLine("kelvara", channel_), THandOverResult::NoInstance);

  ASSERT_TRUE(server_.Listen(channel_));
  TSender sender({"send", channel_, "kelvara b.avi"});
  EXPECT_EQ(sender.Result(), THandOverResult::Delivered);
  ASSERT_EQ(received_.size(), 1u);
  EXPECT_EQ(received_[0], "kelvara b.avi");
}

TEST_F(InstanceChannel, LiveInstanceKeepsItsChannel) {
  TServingPeer first(channel_);
  ASSERT_TRUE(first.Listening());
  EXPECT_FALSE(server_.Listen(channel_));
  EXPECT_EQ(HandOverCommandLine("kelvara c.avi", channel_), THandOverResult::Delivered);
  ASSERT_TRUE(first.process.waitForReadyRead(10000));
  EXPECT_EQ(first.process.readLine().trimmed(), "got:kelvara c.avi");
}

TEST_F(InstanceChannel, LongestTextIsTakenOneByteMoreIsRefused) {
  ASSERT_TRUE(server_.Listen(channel_));
  TSender atLimit({"send-size", channel_, QString::number(MaxHandOverBytes)});
  EXPECT_EQ(atLimit.Result(), THandOverResult::Delivered);
  ASSERT_EQ(received_.size(), 1u);
  EXPECT_EQ(received_[0].size(), qsizetype(MaxHandOverBytes));

  TSender over({"send-size", channel_, QString::number(MaxHandOverBytes + 1)});
  EXPECT_EQ(over.Result(), THandOverResult::Refused);
  EXPECT_EQ(received_.size(), 1u);
}

TEST_F(InstanceChannel, RogueSendersCannotMakeTheServerReadWithoutBound) {
  ASSERT_TRUE(server_.Listen(channel_));
  server_.SetSendTimeout(300);

  // A length far beyond the limit is refused before any text is read.
  QLocalSocket huge;
  huge.connectToServer(channel_);
  char header[4];
  qToBigEndian<quint32>(0xFFFFFFFF, header);
  huge.write(header, 4);
  huge.write(QByteArray(4096, 'x'));
  ASSERT_TRUE(SpinUntil([&] { return huge.state() == QLocalSocket::UnconnectedState; }));
  EXPECT_EQ(huge.readAll(), "R");

  // More bytes than announced: only the announced ones reach the handler.
  QLocalSocket flood;
  flood.connectToServer(channel_);
  qToBigEndian<quint32>(5, header);
  flood.write(header, 4);
  flood.write("hello and much more");
  ASSERT_TRUE(SpinUntil([&] { return flood.state() == QLocalSocket::UnconnectedState; }));
  EXPECT_EQ(flood.readAll(), "AD");

  // A sender that stops half-way is dropped and delivers nothing.
  QLocalSocket stalled;
  stalled.connectToServer(channel_);
  qToBigEndian<quint32>(100, header);
  stalled.write(header, 4);
  stalled.write("partial");
  ASSERT_TRUE(SpinUntil([&] { return stalled.state() == QLocalSocket::UnconnectedState; }));

  // A peer that connects and says nothing at all is dropped too.
  QLocalSocket silent;
  silent.connectToServer(channel_);
  ASSERT_TRUE(SpinUntil([&] { return silent.state() == QLocalSocket::UnconnectedState; }));

  ASSERT_EQ(received_.size(), 1u);
  EXPECT_EQ(received_[0], "hello");

  // The server still serves a well-behaved sender afterwards.
  TSender sender({"send", channel_, "kelvara"});
  EXPECT_EQ(sender.Result(), THandOverResult::Delivered);
  EXPECT_EQ(received_.size(), 2u);
}

TEST_F(InstanceChannel, HandlerIsNeverReenteredByALaterSender) {
  int depth = 0, deepest = 0;
  std::vector<QByteArray> order;
  std::unique_ptr<TSender> second;
  TInstanceServer server([&](const QByteArray& text) {
    deepest = std::max(deepest, ++depth);
    order.push_back(text);
    if (text == "first") {
      // A box shown by the handler runs its own event loop meanwhile.
      second = std::make_unique<TSender>(QStringList{"send", channel_, "second"});
      SpinUntil([&] { return second->process.state() == QProcess::Running; });
      QEventLoop loop;
      QTimer::singleShot(1000, &loop, &QEventLoop::quit);
      loop.exec();
    }
    --depth;
  });
  ASSERT_TRUE(server.Listen(channel_));
  TSender first({"send", channel_, "first"});
  EXPECT_EQ(first.Result(), THandOverResult::Delivered);
  ASSERT_TRUE(second);
  EXPECT_EQ(second->Result(), THandOverResult::Delivered);
  EXPECT_EQ(deepest, 1);
  EXPECT_EQ(order, (std::vector<QByteArray>{"first", "second"}));
}

TEST_F(InstanceChannel, SenderThatGivesUpWhileTheHandlerRunsLeavesTheServerWhole) {
  QLocalSocket impatient;
  TInstanceServer server([&](const QByteArray& text) {
    received_.push_back(text);
    if (text != "first") return;
    // The handler's box stays open longer than the sender waits: the sender
    // goes away while the box's own event loop runs.
    impatient.abort();
    QEventLoop loop;
    QTimer::singleShot(300, &loop, &QEventLoop::quit);
    loop.exec();
  });
  ASSERT_TRUE(server.Listen(channel_));
  impatient.connectToServer(channel_);
  char header[4];
  qToBigEndian<quint32>(5, header);
  impatient.write(header, 4);
  impatient.write("first");
  ASSERT_TRUE(SpinUntil([&] { return !received_.empty(); }));
  SpinUntil([] { return false; }, 300);
  TSender next({"send", channel_, "second"});
  EXPECT_EQ(next.Result(), THandOverResult::Delivered);
  EXPECT_EQ(received_, (std::vector<QByteArray>{"first", "second"}));
}

TEST(ProcessPriority, RaiseIsTakenOrIgnoredAndNormalFollows) {
  QProcess peer;
  peer.start(kPeer, {"priority"});
  ASSERT_TRUE(peer.waitForFinished(10000));
  ASSERT_EQ(peer.exitCode(), 0);
  const QList<QByteArray> lines = peer.readAllStandardOutput().split('\n');
  ASSERT_GE(lines.size(), 2);
  const int high = lines[0].toInt(), normal = lines[1].toInt();
  if (high == -10) {
    EXPECT_EQ(normal, 0);  // privileged: both classes are reached
  } else {
    EXPECT_EQ(high, 5);    // refused: the priority stays where it was
    EXPECT_TRUE(normal == 5 || normal == 0);
  }
}
