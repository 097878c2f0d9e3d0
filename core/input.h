#pragma once
#include <QObject>
#include <QPoint>
#include <QStringList>

class QDragEnterEvent;
class QDropEvent;
class QMenu;
class QMouseEvent;
class QWheelEvent;
struct TMainParts;

// Drag modes of the mouse on the movie.
enum class TDragMode : quint8 { None = 0, MoveWindow = 1, PanVideo = 2, Zoom = 3 };

// The input paths of the main window that end as commands: the key
// preview, the mouse and wheel on the movie, the context menu, dropped
// files and the file dialogs.
class TMainInput : public QObject {
 public:
  explicit TMainInput(TMainParts& parts);
  ~TMainInput() override;
  // Starts watching the application's keys and the movie panel's mouse.
  void Watch();

  // The keyboard handler; runs for every key before the focused control.
  void HandleKey(quint16 virtualKey, int shift);
  void Wheel(QWheelEvent* e);
  void DragEnter(QDragEnterEvent* e);
  void Drop(QDropEvent* e);
  void DropFiles(const QStringList& names);
  // The context menu as it is built for a popup: every command without a button.
  void BuildPopupMenu(QMenu& menu);
  TDragMode DragMode() const { return dragMode_; }

  void OpenFilesDialog();
  void AddFilesDialog();
  void SavePlaylistDialog();
  void AddFolderDialog();

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  void MovieMouseDown(QMouseEvent* e);
  void MovieMouseMove(QMouseEvent* e);
  void MovieDoubleClick();
  // The open dialog's files; the folder they are in becomes the video folder.
  QStringList ChooseMovieFiles();

  TMainParts& parts_;
  TDragMode dragMode_ = TDragMode::None;
  QPoint lastDrag_;
  bool movieCaptured_ = false;
  bool watching_ = false;
};
