#pragma once
// The about window: what the program is, what it runs on, its licence and
// where problems go.
#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;

class TfrAbout : public QDialog {
  Q_OBJECT
 public:
  // In the language in use; a language switch while it is open relabels it.
  explicit TfrAbout(QWidget* parent = nullptr);
  // The whole text as shown, line by line.
  QString Text() const;

  QLabel* imLogo;
  QLabel* lbText;
  QPushButton* btClose;

 private:
  void Relabel();
};
