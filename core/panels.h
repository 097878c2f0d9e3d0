#pragma once
#include <QImage>
#include <QString>
#include <array>

#include "controls/buttontable.h"
#include "core/settings.h"

class QLabel;
class QMenu;
class QWidget;
class TCPULoad;
class THoverButton;
class TKVCaption;
class TPlayListGrid;
class TPosBar;
class TTimeBar;
class TTimeTrackBar;
class TVolumeTrackBar;
struct TMainParts;
enum class TPlayState : quint8;

// What decides which controls work: whether a file is open and what it holds.
struct TControlsState {
  bool Open = false;
  bool Video = false;
  bool Audio = false;
  bool PlaylistHasItems = false;
  bool FileInfoValid = false;
};

// The main window's controls: builds the panels, the status controls and the
// skinned buttons, lays them out for the chrome that is shown, and keeps the
// rules of which control is enabled or down. The widgets carry the names
// the window's layout gives them; the other parts use them, dialogs do not.
class TMainPanels {
 public:
  explicit TMainPanels(TMainParts& parts);

  // At construction: the panels, the logo and the playlist grid.
  void CreatePanels();
  // At start-up: the bars and meters, then the buttons.
  void CreateStatusControls();
  void CreateButtons();
  void Relayout();
  // While frozen, Relayout waits for the change of several flags to end.
  void FreezeLayout(bool frozen) { layoutFrozen_ = frozen; }

  // Which chrome is shown; the setters only record it (Relayout applies it).
  bool ControlPanelVisible() const { return controlVisible_; }
  bool CaptionBarVisible() const { return captionVisible_; }
  bool PlaylistPanelVisible() const { return playlistVisible_; }
  void SetControlPanelVisible(bool on) { controlVisible_ = on; }
  void SetCaptionBarVisible(bool on) { captionVisible_ = on; }
  void SetPlaylistPanelVisible(bool on) { playlistVisible_ = on; }
  // The height of the control panel and caption bar while they are hidden.
  int HiddenChromeHeight() const;
  // The window's smallest size for the chrome now shown.
  void ApplySizeLimit();

  THoverButton* Button(int index) const { return buttons_[static_cast<size_t>(index)]; }
  // The button that carries a command (the first one in index order), or null.
  THoverButton* ButtonFor(int command) const;
  bool ButtonEnabled(int command) const;
  bool Down(TMainButton button) const;
  void SetDown(TMainButton button, bool down);
  // Flips a two-state button; returns its new state.
  bool Toggle(TMainButton button);
  bool ToggleDown(TToggle toggle) const;
  void SetToggleDown(TToggle toggle, bool down);

  void EnableControls(const TControlsState& state);
  void SetPlayButtons(TPlayState state);

  void ShowInfoText(const QString& text);
  const QString& InfoText() const { return infoText_; }
  void ShowSubtitleLine(bool on);
  bool SubtitleLineShown() const;

  const QImage& Skin() const { return skin_; }
  bool LoadSkinBitmap(const QString& path);
  void ApplyPanelColour();
  void ApplySubtitleFont();
  void ShowHints(bool on);
  bool HintsShown() const { return hintsShown_; }
  void ShowSeekBarBookmarks(bool on);

  QString HelpText() const;
  void ShowHelp() const;

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

 private:
  TMainParts& parts_;
  QImage skin_;
  std::array<THoverButton*, MainButtonCount> buttons_{};
  QString infoText_;
  bool controlVisible_ = true;
  bool captionVisible_ = true;
  bool playlistVisible_ = false;
  bool layoutFrozen_ = false;
  bool hintsShown_ = true;
  int playlistWidth_ = 160;
};
