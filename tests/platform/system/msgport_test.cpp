#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <atomic>
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

// Senders that race each other and the receiver: every message arrives once,
// each sender's in its own order, and none waits for a wake-up that never came.
TEST_P(MessagePortBatches, SeveralSendersAtOnceLoseNothing) {
  constexpr int kSenders = 4, kEach = 30000;
  std::vector<std::vector<intptr_t>> got(kSenders);
  TMessagePort port([&](intptr_t w, intptr_t l) { got[size_t(w)].push_back(l); }, nullptr, GetParam(), 1 << 10);
  std::atomic<int> refused{0};
  std::atomic<bool> giveUp{false};  // a receiver that stopped taking must fail the test, not hang it
  std::vector<std::thread> senders;
  for (int s = 0; s < kSenders; ++s)
    senders.emplace_back([&, s] {
      for (int i = 0; i < kEach; ++i)
        while (!port.Post(s, i)) {
          if (giveUp.load()) return;
          refused.fetch_add(1);
          std::this_thread::yield();
        }
    });
  const auto total = [&] {
    size_t n = 0;
    for (const auto& g : got) n += g.size();
    return n;
  };
  QElapsedTimer t;
  t.start();
  while (total() < size_t(kSenders * kEach) && t.elapsed() < 20000)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  giveUp.store(true);
  for (auto& s : senders) s.join();
  ASSERT_EQ(total(), size_t(kSenders * kEach)) << refused.load() << " posts were refused on the way";
  for (int s = 0; s < kSenders; ++s)
    for (int i = 0; i < kEach; ++i) ASSERT_EQ(got[size_t(s)][size_t(i)], i) << "sender " << s;
}

// Woken per message, and in batches of 10 ms.
INSTANTIATE_TEST_SUITE_P(MessagePort, MessagePortBatches, ::testing::Values(0, 10));

TEST(MessagePort, AFullQueueRefusesUntilTheReceiverHasRead) {
  std::vector<intptr_t> got;
  TMessagePort port([&](intptr_t w, intptr_t) { got.push_back(w); }, nullptr, 0, 4);
  for (int i = 0; i < 4; ++i) ASSERT_TRUE(port.Post(i, 0));
  EXPECT_FALSE(port.Post(99, 0));
  port.Drain();
  EXPECT_EQ(got, (std::vector<intptr_t>{0, 1, 2, 3}));
  // The slots are free again, around the ring and back.
  for (int i = 4; i < 10; ++i) {
    ASSERT_TRUE(port.Post(i, 0));
    port.Drain();
  }
  EXPECT_EQ(got.size(), 10u);
  EXPECT_EQ(got.back(), 9);
}

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
