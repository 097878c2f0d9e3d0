#include "core/MainUnit.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QLabel>
#include <QScreen>
#include <QToolTip>
#include <QUrl>
#include <QWindow>
#include <ctime>

#include "base/identity.h"
#include "commands/commandtable.h"
#include "controls/brandtb.h"
#include "controls/buttontable.h"
#include "controls/hoverbt.h"
#include "controls/skin.h"
#include "controls/skinlayout.h"
#include "controls/statusbars.h"
#include "core/application.h"
#include "core/cmdline.h"
#include "core/geometry.h"
#include "core/playlistgrid.h"
#include "core/sizeframe.h"
#include "media/DShowHlp.h"
#include "media/SysHelp.h"
#include "platform/media/dsound.h"
#include "platform/system/exceptions.h"
#include "platform/system/instance.h"
#include "platform/system/jpegimage.h"
#include "platform/system/screensaver.h"
#include "platform/system/msgbox.h"
#include "platform/system/priority.h"
#include "platform/system/syslocale.h"
#include "platform/system/windir.h"
#include "playlist/error.h"
#include "playlist/playlist.h"

namespace {

constexpr int kCaptionHeight = 20;
constexpr int kControlHeight = 79;
constexpr int kRowHeight = 29;
constexpr int kPositionHeight = 21;
constexpr int kSplitterWidth = 3;
constexpr int kPlayListBottomHeight = 56;

QWidget* MakePanel(QWidget* parent, const char* name, const QColor& colour) {
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

}  // namespace

TfrMain::TfrMain(QWidget* parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint) {
  setObjectName(Identity::MainClassName);
  setWindowTitle(Identity::EarlyTitle);
  MainTitle = Identity::EarlyTitle;
  ApplicationTitle = Identity::EarlyTitle;
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, Qt::black);
  setPalette(pal);
  setFocusPolicy(Qt::StrongFocus);
  // Built-in bounds of the window: left 200, top 106, client area 377 x 221.
  setGeometry(200, 106, 377, 221);
  Skin = LoadBuiltInSkin();

  // Creation steps: error handler, system services, engine, play state,
  // folders, playlist.
  TKelvaraApplication::SetExceptionHandler([this](const Exception& e) { OnApplicationException(e); });
  sysHelper_ = std::make_unique<TSysHelper>();
  engine_ = std::make_unique<TDirectShowHelper>();
  DirectShowHelper = engine_.get();
  engine_->OnComplete = [this](TDirectShowHelper*) { OnMediaEnd(); };
  engine_->ShowInfoText = [this](const QString& text) { ShowInfoText(text); };
  engine_->OnErrors = [this] { return Settings.OnErrors; };
  engine_->MainWindow = this;
  PlayState = TPlayState::Closed;
  Settings = TSettings::BuiltIn(logicalDpiY());
  Settings.VideoDir = DefaultFolder();
  Settings.ScreenShotDir = DefaultFolder();
  playList_ = std::make_unique<TPlayList>(this);
  settingsFile_ = std::make_unique<TSettingsFile>(Settings, *this);

  CreatePanels();
  playList_->SetGrid(dgPlayList);
  dgPlayList->SetPlayList(playList_.get());
  playList_->Clear();
  FileName.clear();
  sizeFrame_ = new TSizeFrame(this);

  timer_.setInterval(300);
  connect(&timer_, &QTimer::timeout, this, [this] { OnTimer(); });
  qApp->installEventFilter(this);
}

TfrMain::~TfrMain() {
  qApp->removeEventFilter(this);
  TKelvaraApplication::SetExceptionHandler(nullptr);
  timer_.stop();
  ScreenSaverService().UnInhibit();
  instanceServer_.reset();
  playList_.reset();
  directSound_.reset();
  if (DirectShowHelper == engine_.get()) DirectShowHelper = nullptr;
  engine_.reset();
  sysHelper_.reset();
}

void TfrMain::CreatePanels() {
  const QColor panel = SkinPixel(&Skin, SkinLayout::PanelPixel, QColor(0x40, 0x40, 0x40));
  kvCaption = new TKVCaption(this);
  kvCaption->setObjectName("kvCaption");
  kvCaption->Skin = &Skin;
  kvCaption->OnCommand = [this](int id) { PostCommand(id); };
  kvCaption->IsFullScreen = [this] { return IsFullScreen(); };

  pnMovie = MakePanel(this, "pnMovie", Qt::black);
  imLogo = new QLabel(pnMovie);
  imLogo->setObjectName("imLogo");
  imLogo->setAlignment(Qt::AlignCenter);
  imLogo->setPixmap(QPixmap::fromImage(LoadLogoImage()));
  for (QWidget* w : {static_cast<QWidget*>(pnMovie), static_cast<QWidget*>(imLogo)})
    w->installEventFilter(this);

  pnControl = MakePanel(this, "pnControl", panel);
  pnStandard = MakePanel(pnControl, "pnStandard", panel);
  pnControlLeft = MakePanel(pnStandard, "pnControlLeft", panel);
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
  pnControlRight = MakePanel(pnStandard, "pnControlRight", panel);
  pnPosition = MakePanel(pnControl, "pnPosition", panel);
  pnAdvanced = MakePanel(pnControl, "pnAdvanced", panel);
  pnAdvLeft = MakePanel(pnAdvanced, "pnAdvLeft", panel);
  pnAdvRight = MakePanel(pnAdvanced, "pnAdvRight", panel);
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
  lbSubtitles->installEventFilter(this);

  pnPlayList = MakePanel(this, "pnPlayList", Qt::black);
  spPlayList = new TSplitter(this, [this](int dx) {
    playlistWidth_ = qMax(50, playlistWidth_ - dx);
    Relayout();
  });
  dgPlayList = new TPlayListGrid(pnPlayList);
  dgPlayList->OnDoubleClick = [this] { playList_->PlaySelected(); };
  pnPlayListBottom = MakePanel(pnPlayList, "pnPlayListBottom", panel);
  pnPlayList->hide();
  spPlayList->hide();
  playlistVisible_ = false;

  pmMain = new QMenu(this);
  pmMain->setObjectName("pmMain");
  pnControl->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(pnControl, &QWidget::customContextMenuRequested, this, [this](const QPoint& p) {
    BuildPopupMenu(*pmMain);
    pmMain->popup(pnControl->mapToGlobal(p));
  });
  Relayout();
}

void TfrMain::CreateStatusControls() {
  tbSeek = new TTimeTrackBar(pnPosition);
  tbSeek->setObjectName("tbSeek");
  tbSeek->Skin = &Skin;
  tbSeek->OnChange = [this] {
    // Only the user's click and drag seek; the timer moves the pointer silently.
    if (tbSeek->HoldsCapture()) SetPosition(SnapToKeyFrame(tbSeek->Position()));
  };
  tbSeek->setEnabled(false);

  tbVolume = new TVolumeTrackBar(pnAdvLeft);
  tbVolume->setObjectName("tbVolume");
  tbVolume->Skin = &Skin;
  tbVolume->setGeometry(28, 6, 65, 17);
  tbVolume->setToolTip("Громкость");
  tbVolume->SetVolume(100);
  tbVolume->OnChange = [this] { ApplyVolume(tbVolume->Position()); };

  pbPosition = new TPosBar(pnControlLeft);
  pbPosition->setObjectName("pbPosition");
  pbPosition->Skin = &Skin;
  pbPosition->SkinX = SkinLayout::PositionOrigin.x();
  pbPosition->SkinY = SkinLayout::PositionOrigin.y();
  pbPosition->setGeometry(132, 4, 106, 21);
  pbPosition->setToolTip("Позиция / Продолжительность");
  pbPosition->OnClick = [this] { Settings.ReversePlayTime = !Settings.ReversePlayTime; };

  tbClock = new TTimeBar(pnAdvRight);
  tbClock->setObjectName("tbClock");
  tbClock->Skin = &Skin;
  tbClock->SkinX = SkinLayout::ClockOrigin.x();
  tbClock->SkinY = SkinLayout::ClockOrigin.y();
  tbClock->setGeometry(52, 4, 53, 21);
  tbClock->setToolTip("Время");

  cpuLoad = new TCPULoad(pnAdvLeft);
  cpuLoad->setObjectName("cpuLoad");
  cpuLoad->Skin = &Skin;
  cpuLoad->SkinX = SkinLayout::CpuMeterOrigin.x();
  cpuLoad->SkinY = SkinLayout::CpuMeterOrigin.y();
  cpuLoad->setGeometry(218, 4, 9, 21);
  cpuLoad->setToolTip("Загрузка процессора");
}

void TfrMain::CreateButtons() {
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
    b->Skin = &Skin;
    b->SkinX = ButtonSkinX(n);
    b->Command = row.Command;
    b->OnCommand = [this](int id) { PostCommand(id); };
    buttons_[static_cast<size_t>(row.Index)] = b;
    if (row.RightOffset) kvCaption->RightButtons[static_cast<size_t>(row.Index - 33)] = b;
  }
  // The keep-aspect and Repeat buttons start down.
  Button(14)->SetDown(true);
  Button(20)->SetDown(true);
  Relayout();
}

THoverButton* TfrMain::ButtonFor(int command) const {
  for (THoverButton* b : buttons_)
    if (b && b->Command == command) return b;
  return nullptr;
}

bool TfrMain::ButtonEnabled(int command) const {
  const THoverButton* b = ButtonFor(command);
  return b && b->Enabled();
}

int TfrMain::HiddenChromeHeight() const {
  return (controlVisible_ ? 0 : kControlHeight) + (captionVisible_ ? 0 : kCaptionHeight);
}

void TfrMain::ApplySizeLimit() {
  // The size limit counts only the chrome that is shown.
  const QSize min = Settings.ResizeLimit ? MinimumWindowSize(HiddenChromeHeight()) : QSize(0, 0);
  if (minimumSize() != min) setMinimumSize(min);
}

void TfrMain::Relayout() {
  if (layoutFrozen_) return;
  ApplySizeLimit();
  const int w = width(), h = height();
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

bool TfrMain::StartUp(const QStringList& arguments) {
  std::srand(static_cast<unsigned>(std::time(nullptr)));  // the playlist's shuffle
  if (!CheckSystemLanguage()) return false;
  CreateStatusControls();
  CreateButtons();
  timer_.start();
  // While the player runs the screensaver stays off; a refusal, or the
  // screensaver starting anyway, shows on the info panel.
  ScreenSaverService().Inhibit(Identity::AppTitle, QStringLiteral("Media player"),
                               [this] { ShowInfoText(QStringLiteral("ScreenSaver tries to activate")); });
  setAcceptDrops(true);
  DragMode = TDragMode::None;

  // Centre the built-in window on the screen.
  const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
  const QRect screenRect = s ? s->geometry() : QRect(0, 0, 1024, 768);
  TMovieRect r = GetMovieRect();
  const int w = r.Right - r.Left, h = r.Bottom - r.Top;
  r.Left = (screenRect.width() - w) / 2;
  r.Top = (screenRect.height() - h) / 2;
  r.Right = r.Left + w;
  r.Bottom = r.Top + h;
  movieRect_ = r;

  playList_->Clear();
  playList_->LoadFromFile(TSettingsFile::PlaylistPath());
  settingsFile_->LoadSettings();
  SetMovieRect(movieRect_);
  // The command names become the buttons' tooltips.
  for (THoverButton* b : buttons_)
    if (const TCommandInfo* c = FindCommand(b->Command)) b->setToolTip(QString::fromUtf8(c->NameRussian));

  if (ForwardToRunningInstance(arguments)) return false;

  MainTitle = Identity::AppTitle;
  setWindowTitle(Identity::AppTitle);
  kvCaption->SetCaption(Identity::AppTitle);
  SetApplicationTitle(Identity::AppTitle);
  if (!Settings.MultiInstance) {
    // Opened only now: a second instance must not find this one before it
    // is ready to take a command line.
    instanceServer_ = std::make_unique<TInstanceServer>([this](const QByteArray& line) {
      // The text ends at its first zero byte, as a C string would.
      const qsizetype end = line.indexOf('\0');
      OnCopyData(QString::fromLocal8Bit(end < 0 ? line : line.left(end)));
    });
    instanceServer_->Listen();
  }
  EnableControls(false);

  if (!arguments.isEmpty()) {
    Settings.VideoDir = FolderPart(arguments.first());
    playList_->AddFiles(arguments, true);
    if (Settings.OnOpenPlay) PostCommand(cmPlay);
  }
  return true;
}

bool TfrMain::CheckSystemLanguage() {
  if (GetSystemDefaultLCID() == LcidRussian) return true;
  const TMsgResult answer = MessageBoxes().Show(
      "Wrong system language",
      "This is non-english version of player.\r\n\r\nWould you like to open Kelvara Home Page "
      "where you can download proper version of software ?",
      TMsgIcon::Question, TMsgButtons::YesNo, nullptr);
  if (answer == TMsgResult::Yes) QDesktopServices::openUrl(QUrl(Identity::HomePage));
  return false;
}

bool TfrMain::ForwardToRunningInstance(const QStringList& arguments) {
  if (Settings.MultiInstance) return false;
  const QString line = BuildCommandLine(QCoreApplication::applicationFilePath(), arguments);
  return HandOverCommandLine(line.toLocal8Bit()) != THandOverResult::NoInstance;
}

void TfrMain::OnCopyData(const QString& commandLine) {
  const QStringList list = CommandLineArguments(commandLine);
  if (isMinimized()) showNormal();
  raise();
  activateWindow();
  if (!list.isEmpty()) {
    playList_->AddFiles(list, true);
    playList_->PlayCurrent();
  }
}

void TfrMain::OnApplicationException(const Exception& e) {
  timer_.stop();
  // The media framework stands where the DirectX version stood; any
  // GStreamer 1.x is current, so the old-version warning never applies.
  if (!frError) {
    ShowErrorBox(QString(), e.Message);
    return;
  }
  frError->Fill(e.ClassName(), e.Message, sysHelper_ ? sysHelper_->SystemInfo : QString(), FileName);
  frError->exec();
}

void TfrMain::closeEvent(QCloseEvent* e) {
  PriorityService().SetPriorityClass(TPriorityClass::Normal);
  // Back to window mode first: the display mode is restored and the
  // window-mode rectangle is what the settings keep.
  if (displayModeChanged_) SetDisplayMode(false);
  settingsFile_->SaveSettings();
  e->accept();
}

void TfrMain::changeEvent(QEvent* e) {
  if (e->type() == QEvent::ActivationChange) {
    kvCaption->SetActive(isActiveWindow());
    if (isActiveWindow()) ApplyStayOnTop();
  }
  QWidget::changeEvent(e);
}

void TfrMain::SetApplicationTitle(const QString& title) {
  ApplicationTitle = title;
  setWindowTitle(title);
}

void TfrMain::ShowInfoText(const QString& text) {
  InfoText = text;
  pnInfo->setText(text);
}

// ---- settings host

bool TfrMain::IsFullScreen() const { return fullScreen_; }

bool TfrMain::ToggleDown(TToggle toggle) const {
  switch (toggle) {
    case TToggle::Repeat: return Button(20) && Button(20)->Down();
    case TToggle::Tree: return Button(29) && Button(29)->Down();
    case TToggle::Mute: return Button(10) && Button(10)->Down();
    case TToggle::StayOnTop: return Button(32) && Button(32)->Down();
  }
  return false;
}

void TfrMain::SetToggleDown(TToggle toggle, bool down) {
  const int index = toggle == TToggle::Repeat ? 20
                    : toggle == TToggle::Tree ? 29
                    : toggle == TToggle::Mute ? 10
                                              : 32;
  if (Button(index)) Button(index)->SetDown(down);
}

void TfrMain::ApplyPlaylistTreeMode() { playList_->SetShowTree(ToggleDown(TToggle::Tree)); }

bool TfrMain::RepeatPlaylist() const { return ToggleDown(TToggle::Repeat); }

int TfrMain::VolumePosition() const { return tbVolume ? tbVolume->Position() : Settings.Volume; }

void TfrMain::SetVolumePosition(int position) {
  if (!tbVolume) return;
  tbVolume->SetVolume(position);
  ApplyVolume(tbVolume->Position());
}

void TfrMain::ShowHints(bool on) {
  // A switch the window's event filter reads when a tooltip is asked for,
  // so it holds also for tooltips given later (the buttons get theirs after
  // the settings are read); the texts themselves stay.
  hintsShown_ = on;
  if (!on) QToolTip::hideText();
}

void TfrMain::SetHighPriority(bool high) {
  PriorityService().SetPriorityClass(high ? TPriorityClass::High : TPriorityClass::Normal);
}

void TfrMain::ShowSeekBarBookmarks(bool on) {
  if (tbSeek) tbSeek->SetShowMarks(on);
}

void TfrMain::ApplySubtitleFont() {
  QFont f(Settings.SubtitlesFontName);
  // Point sizes as the screen has them.
  f.setPointSize(qMax(1, Settings.SubtitlesFontSize));
  lbSubtitles->setFont(f);
  const int c = Settings.SubtitlesFontColor;
  QPalette p = lbSubtitles->palette();
  p.setColor(QPalette::WindowText, QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF));
  lbSubtitles->setPalette(p);
}

bool TfrMain::LoadSkinBitmap(const QString& path) {
  QImage image;
  if (!image.load(path)) return false;
  Skin = image.convertToFormat(QImage::Format_RGB32);
  ApplyPanelColour();
  update();
  for (QWidget* w : findChildren<QWidget*>()) w->update();
  return true;
}

void TfrMain::ApplyPanelColour() {
  const QColor c = SkinPixel(&Skin, SkinLayout::PanelPixel, QColor(0x40, 0x40, 0x40));
  // The seek bar's row too: the bar fills with its row's colour.
  for (QWidget* w : {pnControl, pnStandard, pnControlLeft, static_cast<QWidget*>(pnInfo), pnControlRight,
                     pnPosition, pnAdvanced, pnAdvLeft, pnAdvRight, pnPlayListBottom}) {
    QPalette p = w->palette();
    p.setColor(QPalette::Window, c);
    w->setPalette(p);
  }
}

void TfrMain::ApplyPreferences() {
  // The preferences dialog's apply step: what the live settings change on
  // the main window itself.
  ApplyPanelColour();
  ApplySubtitleFont();
  ShowSeekBarBookmarks(Settings.ShowBookmarks);
  UpdateCaptionBar();
  Relayout();
}

int TfrMain::PlaylistIndex() const { return playList_->CurrentItem(); }
void TfrMain::SetPlaylistIndex(int index) { playList_->SetCurrentItem(index); }

void TfrMain::SaveDefaultPlaylist(const QString& path) {
  if (!playList_->SaveToFile(path)) throw Exception("Cannot write the playlist " + path);
}

QString TfrMain::KeyMapCell(int row, int column) const {
  return KeyMap.Cell(row, static_cast<TKeyColumn>(column));
}

void TfrMain::SetKeyMapCell(int row, int column, const QString& text) {
  KeyMap.SetCell(row, static_cast<TKeyColumn>(column), text);
}

void TfrMain::PutDefaultKeyPreset() { KeyMap.ApplyPreset(TKeyPreset::Default); }

void TfrMain::ClearSeekBarBookmarks() {
  if (tbSeek) tbSeek->ClearBookmarks();
}

void TfrMain::SetSeekBarBookmark(int index, qint64 time) {
  if (tbSeek) tbSeek->SetBookmark(index, time);
}
