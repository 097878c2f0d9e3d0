#pragma once
#include <QDialog>

// A dialog that closes when Esc is released, whichever of its controls has
// the focus: it sees their keys before they do.
class TEscDialog : public QDialog {
 public:
  using QDialog::QDialog;

 protected:
  void showEvent(QShowEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void keyReleaseEvent(QKeyEvent* e) override;
};
