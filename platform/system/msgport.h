#pragma once
// Posting a two-word message to the UI thread from any thread without
// allocating or locking (a streaming thread must do neither), and the
// millisecond tick the messages carry.
#include <QObject>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

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
  // `capacity` (a power of two) is how many messages may wait.
  explicit TMessagePort(THandler handler, QObject* parent = nullptr, int batchMs = 0, size_t capacity = 1 << 16);
  ~TMessagePort() override;
  // Any thread, any number of them. False when the queue is full (the
  // receiver is far behind): the message is then lost rather than waited
  // for. Only the first message after the receiver last looked makes a
  // system call, to wake it.
  bool Post(intptr_t wParam, intptr_t lParam) noexcept;
  // Handles every message already posted (the receiver's side).
  void Drain();

 private:
  struct TSlot {
    std::atomic<size_t> turn;  // the position this slot takes next, + 1 once filled
    intptr_t w, l;
  };
  THandler handler_;
  std::unique_ptr<TSlot[]> ring_;
  size_t mask_ = 0;
  alignas(64) std::atomic<size_t> head_{0};  // next position a sender takes
  alignas(64) size_t tail_ = 0;              // next position the receiver reads
  std::atomic<bool> woken_{false};           // a wake-up is on its way
  int read_ = -1, write_ = -1;
  QSocketNotifier* notifier_ = nullptr;
  int batchMs_ = 0;
};
