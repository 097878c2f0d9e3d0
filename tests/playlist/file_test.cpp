#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <unistd.h>

#include <climits>
#include <cstdlib>

#include "tests/playlist/fakes.h"

namespace {

QByteArray ReadAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void Write(const QString& path, const QByteArray& data) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(data);
}

class PlayListFile : public ::testing::Test, public TPlayListFixture {
 protected:
  QTemporaryDir dir;
  QString Path(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }
};

TEST_F(PlayListFile, SavesTheExactFormatAndReadsItBack) {
  list.AddFile(QStringLiteral("/видео/clip one.avi"));
  list.SetCurrentItem(0);
  list.AddBookmark(((12 * 60 + 7) * 1000 + 40) * 10000LL);
  list.AddFile(QStringLiteral("/v/b.mp3"));
  list.LoadFromData(">N \r\n");  // empty title for b
  ASSERT_TRUE(list.SaveToFile(Path("a.kpl")));
  const QByteArray expected =
      "/видео/clip one.avi\r\n>N clip one\r\n>B 00:12:07.040 [ 00:12:07 ]\r\n\r\n"
      "/v/b.mp3\r\n>N \r\n\r\n";
  EXPECT_EQ(ReadAll(Path("a.kpl")), expected);

  TPlayList copy;
  copy.LoadFromFile(Path("a.kpl"));
  ASSERT_EQ(copy.Count(), 2);
  EXPECT_EQ(copy.Item(0).FileName, list.Item(0).FileName);
  EXPECT_EQ(copy.Item(0).Title, QStringLiteral("clip one"));
  ASSERT_EQ(copy.Item(0).Bookmarks.size(), 1u);
  EXPECT_EQ(copy.Item(0).Bookmarks[0].Name, QStringLiteral("[ 00:12:07 ]"));
  EXPECT_EQ(copy.Item(0).Bookmarks[0].Time, list.Item(0).Bookmarks[0].Time);
  EXPECT_EQ(copy.Item(1).Title, QString());
  EXPECT_EQ(copy.CurrentItem(), -1);  // the current entry is not in the file
}

TEST_F(PlayListFile, LoadingAppendsAndRefreshesOnce) {
  AddNumbered(1);
  Write(Path("b.kpl"), ">B 00:00:09.000 onto the old last entry\r\n/v/x.avi\r\n");
  const int repaints = grid.repaints;
  list.LoadFromFile(Path("b.kpl"));
  EXPECT_EQ(grid.repaints, repaints + 1);
  EXPECT_EQ(list.Count(), 2);
  ASSERT_EQ(list.Item(0).Bookmarks.size(), 1u);
  EXPECT_EQ(list.Item(0).Bookmarks[0].Time, 90000000);
  EXPECT_EQ(grid.rowCount, 3);

  // Missing file or a folder: nothing changes, not even a refresh.
  list.LoadFromFile(Path("none.kpl"));
  list.LoadFromFile(dir.path());
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(grid.repaints, repaints + 1);
}

TEST_F(PlayListFile, MalformedLinesFollowTheReadingRules) {
  list.LoadFromData(
      ">N before any entry\r\n>B 00:00:01.000 also ignored\r\n"
      "  \t/v/a.avi \t\r\n"        // trimmed path line
      ">X unknown\r\n"
      ">n lower case is unknown\r\n"
      ">Ntitle without blank\r\n"  // title from the 4th character
      ">B 99:99:zz.000 bad time\r\n"
      ">B 00:00:02.000\r\n"        // too short for a name
      ">B\r\n"
      ">\r\n"
      "\x01\x02\r\n"
      "/v/b.avi\r\n");
  ASSERT_EQ(list.Count(), 2);
  const TPLMember& a = list.Item(0);
  EXPECT_EQ(a.FileName, QStringLiteral("/v/a.avi"));
  EXPECT_EQ(a.Title, QStringLiteral("itle without blank"));
  ASSERT_EQ(a.Bookmarks.size(), 3u);
  EXPECT_EQ(a.Bookmarks[0].Time, 0);
  EXPECT_EQ(a.Bookmarks[0].Name, QStringLiteral("bad time"));
  EXPECT_EQ(a.Bookmarks[1].Time, 20000000);
  EXPECT_EQ(a.Bookmarks[1].Name, QString());
  EXPECT_EQ(a.Bookmarks[2].Time, 0);
  EXPECT_EQ(list.Item(1).Title, QStringLiteral("b"));
}

TEST_F(PlayListFile, LineEndsOfEveryKindAndCtrlZ) {
  list.LoadFromData("/v/1.avi\n>N one\n>B 00:00:01.000 m\n\n/v/2.avi\r/v/3.avi\r\n/v/4.avi");
  ASSERT_EQ(list.Count(), 4);
  EXPECT_EQ(list.Item(0).Title, QStringLiteral("one"));
  EXPECT_EQ(list.Item(0).Bookmarks.size(), 1u);
  EXPECT_EQ(list.Item(3).FileName, QStringLiteral("/v/4.avi"));

  list.Clear();
  list.LoadFromData(QByteArray("/v/5.avi\r\n/v/6.a\x1a" "vi\r\n/v/7.avi\r\n"));
  EXPECT_EQ(Files(), (QStringList{"/v/5.avi", "/v/6.a"}));
}

TEST_F(PlayListFile, SaveReplacesTheOldFileOnlyWhenItCan) {
  AddNumbered(2);
  Write(Path("c.kpl"), QByteArray(5000, 'x'));
  ASSERT_TRUE(list.SaveToFile(Path("c.kpl")));
  EXPECT_EQ(ReadAll(Path("c.kpl")), list.SaveToData());
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"c.kpl"});  // no leftovers

  // A read-only list is kept as it is.
  QFile::setPermissions(Path("c.kpl"), QFile::ReadOwner);
  list.AddFile(QStringLiteral("/v/new.avi"));
  if (::geteuid() != 0) {
    EXPECT_FALSE(list.SaveToFile(Path("c.kpl")));
    EXPECT_NE(ReadAll(Path("c.kpl")), list.SaveToData());
    // ...and can still be loaded.
    TPlayList copy;
    copy.LoadFromFile(Path("c.kpl"));
    EXPECT_EQ(copy.Count(), 2);
  }
  EXPECT_FALSE(list.SaveToFile(dir.filePath("no/such/folder/d.kpl")));
  EXPECT_FALSE(list.SaveToFile(dir.path()));
}

TEST_F(PlayListFile, AddFilesExpandsListsAndFoldersInArgumentOrder) {
  Write(Path("l.KPL"), "/v/from list 1.avi\r\n/v/from list 2.avi\r\n");
  QDir(dir.path()).mkdir(QStringLiteral("sub"));
  Write(Path("sub/m.mpg"), "");
  AddNumbered(1);
  list.AddFiles({QStringLiteral("/v/first.avi"), Path("l.KPL"), Path("sub"),
                 QStringLiteral("/v/missing.avi")},
                true);
  EXPECT_EQ(Files(), (QStringList{"/v/first.avi", "/v/from list 1.avi", "/v/from list 2.avi",
                                  Path("sub") + "/m.mpg", "/v/missing.avi"}));
  list.AddFiles({QStringLiteral("/v/more.wav")}, false);
  EXPECT_EQ(list.Count(), 6);
}

}  // namespace

namespace {

// A damaged list: a first "name" of megabytes, then random bytes. Lines
// longer than any path the system takes become neither entries nor titles;
// what follows a rejected name does not attach to the entry before it.
TEST_F(PlayListFile, LinesLongerThanAnyPathAreNoEntries) {
  QByteArray data("/v/before.avi\r\n>N Before\r\n");
  data += QByteArray(10 * 1024 * 1024, 'a') + "\r\n>N Orphan title\r\n>B 00:00:01.000 Orphan mark\r\n";
  data += "/v/after.avi\r\n>N " + QByteArray(PATH_MAX + 1, 't') + "\r\n";
  std::srand(12);
  QByteArray noise(256 * 1024, '\0');
  for (char& c : noise) c = char(std::rand() % 256);
  data += noise;
  Write(Path("broken.kpl"), data);
  list.AddFiles({Path("broken.kpl")}, true);
  ASSERT_GE(list.Count(), 2);
  EXPECT_EQ(list.Item(0).FileName, QStringLiteral("/v/before.avi"));
  EXPECT_EQ(list.Item(0).Title, QStringLiteral("Before"));
  EXPECT_TRUE(list.Item(0).Bookmarks.empty());
  EXPECT_EQ(list.Item(1).FileName, QStringLiteral("/v/after.avi"));
  EXPECT_EQ(list.Item(1).Title, QStringLiteral("after"));
  for (int i = 0; i < list.Count(); ++i) {
    EXPECT_LE(list.Item(i).FileName.toLocal8Bit().size(), PATH_MAX) << i;
    EXPECT_LE(list.Item(i).Title.toLocal8Bit().size(), PATH_MAX) << i;
  }
}

}  // namespace
