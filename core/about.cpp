#include "core/about.h"

#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QtGlobal>

#include "base/identity.h"
#include "lang/langs.h"
#include "platform/media/gstversion.h"
#include "platform/system/jpegimage.h"

TfrAbout::TfrAbout(QWidget* parent) : QDialog(parent) {
  setObjectName("frAbout");
  setFixedSize(360, 150);
  setStyleSheet("TfrAbout { background: black; } QLabel { color: white; }");
  imLogo = new QLabel(this);
  imLogo->setGeometry(8, 8, 64, 64);
  imLogo->setPixmap(QPixmap::fromImage(LoadLogoImage().scaled(64, 64, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
  lbText = new QLabel(this);
  lbText->setGeometry(80, 8, 272, 100);
  lbText->setWordWrap(true);
  lbText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  lbText->setTextInteractionFlags(Qt::TextSelectableByMouse);
  btClose = new QPushButton(this);
  btClose->setGeometry(277, 117, 75, 25);
  btClose->setDefault(true);
  connect(btClose, &QPushButton::clicked, this, &QDialog::accept);
  Relabel();
  OnLanguageChange(this, [this] { Relabel(); });
}

void TfrAbout::Relabel() {
  const TAboutTexts& t = AboutTexts();
  setWindowTitle(QString::fromUtf8(t.Caption));
  const QString address = QString::fromLatin1(Identity::ReportAddress);
  lbText->setText(QString::fromLatin1(Identity::AppTitle) + "\n" +
                  QString::fromUtf8(t.RunsOn).arg(QString::fromLatin1(qVersion()), MediaFrameworkVersion()) + "\n" +
                  QString::fromUtf8(t.Licence).arg(QString::fromLatin1(Identity::Licence)) + "\n" +
                  QString::fromUtf8(t.Report).arg(address));
  btClose->setText(QString::fromUtf8(t.Close));
}

QString TfrAbout::Text() const { return lbText->text(); }
