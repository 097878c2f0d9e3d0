#pragma once
#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QToolButton;

// The window that shows an error no other code caught, with a request to
// send its text to the maintainer and a one-click copy of that text.
class TfrError : public QDialog {
  Q_OBJECT
 public:
  explicit TfrError(QWidget* parent = nullptr);

  // Fills caption, request text and description lines in their fixed order.
  void Fill(const QString& className, const QString& message, const QString& systemInfo,
            const QString& fileName);
  // Selects the whole description, copies it to the clipboard, clears the selection.
  void CopyToClipboard();

  QLabel* imSign;
  QLabel* lbTitle;
  QPlainTextEdit* mmDescr;
  QToolButton* sbCopy;
  QPushButton* btClose;
};
