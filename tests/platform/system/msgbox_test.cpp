#include <gtest/gtest.h>

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
