#include "core/application.h"

#include <QDialog>

#include "platform/system/msgbox.h"

namespace {
TKelvaraApplication::THandler& Handler() {
  static TKelvaraApplication::THandler handler;
  return handler;
}
}  // namespace

TKelvaraApplication::TKelvaraApplication(int& argc, char** argv) : QApplication(argc, argv) {}

void TKelvaraApplication::SetExceptionHandler(THandler handler) { Handler() = std::move(handler); }

void TKelvaraApplication::HandleException(const Exception& e) {
  try {
    if (Handler())
      Handler()(e);
    else
      ShowErrorBox(QString(), e.Message);
  } catch (...) {
    // The handler itself failed; there is nobody left to tell but the user.
    ShowErrorBox(QString(), e.Message);
  }
}

bool TKelvaraApplication::notify(QObject* receiver, QEvent* event) {
  bool result = false;
  Guarded([&] { result = QApplication::notify(receiver, event); });
  return result;
}

void TKelvaraApplication::CloseModalWindows() {
  // Each closed box lets the next one down the stack become the active one;
  // the bound keeps a box that refuses to go from holding the loop here.
  for (int n = 0; n < 64; ++n) {
    QWidget* w = QApplication::activeModalWidget();
    if (!w) return;
    if (auto* dialog = qobject_cast<QDialog*>(w))
      dialog->done(QDialog::Rejected);
    else if (!w->close())
      w->hide();
  }
}
