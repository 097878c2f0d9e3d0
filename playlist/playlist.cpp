#include "playlist/playlist.h"

#include <QDateTime>
#include <QFileInfo>
#include <algorithm>
#include <random>

namespace {

constexpr qint64 TicksPerHour = 36000000000LL;
constexpr qint64 TicksPerMinute = 600000000LL;
constexpr qint64 TicksPerSecond = 10000000LL;
constexpr qint64 TicksPerMilli = 10000LL;

QString FileNamePart(const QString& path) {
  return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

// The extension of a file name from its last "." on, dot included; empty
// when the name has no dot.
QString ExtensionOf(const QString& path) {
  const QString name = FileNamePart(path);
  const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
  return dot < 0 ? QString() : name.mid(dot);
}

// A piece of a time text as a decimal integer: an optional sign, then
// digits only. False for anything else, the empty piece included.
bool ReadDecimal(const QString& piece, qint64& value) {
  qsizetype i = 0;
  bool negative = false;
  if (i < piece.size() && (piece[i] == QLatin1Char('-') || piece[i] == QLatin1Char('+'))) {
    negative = piece[i] == QLatin1Char('-');
    ++i;
  }
  if (i == piece.size()) return false;
  qint64 v = 0;
  for (; i < piece.size(); ++i) {
    const char16_t c = piece[i].unicode();
    if (c < u'0' || c > u'9') return false;
    v = v * 10 + (c - u'0');
  }
  value = negative ? -v : v;
  return true;
}

}  // namespace

TPlayList::TPlayList(TPlayListOwner* owner) : owner_(owner) {}

// ---------------------------------------------------------------- helpers

QString TPlayList::TimeToText(qint64 time) {
  const qint64 h = time / TicksPerHour;
  qint64 r = time % TicksPerHour;
  const qint64 m = r / TicksPerMinute;
  r %= TicksPerMinute;
  const qint64 s = r / TicksPerSecond;
  r %= TicksPerSecond;
  const qint64 ms = r / TicksPerMilli;
  if (time >= 0) {
    // Saving a long list formats one of these per bookmark; by hand it is
    // several times faster than the printf family.
    QString text = QString::number(h).rightJustified(2, QLatin1Char('0'));
    const char16_t tail[] = {u':', char16_t(u'0' + m / 10), char16_t(u'0' + m % 10),
                             u':', char16_t(u'0' + s / 10), char16_t(u'0' + s % 10),
                             u'.', char16_t(u'0' + ms / 100), char16_t(u'0' + ms / 10 % 10),
                             char16_t(u'0' + ms % 10)};
    text.append(reinterpret_cast<const QChar*>(tail), 10);
    return text;
  }
  return QString::asprintf("%.2lld:%.2lld:%.2lld.%.3lld", static_cast<long long>(h),
                           static_cast<long long>(m), static_cast<long long>(s),
                           static_cast<long long>(ms));
}

qint64 TPlayList::TextToTime(const QString& text) {
  qint64 h = 0, m = 0, s = 0, ms = 0;
  if (!ReadDecimal(text.mid(0, 2), h) || !ReadDecimal(text.mid(3, 2), m) ||
      !ReadDecimal(text.mid(6, 2), s) || !ReadDecimal(text.mid(9, 3), ms))
    return 0;
  return ((h * 3600 + m * 60 + s) * 1000 + ms) * TicksPerMilli;
}

bool TPlayList::IsMediaFile(const QString& name) {
  static const char* const kTypes[] = {".AVI", ".ASF", ".MPG", ".MPE", ".MPEG",
                                       ".M1V", ".M2V", ".MP3", ".WAV", ".MID"};
  const QString ext = ExtensionOf(name).toUpper();
  return std::any_of(std::begin(kTypes), std::end(kTypes),
                     [&](const char* t) { return ext == QLatin1String(t); });
}

QString TPlayList::TitleFromPath(const QString& path) {
  const QString name = FileNamePart(path);
  const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
  return dot < 0 ? name : name.left(dot);
}

// ---------------------------------------------------------------- state

void TPlayList::SetCurrentItem(int index) {
  currentItem_ = ValidItem(index) ? index : -1;
}

QString TPlayList::CurrentTitle() const {
  return ValidItem(currentItem_) ? items_[static_cast<size_t>(currentItem_)].Title : QString();
}

// ---------------------------------------------------------------- building

void TPlayList::Clear() {
  items_.clear();
  selectedItem_ = 0;
  selectedBookmark_ = -1;
  currentItem_ = -1;
  Refresh();
}

void TPlayList::Append(const QString& path) {
  items_.push_back(TPLMember{path, TitleFromPath(path), {}});
}

void TPlayList::AddFile(const QString& path) {
  Append(path);
  Refresh();
}

void TPlayList::AddFiles(const QStringList& names, bool clearFirst) {
  if (clearFirst) Clear();
  for (const QString& name : names) {
    if (QFileInfo(name).isDir())
      AddFolder(name);
    else if (ExtensionOf(name).compare(QLatin1String(".kpl"), Qt::CaseInsensitive) == 0)
      LoadFromFile(name);
    else
      AddFile(name);
  }
}

// ---------------------------------------------------------------- editing

void TPlayList::DeleteSelected() {
  if (items_.empty()) return;
  if (selectedBookmark_ < 0) {
    if (ValidItem(selectedItem_)) {
      items_.erase(items_.begin() + selectedItem_);
      if (currentItem_ == selectedItem_)
        currentItem_ = -1;
      else if (currentItem_ > selectedItem_)
        --currentItem_;
    }
  } else if (ValidItem(selectedItem_)) {
    auto& marks = items_[static_cast<size_t>(selectedItem_)].Bookmarks;
    if (selectedBookmark_ < static_cast<int>(marks.size())) {
      marks.erase(marks.begin() + selectedBookmark_);
      selectedBookmark_ = static_cast<int>(marks.size()) - 1;
    }
  }
  Refresh();
}

void TPlayList::Exchange(int a, int b) {
  if (!ValidItem(a) || !ValidItem(b) || a == b) return;
  std::swap(items_[static_cast<size_t>(a)], items_[static_cast<size_t>(b)]);
  auto follow = [a, b](int& index) {
    if (index == a)
      index = b;
    else if (index == b)
      index = a;
  };
  follow(currentItem_);
  follow(selectedItem_);
}

void TPlayList::MoveDown() {
  if (Count() < 2) return;
  if (selectedItem_ + 1 <= Count() - 1) {
    Exchange(selectedItem_, selectedItem_ + 1);
    Refresh();
  }
}

void TPlayList::MoveUp() {
  if (Count() < 2) return;
  if (selectedItem_ - 1 >= 0) {
    Exchange(selectedItem_, selectedItem_ - 1);
    Refresh();
  }
}

void TPlayList::Shuffle() {
  ShuffleWithKey(static_cast<quint64>(QDateTime::currentMSecsSinceEpoch()));
}

void TPlayList::ShuffleWithKey(quint64 key) {
  if (Count() < 2) return;
  std::mt19937_64 random(key);
  std::uniform_int_distribution<int> pick(0, Count() - 1);
  for (int i = 0; i < Count(); ++i) Exchange(i, pick(random));
  Refresh();
}

void TPlayList::AddBookmark(qint64 time) {
  if (items_.empty() || !ValidItem(currentItem_)) return;
  const QString name = QStringLiteral("[ ") + TimeToText(time).left(8) + QStringLiteral(" ]");
  items_[static_cast<size_t>(currentItem_)].Bookmarks.push_back(TBookMark{name, time});
  SortBookmarks(currentItem_);
  Refresh();
}

void TPlayList::SortBookmarks(int index) {
  if (!ValidItem(index)) return;
  auto& marks = items_[static_cast<size_t>(index)].Bookmarks;
  const size_t n = marks.size();
  if (n < 2) return;
  // An exchange sort on purpose: equal times are never swapped with each
  // other directly, which is the order the grid and the file rely on.
  for (size_t p = 0; p + 1 < n; ++p)
    for (size_t q = p + 1; q < n; ++q)
      if (marks[q].Time < marks[p].Time) std::swap(marks[p], marks[q]);
}

void TPlayList::SetShowTree(bool value) {
  if (showTree_ == value) return;
  showTree_ = value;
  Refresh();
}

// ---------------------------------------------------------------- playing

void TPlayList::PlayNext() {
  if (items_.empty()) return;
  ++currentItem_;
  if (currentItem_ >= Count()) {
    if (!(owner_ && owner_->RepeatPlaylist())) {
      currentItem_ = Count() - 1;
      return;
    }
    currentItem_ = 0;
  }
  PlayCurrent();
}

void TPlayList::PlayPrevious() {
  if (items_.empty()) return;
  --currentItem_;
  if (currentItem_ < 0) {
    if (!(owner_ && owner_->RepeatPlaylist())) {
      currentItem_ = 0;
      return;
    }
    currentItem_ = Count() - 1;
  }
  PlayCurrent();
}

void TPlayList::PlayCurrent() {
  if (!items_.empty()) {
    if (currentItem_ < 0) currentItem_ = 0;
    if (owner_) {
      owner_->OpenFile(items_[static_cast<size_t>(currentItem_)].FileName);
      owner_->SetPosition(0);
      if (owner_->IsFileOpen()) owner_->Play();
    }
  }
  Refresh();
}

void TPlayList::PlaySelected() {
  if (!items_.empty() && owner_ && ValidItem(selectedItem_) && (selectedItem_ != currentItem_ || !FileOpen())) {
    currentItem_ = selectedItem_;
    owner_->OpenFile(items_[static_cast<size_t>(currentItem_)].FileName);
  }
  // The open file plays from its start (or the selected bookmark) also when
  // the list was emptied under it.
  if (FileOpen()) {
    qint64 start = 0;
    if (selectedBookmark_ >= 0 && ValidItem(currentItem_)) {
      const auto& marks = items_[static_cast<size_t>(currentItem_)].Bookmarks;
      if (selectedBookmark_ < static_cast<int>(marks.size()))
        start = marks[static_cast<size_t>(selectedBookmark_)].Time;
    }
    owner_->SetPosition(start);
    owner_->Play();
  }
  Refresh();
}

// ---------------------------------------------------------------- grid

int TPlayList::RowCount() const {
  if (!showTree_) return Count();
  int rows = 0;
  for (const TPLMember& m : items_) rows += static_cast<int>(m.Bookmarks.size()) + 1;
  return rows;
}

TPlayListRow TPlayList::RowToEntry(int row) const {
  int c = 0;
  for (int i = 0; i < Count(); ++i) {
    if (c == row) return {i, -1};
    ++c;
    if (!showTree_) continue;
    const int marks = static_cast<int>(items_[static_cast<size_t>(i)].Bookmarks.size());
    // The bookmark rows of this entry are c .. c + marks - 1.
    if (row >= c && row < c + marks) return {i, row - c};
    c += marks;
  }
  return {};
}

int TPlayList::SelectionRow() const {
  int c = 0;
  for (int i = 0; i < Count(); ++i) {
    const int marks = static_cast<int>(items_[static_cast<size_t>(i)].Bookmarks.size());
    if (i == selectedItem_) {
      if (!showTree_ || selectedBookmark_ == -1) return c;
      if (selectedBookmark_ >= 0 && selectedBookmark_ < marks) return c + 1 + selectedBookmark_;
    }
    c += 1 + (showTree_ ? marks : 0);
  }
  return c;
}

void TPlayList::SelectCell(int, int row, bool& canSelect) {
  const TPlayListRow e = RowToEntry(row);
  selectedItem_ = e.Item;
  selectedBookmark_ = e.Bookmark;
  canSelect = true;
}

void TPlayList::Refresh() {
  if (selectedItem_ < 0) selectedItem_ = 0;
  const int total = RowCount();
  if (grid_) {
    int row = SelectionRow();
    grid_->SetRowCount(total);
    grid_->Repaint();
    grid_->SetVisible(total > 0);
    row = total > 0 ? std::clamp(row, 0, total - 1) : 0;
    grid_->SetSelectedRow(row);
    if (total > 0) {
      bool canSelect = true;
      SelectCell(0, row, canSelect);
    } else {
      // No row to derive from: keep the selection on the first (future) entry
      // rather than on a row that does not exist.
      selectedItem_ = 0;
      selectedBookmark_ = -1;
    }
  }
  if (owner_ && ValidItem(currentItem_)) {
    owner_->ClearSeekBarBookmarks();
    const auto& marks = items_[static_cast<size_t>(currentItem_)].Bookmarks;
    for (size_t j = 0; j < marks.size(); ++j)
      owner_->SetSeekBarBookmark(static_cast<int>(j), marks[j].Time);
  }
}
