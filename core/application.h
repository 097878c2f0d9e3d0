#pragma once
#include <QApplication>
#include <functional>

class Exception;

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
};
