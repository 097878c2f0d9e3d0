#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <thread>
#include <vector>

#include "platform/system/msgport.h"

namespace {

class MessagePortBatches : public ::testing::TestWithParam<int> {};

TEST_P(MessagePortBatches, MessagesFromAnotherThreadArriveWholeAndInOrder) {
  std::vector<std::pair<intptr_t, intptr_t>> got;
  TMessagePort port([&](intptr_t w, intptr_t l) { got.emplace_back(w, l); }, nullptr, GetParam());
  constexpr int kCount = 20000;  // more than one read takes, fewer than the queue holds
  std::thread sender([&] {
    for (int i = 0; i < kCount; ++i) ASSERT_TRUE(port.Post(intptr_t(i) * 3, -intptr_t(i)));
  });
  sender.join();
  QElapsedTimer t;
  t.start();
  while (got.size() < size_t(kCount) && t.elapsed() < 10000) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  ASSERT_EQ(got.size(), size_t(kCount));
  for (int i = 0; i < kCount; ++i) {
    EXPECT_EQ(got[size_t(i)].first, intptr_t(i) * 3);
    EXPECT_EQ(got[size_t(i)].second, -intptr_t(i));
  }
}

// Woken per message, and in batches of 10 ms.
INSTANTIATE_TEST_SUITE_P(MessagePort, MessagePortBatches, ::testing::Values(0, 10));

TEST(MessagePort, TickCountsMilliseconds) {
  const uint32_t a = GetTickCount();
  QElapsedTimer t;
  t.start();
  while (t.elapsed() < 30) {
  }
  const uint32_t d = GetTickCount() - a;
  EXPECT_GE(d, 29u);
  EXPECT_LT(d, 1000u);
}

}  // namespace
