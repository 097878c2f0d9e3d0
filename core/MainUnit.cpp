#include "core/MainUnit.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QScreen>
#include <QUrl>
#include <QWindow>
#include <ctime>

#include "commands/commandtable.h"
#include "core/application.h"
#include "core/cmdline.h"
#include "core/identity.h"
#include "core/sizeframe.h"
#include "media/SysHelp.h"
#include "platform/media/gstversion.h"
#include "platform/system/exceptions.h"
#include "platform/system/instance.h"
#include "platform/system/msgbox.h"
#include "platform/system/priority.h"
#include "platform/system/syslocale.h"
#include "platform/system/windir.h"
#include "playlist/error.h"
#include "playlist/playlist.h"

namespace {

class TCommandEvent : public QEvent {
 public:
  explicit TCommandEvent(int id) : QEvent(static_cast<QEvent::Type>(CommandMessage)), Id(id) {}
  const int Id;
};

// Commands are numbered from zero; the command that plays the current entry.
constexpr int cmPlayId = 5;

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
  // Built-in bounds of the window: left 200, top 106, client area 377 x 221.
  setGeometry(200, 106, 377, 221);
  sizeFrame_ = new TSizeFrame(this);

  pnMovie = new QWidget(this);
  pnMovie->setObjectName("pnMovie");
  pnMovie->setGeometry(rect());

  // Creation steps: error handler, system services, play state, folders, playlist.
  TKelvaraApplication::SetExceptionHandler([this](const Exception& e) { OnApplicationException(e); });
  sysHelper_ = std::make_unique<TSysHelper>();
  PlayState = TPlayState::Closed;
  Settings = TSettings::BuiltIn(logicalDpiY());
  Settings.VideoDir = DefaultFolder();
  Settings.ScreenShotDir = DefaultFolder();
  playList_ = std::make_unique<TPlayList>(this);
  playList_->Clear();
  fileName_.clear();
  settingsFile_ = std::make_unique<TSettingsFile>(Settings, *this);

  timer_.setInterval(300);
  connect(&timer_, &QTimer::timeout, this, &TfrMain::OnTimer);
}

TfrMain::~TfrMain() {
  TKelvaraApplication::SetExceptionHandler(nullptr);
  instanceServer_.reset();
  playList_.reset();
  sysHelper_.reset();
}

bool TfrMain::StartUp(const QStringList& arguments) {
  std::srand(static_cast<unsigned>(std::time(nullptr)));  // the playlist's shuffle
  if (!CheckSystemLanguage()) return false;
  // The skinned buttons leave Repeat down when they are created.
  repeat_ = true;
  timer_.start();
  setAcceptDrops(true);

  // Centre the built-in window on the screen.
  const QRect screen = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->geometry()
                                                        : QRect(0, 0, 1024, 768);
  TMovieRect r = GetMovieRect();
  const int w = r.Right - r.Left, h = r.Bottom - r.Top;
  r.Left = (screen.width() - w) / 2;
  r.Top = (screen.height() - h) / 2;
  r.Right = r.Left + w;
  r.Bottom = r.Top + h;
  movieRect_ = r;

  playList_->Clear();
  playList_->LoadFromFile(TSettingsFile::PlaylistPath());
  settingsFile_->LoadSettings();
  SetMovieRect(movieRect_);

  if (ForwardToRunningInstance(arguments)) return false;

  MainTitle = Identity::AppTitle;
  setWindowTitle(Identity::AppTitle);
  SetApplicationTitle(Identity::AppTitle);
  if (!Settings.MultiInstance) {
    // Opened only now: a second instance must not find this one before it
    // is ready to take a command line.
    instanceServer_ = std::make_unique<TInstanceServer>(
        [this](const QByteArray& line) {
          // The text ends at its first zero byte, as a C string would.
          const qsizetype end = line.indexOf('\0');
          OnCopyData(QString::fromLocal8Bit(end < 0 ? line : line.left(end)));
        });
    instanceServer_->Listen();
  }

  if (!arguments.isEmpty()) {
    Settings.VideoDir = FolderPart(arguments.first());
    playList_->AddFiles(arguments, true);
    if (Settings.OnOpenPlay) PostCommand(cmPlayId);
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
  if (!frError) {
    ShowErrorBox(QString(), e.Message);
    return;
  }
  frError->Fill(e.ClassName(), e.Message, sysHelper_ ? sysHelper_->SystemInfo : QString(),
                fileName_);
  frError->exec();
}

void TfrMain::PostCommand(int id) {
  QCoreApplication::postEvent(this, new TCommandEvent(id));
}

void TfrMain::ShowInfoText(const QString& text) { InfoText = text; }

bool TfrMain::event(QEvent* e) {
  if (e->type() == static_cast<QEvent::Type>(CommandMessage)) {
    emit CommandPosted(static_cast<TCommandEvent*>(e)->Id);
    return true;
  }
  if (e->type() == QEvent::Resize && pnMovie) pnMovie->setGeometry(rect());
  return QWidget::event(e);
}

void TfrMain::closeEvent(QCloseEvent* e) {
  PriorityService().SetPriorityClass(TPriorityClass::Normal);
  settingsFile_->SaveSettings();
  e->accept();
}

void TfrMain::OnTimer() {}

void TfrMain::SetApplicationTitle(const QString& title) {
  ApplicationTitle = title;
  setWindowTitle(title);
}

TMovieRect TfrMain::GetMovieRect() const {
  const QRect g = geometry();
  return {g.left(), g.top(), g.left() + g.width(), g.top() + g.height()};
}

void TfrMain::SetMovieRect(const TMovieRect& r) {
  setGeometry(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top);
}

bool TfrMain::ToggleDown(TToggle toggle) const {
  switch (toggle) {
    case TToggle::Repeat: return repeat_;
    case TToggle::Tree: return tree_;
    case TToggle::Mute: return mute_;
    case TToggle::StayOnTop: return stayOnTop_;
  }
  return false;
}

void TfrMain::SetToggleDown(TToggle toggle, bool down) {
  switch (toggle) {
    case TToggle::Repeat: repeat_ = down; break;
    case TToggle::Tree: tree_ = down; break;
    case TToggle::Mute: mute_ = down; break;
    case TToggle::StayOnTop: stayOnTop_ = down; break;
  }
}

void TfrMain::ApplyPlaylistTreeMode() { playList_->SetShowTree(tree_); }

void TfrMain::ApplyStayOnTop() {
  const bool top = stayOnTop_ || fullScreen_;
  if (top == bool(windowFlags() & Qt::WindowStaysOnTopHint)) return;
  const bool wasVisible = isVisible();
  setWindowFlag(Qt::WindowStaysOnTopHint, top);
  if (wasVisible) show();  // changing the flags hides a shown window
}

void TfrMain::SetVolumePosition(int position) { volume_ = qBound(0, position, 100); }

void TfrMain::SetHighPriority(bool high) {
  PriorityService().SetPriorityClass(high ? TPriorityClass::High : TPriorityClass::Normal);
}

bool TfrMain::LoadSkinBitmap(const QString& path) {
  QImage image;
  if (!image.load(path)) return false;
  skin_ = image;
  return true;
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

void TfrMain::OpenFile(const QString&) {}
void TfrMain::Play() {}
void TfrMain::SetPosition(qint64) {}
