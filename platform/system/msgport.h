#pragma once
// Posting a two-word message to the UI thread from any thread without
// allocating or locking (a streaming thread must do neither), and the
// millisecond tick the messages carry.
#include <QObject>
#include <cstdint>
#include <functional>

class QSocketNotifier;

// Milliseconds since an arbitrary start, wrapping at 2^32.
uint32_t GetTickCount();

class TMessagePort : public QObject {
 public:
  using THandler = std::function<void(intptr_t wParam, intptr_t lParam)>;
  // `handler` runs on the thread that made the port, once per message, in
  // order. With `batchMs` > 0 the receiver wakes at most that often and
  // takes everything that arrived meanwhile: a sender of thousands of
  // messages a second then does not wake it for each one.
  explicit TMessagePort(THandler handler, QObject* parent = nullptr, int batchMs = 0);
  ~TMessagePort() override;
  // Any thread. False when the queue is full (the receiver is far behind):
  // the message is then lost rather than waited for.
  bool Post(intptr_t wParam, intptr_t lParam) noexcept;
  // Handles every message already posted (the receiver's side).
  void Drain();

 private:
  THandler handler_;
  int read_ = -1, write_ = -1;
  QSocketNotifier* notifier_ = nullptr;
  int batchMs_ = 0;
};
