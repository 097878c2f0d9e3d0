#pragma once
#include <QString>
#include <cstdint>
#include <functional>

#include "commands/keymap.h"

// The screen rectangle of the movie area in window mode.
struct TMovieRect {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Right = 0;
  int32_t Bottom = 0;
  bool operator==(const TMovieRect&) const = default;
};

// Each byte as two upper-case hexadecimal digits.
QString EncodeHex(const uint8_t* bytes, int count);
// Byte i of destination := the i-th pair of characters read as hexadecimal.
// Stops at the first pair that is not two hexadecimal digits and never writes
// past size; bytes not reached keep their values. An odd last character is
// no pair. Returns how many bytes were written.
int DecodeHex(const QString& text, uint8_t* destination, int size);

// The 32 hex digits of the file: Left, Top, Right, Bottom as little-endian
// 32-bit integers, negative ones in two's complement.
QString MovieRectToHex(const TMovieRect& rect);
// Overwrites the leading bytes of rect from the digits, as DecodeHex does.
// A value holding anything other than hexadecimal digits leaves rect as it
// was: half a rectangle from garbage would put the window anywhere.
void MovieRectFromHex(const QString& text, TMovieRect& rect);

// "25,00" with the locale's decimal separator.
QString DefaultMicroDVDFPS();

// The live preferences, one field per key of kelvar.ini, initialised with the
// values an absent key reads as. The main window's folders are these fields.
// WindowPos is the main window's MovieRect and the CommandMap keys are the
// key map's cells; both stay with their owners and are reached through
// TSettingsHost. Repeat, Tree, Mute, StayOnTop, Volume and LastPlayed belong
// to their controls: the fields hold what the file last gave or received,
// and saving takes them from the controls again.
struct TSettings {
  // [Common]
  QString KVVer;  // written on every save, never read
  QString VideoDir;
  QString ScreenShotDir;
  QString SkinDir;
  bool Repeat = false;
  bool Tree = true;
  bool Mute = false;
  bool StayOnTop = false;
  // [Video]
  int SpeedMultiplier = 13;
  bool KeyFrameSeek = true;
  bool ForceOverlay = false;
  bool ReversePlayTime = false;
  bool FullScrMode = false;
  int ScrWidth = 640;
  int ScrHeight = 480;
  int ScrDepth = 16;
  QString KeySeek = QStringLiteral("10");
  QString CustomAspectRatio = QStringLiteral("47 : 20");
  // [Audio]
  int VolumeControl = 0;
  int SoundFreq = 3;
  int Volume = 31;
  // [Misc]
  bool Hints = true;
  bool HighPriority = false;
  bool ShowBookmarks = true;
  bool ResizeLimit = true;
  bool MultiInstance = false;
  // [Subtitles]
  QString SubtitlesFontName = QStringLiteral("Arial");
  int SubtitlesFontCharset = 0;
  int SubtitlesFontSize = 18;
  int SubtitlesFontColor = 16776960;  // 0xFFFF00: blue and green, aqua
  bool SubtitlesAutoLoad = true;
  int SetMicroDVDFPS = 0;
  QString MicroDVDFPS;
  // [Events]
  bool OnOpenClosePanels = false;
  bool OnOpenResize = true;
  bool OnOpenFullScreen = false;
  bool OnOpenPlay = true;
  int OnStop = 1;
  bool OnStopRewind = true;
  int OnErrors = 0;
  // [WinLIRC]
  bool WIRCenable = false;
  QString WIRCserver = QStringLiteral("127.0.0.1");
  QString WIRCport = QStringLiteral("8765");
  // [Commands]
  bool MultiKeys = false;
  // [Interface]
  QString Skin;  // the load-skin button's text
  bool WndCaption = true;
  bool NoFullScrCaption = false;
  // [Mouse]
  int MouseLeft = 0;
  int MouseMiddle = 0;
  int MouseWheel = 0;
  // [PlayList]
  int LastPlayed = 0;

  TSettings();
  bool operator==(const TSettings&) const = default;
  // The state the program starts in before any file is read: what the
  // controls show when created (empty skin folder, the preview label's
  // 27-pixel Cyrillic font, the load-skin button's own caption, the Repeat
  // button down, an empty playlist, a full volume bar).
  static TSettings BuiltIn(int logicalDpi = 96);
};

inline constexpr const char* SkinButtonCaption = "Загрузить набор кнопок";
inline constexpr const char* LoadErrorText = "Error loading preferences";
inline constexpr const char* HelpQuestion = "Would you like to read help before using player ?";

enum class TToggle { Repeat, Tree, Mute, StayOnTop };

// Everything loading and saving touches besides the record. The main window
// implements it; each call is made at the moment its side effect belongs to,
// and a call that applies a setting reads the record, already updated.
class TSettingsHost {
 public:
  virtual ~TSettingsHost() = default;

  // Placement. MovieRect is the main window's field; GetMovieRect measures
  // the movie area as the window now stands.
  virtual TMovieRect& MovieRect() = 0;
  virtual TMovieRect GetMovieRect() const = 0;
  virtual bool IsFullScreen() const = 0;

  virtual bool ToggleDown(TToggle toggle) const = 0;
  virtual void SetToggleDown(TToggle toggle, bool down) = 0;
  virtual void ApplyPlaylistTreeMode() = 0;  // from the Tree button
  virtual void ApplyStayOnTop() = 0;         // topmost when the button is down or in full screen

  virtual void EnableDisplayModeButton(bool enabled) = 0;
  virtual void SetDisplayModeCaption(const QString& caption) = 0;

  virtual int VolumePosition() const = 0;
  virtual void SetVolumePosition(int position) = 0;  // also applies the volume

  virtual void ShowHints(bool on) = 0;
  virtual void SetHighPriority(bool high) = 0;
  virtual void ShowSeekBarBookmarks(bool on) = 0;
  virtual void ApplySubtitleFont() = 0;  // preview label, then the subtitle line
  // False when the file cannot be loaded as a skin bitmap.
  virtual bool LoadSkinBitmap(const QString& path) = 0;

  virtual int PlaylistIndex() const = 0;
  virtual void SetPlaylistIndex(int index) = 0;
  virtual void SaveDefaultPlaylist(const QString& path) = 0;

  // The live key map; the file's [CommandMap] is its own Save and Load.
  virtual TKeyMap& KeyMap() = 0;
  virtual void PutDefaultKeyPreset() = 0;  // "Стандартные"

  virtual void RefreshFileTypes() = 0;
  virtual void ApplyPreferences() = 0;  // the preferences dialog's apply step
  virtual bool IsEnglish() const = 0;
  virtual void OpenHelp() = 0;
};

// Loads and saves the record and the host's state to kelvar.ini in the
// folder that stands for the Windows directory.
class TSettingsFile {
 public:
  TSettingsFile(TSettings& settings, TSettingsHost& host);

  static QString Path();          // WindowsDirectory() + "/kelvar.ini"
  static QString PlaylistPath();  // WindowsDirectory() + "/kelvar.kpl"

  // Reads the file and applies each value as it is read; on first run writes
  // the file first. A failure while reading ends the reading at that key and
  // shows "Error loading preferences"; refreshing and applying still run.
  void LoadSettings();
  // Rewrites the whole file from the record and the host, and saves the
  // default playlist. A failed write raises Exception; the previous file is
  // then left as it was.
  void SaveSettings();
  // The preferences command: the dialog edits the live record while
  // showModal runs; its OK saves, so the final reload keeps what OK stored
  // and drops what Cancel left behind.
  void Preferences(const std::function<void()>& showModal);

 private:
  void ReadKeys(const class TIniFile& ini);

  TSettings& settings_;
  TSettingsHost& host_;
};
