#include <gtest/gtest.h>

#include "core/cmdline.h"

TEST(CommandLine, TokensWithAndWithoutQuotes) {
  QString text = "  /usr/bin/kelvara /home/a/a.avi \"/home/a/My Movies/b.avi\"  ";
  EXPECT_EQ(TakeToken(text), "/usr/bin/kelvara");
  EXPECT_EQ(TakeToken(text), "/home/a/a.avi");
  EXPECT_EQ(TakeToken(text), "/home/a/My Movies/b.avi");
  EXPECT_TRUE(text.isEmpty());
}

TEST(CommandLine, UnmatchedQuoteGivesQuestionMarkThenWords) {
  EXPECT_EQ(CommandLineArguments("prog \"one two three"),
            QStringList({"?", "one", "two", "three"}));
  QString text = "\"only";
  EXPECT_EQ(TakeToken(text), "?");
  EXPECT_EQ(text, "only");
}

TEST(CommandLine, EmptyQuotesAndTabsAsBlanks) {
  EXPECT_EQ(CommandLineArguments("prog \"\" x"), QStringList({"", "x"}));
  // Tabs are trimmed at the ends but do not separate tokens.
  EXPECT_EQ(CommandLineArguments("prog\t \ta\tb "), QStringList({"a\tb"}));
  EXPECT_TRUE(CommandLineArguments("prog").isEmpty());
  EXPECT_TRUE(CommandLineArguments("").isEmpty());
}

TEST(CommandLine, BuildThenSplitRoundTrips) {
  const QStringList args = {"/home/a/a.avi", "/home/a/My Movies/b.avi", "c"};
  const QString line = BuildCommandLine("/opt/kelvara bin/kelvara", args);
  EXPECT_EQ(line, "\"/opt/kelvara bin/kelvara\" /home/a/a.avi \"/home/a/My Movies/b.avi\" c");
  EXPECT_EQ(CommandLineArguments(line), args);
}

TEST(CommandLine, FolderPartKeepsTrailingSeparator) {
  EXPECT_EQ(FolderPart("/home/a/a.avi"), "/home/a/");
  EXPECT_EQ(FolderPart("a.avi"), "");
  EXPECT_EQ(FolderPart("/a.avi"), "/");
}

TEST(CommandLine, NamesWithQuotesComeBackAsGiven) {
  const QStringList args = {"/home/a/\"quoted\".avi", "/home/a/My \"Best\" Movies/b.avi", "\"",
                            "a\"\"b", "ends with \"", "\"starts", ""};
  EXPECT_EQ(CommandLineArguments(BuildCommandLine("/usr/bin/kelvara", args)), args);
}
