#pragma once
#include <QString>
#include <QStringList>
#include <array>

#include "core/settings.h"

// A main window without a window: keeps the controls' states in fields and
// logs every call, with the record values the call could see, so tests can
// check both what happened and when.
class TFakeSettingsHost : public TSettingsHost {
 public:
  explicit TFakeSettingsHost(const TSettings& settings) : settings_(settings) {}

  TMovieRect& MovieRect() override { return movieRect; }
  TMovieRect GetMovieRect() const override { return windowRect; }
  bool IsFullScreen() const override { return fullScreen; }

  bool ToggleDown(TToggle t) const override { return toggles[int(t)]; }
  void SetToggleDown(TToggle t, bool down) override {
    toggles[int(t)] = down;
    Log(QStringLiteral("toggle%1=%2").arg(int(t)).arg(down));
  }
  void ApplyPlaylistTreeMode() override {
    Log(QStringLiteral("treeMode=%1").arg(toggles[int(TToggle::Tree)]));
  }
  void ApplyStayOnTop() override {
    Log(QStringLiteral("stayOnTop=%1").arg(toggles[int(TToggle::StayOnTop)] || fullScreen));
  }
  void EnableDisplayModeButton(bool enabled) override {
    Log(QStringLiteral("modeButton=%1").arg(enabled));
  }
  void SetDisplayModeCaption(const QString& caption) override {
    Log(QStringLiteral("modeCaption=") + caption);
  }
  int VolumePosition() const override { return volume; }
  void SetVolumePosition(int position) override {
    volume = qBound(0, position, 100);
    // SoundFreq is read after the volume: it must still hold its old value.
    Log(QStringLiteral("volume=%1 freq=%2").arg(volume).arg(settings_.SoundFreq));
  }
  void ShowHints(bool on) override { Log(QStringLiteral("hints=%1").arg(on)); }
  void SetHighPriority(bool high) override { Log(QStringLiteral("priority=%1").arg(high)); }
  void ShowSeekBarBookmarks(bool on) override { Log(QStringLiteral("bookmarks=%1").arg(on)); }
  void ApplySubtitleFont() override {
    Log(QStringLiteral("font=%1,%2,%3,%4")
            .arg(settings_.SubtitlesFontName)
            .arg(settings_.SubtitlesFontCharset)
            .arg(settings_.SubtitlesFontSize)
            .arg(settings_.SubtitlesFontColor));
  }
  bool LoadSkinBitmap(const QString& path) override {
    Log(QStringLiteral("skin=") + path);
    return skinLoads;
  }
  int PlaylistIndex() const override { return playlistIndex; }
  void SetPlaylistIndex(int index) override {
    playlistIndex = index;
    Log(QStringLiteral("index=%1").arg(index));
  }
  void SaveDefaultPlaylist(const QString& path) override { Log(QStringLiteral("playlist=") + path); }
  TKeyMap& KeyMap() override { return keyMap; }
  // A small preset of its own, so that the file shows where each cell went.
  void PutDefaultKeyPreset() override {
    Log(QStringLiteral("preset"));
    SetRow(0, {QStringLiteral("Ctrl+O"), QStringLiteral("Ctrl+O"), QString()});
    SetRow(5, {QStringLiteral("Space"), QStringLiteral("Space"), QStringLiteral("play")});
    SetRow(60, {QStringLiteral("Alt+F4"), QString(), QStringLiteral("power")});
  }
  void SetRow(int id, const std::array<QString, KeyColumnCount>& row) {
    for (int c = 0; c < KeyColumnCount; ++c) keyMap.SetCell(id, TKeyColumn(c), row[size_t(c)]);
  }
  void RefreshFileTypes() override { Log(QStringLiteral("fileTypes")); }
  void ApplyPreferences() override { Log(QStringLiteral("apply")); }
  bool IsEnglish() const override { return english; }
  void OpenHelp() override { Log(QStringLiteral("help")); }

  void Log(const QString& line) {
    if (logging) log << line;
  }

  TMovieRect movieRect;
  TMovieRect windowRect{208, 186, 591, 413};
  bool fullScreen = false;
  std::array<bool, 4> toggles{true, false, false, false};  // as the buttons are created
  int volume = 100;
  int playlistIndex = -1;
  TKeyMap keyMap;
  bool skinLoads = true;
  bool english = false;
  bool logging = true;
  QStringList log;

 private:
  const TSettings& settings_;
};
