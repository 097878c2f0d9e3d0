#include "core/application.h"

#include <exception>

#include "platform/system/exceptions.h"
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
  try {
    return QApplication::notify(receiver, event);
  } catch (const Exception& e) {
    HandleException(e);
  } catch (const std::exception& e) {
    HandleException(Exception(QString::fromLocal8Bit(e.what())));
  } catch (...) {
    HandleException(Exception(QStringLiteral("Unknown error")));
  }
  return false;
}
