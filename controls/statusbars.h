#pragma once
// The small skinned status controls: caption bar, clock, position display
// and CPU meter.
#include <QImage>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <array>
#include <functional>
#include <vector>

#include "controls/hoverbt.h"

// One digit-row glyph placed on a control: drawn at X from the skin glyph
// at Offset (past the row's origin column), Width pixels wide.
struct TGlyphPlace {
  int X, Offset, Width;
  bool operator==(const TGlyphPlace&) const = default;
};
// The clock: the first five characters at fixed places; blanks draw nothing.
std::vector<TGlyphPlace> ClockGlyphs(const QString& text);
// The position display: characters side by side from x 4, with a pixel of
// air on each side of the eighth (the separator of h:mm:ss/h:mm:ss).
std::vector<TGlyphPlace> PositionGlyphs(const QString& text);

// The borderless main window's own title bar.
class TKVCaption : public QWidget {
 public:
  explicit TKVCaption(QWidget* parent = nullptr);

  const QImage* Skin = nullptr;
  TCommandSink OnCommand;                // a double click posts full screen here
  std::function<bool()> IsFullScreen;    // dragging is off in full screen
  std::array<QPointer<QWidget>, 3> RightButtons;  // minimize, full screen, close

  bool Active() const { return active_; }
  QString Caption() const { return caption_; }
  bool DoubleClicked() const { return doubleClicked_; }

  void SetCaption(const QString& text);
  void SetActive(bool active);

 protected:
  void paintEvent(QPaintEvent*) override;
  void resizeEvent(QResizeEvent*) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;

 private:
  void PlaceRightButtons();

  bool active_ = true;
  QString caption_ = QStringLiteral("Kelvara");
  bool doubleClicked_ = false;
  bool captured_ = false;
  int downX_ = 0, downY_ = 0;
};

// Shared by the clock and the position display: a framed black box with
// glyphs from one digit row of the skin.
class TDigitBar : public QWidget {
 public:
  const QImage* Skin = nullptr;
  int SkinX = 0, SkinY = 0;

  QString Text() const { return text_; }
  // Repaints only when the text differs.
  void SetText(const QString& text);

 protected:
  TDigitBar(const QString& text, QWidget* parent);
  void paintEvent(QPaintEvent*) override;
  virtual std::vector<TGlyphPlace> Glyphs() const = 0;

 private:
  QString text_;
};

class TTimeBar : public TDigitBar {
 public:
  explicit TTimeBar(QWidget* parent = nullptr) : TDigitBar(QStringLiteral("00:00"), parent) {}

 protected:
  std::vector<TGlyphPlace> Glyphs() const override { return ClockGlyphs(Text()); }
};

class TPosBar : public TDigitBar {
 public:
  explicit TPosBar(QWidget* parent = nullptr) : TDigitBar(QStringLiteral("0:00:00/0:00:00"), parent) {}

  std::function<void()> OnClick;

 protected:
  std::vector<TGlyphPlace> Glyphs() const override { return PositionGlyphs(Text()); }
  void mouseReleaseEvent(QMouseEvent* e) override;
};

// The lit height of the CPU meter, kept inside the meter's image.
int CpuLitHeight(int height, int load);

class TCPULoad : public QWidget {
 public:
  explicit TCPULoad(QWidget* parent = nullptr);

  const QImage* Skin = nullptr;
  int SkinX = 0, SkinY = 0;

  int Load() const { return load_; }
  // Repaints only when the lit height differs.
  void SetLoad(int percent);

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  int load_ = 50;
};
