#pragma once
#include "core/settings.h"

struct TMainParts;

// What loading and saving the settings touch in the main window, each call
// passed on to the part it concerns. The preferences dialog holds one too.
class TMainSettingsHost : public TSettingsHost {
 public:
  explicit TMainSettingsHost(TMainParts& parts) : parts_(parts) {}

  TMovieRect& MovieRect() override;
  TMovieRect GetMovieRect() const override;
  bool IsFullScreen() const override;
  bool ToggleDown(TToggle toggle) const override;
  void SetToggleDown(TToggle toggle, bool down) override;
  void ApplyPlaylistTreeMode() override;
  void ApplyStayOnTop() override;
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
  TKeyMap& KeyMap() override;
  void PutDefaultKeyPreset() override;
  void RefreshFileTypes() override;
  void ApplyPreferences() override;
  bool IsEnglish() const override { return false; }
  void OpenHelp() override;

  // The display-mode choice as the settings left it, for the preferences dialog.
  bool DisplayModeEnabled() const { return displayModeEnabled_; }
  const QString& DisplayModeCaption() const { return displayModeCaption_; }

 private:
  TMainParts& parts_;
  bool displayModeEnabled_ = false;
  QString displayModeCaption_;
};
