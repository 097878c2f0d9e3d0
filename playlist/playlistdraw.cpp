#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include "playlist/playlist.h"

namespace {

const QColor kBlack(0, 0, 0);
const QColor kBlue(0, 0, 255);
const QColor kAqua(0, 255, 255);
const QColor kSilver(192, 192, 192);
const QColor kWhite(255, 255, 255);
// The bookmark glyph in the skin bitmap.
const QRect kGlyphSource(652, 113, 11, 11);

// Decimal digits of a positive count, counted in integers so that 1000 is
// never taken for 999.99.
int DigitsOf(int count) {
  int digits = 1;
  while (count >= 10) {
    count /= 10;
    ++digits;
  }
  return digits;
}

}  // namespace

void TPlayList::DrawCell(QPainter& canvas, int, int row, const QRect& rect, bool selected) const {
  // The cell is drawn one pixel further out on the left and top, so each
  // row's black outline closes the row above.
  const QRect r(rect.left() - 1, rect.top() - 1, rect.width() + 1, rect.height() + 1);
  const QColor background = selected ? kBlue : kBlack;
  QColor text = kAqua;
  const TPlayListRow e = RowToEntry(row);
  const bool current = e.Item >= 0 && e.Item == currentItem_;
  if (current) text = FileOpen() ? kWhite : kSilver;

  canvas.save();
  canvas.setPen(kBlack);
  canvas.setBrush(background);
  // A one-pixel outline is drawn around the given size, hence one less.
  canvas.drawRect(r.adjusted(0, 0, -1, -1));
  if (e.Item < 0) {
    canvas.restore();
    return;
  }
  canvas.setBackgroundMode(Qt::OpaqueMode);
  canvas.setBackground(background);
  const int baseline = r.top() + 1 + QFontMetrics(canvas.font()).ascent();
  const TPLMember& entry = items_[static_cast<size_t>(e.Item)];
  if (e.Bookmark < 0) {
    canvas.setPen(text);
    const QString number = QString::number(e.Item + 1).rightJustified(DigitsOf(Count()), QLatin1Char('0'));
    canvas.drawText(QPoint(r.left(), baseline),
                    QLatin1Char(' ') + number + QStringLiteral(". ") + entry.Title);
  } else {
    canvas.setPen(current ? kSilver : text);
    canvas.drawText(QPoint(r.left() + 20, baseline),
                    entry.Bookmarks[static_cast<size_t>(e.Bookmark)].Name);
    if (owner_ && owner_->SkinBitmap())
      canvas.drawImage(QRect(QPoint(r.left() + 8, r.top() + 2), QPoint(r.left() + 18, r.top() + 13)),
                       *owner_->SkinBitmap(), kGlyphSource);
  }
  canvas.restore();
}
