#include "commands/remoteline.h"

#include "commands/commandtable.h"

QList<QByteArray> TRemoteLineBuffer::Feed(QByteArrayView data) {
  QList<QByteArray> lines;
  while (!data.isEmpty()) {
    const qsizetype end = data.indexOf('\n');
    const QByteArrayView piece = end < 0 ? data : data.first(end);
    if (!dropping_) {
      if (partial_.size() + piece.size() > MaxLine) {
        partial_.clear();
        partial_.squeeze();
        dropping_ = true;
      } else {
        partial_.append(piece);
      }
    }
    if (end < 0) break;
    if (!dropping_) lines.append(partial_);
    partial_.clear();
    dropping_ = false;
    data = data.sliced(end + 1);
  }
  return lines;
}

QString TrimControls(const QString& text) {
  qsizetype first = 0, last = text.size();
  while (first < last && text.at(first).unicode() <= 32) ++first;
  while (last > first && text.at(last - 1).unicode() <= 32) --last;
  return text.sliced(first, last - first);
}

namespace {

// Everything after the first space; the whole text when there is none.
QString AfterFirstSpace(const QString& text) {
  const qsizetype space = text.indexOf(QLatin1Char(' '));
  return space < 0 ? text : text.sliced(space + 1);
}

}  // namespace

TRemotePress ParseRemoteLine(const QString& line) {
  TRemotePress press;
  QString rest = AfterFirstSpace(line);
  press.Repeat = !rest.startsWith(QLatin1String("00"));
  rest = AfterFirstSpace(rest);
  const qsizetype space = rest.indexOf(QLatin1Char(' '));
  press.Button = space < 0 ? rest : rest.first(space);
  return press;
}

bool CommandRepeats(int id) { return id == cmVolumeUp || id == cmVolumeDown; }
