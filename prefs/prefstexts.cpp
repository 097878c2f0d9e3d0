#include "prefs/prefstexts.h"

#include <QImageReader>
#include <QLocale>
#include <cstdlib>

#include "controls/skinlayout.h"
#include "platform/system/displaymode.h"

QString SpeedText(int position) {
  return QStringLiteral("x") + QLocale::system().toString(position / 10.0, 'f', 1);
}

QString OffsetText(const QString& prefix, int seconds) {
  const QString sign = seconds < 0 ? QStringLiteral("-") : seconds > 0 ? QStringLiteral("+") : QStringLiteral(" ");
  const int a = std::abs(seconds);
  return prefix + QStringLiteral(": %1%2:%3").arg(sign).arg(a / 60).arg(a % 60, 2, 10, QLatin1Char('0'));
}

QString DisplayModeCaption(int width, int height, int bits) {
  return QStringLiteral("%1 x %2, %3 Bits").arg(width).arg(height).arg(bits);
}

std::vector<TModeItem> DisplayModeItems(const std::vector<TDisplayMode>& modes, int screenBits,
                                        int chosenWidth, int chosenHeight, int chosenBits) {
  std::vector<TModeItem> items;
  for (const TDisplayMode& m : modes) {
    if (static_cast<int>(items.size()) >= MaxDisplayModes) break;
    TModeItem item;
    item.Caption = DisplayModeCaption(m.Width, m.Height, m.Bits);
    item.Width = m.Width;
    item.Height = m.Height;
    item.Bits = m.Bits;
    item.Enabled = m.Bits == screenBits;
    item.Checked = m.Width == chosenWidth && m.Height == chosenHeight && m.Bits == chosenBits;
    items.push_back(item);
  }
  return items;
}

std::optional<quint16> ParseWIRCport(const QString& text) {
  bool ok = false;
  const uint v = text.trimmed().toUInt(&ok, 10);
  if (!ok || v > 65535) return std::nullopt;
  return static_cast<quint16>(v);
}

QString SkinFileProblem(const QString& path) {
  QImageReader reader(path);
  const QImage image = reader.read();
  if (image.isNull())
    return QStringLiteral("Cannot load %1 as a picture: %2").arg(path, reader.errorString());
  const QSize want(SkinLayout::Width, SkinLayout::Height);
  if (image.size() != want)
    return QStringLiteral("The skin %1 is %2 x %3 pixels; a skin is %4 x %5")
        .arg(path)
        .arg(image.width())
        .arg(image.height())
        .arg(want.width())
        .arg(want.height());
  return QString();
}
