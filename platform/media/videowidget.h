#pragma once
// The widget the picture appears in. With a window system it is a native
// child that an overlay sink draws into; without one (offscreen) it paints the
// frames handed to it. Input over it goes to the message drain.
#include <QImage>
#include <functional>
#include <QPointer>
#include <QWidget>

#include "platform/media/dshow.h"

class TVideoWidget : public QWidget {
  Q_OBJECT
 public:
  explicit TVideoWidget(bool nativeOverlay);
  bool NativeOverlay() const { return nativeOverlay_; }
  // The native window the overlay sink draws into (0 when painting frames).
  quintptr OverlayHandle();
  void SetFrame(const QImage& frame);
  const QImage& Frame() const { return frame_; }
  int FramesShown() const { return framesShown_; }
  void SetDrain(QWidget* drain) { drain_ = drain; }
  QWidget* Drain() const { return drain_; }
  // Called when the overlay sink must redraw (an expose or a resize).
  std::function<void()> OnExpose;

 protected:
  void paintEvent(QPaintEvent*) override;
  void resizeEvent(QResizeEvent*) override;
  QPaintEngine* paintEngine() const override;
  bool event(QEvent* e) override;

 private:
  bool Forward(QEvent* e);
  // Whether the picture is on the screen, so that the sink may redraw it.
  bool Showing() const;
  bool nativeOverlay_;
  QImage frame_;
  int framesShown_ = 0;
  QPointer<QWidget> drain_;
};

// The widget of a graph made by this platform (nullptr without a picture).
TVideoWidget* VideoWidgetOf(const ComPtr<IGraphBuilder>& graph);
