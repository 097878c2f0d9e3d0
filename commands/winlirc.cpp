#include "commands/winlirc.h"

#include <arpa/inet.h>

#include <QHostAddress>
#include <QTcpSocket>

#include "commands/keymap.h"
#include "platform/system/wsaerror.h"

TWinLIRCClient::TWinLIRCClient(const TKeyMap& keyMap, QObject* parent)
    : QObject(parent), keyMap_(keyMap) {}

TWinLIRCClient::~TWinLIRCClient() { Close(); }

void TWinLIRCClient::Connect(bool enabled, const QString& server, const QString& port) {
  if (!enabled || socket_ || state_ != TState::NotConnected) return;
  bool isInteger = false;
  const int number = port.toInt(&isInteger);
  if (isInteger) {
    // A port outside the 16-bit range would wrap round to some other
    // service; it cannot be connected to.
    if (number < 1 || number > 0xFFFF) return Fail(WSA::AddressNotAvailable);
    port_ = static_cast<quint16>(number);
  }
  // The classic dotted forms only ("10.1" and hex parts included), never a
  // host name: a remote must not wait on a name server at start-up.
  in_addr address{};
  if (inet_aton(server.toLatin1().constData(), &address) == 0)
    return Fail(WSA::AddressNotAvailable);

  socket_ = new QTcpSocket(this);
  connect(socket_, &QTcpSocket::connected, this, [this] {
    state_ = TState::Connected;
    SetStatus(QString::fromUtf8(ConnectedText));
  });
  connect(socket_, &QTcpSocket::readyRead, this, [this] { Receive(socket_->readAll()); });
  connect(socket_, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError e) {
    // A failure ends the client for this run: there is no reconnection.
    Fail(WinSockError(e, socket_->errorString()));
  });
  state_ = TState::Connecting;
  socket_->connectToHost(QHostAddress(ntohl(address.s_addr)), port_);
}

void TWinLIRCClient::Close() {
  if (!socket_) return;
  socket_->disconnect(this);
  socket_->abort();
  socket_->deleteLater();
  socket_ = nullptr;
}

void TWinLIRCClient::Fail(int winSockError) {
  state_ = TState::Failed;
  SetStatus(QString::fromUtf8(ErrorText) + QString::number(winSockError));
}

void TWinLIRCClient::SetStatus(const QString& text) {
  status_ = text;
  emit StatusChanged(text);
}

void TWinLIRCClient::Receive(QByteArrayView data) {
  for (const QByteArray& bytes : buffer_.Feed(data)) {
    const QString line = TrimControls(QString::fromLocal8Bit(bytes));
    if (!line.isEmpty()) RunLine(line);
  }
}

void TWinLIRCClient::RunLine(const QString& line) {
  SetStatus(line);
  const TRemotePress press = ParseRemoteLine(line);
  // An empty name is an unbound cell: it is neither learnt nor matched.
  if (press.Button.isEmpty()) return;
  if (Learner && Learner(press.Button)) return;
  if (!PostCommand) return;
  for (int id : keyMap_.Lookup(TKeyColumn::Remote, press.Button))
    if (!press.Repeat || CommandRepeats(id)) PostCommand(id);
}
