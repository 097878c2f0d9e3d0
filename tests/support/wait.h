#pragma once
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>
#include <functional>

// Runs the event loop until the condition holds; false when the deadline
// passed first. Tests wait on what they need instead of sleeping.
inline bool WaitUntil(const std::function<bool()>& condition, int deadlineMs = 10000) {
  return QTest::qWaitFor(condition, deadlineMs);
}

// Runs the events already posted (commands among them) and the ones they post.
inline void DrainPostedEvents() {
  for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
}

// Like WaitUntil, for tests that poll a condition the engine's own events
// change, in short slices of the event loop.
template <class F>
bool PumpUntil(F done, int boundMs = 20000) {
  QElapsedTimer t;
  t.start();
  while (!done()) {
    if (t.elapsed() > boundMs) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  return true;
}
