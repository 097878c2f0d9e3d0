// Arbitrary bytes as a .kpl file through the playlist loader: it must end,
// keep its rows consistent, and what it saves must read back to the same
// entries and bookmark counts.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <cstddef>
#include <cstdint>
#include <unistd.h>

#include "playlist/playlist.h"

namespace {

// Memory-backed when the system has one: a disk write per input would make
// the file system, not the loader, what the fuzzer spends its time on.
const QString& ScratchFile() {
  static const QString folder =
      QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
  static const QString path = folder + QStringLiteral("/fuzz_kpl_%1.kpl").arg(::getpid());
  static const struct TRemoveAtExit {
    ~TRemoveAtExit() { QFile::remove(path); }
  } removeAtExit;
  return path;
}

void Check(bool ok) {
  if (!ok) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  {
    QFile f(ScratchFile());
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
    f.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
  }
  TPlayList list;
  list.LoadFromFile(ScratchFile());

  int rows = 0;
  for (int i = 0; i < list.Count(); ++i) {
    const TPLMember& m = list.Item(i);
    Check(!m.FileName.isEmpty() && m.FileName[0] != QLatin1Char('>'));
    rows += 1 + static_cast<int>(m.Bookmarks.size());
  }
  Check(list.RowCount() == rows);
  for (int row = 0; row < rows; row += 1 + rows / 64) {
    const TPlayListRow e = list.RowToEntry(row);
    Check(e.Item >= 0 && e.Item < list.Count());
    bool can = false;
    list.SelectCell(0, row, can);
    Check(list.SelectionRow() == row);
  }

  TPlayList copy;
  copy.LoadFromData(list.SaveToData());
  Check(copy.Count() == list.Count());
  for (int i = 0; i < list.Count(); ++i) {
    Check(copy.Item(i).FileName == list.Item(i).FileName);
    Check(copy.Item(i).Bookmarks.size() == list.Item(i).Bookmarks.size());
  }
  return 0;
}
