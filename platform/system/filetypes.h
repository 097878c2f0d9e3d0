#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>

// The desktop's file-type registry, the freedesktop.org way: the shared MIME
// database names the type of a file name, mimeapps.list in the user's
// configuration names the program that opens each type by default, and a
// program is known to the desktop by its desktop entry.
class TFileTypeService {
 public:
  virtual ~TFileTypeService() = default;

  // Every type the system's MIME database gives a file name by its
  // extension (no dot), best first; empty when it knows none.
  virtual QStringList MimeTypesOfExtension(const QString& extension) const = 0;

  // The user's default-application value for the type in
  // $XDG_CONFIG_HOME/mimeapps.list, [Default Applications], as written
  // (a list of desktop entry ids separated by ";"); empty when absent.
  virtual QString DefaultApplications(const QString& mimeType) const = 0;
  // Writes the value; an empty one removes the type's line, so the
  // desktop's own choice applies again. Throws Exception on failure.
  virtual void SetDefaultApplications(const QString& mimeType, const QString& value) = 0;

  // The user's own desktop entry of that id in $XDG_DATA_HOME/applications;
  // empty when there is none.
  virtual QByteArray UserDesktopEntry(const QString& desktopId) const = 0;
  // Throws Exception on failure.
  virtual void WriteUserDesktopEntry(const QString& desktopId, const QByteArray& contents) = 0;

  // Puts a MIME package into $XDG_DATA_HOME/mime/packages and rebuilds the
  // user's MIME database; nothing when it is there already. Throws
  // Exception on failure.
  virtual void InstallUserMimePackage(const QString& fileName, const QByteArray& xml) = 0;
};

// The service in use: the user's XDG folders unless a test installed another.
TFileTypeService& FileTypeService();
// Installs a service (nullptr restores the XDG one). The caller keeps ownership.
void SetFileTypeService(TFileTypeService* service);

// The first desktop entry id of a mimeapps.list value ("a.desktop;b.desktop;").
QString FirstDesktopId(const QString& value);
// The program an Exec line starts: its first word, with the quoting of the
// desktop entry format undone.
QString ExecProgram(const QString& exec);
// The Exec value that starts the program with the file names appended.
QString ExecLine(const QString& program);
// A key's value in the [Desktop Entry] group of an entry's text; empty when absent.
QString DesktopEntryValue(const QByteArray& entry, const QString& key);
