// The loading window: detection from real files, the automatic search, the
// dump, the lookup through the format label, and what happens when the events
// a load lets through clear, replace or destroy it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTimer>

#include "playlist/subtitles.h"
#include "tests/support/fake_msgbox.h"
#include "tests/support/file_bytes.h"
#include "tests/support/qt_printers.h"

namespace {

constexpr qint64 kSecond = 10'000'000;
const char* const kSubRip = "1\r\n00:00:01,000 --> 00:00:02,500\r\nSubRip cue\r\n\r\n";
const char* const kMicroDVD = "{25}{50}MicroDVD cue\r\n";
const char* const kSubViewer =
    "[INFORMATION]\r\n[END INFORMATION]\r\n00:00:01.00,00:00:02.00\r\nSubViewer cue\r\n";

class Subtitles : public ::testing::Test {
 protected:
  QString Write(const QString& name, const QByteArray& data) {
    const QString path = dir.filePath(name);
    WriteFileBytes(path, data);
    return path;
  }
  QString Texts() const {
    QStringList texts;
    for (const TSubtitle& cue : frm.Subtitles) texts << cue.Text;
    return texts.join(u'/');
  }
  // A SubRip file big enough for the gauge to move many times.
  QByteArray ManyCues(const char* text, int count = 3000) {
    QByteArray data;
    for (int i = 0; i < count; ++i)
      data += QByteArray::number(i + 1) + "\r\n00:00:01,000 --> 00:00:02,000\r\n" + text + "\r\n\r\n";
    return data;
  }

  QTemporaryDir dir;
  TFakeMessageBoxes boxes;
  TfrSubtitles frm;
};

TEST_F(Subtitles, FormatFromExtensionAndFirstBytes) {
  EXPECT_EQ(frm.odSubtitles()->nameFilters(),
            QStringList({"Subtitles (*.sub,*.srt,*.txt) (*.sub *.srt *.txt)", "Any File (*.*) (*.*)"}));
  const struct {
    const char* name;
    const char* data;
    const char* format;
    const char* text;
  } cases[] = {
      {"b.SRT", kMicroDVD, "SubRip", ""},  // always SubRip, whatever it holds
      {"c.sub", kMicroDVD, "MicroDVD", "MicroDVD cue"},
      {"d.TXT", kSubViewer, "SubViewer 2.0", "SubViewer cue"},
      // A SubViewer file saved with a byte-order mark is still recognised.
      {"e.sub", "\xEF\xBB\xBF[INFORMATION]\r\n00:00:01.00,00:00:02.00\r\nBOM\r\n", "SubViewer 2.0", "BOM"},
      // Old Cyrillic files are in the code page.
      {"ru.sub", "{1}{2}\xCF\xF0\xE8\xE2\xE5\xF2|\xEC\xE8\xF0\r\n", "MicroDVD", "Привет\r\nмир"},
  };
  for (const auto& c : cases) {
    frm.LoadSubtitles(Write(c.name, c.data));
    EXPECT_EQ(frm.FormatName(), c.format) << c.name;
    EXPECT_EQ(Texts(), QString::fromUtf8(c.text)) << c.name;
    EXPECT_EQ(frm.Loaded, !QByteArray(c.text).isEmpty()) << c.name;
    EXPECT_FALSE(frm.isVisible());
  }
  EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(Subtitles, UnknownExtensionReadsNothingSilently) {
  frm.LoadSubtitles(Write("a.sub", kMicroDVD));
  frm.LoadSubtitles(Write("b.ass", kSubRip));
  EXPECT_FALSE(frm.Loaded);
  EXPECT_TRUE(frm.Subtitles.empty());
  EXPECT_EQ(frm.FormatName(), "MicroDVD");  // the label keeps the last format parsed
  EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(Subtitles, UnreadableFilesReportErrorLoading) {
  QDir(dir.path()).mkdir("folder.srt");
  const QString paths[] = {dir.filePath("missing.srt"), Write("short.srt", "1\r\n"),
                           dir.filePath("folder.srt")};
  for (const QString& path : paths) {
    frm.LoadSubtitles(Write("good.srt", kSubRip));
    ASSERT_TRUE(frm.Loaded);
    boxes.shown.clear();
    frm.LoadSubtitles(path);
    ASSERT_EQ(boxes.shown.size(), 1u) << path.toStdString();
    EXPECT_EQ(boxes.shown[0].text, "Error loading");
    EXPECT_FALSE(frm.Loaded);
    EXPECT_TRUE(frm.Subtitles.empty());
    EXPECT_FALSE(frm.isVisible());
  }
}

TEST_F(Subtitles, DumpTakesTheFirstHundredLines) {
  frm.AddSubtitle("Hello\r\nworld\r\n", 10'000'000, 25'000'000);
  frm.AddSubtitle("x", 12345678901, -5'000'000);
  EXPECT_EQ(frm.mmInfo->toPlainText(), "1,000-2,500\nHello\nworld\n\n1234,568--0,500\nx");
  frm.ClearSubtitles();
  EXPECT_TRUE(frm.mmInfo->toPlainText().isEmpty());
  // Two lines per cue: the dump stops once 100 lines are there.
  for (int i = 0; i < 300; ++i) frm.AddSubtitle("t", i * kSecond, i * kSecond);
  EXPECT_EQ(frm.Subtitles.size(), 300u);
  EXPECT_EQ(frm.mmInfo->document()->blockCount(), 100);
  EXPECT_TRUE(frm.mmInfo->toPlainText().endsWith("49,000-49,000\nt"));
}

TEST_F(Subtitles, LookupScalesOnlyMicroDVD) {
  // Frame 250 to 500: 10 s to 20 s at 25 fps.
  frm.LoadSubtitles(Write("a.sub", "{250}{500}f250\r\n"));
  const TMicroDVDRate movie2997{0, "25,00", 29.97};
  const TMicroDVDRate typed23976{1, "23,976", 29.97};
  const TMicroDVDRate unknown{0, "25,00", 0};
  EXPECT_EQ(frm.GetSubtitle(83'400'000, movie2997), "");
  EXPECT_EQ(frm.GetSubtitle(83'420'000, movie2997), "f250");
  EXPECT_EQ(frm.GetSubtitle(104'260'000, typed23976), "");
  EXPECT_EQ(frm.GetSubtitle(104'280'000, typed23976), "f250");
  EXPECT_EQ(frm.GetSubtitle(99'999'999, unknown), "");
  EXPECT_EQ(frm.GetSubtitle(100'000'000, unknown), "f250");

  frm.LoadSubtitles(Write("b.srt", "1\n00:00:10,000 --> 00:00:20,000\nsrt\n"));
  EXPECT_EQ(frm.GetSubtitle(83'420'000, movie2997), "");
  EXPECT_EQ(frm.GetSubtitle(100'000'000, movie2997), "srt\r\n");
  // With an offset of 2 s the cue at 10 s shows at 12 s of playback.
  EXPECT_EQ(frm.GetSubtitle(SubtitlePosition(119'999'999, 2), movie2997), "");
  EXPECT_EQ(frm.GetSubtitle(SubtitlePosition(120'000'000, 2), movie2997), "srt\r\n");
}

TEST_F(Subtitles, AutoLoadPrefersSubRip) {
  const QString movie = dir.filePath("film.avi");
  Write("film.avi", "not a movie");
  frm.AutoLoadSubtitles(movie);
  EXPECT_FALSE(frm.Loaded);
  EXPECT_TRUE(boxes.shown.empty());

  Write("film.SUB", kMicroDVD);
  frm.AutoLoadSubtitles(movie);
  EXPECT_EQ(frm.FormatName(), "MicroDVD");
  Write("film.SRT", kSubRip);
  frm.AutoLoadSubtitles(movie);
  EXPECT_EQ(frm.FormatName(), "SubRip");
  Write("film.srt", "1\n00:00:01,000 --> 00:00:02,000\nlower-case srt\n");
  frm.AutoLoadSubtitles(movie);
  EXPECT_EQ(Texts(), "lower-case srt\r\n");
  EXPECT_TRUE(frm.Loaded);

  // A movie without an extension gets one.
  Write("plain.srt", "1\n00:00:01,000 --> 00:00:02,000\nplain\n");
  frm.AutoLoadSubtitles(dir.filePath("plain"));
  EXPECT_EQ(Texts(), "plain\r\n");
}

TEST_F(Subtitles, GaugeAndWindowDuringLoad) {
  std::vector<int> seen;
  bool shown = false;
  QMetaObject::Connection c = QObject::connect(frm.ggProgress, &QProgressBar::valueChanged,
                                               [&](int v) {
                                                 seen.push_back(v);
                                                 shown = shown || frm.isVisible();
                                               });
  frm.LoadSubtitles(Write("big.srt", ManyCues("text")));
  QObject::disconnect(c);
  EXPECT_TRUE(shown);
  EXPECT_FALSE(frm.isVisible());
  ASSERT_GT(seen.size(), 50u);
  EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
  EXPECT_EQ(seen.back(), 100);
  EXPECT_EQ(frm.Subtitles.size(), 3000u);
  EXPECT_TRUE(frm.Loaded);
}

TEST_F(Subtitles, ClosingTheFileDuringALoadAbandonsIt) {
  bool loadedMeanwhile = true;
  QTimer::singleShot(0, &frm, [&] {
    loadedMeanwhile = frm.Loaded;
    frm.ClearSubtitles();
  });
  frm.LoadSubtitles(Write("big.srt", ManyCues("old")));
  EXPECT_FALSE(loadedMeanwhile);  // the timer never looks up a half-read list
  EXPECT_TRUE(frm.Subtitles.empty());
  EXPECT_FALSE(frm.Loaded);
  EXPECT_FALSE(frm.isVisible());
}

TEST_F(Subtitles, ALoadStartedDuringALoadWins) {
  const QString second = Write("second.sub", kMicroDVD);
  QTimer::singleShot(0, &frm, [&] { frm.LoadSubtitles(second); });
  frm.LoadSubtitles(Write("first.srt", ManyCues("first")));
  EXPECT_EQ(Texts(), "MicroDVD cue");
  EXPECT_TRUE(frm.Loaded);
  EXPECT_EQ(frm.FormatName(), "MicroDVD");
}

TEST_F(Subtitles, WindowDestroyedDuringALoad) {
  auto* doomed = new TfrSubtitles;
  QPointer<TfrSubtitles> guard(doomed);
  QTimer::singleShot(0, [doomed] { delete doomed; });
  doomed->LoadSubtitles(Write("big.srt", ManyCues("gone")));
  EXPECT_TRUE(guard.isNull());
}

TEST_F(Subtitles, ChooseStartsInTheVideoFolder) {
  const QString path = Write("chosen.srt", kSubRip);
  QString startedIn;
  QTimer::singleShot(0, &frm, [&] {
    startedIn = frm.odSubtitles()->directory().absolutePath();
    frm.odSubtitles()->selectFile(path);
    static_cast<QDialog*>(frm.odSubtitles())->accept();
  });
  frm.ChooseSubtitles(dir.path());
  EXPECT_EQ(startedIn, QDir(dir.path()).absolutePath());
  EXPECT_TRUE(frm.Loaded);
  EXPECT_EQ(Texts(), "SubRip cue\r\n");

  frm.ClearSubtitles();
  QTimer::singleShot(0, &frm, [&] { frm.odSubtitles()->reject(); });
  frm.ChooseSubtitles(dir.path());
  EXPECT_FALSE(frm.Loaded);
}

}  // namespace
