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
  // `handler` runs on the thread that made the port, once per message, in order.
  explicit TMessagePort(THandler handler, QObject* parent = nullptr);
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
};
