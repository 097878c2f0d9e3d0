#pragma once
#include <QCoreApplication>
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
