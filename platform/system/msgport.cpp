#include "platform/system/msgport.h"

#include <QSocketNotifier>
#include <QTimer>
#include <cerrno>
#include <fcntl.h>
#include <time.h>
#include <unistd.h>

namespace {
struct TMessage {
  intptr_t w, l;
};
}  // namespace

uint32_t GetTickCount() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return uint32_t(uint64_t(t.tv_sec) * 1000u + uint64_t(t.tv_nsec) / 1000000u);
}

// A pipe is the queue: a write of one message is atomic (far below the
// pipe's atomic size), takes no lock of ours and allocates nothing.
TMessagePort::TMessagePort(THandler handler, QObject* parent, int batchMs)
    : QObject(parent), handler_(std::move(handler)), batchMs_(batchMs) {
  int fds[2];
  if (pipe2(fds, O_NONBLOCK | O_CLOEXEC) != 0) return;
  read_ = fds[0];
  write_ = fds[1];
  // Room for a burst of some tens of thousands of frames while the UI is busy.
  fcntl(write_, F_SETPIPE_SZ, 1 << 20);
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
  const TMessage m{wParam, lParam};
  ssize_t n;
  do n = write(write_, &m, sizeof m);
  while (n < 0 && errno == EINTR);
  return n == ssize_t(sizeof m);
}

void TMessagePort::Drain() {
  if (read_ < 0) return;
  TMessage batch[256];
  for (;;) {
    const ssize_t n = read(read_, batch, sizeof batch);
    if (n <= 0) return;
    for (ssize_t i = 0; i < n / ssize_t(sizeof(TMessage)); ++i) handler_(batch[i].w, batch[i].l);
  }
}
