#pragma once
#include <QString>
#include <QStringList>
#include <QWidget>
#include <memory>

#include "commands/keymap.h"
#include "core/mainparts.h"
#include "core/settings.h"

class Exception;
class TInstanceServer;
class TMainSettingsHost;
class TWinLIRCClient;
class TfrError;

// The main window: builds its parts (panels, playback, geometry, commands
// and input), connects them, runs start-up and the orderly shut-down. A
// dialog or a remote client talks to the part it needs; the window's state
// and widgets stay its own.
class TfrMain : public QWidget {
  Q_OBJECT
 public:
  explicit TfrMain(QWidget* parent = nullptr);
  ~TfrMain() override;  // the shut-down's second half: frees what the window owns

  // The windows created after the main window that it talks to.
  void SetErrorWindow(TfrError* window) { frError = window; }
  void SetSubtitleWindow(TfrSubtitles* window) { parts_.Subtitles = window; }

  // False when the process must end at once (wrong system language, or
  // another instance took the command line); nothing is saved then.
  bool StartUp(const QStringList& arguments);
  // A command line handed over by a second instance.
  void OnCopyData(const QString& commandLine);
  void OnApplicationException(const Exception& e);

  // The parts, for the dialogs and clients that act on the player.
  TPlayback& Playback() const { return *playback_; }
  TWindowGeometry& Geometry() const { return *geometry_; }
  TCommandDispatch& Commands() const { return *commands_; }
  TMainInput& Input() const { return *input_; }
  TSettingsHost& SettingsHost() const;
  TSettingsFile& SettingsFile() const { return *settingsFile_; }
  TSettings& Settings() { return settings_; }
  TKeyMap& KeyMap() { return keyMap_; }
  TPlayList* PlayList() const { return playList_.get(); }
  TWinLIRCClient& Remote() const { return *remote_; }
  TFileAssociations& FileTypes() const { return *fileTypes_; }

  // What another instance looks for; "Kelvara" until start-up ends.
  const QString& MainTitle() const { return mainTitle_; }

 protected:
  void closeEvent(QCloseEvent* e) override;  // the shut-down's first half
  void changeEvent(QEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;
  void dragEnterEvent(QDragEnterEvent* e) override;
  void dropEvent(QDropEvent* e) override;

 private:
  friend class TfrMainTestAccess;
  bool CheckSystemLanguage();
  bool ForwardToRunningInstance(const QStringList& arguments);
  // Every command's action, in one place.
  void ConnectCommands();
  void ToggleSubtitles();

  TSettings settings_;
  TKeyMap keyMap_;
  TMainParts parts_;
  std::unique_ptr<TSysHelper> sysHelper_;
  std::unique_ptr<TMainPanels> panels_;
  std::unique_ptr<TPlayback> playback_;
  std::unique_ptr<TPlayList> playList_;
  std::unique_ptr<TWindowGeometry> geometry_;
  TCommandDispatch* commands_ = nullptr;  // owned as a child
  TMainInput* input_ = nullptr;           // owned as a child
  std::unique_ptr<TMainSettingsHost> settingsHost_;
  std::unique_ptr<TSettingsFile> settingsFile_;
  std::unique_ptr<TInstanceServer> instanceServer_;
  TWinLIRCClient* remote_ = nullptr;  // the remote control, owned as a child
  std::unique_ptr<TFileAssociations> fileTypes_;
  TfrError* frError = nullptr;
  QString mainTitle_;
};
