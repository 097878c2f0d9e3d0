#pragma once
#include <QByteArray>
#include <QLocalServer>
#include <QPointer>
#include <QString>
#include <deque>
#include <functional>

class QLocalSocket;

// A second start of the program hands its command line to the instance that
// already runs, over a local socket only the same user can reach.
//
// On the wire: the sender writes the text's length (4 bytes, big-endian);
// the running instance answers 'A' to go on or 'R' when the text is too
// long; after 'A' the sender writes the text, and the running instance
// answers 'D' once its handler has returned.

// The longest command line one instance takes from another. Far above what a
// desktop hands a program when many files are opened at once, and small
// enough that a stray client cannot make the player hoard memory.
inline constexpr quint32 MaxHandOverBytes = 1u << 20;

// <runtime dir>/kelvara-<uid>.instance: one channel per user.
QString InstanceChannelName();

enum class THandOverResult {
  NoInstance,  // nobody listens (or only a crashed instance's socket file is left)
  Delivered,   // the running instance took the text and its handler has returned
  Refused,     // the running instance would not take a text that long
  NoAnswer,    // an instance was reached but did not finish in time
};

// Blocking: usable before the event loop runs. Anything but NoInstance means
// another instance is running.
THandOverResult HandOverCommandLine(const QByteArray& commandLine,
                                    const QString& channel = InstanceChannelName(),
                                    int answerTimeoutMs = 30000);

// The running instance's end of the channel. Messages reach the handler on
// the thread that owns the server (the UI thread), one at a time and in the
// order they were completed.
class TInstanceServer {
 public:
  using THandler = std::function<void(const QByteArray& commandLine)>;

  explicit TInstanceServer(THandler handler);
  ~TInstanceServer();
  TInstanceServer(const TInstanceServer&) = delete;
  TInstanceServer& operator=(const TInstanceServer&) = delete;

  // Opens the channel. A socket file that nobody answers on (left by a
  // crashed instance) is replaced; a live instance's channel is never taken
  // over, and then this returns false.
  bool Listen(const QString& channel = InstanceChannelName());
  bool IsListening() const { return server_.isListening(); }
  QString FullServerName() const { return server_.fullServerName(); }
  QLocalServer::SocketOptions SocketOptions() const { return server_.socketOptions(); }
  // How long a sender may take between connecting and finishing its text.
  void SetSendTimeout(int ms) { sendTimeoutMs_ = ms; }

 private:
  struct TPending {
    QPointer<QLocalSocket> socket;
    QByteArray text;
  };

  void Accept();
  void Deliver(QLocalSocket* socket, QByteArray text);
  void DeliverPending();

  THandler handler_;
  QLocalServer server_;
  std::deque<TPending> pending_;
  bool delivering_ = false;
  int sendTimeoutMs_ = 10000;
};
