#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "tests/playlist/fakes.h"

namespace {

class FolderScan : public ::testing::Test, public TPlayListFixture {
 protected:
  QTemporaryDir dir;
  void Touch(const QString& rel) {
    const QString path = dir.filePath(rel);
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  }
  QStringList Relative() const {
    QStringList out;
    for (const QString& f : Files()) out << f.mid(dir.path().size() + 1);
    return out;
  }
};

TEST_F(FolderScan, TakesOnlyMediaFilesAndSkipsDotFolders) {
  Touch("a.AVI");
  Touch("b.txt");
  Touch("c.dat");
  Touch(".hidden/d.avi");
  Touch(".e.mp3");  // a dot file is still a file
  Touch("x.avi.d/inner.wav");
  list.AddFolder(dir.path());
  QStringList got = Relative();
  got.sort();
  EXPECT_EQ(got, (QStringList{".e.mp3", "a.AVI", "x.avi.d/inner.wav"}));
  EXPECT_EQ(list.Item(0).FileName.count(QStringLiteral("//")), 0);

  list.Clear();
  list.AddFolder(dir.filePath("absent"));
  EXPECT_EQ(list.Count(), 0);
}

TEST_F(FolderScan, RecursesWhereASubfolderIsMet) {
  Touch("one/1.avi");
  Touch("one/deep/2.avi");
  Touch("two/3.avi");
  Touch("4.avi");
  list.AddFolder(dir.path() + "/");
  const QStringList got = Relative();
  ASSERT_EQ(got.size(), 4);
  // Whatever the listing order, a folder's files stay together with its subfolders'.
  const int one = got.indexOf("one/1.avi"), deep = got.indexOf("one/deep/2.avi");
  EXPECT_EQ(std::abs(one - deep), 1);
}

TEST_F(FolderScan, SymbolicLinksBackIntoTheTreeEndTheScan) {
  Touch("top/a.avi");
  Touch("top/inner/b.avi");
  ASSERT_TRUE(QFile::link(dir.filePath("top"), dir.filePath("top/inner/loop")));
  ASSERT_TRUE(QFile::link(dir.filePath("top/inner"), dir.filePath("top/sideways")));
  ASSERT_TRUE(QFile::link(dir.filePath("nowhere"), dir.filePath("top/broken.avi")));
  list.AddFolder(dir.filePath("top"));
  QStringList got = Relative();
  got.removeAll("top/broken.avi");  // a dangling link is listed like any file
  EXPECT_EQ(got.size(), 2) << got.join(", ").toStdString();
  EXPECT_TRUE(got.contains("top/a.avi"));
}

}  // namespace
