#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

#include "commands/commandtable.h"
#include "commands/keytext.h"
#include "controls/brandtb.h"
#include "controls/buttontable.h"
#include "controls/hoverbt.h"
#include "core/playlistgrid.h"
#include "media/DShowHlp.h"
#include "platform/media/fakemedia.h"
#include "platform/system/exceptions.h"
#include "playlist/playlist.h"
#include "playlist/subtitles.h"
#include "tests/support/main_window.h"

namespace {

constexpr int64_t S = 10'000'000;

using MainWindow = TMainWindowTest;

}  // namespace

TEST_F(MainWindow, OpenPlayPauseSpeedAndStateTable) {
  EXPECT_EQ(Playback().PlayState(), TPlayState::Closed);
  EXPECT_FALSE(Panels().Button(btStop)->Enabled());  // Pause needs a file
  Open(Clips().Avi);
  ASSERT_TRUE(Playback().IsFileOpen());
  EXPECT_EQ(Playback().PlayState(), TPlayState::Paused);
  EXPECT_TRUE(Panels().Button(btStop)->Down());
  EXPECT_TRUE(Playback().Engine().HasVideo);
  EXPECT_NEAR(double(Panels().tbSeek->Duration()), double(10 * S), double(S / 10));

  Execute(cmStopPlay);
  EXPECT_EQ(Playback().PlayState(), TPlayState::Playing);
  EXPECT_TRUE(Panels().Button(btPlay)->Down());
  EXPECT_FALSE(Panels().Button(btStop)->Down());
  Execute(cmSpeedChange);
  EXPECT_EQ(Playback().PlayState(), TPlayState::SpeedPlay);
  EXPECT_TRUE(Panels().Button(btSpeedChange)->Down());
  Execute(cmStopPlay);
  EXPECT_EQ(Playback().PlayState(), TPlayState::Paused);
  Execute(cmPlay);
  EXPECT_EQ(Playback().PlayState(), TPlayState::Playing);
  Execute(cmStop);
  EXPECT_EQ(Playback().PlayState(), TPlayState::Paused);
  // Frame steps pause too.
  Execute(cmPlay);
  Execute(cmFrameStep);
  EXPECT_EQ(Playback().PlayState(), TPlayState::Paused);
  EXPECT_EQ(main_->windowTitle(), main_->PlayList()->CurrentTitle());
}

TEST_F(MainWindow, OpenPostsPlayAfterItsOwnWork) {
  Settings().OnOpenPlay = true;
  Open(Clips().Avi);
  EXPECT_EQ(Executed(), std::vector<int>({cmPlay}));
  EXPECT_EQ(Playback().PlayState(), TPlayState::Playing);
}

TEST_F(MainWindow, FailedOpenReportsAndLeavesNothingOpen) {
  // After a file with picture and sound, so that nothing of it may linger.
  main_->show();
  Open(Clips().Avi);
  ASSERT_TRUE(Panels().Button(btFrameStep)->Enabled());
  Open(Clips().NotMedia);
  EXPECT_FALSE(Playback().IsFileOpen());
  ASSERT_FALSE(desktop_.boxes.shown.empty());
  EXPECT_EQ(desktop_.boxes.shown.back().caption, "Ошибка загрузки файла");
  EXPECT_TRUE(desktop_.boxes.shown.back().text.startsWith(Clips().NotMedia + "\r\n"));
  // Play stays enabled with entries in the list; what needs a file does not.
  EXPECT_TRUE(Panels().Button(btPlay)->Enabled());
  for (int i : {btStop, btSpeedChange, btFullScreen, btAudioProperties, btVideoProperties, btSaveScreenshot, btFilters, btFileInformation}) EXPECT_FALSE(Panels().Button(i)->Enabled()) << i;
  EXPECT_FALSE(Panels().tbSeek->isEnabled());
  // A click on the frame-step button asks nothing of a file that is not there.
  ASSERT_FALSE(Panels().Button(btFrameStep)->Enabled());
  ForgetExecuted();
  QTest::mouseClick(Panels().Button(btFrameStep), Qt::LeftButton);
  DrainPostedEvents();
  EXPECT_TRUE(Executed().empty());
}

TEST_F(MainWindow, AudioOnlyEnablesWhatAudioNeedsAndShowsTheLogo) {
  main_->show();
  Open(Clips().Avi);
  EXPECT_FALSE(Panels().imLogo->isVisible());  // the picture takes its place
  Open(Clips().Wav);
  ASSERT_TRUE(Playback().IsFileOpen());
  EXPECT_FALSE(Playback().Engine().HasVideo);
  for (int i : {btStop, btSpeedChange, btFullScreen, btFilters, btAudioProperties}) EXPECT_TRUE(Panels().Button(i)->Enabled()) << i;
  for (int i : {btFrameStep, btVideoProperties, btSaveScreenshot}) EXPECT_FALSE(Panels().Button(i)->Enabled()) << i;
  EXPECT_TRUE(Panels().tbSeek->isEnabled());
  EXPECT_TRUE(Panels().imLogo->isVisible());
  // Frame steps need video; the position stays.
  Execute(cmFrameBack);
  EXPECT_EQ(Playback().Engine().GetPosition(), 0);
}

TEST_F(MainWindow, JumpsSnapToKeyFramesUnlessAltIsHeld) {
  Open(Clips().Avi);
  ASSERT_FALSE(Playback().FileInfo().KeyFrames.isEmpty());
  EXPECT_EQ(Playback().FileInfo().FrameRate, 25.0);
  // Key frames every second: 4.4 s snaps to 4 s plus half a frame.
  EXPECT_EQ(Playback().SnapToKeyFrame(44 * S / 10), 4 * S + 200000);
  altDown_ = true;
  EXPECT_EQ(Playback().SnapToKeyFrame(44 * S / 10), 44 * S / 10);
  altDown_ = false;

  Settings().KeySeek = "3";
  Panels().tbSeek->ShowPosition(14 * S / 10);
  Execute(cmJumpForward);
  EXPECT_NEAR(double(Playback().Engine().GetPosition()), double(4 * S), double(S / 10));
  // A KeySeek that is no number: no move this time, "10" from now on.
  Settings().KeySeek = "abc";
  Panels().tbSeek->ShowPosition(2 * S);
  Execute(cmJumpBackward);
  EXPECT_NEAR(double(Playback().Engine().GetPosition()), double(2 * S), double(S / 10));
  EXPECT_EQ(Settings().KeySeek, "10");
  Panels().tbSeek->ShowPosition(9 * S);
  Execute(cmJumpForward);  // past the end: the engine clamps
  EXPECT_LE(Playback().Engine().GetPosition(), 10 * S);
}

TEST_F(MainWindow, EndOfMediaRewindsAndStopsAtTheEndOfTheList) {
  Open(Clips().Wav);
  Panels().Button(btRepeatPlaylist)->SetDown(false);  // Repeat up
  Execute(cmPlay);
  Playback().OnMediaEnd();
  EXPECT_EQ(Playback().PlayState(), TPlayState::Paused);
  EXPECT_EQ(Playback().Engine().GetPosition(), 0);
  DrainPostedEvents();
  EXPECT_TRUE(Playback().IsFileOpen());
  EXPECT_TRUE(desktop_.power.calls == 0);
  Settings().OnStop = 3;
  Playback().OnMediaEnd();
  DrainPostedEvents();
  EXPECT_EQ(desktop_.power.calls, 1);
}

TEST_F(MainWindow, SeekBarKeepsTheFirstHundredBookmarksAndDigitsJumpToThem) {
  Settings().KeyFrameSeek = false;
  Open(Clips().Avi);
  for (int i = 119; i >= 0; --i) main_->PlayList()->AddBookmark(S + i * S / 20);
  TTimeTrackBar* bar = Panels().tbSeek;
  EXPECT_EQ(bar->GetBookmark(99), S + 99 * S / 20);
  EXPECT_EQ(bar->GetBookmark(100), 0);
  EXPECT_EQ(main_->PlayList()->Item(0).Bookmarks.size(), 120u);
  // Key 3 without modifiers: the third mark.
  main_->Input().HandleKey('3', 0);
  EXPECT_NEAR(double(Playback().Engine().GetPosition()), double(S + 2 * S / 20), double(S / 10));
}

TEST_F(MainWindow, KeysPostEveryMatchingCommandOfTheCurrentColumn) {
  main_->KeyMap().SetCell(cmMoveDown, TKeyColumn::Window, "Q");
  main_->KeyMap().SetCell(cmMoveUp, TKeyColumn::Window, "Q");
  main_->KeyMap().SetCell(cmShufflePlaylist, TKeyColumn::FullScreen, "Q");
  main_->Input().HandleKey('Q', 0);
  DrainPostedEvents();
  EXPECT_EQ(Executed(), std::vector<int>({cmMoveUp, cmMoveDown}));
  // A key bound only in the other column does nothing.
  ForgetExecuted();
  main_->KeyMap().ClearAll();
  main_->KeyMap().SetCell(cmMoveUp, TKeyColumn::FullScreen, "W");
  main_->Input().HandleKey('W', 0);
  DrainPostedEvents();
  EXPECT_TRUE(Executed().empty());
}

TEST_F(MainWindow, ContextMenuListsTheCommandsWithoutButtons) {
  QMenu menu;
  main_->Input().BuildPopupMenu(menu);
  std::vector<int> ids;
  for (QAction* a : menu.actions()) ids.push_back(a->data().toInt());
  EXPECT_EQ(ids, std::vector<int>({1, 3, 9, 10, 11, 12, 13, 14, 15, 16, 17, 21, 22, 23, 24, 38, 39,
                                   41, 42, 43, 44, 45, 46, 54, 57, 60}));
  EXPECT_EQ(menu.actions().first()->text(), "Стоп / Воспроизведение ( Space )");
}

TEST_F(MainWindow, ControlPanelToggleKeepsTheMovieInPlace) {
  Settings().WndCaption = false;
  Geometry().UpdateCaptionBar();
  const TMovieRect before = Geometry().GetMovieRect();
  Execute(cmControlPanel);
  EXPECT_FALSE(Panels().ControlPanelVisible());
  EXPECT_FALSE(Panels().CaptionBarVisible());
  EXPECT_EQ(Geometry().GetMovieRect(), before);
  Execute(cmControlPanel);
  EXPECT_TRUE(Panels().ControlPanelVisible());
  EXPECT_EQ(Geometry().GetMovieRect(), before);

  // At the size limit: without the panel and the caption bar the window may
  // be lower, so the movie keeps its place and the window never grows.
  main_->resize(400, 1);
  ASSERT_EQ(main_->height(), 250);
  const TMovieRect small = Geometry().GetMovieRect();
  for (int i = 0; i < 3; ++i) {
    Execute(cmControlPanel);
    EXPECT_EQ(Geometry().GetMovieRect(), small) << i;
    EXPECT_EQ(main_->height(), 250 - 79 - 20) << i;
    Execute(cmControlPanel);
    EXPECT_EQ(Geometry().GetMovieRect(), small) << i;
    EXPECT_EQ(main_->height(), 250) << i;
  }
}

TEST_F(MainWindow, VolumeCommandsMoveTheBarWithinItsRange) {
  Playback().SetVolumePosition(98);
  Execute(cmVolumeUp);
  EXPECT_EQ(Panels().tbVolume->Position(), 100);
  Execute(cmVolumeDown);
  EXPECT_EQ(Panels().tbVolume->Position(), 95);
  // The device volume follows the bar; Mute silences only the movie.
  ASSERT_FALSE(desktop_.waveOut.calls.empty());
  EXPECT_EQ(desktop_.waveOut.calls.back().volume, 62258u + 62258u * 65536u);
  Execute(cmMute);
  EXPECT_TRUE(Panels().Button(btMute)->Down());
  EXPECT_EQ(desktop_.waveOut.calls.back().volume, 62258u + 62258u * 65536u);
}

TEST_F(MainWindow, ScreensaverIsHeldOffAndARefusalShowsOnThePanel) {
  EXPECT_TRUE(desktop_.screenSaver.inhibited);
  desktop_.screenSaver.Activate();
  EXPECT_EQ(Panels().InfoText(), "ScreenSaver tries to activate");
  main_.reset();
  EXPECT_FALSE(desktop_.screenSaver.inhibited);
}

TEST_F(MainWindow, HelpListsAtMostNineteenKeysInButtonOrder) {
  const QStringList lines = Panels().HelpText().split("\r\n");
  const int keys = int(lines.size() - lines.indexOf("=== Клавиатура ===") - 1);
  EXPECT_EQ(keys, 19);
  EXPECT_EQ(lines[lines.indexOf("=== Клавиатура ===") + 1], "F3 - Загрузить файл");
}

TEST_F(MainWindow, FailedPlatformCallRaisesOrContinuesByPolicy) {
  // No graph: the engine's calls fail through the result check.
  Settings().OnErrors = 1;
  Panels().ShowInfoText(QString());
  EXPECT_NO_THROW(Playback().Engine().Check(E_FAIL, "Test.Label"));
  EXPECT_TRUE(Panels().InfoText().endsWith("\r\nScope:[Test.Label]"));
  Settings().OnErrors = 0;
  EXPECT_ANY_THROW(Playback().Engine().Check(E_FAIL, "Test.Label"));
}

TEST_F(MainWindow, SubtitlesBesideTheMovieShowInTimeAndCommandFiftyTogglesTheLine) {
  TfrSubtitles subtitles;
  main_->SetSubtitleWindow(&subtitles);
  const QString movie = home_.config.path() + "/film.avi";
  ASSERT_TRUE(QFile::copy(Clips().Avi, movie));
  QFile srt(home_.config.path() + "/film.srt");
  ASSERT_TRUE(srt.open(QIODevice::WriteOnly));
  srt.write("1\r\n00:00:01,000 --> 00:00:03,000\r\nПервая строка\r\nвторая\r\n\r\n"
            "2\r\n00:00:05,000 --> 00:00:06,000\r\nДалее\r\n\r\n");
  srt.close();
  Open(movie);
  ASSERT_TRUE(subtitles.Loaded);
  Playback().Engine().SetPosition(2 * S);
  Playback().OnTimer();
  // A cue's lines end with CR LF; each starts a new line on the subtitle line.
  EXPECT_EQ(Panels().lbSubtitles->text(), "Первая строка\nвторая\n");
  EXPECT_EQ(Panels().InfoText(), "Первая строка\r\nвторая\r\n");
  // Two seconds of offset show every cue later.
  Playback().SubtitleOffset = 2;
  Playback().OnTimer();
  EXPECT_EQ(Panels().lbSubtitles->text(), "");
  Playback().SubtitleOffset = 0;

  Execute(cmSubtitles);
  EXPECT_FALSE(Panels().lbSubtitles->isHidden());
  EXPECT_TRUE(Panels().pnPosition->isHidden());
  Execute(cmSubtitles);
  EXPECT_TRUE(Panels().lbSubtitles->isHidden());
  EXPECT_FALSE(Panels().pnPosition->isHidden());
  Playback().CloseFile();
  EXPECT_FALSE(subtitles.Loaded);
}

TEST_F(MainWindow, PictureFollowsTheMoviePanelWhenThePlaylistOpensBesideIt) {
  main_->show();
  Open(Clips().Avi);
  QWidget* video = PictureWidget();
  ASSERT_NE(video, nullptr);
  for (int i = 0; i < 2; ++i) {
    Execute(cmPlaylist);
    DrainPostedEvents();
    EXPECT_EQ(Panels().pnPlayList->isVisible(), i == 0);
    // Kept aspect: the 4:3 picture fills the panel's width or height and
    // stays inside it.
    const QRect panel = Panels().pnMovie->rect(), pic = video->geometry();
    EXPECT_TRUE(panel.contains(pic)) << pic.width() << "x" << pic.height() << " in " << panel.width();
    EXPECT_TRUE(pic.width() == panel.width() || pic.height() == panel.height());
    EXPECT_NEAR(double(pic.width()) / pic.height(), 4.0 / 3.0, 0.02);
  }
}

TEST_F(MainWindow, SeekBarClickSeeksAtOnceAndTheDragKeepsSeeking) {
  main_->show();
  Open(Clips().Avi);
  TTimeTrackBar* bar = Panels().tbSeek;
  ASSERT_TRUE(bar->isEnabled());
  const int usable = bar->width() - 2 * bar->Margin();
  auto xFor = [&](int64_t t) { return bar->Margin() + int(t * usable / bar->Duration()); };
  // A plain click seeks: 4.4 s snaps to the key frame at 4 s.
  QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(xFor(44 * S / 10), 8));
  EXPECT_NEAR(double(Playback().Engine().GetPosition()), double(4 * S), double(S / 10));
  // Still held: the drag seeks on, and the timer leaves the pointer alone.
  QTest::mouseMove(bar, QPoint(xFor(74 * S / 10), 8));
  EXPECT_NEAR(double(Playback().Engine().GetPosition()), double(7 * S), double(S / 10));
  const qint64 dragged = bar->Position();
  Playback().OnTimer();
  EXPECT_EQ(bar->Position(), dragged);
  QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(xFor(74 * S / 10), 8));
  // Released: moves no longer seek.
  QTest::mouseMove(bar, QPoint(xFor(2 * S), 8));
  EXPECT_NEAR(double(Playback().Engine().GetPosition()), double(7 * S), double(S / 10));
}

TEST_F(MainWindow, WheelOverThePictureActsAsOverTheWindow) {
  main_->show();
  Open(Clips().Avi);
  QWidget* video = PictureWidget();
  ASSERT_NE(video, nullptr);
  Playback().SetVolumePosition(50);
  // The picture hands its input to the movie panel, which does not pass a
  // handed-on wheel to its parents by itself.
  auto turn = [&](QWidget* over, int delta, bool horizontal = false) {
    const QPointF at(10, 10);
    const QPoint angle = horizontal ? QPoint(delta, 0) : QPoint(0, delta);
    QWheelEvent e(at, over->mapToGlobal(at), QPoint(), angle, Qt::NoButton, Qt::NoModifier,
                  Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(over, &e);
    DrainPostedEvents();
  };
  turn(video, -120);
  EXPECT_EQ(Panels().tbVolume->Position(), 45);
  turn(Panels().pnMovie, 120);
  EXPECT_EQ(Panels().tbVolume->Position(), 50);
  // A horizontal wheel or a tilt is no turn at all.
  ForgetExecuted();
  turn(video, 120, true);
  turn(Panels().pnMovie, -120, true);
  EXPECT_TRUE(Executed().empty());
  EXPECT_EQ(Panels().tbVolume->Position(), 50);
  Settings().MouseWheel = 1;
  Panels().tbSeek->ShowPosition(2 * S);
  turn(video, 120);
  EXPECT_NEAR(double(Playback().Engine().GetPosition()), double(12 * S), double(3 * S));
}

TEST_F(MainWindow, FullScreenChangesTheDisplayModeAndPutsItBack) {
  TFakeDisplayModes& modes = desktop_.displayModes;
  Settings().FullScrMode = true;
  Settings().ScrWidth = 640;
  Settings().ScrHeight = 480;
  Settings().ScrDepth = 32;
  Settings().OnErrors = 1;
  Open(Clips().Avi);
  const TMovieRect before = Geometry().GetMovieRect();
  const QRect monitor = Geometry().NearestMonitorRect();

  Execute(cmFullScreen);
  EXPECT_TRUE(Geometry().IsFullScreen());
  ASSERT_EQ(modes.sets.size(), 1u);
  EXPECT_EQ(modes.sets[0].width, 640);
  EXPECT_EQ(modes.sets[0].bits, 32);
  EXPECT_TRUE(modes.changed);
  // The monitor shows 640 x 480 now, whatever the toolkit still believes.
  EXPECT_EQ(main_->geometry(), QRect(monitor.topLeft(), QSize(640, 480)));
  EXPECT_EQ(Playback().PlayState(), TPlayState::Paused);  // the stop around the change is undone
  Execute(cmFullScreen);
  EXPECT_FALSE(Geometry().IsFullScreen());
  EXPECT_EQ(modes.restores, 1);
  EXPECT_FALSE(modes.changed);
  EXPECT_EQ(Geometry().GetMovieRect(), before);

  // A mode the monitor lacks: the service's reason is the error's text, full
  // screen goes on in the current mode and leaving it restores nothing.
  Settings().ScrWidth = 1024;
  Settings().ScrHeight = 768;
  modes.errorText = "The monitor has no 1024 x 768 mode.";
  Execute(cmFullScreen);
  EXPECT_TRUE(Geometry().IsFullScreen());
  EXPECT_EQ(Panels().InfoText(),
            "Ошибка: 0x8876005A (The monitor has no 1024 x 768 mode.)\r\nScope:[DD.SetDisplayMode]");
  EXPECT_EQ(main_->geometry(), monitor);
  Execute(cmFullScreen);
  EXPECT_FALSE(Geometry().IsFullScreen());
  EXPECT_EQ(modes.restores, 1);
}

TEST_F(MainWindow, QuickSecondPressOnTheMovieIsAPressToo) {
  Open(Clips().Avi);
  QWidget* movie = Panels().pnMovie;
  const QPoint at = movie->rect().center();
  // The window system hands a quick second press over as a double click;
  // the press, release, double click, release of a real double click.
  auto quickTwice = [&](Qt::MouseButton button, Qt::KeyboardModifiers mods = {}) {
    QTest::mouseClick(movie, button, mods, at);
    QTest::mouseDClick(movie, button, mods, at);
  };
  quickTwice(Qt::LeftButton);
  QTest::mouseRelease(movie, Qt::LeftButton, {}, at);
  DrainPostedEvents();
  EXPECT_EQ(Executed(), std::vector<int>({cmStopPlay, cmStopPlay}));
  EXPECT_EQ(Playback().PlayState(), TPlayState::Paused);

  // Right twice: the control panel goes and comes back.
  quickTwice(Qt::RightButton);
  QTest::mouseRelease(movie, Qt::RightButton, {}, at);
  EXPECT_TRUE(Panels().ControlPanelVisible());

  // A drag can start on the second press.
  const QPoint start = main_->pos();
  quickTwice(Qt::LeftButton, Qt::ShiftModifier);
  QTest::mouseMove(movie, at + QPoint(30, 20));
  QTest::mouseRelease(movie, Qt::LeftButton, Qt::ShiftModifier, at + QPoint(30, 20));
  EXPECT_EQ(main_->pos(), start + QPoint(30, 20));

  // Left button as window drag: only the left double click toggles, once.
  Settings().MouseLeft = 1;
  ForgetExecuted();
  quickTwice(Qt::LeftButton);
  QTest::mouseRelease(movie, Qt::LeftButton, {}, at);
  quickTwice(Qt::RightButton);
  QTest::mouseRelease(movie, Qt::RightButton, {}, at);
  DrainPostedEvents();
  EXPECT_EQ(Executed(), std::vector<int>({cmStopPlay}));
  EXPECT_TRUE(Panels().ControlPanelVisible());
}

TEST_F(MainWindow, EnterInThePlaylistRunsItsKeyAndOnlyADoubleClickPlays) {
  main_->show();
  main_->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(main_.get()));
  Execute(cmPlaylist);
  main_->PlayList()->AddFiles({Clips().Avi, Clips().Wav}, true);
  TPlayListGrid* grid = Panels().dgPlayList;
  const QPoint second(10, TPlayListGrid::RowHeight + 5);
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, second);
  ASSERT_EQ(main_->PlayList()->SelectedItem(), 1);
  grid->setFocus();
  ASSERT_EQ(QApplication::focusWidget(), grid);
  ForgetExecuted();

  // Enter is the full-screen key: that command runs, and nothing is played.
  QTest::keyClick(grid, Qt::Key_Return);
  DrainPostedEvents();
  EXPECT_EQ(Executed(), std::vector<int>({cmFullScreen}));
  EXPECT_FALSE(Playback().IsFileOpen());

  QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, second);
  DrainPostedEvents();
  EXPECT_EQ(Playback().FileName(), Clips().Wav);
  EXPECT_EQ(Playback().PlayState(), TPlayState::Playing);
}

TEST_F(MainWindow, RefusedPlacementStillLeavesTheSmallPictureAndTheCursorRule) {
  TFakeMediaPlatform platform;
  // The fake graph calls back into the platform: the file goes first.
  struct TCloseFirst {
    TPlayback& playback;
    ~TCloseFirst() { playback.CloseFile(); }
  } closeFirst{Playback()};
  Open(Clips().Avi);
  ASSERT_TRUE(Playback().Engine().HasVideo);
  const std::shared_ptr<TFakeGraph> graph = platform.LastGraph.lock();
  ASSERT_TRUE(graph);

  // Policy 1: the failure is a line on the info panel, the picture 40 x 30.
  Settings().OnErrors = 1;
  platform.FailOn("VideoWindow.SetWindowPosition", E_FAIL, 0, 1);
  Execute(cmAspect16x9);
  EXPECT_EQ(QRect(graph->left, graph->top, graph->width, graph->height), QRect(0, 0, 40, 30));
  EXPECT_TRUE(Panels().InfoText().endsWith("\r\nScope:[VideoWindow.SetWindowPosition]"));

  // Policy 0: the error is raised, after the fallback and the cursor rule
  // (full screen without panels hides the cursor).
  Settings().OnErrors = 0;
  Execute(cmControlPanel);
  platform.FailOn("VideoWindow.SetWindowPosition", E_FAIL, 0, 1);
  EXPECT_THROW(Execute(cmFullScreen), EPlatformError);
  EXPECT_TRUE(Geometry().IsFullScreen());
  EXPECT_EQ(QRect(graph->left, graph->top, graph->width, graph->height), QRect(0, 0, 40, 30));
  EXPECT_TRUE(Geometry().CursorHidden());
  Execute(cmFullScreen);
  EXPECT_FALSE(Geometry().CursorHidden());
}
