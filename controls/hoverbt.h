#pragma once
// The skinned button: draws one cell of the skin, a row per visual state, and
// sends its command when a click ends on it.
#include <QImage>
#include <QWidget>
#include <functional>

// Where a clicked button's command goes (the main window posts it).
using TCommandSink = std::function<void(int command)>;

// The skin row of a button's state.
int ButtonStateRow(bool enabled, bool down, bool pressed, bool hover);

class THoverButton : public QWidget {
  Q_OBJECT
 public:
  explicit THoverButton(QWidget* parent = nullptr);

  // Set by the creator.
  int SkinX = 0;
  const QImage* Skin = nullptr;
  int Command = 0;
  TCommandSink OnCommand;

  bool Hover() const { return hover_; }
  bool Enabled() const { return enabled_; }
  bool Pressed() const { return pressed_; }
  bool Down() const { return down_; }

  // Each stores and repaints only when the value changes.
  void SetDown(bool down);
  void SetEnabled(bool enabled);
  void SetHover(bool hover);
  void SetPressed(bool pressed);

  int StateRow() const { return ButtonStateRow(enabled_, down_, pressed_, hover_); }

 protected:
  void paintEvent(QPaintEvent*) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void leaveEvent(QEvent*) override;

 private:
  void Leave();
  bool SetAndRepaint(bool& field, bool value);

  bool hover_ = false, enabled_ = true, pressed_ = false, down_ = false;
};
