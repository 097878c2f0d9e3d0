#include <gtest/gtest.h>

#include "playlist/playlist.h"

namespace {

TEST(PlayListText, TimeTextTruncatesToMilliseconds) {
  EXPECT_EQ(TPlayList::TimeToText(0), QStringLiteral("00:00:00.000"));
  const qint64 t = ((1 * 3600 + 2 * 60 + 3) * 1000 + 45) * 10000LL + 9999;
  EXPECT_EQ(TPlayList::TimeToText(t), QStringLiteral("01:02:03.045"));
  EXPECT_EQ(TPlayList::TimeToText(100LL * 36000000000LL), QStringLiteral("100:00:00.000"));
  // Division truncates toward zero, so every field of a negative time is signed.
  EXPECT_EQ(TPlayList::TimeToText(-15000000), QStringLiteral("00:00:-01.-500"));
  EXPECT_EQ(TPlayList::TextToTime(QStringLiteral("01:02:03.045")), t - 9999);
  EXPECT_EQ(TPlayList::TextToTime(TPlayList::TimeToText(99LL * 36000000000LL + 5900000000LL)),
            99LL * 36000000000LL + 5900000000LL);
}

TEST(PlayListText, BadTimeTextsGiveZero) {
  for (const char* bad : {"", "1", "aa:00:00.000", "00:0x:00.000", "00:00:00.", "00:00:00.0 1",
                          "00:00: 1.000", "-:00:00.000"})
    EXPECT_EQ(TPlayList::TextToTime(QString::fromLatin1(bad)), 0) << bad;
  // Only the fixed positions are read; separators are not checked.
  EXPECT_EQ(TPlayList::TextToTime(QStringLiteral("00x00y01z002")), 10020000);
  EXPECT_EQ(TPlayList::TextToTime(QStringLiteral("00:00:01.5")), 10050000);
}

TEST(PlayListText, MediaTestUsesOnlyTheListedExtensions) {
  for (const char* yes : {"a.AVI", "b.avi", "c.MpEg", "x.y.m2v", "d.mid", ".wav"})
    EXPECT_TRUE(TPlayList::IsMediaFile(QString::fromLatin1(yes))) << yes;
  for (const char* no : {"a.dat", "b.txt", "avi", "c.avi.bak", "d.mp4", "e.kpl", "dir.avi/x"})
    EXPECT_FALSE(TPlayList::IsMediaFile(QString::fromLatin1(no))) << no;
}

TEST(PlayListText, TitleDropsFolderAndLastExtension) {
  EXPECT_EQ(TPlayList::TitleFromPath(QStringLiteral("/d/v/a.b.avi")), QStringLiteral("a.b"));
  EXPECT_EQ(TPlayList::TitleFromPath(QStringLiteral("/d.x/clip")), QStringLiteral("clip"));
  EXPECT_EQ(TPlayList::TitleFromPath(QStringLiteral("фильм.avi")), QStringLiteral("фильм"));
  EXPECT_EQ(TPlayList::TitleFromPath(QStringLiteral("/d/")), QString());
}

}  // namespace
