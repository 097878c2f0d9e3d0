#include "core/settingshost.h"

#include "core/application.h"
#include "core/mainparts.h"
#include "core/panels.h"
#include "core/playback.h"
#include "core/windowgeom.h"
#include "platform/system/exceptions.h"
#include "platform/system/priority.h"
#include "playlist/playlist.h"
#include "prefs/associations.h"

TMovieRect& TMainSettingsHost::MovieRect() { return parts_.Geometry->MovieRect(); }
TMovieRect TMainSettingsHost::GetMovieRect() const { return parts_.Geometry->GetMovieRect(); }
bool TMainSettingsHost::IsFullScreen() const { return parts_.Geometry->IsFullScreen(); }

bool TMainSettingsHost::ToggleDown(TToggle toggle) const { return parts_.Panels->ToggleDown(toggle); }
void TMainSettingsHost::SetToggleDown(TToggle toggle, bool down) { parts_.Panels->SetToggleDown(toggle, down); }

void TMainSettingsHost::ApplyPlaylistTreeMode() { parts_.PlayList->SetShowTree(ToggleDown(TToggle::Tree)); }
void TMainSettingsHost::ApplyStayOnTop() { parts_.Geometry->ApplyStayOnTop(); }

int TMainSettingsHost::VolumePosition() const { return parts_.Playback->VolumePosition(); }
void TMainSettingsHost::SetVolumePosition(int position) { parts_.Playback->SetVolumePosition(position); }

void TMainSettingsHost::ShowHints(bool on) { parts_.Panels->ShowHints(on); }

void TMainSettingsHost::SetHighPriority(bool high) {
  PriorityService().SetPriorityClass(high ? TPriorityClass::High : TPriorityClass::Normal);
}

void TMainSettingsHost::ShowSeekBarBookmarks(bool on) { parts_.Panels->ShowSeekBarBookmarks(on); }
void TMainSettingsHost::ApplySubtitleFont() { parts_.Panels->ApplySubtitleFont(); }
bool TMainSettingsHost::LoadSkinBitmap(const QString& path) { return parts_.Panels->LoadSkinBitmap(path); }

int TMainSettingsHost::PlaylistIndex() const { return parts_.PlayList->CurrentItem(); }
void TMainSettingsHost::SetPlaylistIndex(int index) { parts_.PlayList->SetCurrentItem(index); }

void TMainSettingsHost::SaveDefaultPlaylist(const QString& path) {
  if (!parts_.PlayList->SaveToFile(path)) throw Exception("Cannot write the playlist " + path);
}

TKeyMap& TMainSettingsHost::KeyMap() { return *parts_.KeyMap; }
void TMainSettingsHost::PutDefaultKeyPreset() { parts_.KeyMap->ApplyPreset(TKeyPreset::Default); }

void TMainSettingsHost::ApplyPreferences() {
  // What the live settings change on the main window itself.
  TMainPanels& panels = *parts_.Panels;
  panels.ApplyPanelColour();
  panels.ApplySubtitleFont();
  panels.ShowSeekBarBookmarks(parts_.Settings->ShowBookmarks);
  parts_.Geometry->UpdateCaptionBar();
  panels.Relayout();
  // The desktop follows the file-type marks. A file that cannot be written
  // is reported, and the settings are saved all the same.
  try {
    parts_.FileTypes->Apply();
  } catch (const Exception& e) {
    TKelvaraApplication::HandleException(e);
  }
}

void TMainSettingsHost::RefreshFileTypes() { parts_.FileTypes->Refresh(); }

void TMainSettingsHost::OpenHelp() { parts_.Panels->ShowHelp(); }
