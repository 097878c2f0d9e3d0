#include "platform/system/instance.h"

#include <unistd.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QTimer>
#include <QtEndian>
#include <memory>

namespace {

constexpr char kAccept = 'A';
constexpr char kRefuse = 'R';
constexpr char kDone = 'D';

// The running instance never lets a sender make it buffer more than this
// beyond the text it agreed to take.
constexpr qint64 kReadBufferBytes = 64 * 1024;

struct TIncoming {
  bool haveLength = false;
  bool complete = false;
  quint32 length = 0;
  QByteArray text;
};

// One byte of answer, or 0 when none came in time.
char ReadAnswer(QLocalSocket& socket, const QDeadlineTimer& deadline) {
  while (socket.bytesAvailable() < 1) {
    if (socket.state() != QLocalSocket::ConnectedState) return 0;
    if (!socket.waitForReadyRead(int(deadline.remainingTime())) && socket.bytesAvailable() < 1)
      return 0;
  }
  char c = 0;
  socket.getChar(&c);
  return c;
}

// A live instance accepts a connection; a crashed one's socket file refuses
// it. A connection that neither succeeds nor is refused in time is taken as
// a live but busy instance: its channel must not be taken over.
bool ChannelIsAlive(const QString& channel) {
  QLocalSocket probe;
  probe.connectToServer(channel);
  if (probe.waitForConnected(1000)) {
    probe.abort();
    return true;
  }
  return probe.error() == QLocalSocket::SocketTimeoutError;
}

}  // namespace

QString InstanceChannelName() {
  QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (dir.isEmpty()) dir = QDir::tempPath();
  return QDir(dir).filePath(QStringLiteral("kelvara-%1.instance").arg(getuid()));
}

THandOverResult HandOverCommandLine(const QByteArray& commandLine, const QString& channel,
                                    int answerTimeoutMs) {
  QLocalSocket socket;
  socket.connectToServer(channel);
  if (!socket.waitForConnected(2000)) return THandOverResult::NoInstance;

  const QDeadlineTimer deadline(answerTimeoutMs);
  // A text too long for the length field still asks, and is refused.
  const quint32 length = quint32(std::min<qint64>(commandLine.size(), 0xFFFFFFFF));
  char header[4];
  qToBigEndian(length, header);
  socket.write(header, sizeof header);
  const char go = ReadAnswer(socket, deadline);
  if (go == kRefuse) return THandOverResult::Refused;
  if (go != kAccept) return THandOverResult::NoAnswer;

  socket.write(commandLine.constData(), length);
  while (socket.bytesToWrite() > 0)
    if (!socket.waitForBytesWritten(int(deadline.remainingTime()))) return THandOverResult::NoAnswer;
  return ReadAnswer(socket, deadline) == kDone ? THandOverResult::Delivered
                                               : THandOverResult::NoAnswer;
}

TInstanceServer::TInstanceServer(THandler handler) : handler_(std::move(handler)) {
  // Only the same user may connect; the socket is created with owner-only
  // permissions before it becomes visible under its name.
  server_.setSocketOptions(QLocalServer::UserAccessOption);
  QObject::connect(&server_, &QLocalServer::newConnection, &server_, [this] { Accept(); });
}

TInstanceServer::~TInstanceServer() { server_.close(); }

bool TInstanceServer::Listen(const QString& channel) {
  if (server_.isListening()) return true;
  QDir().mkpath(QFileInfo(channel).absolutePath());
  // Two instances starting at the same moment must not both decide they are
  // the first: probing and listening happen under one lock.
  QLockFile lock(channel + QStringLiteral(".lock"));
  lock.tryLock(2000);
  if (ChannelIsAlive(channel)) return false;
  QLocalServer::removeServer(channel);
  return server_.listen(channel);
}

void TInstanceServer::Accept() {
  while (QLocalSocket* socket = server_.nextPendingConnection()) {
    socket->setReadBufferSize(kReadBufferBytes);
    auto in = std::make_shared<TIncoming>();
    auto* timer = new QTimer(socket);
    timer->setSingleShot(true);
    QObject::connect(timer, &QTimer::timeout, socket, [socket] { socket->abort(); });
    QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    const auto read = [this, socket, in, timer] {
      if (in->complete) return;  // nothing more is expected, so nothing more is read
      if (!in->haveLength) {
        if (socket->bytesAvailable() < 4) return;
        char header[4];
        socket->read(header, sizeof header);
        in->length = qFromBigEndian<quint32>(header);
        in->haveLength = true;
        if (in->length > MaxHandOverBytes) {
          in->complete = true;
          socket->putChar(kRefuse);
          socket->disconnectFromServer();
          return;
        }
        in->text.reserve(in->length);
        socket->putChar(kAccept);
      }
      in->text += socket->read(in->length - in->text.size());
      if (quint32(in->text.size()) < in->length) return;
      in->complete = true;
      timer->stop();
      Deliver(socket, std::move(in->text));
    };
    QObject::connect(socket, &QLocalSocket::readyRead, socket, read);
    timer->start(sendTimeoutMs_);
    // Data may have arrived with the connection itself.
    if (socket->bytesAvailable() > 0) read();
  }
}

void TInstanceServer::Deliver(QLocalSocket* socket, QByteArray text) {
  pending_.push_back({socket, std::move(text)});
  // The handler runs from the event loop, not from inside the socket's own
  // signal: a box it shows may outlast the sender's patience, and the socket
  // that the sender then closes is deleted while the box is open.
  QMetaObject::invokeMethod(&server_, [this] { DeliverPending(); }, Qt::QueuedConnection);
}

void TInstanceServer::DeliverPending() {
  // A handler that runs a local event loop (a message box) may see further
  // senders finish meanwhile; they wait their turn instead of nesting.
  if (delivering_) return;
  struct TGuard {
    bool& flag;
    ~TGuard() { flag = false; }
  };
  delivering_ = true;
  const TGuard guard{delivering_};
  while (!pending_.empty()) {
    TPending next = std::move(pending_.front());
    pending_.pop_front();
    handler_(next.text);
    // The sender waits for this: its start ends only after the handler ran.
    if (next.socket && next.socket->state() == QLocalSocket::ConnectedState) {
      next.socket->putChar(kDone);
      next.socket->disconnectFromServer();
    }
  }
}
