#pragma once
#include <QDialog>
#include <QStringList>
#include <vector>

#include "playlist/subtitleparse.h"

class QFileDialog;
class QLabel;
class QPlainTextEdit;
class QProgressBar;

// Texts of the subtitle file dialog, in the "name|patterns|name|patterns" form.
inline constexpr const char* kSubtitlesDialogTitle = "Select subtitles file...";
inline constexpr const char* kSubtitlesFilter =
    "Subtitles (*.sub,*.srt,*.txt)|*.sub;*.srt;*.txt|Any File (*.*)|*.*";
inline constexpr const char* kSubtitlesLoadingCaption = "Subtitles loading...";
inline constexpr const char* kSubtitlesLoadError = "Error loading";

// "name|a;b|name2|c" as file-dialog name filters ("name (a b)", ...); the
// dialog is told to show the names only.
QStringList DialogNameFilters(const QString& pairs);

// The small progress window that loads a subtitle file, and the owner of the
// cues the playback timer looks up. Created once by the program, hidden
// except while a file loads.
//
// The main window uses it so:
//   closing a file:            ClearSubtitles()
//   after a successful render: if SubtitlesAutoLoad, AutoLoadSubtitles(path)
//   every timer tick:          if Loaded, GetSubtitle(SubtitlePosition(pos,
//                              offset), {SetMicroDVDFPS, MicroDVDFPS,
//                              file FrameRate}) into lbSubtitles and the info panel
//   command "Subtitles":       ChooseSubtitles(VideoDir) when nothing is loaded
class TfrSubtitles : public QDialog {
  Q_OBJECT
 public:
  explicit TfrSubtitles(QWidget* parent = nullptr);
  ~TfrSubtitles() override;

  // Drops every cue and the dump; Loaded := false. A load in progress (this
  // runs from events the load lets through) is abandoned.
  void ClearSubtitles();
  // Shows the window, reads the file in the format its name and first bytes
  // tell, hides the window. "Error loading" when it cannot be read.
  void LoadSubtitles(const QString& path);
  // Loads the first of <movie>.srt, .SRT, .sub, .SUB that exists.
  void AutoLoadSubtitles(const QString& moviePath);
  // Lets the user pick a file, starting in videoDir, and loads it.
  void ChooseSubtitles(const QString& videoDir);
  // Appends a cue; the first 100 lines of dump also go to mmInfo.
  void AddSubtitle(const QString& text, qint64 start, qint64 stop);
  // Text for the playback position (already offset); MicroDVD cues are
  // matched at the effective frame rate.
  QString GetSubtitle(qint64 position, const TMicroDVDRate& rate) const;
  // The format of the last file parsed, as lbFormat shows it.
  QString FormatName() const;

  std::vector<TSubtitle> Subtitles;  // in file order, never sorted
  bool Loaded = false;               // the last load produced at least one cue

  QProgressBar* ggProgress;
  QLabel* lbFormat;
  QPlainTextEdit* mmInfo;
  // Made on first use: the dialog brings a file-system model, a watcher
  // thread and collation tables that a player never choosing subtitles by
  // hand would carry for nothing.
  QFileDialog* odSubtitles();

 private:
  friend class TSubtitleLoad;
  int InfoLines() const;
  void CentreOnScreen();

  // Bumped by every clear; a load whose number is no longer current was
  // overtaken while it let events through and must not touch the list again.
  quint64 generation_ = 0;
  QFileDialog* openDialog_ = nullptr;
};
