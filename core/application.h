#pragma once
#include <QApplication>
#include <exception>
#include <functional>

#include "platform/system/exceptions.h"

// The application object. Every event handler runs inside notify(), so this
// is the one place where an error that no other code caught ends up; it goes
// to the installed handler and never crosses back into Qt.
class TKelvaraApplication : public QApplication {
 public:
  using THandler = std::function<void(const Exception&)>;
  TKelvaraApplication(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;
  // Routes an error to the installed handler (a plain message box when none is).
  static void HandleException(const Exception& e);
  static void SetExceptionHandler(THandler handler);
  // Runs `work` under the same handling as an event (start-up runs so);
  // false when an error ended it early.
  template <class F>
  static bool Guarded(F&& work);
  // Ends every box and dialog that holds a loop of its own, innermost first,
  // so that a shut-down asked for meanwhile is not held up by them.
  static void CloseModalWindows();
};

template <class F>
bool TKelvaraApplication::Guarded(F&& work) {
  try {
    work();
    return true;
  } catch (const Exception& e) {
    HandleException(e);
  } catch (const std::exception& e) {
    HandleException(Exception(QString::fromLocal8Bit(e.what())));
  } catch (...) {
    HandleException(Exception(QStringLiteral("Unknown error")));
  }
  return false;
}
