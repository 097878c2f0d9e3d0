#include "platform/system/msgbox.h"

#include <QMessageBox>

#include "base/identity.h"

namespace {

class TQtMessageBoxes : public TMessageBoxService {
 public:
  TMsgResult Show(const QString& caption, const QString& text, TMsgIcon icon,
                  TMsgButtons buttons, QWidget* owner) override {
    QMessageBox box(owner);
    box.setWindowTitle(caption);
    box.setText(text);
    switch (icon) {
      case TMsgIcon::Error: box.setIcon(QMessageBox::Critical); break;
      case TMsgIcon::Information: box.setIcon(QMessageBox::Information); break;
      case TMsgIcon::Question: box.setIcon(QMessageBox::Question); break;
      case TMsgIcon::Warning: box.setIcon(QMessageBox::Warning); break;
    }
    if (buttons == TMsgButtons::YesNo)
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    else
      box.setStandardButtons(QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    const int r = box.exec();
    if (buttons == TMsgButtons::YesNo) return r == QMessageBox::Yes ? TMsgResult::Yes : TMsgResult::No;
    return TMsgResult::Ok;
  }
};

TMessageBoxService* g_service = nullptr;

}  // namespace

TMessageBoxService& MessageBoxes() {
  static TQtMessageBoxes qt;
  return g_service ? *g_service : qt;
}

void SetMessageBoxes(TMessageBoxService* service) { g_service = service; }

QString BoundForDisplay(const QString& text, qsizetype maxLine) {
  const qsizetype keep = qMax<qsizetype>(2, maxLine - 1) / 2;
  QString out;
  qsizetype start = 0;
  while (start <= text.size()) {
    qsizetype end = text.indexOf(QLatin1Char('\n'), start);
    if (end < 0) end = text.size();
    const QStringView line = QStringView(text).mid(start, end - start);
    if (line.size() <= maxLine) {
      out += line;
    } else {
      out += line.left(keep);
      out += QChar(0x2026);
      out += line.right(keep);
    }
    if (end < text.size()) out += QLatin1Char('\n');
    start = end + 1;
  }
  return out;
}

void ShowErrorBox(const QString& caption, const QString& text) {
  MessageBoxes().Show(caption.isEmpty() ? QString::fromUtf8(Identity::FaultCaption) : caption,
                      BoundForDisplay(text), TMsgIcon::Error, TMsgButtons::Ok, nullptr);
}

void ShowInfoBox(const QString& caption, const QString& text) {
  MessageBoxes().Show(caption.isEmpty() ? QString::fromUtf8(Identity::AppTitle) : caption,
                      BoundForDisplay(text), TMsgIcon::Information, TMsgButtons::Ok, nullptr);
}
