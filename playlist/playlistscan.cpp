#include <QDirIterator>
#include <QFileInfo>

#include "playlist/playlist.h"

void TPlayList::AddFolder(const QString& folder) {
  QSet<QString> visited;
  ScanFolder(folder, visited);
  Refresh();
}

// Depth first in the order the directory listing gives, recursing into a
// subfolder at the point where it is met. Each real folder is entered once:
// a symbolic link back into the scanned tree would otherwise recurse without
// end, and one that leads to another part of it would add its files twice.
void TPlayList::ScanFolder(const QString& folder, QSet<QString>& visited) {
  QString dir = folder;
  if (!dir.endsWith(QLatin1Char('/'))) dir += QLatin1Char('/');
  // A real folder is known by its canonical path, in which every link is resolved.
  const QFileInfo self(dir);
  const QString real = self.isDir() ? self.canonicalFilePath() : QString();
  if (real.isEmpty() || visited.contains(real)) return;
  visited.insert(real);

  QDirIterator it(dir, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
  while (it.hasNext()) {
    it.next();
    const QFileInfo info = it.fileInfo();
    const QString name = info.fileName();
    if (info.isDir()) {
      // Dot folders ("." and ".." included) are never scanned.
      if (!name.startsWith(QLatin1Char('.'))) ScanFolder(dir + name + QLatin1Char('/'), visited);
    } else if (IsMediaFile(name)) {
      Append(dir + name);
    }
  }
}
