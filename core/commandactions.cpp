// What each command does: the one place where a command meets the part
// that carries it out. A new dialog for a command is one line here, built
// with the part it talks to (Playback(), Geometry(), SettingsHost()).
#include "commands/commandtable.h"
#include "controls/buttontable.h"
#include "core/MainUnit.h"
#include "core/dispatch.h"
#include "core/input.h"
#include "core/panels.h"
#include "core/playback.h"
#include "core/windowgeom.h"
#include "media/DShowHlp.h"
#include "media/SysHelp.h"
#include "playlist/playlist.h"
#include "playlist/subtitles.h"

void TfrMain::ConnectCommands() {
  TCommandDispatch& c = *commands_;
  TPlayback& play = *playback_;
  TWindowGeometry& geometry = *geometry_;
  TMainPanels& panels = *panels_;
  TMainInput& input = *input_;
  TPlayList& list = *playList_;
  TDirectShowHelper& engine = play.Engine();

  c.On(cmLoadFiles, [&input] { input.OpenFilesDialog(); });
  c.On(cmStopPlay, [&play] { play.PlayPauseToggle(); });
  c.On(cmStop, [&play] { play.PauseMovie(); });
  c.On(cmFrameBack, [&play] { play.FrameBack(); });
  c.On(cmFrameStep, [&play] { play.FrameForward(); });
  c.On(cmPlay, [&play] { play.Play(); });
  c.On(cmSpeedChange, [&play] { play.SpeedPlay(); });
  c.On(cmFullScreen, [&geometry] { geometry.ToggleFullScreen(); });
  c.On(cmOriginalSize, [&geometry] { geometry.OriginalSize(); });
  c.On(cmZoom50, [&geometry] { geometry.ScaleWindow(50); });
  c.On(cmZoom100, [&geometry] { geometry.ScaleWindow(100); });
  c.On(cmZoom200, [&geometry] { geometry.ScaleWindow(200); });
  for (int id : {cmAspectAsIs, cmAspect16x9, cmAspect4x3, cmAspectByWidth, cmAspectByHeight, cmAspectCustom})
    c.On(id, [&geometry, id] { geometry.SetAspectMode(id - cmAspectAsIs); });
  c.On(cmPrevInPlaylist, [&list] { list.PlayPrevious(); });
  c.On(cmNextInPlaylist, [&list] { list.PlayNext(); });
  c.On(cmPlaylist, [&panels, &geometry] { geometry.ShowPlaylistPanel(panels.Toggle(btPlaylist)); });
  c.On(cmJumpBackward, [&play] { play.JumpBackward(); });
  c.On(cmJumpForward, [&play] { play.JumpForward(); });
  c.On(cmRewindToStart, [&engine] { engine.SetPosition(0); });
  c.On(cmSetBookmark, [&play] { play.AddBookmark(); });
  c.On(cmPlayFromPlaylist, [&list] { list.PlaySelected(); });
  c.On(cmRepeatPlaylist, [&panels] { panels.Toggle(btRepeatPlaylist); });
  c.On(cmAddFiles, [&input] { input.AddFilesDialog(); });
  c.On(cmAddFolder, [&input] { input.AddFolderDialog(); });
  c.On(cmRemoveFromPlaylist, [&list] { list.DeleteSelected(); });
  c.On(cmClearPlaylist, [&list] { list.Clear(); });
  c.On(cmMoveUp, [&list] { list.MoveUp(); });
  c.On(cmMoveDown, [&list] { list.MoveDown(); });
  c.On(cmShufflePlaylist, [&list] { list.Shuffle(); });
  c.On(cmGenerateReport, [] {});  // the report window is not built yet
  c.On(cmBookmarksInPlaylist, [&panels, &list] {
    list.SetShowTree(panels.Toggle(btBookmarksInPlaylist));
    list.Refresh();
  });
  c.On(cmSavePlaylist, [&input] { input.SavePlaylistDialog(); });
  c.On(cmMute, [&panels, &play] {
    panels.Toggle(btMute);
    play.ApplyVolume();
  });
  c.On(cmVolumeUp, [&play] { play.SetVolumePosition(play.VolumePosition() + 5); });
  c.On(cmVolumeDown, [&play] { play.SetVolumePosition(play.VolumePosition() - 5); });
  c.On(cmAudioProperties, [] {});  // the audio dialog is not built yet
  c.On(cmBrightnessUp, [&engine] { engine.AdjustDivXPicture(1, 0, 0); });
  c.On(cmBrightnessDown, [&engine] { engine.AdjustDivXPicture(-1, 0, 0); });
  c.On(cmContrastUp, [&engine] { engine.AdjustDivXPicture(0, 1, 0); });
  c.On(cmContrastDown, [&engine] { engine.AdjustDivXPicture(0, -1, 0); });
  c.On(cmSaturationUp, [&engine] { engine.AdjustDivXPicture(0, 0, 1); });
  c.On(cmSaturationDown, [&engine] { engine.AdjustDivXPicture(0, 0, -1); });
  c.On(cmVideoProperties, [&play] { play.ShowVideoProperties(); });
  c.On(cmSaveScreenshot, [&panels, &play] {
    if (panels.ButtonEnabled(cmSaveScreenshot)) play.SaveScreenshot();
  });
  c.On(cmVideoProportions, [&panels, &geometry] {
    panels.Toggle(btVideoProportions);
    geometry.PlaceVideo();
  });
  c.On(cmSubtitles, [this] { ToggleSubtitles(); });
  c.On(cmFilters, [] {});  // the filter graph window is not built yet
  // The preferences dialog is not built yet; the transaction around it
  // still stores and re-reads the settings.
  c.On(cmPreferences, [this] { settingsFile_->Preferences([] {}); });
  c.On(cmFileInformation, [&play] { play.ShowFileInformation(); });
  c.On(cmControlPanel, [&geometry] { geometry.ToggleControlPanel(); });
  c.On(cmMinimize, [this] { showMinimized(); });
  c.On(cmStayOnTop, [&panels, &geometry] {
    panels.Toggle(btStayOnTop);
    geometry.ApplyStayOnTop();
  });
  c.On(cmHelp, [&panels] { panels.ShowHelp(); });
  c.On(cmAbout, [] {});  // the about window is not built yet
  c.On(cmExit, [this] { close(); });
  c.On(cmPowerOff, [this] { sysHelper_->PowerOff(); });
}

void TfrMain::ToggleSubtitles() {
  TfrSubtitles* subtitles = parts_.Subtitles;
  if (panels_->SubtitleLineShown()) {
    panels_->ShowSubtitleLine(false);
  } else if (subtitles && subtitles->Loaded) {
    panels_->ShowSubtitleLine(true);
  } else if (subtitles) {
    subtitles->ChooseSubtitles(settings_.VideoDir);
    if (subtitles->Loaded) panels_->ShowSubtitleLine(true);
  }
}
