#include "platform/system/termsignal.h"

#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <csignal>

namespace {

int g_pipe[2] = {-1, -1};

void SignalHandler(int) {
  const char c = 1;
  // Only async-signal-safe work here: wake the UI thread.
  [[maybe_unused]] const ssize_t n = ::write(g_pipe[0], &c, 1);
}

}  // namespace

void OnTerminateSignal(std::function<void()> handler) {
  if (g_pipe[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM, 0, g_pipe) != 0) return;
  auto* notifier = new QSocketNotifier(g_pipe[1], QSocketNotifier::Read, QCoreApplication::instance());
  QObject::connect(notifier, &QSocketNotifier::activated, notifier, [handler = std::move(handler)] {
    char c;
    [[maybe_unused]] const ssize_t n = ::read(g_pipe[1], &c, 1);
    handler();
  });
  struct sigaction sa {};
  sa.sa_handler = SignalHandler;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = SA_RESTART;
  for (int sig : {SIGTERM, SIGINT, SIGHUP}) sigaction(sig, &sa, nullptr);
}
