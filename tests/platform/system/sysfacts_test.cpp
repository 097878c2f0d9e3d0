#include <gtest/gtest.h>

#include <QSysInfo>

#include "platform/system/sysfacts.h"

TEST(SystemFacts, KernelReleaseNumbers) {
  struct Case { const char* release; int major, minor, patch; };
  const Case cases[] = {
      {"6.1.0-18-amd64", 6, 1, 0},
      {"5.15.153.1-microsoft-standard-WSL2", 5, 15, 153},
      {"6.8.0-rc3", 6, 8, 0},
      {"4.19", 4, 19, 0},
      {"3", 3, 0, 0},
      {"", 0, 0, 0},
      {"abc", 0, 0, 0},
      {"99999999999999.2.3", 0x7fffffff, 2, 3},
  };
  for (const Case& c : cases) {
    const TKernelVersion v = ParseKernelRelease(c.release);
    EXPECT_EQ(v.Major, c.major) << c.release;
    EXPECT_EQ(v.Minor, c.minor) << c.release;
    EXPECT_EQ(v.Patch, c.patch) << c.release;
  }
}

TEST(SystemFacts, PrettyNameUndoesShellQuoting) {
  EXPECT_EQ(OsReleasePrettyName("NAME=\"Debian GNU/Linux\"\nPRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\nID=debian\n"),
            "Debian GNU/Linux 12 (bookworm)");
  EXPECT_EQ(OsReleasePrettyName("PRETTY_NAME='Single \"quoted\"'\n"), "Single \"quoted\"");
  EXPECT_EQ(OsReleasePrettyName("PRETTY_NAME=\"Say \\\"hi\\\" \\\\ \\$x\"\n"), "Say \"hi\" \\ $x");
  EXPECT_EQ(OsReleasePrettyName("PRETTY_NAME=Plain\r\n"), "Plain");
  EXPECT_EQ(OsReleasePrettyName("PRETTY_NAME=\"Альт Линукс\"\n"), QString::fromUtf8("Альт Линукс"));
  EXPECT_EQ(OsReleasePrettyName("PRETTY_NAME=first\nPRETTY_NAME=second\n"), "second");
  EXPECT_EQ(OsReleasePrettyName("# PRETTY_NAME=commented\nNAME=x\n"), "");
  EXPECT_EQ(OsReleasePrettyName("XPRETTY_NAME=no\n"), "");
  EXPECT_EQ(OsReleasePrettyName(""), "");
}

TEST(SystemFacts, ReadsTheRunningKernel) {
  const TSystemFacts facts = ReadSystemFacts();
  ASSERT_TRUE(facts.Known);
  EXPECT_EQ(facts.KernelName.toLower(), QSysInfo::kernelType());
  EXPECT_EQ(facts.KernelRelease, QSysInfo::kernelVersion());
}
