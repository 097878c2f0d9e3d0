#include "playlist/error.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QToolButton>

#include "base/identity.h"
#include "lang/langs.h"

TfrError::TfrError(QWidget* parent) : QDialog(parent) {
  setObjectName("frError");
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
  setFixedSize(413, 241);

  imSign = new QLabel(this);
  imSign->setGeometry(8, 20, 37, 37);
  imSign->setAlignment(Qt::AlignCenter);
  imSign->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxCritical).pixmap(32, 32));

  lbTitle = new QLabel(this);
  lbTitle->setGeometry(56, 8, 353, 69);
  lbTitle->setWordWrap(true);
  lbTitle->setAlignment(Qt::AlignLeft | Qt::AlignTop);

  mmDescr = new QPlainTextEdit(this);
  mmDescr->setGeometry(4, 84, 405, 121);
  mmDescr->setReadOnly(true);
  mmDescr->setLineWrapMode(QPlainTextEdit::NoWrap);
  mmDescr->setPlainText("Description");

  sbCopy = new QToolButton(this);
  sbCopy->setGeometry(4, 212, 113, 25);
  sbCopy->setAutoRaise(true);
  sbCopy->setText("Copy to clipboard");
  connect(sbCopy, &QToolButton::clicked, this, &TfrError::CopyToClipboard);

  btClose = new QPushButton("Close", this);
  btClose->setGeometry(332, 212, 75, 25);
  btClose->setDefault(true);
  connect(btClose, &QPushButton::clicked, this, &QDialog::accept);
}

void TfrError::Fill(const QString& className, const QString& message, const QString& systemInfo,
                    const QString& fileName) {
  setWindowTitle(RunTimeTexts().sApplicationError);
  lbTitle->setText(RunTimeTexts().sErrorAdvice);
  mmDescr->clear();
  QStringList lines;
  lines << QString::fromUtf8(Identity::AppTitle) << "Class:" + className << message;
  // The system description holds CR LF line breaks of its own.
  for (const QString& l : QString(systemInfo).replace("\r\n", "\n").split('\n')) lines << l;
  lines << "Filename: " + fileName;
  mmDescr->setPlainText(lines.join('\n'));
  if (QScreen* s = QGuiApplication::primaryScreen())
    move(s->geometry().center() - QPoint(width() / 2, height() / 2));
}

void TfrError::CopyToClipboard() {
  mmDescr->selectAll();
  QApplication::clipboard()->setText(mmDescr->toPlainText());
  QTextCursor c = mmDescr->textCursor();
  c.clearSelection();
  mmDescr->setTextCursor(c);
}
