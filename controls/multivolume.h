#pragma once
// The audio dialog's volume and balance control: one column per audio
// stream, a vertical volume slider over a horizontal balance strip.
#include <QWidget>
#include <array>
#include <functional>
#include <optional>

struct TVolumeLevel {
  int Volume = 0;   // hundredths of a dB: 0 full, -3000 the lowest audible step, -10000 silence
  int Balance = 0;  // -10000 left .. 10000 right
};

inline constexpr int MultiVolumeColumns = 10;
inline constexpr int MultiVolumeColumnWidth = 60;

// What a pointer at (x, y) sets: the column, which half and the new value.
struct TMultiVolumeHit {
  int Column;
  bool Balance;  // the balance strip, else the volume slot
  int Value;
  bool operator==(const TMultiVolumeHit&) const = default;
};
// Nothing for the gap left of a column or a pointer beside the columns that
// exist (the captured mouse can wander anywhere).
std::optional<TMultiVolumeHit> MultiVolumeHitAt(int x, int y, int count);
// Top of the volume knob and left of the balance knob of column i.
int VolumeKnobTop(int volume);
int BalanceKnobLeft(int column, int balance);

class TMultiVolumeBar : public QWidget {
 public:
  explicit TMultiVolumeBar(QWidget* parent = nullptr);

  std::array<TVolumeLevel, MultiVolumeColumns> Levels{};
  std::function<void()> OnChange;

  int Count() const { return count_; }
  // At most ten columns; the width follows.
  void SetCount(int n);
  // Full volume and centre balance for every shown column.
  void Reset();

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;

 private:
  void SetLevelAt(const QPoint& at);

  int count_ = 0;
};
