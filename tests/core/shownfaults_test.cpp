// What the playing window shows when texts, names and errors are awkward:
// markup in cues and panel texts, paths longer than old limits, and an error
// nobody caught on its way to the error window.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

#include "core/application.h"
#include "base/identity.h"
#include "media/DShowHlp.h"
#include "platform/system/exceptions.h"
#include "playlist/error.h"
#include "playlist/playlist.h"
#include "playlist/subtitles.h"
#include "tests/support/main_window.h"

namespace {

constexpr int64_t S = 10'000'000;

class ShownTexts : public TMainWindowTest {
 protected:
  void SetUp() override {
    TMainWindowTest::SetUp();
    main_->SetSubtitleWindow(&subtitles_);
    main_->SetErrorWindow(&error_);
  }
  TfrSubtitles subtitles_;
  TfrError error_;
};

}  // namespace

// A SubRip cue keeps its tags and its line break on the subtitle line, and
// the info panel shows the tags too: neither reads its text as markup.
TEST_F(ShownTexts, CuesAndPanelTextsAreShownAsTheyAre) {
  const QString movie = home_.config.path() + "/film.avi";
  ASSERT_TRUE(QFile::copy(Clips().Avi, movie));
  QFile srt(home_.config.path() + "/film.srt");
  ASSERT_TRUE(srt.open(QIODevice::WriteOnly));
  srt.write("1\r\n00:00:01,000 --> 00:00:03,000\r\n<i>Курсив</i>\r\n<font color=\"red\">вторая</font>\r\n\r\n"
            );
  srt.close();
  Open(movie);
  ASSERT_TRUE(subtitles_.Loaded);
  QLabel* line = Panels().lbSubtitles;
  line->setText("Курсив");
  const QSize plainWord = line->sizeHint();
  Playback().Engine().SetPosition(2 * S);
  Playback().OnTimer();
  ASSERT_EQ(line->text(), "<i>Курсив</i>\n<font color=\"red\">вторая</font>\n");
  // Two lines, and the first one wider than the bare word: the tags show.
  EXPECT_GT(line->sizeHint().height(), plainWord.height() * 3 / 2);
  EXPECT_GT(line->sizeHint().width(), plainWord.width());

  QLabel* panel = Panels().pnInfo;
  Panels().ShowInfoText("Курсив");
  const int bare = panel->sizeHint().width();
  Panels().ShowInfoText("<b>Курсив</b>");
  EXPECT_GT(panel->sizeHint().width(), bare + panel->fontMetrics().horizontalAdvance("<b></b>") / 2);
}

// Linux paths have no 260-character limit.
TEST_F(ShownTexts, PathsLongerThanTwoHundredSixtyCharactersOpen) {
  QString dir = home_.config.path();
  while (dir.size() < 300) dir += "/" + QString(40, QChar(0x0444));  // "ф", two bytes each
  ASSERT_TRUE(QDir().mkpath(dir));
  const QString file = dir + "/sound.wav";
  ASSERT_TRUE(QFile::copy(Clips().Wav, file));
  Open(file);
  EXPECT_TRUE(Playback().IsFileOpen());
  EXPECT_TRUE(desktop_.boxes.shown.empty()) << desktop_.boxes.shown.back().text.toStdString();
  EXPECT_EQ(Playback().FileName(), file);
}

// An error raised in an event handler reaches the error window: the
// program's title, the class, the message, the system lines and the open
// file, with a button that copies them all.
TEST_F(ShownTexts, RaisedErrorReachesTheErrorWindowWhoseTextCopies) {
  Open(Clips().Wav);
  ASSERT_TRUE(Playback().IsFileOpen());
  Settings().OnErrors = 0;
  QString shown, copied, caption;
  bool wasModal = false;
  QTimer::singleShot(0, [&] {
    auto* window = qobject_cast<TfrError*>(QApplication::activeModalWidget());
    if (!window) return;
    wasModal = true;
    caption = window->windowTitle();
    shown = window->mmDescr->toPlainText();
    QApplication::clipboard()->clear();
    window->sbCopy->click();
    copied = QApplication::clipboard()->text();
    window->btClose->click();
  });
  const bool finished = TKelvaraApplication::Guarded([&] {
    Playback().Engine().Check(E_FAIL, QStringLiteral("MediaControl.Run"));
  });
  EXPECT_FALSE(finished);
  ASSERT_TRUE(wasModal) << "the error window did not come up";
  EXPECT_EQ(caption, "Ошибка в программе");
  const QStringList lines = shown.split('\n');
  ASSERT_GE(lines.size(), 5) << shown.toStdString();
  EXPECT_EQ(lines[0], QString::fromUtf8(Identity::AppTitle));
  EXPECT_EQ(lines[1], "Class:EPlatformError");
  EXPECT_TRUE(lines[2].startsWith("Ошибка: 0x80004005")) << lines[2].toStdString();
  EXPECT_TRUE(shown.contains("Scope:[MediaControl.Run]")) << shown.toStdString();
  EXPECT_EQ(lines.last(), "Filename: " + Clips().Wav);
  EXPECT_EQ(copied, shown);
  EXPECT_FALSE(error_.isVisible());
}
