#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <climits>

#include "playlist/playlist.h"

// The .kpl file: per entry a path line, ">N " + title, one ">B " + time +
// " " + name line per bookmark and an empty line; locale encoding, CR LF.

namespace {

constexpr char kEndOfInput = 26;  // Ctrl-Z ends a text file
const QString kCrLf = QStringLiteral("\r\n");

bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= 32; }

// A line longer than the longest path the system takes names no file. A
// damaged or foreign file must not turn into entries and titles of megabytes
// that every window then lays out again and again.
constexpr qsizetype kMaxLineBytes = PATH_MAX;

}  // namespace

void TPlayList::LoadFromFile(const QString& path) {
  if (QFileInfo(path).isDir()) return;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return;
  const QByteArray data = file.readAll();
  file.close();
  ParseData(data);
  Refresh();
}

void TPlayList::LoadFromData(const QByteArray& data) {
  ParseData(data);
  Refresh();
}

void TPlayList::ParseData(const QByteArray& data) {
  const char* p = data.constData();
  const qsizetype n = data.size();
  qsizetype start = 0;
  bool attached = true;
  for (qsizetype i = 0; i < n; ++i) {
    const char c = p[i];
    if (c == kEndOfInput) {
      ApplyLine(data.mid(start, i - start), attached);
      return;
    }
    // CR, CR LF and a lone LF all end a line, so files edited with Unix
    // tools load the same as the ones we write.
    if (c == '\r' || c == '\n') {
      ApplyLine(QByteArray::fromRawData(p + start, i - start), attached);
      if (c == '\r' && i + 1 < n && p[i + 1] == '\n') ++i;
      start = i + 1;
    }
  }
  if (start < n) ApplyLine(data.mid(start), attached);
}

void TPlayList::ApplyLine(const QByteArray& raw, bool& attached) {
  qsizetype first = 0, last = raw.size();
  while (first < last && IsBlankOrControl(raw[first])) ++first;
  while (last > first && IsBlankOrControl(raw[last - 1])) --last;
  if (first == last) return;
  if (last - first > kMaxLineBytes) {
    // Neither a name nor a title: the title and bookmark lines after a
    // rejected name have no entry of their own.
    if (raw[first] != '>') attached = false;
    return;
  }
  const QString line = QString::fromLocal8Bit(raw.constData() + first, last - first);
  if (raw[first] != '>') {
    Append(line);
    attached = true;
    return;
  }
  if (items_.empty() || !attached) return;
  TPLMember& entry = items_.back();
  if (line.size() < 2) return;
  if (line[1] == QLatin1Char('N')) {
    entry.Title = line.mid(3);
  } else if (line[1] == QLatin1Char('B')) {
    entry.Bookmarks.push_back(TBookMark{line.mid(16), TextToTime(line.mid(3, 12))});
  }
}

QByteArray TPlayList::SaveToData() const {
  // Sized up front: growing a list of thousands of entries line by line
  // spent most of the time copying the text to ever larger buffers.
  qsizetype size = 0;
  for (const TPLMember& entry : items_) {
    size += entry.FileName.size() + entry.Title.size() + 9;
    for (const TBookMark& mark : entry.Bookmarks) size += mark.Name.size() + 20;
  }
  QString text;
  text.reserve(size);
  for (const TPLMember& entry : items_) {
    text.append(entry.FileName).append(kCrLf);
    text.append(QLatin1String(">N ")).append(entry.Title).append(kCrLf);
    for (const TBookMark& mark : entry.Bookmarks) {
      text.append(QLatin1String(">B ")).append(TimeToText(mark.Time)).append(QLatin1Char(' '));
      text.append(mark.Name).append(kCrLf);
    }
    text.append(kCrLf);
  }
  return text.toLocal8Bit();
}

bool TPlayList::SaveToFile(const QString& path) const {
  // A read-only list stays as it is: replacing it by rename would succeed in
  // a writable folder, but the user asked for the old file to be kept.
  const QFileInfo target(path);
  if (target.exists() && (!target.isFile() || !target.isWritable())) return false;
  // The new list goes to a temporary file beside the old one and replaces it
  // only when complete, so a full disk or a crash never leaves half a list.
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  const QByteArray data = SaveToData();
  if (file.write(data) != data.size()) {
    file.cancelWriting();
    return false;
  }
  return file.commit();
}
