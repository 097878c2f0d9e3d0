#include "core/about.h"

#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QtGlobal>

#include "base/identity.h"
#include "platform/media/gstversion.h"
#include "platform/system/jpegimage.h"

namespace {
const TAboutTexts kTexts[] = {
    {"О программе", "Работает на Qt %1 и %2", "Лицензия: %1",
     "Об ошибках и пожеланиях пишите по адресу %1", "Закрыть"},
    {"About", "Runs on Qt %1 and %2", "Licence: %1", "Please report problems and wishes to %1", "Close"},
};
}  // namespace

const TAboutTexts& AboutTexts(bool english) { return kTexts[english ? 1 : 0]; }

TfrAbout::TfrAbout(bool english, QWidget* parent) : QDialog(parent) {
  const TAboutTexts& t = AboutTexts(english);
  setObjectName("frAbout");
  setWindowTitle(QString::fromUtf8(t.Caption));
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
  const QString address = QString::fromLatin1(Identity::ReportAddress);
  lbText->setText(QString::fromLatin1(Identity::AppTitle) + "\n" +
                  QString::fromUtf8(t.RunsOn).arg(QString::fromLatin1(qVersion()), MediaFrameworkVersion()) + "\n" +
                  QString::fromUtf8(t.Licence).arg(QString::fromLatin1(Identity::Licence)) + "\n" +
                  QString::fromUtf8(t.Report).arg(address));
  btClose = new QPushButton(QString::fromUtf8(t.Close), this);
  btClose->setGeometry(277, 117, 75, 25);
  btClose->setDefault(true);
  connect(btClose, &QPushButton::clicked, this, &QDialog::accept);
}

QString TfrAbout::Text() const { return lbText->text(); }
