#pragma once
// The about window: what the program is, what it runs on, its licence and
// where problems go.
#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;

// The window's texts in one language; the language switch picks the table.
struct TAboutTexts {
  const char* Caption;
  const char* RunsOn;     // "%1" Qt version, "%2" media framework version
  const char* Licence;    // "%1" the licence's name
  const char* Report;     // "%1" the address
  const char* Close;
};
// Russian first, then English.
const TAboutTexts& AboutTexts(bool english);

class TfrAbout : public QDialog {
  Q_OBJECT
 public:
  explicit TfrAbout(bool english, QWidget* parent = nullptr);
  // The whole text as shown, line by line.
  QString Text() const;

  QLabel* imLogo;
  QLabel* lbText;
  QPushButton* btClose;
};
