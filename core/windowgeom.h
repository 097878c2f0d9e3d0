#pragma once
#include <QPoint>
#include <QRect>

#include "core/settings.h"

class TSizeFrame;
struct TMainParts;

// How the picture sits in the movie panel; every file opens with these
// values, and the preferences dialog holds them without storing them.
struct TVideoFraming {
  int ZoomX = 0, ZoomY = 100;  // track positions 0..100
  int PanX = 0, PanY = 0;
  int AspectMode = 0;
};

// Where the window and the picture inside it go: the movie rectangle,
// fitting and scaling, aspect, zoom and pan, full screen and the display
// mode, the caption bar, the cursor, and which panels are shown.
class TWindowGeometry {
 public:
  explicit TWindowGeometry(TMainParts& parts);

  // The movie area's screen rectangle as the window now stands, and the
  // window placed so that its movie area is r.
  TMovieRect GetMovieRect() const;
  void SetMovieRect(const TMovieRect& r);
  // The window-mode rectangle that settings keep; full screen remembers it.
  TMovieRect& MovieRect() { return movieRect_; }
  // The built-in window, centred on its screen.
  void CentreOnScreen();
  // Drags the window by a screen distance (not in full screen).
  void MoveWindowBy(const QPoint& delta);

  TVideoFraming& Framing() { return framing_; }
  void SetAspectMode(int mode);
  void PanBy(const QPoint& delta);
  void ZoomBy(const QPoint& delta);

  void PlaceVideo();
  void FitWindowToVideo();
  void ScaleWindow(int percent);
  void OriginalSize();

  bool IsFullScreen() const { return fullScreen_; }
  void ToggleFullScreen();
  void EnterFullScreen();
  void LeaveFullScreen();
  QRect NearestMonitorRect() const;
  void SetSizableFrame(bool on);
  // Topmost while the Stay-on-top button is down or in full screen.
  void ApplyStayOnTop();
  // Changes the display mode for full screen, or puts the old one back.
  void SetDisplayMode(bool on);
  bool DisplayModeChanged() const { return displayModeChanged_; }

  void UpdateCaptionBar();
  void UpdateCursor();
  bool CursorHidden() const { return cursorHidden_; }
  void ToggleControlPanel();
  void ShowPlaylistPanel(bool show);

 private:
  TMainParts& parts_;
  TSizeFrame* sizeFrame_;
  TMovieRect movieRect_;
  TVideoFraming framing_;
  bool fullScreen_ = false;
  bool cursorHidden_ = false;
  bool displayModeChanged_ = false;
};
