#include <sys/stat.h>

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

#include "playlist/playlist.h"

void TPlayList::AddFolder(const QString& folder) {
  std::vector<std::pair<quint64, quint64>> visited;
  ScanFolder(folder, visited);
  Refresh();
}

// Depth first in the order the directory listing gives, recursing into a
// subfolder at the point where it is met. Each real folder is entered once:
// a symbolic link back into the scanned tree would otherwise recurse without
// end, and one that leads to another part of it would add its files twice.
void TPlayList::ScanFolder(const QString& folder,
                           std::vector<std::pair<quint64, quint64>>& visited) {
  QString dir = folder;
  if (!dir.endsWith(QLatin1Char('/'))) dir += QLatin1Char('/');
  struct stat st {};
  if (::stat(QFile::encodeName(dir).constData(), &st) != 0 || !S_ISDIR(st.st_mode)) return;
  const std::pair<quint64, quint64> id{static_cast<quint64>(st.st_dev),
                                       static_cast<quint64>(st.st_ino)};
  if (std::find(visited.begin(), visited.end(), id) != visited.end()) return;
  visited.push_back(id);

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
