// Where the window and the video inside it go: movie rectangle, fitting and
// scaling, aspect, zoom and pan, full screen, caption bar, cursor, panels.
#include "core/windowgeom.h"

#include <QApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include "commands/commandtable.h"
#include "controls/buttontable.h"
#include "core/geometry.h"
#include "core/mainparts.h"
#include "core/panels.h"
#include "core/playback.h"
#include "core/sizeframe.h"
#include "media/DShowHlp.h"
#include "platform/system/displaymode.h"

namespace {
// The display-mode codes have no platform text of their own; the service's
// reason becomes theirs. Shared codes such as E_FAIL keep the media layer's.
void ExplainDisplayModeFailure(HRESULT hr) {
  constexpr uint32_t kDisplayFamily = 0x8876;  // failure bit and the DirectDraw facility
  if ((uint32_t(hr) >> 16) == kDisplayFamily)
    RecordPlatformErrorText(hr, DisplayModes().LastErrorText());
}
}  // namespace

TWindowGeometry::TWindowGeometry(TMainParts& parts)
    : parts_(parts), sizeFrame_(new TSizeFrame(parts.Window)) {}

TMovieRect TWindowGeometry::GetMovieRect() const {
  const QRect g = parts_.Window->geometry();
  TMovieRect r{g.left(), g.top(), g.left() + g.width(), g.top() + g.height()};
  if (parts_.Panels->ControlPanelVisible()) r.Bottom -= kControlHeight;
  if (parts_.Panels->CaptionBarVisible()) r.Top += kCaptionHeight;
  return r;
}

void TWindowGeometry::SetMovieRect(const TMovieRect& r) {
  int y = r.Top, bottom = r.Bottom;
  if (parts_.Panels->ControlPanelVisible()) bottom += kControlHeight;
  if (parts_.Panels->CaptionBarVisible()) y -= kCaptionHeight;
  parts_.Window->setGeometry(r.Left, y, r.Right - r.Left, bottom - y);
}

void TWindowGeometry::CentreOnScreen() {
  const QWidget* window = parts_.Window;
  const QScreen* s = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
  const QRect screenRect = s ? s->geometry() : QRect(0, 0, 1024, 768);
  TMovieRect r = GetMovieRect();
  const int w = r.Right - r.Left, h = r.Bottom - r.Top;
  r.Left = (screenRect.width() - w) / 2;
  r.Top = (screenRect.height() - h) / 2;
  r.Right = r.Left + w;
  r.Bottom = r.Top + h;
  movieRect_ = r;
}

void TWindowGeometry::MoveWindowBy(const QPoint& delta) {
  if (!IsFullScreen()) parts_.Window->move(parts_.Window->pos() + delta);
}

void TWindowGeometry::SetAspectMode(int mode) {
  framing_.AspectMode = mode;
  PlaceVideo();
}

void TWindowGeometry::PanBy(const QPoint& delta) {
  framing_.PanX += delta.x();
  framing_.PanY += delta.y();
  PlaceVideo();
}

void TWindowGeometry::ZoomBy(const QPoint& delta) {
  framing_.ZoomX = qBound(0, framing_.ZoomX + delta.x(), 100);
  framing_.ZoomY = qBound(0, framing_.ZoomY + delta.y(), 100);
  PlaceVideo();
  parts_.Panels->ShowInfoText(ZoomText(framing_.ZoomX, framing_.ZoomY));
}

void TWindowGeometry::PlaceVideo() {
  TDirectShowHelper& engine = parts_.Playback->Engine();
  HRESULT placed = S_OK, fallback = S_OK;
  if (engine.HasVideo && engine.VideoWindow) {
    TVideoPlacementInput in;
    in.VideoWidth = engine.VideoWidth;
    in.VideoHeight = engine.VideoHeight;
    in.PanelWidth = parts_.Panels->pnMovie->width();
    in.PanelHeight = parts_.Panels->pnMovie->height();
    in.AspectMode = framing_.AspectMode;
    in.CustomAspectRatio = parts_.Settings->CustomAspectRatio;
    in.KeepAspect = parts_.Panels->Down(btVideoProportions);
    in.ZoomX = framing_.ZoomX;
    in.ZoomY = framing_.ZoomY;
    in.PanX = framing_.PanX;
    in.PanY = framing_.PanY;
    const std::optional<QRect> r = ComputeVideoRect(in);
    IVideoWindow& window = *engine.VideoWindow;
    if (r) placed = window.SetWindowPosition(r->left(), r->top(), r->width(), r->height());
    if (!r || FAILED(placed)) {
      const QRect f = FallbackVideoRect;
      fallback = window.SetWindowPosition(f.left(), f.top(), f.width(), f.height());
    }
  }
  // A refused placement leaves the small picture and the cursor rule in
  // force before its failure is reported, and perhaps raised.
  UpdateCursor();
  engine.Check(placed, "VideoWindow.SetWindowPosition");
  engine.Check(fallback, "VideoWindow.SetWindowPosition");
}

void TWindowGeometry::FitWindowToVideo() {
  QWidget* window = parts_.Window;
  const QWidget* movie = parts_.Panels->pnMovie;
  const TDirectShowHelper& engine = parts_.Playback->Engine();
  SetDisplayMode(false);
  SetSizableFrame(true);
  LeaveFullScreen();
  const QRect screenRect = window->screen() ? window->screen()->geometry() : QRect(0, 0, 1024, 768);
  const int w = window->width() - movie->width() + engine.VideoWidth;
  const int h = window->height() - movie->height() + engine.VideoHeight;
  window->setGeometry((screenRect.width() - w) / 2, (screenRect.height() - h) / 2, w, h);
  window->move((screenRect.width() - window->width()) / 2, (screenRect.height() - window->height()) / 2);
  ApplyStayOnTop();
  movieRect_ = GetMovieRect();
}

void TWindowGeometry::ScaleWindow(int percent) {
  QWidget* window = parts_.Window;
  const QWidget* movie = parts_.Panels->pnMovie;
  const TDirectShowHelper& engine = parts_.Playback->Engine();
  if (IsFullScreen()) LeaveFullScreen();
  window->resize(window->width() - movie->width() + engine.VideoWidth * percent / 100,
                 window->height() - movie->height() + engine.VideoHeight * percent / 100);
}

void TWindowGeometry::OriginalSize() {
  parts_.Panels->SetDown(btFullScreen, false);
  parts_.Panels->SetDown(btVideoProportions, true);
  framing_ = TVideoFraming();
  FitWindowToVideo();
  PlaceVideo();
}

void TWindowGeometry::ToggleFullScreen() {
  if (!parts_.Panels->ButtonEnabled(cmFullScreen)) return;
  if (parts_.Panels->Toggle(btFullScreen))
    EnterFullScreen();
  else
    LeaveFullScreen();
  PlaceVideo();
}

void TWindowGeometry::EnterFullScreen() {
  movieRect_ = GetMovieRect();
  SetSizableFrame(false);
  SetDisplayMode(true);
  QRect r = NearestMonitorRect();
  if (displayModeChanged_) {
    // The toolkit hears of the new mode only later; the monitor keeps its
    // place and shows the size of the mode now.
    TDisplayMode mode;
    if (SUCCEEDED(DisplayModes().GetDisplayMode(r, mode)) && mode.Width > 0 && mode.Height > 0)
      r.setSize(QSize(mode.Width, mode.Height));
  }
  fullScreen_ = true;
  UpdateCaptionBar();
  parts_.Window->setGeometry(r);
  ApplyStayOnTop();
  parts_.Panels->SetDown(btFullScreen, true);
}

void TWindowGeometry::LeaveFullScreen() {
  SetDisplayMode(false);
  SetSizableFrame(true);
  const bool was = fullScreen_;
  fullScreen_ = false;
  UpdateCaptionBar();
  if (was) SetMovieRect(movieRect_);
  ApplyStayOnTop();
  parts_.Panels->SetDown(btFullScreen, false);
}

QRect TWindowGeometry::NearestMonitorRect() const {
  std::vector<QRect> monitors;
  for (QScreen* s : QGuiApplication::screens()) monitors.push_back(s->geometry());
  const QScreen* primary = QGuiApplication::primaryScreen();
  const QRect screenRect = primary ? QRect(QPoint(0, 0), primary->size()) : QRect(0, 0, 1024, 768);
  return ::NearestMonitorRect(parts_.Window->frameGeometry(), monitors, screenRect);
}

void TWindowGeometry::SetSizableFrame(bool on) { sizeFrame_->SetEnabled(on); }

void TWindowGeometry::ApplyStayOnTop() {
  QWidget* window = parts_.Window;
  const bool top = parts_.Panels->ToggleDown(TToggle::StayOnTop) || IsFullScreen();
  if (top == bool(window->windowFlags() & Qt::WindowStaysOnTopHint)) return;
  // setWindowFlag would destroy and recreate the native window, and with it
  // the native child the video sink draws into; the window system takes the
  // new hint on the live window instead.
  Qt::WindowFlags flags = window->windowFlags();
  flags.setFlag(Qt::WindowStaysOnTopHint, top);
  window->overrideWindowFlags(flags);
  if (QWindow* w = window->windowHandle()) w->setFlags(flags);
}

void TWindowGeometry::UpdateCaptionBar() {
  const TSettings& settings = *parts_.Settings;
  TMainPanels& panels = *parts_.Panels;
  bool visible = panels.ControlPanelVisible();
  if (!IsFullScreen() && settings.WndCaption) visible = true;
  if (IsFullScreen() && settings.NoFullScrCaption) visible = false;
  if (visible == panels.CaptionBarVisible()) return;
  panels.SetCaptionBarVisible(visible);
  panels.Relayout();
}

void TWindowGeometry::UpdateCursor() {
  const TMainPanels& panels = *parts_.Panels;
  const bool hide = IsFullScreen() && !panels.ControlPanelVisible() && !panels.PlaylistPanelVisible();
  if (hide == cursorHidden_) return;
  cursorHidden_ = hide;
  if (hide)
    QApplication::setOverrideCursor(Qt::BlankCursor);
  else
    QApplication::restoreOverrideCursor();
}

void TWindowGeometry::ToggleControlPanel() {
  TMainPanels& panels = *parts_.Panels;
  panels.FreezeLayout(true);
  const bool v = !panels.ControlPanelVisible();
  auto apply = [&] {
    panels.SetControlPanelVisible(v);
    panels.SetPlaylistPanelVisible(v && panels.Down(btPlaylist));
    UpdateCaptionBar();
  };
  // In a window the movie keeps its place on the screen; the window grows
  // or shrinks around it.
  if (!IsFullScreen()) {
    const TMovieRect r = GetMovieRect();
    apply();
    // The limit for the chrome now shown, before the window takes its new
    // height: the old limit would make a small window taller at each hide.
    panels.ApplySizeLimit();
    SetMovieRect(r);
  } else {
    apply();
  }
  panels.FreezeLayout(false);
  panels.Relayout();
  UpdateCursor();
}

void TWindowGeometry::ShowPlaylistPanel(bool show) {
  parts_.Panels->SetPlaylistPanelVisible(show);
  parts_.Panels->Relayout();
  UpdateCursor();
}

void TWindowGeometry::SetDisplayMode(bool on) {
  TDirectShowHelper& engine = parts_.Playback->Engine();
  const TSettings& settings = *parts_.Settings;
  if (!engine.HasVideo) return;
  if (on) {
    if (displayModeChanged_ || !settings.FullScrMode) return;
    if (!engine.FindVideoRenderer()) return;
    engine.Stop();
    const HRESULT hr = DisplayModes().SetDisplayMode(parts_.Window->frameGeometry(), settings.ScrWidth,
                                                     settings.ScrHeight, settings.ScrDepth);
    displayModeChanged_ = SUCCEEDED(hr);
    ExplainDisplayModeFailure(hr);
    engine.Check(hr, "DD.SetDisplayMode");
    parts_.Playback->RestorePlayState();
  } else if (displayModeChanged_) {
    engine.Stop();
    displayModeChanged_ = false;
    const HRESULT hr = DisplayModes().RestoreDisplayMode();
    ExplainDisplayModeFailure(hr);
    engine.Check(hr, "DD.RestoreDisplayMode");
    parts_.Playback->RestorePlayState();
  }
}
