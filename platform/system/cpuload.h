#pragma once
#include <QByteArrayView>
#include <QString>
#include <optional>

// Jiffies of one processor as /proc/stat counts them: busy is everything but
// idle and I/O wait.
struct TCpuTimes {
  quint64 busy = 0;
  quint64 total = 0;
};

// The "cpuN" line of a /proc/stat text; nothing when the line is missing or
// malformed.
std::optional<TCpuTimes> ParseCpuTimes(QByteArrayView procStat, int processor = 0);

// Percent of the time between two samples that the processor was busy,
// 0..100, rounded half to even; 0 when no time passed or a counter went back.
int BusyPercent(const TCpuTimes& from, const TCpuTimes& to);

// A source of processor load samples. The load indicator polls it on every
// timer tick, so sampling must be cheap and must never block.
class TCpuLoadSource {
 public:
  virtual ~TCpuLoadSource() = default;
  // Takes the first sample; false when sampling is not possible here.
  virtual bool Open() = 0;
  // Load since the previous sample, 0..100; 0 when the sample fails.
  virtual int Sample() = 0;
  // Ends sampling; false when it could not be ended cleanly.
  virtual bool Close() = 0;
};

// Processor `processor` from a /proc/stat-format file.
class TProcStatCpuLoad : public TCpuLoadSource {
 public:
  explicit TProcStatCpuLoad(QString path = QStringLiteral("/proc/stat"), int processor = 0);
  bool Open() override;
  int Sample() override;
  bool Close() override;

 private:
  std::optional<TCpuTimes> Read() const;

  QString path_;
  int processor_;
  bool open_ = false;
  TCpuTimes last_;
};
