#include <gtest/gtest.h>

#include <QStringList>

#include "platform/system/msgbox.h"
#include "tests/support/fake_msgbox.h"

TEST(MessageBoxes, EmptyCaptionsBecomeProgramCaptions) {
  TFakeMessageBoxes fake;
  ShowErrorBox("", "boom");
  ShowInfoBox("", "hello");
  ShowErrorBox("Own", "x");
  ASSERT_EQ(fake.shown.size(), 3u);
  EXPECT_EQ(fake.shown[0].caption, "Kelvara 1.9 Beta fault");
  EXPECT_EQ(fake.shown[0].icon, TMsgIcon::Error);
  EXPECT_EQ(fake.shown[1].caption, "Kelvara 1.9 Beta");
  EXPECT_EQ(fake.shown[1].icon, TMsgIcon::Information);
  EXPECT_EQ(fake.shown[2].caption, "Own");
}

// A megabyte "file name" from a damaged list is shown by its two ends; every
// other line stays as it was.
TEST(MessageBoxes, LongLinesAreShownByTheirEnds) {
  TFakeMessageBoxes fake;
  const QString name = "/start/" + QString(1024 * 1024, 'x') + "/end.avi";
  ShowErrorBox("Ошибка загрузки файла", name + "\r\nОшибка: 0x80070002 (short)");
  ASSERT_EQ(fake.shown.size(), 1u);
  const QStringList lines = fake.shown[0].text.split("\r\n");
  ASSERT_EQ(lines.size(), 2);
  EXPECT_LE(lines[0].size(), 512);
  EXPECT_TRUE(lines[0].startsWith("/start/xxx"));
  EXPECT_TRUE(lines[0].endsWith("xxx/end.avi"));
  EXPECT_EQ(lines[1], "Ошибка: 0x80070002 (short)");
  EXPECT_EQ(BoundForDisplay("a\n\nb"), "a\n\nb");
}
