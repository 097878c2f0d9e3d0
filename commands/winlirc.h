#pragma once
#include <QObject>
#include <QString>
#include <functional>

#include "commands/remoteline.h"

class QTcpSocket;
class TKeyMap;

// The remote-control client: one connection attempt per run to a server
// that reports remote button presses as text lines; it only receives. Each
// press runs the commands bound to its button in the key map's remote
// column, or, while the key grid is learning, goes into the grid instead.
class TWinLIRCClient : public QObject {
  Q_OBJECT
 public:
  enum class TState { NotConnected, Connecting, Connected, Failed };

  static constexpr quint16 DefaultPort = 8765;
  static constexpr const char* ConnectedText = "Соединение установлено.";
  static constexpr const char* ErrorText = "Ошибка соединения # ";

  explicit TWinLIRCClient(const TKeyMap& keyMap, QObject* parent = nullptr);
  ~TWinLIRCClient() override;

  // Start-up's only attempt: nothing when not enabled; otherwise connects
  // to the dotted IPv4 address (no name lookup) on the port, or on 8765
  // when the port text is not an integer. Completes asynchronously.
  void Connect(bool enabled, const QString& server, const QString& port);
  // Closes the socket for good; nothing more is received or reported.
  void Close();

  TState State() const { return state_; }
  // What the status panel shows: the connected text, an error text or the
  // last line received. Empty while no connection was made: the panel
  // then keeps its own caption.
  const QString& StatusText() const { return status_; }
  // The port of the attempt (8765 until one is made).
  quint16 Port() const { return port_; }

  // Posts the command message for one command identifier.
  std::function<void(int id)> PostCommand;
  // Set while the preferences dialog exists: takes a button name into the
  // key grid and returns true when the grid is learning (the dialog shown,
  // the grid focused on its remote column); no command runs then.
  std::function<bool(const QString& button)> Learner;

  // The read handler: takes the bytes just received and runs every line
  // they complete, in order.
  void Receive(QByteArrayView data);

 signals:
  void StatusChanged(const QString& text);

 private:
  void RunLine(const QString& line);
  void SetStatus(const QString& text);
  void Fail(int winSockError);

  const TKeyMap& keyMap_;
  QTcpSocket* socket_ = nullptr;
  TRemoteLineBuffer buffer_;
  TState state_ = TState::NotConnected;
  QString status_;
  quint16 port_ = DefaultPort;
};
