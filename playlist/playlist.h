#pragma once
#include <QByteArray>
#include <QRect>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <vector>

#include "playlist/playlistview.h"

class QPainter;

// A named time point in a media file; time in 100 ns units from the start.
struct TBookMark {
  QString Name;
  qint64 Time = 0;
};

// One playlist entry. FileName is the path exactly as it was added.
struct TPLMember {
  QString FileName;
  QString Title;
  std::vector<TBookMark> Bookmarks;
};

// The row of the grid a (entry, bookmark) pair sits on, and back. A bookmark
// index of -1 names the entry's own row.
struct TPlayListRow {
  int Item = -1;
  int Bookmark = -1;
  bool operator==(const TPlayListRow&) const = default;
};

// The player's one playlist: the entries in play order with their bookmarks,
// the current entry (the one last opened through the list) and the entry or
// bookmark on the grid's selected row. All calls come from the UI thread.
class TPlayList {
 public:
  // Default list file name, kept in WindowsDirectory() beside the settings.
  static constexpr const char* DefaultFileName = "kelvar.kpl";

  // owner may be null (nothing is ever opened then).
  explicit TPlayList(TPlayListOwner* owner = nullptr);

  void SetGrid(TPlayListView* grid) { grid_ = grid; }
  TPlayListView* Grid() const { return grid_; }

  // ---- state
  int Count() const { return static_cast<int>(items_.size()); }
  const TPLMember& Item(int index) const { return items_.at(static_cast<size_t>(index)); }
  bool ShowTree() const { return showTree_; }
  int SelectedItem() const { return selectedItem_; }
  int SelectedBookmark() const { return selectedBookmark_; }
  int CurrentItem() const { return currentItem_; }
  // The settings load puts "LastPlayed" here without a Refresh. An index that
  // names no entry of the list (the list file changed between runs) leaves no
  // current entry rather than one past the list.
  void SetCurrentItem(int index);
  // Title of the current entry; empty when there is none.
  QString CurrentTitle() const;

  // ---- building the list
  void Clear();
  void AddFile(const QString& path);
  void AddFolder(const QString& folder);
  void AddFiles(const QStringList& names, bool clearFirst);
  // Appends the entries of a .kpl file. Missing or unreadable: nothing changes.
  void LoadFromFile(const QString& path);
  // Appends the entries of .kpl text already in memory, then Refresh.
  void LoadFromData(const QByteArray& data);
  // Writes the whole list, replacing the file only once the new one is
  // complete. An unwritable target writes nothing; the result says so.
  bool SaveToFile(const QString& path) const;
  QByteArray SaveToData() const;

  // ---- editing
  void DeleteSelected();
  void MoveUp();
  void MoveDown();
  void Shuffle();
  void ShuffleWithKey(quint64 key);
  void Exchange(int a, int b);
  void AddBookmark(qint64 time);
  void SortBookmarks(int index);
  void SetShowTree(bool value);

  // ---- playing
  void PlayNext();
  void PlayPrevious();
  void PlayCurrent();
  void PlaySelected();

  // ---- grid
  void Refresh();
  int RowCount() const;
  TPlayListRow RowToEntry(int row) const;
  int SelectionRow() const;
  // The grid's select-cell handler; always allows the selection.
  void SelectCell(int col, int row, bool& canSelect);
  // The grid's draw-cell handler; the painter carries the grid's font.
  void DrawCell(QPainter& canvas, int col, int row, const QRect& rect, bool selected) const;

  // Bookmark time texts: "hh:mm:ss.zzz" and back (0 for a text that is not one).
  static QString TimeToText(qint64 time);
  static qint64 TextToTime(const QString& text);
  // Extension test of the folder scan: only the known media types qualify.
  static bool IsMediaFile(const QString& name);
  // The entry title for a path: file name without folder and last extension.
  static QString TitleFromPath(const QString& path);

 private:
  // Appends without Refresh; bulk loaders refresh once at the end, which
  // leaves the same state as refreshing after every entry.
  void Append(const QString& path);
  void ScanFolder(const QString& folder, QSet<QString>& visited);
  void ParseData(const QByteArray& data);
  // `attached` tells whether the lines after an entry still belong to it.
  void ApplyLine(const QByteArray& raw, bool& attached);
  bool FileOpen() const { return owner_ && owner_->IsFileOpen(); }
  bool ValidItem(int index) const { return index >= 0 && index < Count(); }

  TPlayListOwner* owner_;
  std::vector<TPLMember> items_;
  bool showTree_ = true;
  TPlayListView* grid_ = nullptr;
  int selectedItem_ = 0;
  int selectedBookmark_ = -1;
  int currentItem_ = -1;
};
