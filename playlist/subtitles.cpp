#include "playlist/subtitles.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QScreen>
#include <QTextDocument>

#include "platform/system/msgbox.h"
#include "playlist/subtitletext.h"

namespace {

constexpr int kInfoLineLimit = 100;

}  // namespace

// One run of LoadSubtitles as the parser sees it. The gauge moves and the
// queued events run between lines; those events may clear the cues, start
// another load or even destroy the window, and this notices all three.
class TSubtitleLoad : public TSubtitleSink {
 public:
  explicit TSubtitleLoad(TfrSubtitles* window)
      : window_(window), generation_(window->generation_) {}

  void AddSubtitle(const QString& text, qint64 start, qint64 stop) override {
    window_->AddSubtitle(text, start, stop);
  }
  bool LineRead(int percent) override {
    if (percent != window_->ggProgress->value()) {
      window_->ggProgress->setValue(percent);
      QCoreApplication::processEvents();
    }
    return Current();
  }
  bool Current() const { return window_ && window_->generation_ == generation_; }

 private:
  QPointer<TfrSubtitles> window_;
  const quint64 generation_;
};

QStringList DialogNameFilters(const QString& pairs) {
  const QStringList parts = pairs.split(u'|');
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
    filters << parts[i] + QStringLiteral(" (") + QString(parts[i + 1]).replace(u';', u' ') + u')';
  return filters;
}

TfrSubtitles::TfrSubtitles(QWidget* parent) : QDialog(parent) {
  setObjectName("frSubtitles");
  setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint);
  setWindowTitle(QString::fromUtf8(kSubtitlesLoadingCaption));
  setFixedSize(317, 41);

  ggProgress = new QProgressBar(this);
  ggProgress->setGeometry(4, 4, 309, 17);
  ggProgress->setRange(0, 100);
  ggProgress->setValue(0);
  ggProgress->setTextVisible(false);

  lbFormat = new QLabel(this);
  lbFormat->setGeometry(4, 24, 153, 17);

  // Below the visible client area on purpose: the dump is there for whoever
  // enlarges the window while hunting a timing problem.
  mmInfo = new QPlainTextEdit(this);
  mmInfo->setGeometry(4, 44, 309, 277);
  mmInfo->setReadOnly(true);
  mmInfo->setLineWrapMode(QPlainTextEdit::NoWrap);
}

QFileDialog* TfrSubtitles::odSubtitles() {
  if (!openDialog_) {
    openDialog_ = new QFileDialog(this, QString::fromUtf8(kSubtitlesDialogTitle));
    openDialog_->setAcceptMode(QFileDialog::AcceptOpen);
    openDialog_->setFileMode(QFileDialog::ExistingFile);
    openDialog_->setOption(QFileDialog::HideNameFilterDetails);
    openDialog_->setNameFilters(DialogNameFilters(QString::fromUtf8(kSubtitlesFilter)));
  }
  return openDialog_;
}

TfrSubtitles::~TfrSubtitles() = default;

void TfrSubtitles::ClearSubtitles() {
  Subtitles.clear();
  Loaded = false;
  mmInfo->clear();
  ++generation_;
}

void TfrSubtitles::CentreOnScreen() {
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
}

void TfrSubtitles::LoadSubtitles(const QString& path) {
  const QPointer<TfrSubtitles> self(this);
  CentreOnScreen();
  show();
  ClearSubtitles();
  ggProgress->setValue(0);

  QFile file(path);
  // Fewer than 4 bytes cannot even be told apart, and a folder or a pipe is
  // not a file to read: all are reported as unreadable.
  if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly) || file.size() < 4) {
    ShowInfoBox(QString(), QString::fromUtf8(kSubtitlesLoadError));
    if (self) hide();
    return;
  }

  TSubtitleLoad load(this);
  TSubtitleFormat format = DetectSubtitleFormat(path, QString());
  if (format != TSubtitleFormat::None) {
    const TTextFormat text = DetectTextFormat(file);
    format = DetectSubtitleFormat(path, ReadTextProbe(file, text, 4));
    lbFormat->setText(SubtitleFormatName(format));
    TSubtitleReader reader(file, text);
    ParseSubtitles(format, reader, load);
  }
  file.close();
  if (!self) return;
  if (load.Current()) Loaded = !Subtitles.empty();
  hide();
}

void TfrSubtitles::AutoLoadSubtitles(const QString& moviePath) {
  QString base = moviePath;
  const qsizetype dot = base.lastIndexOf(u'.');
  if (dot > base.lastIndexOf(u'/')) base.truncate(dot);
  // The file system tells case apart; the common spellings of both
  // extensions are tried, SubRip first.
  for (const char* ext : {".srt", ".SRT", ".sub", ".SUB"}) {
    const QString candidate = base + QLatin1String(ext);
    if (QFileInfo(candidate).isFile()) {
      LoadSubtitles(candidate);
      return;
    }
  }
}

void TfrSubtitles::ChooseSubtitles(const QString& videoDir) {
  const QPointer<TfrSubtitles> self(this);
  QFileDialog* dialog = odSubtitles();
  dialog->setDirectory(videoDir);
  const int answer = dialog->exec();
  if (!self || answer != QDialog::Accepted) return;
  const QStringList files = dialog->selectedFiles();
  if (!files.isEmpty()) LoadSubtitles(files.first());
}

int TfrSubtitles::InfoLines() const {
  const QTextDocument* doc = mmInfo->document();
  return doc->isEmpty() ? 0 : doc->blockCount();
}

void TfrSubtitles::AddSubtitle(const QString& text, qint64 start, qint64 stop) {
  Subtitles.push_back({start, stop, text});
  if (InfoLines() >= kInfoLineLimit) return;
  QLocale locale = QLocale::system();
  locale.setNumberOptions(QLocale::OmitGroupSeparator);
  const QString dump = locale.toString(start / 1e7, 'f', 3) + u'-' +
                       locale.toString(stop / 1e7, 'f', 3) + QStringLiteral("\r\n") + text;
  mmInfo->appendPlainText(QString(dump).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

QString TfrSubtitles::FormatName() const { return lbFormat->text(); }

QString TfrSubtitles::GetSubtitle(qint64 position, const TMicroDVDRate& rate) const {
  if (FormatName() == SubtitleFormatName(TSubtitleFormat::MicroDVD))
    position = ScaleToMicroDVD(position, EffectiveMicroDVDRate(rate));
  return FindSubtitle(Subtitles, position);
}
