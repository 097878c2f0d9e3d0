// Every user action ends as a posted command; this is the one executor, and
// the input paths that produce commands: keys, mouse on the movie, wheel,
// context menu, dropped files and the file dialogs.
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QWheelEvent>

#include "commands/commandtable.h"
#include "commands/virtualkeys.h"
#include "controls/brandtb.h"
#include "controls/hoverbt.h"
#include "core/MainUnit.h"
#include "core/cmdline.h"
#include "core/geometry.h"
#include "media/DShowHlp.h"
#include "media/SysHelp.h"
#include "platform/system/msgbox.h"
#include "playlist/playlist.h"
#include "playlist/subtitles.h"

namespace {

class TCommandEvent : public QEvent {
 public:
  explicit TCommandEvent(int id) : QEvent(static_cast<QEvent::Type>(CommandMessage)), Id(id) {}
  const int Id;
};

// "name|patterns|name|patterns" as file-dialog filters.
QString DialogFilter(const QString& pairs) { return DialogNameFilters(pairs).join(";;"); }

constexpr int kPlaylistButton = 8, kMuteButton = 10, kKeepAspectButton = 14, kRepeatButton = 20;
constexpr int kBookmarksButton = 29, kStayOnTopButton = 32;

}  // namespace

void TfrMain::PostCommand(int id) { QCoreApplication::postEvent(this, new TCommandEvent(id)); }

bool TfrMain::event(QEvent* e) {
  switch (static_cast<int>(e->type())) {
    case CommandMessage:
      ExecuteCommand(static_cast<TCommandEvent*>(e)->Id);
      return true;
    case QEvent::Resize:
      // The movie panel's own resize places the picture.
      Relayout();
      break;
    default:
      break;
  }
  return QWidget::event(e);
}

void TfrMain::ExecuteCommand(int id) {
  switch (id) {
    case cmLoadFiles: OpenFilesDialog(); break;
    case cmStopPlay: PlayPauseToggle(); break;
    case cmStop: PauseMovie(); break;
    case cmFrameBack: FrameBack(); break;
    case cmFrameStep: FrameForward(); break;
    case cmPlay: Play(); break;
    case cmSpeedChange: SpeedPlay(); break;
    case cmFullScreen: ToggleFullScreen(); break;
    case cmOriginalSize: OriginalSize(); break;
    case cmZoom50: ScaleWindow(50); break;
    case cmZoom100: ScaleWindow(100); break;
    case cmZoom200: ScaleWindow(200); break;
    case cmAspectAsIs:
    case cmAspect16x9:
    case cmAspect4x3:
    case cmAspectByWidth:
    case cmAspectByHeight:
    case cmAspectCustom:
      AspectMode = id - cmAspectAsIs;
      PlaceVideo();
      break;
    case cmPrevInPlaylist: playList_->PlayPrevious(); break;
    case cmNextInPlaylist: playList_->PlayNext(); break;
    case cmPlaylist:
      Button(kPlaylistButton)->SetDown(!Button(kPlaylistButton)->Down());
      ShowPlaylistPanel(Button(kPlaylistButton)->Down());
      break;
    case cmJumpBackward: JumpBackward(); break;
    case cmJumpForward: JumpForward(); break;
    case cmRewindToStart: engine_->SetPosition(0); break;
    case cmSetBookmark: playList_->AddBookmark(engine_->GetPosition()); break;
    case cmPlayFromPlaylist: playList_->PlaySelected(); break;
    case cmRepeatPlaylist: Button(kRepeatButton)->SetDown(!Button(kRepeatButton)->Down()); break;
    case cmAddFiles: AddFilesDialog(); break;
    case cmAddFolder: AddFolderDialog(); break;
    case cmRemoveFromPlaylist: playList_->DeleteSelected(); break;
    case cmClearPlaylist: playList_->Clear(); break;
    case cmMoveUp: playList_->MoveUp(); break;
    case cmMoveDown: playList_->MoveDown(); break;
    case cmShufflePlaylist: playList_->Shuffle(); break;
    case cmGenerateReport: break;  // the report window is not built yet
    case cmBookmarksInPlaylist:
      Button(kBookmarksButton)->SetDown(!Button(kBookmarksButton)->Down());
      playList_->SetShowTree(Button(kBookmarksButton)->Down());
      playList_->Refresh();
      break;
    case cmSavePlaylist: SavePlaylistDialog(); break;
    case cmMute:
      Button(kMuteButton)->SetDown(!Button(kMuteButton)->Down());
      ApplyVolume(tbVolume->Position());
      break;
    case cmVolumeUp: SetVolumePosition(tbVolume->Position() + 5); break;
    case cmVolumeDown: SetVolumePosition(tbVolume->Position() - 5); break;
    case cmAudioProperties: break;  // the audio dialog is not built yet
    case cmBrightnessUp: engine_->AdjustDivXPicture(1, 0, 0); break;
    case cmBrightnessDown: engine_->AdjustDivXPicture(-1, 0, 0); break;
    case cmContrastUp: engine_->AdjustDivXPicture(0, 1, 0); break;
    case cmContrastDown: engine_->AdjustDivXPicture(0, -1, 0); break;
    case cmSaturationUp: engine_->AdjustDivXPicture(0, 0, 1); break;
    case cmSaturationDown: engine_->AdjustDivXPicture(0, 0, -1); break;
    case cmVideoProperties:
      if (ButtonEnabled(cmVideoProperties)) {
        engine_->Stop();
        if (auto decoder = engine_->FindVideoDecoder()) engine_->ShowFilterProperties(decoder);
        RestorePlayState();
      }
      break;
    case cmSaveScreenshot:
      if (ButtonEnabled(cmSaveScreenshot)) SaveScreenshot();
      break;
    case cmVideoProportions:
      Button(kKeepAspectButton)->SetDown(!Button(kKeepAspectButton)->Down());
      PlaceVideo();
      break;
    case cmSubtitles:
      if (!lbSubtitles->isHidden()) {
        ShowSubtitleLine(false);
      } else if (frSubtitles && frSubtitles->Loaded) {
        ShowSubtitleLine(true);
      } else if (frSubtitles) {
        frSubtitles->ChooseSubtitles(Settings.VideoDir);
        if (frSubtitles->Loaded) ShowSubtitleLine(true);
      }
      break;
    case cmFilters: break;  // the filter graph dialog is not built yet
    case cmPreferences:
      // The preferences dialog is not built yet; the transaction around it
      // still stores and re-reads the settings.
      settingsFile_->Preferences([] {});
      break;
    case cmFileInformation: ShowFileInformation(); break;
    case cmControlPanel: ToggleControlPanel(); break;
    case cmMinimize: showMinimized(); break;
    case cmStayOnTop:
      Button(kStayOnTopButton)->SetDown(!Button(kStayOnTopButton)->Down());
      ApplyStayOnTop();
      break;
    case cmHelp: ShowHelp(); break;
    case cmAbout: break;  // the about window is not built yet
    case cmExit: close(); break;
    case cmPowerOff: sysHelper_->PowerOff(); break;
    default: break;
  }
  emit CommandExecuted(id);
}

// ---- keyboard

void TfrMain::HandleKey(quint16 virtualKey, int shift) {
  if (virtualKey == 0) return;
  const QString text = KeyText(virtualKey, TShiftState::fromInt(shift));
  const TKeyColumn column = IsFullScreen() ? TKeyColumn::FullScreen : TKeyColumn::Window;
  for (int id : KeyMap.Lookup(column, text)) PostCommand(id);
  if (virtualKey >= 0x31 && virtualKey <= 0x39 && shift == 0 && tbSeek->isEnabled())
    engine_->SetPosition(tbSeek->GetBookmark(virtualKey - 0x31));
}

void TfrMain::keyPressEvent(QKeyEvent* e) { QWidget::keyPressEvent(e); }

bool TfrMain::eventFilter(QObject* watched, QEvent* e) {
  auto* w = qobject_cast<QWidget*>(watched);
  // With hints off no control of this window shows its tooltip.
  if (e->type() == QEvent::ToolTip && !hintsShown_ && w && w->window() == this) return true;
  if (e->type() == QEvent::KeyPress && w && w->window() == this) {
    // Key preview: the main window sees every key first and lets it go on.
    // An unhandled key travels on to the parents; it counts once, where it
    // was first delivered: the focused control, or the window itself.
    QWidget* focus = QApplication::focusWidget();
    const bool first = focus && focus->window() == this ? w == focus : w == this;
    if (!first) return false;
    auto* ke = static_cast<QKeyEvent*>(e);
    HandleKey(VirtualKeyFromEvent(*ke), ShiftStateFromEvent(*ke).toInt());
    return false;
  }
  if (watched == pnMovie && e->type() == QEvent::Resize) {
    // Panels that come and go beside the movie resize it as much as the
    // window does; the picture follows either way.
    PlaceVideo();
    return false;
  }
  if (watched == pnMovie || watched == imLogo) {
    switch (e->type()) {
      case QEvent::MouseButtonPress: MovieMouseDown(static_cast<QMouseEvent*>(e)); return true;
      case QEvent::MouseMove: MovieMouseMove(static_cast<QMouseEvent*>(e)); return true;
      case QEvent::MouseButtonRelease:
        DragMode = TDragMode::None;
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
        wheelEvent(static_cast<QWheelEvent*>(e));
        return true;
      default: break;
    }
  }
  if (watched == lbSubtitles && e->type() == QEvent::MouseButtonRelease) {
    ShowSubtitleLine(false);
    return true;
  }
  return QWidget::eventFilter(watched, e);
}

// ---- mouse on the movie

void TfrMain::MovieMouseDown(QMouseEvent* e) {
  const Qt::KeyboardModifiers mods = e->modifiers();
  movieCaptured_ = true;
  lastDrag_ = e->globalPosition().toPoint();
  switch (e->button()) {
    case Qt::LeftButton:
      if (mods & Qt::ShiftModifier)
        DragMode = TDragMode::MoveWindow;
      else if (mods & Qt::ControlModifier)
        DragMode = TDragMode::PanVideo;
      else if (mods & Qt::AltModifier)
        DragMode = TDragMode::Zoom;
      else if (Settings.MouseLeft == 0)
        PostCommand(cmStopPlay);
      else
        DragMode = TDragMode::MoveWindow;
      break;
    case Qt::RightButton: ToggleControlPanel(); break;
    case Qt::MiddleButton:
      if (Settings.MouseMiddle == 0) {
        PostCommand(cmFullScreen);
      } else {
        if (ButtonEnabled(cmStop)) PauseMovie();
        showMinimized();
      }
      break;
    default: break;
  }
}

void TfrMain::MovieMouseMove(QMouseEvent* e) {
  if (!movieCaptured_) return;
  const QPoint p = e->globalPosition().toPoint();
  switch (DragMode) {
    case TDragMode::MoveWindow:
      if (!IsFullScreen()) move(x() + p.x() - lastDrag_.x(), y() + p.y() - lastDrag_.y());
      break;
    case TDragMode::PanVideo:
      PanX += p.x() - lastDrag_.x();
      PanY += p.y() - lastDrag_.y();
      PlaceVideo();
      break;
    case TDragMode::Zoom:
      ZoomX = qBound(0, ZoomX + p.x() - lastDrag_.x(), 100);
      ZoomY = qBound(0, ZoomY + p.y() - lastDrag_.y(), 100);
      PlaceVideo();
      ShowInfoText(ZoomText(ZoomX, ZoomY));
      break;
    case TDragMode::None: break;
  }
  lastDrag_ = p;
}

void TfrMain::MovieDoubleClick() {
  if (Settings.MouseLeft == 1) PostCommand(cmStopPlay);
}

void TfrMain::wheelEvent(QWheelEvent* e) {
  e->accept();
  // Only the vertical wheel counts: a horizontal wheel or a tilt is no turn.
  const int turn = e->angleDelta().y();
  if (turn == 0) return;
  const bool away = turn > 0;
  if (Settings.MouseWheel == 0)
    PostCommand(away ? cmVolumeUp : cmVolumeDown);
  else if (Settings.MouseWheel == 1)
    PostCommand(away ? cmJumpForward : cmJumpBackward);
}

// ---- context menu

void TfrMain::BuildPopupMenu(QMenu& menu) {
  menu.clear();
  for (const TCommandInfo& c : Commands()) {
    if (ButtonFor(c.Id)) continue;
    const QString caption = QString::fromUtf8(c.NameRussian) + " ( " +
                            KeyMap.Cell(c.Id, TKeyColumn::Window) + " )";
    QAction* a = menu.addAction(caption);
    a->setData(int(c.Id));
    const int id = c.Id;
    connect(a, &QAction::triggered, this, [this, id] { PostCommand(id); });
  }
}

// ---- dropped files

void TfrMain::dragEnterEvent(QDragEnterEvent* e) {
  if (e->mimeData()->hasUrls()) e->acceptProposedAction();
}

void TfrMain::dropEvent(QDropEvent* e) {
  QStringList names;
  for (const QUrl& u : e->mimeData()->urls())
    if (u.isLocalFile()) names << u.toLocalFile();
  e->acceptProposedAction();
  DropFiles(names);
}

void TfrMain::DropFiles(const QStringList& names) {
  if (names.isEmpty()) return;
  playList_->AddFiles(names, true);
  playList_->PlayCurrent();
}

// ---- dialogs

namespace {
const char* const kMovieFilter =
    "Movie files|*.kpl;*.avi;*.asf;*.dat;*.mpe;*.mpeg;*.mpg;*.m1v|All files|*.*";
}

void TfrMain::OpenFilesDialog() {
  const QStringList files =
      QFileDialog::getOpenFileNames(this, "Open Movie...", Settings.VideoDir, DialogFilter(kMovieFilter));
  if (files.isEmpty()) return;
  Settings.VideoDir = FolderPart(files.first());
  playList_->AddFiles(files, true);
  playList_->PlayCurrent();
}

void TfrMain::AddFilesDialog() {
  const QStringList files =
      QFileDialog::getOpenFileNames(this, "Open Movie...", Settings.VideoDir, DialogFilter(kMovieFilter));
  if (files.isEmpty()) return;
  Settings.VideoDir = FolderPart(files.first());
  playList_->AddFiles(files, false);
}

void TfrMain::SavePlaylistDialog() {
  QFileDialog dlg(this, "Save Playlist...", Settings.VideoDir, DialogFilter("Kelvara Playlist|*.kpl"));
  dlg.setAcceptMode(QFileDialog::AcceptSave);
  dlg.setDefaultSuffix("kpl");
  if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return;
  if (!playList_->SaveToFile(dlg.selectedFiles().first()))
    ShowErrorBox(QString(), "Cannot write the playlist " + dlg.selectedFiles().first());
}

void TfrMain::AddFolderDialog() {
  QString start = Settings.VideoDir;
  if (start.size() > 1 && start.endsWith('/')) start.chop(1);
  QString dir = QFileDialog::getExistingDirectory(this, "Choose folder to add to playlist", start);
  if (dir.isEmpty()) return;
  if (!dir.endsWith('/')) dir += '/';
  Settings.VideoDir = dir;
  playList_->AddFolder(dir);
}
