#pragma once
#include <QString>
#include <QtGlobal>

class QImage;

// What the playlist needs from the grid that shows it (the main window's
// dgPlayList). The grid draws nothing itself: it asks TPlayList::DrawCell for
// every cell and reports clicks through TPlayList::SelectCell.
class TPlayListView {
 public:
  virtual ~TPlayListView() = default;
  virtual void SetRowCount(int rows) = 0;
  // Moves the grid's selected row. The playlist re-derives its own selection
  // from the row right after, so an implementation may or may not call
  // SelectCell back; both give the same result.
  virtual void SetSelectedRow(int row) = 0;
  virtual void Repaint() = 0;
  virtual void SetVisible(bool visible) = 0;
};

// What the playlist needs from the main window that owns it: opening and
// playing files, the engine's seek, the Repeat toggle, the seek bar's
// bookmark marks and the skin bitmap the bookmark glyph is copied from.
class TPlayListOwner {
 public:
  virtual ~TPlayListOwner() = default;
  // Closes the previous file and opens this one; on failure the owner reports
  // it and leaves no file open.
  virtual void OpenFile(const QString& path) = 0;
  virtual bool IsFileOpen() const = 0;
  virtual void Play() = 0;
  // Absolute seek in 100 ns units; the engine clamps it.
  virtual void SetPosition(qint64 time) = 0;
  // Down state of the "Repeat playlist" toggle.
  virtual bool RepeatPlaylist() const = 0;
  virtual void ClearSeekBarBookmarks() = 0;
  // The seek bar keeps marks 0..99 and ignores higher indexes.
  virtual void SetSeekBarBookmark(int index, qint64 time) = 0;
  // The skin bitmap, or nullptr while none is loaded.
  virtual const QImage* SkinBitmap() const = 0;
};
