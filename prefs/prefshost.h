#pragma once
#include <QImage>
#include <QRect>

class Exception;
class TKeyMap;
class TFileAssociations;
class TSettingsHost;
class TWinLIRCClient;
struct TSettings;

// What the preferences dialog needs from the main window: the live settings
// and their host, the key map, and the values the dialog edits without
// storing them (zoom, aspect mode, subtitle offset). The main window
// implements it; the dialog never reaches the window's widgets.
class TPrefsHost {
 public:
  virtual ~TPrefsHost() = default;

  virtual TSettings& Settings() = 0;
  virtual TSettingsHost& SettingsHost() = 0;
  virtual TKeyMap& KeyMap() = 0;
  // The remote client: the WinLIRC page shows its state and the key grid
  // learns its button names.
  virtual TWinLIRCClient& Remote() = 0;
  // The file-type marks the FileTypes page edits; the settings load
  // refreshes them from the desktop and the save applies them.
  virtual TFileAssociations& FileTypes() = 0;
  virtual const QImage& SkinImage() const = 0;
  // Writes the settings file; throws Exception when it cannot.
  virtual void SaveSettings() = 0;

  // Horizontal 0..100 and vertical 0..100 (0 is 200%); the movie is placed
  // again at once.
  virtual int ZoomX() const = 0;
  virtual int ZoomY() const = 0;
  virtual void SetZoom(int x, int y) = 0;
  // 0..5 as the aspect group lists them; the movie is placed again at once.
  virtual int AspectMode() const = 0;
  virtual void SetAspectMode(int mode) = 0;
  virtual int SubtitleOffset() const = 0;  // whole seconds
  virtual void SetSubtitleOffset(int seconds) = 0;
  // SpeedMultiplier changed: a film playing at changed speed takes the new
  // factor at once.
  virtual void SpeedChanged() = 0;

  // The main window on the screen, to find the monitor whose modes are listed.
  virtual QRect WindowRect() const = 0;
  // Hands a failure to the program's error handler.
  virtual void ReportError(const Exception& e) = 0;
};
