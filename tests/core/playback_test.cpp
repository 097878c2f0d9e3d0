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
#include "controls/hoverbt.h"
#include "core/MainUnit.h"
#include "core/playlistgrid.h"
#include "media/DShowHlp.h"
#include "platform/media/fakemedia.h"
#include "platform/system/exceptions.h"
#include "playlist/playlist.h"
#include "playlist/subtitles.h"
#include "tests/support/fake_desktop.h"
#include "tests/support/tempenv.h"
#include "tests/support/testclips.h"

namespace {

constexpr int64_t S = 10'000'000;

// A started main window in a private home, with boxes, power and priority
// faked, and Alt never held unless a test says so.
class TTestMain : public TfrMain {
 public:
  bool Alt = false;
  bool AltKeyDown() const override { return Alt; }
};

class MainWindow : public TTestClipsTest {
 protected:
  void SetUp() override {
    TTestClipsTest::SetUp();
    main_ = std::make_unique<TTestMain>();
    ASSERT_TRUE(main_->StartUp({}));
    main_->Settings.OnOpenPlay = false;
    main_->Settings.OnOpenResize = false;
    main_->Settings.SoundFreq = 0;
    main_->resize(640, 480);
    spy_ = std::make_unique<QSignalSpy>(main_.get(), &TfrMain::CommandExecuted);
  }
  void TearDown() override {
    spy_.reset();
    main_.reset();
  }
  // Runs every posted command.
  void Drain() {
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
  }
  std::vector<int> Executed() const {
    std::vector<int> ids;
    for (const QList<QVariant>& args : *spy_) ids.push_back(args.at(0).toInt());
    return ids;
  }
  // Opens through the playlist as the user does, without the play that
  // the playlist's own open adds.
  void Open(const QString& path) {
    main_->PlayList()->AddFiles({path}, true);
    main_->PlayList()->SetCurrentItem(0);
    main_->OpenFile(path);
    Drain();
  }

  // The engine's picture inside the movie panel, once a file with video is open.
  QWidget* PictureWidget() const {
    for (QWidget* w : main_->pnMovie->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
      if (w != main_->imLogo && w->isVisible()) return w;
    return nullptr;
  }

  TPrivateHome home_;
  TFakeDesktop desktop_;
  TFakeMessageBoxes& boxes_ = desktop_.boxes;
  TFakePowerService& power_ = desktop_.power;
  std::unique_ptr<TTestMain> main_;
  std::unique_ptr<QSignalSpy> spy_;
};

}  // namespace

TEST_F(MainWindow, OpenPlayPauseSpeedAndStateTable) {
  EXPECT_EQ(main_->PlayState, TPlayState::Closed);
  EXPECT_FALSE(main_->Button(1)->Enabled());  // Pause needs a file
  Open(Clips().Avi);
  ASSERT_TRUE(main_->IsFileOpen());
  EXPECT_EQ(main_->PlayState, TPlayState::Paused);
  EXPECT_TRUE(main_->Button(1)->Down());
  EXPECT_TRUE(main_->Engine()->HasVideo);
  EXPECT_NEAR(double(main_->tbSeek->Duration()), double(10 * S), double(S / 10));

  main_->ExecuteCommand(cmStopPlay);
  EXPECT_EQ(main_->PlayState, TPlayState::Playing);
  EXPECT_TRUE(main_->Button(3)->Down());
  EXPECT_FALSE(main_->Button(1)->Down());
  main_->ExecuteCommand(cmSpeedChange);
  EXPECT_EQ(main_->PlayState, TPlayState::SpeedPlay);
  EXPECT_TRUE(main_->Button(4)->Down());
  main_->ExecuteCommand(cmStopPlay);
  EXPECT_EQ(main_->PlayState, TPlayState::Paused);
  main_->ExecuteCommand(cmPlay);
  EXPECT_EQ(main_->PlayState, TPlayState::Playing);
  main_->ExecuteCommand(cmStop);
  EXPECT_EQ(main_->PlayState, TPlayState::Paused);
  // Frame steps pause too.
  main_->ExecuteCommand(cmPlay);
  main_->ExecuteCommand(cmFrameStep);
  EXPECT_EQ(main_->PlayState, TPlayState::Paused);
  EXPECT_EQ(main_->ApplicationTitle, main_->PlayList()->CurrentTitle());
}

TEST_F(MainWindow, OpenPostsPlayAfterItsOwnWork) {
  main_->Settings.OnOpenPlay = true;
  Open(Clips().Avi);
  EXPECT_EQ(Executed(), std::vector<int>({cmPlay}));
  EXPECT_EQ(main_->PlayState, TPlayState::Playing);
}

TEST_F(MainWindow, FailedOpenReportsAndLeavesNothingOpen) {
  // After a file with picture and sound, so that nothing of it may linger.
  main_->show();
  Open(Clips().Avi);
  ASSERT_TRUE(main_->Button(2)->Enabled());
  Open(Clips().NotMedia);
  EXPECT_FALSE(main_->IsFileOpen());
  ASSERT_FALSE(boxes_.shown.empty());
  EXPECT_EQ(boxes_.shown.back().caption, "Ошибка загрузки файла");
  EXPECT_TRUE(boxes_.shown.back().text.startsWith(Clips().NotMedia + "\r\n"));
  // Play stays enabled with entries in the list; what needs a file does not.
  EXPECT_TRUE(main_->Button(3)->Enabled());
  for (int i : {1, 4, 5, 11, 12, 13, 16, 18}) EXPECT_FALSE(main_->Button(i)->Enabled()) << i;
  EXPECT_FALSE(main_->tbSeek->isEnabled());
  // A click on the frame-step button asks nothing of a file that is not there.
  ASSERT_FALSE(main_->Button(2)->Enabled());
  spy_->clear();
  QTest::mouseClick(main_->Button(2), Qt::LeftButton);
  Drain();
  EXPECT_TRUE(Executed().empty());
}

TEST_F(MainWindow, AudioOnlyEnablesWhatAudioNeeds) {
  Open(Clips().Wav);
  ASSERT_TRUE(main_->IsFileOpen());
  EXPECT_FALSE(main_->Engine()->HasVideo);
  for (int i : {1, 4, 5, 16, 11}) EXPECT_TRUE(main_->Button(i)->Enabled()) << i;
  for (int i : {2, 12, 13}) EXPECT_FALSE(main_->Button(i)->Enabled()) << i;
  EXPECT_TRUE(main_->tbSeek->isEnabled());
  EXPECT_TRUE(main_->imLogo->isVisible() || !main_->isVisible());
  // Frame steps need video; the position stays.
  main_->ExecuteCommand(cmFrameBack);
  EXPECT_EQ(main_->Engine()->GetPosition(), 0);
}

TEST_F(MainWindow, JumpsSnapToKeyFramesUnlessAltIsHeld) {
  Open(Clips().Avi);
  ASSERT_FALSE(main_->FileInfo.KeyFrames.isEmpty());
  EXPECT_EQ(main_->FileInfo.FrameRate, 25.0);
  // Key frames every second: 4.4 s snaps to 4 s plus half a frame.
  EXPECT_EQ(main_->SnapToKeyFrame(44 * S / 10), 4 * S + 200000);
  main_->Alt = true;
  EXPECT_EQ(main_->SnapToKeyFrame(44 * S / 10), 44 * S / 10);
  main_->Alt = false;

  main_->Settings.KeySeek = "3";
  main_->tbSeek->ShowPosition(14 * S / 10);
  main_->ExecuteCommand(cmJumpForward);
  EXPECT_NEAR(double(main_->Engine()->GetPosition()), double(4 * S), double(S / 10));
  // A KeySeek that is no number: no move this time, "10" from now on.
  main_->Settings.KeySeek = "abc";
  main_->tbSeek->ShowPosition(2 * S);
  main_->ExecuteCommand(cmJumpBackward);
  EXPECT_NEAR(double(main_->Engine()->GetPosition()), double(2 * S), double(S / 10));
  EXPECT_EQ(main_->Settings.KeySeek, "10");
  main_->tbSeek->ShowPosition(9 * S);
  main_->ExecuteCommand(cmJumpForward);  // past the end: the engine clamps
  EXPECT_LE(main_->Engine()->GetPosition(), 10 * S);
}

TEST_F(MainWindow, EndOfMediaRewindsAndStopsAtTheEndOfTheList) {
  Open(Clips().Wav);
  main_->Button(20)->SetDown(false);  // Repeat up
  main_->ExecuteCommand(cmPlay);
  main_->OnMediaEnd();
  EXPECT_EQ(main_->PlayState, TPlayState::Paused);
  EXPECT_EQ(main_->Engine()->GetPosition(), 0);
  Drain();
  EXPECT_TRUE(main_->IsFileOpen());
  EXPECT_TRUE(power_.calls == 0);
  main_->Settings.OnStop = 3;
  main_->OnMediaEnd();
  Drain();
  EXPECT_EQ(power_.calls, 1);
}

TEST_F(MainWindow, KeysPostEveryMatchingCommandOfTheCurrentColumn) {
  main_->KeyMap.SetCell(cmMoveDown, TKeyColumn::Window, "Q");
  main_->KeyMap.SetCell(cmMoveUp, TKeyColumn::Window, "Q");
  main_->KeyMap.SetCell(cmShufflePlaylist, TKeyColumn::FullScreen, "Q");
  main_->HandleKey('Q', 0);
  Drain();
  EXPECT_EQ(Executed(), std::vector<int>({cmMoveUp, cmMoveDown}));
  // A key bound only in the other column does nothing.
  spy_->clear();
  main_->KeyMap.ClearAll();
  main_->KeyMap.SetCell(cmMoveUp, TKeyColumn::FullScreen, "W");
  main_->HandleKey('W', 0);
  Drain();
  EXPECT_TRUE(Executed().empty());
}

TEST_F(MainWindow, ContextMenuListsTheCommandsWithoutButtons) {
  QMenu menu;
  main_->BuildPopupMenu(menu);
  std::vector<int> ids;
  for (QAction* a : menu.actions()) ids.push_back(a->data().toInt());
  EXPECT_EQ(ids, std::vector<int>({1, 3, 9, 10, 11, 12, 13, 14, 15, 16, 17, 21, 22, 23, 24, 38, 39,
                                   41, 42, 43, 44, 45, 46, 54, 57, 60}));
  EXPECT_EQ(menu.actions().first()->text(), "Стоп / Воспроизведение ( Space )");
}

TEST_F(MainWindow, ControlPanelToggleKeepsTheMovieInPlace) {
  main_->Settings.WndCaption = false;
  main_->UpdateCaptionBar();
  const TMovieRect before = main_->GetMovieRect();
  main_->ExecuteCommand(cmControlPanel);
  EXPECT_FALSE(main_->ControlPanelVisible());
  EXPECT_FALSE(main_->CaptionBarVisible());
  EXPECT_EQ(main_->GetMovieRect(), before);
  main_->ExecuteCommand(cmControlPanel);
  EXPECT_TRUE(main_->ControlPanelVisible());
  EXPECT_EQ(main_->GetMovieRect(), before);

  // At the size limit: without the panel and the caption bar the window may
  // be lower, so the movie keeps its place and the window never grows.
  main_->resize(400, 1);
  ASSERT_EQ(main_->height(), 250);
  const TMovieRect small = main_->GetMovieRect();
  for (int i = 0; i < 3; ++i) {
    main_->ExecuteCommand(cmControlPanel);
    EXPECT_EQ(main_->GetMovieRect(), small) << i;
    EXPECT_EQ(main_->height(), 250 - 79 - 20) << i;
    main_->ExecuteCommand(cmControlPanel);
    EXPECT_EQ(main_->GetMovieRect(), small) << i;
    EXPECT_EQ(main_->height(), 250) << i;
  }
}

TEST_F(MainWindow, VolumeCommandsMoveTheBarWithinItsRange) {
  main_->SetVolumePosition(98);
  main_->ExecuteCommand(cmVolumeUp);
  EXPECT_EQ(main_->tbVolume->Position(), 100);
  main_->ExecuteCommand(cmVolumeDown);
  EXPECT_EQ(main_->tbVolume->Position(), 95);
  // The device volume follows the bar; Mute silences only the movie.
  ASSERT_FALSE(desktop_.waveOut.calls.empty());
  EXPECT_EQ(desktop_.waveOut.calls.back().volume, 62258u + 62258u * 65536u);
  main_->ExecuteCommand(cmMute);
  EXPECT_TRUE(main_->Button(10)->Down());
  EXPECT_EQ(desktop_.waveOut.calls.back().volume, 62258u + 62258u * 65536u);
}

TEST_F(MainWindow, ScreensaverIsHeldOffAndARefusalShowsOnThePanel) {
  EXPECT_TRUE(desktop_.screenSaver.inhibited);
  desktop_.screenSaver.Activate();
  EXPECT_EQ(main_->InfoText, "ScreenSaver tries to activate");
  main_.reset();
  EXPECT_FALSE(desktop_.screenSaver.inhibited);
}

TEST_F(MainWindow, HelpListsAtMostNineteenKeysInButtonOrder) {
  const QStringList lines = main_->HelpText().split("\r\n");
  const int keys = int(lines.size() - lines.indexOf("=== Клавиатура ===") - 1);
  EXPECT_EQ(keys, 19);
  EXPECT_EQ(lines[lines.indexOf("=== Клавиатура ===") + 1], "F3 - Загрузить файл");
}

TEST_F(MainWindow, FailedPlatformCallRaisesOrContinuesByPolicy) {
  // No graph: the engine's calls fail through the result check.
  main_->Settings.OnErrors = 1;
  main_->ShowInfoText(QString());
  EXPECT_NO_THROW(main_->Engine()->Check(E_FAIL, "Test.Label"));
  EXPECT_TRUE(main_->InfoText.endsWith("\r\nScope:[Test.Label]"));
  main_->Settings.OnErrors = 0;
  EXPECT_ANY_THROW(main_->Engine()->Check(E_FAIL, "Test.Label"));
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
  main_->Engine()->SetPosition(2 * S);
  main_->OnTimer();
  // A cue's lines end with CR LF; each starts a new line on the subtitle line.
  EXPECT_EQ(main_->lbSubtitles->text(), "Первая строка\nвторая\n");
  EXPECT_EQ(main_->InfoText, "Первая строка\r\nвторая\r\n");
  // Two seconds of offset show every cue later.
  main_->SubtitleOffset = 2;
  main_->OnTimer();
  EXPECT_EQ(main_->lbSubtitles->text(), "");
  main_->SubtitleOffset = 0;

  main_->ExecuteCommand(cmSubtitles);
  EXPECT_FALSE(main_->lbSubtitles->isHidden());
  EXPECT_TRUE(main_->pnPosition->isHidden());
  main_->ExecuteCommand(cmSubtitles);
  EXPECT_TRUE(main_->lbSubtitles->isHidden());
  EXPECT_FALSE(main_->pnPosition->isHidden());
  main_->CloseFile();
  EXPECT_FALSE(subtitles.Loaded);
}

TEST_F(MainWindow, PictureFollowsTheMoviePanelWhenThePlaylistOpensBesideIt) {
  main_->show();
  Open(Clips().Avi);
  QWidget* video = PictureWidget();
  ASSERT_NE(video, nullptr);
  for (int i = 0; i < 2; ++i) {
    main_->ExecuteCommand(cmPlaylist);
    Drain();
    EXPECT_EQ(main_->pnPlayList->isVisible(), i == 0);
    // Kept aspect: the 4:3 picture fills the panel's width or height and
    // stays inside it.
    const QRect panel = main_->pnMovie->rect(), pic = video->geometry();
    EXPECT_TRUE(panel.contains(pic)) << pic.width() << "x" << pic.height() << " in " << panel.width();
    EXPECT_TRUE(pic.width() == panel.width() || pic.height() == panel.height());
    EXPECT_NEAR(double(pic.width()) / pic.height(), 4.0 / 3.0, 0.02);
  }
}

TEST_F(MainWindow, SeekBarClickSeeksAtOnceAndTheDragKeepsSeeking) {
  main_->show();
  Open(Clips().Avi);
  TTimeTrackBar* bar = main_->tbSeek;
  ASSERT_TRUE(bar->isEnabled());
  const int usable = bar->width() - 2 * bar->Margin();
  auto xFor = [&](int64_t t) { return bar->Margin() + int(t * usable / bar->Duration()); };
  // A plain click seeks: 4.4 s snaps to the key frame at 4 s.
  QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(xFor(44 * S / 10), 8));
  EXPECT_NEAR(double(main_->Engine()->GetPosition()), double(4 * S), double(S / 10));
  // Still held: the drag seeks on, and the timer leaves the pointer alone.
  QTest::mouseMove(bar, QPoint(xFor(74 * S / 10), 8));
  EXPECT_NEAR(double(main_->Engine()->GetPosition()), double(7 * S), double(S / 10));
  const qint64 dragged = bar->Position();
  main_->OnTimer();
  EXPECT_EQ(bar->Position(), dragged);
  QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(xFor(74 * S / 10), 8));
  // Released: moves no longer seek.
  QTest::mouseMove(bar, QPoint(xFor(2 * S), 8));
  EXPECT_NEAR(double(main_->Engine()->GetPosition()), double(7 * S), double(S / 10));
}

TEST_F(MainWindow, WheelOverThePictureActsAsOverTheWindow) {
  main_->show();
  Open(Clips().Avi);
  QWidget* video = PictureWidget();
  ASSERT_NE(video, nullptr);
  main_->SetVolumePosition(50);
  // The picture hands its input to the movie panel, which does not pass a
  // handed-on wheel to its parents by itself.
  auto turn = [&](QWidget* over, int delta, bool horizontal = false) {
    const QPointF at(10, 10);
    const QPoint angle = horizontal ? QPoint(delta, 0) : QPoint(0, delta);
    QWheelEvent e(at, over->mapToGlobal(at), QPoint(), angle, Qt::NoButton, Qt::NoModifier,
                  Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(over, &e);
    Drain();
  };
  turn(video, -120);
  EXPECT_EQ(main_->tbVolume->Position(), 45);
  turn(main_->pnMovie, 120);
  EXPECT_EQ(main_->tbVolume->Position(), 50);
  // A horizontal wheel or a tilt is no turn at all.
  spy_->clear();
  turn(video, 120, true);
  turn(main_->pnMovie, -120, true);
  EXPECT_TRUE(Executed().empty());
  EXPECT_EQ(main_->tbVolume->Position(), 50);
  main_->Settings.MouseWheel = 1;
  main_->tbSeek->ShowPosition(2 * S);
  turn(video, 120);
  EXPECT_NEAR(double(main_->Engine()->GetPosition()), double(12 * S), double(3 * S));
}

TEST_F(MainWindow, FullScreenChangesTheDisplayModeAndPutsItBack) {
  TFakeDisplayModes& modes = desktop_.displayModes;
  main_->Settings.FullScrMode = true;
  main_->Settings.ScrWidth = 640;
  main_->Settings.ScrHeight = 480;
  main_->Settings.ScrDepth = 32;
  main_->Settings.OnErrors = 1;
  Open(Clips().Avi);
  const TMovieRect before = main_->GetMovieRect();
  const QRect monitor = main_->NearestMonitorRect();

  main_->ExecuteCommand(cmFullScreen);
  EXPECT_TRUE(main_->IsFullScreen());
  ASSERT_EQ(modes.sets.size(), 1u);
  EXPECT_EQ(modes.sets[0].width, 640);
  EXPECT_EQ(modes.sets[0].bits, 32);
  EXPECT_TRUE(modes.changed);
  // The monitor shows 640 x 480 now, whatever the toolkit still believes.
  EXPECT_EQ(main_->geometry(), QRect(monitor.topLeft(), QSize(640, 480)));
  EXPECT_EQ(main_->PlayState, TPlayState::Paused);  // the stop around the change is undone
  main_->ExecuteCommand(cmFullScreen);
  EXPECT_FALSE(main_->IsFullScreen());
  EXPECT_EQ(modes.restores, 1);
  EXPECT_FALSE(modes.changed);
  EXPECT_EQ(main_->GetMovieRect(), before);

  // A mode the monitor lacks: the service's reason is the error's text, full
  // screen goes on in the current mode and leaving it restores nothing.
  main_->Settings.ScrWidth = 1024;
  main_->Settings.ScrHeight = 768;
  modes.errorText = "The monitor has no 1024 x 768 mode.";
  main_->ExecuteCommand(cmFullScreen);
  EXPECT_TRUE(main_->IsFullScreen());
  EXPECT_EQ(main_->InfoText,
            "Ошибка: 0x8876005A (The monitor has no 1024 x 768 mode.)\r\nScope:[DD.SetDisplayMode]");
  EXPECT_EQ(main_->geometry(), monitor);
  main_->ExecuteCommand(cmFullScreen);
  EXPECT_FALSE(main_->IsFullScreen());
  EXPECT_EQ(modes.restores, 1);
}

TEST_F(MainWindow, QuickSecondPressOnTheMovieIsAPressToo) {
  Open(Clips().Avi);
  QWidget* movie = main_->pnMovie;
  const QPoint at = movie->rect().center();
  // The window system hands a quick second press over as a double click;
  // the press, release, double click, release of a real double click.
  auto quickTwice = [&](Qt::MouseButton button, Qt::KeyboardModifiers mods = {}) {
    QTest::mouseClick(movie, button, mods, at);
    QTest::mouseDClick(movie, button, mods, at);
  };
  quickTwice(Qt::LeftButton);
  QTest::mouseRelease(movie, Qt::LeftButton, {}, at);
  Drain();
  EXPECT_EQ(Executed(), std::vector<int>({cmStopPlay, cmStopPlay}));
  EXPECT_EQ(main_->PlayState, TPlayState::Paused);

  // Right twice: the control panel goes and comes back.
  quickTwice(Qt::RightButton);
  QTest::mouseRelease(movie, Qt::RightButton, {}, at);
  EXPECT_TRUE(main_->ControlPanelVisible());

  // A drag can start on the second press.
  const QPoint start = main_->pos();
  quickTwice(Qt::LeftButton, Qt::ShiftModifier);
  QTest::mouseMove(movie, at + QPoint(30, 20));
  QTest::mouseRelease(movie, Qt::LeftButton, Qt::ShiftModifier, at + QPoint(30, 20));
  EXPECT_EQ(main_->pos(), start + QPoint(30, 20));

  // Left button as window drag: only the left double click toggles, once.
  main_->Settings.MouseLeft = 1;
  spy_->clear();
  quickTwice(Qt::LeftButton);
  QTest::mouseRelease(movie, Qt::LeftButton, {}, at);
  quickTwice(Qt::RightButton);
  QTest::mouseRelease(movie, Qt::RightButton, {}, at);
  Drain();
  EXPECT_EQ(Executed(), std::vector<int>({cmStopPlay}));
  EXPECT_TRUE(main_->ControlPanelVisible());
}

TEST_F(MainWindow, EnterInThePlaylistRunsItsKeyAndOnlyADoubleClickPlays) {
  main_->show();
  main_->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(main_.get()));
  main_->ExecuteCommand(cmPlaylist);
  main_->PlayList()->AddFiles({Clips().Avi, Clips().Wav}, true);
  TPlayListGrid* grid = main_->dgPlayList;
  const QPoint second(10, TPlayListGrid::RowHeight + 5);
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, second);
  ASSERT_EQ(main_->PlayList()->SelectedItem(), 1);
  grid->setFocus();
  ASSERT_EQ(QApplication::focusWidget(), grid);
  spy_->clear();

  // Enter is the full-screen key: that command runs, and nothing is played.
  QTest::keyClick(grid, Qt::Key_Return);
  Drain();
  EXPECT_EQ(Executed(), std::vector<int>({cmFullScreen}));
  EXPECT_FALSE(main_->IsFileOpen());

  QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, second);
  Drain();
  EXPECT_EQ(main_->FileName, Clips().Wav);
  EXPECT_EQ(main_->PlayState, TPlayState::Playing);
}

TEST_F(MainWindow, RefusedPlacementStillLeavesTheSmallPictureAndTheCursorRule) {
  TFakeMediaPlatform platform;
  // The fake graph calls back into the platform: the file goes first.
  struct TCloseFirst {
    TfrMain& main;
    ~TCloseFirst() { main.CloseFile(); }
  } closeFirst{*main_};
  Open(Clips().Avi);
  ASSERT_TRUE(main_->Engine()->HasVideo);
  const std::shared_ptr<TFakeGraph> graph = platform.LastGraph.lock();
  ASSERT_TRUE(graph);

  // Policy 1: the failure is a line on the info panel, the picture 40 x 30.
  main_->Settings.OnErrors = 1;
  platform.FailOn("VideoWindow.SetWindowPosition", E_FAIL, 0, 1);
  main_->ExecuteCommand(cmAspect16x9);
  EXPECT_EQ(QRect(graph->left, graph->top, graph->width, graph->height), QRect(0, 0, 40, 30));
  EXPECT_TRUE(main_->InfoText.endsWith("\r\nScope:[VideoWindow.SetWindowPosition]"));

  // Policy 0: the error is raised, after the fallback and the cursor rule
  // (full screen without panels hides the cursor).
  main_->Settings.OnErrors = 0;
  main_->ExecuteCommand(cmControlPanel);
  platform.FailOn("VideoWindow.SetWindowPosition", E_FAIL, 0, 1);
  EXPECT_THROW(main_->ExecuteCommand(cmFullScreen), EPlatformError);
  EXPECT_TRUE(main_->IsFullScreen());
  EXPECT_EQ(QRect(graph->left, graph->top, graph->width, graph->height), QRect(0, 0, 40, 30));
  EXPECT_TRUE(main_->CursorHidden());
  main_->ExecuteCommand(cmFullScreen);
  EXPECT_FALSE(main_->CursorHidden());
}
