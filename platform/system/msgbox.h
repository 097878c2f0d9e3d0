#pragma once
#include <QString>

class QWidget;

// Modal boxes go through one replaceable service so tests can answer them.
enum class TMsgIcon { Error, Information, Question, Warning };
enum class TMsgButtons { Ok, YesNo };
enum class TMsgResult { Ok, Yes, No };

class TMessageBoxService {
 public:
  virtual ~TMessageBoxService() = default;
  // Topmost and modal for the whole application; owner may be null.
  virtual TMsgResult Show(const QString& caption, const QString& text, TMsgIcon icon,
                          TMsgButtons buttons, QWidget* owner) = 0;
};

// The service in use; a Qt implementation unless a test installed another.
TMessageBoxService& MessageBoxes();
// Installs a service (nullptr restores the Qt one). The caller keeps ownership.
void SetMessageBoxes(TMessageBoxService* service);

// Each line of a text made from file contents, cut to at most `maxLine`
// characters by taking out its middle: a box, panel or caption must never
// lay out a megabyte that a damaged file passed off as a name.
QString BoundForDisplay(const QString& text, qsizetype maxLine = 512);

// An empty caption becomes the program's fault or plain caption; the text is
// bounded for display.
void ShowErrorBox(const QString& caption, const QString& text);
void ShowInfoBox(const QString& caption, const QString& text);
