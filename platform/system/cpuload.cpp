#include "platform/system/cpuload.h"

#include <QFile>
#include <algorithm>
#include <charconv>
#include <limits>

namespace {

bool ParseCounter(QByteArrayView field, quint64& value) {
  const char* first = field.data();
  const char* last = first + field.size();
  const auto [end, ec] = std::from_chars(first, last, value);
  return ec == std::errc() && end == last;
}

// Splits on blanks and tabs, dropping empty fields.
QList<QByteArrayView> Fields(QByteArrayView line) {
  QList<QByteArrayView> out;
  qsizetype i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    const qsizetype start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
    if (i > start) out.append(line.sliced(start, i - start));
  }
  return out;
}

}  // namespace

std::optional<TCpuTimes> ParseCpuTimes(QByteArrayView procStat, int processor) {
  if (processor < 0) return std::nullopt;
  const QByteArray label = "cpu" + QByteArray::number(processor);
  qsizetype pos = 0;
  while (pos < procStat.size()) {
    qsizetype end = procStat.indexOf('\n', pos);
    if (end < 0) end = procStat.size();
    const QList<QByteArrayView> f = Fields(procStat.sliced(pos, end - pos));
    pos = end + 1;
    if (f.isEmpty() || f[0] != label) continue;
    // user nice system idle [iowait irq softirq steal [guest guest_nice]]:
    // old kernels stop after idle; guest time is already inside user and nice.
    if (f.size() < 5) return std::nullopt;
    quint64 v[8] = {};
    const qsizetype n = std::min<qsizetype>(f.size() - 1, 8);
    for (qsizetype i = 0; i < n; ++i)
      if (!ParseCounter(f[i + 1], v[i])) return std::nullopt;
    TCpuTimes t;
    for (quint64 x : v) {
      if (x > std::numeric_limits<quint64>::max() - t.total) return std::nullopt;
      t.total += x;
    }
    t.busy = t.total - v[3] - v[4];
    return t;
  }
  return std::nullopt;
}

int BusyPercent(const TCpuTimes& from, const TCpuTimes& to) {
  if (to.total <= from.total || to.busy < from.busy) return 0;
  const quint64 total = to.total - from.total;
  const quint64 busy = to.busy - from.busy;
  if (busy >= total) return 100;
  // Wide arithmetic so that no counter span can overflow the scaling.
  using Wide = unsigned __int128;
  const Wide scaled = Wide(busy) * 100;
  Wide q = scaled / total;
  const Wide r = scaled % total;
  if (2 * r > total || (2 * r == total && (q & 1))) ++q;
  return int(q);
}

TProcStatCpuLoad::TProcStatCpuLoad(QString path, int processor)
    : path_(std::move(path)), processor_(processor) {}

std::optional<TCpuTimes> TProcStatCpuLoad::Read() const {
  QFile f(path_);
  if (!f.open(QIODevice::ReadOnly)) return std::nullopt;
  // /proc files report size 0, so read to the end; a few kilobytes at most
  // even on large machines, and we stop well before anything unreasonable.
  // Read in small pieces: asking for the bound at once made a buffer of that
  // size three times a second, and taught the allocator to keep such blocks.
  QByteArray text;
  char piece[16384];
  while (text.size() < (4 << 20)) {
    const qint64 n = f.read(piece, sizeof piece);
    if (n <= 0) break;
    text.append(piece, n);
  }
  return ParseCpuTimes(text, processor_);
}

bool TProcStatCpuLoad::Open() {
  const std::optional<TCpuTimes> t = Read();
  open_ = t.has_value();
  if (open_) last_ = *t;
  return open_;
}

int TProcStatCpuLoad::Sample() {
  if (!open_) return 0;
  const std::optional<TCpuTimes> t = Read();
  if (!t) return 0;
  const int percent = BusyPercent(last_, *t);
  last_ = *t;
  return percent;
}

bool TProcStatCpuLoad::Close() {
  open_ = false;
  return true;
}
