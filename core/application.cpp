#include "core/application.h"

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
