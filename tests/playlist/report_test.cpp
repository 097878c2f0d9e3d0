#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLocale>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTemporaryDir>

#include "playlist/report.h"

namespace {

QString Sep() { return QLocale::system().decimalPoint(); }

TEST(ReportLine, ColumnsAreCutAndPaddedToTheirWidths) {
  const TReportInfo info{QStringLiteral("640x480x24, 25,00 Гц and more text"), QStringLiteral("128 КБит/сек"),
                         QStringLiteral("1 мин 5 сек.")};
  const QString longName = QString(50, QLatin1Char('n')) + QStringLiteral(".avi");
  const QString a = ReportLine(0, QStringLiteral("/films/") + longName, 3 * 1048576 / 2, info);
  const QString b = ReportLine(122, QStringLiteral("/x/ab.avi"), 0, info);
  EXPECT_EQ(a.left(45), QStringLiteral("  1.") + QString(40, QLatin1Char('n')) + QLatin1Char(' '));
  EXPECT_EQ(b.left(45), QStringLiteral("123.ab.avi") + QString(35, QLatin1Char(' ')));
  // Whatever the name, the size column starts at character 46.
  EXPECT_EQ(a.mid(45, 13), QStringLiteral("    1") + Sep() + QStringLiteral("50 Mb, "));
  EXPECT_EQ(b.mid(45, 13), QStringLiteral("    0") + Sep() + QStringLiteral("00 Mb, "));
  EXPECT_EQ(a.mid(58), QString(7, QLatin1Char(' ')) + QStringLiteral("1 мин 5 сек., 640x480x24, 25,00 Гц a, 128 КБит/с"));
  EXPECT_EQ(a.size(), 4 + 41 + 13 + 21 + 24 + 10);
}

TEST(ReportLine, SizesOfAThousandMegabytesAndBeyondFourGigabytes) {
  const TReportInfo none;
  EXPECT_EQ(ReportLine(0, "a", 1000LL * 1048576, none).mid(45, 11), QStringLiteral(" 1000") + Sep() + QStringLiteral("00 Mb"));
  EXPECT_EQ(ReportLine(0, "a", 5LL << 30, none).mid(45, 11), QStringLiteral(" 5120") + Sep() + QStringLiteral("00 Mb"));
  // Past the column's width the text is cut, never widened.
  EXPECT_EQ(ReportLine(0, "a", 123456LL * 1048576, none).mid(45, 13), QStringLiteral("123456") + Sep() + QStringLiteral("00 M, "));
}

// A report over files on disk; the inspection is told per file what to answer.
class ReportWindow : public ::testing::Test {
 protected:
  QString Make(const QString& name, qint64 size) {
    QFile f(dir_.filePath(name));
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    EXPECT_TRUE(f.resize(size));  // sparse: no disk space is used
    return f.fileName();
  }
  TReportSource Source() {
    TReportSource s;
    s.Count = [this] { return int(files_.size()); };
    s.FileName = [this](int i) { return files_.at(size_t(i)); };
    s.Stop = [this] { log_ += "stop;"; };
    s.Inspect = [this](const QString& name, TReportInfo& info) {
      log_ += "inspect;";
      info.AudioDuration = QStringLiteral("5 сек.");
      info.VideoSummary = QStringLiteral("320x240x24");
      info.AudioSummary = QStringLiteral("128");
      return !name.contains(QStringLiteral("bad"));
    };
    s.RestorePlayState = [this] { log_ += "restore;"; };
    return s;
  }
  QTemporaryDir dir_;
  std::vector<QString> files_;
  std::string log_;
};

TEST_F(ReportWindow, EmptyPlaylistGivesAnEmptyTableAndPlayGoesOn) {
  TfrReport w(Source());
  w.mmReport->setPlainText("old table");
  w.BuildReport();
  EXPECT_EQ(w.mmReport->toPlainText(), QString());
  EXPECT_EQ(log_, "stop;restore;");
}

TEST_F(ReportWindow, EveryEntryGetsItsLineFailedAndUnreadableFilesIncluded) {
  files_ = {Make("good.avi", 2048), Make("bad.avi", 1048576), dir_.filePath("missing.avi"),
            Make("huge.avi", (4LL << 30) + 1048576 * 3)};
  TfrReport w(Source());
  w.BuildReport();
  const QStringList lines = w.mmReport->toPlainText().split('\n');
  ASSERT_EQ(lines.size(), 4);
  EXPECT_TRUE(lines[0].startsWith("  1.good.avi ")) << lines[0].toStdString();
  EXPECT_TRUE(lines[0].endsWith(", 320x240x24            , 128       ")) << lines[0].toStdString();
  // An inspection that failed keeps what it left for the duration only.
  EXPECT_EQ(lines[1].mid(45), QStringLiteral("    1") + Sep() + QStringLiteral("00 Mb, ") +
                                  QString(13, ' ') + QStringLiteral("5 сек., ---x---x--            , ---       "));
  // A file that cannot be opened shows a size of zero.
  EXPECT_EQ(lines[2].mid(45, 11), QStringLiteral("    0") + Sep() + QStringLiteral("00 Mb"));
  EXPECT_EQ(lines[3].mid(45, 11), QStringLiteral(" 4099") + Sep() + QStringLiteral("00 Mb"));
  EXPECT_EQ(log_, "stop;inspect;inspect;inspect;inspect;restore;");
  EXPECT_EQ(w.pbProgress->value(), 4);
  EXPECT_TRUE(w.pbProgress->isHidden());

  // The table can be copied out whole.
  w.mmReport->selectAll();
  w.mmReport->copy();
  EXPECT_EQ(QApplication::clipboard()->text(), w.mmReport->toPlainText());
}

}  // namespace
