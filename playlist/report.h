#pragma once
// The playlist report: one fixed-width line per entry (number, name, size,
// duration, video and audio summary), built into a window the user can read
// and copy from.
#include <QDialog>
#include <QString>
#include <QtGlobal>
#include <functional>

class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QWidget;

// What the report shows of one inspected file.
struct TReportInfo {
  QString VideoSummary;
  QString AudioSummary;
  QString AudioDuration;
};

// The texts the report writes for a file that could not be inspected.
inline constexpr const char* ReportNoVideo = "---x---x--";
inline constexpr const char* ReportNoAudio = "---";

// One line of the table for entry `index` (0-based). `size` is in bytes and
// may exceed 4 GiB.
QString ReportLine(int index, const QString& fileName, qint64 size, const TReportInfo& info);

// The size of a file opened for reading, 0 when it cannot be opened.
qint64 ReportFileSize(const QString& fileName);

// What the report needs of the rest of the player.
struct TReportSource {
  std::function<int()> Count;                    // playlist entries
  std::function<QString(int)> FileName;          // entry i's file
  std::function<void()> Stop;                    // the engine's stop
  // Fills the record for a file; false when the inspection failed.
  std::function<bool(const QString&, TReportInfo&)> Inspect;
  std::function<void()> RestorePlayState;
};

class TfrReport : public QDialog {
  Q_OBJECT
 public:
  explicit TfrReport(TReportSource source, QWidget* parent = nullptr);

  // Builds the table (the button's action).
  void BuildReport();

  QWidget* pnTop;
  QPushButton* btReport;
  QProgressBar* pbProgress;
  QPlainTextEdit* mmReport;

 private:
  TReportSource source_;
};
