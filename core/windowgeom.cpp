// Where the window and the video inside it go: movie rectangle, fitting and
// scaling, aspect, zoom and pan, full screen, caption bar, cursor, panels.
#include <QApplication>
#include <QLabel>
#include <QScreen>
#include <QWindow>

#include "controls/hoverbt.h"
#include "controls/statusbars.h"
#include "core/MainUnit.h"
#include "core/geometry.h"
#include "core/sizeframe.h"
#include "media/DShowHlp.h"
#include "platform/system/displaymode.h"

namespace {
constexpr int kFullScreenButton = 5, kCaptionFullScreenButton = 34, kKeepAspectButton = 14;
constexpr int kPlaylistButton = 8, kStayOnTopButton = 32;
constexpr int kCaptionHeight = 20, kControlHeight = 79;

// The display-mode codes have no platform text of their own; the service's
// reason becomes theirs. Shared codes such as E_FAIL keep the media layer's.
void ExplainDisplayModeFailure(HRESULT hr) {
  constexpr uint32_t kDisplayFamily = 0x8876;  // failure bit and the DirectDraw facility
  if ((uint32_t(hr) >> 16) == kDisplayFamily)
    RecordPlatformErrorText(hr, DisplayModes().LastErrorText());
}
}  // namespace

TMovieRect TfrMain::GetMovieRect() const {
  const QRect g = geometry();
  TMovieRect r{g.left(), g.top(), g.left() + g.width(), g.top() + g.height()};
  if (controlVisible_) r.Bottom -= kControlHeight;
  if (captionVisible_) r.Top += kCaptionHeight;
  return r;
}

void TfrMain::SetMovieRect(const TMovieRect& r) {
  int y = r.Top, bottom = r.Bottom;
  if (controlVisible_) bottom += kControlHeight;
  if (captionVisible_) y -= kCaptionHeight;
  setGeometry(r.Left, y, r.Right - r.Left, bottom - y);
}

void TfrMain::PlaceVideo() {
  HRESULT placed = S_OK, fallback = S_OK;
  if (engine_->HasVideo && engine_->VideoWindow) {
    TVideoPlacementInput in;
    in.VideoWidth = engine_->VideoWidth;
    in.VideoHeight = engine_->VideoHeight;
    in.PanelWidth = pnMovie->width();
    in.PanelHeight = pnMovie->height();
    in.AspectMode = AspectMode;
    in.CustomAspectRatio = Settings.CustomAspectRatio;
    in.KeepAspect = Button(kKeepAspectButton)->Down();
    in.ZoomX = ZoomX;
    in.ZoomY = ZoomY;
    in.PanX = PanX;
    in.PanY = PanY;
    const std::optional<QRect> r = ComputeVideoRect(in);
    IVideoWindow& window = *engine_->VideoWindow;
    if (r) placed = window.SetWindowPosition(r->left(), r->top(), r->width(), r->height());
    if (!r || FAILED(placed)) {
      const QRect f = FallbackVideoRect;
      fallback = window.SetWindowPosition(f.left(), f.top(), f.width(), f.height());
    }
  }
  // A refused placement leaves the small picture and the cursor rule in
  // force before its failure is reported, and perhaps raised.
  UpdateCursor();
  engine_->Check(placed, "VideoWindow.SetWindowPosition");
  engine_->Check(fallback, "VideoWindow.SetWindowPosition");
}

void TfrMain::FitWindowToVideo() {
  SetDisplayMode(false);
  SetSizableFrame(true);
  LeaveFullScreen();
  const QRect screenRect = screen() ? screen()->geometry() : QRect(0, 0, 1024, 768);
  const int w = width() - pnMovie->width() + engine_->VideoWidth;
  const int h = height() - pnMovie->height() + engine_->VideoHeight;
  setGeometry((screenRect.width() - w) / 2, (screenRect.height() - h) / 2, w, h);
  move((screenRect.width() - width()) / 2, (screenRect.height() - height()) / 2);
  ApplyStayOnTop();
  movieRect_ = GetMovieRect();
}

void TfrMain::ScaleWindow(int percent) {
  if (IsFullScreen()) LeaveFullScreen();
  resize(width() - pnMovie->width() + engine_->VideoWidth * percent / 100,
         height() - pnMovie->height() + engine_->VideoHeight * percent / 100);
}

void TfrMain::OriginalSize() {
  Button(kFullScreenButton)->SetDown(false);
  Button(kKeepAspectButton)->SetDown(true);
  ZoomX = 0;
  ZoomY = 100;
  PanX = 0;
  PanY = 0;
  AspectMode = 0;
  FitWindowToVideo();
  PlaceVideo();
}

void TfrMain::ToggleFullScreen() {
  if (!ButtonEnabled(7)) return;
  THoverButton* b = Button(kFullScreenButton);
  b->SetDown(!b->Down());
  if (b->Down())
    EnterFullScreen();
  else
    LeaveFullScreen();
  PlaceVideo();
}

void TfrMain::EnterFullScreen() {
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
  setGeometry(r);
  ApplyStayOnTop();
  Button(kFullScreenButton)->SetDown(true);
}

void TfrMain::LeaveFullScreen() {
  SetDisplayMode(false);
  SetSizableFrame(true);
  const bool was = fullScreen_;
  fullScreen_ = false;
  UpdateCaptionBar();
  if (was) SetMovieRect(movieRect_);
  ApplyStayOnTop();
  Button(kFullScreenButton)->SetDown(false);
}

QRect TfrMain::NearestMonitorRect() const {
  std::vector<QRect> monitors;
  for (QScreen* s : QGuiApplication::screens()) monitors.push_back(s->geometry());
  const QScreen* primary = QGuiApplication::primaryScreen();
  const QRect screenRect = primary ? QRect(QPoint(0, 0), primary->size()) : QRect(0, 0, 1024, 768);
  return ::NearestMonitorRect(frameGeometry(), monitors, screenRect);
}

void TfrMain::SetSizableFrame(bool on) { sizeFrame_->SetEnabled(on); }

void TfrMain::ApplyStayOnTop() {
  const bool top = ToggleDown(TToggle::StayOnTop) || IsFullScreen();
  if (top == bool(windowFlags() & Qt::WindowStaysOnTopHint)) return;
  // setWindowFlag would destroy and recreate the native window, and with it
  // the native child the video sink draws into; the window system takes the
  // new hint on the live window instead.
  Qt::WindowFlags flags = windowFlags();
  flags.setFlag(Qt::WindowStaysOnTopHint, top);
  overrideWindowFlags(flags);
  if (QWindow* w = windowHandle()) w->setFlags(flags);
}

void TfrMain::UpdateCaptionBar() {
  bool visible = controlVisible_;
  if (!IsFullScreen() && Settings.WndCaption) visible = true;
  if (IsFullScreen() && Settings.NoFullScrCaption) visible = false;
  if (visible == captionVisible_) return;
  captionVisible_ = visible;
  Relayout();
}

void TfrMain::UpdateCursor() {
  const bool hide = IsFullScreen() && !controlVisible_ && !playlistVisible_;
  if (hide == cursorHidden_) return;
  cursorHidden_ = hide;
  if (hide)
    QApplication::setOverrideCursor(Qt::BlankCursor);
  else
    QApplication::restoreOverrideCursor();
}

void TfrMain::ToggleControlPanel() {
  layoutFrozen_ = true;
  const bool v = !controlVisible_;
  auto apply = [&] {
    controlVisible_ = v;
    playlistVisible_ = v && Button(kPlaylistButton)->Down();
    UpdateCaptionBar();
  };
  if (!IsFullScreen()) {
    const TMovieRect r = GetMovieRect();
    apply();
    // The limit for the chrome now shown, before the window takes its new
    // height: the old limit would make a small window taller at each hide.
    ApplySizeLimit();
    SetMovieRect(r);
  } else {
    apply();
  }
  layoutFrozen_ = false;
  Relayout();
  UpdateCursor();
}

void TfrMain::ShowPlaylistPanel(bool show) {
  playlistVisible_ = show;
  Relayout();
  UpdateCursor();
}

void TfrMain::SetDisplayMode(bool on) {
  if (!engine_->HasVideo) return;
  if (on) {
    if (displayModeChanged_ || !Settings.FullScrMode) return;
    if (!engine_->FindVideoRenderer()) return;
    engine_->Stop();
    const HRESULT hr = DisplayModes().SetDisplayMode(frameGeometry(), Settings.ScrWidth,
                                                           Settings.ScrHeight, Settings.ScrDepth);
    displayModeChanged_ = SUCCEEDED(hr);
    ExplainDisplayModeFailure(hr);
    engine_->Check(hr, "DD.SetDisplayMode");
    RestorePlayState();
  } else if (displayModeChanged_) {
    engine_->Stop();
    displayModeChanged_ = false;
    const HRESULT hr = DisplayModes().RestoreDisplayMode();
    ExplainDisplayModeFailure(hr);
    engine_->Check(hr, "DD.RestoreDisplayMode");
    RestorePlayState();
  }
}
