#include "core/settings.h"

#include <QFileInfo>
#include <QLocale>
#include <array>
#include <exception>
#include <vector>

#include "base/identity.h"
#include "core/application.h"
#include "platform/system/exceptions.h"
#include "platform/system/msgbox.h"
#include "platform/system/profile.h"
#include "platform/system/windir.h"

// ---------------------------------------------------------------- hex

namespace {

int HexDigit(QChar c) {
  const char16_t u = c.unicode();
  if (u >= u'0' && u <= u'9') return u - u'0';
  if (u >= u'A' && u <= u'F') return u - u'A' + 10;
  if (u >= u'a' && u <= u'f') return u - u'a' + 10;
  return -1;
}

constexpr int MovieRectBytes = 16;
const char* const DefaultWindowPos = "D0000000BA0000004F0200009D010000";

std::array<uint8_t, MovieRectBytes> RectBytes(const TMovieRect& r) {
  std::array<uint8_t, MovieRectBytes> out{};
  const int32_t values[4] = {r.Left, r.Top, r.Right, r.Bottom};
  for (int i = 0; i < 4; ++i) {
    const auto v = static_cast<uint32_t>(values[i]);
    for (int b = 0; b < 4; ++b) out[i * 4 + b] = static_cast<uint8_t>(v >> (8 * b));
  }
  return out;
}

TMovieRect RectFromBytes(const std::array<uint8_t, MovieRectBytes>& bytes) {
  int32_t values[4];
  for (int i = 0; i < 4; ++i) {
    uint32_t v = 0;
    for (int b = 0; b < 4; ++b) v |= uint32_t(bytes[i * 4 + b]) << (8 * b);
    values[i] = static_cast<int32_t>(v);
  }
  return {values[0], values[1], values[2], values[3]};
}

}  // namespace

QString EncodeHex(const uint8_t* bytes, int count) {
  static const char digits[] = "0123456789ABCDEF";
  QString out;
  out.reserve(count * 2);
  for (int i = 0; i < count; ++i) {
    out += QLatin1Char(digits[bytes[i] >> 4]);
    out += QLatin1Char(digits[bytes[i] & 0x0F]);
  }
  return out;
}

int DecodeHex(const QString& text, uint8_t* destination, int size) {
  const qsizetype pairs = text.size() / 2;
  int written = 0;
  for (qsizetype i = 0; i < pairs && written < size; ++i) {
    const int hi = HexDigit(text.at(2 * i));
    const int lo = HexDigit(text.at(2 * i + 1));
    if (hi < 0 || lo < 0) break;
    destination[written++] = static_cast<uint8_t>(hi * 16 + lo);
  }
  return written;
}

QString MovieRectToHex(const TMovieRect& rect) {
  const auto bytes = RectBytes(rect);
  return EncodeHex(bytes.data(), MovieRectBytes);
}

void MovieRectFromHex(const QString& text, TMovieRect& rect) {
  for (QChar c : text)
    if (HexDigit(c) < 0) return;
  auto bytes = RectBytes(rect);
  DecodeHex(text, bytes.data(), MovieRectBytes);
  rect = RectFromBytes(bytes);
}

// ---------------------------------------------------------------- record

QString DefaultMicroDVDFPS() {
  return QStringLiteral("25") + QLocale::system().decimalPoint() + QStringLiteral("00");
}

TSettings::TSettings()
    : KVVer(QString::fromUtf8(Identity::Version)),
      VideoDir(DefaultFolder()),
      ScreenShotDir(DefaultFolder()),
      SkinDir(DefaultFolder()),
      MicroDVDFPS(DefaultMicroDVDFPS()) {}

TSettings TSettings::BuiltIn(int logicalDpi) {
  TSettings s;
  s.SkinDir.clear();
  s.Repeat = true;
  s.Tree = false;
  s.Volume = 100;
  s.SubtitlesFontCharset = 204;
  // The preview label's font is 27 pixels high; its size in points depends
  // on the screen, rounded as the system's MulDiv rounds.
  const int dpi = logicalDpi > 0 ? logicalDpi : 96;
  s.SubtitlesFontSize = (27 * 72 + dpi / 2) / dpi;
  s.Skin = QString::fromUtf8(SkinButtonCaption);
  s.LastPlayed = -1;
  return s;
}

// ---------------------------------------------------------------- key table

namespace {

enum class TForm { Version, WindowPos, String, Bool, Int };

// What happens around a key beyond storing its value in the record.
enum class THook {
  None, Repeat, Tree, Mute, StayOnTop, Speed, FullScrMode, ScrDepth, Volume,
  Hints, HighPriority, ShowBookmarks, FontColor, Skin, LastPlayed
};

struct TKeyDef {
  const char* section;
  const char* key;
  TForm form;
  QString TSettings::*text = nullptr;
  bool TSettings::*flag = nullptr;
  int TSettings::*number = nullptr;
  THook hook = THook::None;
  int choices = 0;  // an index into a fixed list of this many choices; 0: any integer
};

TKeyDef TextKey(const char* s, const char* k, QString TSettings::*m, THook h = THook::None) {
  return {s, k, TForm::String, m, nullptr, nullptr, h};
}
TKeyDef BoolKey(const char* s, const char* k, bool TSettings::*m, THook h = THook::None) {
  return {s, k, TForm::Bool, nullptr, m, nullptr, h};
}
TKeyDef IntKey(const char* s, const char* k, int TSettings::*m, THook h = THook::None) {
  return {s, k, TForm::Int, nullptr, nullptr, m, h};
}
TKeyDef ChoiceKey(const char* s, const char* k, int TSettings::*m, int choices) {
  return {s, k, TForm::Int, nullptr, nullptr, m, THook::None, choices};
}

// Every key of the file, in the order it is written.
const std::vector<TKeyDef>& Keys() {
  using S = TSettings;
  static const std::vector<TKeyDef> keys = {
      {"Common", "KVVer", TForm::Version, &S::KVVer},
      TextKey("Common", "VideoDir", &S::VideoDir),
      TextKey("Common", "ScreenShotDir", &S::ScreenShotDir),
      TextKey("Common", "SkinDir", &S::SkinDir),
      {"Common", "WindowPos", TForm::WindowPos},
      BoolKey("Common", "Repeat", &S::Repeat, THook::Repeat),
      BoolKey("Common", "Tree", &S::Tree, THook::Tree),
      BoolKey("Common", "Mute", &S::Mute, THook::Mute),
      BoolKey("Common", "StayOnTop", &S::StayOnTop, THook::StayOnTop),
      IntKey("Video", "SpeedMultiplier", &S::SpeedMultiplier, THook::Speed),
      BoolKey("Video", "KeyFrameSeek", &S::KeyFrameSeek),
      BoolKey("Video", "ForceOverlay", &S::ForceOverlay),
      BoolKey("Video", "ReversePlayTime", &S::ReversePlayTime),
      BoolKey("Video", "FullScrMode", &S::FullScrMode, THook::FullScrMode),
      IntKey("Video", "ScrWidth", &S::ScrWidth),
      IntKey("Video", "ScrHeight", &S::ScrHeight),
      IntKey("Video", "ScrDepth", &S::ScrDepth, THook::ScrDepth),
      TextKey("Video", "KeySeek", &S::KeySeek),
      TextKey("Video", "CustomAspectRatio", &S::CustomAspectRatio),
      ChoiceKey("Audio", "VolumeControl", &S::VolumeControl, 2),
      ChoiceKey("Audio", "SoundFreq", &S::SoundFreq, 4),
      IntKey("Audio", "Volume", &S::Volume, THook::Volume),
      BoolKey("Misc", "Hints", &S::Hints, THook::Hints),
      BoolKey("Misc", "HighPriority", &S::HighPriority, THook::HighPriority),
      BoolKey("Misc", "ShowBookmarks", &S::ShowBookmarks, THook::ShowBookmarks),
      BoolKey("Misc", "ResizeLimit", &S::ResizeLimit),
      BoolKey("Misc", "MultiInstance", &S::MultiInstance),
      TextKey("Subtitles", "SubtitlesFontName", &S::SubtitlesFontName),
      IntKey("Subtitles", "SubtitlesFontCharset", &S::SubtitlesFontCharset),
      IntKey("Subtitles", "SubtitlesFontSize", &S::SubtitlesFontSize),
      IntKey("Subtitles", "SubtitlesFontColor", &S::SubtitlesFontColor, THook::FontColor),
      BoolKey("Subtitles", "SubtitlesAutoLoad", &S::SubtitlesAutoLoad),
      ChoiceKey("Subtitles", "SetMicroDVDFPS", &S::SetMicroDVDFPS, 2),
      TextKey("Subtitles", "MicroDVDFPS", &S::MicroDVDFPS),
      BoolKey("Events", "OnOpenClosePanels", &S::OnOpenClosePanels),
      BoolKey("Events", "OnOpenResize", &S::OnOpenResize),
      BoolKey("Events", "OnOpenFullScreen", &S::OnOpenFullScreen),
      BoolKey("Events", "OnOpenPlay", &S::OnOpenPlay),
      ChoiceKey("Events", "OnStop", &S::OnStop, 4),
      BoolKey("Events", "OnStopRewind", &S::OnStopRewind),
      ChoiceKey("Events", "OnErrors", &S::OnErrors, 2),
      BoolKey("WinLIRC", "WIRCenable", &S::WIRCenable),
      TextKey("WinLIRC", "WIRCserver", &S::WIRCserver),
      TextKey("WinLIRC", "WIRCport", &S::WIRCport),
      BoolKey("Commands", "MultiKeys", &S::MultiKeys),
      TextKey("Interface", "Skin", &S::Skin, THook::Skin),
      BoolKey("Interface", "WndCaption", &S::WndCaption),
      BoolKey("Interface", "NoFullScrCaption", &S::NoFullScrCaption),
      ChoiceKey("Mouse", "MouseLeft", &S::MouseLeft, 2),
      ChoiceKey("Mouse", "MouseMiddle", &S::MouseMiddle, 2),
      ChoiceKey("Mouse", "MouseWheel", &S::MouseWheel, 2),
      IntKey("PlayList", "LastPlayed", &S::LastPlayed, THook::LastPlayed),
  };
  return keys;
}

// The reading order is the writing order without the version, except that
// the volume bar is set before the sound rate is read.
const std::vector<const TKeyDef*>& ReadOrder() {
  static const std::vector<const TKeyDef*> order = [] {
    std::vector<const TKeyDef*> out;
    for (const TKeyDef& d : Keys())
      if (d.form != TForm::Version) out.push_back(&d);
    for (size_t i = 0; i + 1 < out.size(); ++i)
      if (qstrcmp(out[i]->key, "SoundFreq") == 0) std::swap(out[i], out[i + 1]);
    return out;
  }();
  return order;
}

TToggle ToggleOf(THook hook) {
  switch (hook) {
    case THook::Tree: return TToggle::Tree;
    case THook::Mute: return TToggle::Mute;
    case THook::StayOnTop: return TToggle::StayOnTop;
    default: return TToggle::Repeat;
  }
}

bool IsToggle(THook hook) {
  return hook == THook::Repeat || hook == THook::Tree || hook == THook::Mute ||
         hook == THook::StayOnTop;
}

}  // namespace

// ---------------------------------------------------------------- file

TSettingsFile::TSettingsFile(TSettings& settings, TSettingsHost& host)
    : settings_(settings), host_(host) {}

QString TSettingsFile::Path() { return WindowsDirectory() + QStringLiteral("/kelvar.ini"); }

QString TSettingsFile::PlaylistPath() { return WindowsDirectory() + QStringLiteral("/kelvar.kpl"); }

void TSettingsFile::SaveSettings() {
  host_.ApplyPreferences();
  // The old file is not deleted first: the new one is built from nothing in
  // memory, which gives the same order, and replaces the old one only once
  // it is completely written.
  TIniFile ini;
  TSettings& s = settings_;
  for (const TKeyDef& d : Keys()) {
    const QString section = QString::fromLatin1(d.section);
    const QString key = QString::fromLatin1(d.key);
    if (IsToggle(d.hook)) s.*d.flag = host_.ToggleDown(ToggleOf(d.hook));
    if (d.hook == THook::Volume) s.Volume = host_.VolumePosition();
    if (d.hook == THook::LastPlayed) s.LastPlayed = host_.PlaylistIndex();
    switch (d.form) {
      case TForm::Version:
        s.KVVer = QString::fromUtf8(Identity::Version);
        ini.WriteString(section, key, s.KVVer);
        break;
      case TForm::WindowPos:
        // In full screen MovieRect still holds the placement remembered when
        // full screen began, which is the one to come back to.
        if (!host_.IsFullScreen()) host_.MovieRect() = host_.GetMovieRect();
        ini.WriteString(section, key, MovieRectToHex(host_.MovieRect()));
        break;
      case TForm::String: ini.WriteString(section, key, s.*d.text); break;
      case TForm::Bool: ini.WriteBool(section, key, s.*d.flag); break;
      case TForm::Int: ini.WriteInteger(section, key, s.*d.number); break;
    }
    if (d.hook == THook::LastPlayed) host_.SaveDefaultPlaylist(PlaylistPath());
  }
  host_.KeyMap().Save(ini);

  QString error;
  if (ini.Save(Path(), &error)) {
    reportedSaveError_.clear();
    return;
  }
  const QString message = QStringLiteral("Cannot write the settings file %1: %2").arg(Path(), error);
  if (message == reportedSaveError_) return;
  reportedSaveError_ = message;
  throw Exception(message);
}

void TSettingsFile::ReadKeys(const TIniFile& ini) {
  const TSettings defaults;
  TSettings& s = settings_;
  for (const TKeyDef* d : ReadOrder()) {
    const QString section = QString::fromLatin1(d->section);
    const QString key = QString::fromLatin1(d->key);
    switch (d->form) {
      case TForm::Version: break;
      case TForm::WindowPos:
        MovieRectFromHex(ini.ReadString(section, key, QString::fromLatin1(DefaultWindowPos)),
                         host_.MovieRect());
        break;
      case TForm::String:
        if (d->hook == THook::Skin) {
          // An empty value leaves the button's text alone; only a value
          // naming an existing file loads a skin.
          const QString skin = ini.ReadString(section, key, QString());
          if (skin.isEmpty()) break;
          s.Skin = skin;
          if (QFileInfo(skin).isFile() && !host_.LoadSkinBitmap(skin))
            throw Exception(QStringLiteral("Cannot load the skin bitmap %1").arg(skin));
          break;
        }
        s.*d->text = ini.ReadString(section, key, defaults.*d->text);
        break;
      case TForm::Bool: s.*d->flag = ini.ReadBool(section, key, defaults.*d->flag); break;
      case TForm::Int: {
        const int def = defaults.*d->number;
        const int value = ini.ReadInteger(section, key, def);
        // An index past its list would select a choice that does not exist.
        const bool outside = d->choices > 0 && (value < 0 || value >= d->choices);
        s.*d->number = outside ? def : value;
        break;
      }
    }
    switch (d->hook) {
      case THook::Repeat:
      case THook::Mute: host_.SetToggleDown(ToggleOf(d->hook), s.*d->flag); break;
      case THook::Tree:
        host_.SetToggleDown(TToggle::Tree, s.Tree);
        host_.ApplyPlaylistTreeMode();
        break;
      case THook::StayOnTop:
        host_.SetToggleDown(TToggle::StayOnTop, s.StayOnTop);
        host_.ApplyStayOnTop();
        break;
      case THook::Speed: s.SpeedMultiplier = qBound(1, s.SpeedMultiplier, 20); break;
      case THook::FullScrMode: host_.EnableDisplayModeButton(s.FullScrMode); break;
      case THook::ScrDepth:
        host_.SetDisplayModeCaption(QStringLiteral("%1 x %2, %3 Bits")
                                        .arg(s.ScrWidth).arg(s.ScrHeight).arg(s.ScrDepth));
        break;
      case THook::Volume:
        host_.SetVolumePosition(s.Volume);
        s.Volume = host_.VolumePosition();  // as the bar took it
        break;
      case THook::Hints: host_.ShowHints(s.Hints); break;
      case THook::HighPriority: host_.SetHighPriority(s.HighPriority); break;
      case THook::ShowBookmarks: host_.ShowSeekBarBookmarks(s.ShowBookmarks); break;
      case THook::FontColor: host_.ApplySubtitleFont(); break;
      case THook::LastPlayed: host_.SetPlaylistIndex(s.LastPlayed); break;
      case THook::None:
      case THook::Skin: break;
    }
  }
  host_.KeyMap().Load(ini);
}

void TSettingsFile::LoadSettings() {
  const QString path = Path();
  if (!QFileInfo::exists(path)) {
    host_.PutDefaultKeyPreset();
    // A first start that cannot write its settings tells the user through
    // the error window and goes on with the built-in ones.
    try {
      SaveSettings();
    } catch (const Exception& e) {
      TKelvaraApplication::HandleException(e);
    }
    if (host_.IsEnglish() &&
        MessageBoxes().Show(QString::fromUtf8(Identity::AppTitle), QString::fromUtf8(HelpQuestion),
                            TMsgIcon::Question, TMsgButtons::YesNo, nullptr) == TMsgResult::Yes)
      host_.OpenHelp();
  }
  // Still no file: the built-in settings stay, and nobody is told twice.
  if (QFileInfo::exists(path)) try {
    TIniFile ini;
    // A file that is there but cannot be read fails at the first key, so the
    // settings in memory are kept rather than reset to the defaults.
    if (!ini.Load(path)) throw Exception(QStringLiteral("Cannot read %1").arg(path));
    ReadKeys(ini);
  } catch (const std::exception&) {
    ShowErrorBox(QString(), QString::fromUtf8(LoadErrorText));
  }
  host_.RefreshFileTypes();
  host_.ApplyPreferences();
}

void TSettingsFile::Preferences(const std::function<void()>& showModal) {
  SaveSettings();
  LoadSettings();
  if (showModal) showModal();
  LoadSettings();
}
