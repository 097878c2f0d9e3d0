#pragma once
// The seek bar and the volume bar: self-drawn track bars that report a
// user's change through one callback and know nothing about the engine.
#include <QImage>
#include <QWidget>
#include <array>
#include <functional>

#include "controls/seekscale.h"

using TChangeEvent = std::function<void()>;

// A left-button press sets the value under the pointer and the drag keeps
// setting it until the release; the press gives the bar the mouse, so the
// drag goes on wherever the pointer goes.
class TDragTrackBar : public QWidget {
 public:
  bool Dragging() const { return dragging_; }
  // The bar has the mouse from the press on, before its change fires, so
  // an owner that acts only on the user's changes acts on the click too.
  bool HoldsCapture() const { return captured_; }

 protected:
  using QWidget::QWidget;
  virtual void TrackTo(int x) = 0;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;

 private:
  bool dragging_ = false;
  bool captured_ = false;
};

class TTimeTrackBar : public TDragTrackBar {
  Q_OBJECT
 public:
  static constexpr int MarkCount = 100;

  explicit TTimeTrackBar(QWidget* parent = nullptr);

  const QImage* Skin = nullptr;
  TChangeEvent OnChange;  // fired when the user moves the position with the mouse

  qint64 Position() const { return position_; }
  qint64 Duration() const { return duration_; }
  int ThumbX() const { return thumbX_; }
  int Margin() const { return margin_; }
  bool ShowMarks() const { return showMarks_; }

  // Moves the pointer; repaints only when it lands on another pixel.
  void ShowPosition(qint64 t);
  void SetDuration(qint64 t);
  void SetBookmark(int index, qint64 t);
  qint64 GetBookmark(int index) const;
  void ClearBookmarks();
  void SetShowMarks(bool show);

  TTrack Track() const { return {0, width(), margin_}; }

 protected:
  void paintEvent(QPaintEvent*) override;
  void TrackTo(int x) override;

 private:
  void PaintScale(QPainter& p, const TTrack& track);

  qint64 position_ = 0;
  qint64 duration_ = MediaSecond;
  int thumbX_ = -1;
  int margin_ = 18;
  std::array<qint64, MarkCount> marks_{};
  bool showMarks_ = true;
};

// The thumb x of a volume bar value; 0 when there is no range.
int VolumeThumbX(int position, int max, int width, int margin);
// The value under a pointer x, clamped to 0 .. max; 0 without a usable track.
int VolumeFromX(int x, int max, int width, int margin);

class TVolumeTrackBar : public TDragTrackBar {
  Q_OBJECT
 public:
  explicit TVolumeTrackBar(QWidget* parent = nullptr);

  const QImage* Skin = nullptr;
  TChangeEvent OnChange;

  int Position() const { return position_; }
  int Max() const { return max_; }
  int ThumbX() const { return thumbX_; }

  // Clamps to 0 .. Max and always reports the change, also when the value
  // stays the same (the volume is applied again).
  void SetVolume(int v);

 protected:
  void paintEvent(QPaintEvent*) override;
  void TrackTo(int x) override;

 private:
  int position_ = 0;
  int max_ = 100;
  int thumbX_ = -1;
  int margin_ = 5;
};
