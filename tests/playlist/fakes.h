#pragma once
#include <QImage>
#include <QSet>
#include <QString>
#include <QStringList>
#include <map>
#include <vector>

#include "playlist/playlist.h"

// Records what the playlist asks of its grid.
class TFakeGrid : public TPlayListView {
 public:
  void SetRowCount(int rows) override { rowCount = rows; }
  void SetSelectedRow(int row) override { selectedRow = row; }
  void Repaint() override { ++repaints; }
  void SetVisible(bool v) override { visible = v; }
  int rowCount = -1;
  int selectedRow = -1;
  int repaints = 0;
  bool visible = false;
};

// A main window that opens every file except the ones marked broken, and
// records the calls the playlist makes.
class TFakeOwner : public TPlayListOwner {
 public:
  void OpenFile(const QString& path) override {
    opened << path;
    openFile = broken.contains(path) ? QString() : path;
  }
  bool IsFileOpen() const override { return !openFile.isEmpty(); }
  void Play() override { played << openFile; }
  void SetPosition(qint64 time) override { positions.push_back(time); }
  bool RepeatPlaylist() const override { return repeat; }
  void ClearSeekBarBookmarks() override { marks.clear(); ++markClears; }
  void SetSeekBarBookmark(int index, qint64 time) override {
    marks[index] = time;
  }
  const QImage* SkinBitmap() const override { return skin.isNull() ? nullptr : &skin; }

  QStringList opened, played;
  QString openFile;
  QSet<QString> broken;
  std::vector<qint64> positions;
  std::map<int, qint64> marks;
  int markClears = 0;
  bool repeat = false;
  QImage skin;
};

// A playlist wired to a fake grid and owner, as the main window wires it.
struct TPlayListFixture {
  TFakeOwner owner;
  TFakeGrid grid;
  TPlayList list{&owner};
  TPlayListFixture() {
    list.SetGrid(&grid);
    list.Clear();
  }
  void AddNumbered(int n) {
    for (int i = 0; i < n; ++i) list.AddFile(QStringLiteral("/v/f%1.avi").arg(i));
  }
  void Select(int row) {
    bool ok = false;
    list.SelectCell(0, row, ok);
  }
  QStringList Files() const {
    QStringList out;
    for (int i = 0; i < list.Count(); ++i) out << list.Item(i).FileName;
    return out;
  }
};
