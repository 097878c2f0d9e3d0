#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>

// One file type of the associations list: "EXT - description".
struct TFileTypeItem {
  const char* Text;
  bool Video;  // checked by the "Видео" group button
  bool Audio;  // checked by the "Аудио" group button
};

inline constexpr int FileTypeCount = 27;
inline constexpr std::array<TFileTypeItem, FileTypeCount> FileTypeItems{{
    {"KPL - Kelvara Playlist", true, true},
    {"ASF - Advanced Streaming Format", true, false},
    {"AVI - Audio-Video Interleaved", true, false},
    {"DAT - MPEG movie on VCD or SVCD", false, false},
    {"DIVX - AVI file compressed with DIVX coder", false, false},
    {"ENC", false, false},
    {"M1V - MPEG1 only video", false, false},
    {"M2V - MPEG2 only video", false, false},
    {"MOV - Quick Time Movie (ver. 2 and lower)", false, false},
    {"MPE - MPEG", true, false},
    {"MPEG - Motion Picture Experts Group", true, false},
    {"MPG - MPEG", true, false},
    {"QT - Quick Time Movie (ver. 2 and lower)", false, false},
    {"VOB - MPEG2 ripped from DVD", false, false},
    {"WM - Windows Media", false, false},
    {"WMA - Windows Media Audio", false, false},
    {"WMV - Windows Media Video", false, false},
    {"AIF - AIFF", false, false},
    {"AIFC - AIFF", false, false},
    {"AIFF - Apple Audio", false, false},
    {"AU - Sun Audio", false, false},
    {"MID - Musical Interface Digital Instruments", false, true},
    {"MP2 - Audio MPEG1 Layer-2", false, false},
    {"MP3 - Audio MPEG1 Layer-3", false, true},
    {"MPA - Audio MPEG", false, false},
    {"SND - Sun Audio", false, false},
    {"WAV - Windows PCM Audio", false, true},
}};

// The extension of an item: its text up to the first space ("ENC" has none).
QString FileTypeExtension(int index);
// Which of the player's file icons an item shows: 1 the playlist, 3 a
// video file, 5 an audio file (from index 17 on).
int FileTypeIcon(int index);
// The open-file dialog's filter: "Multimedia files|*.KPL;...;*.WAV;|Any files|*.*".
QString OpenFileFilter();

enum class TFileTypeGroup { None, Video, Audio, All };

// The file types the player opens by default on the desktop. The check
// marks are the state the dialog edits; the desktop itself is the stored
// state: Refresh reads the marks back from it, Apply makes it follow them.
//
// Several extensions may share one MIME type (MPE, MPEG, MPG and VOB are
// all video/mpeg), and the desktop associates types, not extensions. So the
// items of one type move together: checking or clearing one marks them all,
// and the type is the player's while its items are checked. An extension
// the system's MIME database has no type for cannot be associated (taking
// the generic binary type would take every unknown file): its item stays
// unchecked.
class TFileAssociations {
 public:
  static constexpr const char* DesktopId = "kelvara.desktop";
  static constexpr const char* PlaylistMimeType = "application/x-kelvara-playlist";
  static constexpr const char* MimePackage = "kelvara.xml";

  // The executable that the desktop entry starts and that counts as this player.
  explicit TFileAssociations(const QString& executable);

  QString Text(int index) const { return QString::fromUtf8(FileTypeItems.at(index).Text); }
  // Empty when the system knows no type for the extension.
  QString MimeType(int index) const;
  bool Associable(int index) const { return !MimeType(index).isEmpty(); }
  bool Checked(int index) const { return checked_.at(index); }
  // Marks every item of the same type; an item without a type stays clear.
  void SetChecked(int index, bool on);
  // The group buttons: clear all, then check the group's items (all for All).
  void SelectGroup(TFileTypeGroup group);

  // Check marks := whether each type is registered to this executable.
  void Refresh();
  // Associates every checked type and releases every other type that is
  // still the player's. Throws Exception when the desktop's files cannot
  // be written.
  void Apply();
  // The type's default application is the player's desktop entry and that
  // entry starts this very executable.
  bool IsRegistered(const QString& mimeType) const;

  // Where the defaults the player replaced are kept: in the settings folder.
  static QString BackupPath();
  // The MIME package that defines the playlist type, as installed.
  static QByteArray MimePackageXml();
  // The player's desktop entry, starting this executable and listing the types.
  QByteArray DesktopEntry(const QStringList& mimeTypes) const;

 private:
  void ResolveTypes() const;

  QString executable_;
  std::array<bool, FileTypeCount> checked_{};
  mutable std::array<QString, FileTypeCount> types_;
  mutable bool resolved_ = false;
};
