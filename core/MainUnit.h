#pragma once
#include <QImage>
#include <QMenu>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <array>
#include <memory>

#include "commands/keymap.h"
#include "core/settings.h"
#include "media/fileinfo.h"
#include "playlist/playlistview.h"

class Exception;
class IDirectSound;
class QLabel;
class TCPULoad;
class TDirectShowHelper;
class THoverButton;
class TInstanceServer;
class TKVCaption;
class TPlayList;
class TPlayListGrid;
class TPosBar;
class TSizeFrame;
class TSysHelper;
class TTimeBar;
class TTimeTrackBar;
class TVolumeTrackBar;
class TfrError;
class TfrSubtitles;

// The play states of the main window.
enum class TPlayState : quint8 { Closed = 0, Playing = 1, Paused = 2, SpeedPlay = 3 };

// The event type of the command message: every user action ends as one of
// these posted to the main window, and they run in posting order.
inline constexpr int CommandMessage = 0x89C8;

// Drag modes of the mouse on the movie.
enum class TDragMode : quint8 { None = 0, MoveWindow = 1, PanVideo = 2, Zoom = 3 };

// The main window: owns the system services, the engine, the playlist, the
// live settings and the key map; runs start-up, playback, the window's
// geometry, every command and the orderly shut-down.
class TfrMain : public QWidget, public TSettingsHost, public TPlayListOwner {
  Q_OBJECT
 public:
  explicit TfrMain(QWidget* parent = nullptr);
  ~TfrMain() override;  // the shut-down's second half: frees what the window owns

  // The windows created after the main window that it talks to.
  void SetErrorWindow(TfrError* window) { frError = window; }
  void SetSubtitleWindow(TfrSubtitles* window) { frSubtitles = window; }

  // ---- start-up and shut-down
  // False when the process must end at once (wrong system language, or
  // another instance took the command line); nothing is saved then.
  bool StartUp(const QStringList& arguments);
  bool CheckSystemLanguage();
  bool ForwardToRunningInstance(const QStringList& arguments);
  void OnCopyData(const QString& commandLine);
  void OnApplicationException(const Exception& e);

  // ---- playback
  void OpenFile(const QString& path) override;
  void CloseFile();
  void Play() override;
  void PauseMovie();
  void SpeedPlay();
  void RestorePlayState();
  void PlayPauseToggle();
  void FrameBack();
  void FrameForward();
  void JumpBackward();
  void JumpForward();
  qint64 SnapToKeyFrame(qint64 t) const;
  void OnMediaEnd();
  void ApplyVolume(int v);
  void SetSoundFormat();
  void ShowInfoText(const QString& text);
  // One tick of the 300 ms timer: clock, subtitle line, position, CPU meter.
  void OnTimer();
  // Whether Alt is held at this moment (key-frame snapping is skipped then).
  virtual bool AltKeyDown() const;

  // ---- window geometry
  TMovieRect GetMovieRect() const override;
  void SetMovieRect(const TMovieRect& r);
  void PlaceVideo();
  void FitWindowToVideo();
  void ScaleWindow(int percent);
  void OriginalSize();
  void ToggleFullScreen();
  void EnterFullScreen();
  void LeaveFullScreen();
  QRect NearestMonitorRect() const;
  void SetSizableFrame(bool on);
  void ApplyStayOnTop() override;
  void UpdateCaptionBar();
  void UpdateCursor();
  void ToggleControlPanel();
  void ShowPlaylistPanel(bool show);
  void SetDisplayMode(bool on);

  // ---- commands and input
  void PostCommand(int id);
  void ExecuteCommand(int id);
  // The keyboard handler; runs for every key before the focused control.
  void HandleKey(quint16 virtualKey, int shift);
  void OpenFilesDialog();
  void AddFilesDialog();
  void SavePlaylistDialog();
  void AddFolderDialog();
  // The context menu as it is built for a popup.
  void BuildPopupMenu(QMenu& menu);
  void DropFiles(const QStringList& names);

  // ---- panels
  void EnableControls(bool open);
  void ShowSubtitleLine(bool on);
  void SaveScreenshot();
  QString HelpText() const;
  void ShowHelp();
  void ShowFileInformation();
  void ApplyPanelColour();

  // ---- TSettingsHost
  TMovieRect& MovieRect() override { return movieRect_; }
  bool IsFullScreen() const override;
  bool ToggleDown(TToggle toggle) const override;
  void SetToggleDown(TToggle toggle, bool down) override;
  void ApplyPlaylistTreeMode() override;
  void EnableDisplayModeButton(bool enabled) override { displayModeEnabled_ = enabled; }
  void SetDisplayModeCaption(const QString& caption) override { displayModeCaption_ = caption; }
  int VolumePosition() const override;
  void SetVolumePosition(int position) override;
  void ShowHints(bool on) override;
  void SetHighPriority(bool high) override;
  void ShowSeekBarBookmarks(bool on) override;
  void ApplySubtitleFont() override;
  bool LoadSkinBitmap(const QString& path) override;
  int PlaylistIndex() const override;
  void SetPlaylistIndex(int index) override;
  void SaveDefaultPlaylist(const QString& path) override;
  QString KeyMapCell(int row, int column) const override;
  void SetKeyMapCell(int row, int column, const QString& text) override;
  void PutDefaultKeyPreset() override;
  void RefreshFileTypes() override {}
  void ApplyPreferences() override;
  bool IsEnglish() const override { return false; }
  void OpenHelp() override { ShowHelp(); }

  // ---- TPlayListOwner
  bool IsFileOpen() const override { return !FileName.isEmpty(); }
  void SetPosition(qint64 time) override;
  bool RepeatPlaylist() const override;
  void ClearSeekBarBookmarks() override;
  void SetSeekBarBookmark(int index, qint64 time) override;
  const QImage* SkinBitmap() const override { return &Skin; }

  // ---- state, read by tests and by the windows that come later
  TSettings Settings;
  TKeyMap KeyMap;
  TPlayState PlayState = TPlayState::Closed;
  QString FileName;          // empty when no file is open
  TFileInfo FileInfo;        // of the open file
  QString MainTitle;         // what another instance looks for; "Kelvara" until start-up ends
  QString ApplicationTitle;  // what the task bar shows
  QString InfoText;          // the info panel's line
  QImage Skin;               // the skin bitmap every control copies from
  // Fields the preferences dialog holds without storing them.
  int ZoomX = 0, ZoomY = 100;
  int AspectMode = 0;
  int SubtitleOffset = 0;  // whole seconds
  int PanX = 0, PanY = 0;
  TDragMode DragMode = TDragMode::None;
  int CPUShown = 0;

  TPlayList* PlayList() const { return playList_.get(); }
  TSysHelper* SysHelper() const { return sysHelper_.get(); }
  TDirectShowHelper* Engine() const { return engine_.get(); }
  TSettingsFile& SettingsFile() { return *settingsFile_; }
  QTimer* Timer() { return &timer_; }
  THoverButton* Button(int index) const { return buttons_[static_cast<size_t>(index)]; }
  // The button that carries a command (the first one in index order), or null.
  THoverButton* ButtonFor(int command) const;
  bool ButtonEnabled(int command) const;

  // Widgets, named as the window's layout names them.
  TKVCaption* kvCaption = nullptr;
  QWidget* pnMovie = nullptr;
  QLabel* imLogo = nullptr;
  QWidget* pnControl = nullptr;
  QWidget* pnStandard = nullptr;
  QWidget* pnControlLeft = nullptr;
  QLabel* pnInfo = nullptr;
  QWidget* pnControlRight = nullptr;
  QWidget* pnPosition = nullptr;
  QLabel* lbSubtitles = nullptr;
  QWidget* pnAdvanced = nullptr;
  QWidget* pnAdvLeft = nullptr;
  QWidget* pnAdvRight = nullptr;
  QWidget* pnPlayList = nullptr;
  QWidget* spPlayList = nullptr;
  TPlayListGrid* dgPlayList = nullptr;
  QWidget* pnPlayListBottom = nullptr;
  TTimeTrackBar* tbSeek = nullptr;
  TVolumeTrackBar* tbVolume = nullptr;
  TPosBar* pbPosition = nullptr;
  TTimeBar* tbClock = nullptr;
  TCPULoad* cpuLoad = nullptr;
  QMenu* pmMain = nullptr;

  // Whether each panel is shown, as the layout uses it (tests run hidden).
  bool ControlPanelVisible() const { return controlVisible_; }
  bool CaptionBarVisible() const { return captionVisible_; }
  bool PlaylistPanelVisible() const { return playlistVisible_; }
  bool CursorHidden() const { return cursorHidden_; }

 signals:
  void CommandExecuted(int id);

 protected:
  bool event(QEvent* e) override;
  void closeEvent(QCloseEvent* e) override;  // the shut-down's first half
  void keyPressEvent(QKeyEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;
  void dragEnterEvent(QDragEnterEvent* e) override;
  void dropEvent(QDropEvent* e) override;
  void changeEvent(QEvent* e) override;

 private:
  void CreatePanels();
  void CreateStatusControls();
  void CreateButtons();
  void Relayout();
  void SetApplicationTitle(const QString& title);
  void MovieMouseDown(QMouseEvent* e);
  void MovieMouseMove(QMouseEvent* e);
  void MovieDoubleClick();
  void SetPlayButtons(TPlayState state);
  int HiddenChromeHeight() const;
  void ApplySizeLimit();

  std::unique_ptr<TSysHelper> sysHelper_;
  std::unique_ptr<TDirectShowHelper> engine_;
  std::unique_ptr<TPlayList> playList_;
  std::unique_ptr<TSettingsFile> settingsFile_;
  std::unique_ptr<TInstanceServer> instanceServer_;
  std::shared_ptr<IDirectSound> directSound_;
  TSizeFrame* sizeFrame_ = nullptr;
  TfrError* frError = nullptr;
  TfrSubtitles* frSubtitles = nullptr;
  std::array<THoverButton*, 36> buttons_{};
  QTimer timer_;
  TMovieRect movieRect_;
  bool fullScreen_ = false;
  bool controlVisible_ = true;
  bool captionVisible_ = true;
  bool playlistVisible_ = false;
  bool cursorHidden_ = false;
  bool hintsShown_ = true;
  bool layoutFrozen_ = false;
  bool displayModeEnabled_ = false;
  bool displayModeChanged_ = false;
  QString displayModeCaption_;
  int playlistWidth_ = 160;
  QPoint lastDrag_;
  bool movieCaptured_ = false;
};
