#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>

#include "prefs/filetypes.h"

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

  QString Text(int index) const { return QString::fromLatin1(FileTypes()[size_t(index)].Text); }
  // Empty when the system knows no type for the extension.
  QString MimeType(int index) const;
  bool Associable(int index) const { return !MimeType(index).isEmpty(); }
  bool Checked(int index) const { return marks_.Checked(index); }
  // Marks every item of the same type; an item without a type stays clear.
  void SetChecked(int index, bool on);
  // The group buttons: clear all, then check the group's items (all for All).
  void SelectGroup(TFileGroup group);
  // The marks as the list shows them. Setting them marks a type wherever
  // any of its items is marked.
  const TFileTypeMarks& Marks() const { return marks_; }
  void SetMarks(const TFileTypeMarks& marks);

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
  TFileTypeMarks marks_;
  mutable std::array<QString, FileTypeCount> types_;
  mutable bool resolved_ = false;
};
