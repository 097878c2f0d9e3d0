#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "platform/system/cpuload.h"

namespace {

// cpu10 comes before cpu1 so that a prefix match would pick the wrong line.
const char kStat[] =
    "cpu  900 10 300 5000 40 0 7 0 0 0\n"
    "cpu0 100 2 50 1000 20 3 4 1 60 5\n"
    "cpu10 7 0 0 9 0 0 0 0 0 0\n"
    "cpu1 8 0 0 3 0 0 0 0 0 0\n"
    "intr 12345 0 0\n"
    "ctxt 999\n";

void Write(const QString& path, const QByteArray& text) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
  f.write(text);
}

}  // namespace

TEST(CpuTimes, PicksTheNamedProcessorAndLeavesIdleGuestOut) {
  // cpu0: user 100 nice 2 system 50 idle 1000 iowait 20 irq 3 softirq 4 steal 1;
  // guest 60 and guest_nice 5 are already inside user and nice.
  const auto cpu0 = ParseCpuTimes(kStat, 0);
  ASSERT_TRUE(cpu0);
  EXPECT_EQ(cpu0->total, 100u + 2 + 50 + 1000 + 20 + 3 + 4 + 1);
  EXPECT_EQ(cpu0->busy, 100u + 2 + 50 + 3 + 4 + 1);

  const auto cpu1 = ParseCpuTimes(kStat, 1);
  ASSERT_TRUE(cpu1);
  EXPECT_EQ(cpu1->total, 11u);
  EXPECT_EQ(cpu1->busy, 8u);
  EXPECT_FALSE(ParseCpuTimes(kStat, 2));
  EXPECT_FALSE(ParseCpuTimes(kStat, -1));
}

TEST(CpuTimes, AcceptsOldShortLinesAndRejectsBrokenOnes) {
  // Kernels before 2.6 stop after idle.
  const auto old = ParseCpuTimes("cpu0 10 0 10 80\n", 0);
  ASSERT_TRUE(old);
  EXPECT_EQ(old->total, 100u);
  EXPECT_EQ(old->busy, 20u);
  // Tabs, repeated blanks and a missing final line break are fine.
  const auto loose = ParseCpuTimes("cpu0\t1  2 3 4 5", 0);
  ASSERT_TRUE(loose);
  EXPECT_EQ(loose->busy, 6u);

  EXPECT_FALSE(ParseCpuTimes("cpu0 1 2 3\n", 0));
  EXPECT_FALSE(ParseCpuTimes("cpu0 1 2 x 4\n", 0));
  EXPECT_FALSE(ParseCpuTimes("cpu0 1 -2 3 4\n", 0));
  EXPECT_FALSE(ParseCpuTimes("cpu0 18446744073709551615 1 1 1\n", 0));
  EXPECT_FALSE(ParseCpuTimes("cpu0 99999999999999999999999 1 1 1\n", 0));
  EXPECT_FALSE(ParseCpuTimes("", 0));
}

TEST(CpuTimes, BusyPercentRoundsHalfToEvenAndStaysInRange) {
  const TCpuTimes start{1000, 5000};
  EXPECT_EQ(BusyPercent(start, {1100, 5200}), 50);
  EXPECT_EQ(BusyPercent(start, {1001, 5200}), 0);   // 0.5 -> 0
  EXPECT_EQ(BusyPercent(start, {1003, 5200}), 2);   // 1.5 -> 2
  EXPECT_EQ(BusyPercent(start, {1005, 5200}), 2);   // 2.5 -> 2
  EXPECT_EQ(BusyPercent(start, {1006, 5200}), 3);   // 3.0
  EXPECT_EQ(BusyPercent(start, {1200, 5200}), 100);
  EXPECT_EQ(BusyPercent(start, start), 0);          // no time passed
  EXPECT_EQ(BusyPercent(start, {900, 5100}), 0);    // a counter went back
  EXPECT_EQ(BusyPercent(start, {1100, 4000}), 0);
  const quint64 huge = std::numeric_limits<quint64>::max() / 2;
  EXPECT_EQ(BusyPercent({0, 0}, {huge / 4, huge}), 25);
}

TEST(ProcStatCpuLoad, SamplesBetweenReadsOfTheFile) {
  QTemporaryDir dir;
  const QString path = dir.filePath("stat");
  Write(path, "cpu0 100 0 100 800 0 0 0 0\n");
  TProcStatCpuLoad load(path, 0);
  ASSERT_TRUE(load.Open());

  Write(path, "cpu0 130 0 100 870 0 0 0 0\n");
  EXPECT_EQ(load.Sample(), 30);
  // A failed read gives 0 and keeps the last good sample as the base.
  Write(path, "garbage\n");
  EXPECT_EQ(load.Sample(), 0);
  Write(path, "cpu0 230 0 100 970 0 0 0 0\n");
  EXPECT_EQ(load.Sample(), 50);
  EXPECT_TRUE(load.Close());
  EXPECT_EQ(load.Sample(), 0);
}

// A machine with many processors has a long file; the last one's line lies
// well past the first piece read.
TEST(ProcStatCpuLoad, LastProcessorOfALongFileIsFound) {
  QTemporaryDir dir;
  const QString path = dir.filePath("stat");
  auto stat = [](int user, int idle) {
    QByteArray text = "cpu 0 0 0 0 0 0 0 0\n";
    for (int i = 0; i < 1000; ++i) text += "cpu" + QByteArray::number(i) + " 1 0 1 8 0 0 0 0\n";
    text += "cpu1000 " + QByteArray::number(user) + " 0 100 " + QByteArray::number(idle) +
            " 0 0 0 0\nintr " + QByteArray(40000, '0') + "\n";
    return text;
  };
  Write(path, stat(100, 800));
  ASSERT_GT(QFileInfo(path).size(), 40000);
  TProcStatCpuLoad load(path, 1000);
  ASSERT_TRUE(load.Open());
  Write(path, stat(140, 860));
  EXPECT_EQ(load.Sample(), 40);
}

TEST(ProcStatCpuLoad, MissingFileCannotOpen) {
  TProcStatCpuLoad load("/nonexistent/stat", 0);
  EXPECT_FALSE(load.Open());
  EXPECT_EQ(load.Sample(), 0);
}
