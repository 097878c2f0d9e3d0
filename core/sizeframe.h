#pragma once
#include <QObject>
#include <Qt>

class QWidget;

// Gives a frameless top-level window the sizing edges a thick frame would
// have: the cursor changes near an edge and a press there hands the resize
// to the window manager. Off in full screen, where there is nothing to size.
class TSizeFrame : public QObject {
 public:
  explicit TSizeFrame(QWidget* window, int border = 4);
  void SetEnabled(bool on);
  bool Enabled() const { return enabled_; }
  // The edges a point in window coordinates touches (none when disabled).
  Qt::Edges EdgesAt(const QPoint& pos) const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Watch(QObject* o);
  QWidget* window_;
  int border_;
  bool enabled_ = true;
  bool cursorSet_ = false;
};
