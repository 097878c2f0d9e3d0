#include "playlist/report.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QLocale>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {

QString Left(const QString& s, int width) { return s.left(width).leftJustified(width, QLatin1Char(' ')); }
QString Right(const QString& s, int width) { return s.left(width).rightJustified(width, QLatin1Char(' ')); }

// "%3.2f Mb" with the locale's decimal separator and no grouping.
QString SizeText(qint64 size) {
  QLocale locale = QLocale::system();
  locale.setNumberOptions(QLocale::OmitGroupSeparator);
  return locale.toString(double(size) / 1048576.0, 'f', 2) + QStringLiteral(" Mb");
}

const char* const kCaption = "Report";
const char* const kBuildButton = "Создать таблицу";

}  // namespace

QString ReportLine(int index, const QString& fileName, qint64 size, const TReportInfo& info) {
  return QStringLiteral("%1.").arg(index + 1, 3) + Left(QFileInfo(fileName).fileName(), 40) +
         QLatin1Char(' ') + Right(SizeText(size), 11) + QStringLiteral(", ") +
         Right(info.AudioDuration, 19) + QStringLiteral(", ") + Left(info.VideoSummary, 22) +
         QStringLiteral(", ") + Left(info.AudioSummary, 10);
}

qint64 ReportFileSize(const QString& fileName) {
  QFile f(fileName);
  return f.open(QIODevice::ReadOnly) ? f.size() : 0;
}

TfrReport::TfrReport(TReportSource source, QWidget* parent) : QDialog(parent), source_(std::move(source)) {
  setObjectName("frReport");
  setWindowTitle(QString::fromUtf8(kCaption));
  resize(434, 311);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  pnTop = new QWidget(this);
  pnTop->setFixedHeight(33);
  btReport = new QPushButton(QString::fromUtf8(kBuildButton), pnTop);
  btReport->setGeometry(4, 4, 117, 25);
  // A long list takes a while to inspect; the bar shows how far it got.
  pbProgress = new QProgressBar(pnTop);
  pbProgress->setGeometry(127, 8, 200, 17);
  pbProgress->setTextVisible(false);
  pbProgress->hide();
  layout->addWidget(pnTop);
  mmReport = new QPlainTextEdit(this);
  mmReport->setObjectName("mmReport");
  QFont font(QStringLiteral("Courier New"));
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  font.setPixelSize(11);
  mmReport->setFont(font);
  mmReport->setLineWrapMode(QPlainTextEdit::NoWrap);
  mmReport->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  mmReport->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  layout->addWidget(mmReport);
  connect(btReport, &QPushButton::clicked, this, &TfrReport::BuildReport);
  if (QScreen* screen = QApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
}

void TfrReport::BuildReport() {
  source_.Stop();
  mmReport->clear();
  const int count = source_.Count();
  pbProgress->setRange(0, count);
  pbProgress->setValue(0);
  pbProgress->setVisible(count > 0);
  TReportInfo info;  // one record for every entry, as a failed inspection leaves it
  for (int i = 0; i < count; ++i) {
    const QString name = source_.FileName(i);
    if (!source_.Inspect(name, info)) {
      info.VideoSummary = QString::fromLatin1(ReportNoVideo);
      info.AudioSummary = QString::fromLatin1(ReportNoAudio);
    }
    mmReport->appendPlainText(ReportLine(i, name, ReportFileSize(name), info));
    // Painted at once rather than through the event loop: a command that
    // arrives meanwhile waits for the table instead of running inside it.
    pbProgress->setValue(i + 1);
    pbProgress->repaint();
  }
  pbProgress->hide();
  source_.RestorePlayState();
}
