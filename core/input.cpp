// The input paths that produce commands: keys, mouse on the movie, wheel,
// context menu, dropped files and the file dialogs.
#include "core/input.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QWheelEvent>

#include "commands/commandtable.h"
#include "commands/keymap.h"
#include "commands/virtualkeys.h"
#include "core/cmdline.h"
#include "core/dispatch.h"
#include "core/mainparts.h"
#include "core/panels.h"
#include "core/playback.h"
#include "core/settings.h"
#include "core/windowgeom.h"
#include "platform/system/msgbox.h"
#include "playlist/playlist.h"
#include "playlist/subtitles.h"
#include "prefs/filetypes.h"

namespace {

// "name|patterns|name|patterns" as file-dialog filters.
QString DialogFilter(const QString& pairs) { return DialogNameFilters(pairs).join(";;"); }

}  // namespace

TMainInput::TMainInput(TMainParts& parts) : QObject(parts.Window), parts_(parts) {}

TMainInput::~TMainInput() {
  if (watching_) qApp->removeEventFilter(this);
}

void TMainInput::Watch() {
  // One filter on the application: the key preview sees every key of the
  // window, and the movie panel, the logo and the subtitle line pass their
  // mouse here.
  qApp->installEventFilter(this);
  watching_ = true;
}

// ---- keyboard

void TMainInput::HandleKey(quint16 virtualKey, int shift) {
  if (virtualKey == 0) return;
  const QString text = KeyText(virtualKey, TShiftState::fromInt(shift));
  const TKeyColumn column = parts_.Geometry->IsFullScreen() ? TKeyColumn::FullScreen : TKeyColumn::Window;
  for (int id : parts_.KeyMap->Lookup(column, text)) parts_.Commands->PostCommand(id);
  // Digits 1..9 without modifiers jump to the seek bar's bookmarks.
  if (virtualKey >= 0x31 && virtualKey <= 0x39 && shift == 0) parts_.Playback->JumpToBookmark(virtualKey - 0x31);
}

bool TMainInput::eventFilter(QObject* watched, QEvent* e) {
  QWidget* window = parts_.Window;
  const TMainPanels& panels = *parts_.Panels;
  auto* w = qobject_cast<QWidget*>(watched);
  // With hints off no control of this window shows its tooltip.
  if (e->type() == QEvent::ToolTip && !panels.HintsShown() && w && w->window() == window) return true;
  if (e->type() == QEvent::KeyPress && w && w->window() == window) {
    // Key preview: the main window sees every key first and lets it go on.
    // An unhandled key travels on to the parents; it counts once, where it
    // was first delivered: the focused control, or the window itself.
    QWidget* focus = QApplication::focusWidget();
    const bool first = focus && focus->window() == window ? w == focus : w == window;
    if (!first) return false;
    auto* ke = static_cast<QKeyEvent*>(e);
    HandleKey(VirtualKeyFromEvent(*ke), ShiftStateFromEvent(*ke).toInt());
    return false;
  }
  if (!panels.pnMovie) return false;
  if (watched == panels.pnMovie && e->type() == QEvent::Resize) {
    // Panels that come and go beside the movie resize it as much as the
    // window does; the picture follows either way.
    parts_.Geometry->PlaceVideo();
    return false;
  }
  if (watched == panels.pnMovie || watched == panels.imLogo) {
    switch (e->type()) {
      case QEvent::MouseButtonPress: MovieMouseDown(static_cast<QMouseEvent*>(e)); return true;
      case QEvent::MouseMove: MovieMouseMove(static_cast<QMouseEvent*>(e)); return true;
      case QEvent::MouseButtonRelease:
        dragMode_ = TDragMode::None;
        movieCaptured_ = false;
        return true;
      case QEvent::MouseButtonDblClick: {
        // A quick second press arrives as a double click only; it is a
        // press as much as the first one. Only the left button's is a
        // double click of the movie.
        auto* me = static_cast<QMouseEvent*>(e);
        MovieMouseDown(me);
        if (me->button() == Qt::LeftButton) MovieDoubleClick();
        return true;
      }
      case QEvent::Wheel:
        // The picture hands its wheel to the movie panel, and a handed-on
        // wheel goes no further than its receiver: take it here.
        Wheel(static_cast<QWheelEvent*>(e));
        return true;
      default: break;
    }
  }
  if (watched == panels.lbSubtitles && e->type() == QEvent::MouseButtonRelease) {
    parts_.Panels->ShowSubtitleLine(false);
    return true;
  }
  return false;
}

// ---- mouse on the movie

void TMainInput::MovieMouseDown(QMouseEvent* e) {
  const TSettings& settings = *parts_.Settings;
  const Qt::KeyboardModifiers mods = e->modifiers();
  movieCaptured_ = true;
  lastDrag_ = e->globalPosition().toPoint();
  switch (e->button()) {
    case Qt::LeftButton:
      if (mods & Qt::ShiftModifier)
        dragMode_ = TDragMode::MoveWindow;
      else if (mods & Qt::ControlModifier)
        dragMode_ = TDragMode::PanVideo;
      else if (mods & Qt::AltModifier)
        dragMode_ = TDragMode::Zoom;
      else if (settings.MouseLeft == 0)
        parts_.Commands->PostCommand(cmStopPlay);
      else
        dragMode_ = TDragMode::MoveWindow;
      break;
    case Qt::RightButton: parts_.Geometry->ToggleControlPanel(); break;
    case Qt::MiddleButton:
      if (settings.MouseMiddle == 0) {
        parts_.Commands->PostCommand(cmFullScreen);
      } else {
        if (parts_.Panels->ButtonEnabled(cmStop)) parts_.Playback->PauseMovie();
        parts_.Window->showMinimized();
      }
      break;
    default: break;
  }
}

void TMainInput::MovieMouseMove(QMouseEvent* e) {
  if (!movieCaptured_) return;
  const QPoint p = e->globalPosition().toPoint();
  const QPoint delta = p - lastDrag_;
  switch (dragMode_) {
    case TDragMode::MoveWindow: parts_.Geometry->MoveWindowBy(delta); break;
    case TDragMode::PanVideo: parts_.Geometry->PanBy(delta); break;
    case TDragMode::Zoom: parts_.Geometry->ZoomBy(delta); break;
    case TDragMode::None: break;
  }
  lastDrag_ = p;
}

void TMainInput::MovieDoubleClick() {
  if (parts_.Settings->MouseLeft == 1) parts_.Commands->PostCommand(cmStopPlay);
}

void TMainInput::Wheel(QWheelEvent* e) {
  e->accept();
  // Only the vertical wheel counts: a horizontal wheel or a tilt is no turn.
  const int turn = e->angleDelta().y();
  if (turn == 0) return;
  const bool away = turn > 0;
  const int wheel = parts_.Settings->MouseWheel;
  if (wheel == 0)
    parts_.Commands->PostCommand(away ? cmVolumeUp : cmVolumeDown);
  else if (wheel == 1)
    parts_.Commands->PostCommand(away ? cmJumpForward : cmJumpBackward);
}

// ---- context menu

void TMainInput::BuildPopupMenu(QMenu& menu) {
  menu.clear();
  for (const TCommandInfo& c : Commands()) {
    if (parts_.Panels->ButtonFor(c.Id)) continue;
    const QString caption = QString::fromUtf8(c.NameRussian) + " ( " +
                            parts_.KeyMap->Cell(c.Id, TKeyColumn::Window) + " )";
    QAction* a = menu.addAction(caption);
    a->setData(int(c.Id));
    const int id = c.Id;
    connect(a, &QAction::triggered, this, [this, id] { parts_.Commands->PostCommand(id); });
  }
}

// ---- dropped files

void TMainInput::DragEnter(QDragEnterEvent* e) {
  if (e->mimeData()->hasUrls()) e->acceptProposedAction();
}

void TMainInput::Drop(QDropEvent* e) {
  QStringList names;
  for (const QUrl& u : e->mimeData()->urls())
    if (u.isLocalFile()) names << u.toLocalFile();
  e->acceptProposedAction();
  DropFiles(names);
}

void TMainInput::DropFiles(const QStringList& names) {
  if (names.isEmpty()) return;
  parts_.PlayList->AddFiles(names, true);
  parts_.PlayList->PlayCurrent();
}

// ---- file dialogs

QStringList TMainInput::ChooseMovieFiles() {
  TSettings& settings = *parts_.Settings;
  const QStringList files = QFileDialog::getOpenFileNames(parts_.Window, "Open Movie...", settings.VideoDir,
                                                          DialogFilter(MultimediaFilter()));
  if (!files.isEmpty()) settings.VideoDir = FolderPart(files.first());
  return files;
}

void TMainInput::OpenFilesDialog() {
  const QStringList files = ChooseMovieFiles();
  if (files.isEmpty()) return;
  parts_.PlayList->AddFiles(files, true);
  parts_.PlayList->PlayCurrent();
}

void TMainInput::AddFilesDialog() {
  const QStringList files = ChooseMovieFiles();
  if (!files.isEmpty()) parts_.PlayList->AddFiles(files, false);
}

void TMainInput::SavePlaylistDialog() {
  QFileDialog dlg(parts_.Window, "Save Playlist...", parts_.Settings->VideoDir,
                  DialogFilter("Kelvara Playlist|*.kpl"));
  dlg.setAcceptMode(QFileDialog::AcceptSave);
  dlg.setDefaultSuffix("kpl");
  if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return;
  if (!parts_.PlayList->SaveToFile(dlg.selectedFiles().first()))
    ShowErrorBox(QString(), "Cannot write the playlist " + dlg.selectedFiles().first());
}

void TMainInput::AddFolderDialog() {
  TSettings& settings = *parts_.Settings;
  QString start = settings.VideoDir;
  if (start.size() > 1 && start.endsWith('/')) start.chop(1);
  QString dir = QFileDialog::getExistingDirectory(parts_.Window, "Choose folder to add to playlist", start);
  if (dir.isEmpty()) return;
  if (!dir.endsWith('/')) dir += '/';
  settings.VideoDir = dir;
  parts_.PlayList->AddFolder(dir);
}
