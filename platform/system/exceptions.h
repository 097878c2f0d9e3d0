#pragma once
#include <QString>
#include <stdexcept>

// The one exception family of the program. Only the "raise" paths throw it;
// the application-wide handler catches it and shows the error window, whose
// report names the class by ClassName().
class Exception : public std::runtime_error {
 public:
  explicit Exception(const QString& message)
      : std::runtime_error(message.toStdString()), Message(message) {}
  virtual QString ClassName() const { return QStringLiteral("Exception"); }
  QString Message;
};

// A failed platform call that the failure policy turned into an error.
class EPlatformError : public Exception {
 public:
  using Exception::Exception;
  QString ClassName() const override { return QStringLiteral("EPlatformError"); }
};
