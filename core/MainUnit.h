#pragma once
#include <QImage>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <memory>

#include "commands/keymap.h"
#include "core/settings.h"
#include "playlist/playlistview.h"

class Exception;
class TInstanceServer;
class TPlayList;
class TSizeFrame;
class TSysHelper;
class TfrError;

// The play states of the main window.
enum class TPlayState : quint8 { Closed = 0, Playing = 1, Paused = 2, SpeedPlay = 3 };

// The event type of the command message: every user action ends as one of
// these posted to the main window, and they run in posting order.
inline constexpr int CommandMessage = 0x89C8;

// The main window: owns the system services, the playlist, the live settings
// and the key map, runs start-up and the orderly shut-down.
class TfrMain : public QWidget, public TSettingsHost, public TPlayListOwner {
  Q_OBJECT
 public:
  explicit TfrMain(QWidget* parent = nullptr);
  ~TfrMain() override;  // the shut-down's second half: frees what the window owns

  // The windows created after the main window that it talks to.
  void SetErrorWindow(TfrError* window) { frError = window; }

  // The start-up sequence. False when the process must end at once (wrong
  // system language, or another instance took the command line); nothing is
  // saved then.
  bool StartUp(const QStringList& arguments);
  // The system language gate: false when the program must not run.
  bool CheckSystemLanguage();
  // Hands the command line to a running instance: true when one took it.
  bool ForwardToRunningInstance(const QStringList& arguments);
  // Another instance's raw command line.
  void OnCopyData(const QString& commandLine);
  // The application-wide handler of errors no other code caught.
  void OnApplicationException(const Exception& e);

  void PostCommand(int id);
  void ShowInfoText(const QString& text);

  // TSettingsHost
  TMovieRect& MovieRect() override { return movieRect_; }
  TMovieRect GetMovieRect() const override;
  bool IsFullScreen() const override { return fullScreen_; }
  bool ToggleDown(TToggle toggle) const override;
  void SetToggleDown(TToggle toggle, bool down) override;
  void ApplyPlaylistTreeMode() override;
  void ApplyStayOnTop() override;
  void EnableDisplayModeButton(bool enabled) override { displayModeEnabled_ = enabled; }
  void SetDisplayModeCaption(const QString& caption) override { displayModeCaption_ = caption; }
  int VolumePosition() const override { return volume_; }
  void SetVolumePosition(int position) override;
  void ShowHints(bool on) override { hints_ = on; }
  void SetHighPriority(bool high) override;
  void ShowSeekBarBookmarks(bool on) override { showBookmarks_ = on; }
  void ApplySubtitleFont() override {}
  bool LoadSkinBitmap(const QString& path) override;
  int PlaylistIndex() const override;
  void SetPlaylistIndex(int index) override;
  void SaveDefaultPlaylist(const QString& path) override;
  QString KeyMapCell(int row, int column) const override;
  void SetKeyMapCell(int row, int column, const QString& text) override;
  void PutDefaultKeyPreset() override;
  void RefreshFileTypes() override {}
  void ApplyPreferences() override {}
  bool IsEnglish() const override { return false; }
  void OpenHelp() override {}

  // TPlayListOwner
  void OpenFile(const QString& path) override;
  bool IsFileOpen() const override { return !fileName_.isEmpty(); }
  void Play() override;
  void SetPosition(qint64 time) override;
  bool RepeatPlaylist() const override { return repeat_; }
  void ClearSeekBarBookmarks() override {}
  void SetSeekBarBookmark(int, qint64) override {}
  const QImage* SkinBitmap() const override { return skin_.isNull() ? nullptr : &skin_; }

  void SetMovieRect(const TMovieRect& r);

  // Read by tests and by the windows that come later.
  TSettings Settings;
  TKeyMap KeyMap;
  TPlayState PlayState = TPlayState::Closed;
  QString MainTitle;         // what another instance looks for; "Kelvara" until start-up ends
  QString ApplicationTitle;  // what the task bar shows
  QString InfoText;          // the info panel's line
  TPlayList* PlayList() const { return playList_.get(); }
  TSysHelper* SysHelper() const { return sysHelper_.get(); }
  TSettingsFile& SettingsFile() { return *settingsFile_; }
  QTimer* Timer() { return &timer_; }
  QWidget* pnMovie = nullptr;

 signals:
  void CommandPosted(int id);

 protected:
  bool event(QEvent* e) override;
  void closeEvent(QCloseEvent* e) override;  // the shut-down's first half

 private:
  void OnTimer();
  void SetApplicationTitle(const QString& title);

  std::unique_ptr<TSysHelper> sysHelper_;
  std::unique_ptr<TPlayList> playList_;
  std::unique_ptr<TSettingsFile> settingsFile_;
  std::unique_ptr<TInstanceServer> instanceServer_;
  TSizeFrame* sizeFrame_ = nullptr;
  TfrError* frError = nullptr;
  QTimer timer_;
  TMovieRect movieRect_;
  QString fileName_;
  QImage skin_;
  bool fullScreen_ = false;
  bool repeat_ = false, tree_ = false, mute_ = false, stayOnTop_ = false;
  bool displayModeEnabled_ = false;
  QString displayModeCaption_;
  bool hints_ = true, showBookmarks_ = true;
  int volume_ = 100;
};
