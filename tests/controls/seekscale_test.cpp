#include <gtest/gtest.h>

#include "controls/seekscale.h"

namespace {

std::vector<QString> Texts(const TScale& s) {
  std::vector<QString> out;
  for (const TScaleLabel& l : s.Labels) out.push_back(l.Text);
  return out;
}

const TTrack Bar400{0, 400, 18};

}  // namespace

TEST(SeekScale, NinetyMinuteFilmOnFourHundredPixels) {
  const qint64 d = 90 * MediaMinute;
  ASSERT_EQ(Bar400.Usable(), 364);
  const TScale s = BuildScale(Bar400, d);
  EXPECT_EQ(s.Step, 15 * MediaMinute);
  EXPECT_EQ(Texts(s), (std::vector<QString>{"0:00:00", "0:15:00", "0:30:00", "0:45:00", "1:00:00", "1:15:00",
                                            "1:30:00"}));
  std::vector<int> xs;
  for (const TScaleLabel& l : s.Labels) xs.push_back(l.X);
  EXPECT_EQ(xs, (std::vector<int>{18, 78, 139, 200, 260, 321, 382}));
  EXPECT_EQ(s.EndX, 382);
  // Four minor ticks between labels, none past the end.
  ASSERT_EQ(s.MinorTicks.size(), 24u);
  EXPECT_EQ(std::vector<int>(s.MinorTicks.begin(), s.MinorTicks.begin() + 4), (std::vector<int>{30, 42, 54, 66}));
  EXPECT_LT(s.MinorTicks.back(), 382);
}

TEST(SeekScale, FourMinuteClip) {
  const TScale s = BuildScale(Bar400, 4 * MediaMinute);
  EXPECT_EQ(s.Step, MediaMinute);
  EXPECT_EQ(Texts(s), (std::vector<QString>{"0:00", "1:00", "2:00", "3:00", "4:00"}));
}

TEST(SeekScale, NarrowBarLabelsOnlyStartAndEnd) {
  const qint64 d = 90 * MediaMinute;
  const TScale s = BuildScale(TTrack{0, 125, 18}, d);  // 89 usable pixels: one slot
  EXPECT_EQ(s.Step, d);
  EXPECT_EQ(Texts(s), (std::vector<QString>{"0:00:00", "1:30:00"}));
  EXPECT_EQ(s.Labels.back().X, 18 + 89);
}

TEST(SeekScale, NoUsableTrackMeansNoScaleAndEveryClickAtZero) {
  for (int width : {0, 20, 36}) {
    const TTrack t{0, width, 18};
    EXPECT_TRUE(BuildScale(t, 90 * MediaMinute).Labels.empty()) << width;
    for (int x : {-100, 0, 18, 35, 500}) EXPECT_EQ(XToTime(t, x, 90 * MediaMinute), 0) << width << " " << x;
    EXPECT_EQ(TimeToX(t, 45 * MediaMinute, 90 * MediaMinute), 0);
  }
  EXPECT_TRUE(BuildScale(Bar400, 0).Labels.empty());
}

TEST(SeekScale, StepLadder) {
  struct Case {
    qint64 duration;
    int usable;
    qint64 step;
  };
  const Case cases[] = {
      {3 * MediaSecond, 364, MediaSecond},              // below one second rounds to one
      {35 * MediaSecond, 364, 5 * MediaSecond},         // 5 s exactly stays
      {42 * MediaSecond, 364, 10 * MediaSecond},        // 6 s becomes 10 s
      {7 * 30 * MediaMinute, 364, 30 * MediaMinute},    // 30 min exactly stays
      {7 * 3 * MediaHour, 364, 5 * MediaHour},          // 3 h becomes 5 h
      {7 * 6 * MediaHour, 364, 6 * MediaHour},          // above 5 h stays
      {90 * MediaMinute, 89, 90 * MediaMinute},         // one slot: the whole duration
      {90 * MediaMinute, 90, 2 * MediaHour},            // two slots: the duration, rounded up
  };
  for (const Case& c : cases) EXPECT_EQ(ScaleStep(c.duration, c.usable), c.step) << c.duration << " " << c.usable;
}

TEST(SeekScale, LabelFormsFollowTheDuration) {
  const qint64 t = MediaHour * 3 + MediaMinute * 2 + MediaSecond * 5;
  EXPECT_EQ(ScaleLabel(65 * MediaSecond, 10 * MediaMinute - 1), "1:05");
  EXPECT_EQ(ScaleLabel(65 * MediaSecond, 10 * MediaMinute), "01:05");
  EXPECT_EQ(ScaleLabel(65 * MediaSecond, MediaHour - 1), "01:05");
  EXPECT_EQ(ScaleLabel(65 * MediaSecond, MediaHour), "0:01:05");
  EXPECT_EQ(ScaleLabel(t, 4 * MediaHour), "3:02:05");
  // Minutes wrap at the hour in the short forms.
  EXPECT_EQ(ScaleLabel(MediaHour + 65 * MediaSecond, 5 * MediaMinute), "1:05");
}

TEST(SeekScale, ClicksAtAndBeyondTheEnds) {
  const qint64 d = 90 * MediaMinute;
  EXPECT_EQ(XToTime(Bar400, 0, d), 0);
  EXPECT_EQ(XToTime(Bar400, 18, d), 0);
  EXPECT_EQ(XToTime(Bar400, 382, d), d);
  EXPECT_EQ(XToTime(Bar400, 399, d), d);
  EXPECT_EQ(XToTime(Bar400, 200, d), d * 182 / 364);
  EXPECT_EQ(XToTime(Bar400, 5, 0), 0);
  EXPECT_EQ(TimeToX(Bar400, 0, d), 18);
  EXPECT_EQ(TimeToX(Bar400, d, d), 382);
  EXPECT_EQ(TimeToX(Bar400, d / 2, 0), 0);
  // A position far past a short duration stays a sane coordinate.
  EXPECT_GT(TimeToX(Bar400, std::numeric_limits<qint64>::max(), 1), 382);
  EXPECT_EQ(MarkX(TTrack{5, 405, 18}, d, d), 18 + 364);  // marks ignore the left edge
}
