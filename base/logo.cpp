#include "base/logo.h"

#include <QFile>

QByteArray LogoJpeg() {
  QFile file(QStringLiteral(":/kelvara/logo.jpg"));
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
