// The main window's controls: building them, laying them out, and the rules
// of which of them work with and without a file.
#include "core/panels.h"

#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QToolTip>
#include <QWidget>
#include <functional>

#include "commands/commandtable.h"
#include "commands/keymap.h"
#include "controls/brandtb.h"
#include "controls/hoverbt.h"
#include "controls/skin.h"
#include "controls/skinlayout.h"
#include "controls/statusbars.h"
#include "core/dispatch.h"
#include "core/geometry.h"
#include "core/input.h"
#include "core/mainparts.h"
#include "core/playback.h"
#include "core/playlistgrid.h"
#include "core/windowgeom.h"
#include "platform/system/jpegimage.h"
#include "platform/system/msgbox.h"
#include "playlist/playlist.h"

namespace {

constexpr int kRowHeight = 29;
constexpr int kPositionHeight = 21;
constexpr int kSplitterWidth = 3;
constexpr int kPlayListBottomHeight = 56;

QWidget* NewColouredPanel(QWidget* parent, const char* name, const QColor& colour) {
  auto* w = new QWidget(parent);
  w->setObjectName(name);
  w->setAutoFillBackground(true);
  QPalette pal = w->palette();
  pal.setColor(QPalette::Window, colour);
  pal.setColor(QPalette::WindowText, QColor(0, 255, 255));
  w->setPalette(pal);
  return w;
}

// The splitter left of the playlist panel: dragging it moves the panel's
// left edge, never narrower than 50.
class TSplitter : public QWidget {
 public:
  TSplitter(QWidget* parent, std::function<void(int dx)> moved)
      : QWidget(parent), moved_(std::move(moved)) {
    setObjectName("spPlayList");
    setCursor(Qt::SplitHCursor);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::gray);
    setPalette(pal);
  }

 protected:
  void mousePressEvent(QMouseEvent* e) override { last_ = e->globalPosition().toPoint().x(); }
  void mouseMoveEvent(QMouseEvent* e) override {
    if (!(e->buttons() & Qt::LeftButton)) return;
    const int x = e->globalPosition().toPoint().x();
    moved_(x - last_);
    last_ = x;
  }

 private:
  std::function<void(int)> moved_;
  int last_ = 0;
};

TMainButton ButtonOf(TToggle toggle) {
  switch (toggle) {
    case TToggle::Repeat: return btRepeatPlaylist;
    case TToggle::Tree: return btBookmarksInPlaylist;
    case TToggle::Mute: return btMute;
    case TToggle::StayOnTop: return btStayOnTop;
  }
  return btRepeatPlaylist;
}

}  // namespace

TMainPanels::TMainPanels(TMainParts& parts) : parts_(parts), skin_(LoadBuiltInSkin()) {}

void TMainPanels::CreatePanels() {
  QWidget* window = parts_.Window;
  const QColor panel = SkinPixel(&skin_, SkinLayout::PanelPixel, QColor(0x40, 0x40, 0x40));
  kvCaption = new TKVCaption(window);
  kvCaption->setObjectName("kvCaption");
  kvCaption->Skin = &skin_;
  kvCaption->OnCommand = [this](int id) { parts_.Commands->PostCommand(id); };
  kvCaption->IsFullScreen = [this] { return parts_.Geometry->IsFullScreen(); };

  pnMovie = NewColouredPanel(window, "pnMovie", Qt::black);
  imLogo = new QLabel(pnMovie);
  imLogo->setObjectName("imLogo");
  imLogo->setAlignment(Qt::AlignCenter);
  imLogo->setPixmap(QPixmap::fromImage(LoadLogoImage()));

  pnControl = NewColouredPanel(window, "pnControl", panel);
  pnStandard = NewColouredPanel(pnControl, "pnStandard", panel);
  pnControlLeft = NewColouredPanel(pnStandard, "pnControlLeft", panel);
  pnInfo = new QLabel(pnStandard);
  pnInfo->setObjectName("pnInfo");
  pnInfo->setAutoFillBackground(true);
  pnInfo->setPalette(pnControlLeft->palette());
  {
    QPalette p = pnInfo->palette();
    p.setColor(QPalette::WindowText, Qt::black);
    pnInfo->setPalette(p);
  }
  pnInfo->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  pnControlRight = NewColouredPanel(pnStandard, "pnControlRight", panel);
  pnPosition = NewColouredPanel(pnControl, "pnPosition", panel);
  pnAdvanced = NewColouredPanel(pnControl, "pnAdvanced", panel);
  pnAdvLeft = NewColouredPanel(pnAdvanced, "pnAdvLeft", panel);
  pnAdvRight = NewColouredPanel(pnAdvanced, "pnAdvRight", panel);
  lbSubtitles = new QLabel(pnControl);
  lbSubtitles->setObjectName("lbSubtitles");
  lbSubtitles->setAlignment(Qt::AlignCenter);
  lbSubtitles->setAutoFillBackground(true);
  {
    QPalette p = lbSubtitles->palette();
    p.setColor(QPalette::Window, Qt::black);
    p.setColor(QPalette::WindowText, QColor(0, 255, 255));
    lbSubtitles->setPalette(p);
    QFont f("Arial");
    f.setPixelSize(16);
    f.setBold(true);
    lbSubtitles->setFont(f);
  }
  lbSubtitles->hide();

  pnPlayList = NewColouredPanel(window, "pnPlayList", Qt::black);
  spPlayList = new TSplitter(window, [this](int dx) {
    playlistWidth_ = qMax(50, playlistWidth_ - dx);
    Relayout();
  });
  dgPlayList = new TPlayListGrid(pnPlayList);
  dgPlayList->OnDoubleClick = [this] { parts_.PlayList->PlaySelected(); };
  pnPlayListBottom = NewColouredPanel(pnPlayList, "pnPlayListBottom", panel);
  pnPlayList->hide();
  spPlayList->hide();
  playlistVisible_ = false;

  pmMain = new QMenu(window);
  pmMain->setObjectName("pmMain");
  pnControl->setContextMenuPolicy(Qt::CustomContextMenu);
  QObject::connect(pnControl, &QWidget::customContextMenuRequested, pmMain, [this](const QPoint& p) {
    parts_.Input->BuildPopupMenu(*pmMain);
    pmMain->popup(pnControl->mapToGlobal(p));
  });
  Relayout();
}

void TMainPanels::CreateStatusControls() {
  tbSeek = new TTimeTrackBar(pnPosition);
  tbSeek->setObjectName("tbSeek");
  tbSeek->Skin = &skin_;
  tbSeek->OnChange = [this] {
    // Only the user's click and drag seek; the timer moves the pointer silently.
    if (tbSeek->HoldsCapture()) parts_.Playback->SetPosition(parts_.Playback->SnapToKeyFrame(tbSeek->Position()));
  };
  tbSeek->setEnabled(false);

  tbVolume = new TVolumeTrackBar(pnAdvLeft);
  tbVolume->setObjectName("tbVolume");
  tbVolume->Skin = &skin_;
  tbVolume->setGeometry(28, 6, 65, 17);
  tbVolume->setToolTip("Громкость");
  tbVolume->SetVolume(100);
  tbVolume->OnChange = [this] { parts_.Playback->ApplyVolume(); };

  pbPosition = new TPosBar(pnControlLeft);
  pbPosition->setObjectName("pbPosition");
  pbPosition->Skin = &skin_;
  pbPosition->SkinX = SkinLayout::PositionOrigin.x();
  pbPosition->SkinY = SkinLayout::PositionOrigin.y();
  pbPosition->setGeometry(132, 4, 106, 21);
  pbPosition->setToolTip("Позиция / Продолжительность");
  pbPosition->OnClick = [this] { parts_.Settings->ReversePlayTime = !parts_.Settings->ReversePlayTime; };

  tbClock = new TTimeBar(pnAdvRight);
  tbClock->setObjectName("tbClock");
  tbClock->Skin = &skin_;
  tbClock->SkinX = SkinLayout::ClockOrigin.x();
  tbClock->SkinY = SkinLayout::ClockOrigin.y();
  tbClock->setGeometry(52, 4, 53, 21);
  tbClock->setToolTip("Время");

  cpuLoad = new TCPULoad(pnAdvLeft);
  cpuLoad->setObjectName("cpuLoad");
  cpuLoad->Skin = &skin_;
  cpuLoad->SkinX = SkinLayout::CpuMeterOrigin.x();
  cpuLoad->SkinY = SkinLayout::CpuMeterOrigin.y();
  cpuLoad->setGeometry(218, 4, 9, 21);
  cpuLoad->setToolTip("Загрузка процессора");
}

void TMainPanels::CreateButtons() {
  for (int n = 0; n < MainButtonCount; ++n) {
    const TButtonSpec& row = MainButtons[static_cast<size_t>(n)];
    QWidget* parent = nullptr;
    switch (row.Parent) {
      case TButtonParent::pnControlLeft: parent = pnControlLeft; break;
      case TButtonParent::pnControlRight: parent = pnControlRight; break;
      case TButtonParent::pnAdvLeft: parent = pnAdvLeft; break;
      case TButtonParent::pnAdvRight: parent = pnAdvRight; break;
      case TButtonParent::pnPlayListBottom: parent = pnPlayListBottom; break;
      case TButtonParent::CaptionBar: parent = kvCaption; break;
    }
    auto* b = new THoverButton(parent);
    b->setGeometry(row.Left, row.Top, row.Size, row.Size);
    b->Skin = &skin_;
    b->SkinX = ButtonSkinX(n);
    b->Command = row.Command;
    b->OnCommand = [this](int id) { parts_.Commands->PostCommand(id); };
    buttons_[static_cast<size_t>(row.Index)] = b;
    if (row.RightOffset) kvCaption->RightButtons[static_cast<size_t>(row.Index - FirstCaptionRightButton)] = b;
  }
  Button(btVideoProportions)->SetDown(true);
  Button(btRepeatPlaylist)->SetDown(true);
  Relayout();
}

THoverButton* TMainPanels::ButtonFor(int command) const {
  for (THoverButton* b : buttons_)
    if (b && b->Command == command) return b;
  return nullptr;
}

bool TMainPanels::ButtonEnabled(int command) const {
  const THoverButton* b = ButtonFor(command);
  return b && b->Enabled();
}

bool TMainPanels::Down(TMainButton button) const { return Button(button) && Button(button)->Down(); }

void TMainPanels::SetDown(TMainButton button, bool down) {
  if (Button(button)) Button(button)->SetDown(down);
}

bool TMainPanels::Toggle(TMainButton button) {
  SetDown(button, !Down(button));
  return Down(button);
}

bool TMainPanels::ToggleDown(TToggle toggle) const { return Down(ButtonOf(toggle)); }

void TMainPanels::SetToggleDown(TToggle toggle, bool down) { SetDown(ButtonOf(toggle), down); }

int TMainPanels::HiddenChromeHeight() const {
  return (controlVisible_ ? 0 : kControlHeight) + (captionVisible_ ? 0 : kCaptionHeight);
}

void TMainPanels::ApplySizeLimit() {
  // The size limit counts only the chrome that is shown.
  const QSize min = parts_.Settings->ResizeLimit ? MinimumWindowSize(HiddenChromeHeight()) : QSize(0, 0);
  if (parts_.Window->minimumSize() != min) parts_.Window->setMinimumSize(min);
}

void TMainPanels::Relayout() {
  if (layoutFrozen_) return;
  QWidget* window = parts_.Window;
  ApplySizeLimit();
  const int w = window->width(), h = window->height();
  const int top = captionVisible_ ? kCaptionHeight : 0;
  const int bottom = h - (controlVisible_ ? kControlHeight : 0);
  kvCaption->setVisible(captionVisible_);
  kvCaption->setGeometry(0, 0, w, kCaptionHeight);
  int movieRight = w;
  pnPlayList->setVisible(playlistVisible_);
  spPlayList->setVisible(playlistVisible_);
  if (playlistVisible_) {
    const int pw = qMin(playlistWidth_, qMax(0, w - kSplitterWidth));
    pnPlayList->setGeometry(w - pw, top, pw, qMax(0, bottom - top));
    spPlayList->setGeometry(w - pw - kSplitterWidth, top, kSplitterWidth, qMax(0, bottom - top));
    movieRight = w - pw - kSplitterWidth;
    const int ph = pnPlayList->height();
    dgPlayList->setGeometry(0, 0, pw, qMax(0, ph - kPlayListBottomHeight));
    pnPlayListBottom->setGeometry(0, qMax(0, ph - kPlayListBottomHeight), pw, kPlayListBottomHeight);
  }
  pnMovie->setGeometry(0, top, qMax(0, movieRight), qMax(0, bottom - top));
  imLogo->setGeometry(pnMovie->rect());
  pnControl->setVisible(controlVisible_);
  pnControl->setGeometry(0, bottom, w, kControlHeight);
  pnStandard->setGeometry(0, 0, w, kRowHeight);
  pnControlLeft->setGeometry(0, 0, 293, kRowHeight);
  pnControlRight->setGeometry(w - 77, 0, 77, kRowHeight);
  pnInfo->setGeometry(293, 0, qMax(0, w - 293 - 77), kRowHeight);
  pnPosition->setGeometry(0, kRowHeight, w, kPositionHeight);
  if (tbSeek) tbSeek->setGeometry(pnPosition->rect());
  pnAdvanced->setGeometry(0, kRowHeight + kPositionHeight, w, kRowHeight);
  pnAdvLeft->setGeometry(0, 0, 233, kRowHeight);
  pnAdvRight->setGeometry(w - 133, 0, 133, kRowHeight);
  lbSubtitles->setGeometry(pnControl->rect());
}

void TMainPanels::EnableControls(const TControlsState& s) {
  Button(btPlay)->SetEnabled(s.PlaylistHasItems);
  for (int i : {btStop, btSpeedChange, btFullScreen, btCaptionFullScreen, btFilters}) Button(i)->SetEnabled(s.Open);
  tbSeek->setEnabled(s.Open);
  Button(btAudioProperties)->SetEnabled(s.Audio);
  Button(btVideoProperties)->SetEnabled(s.Video);
  Button(btFrameStep)->SetEnabled(s.Video);
  Button(btSaveScreenshot)->SetEnabled(s.Open && s.Video && s.FileInfoValid);
  Button(btFileInformation)->SetEnabled(s.Open && s.FileInfoValid);
}

void TMainPanels::SetPlayButtons(TPlayState state) {
  SetDown(btPlay, state == TPlayState::Playing);
  SetDown(btStop, state == TPlayState::Paused);
  SetDown(btSpeedChange, state == TPlayState::SpeedPlay);
}

void TMainPanels::ShowInfoText(const QString& text) {
  infoText_ = text;
  pnInfo->setText(text);
}

void TMainPanels::ShowSubtitleLine(bool on) {
  pnStandard->setVisible(!on);
  pnPosition->setVisible(!on);
  pnAdvanced->setVisible(!on);
  lbSubtitles->setVisible(on);
}

bool TMainPanels::SubtitleLineShown() const { return !lbSubtitles->isHidden(); }

bool TMainPanels::LoadSkinBitmap(const QString& path) {
  QImage image;
  if (!image.load(path)) return false;
  skin_ = image.convertToFormat(QImage::Format_RGB32);
  ApplyPanelColour();
  parts_.Window->update();
  for (QWidget* w : parts_.Window->findChildren<QWidget*>()) w->update();
  return true;
}

void TMainPanels::ApplyPanelColour() {
  const QColor c = SkinPixel(&skin_, SkinLayout::PanelPixel, QColor(0x40, 0x40, 0x40));
  // The seek bar's row too: the bar fills with its row's colour.
  for (QWidget* w : {pnControl, pnStandard, pnControlLeft, static_cast<QWidget*>(pnInfo), pnControlRight,
                     pnPosition, pnAdvanced, pnAdvLeft, pnAdvRight, pnPlayListBottom}) {
    QPalette p = w->palette();
    p.setColor(QPalette::Window, c);
    w->setPalette(p);
  }
}

void TMainPanels::ApplySubtitleFont() {
  const TSettings& s = *parts_.Settings;
  QFont f(s.SubtitlesFontName);
  // Point sizes as the screen has them.
  f.setPointSize(qMax(1, s.SubtitlesFontSize));
  lbSubtitles->setFont(f);
  const int c = s.SubtitlesFontColor;
  QPalette p = lbSubtitles->palette();
  p.setColor(QPalette::WindowText, QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF));
  lbSubtitles->setPalette(p);
}

void TMainPanels::ShowHints(bool on) {
  // A switch the window's input filter reads when a tooltip is asked for,
  // so it holds also for tooltips given later (the buttons get theirs after
  // the settings are read); the texts themselves stay.
  hintsShown_ = on;
  if (!on) QToolTip::hideText();
}

void TMainPanels::ShowSeekBarBookmarks(bool on) {
  if (tbSeek) tbSeek->SetShowMarks(on);
}

QString TMainPanels::HelpText() const {
  QString text = QStringLiteral(
      "Для работы необходим DirectX 8\r\n\r\n=== Мышь ===\r\nЛевая кнопка - Play/Stop\r\n"
      "Правая кнопка - убрать/показать панель управления и мышь\r\nСредняя кнопка - Окно/Полный "
      "экран\r\nShift + мышь - таскать окно (не FullScreen)\r\nCtrl + мышь - таскать фильм (только "
      "FullScreen)\r\nAlt + мышь - масштаб фильма (только FullScreen)\r\n\r\n=== Клавиатура ===");
  int lines = 0;
  for (int i = 0; i < MainButtonCount; ++i) {
    const int id = Button(i)->Command;
    const QString key = parts_.KeyMap->Cell(id, TKeyColumn::Window);
    if (key.isEmpty() || lines >= 19) continue;
    const TCommandInfo* c = FindCommand(id);
    text += "\r\n" + key + " - " + QString::fromUtf8(c ? c->NameRussian : "");
    ++lines;
  }
  return text;
}

void TMainPanels::ShowHelp() const { ShowInfoBox("Краткая справка", HelpText()); }
