#include "platform/system/msgport.h"

#include <QSocketNotifier>
#include <QTimer>
#include <cerrno>
#include <fcntl.h>
#include <time.h>
#include <unistd.h>

uint32_t GetTickCount() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return uint32_t(uint64_t(t.tv_sec) * 1000u + uint64_t(t.tv_nsec) / 1000000u);
}

// The messages wait in a ring of fixed slots that senders claim with one
// atomic step: a streaming thread posting for every decoded frame neither
// locks, allocates nor enters the kernel. The pipe only carries the wake-up.
TMessagePort::TMessagePort(THandler handler, QObject* parent, int batchMs, size_t capacity)
    : QObject(parent), handler_(std::move(handler)), batchMs_(batchMs) {
  size_t n = 2;
  while (n < capacity) n <<= 1;
  ring_.reset(new TSlot[n]);
  mask_ = n - 1;
  for (size_t i = 0; i < n; ++i) ring_[i].turn.store(i, std::memory_order_relaxed);
  int fds[2];
  if (pipe2(fds, O_NONBLOCK | O_CLOEXEC) != 0) return;
  read_ = fds[0];
  write_ = fds[1];
  notifier_ = new QSocketNotifier(read_, QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, [this] {
    if (batchMs_ <= 0) return Drain();
    // Wait out the batch, then take it all and listen again.
    notifier_->setEnabled(false);
    QTimer::singleShot(batchMs_, this, [this] {
      Drain();
      notifier_->setEnabled(true);
    });
  });
}

TMessagePort::~TMessagePort() {
  if (read_ >= 0) close(read_);
  if (write_ >= 0) close(write_);
}

bool TMessagePort::Post(intptr_t wParam, intptr_t lParam) noexcept {
  if (write_ < 0) return false;
  size_t pos = head_.load(std::memory_order_relaxed);
  TSlot* slot;
  for (;;) {
    slot = &ring_[pos & mask_];
    const auto lag = std::ptrdiff_t(slot->turn.load(std::memory_order_acquire) - pos);
    if (lag == 0) {
      if (head_.compare_exchange_weak(pos, pos + 1, std::memory_order_relaxed)) break;
    } else if (lag < 0) {
      return false;  // the receiver has not yet read the message a lap ago
    } else {
      pos = head_.load(std::memory_order_relaxed);
    }
  }
  slot->w = wParam;
  slot->l = lParam;
  slot->turn.store(pos + 1, std::memory_order_release);
  // The receiver clears the flag before it looks at the ring, so a message
  // it may have missed always finds the flag clear and wakes it again.
  if (!woken_.exchange(true, std::memory_order_acq_rel)) {
    const char byte = 1;
    ssize_t r;
    do r = write(write_, &byte, 1);
    while (r < 0 && errno == EINTR);
  }
  return true;
}

void TMessagePort::Drain() {
  if (read_ < 0) return;
  // The wake-ups are read before the flag is cleared: read after, they could
  // take the one byte that a sender still filling its slot counts on.
  char bytes[64];
  while (read(read_, bytes, sizeof bytes) > 0) {
  }
  woken_.exchange(false, std::memory_order_acq_rel);
  // Messages are taken in the order their senders claimed positions; one
  // still being filled ends this look (its sender will wake the receiver).
  for (;;) {
    TSlot& slot = ring_[tail_ & mask_];
    if (slot.turn.load(std::memory_order_acquire) != tail_ + 1) return;
    const intptr_t w = slot.w, l = slot.l;
    slot.turn.store(tail_ + mask_ + 1, std::memory_order_release);
    ++tail_;
    handler_(w, l);
  }
}
