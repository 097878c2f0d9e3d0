#include "core/MainUnit.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QUrl>
#include <ctime>

#include "base/identity.h"
#include "commands/commandtable.h"
#include "commands/winlirc.h"
#include "controls/brandtb.h"
#include "controls/hoverbt.h"
#include "controls/statusbars.h"
#include "core/application.h"
#include "core/cmdline.h"
#include "core/dispatch.h"
#include "base/identity.h"
#include "lang/langs.h"
#include "core/input.h"
#include "core/panels.h"
#include "core/playback.h"
#include "core/playlistgrid.h"
#include "core/settingshost.h"
#include "core/windowgeom.h"
#include "media/SysHelp.h"
#include "platform/system/exceptions.h"
#include "platform/system/instance.h"
#include "platform/system/msgbox.h"
#include "platform/system/priority.h"
#include "platform/system/screensaver.h"
#include "platform/system/syslocale.h"
#include "platform/system/windir.h"
#include "playlist/error.h"
#include "playlist/playlist.h"
#include "prefs/associations.h"

TfrMain::TfrMain(QWidget* parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint) {
  setObjectName(Identity::MainClassName);
  setWindowTitle(Identity::EarlyTitle);
  mainTitle_ = Identity::EarlyTitle;
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, Qt::black);
  setPalette(pal);
  setFocusPolicy(Qt::StrongFocus);
  // Built-in bounds of the window: left 200, top 106, client area 377 x 221.
  setGeometry(200, 106, 377, 221);

  // Creation steps: error handler, system services, engine, play state,
  // folders, playlist, then the controls and the parts that act on them.
  TKelvaraApplication::SetExceptionHandler([this](const Exception& e) { OnApplicationException(e); });
  parts_.Window = this;
  parts_.Settings = &settings_;
  parts_.KeyMap = &keyMap_;
  sysHelper_ = std::make_unique<TSysHelper>();
  parts_.SysHelper = sysHelper_.get();
  commands_ = new TCommandDispatch(this);
  parts_.Commands = commands_;
  panels_ = std::make_unique<TMainPanels>(parts_);
  parts_.Panels = panels_.get();
  playback_ = std::make_unique<TPlayback>(parts_);
  parts_.Playback = playback_.get();
  settings_ = TSettings::BuiltIn(logicalDpiY());
  settings_.VideoDir = DefaultFolder();
  settings_.ScreenShotDir = DefaultFolder();
  playList_ = std::make_unique<TPlayList>(playback_.get());
  parts_.PlayList = playList_.get();
  input_ = new TMainInput(parts_);
  parts_.Input = input_;
  remote_ = new TWinLIRCClient(keyMap_, this);
  remote_->PostCommand = [this](int id) { commands_->PostCommand(id); };
  fileTypes_ = std::make_unique<TFileAssociations>(QCoreApplication::applicationFilePath());
  parts_.FileTypes = fileTypes_.get();
  settingsHost_ = std::make_unique<TMainSettingsHost>(parts_);
  settingsFile_ = std::make_unique<TSettingsFile>(settings_, *settingsHost_);

  panels_->CreatePanels();
  playList_->SetGrid(panels_->dgPlayList);
  panels_->dgPlayList->SetPlayList(playList_.get());
  playList_->Clear();
  geometry_ = std::make_unique<TWindowGeometry>(parts_);
  parts_.Geometry = geometry_.get();
  ConnectCommands();
  input_->Watch();
}

TfrMain::~TfrMain() {
  // The input goes first: it watches the whole application, and the parts
  // it reaches go below.
  delete input_;
  input_ = nullptr;
  parts_.Input = nullptr;
  TKelvaraApplication::SetExceptionHandler(nullptr);
  playback_->Timer().stop();
  remote_->Close();
  ScreenSaverService().UnInhibit();
  instanceServer_.reset();
  playList_.reset();
  parts_.PlayList = nullptr;
  playback_.reset();
  sysHelper_.reset();
}

TSettingsHost& TfrMain::SettingsHost() const { return *settingsHost_; }

bool TfrMain::StartUp(const QStringList& arguments) {
  std::srand(static_cast<unsigned>(std::time(nullptr)));  // the playlist's shuffle
  if (!CheckSystemLanguage()) return false;
  panels_->CreateStatusControls();
  panels_->CreateButtons();
  playback_->Timer().start();
  // While the player runs the screensaver stays off; a refusal, or the
  // screensaver starting anyway, shows on the info panel.
  ScreenSaverService().Inhibit(Identity::AppTitle, QStringLiteral("Media player"), [this] {
    panels_->ShowInfoText(QStringLiteral("ScreenSaver tries to activate"));
  });
  setAcceptDrops(true);

  geometry_->CentreOnScreen();
  playList_->Clear();
  playList_->LoadFromFile(TSettingsFile::PlaylistPath());
  // The language comes before the settings: a first start asks its help
  // question in English only.
  OnLanguageChange(this, [this] { panels_->ShowLanguageTexts(); });
  ApplyLanguage(LanguageFromEnvironment());
  settingsFile_->LoadSettings();
  geometry_->SetMovieRect(geometry_->MovieRect());
  remote_->Connect(settings_.WIRCenable, settings_.WIRCserver, settings_.WIRCport);

  if (ForwardToRunningInstance(arguments)) return false;

  mainTitle_ = Identity::AppTitle;
  setWindowTitle(Identity::AppTitle);
  panels_->kvCaption->SetCaption(Identity::AppTitle);
  if (!settings_.MultiInstance) {
    // Opened only now: a second instance must not find this one before it
    // is ready to take a command line.
    instanceServer_ = std::make_unique<TInstanceServer>([this](const QByteArray& line) {
      // The text ends at its first zero byte, as a C string would.
      const qsizetype end = line.indexOf('\0');
      OnCopyData(QString::fromLocal8Bit(end < 0 ? line : line.left(end)));
    });
    instanceServer_->Listen();
  }
  playback_->EnableControls(false);

  if (!arguments.isEmpty()) {
    settings_.VideoDir = FolderPart(arguments.first());
    playList_->AddFiles(arguments, true);
    if (settings_.OnOpenPlay) commands_->PostCommand(cmPlay);
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
  if (settings_.MultiInstance) return false;
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
  playback_->Timer().stop();
  // The media framework stands where the DirectX version stood; any
  // GStreamer 1.x is current, so the old-version warning never applies.
  if (!frError) {
    ShowErrorBox(QString(), e.Message);
    return;
  }
  frError->Fill(e.ClassName(), e.Message, sysHelper_ ? sysHelper_->SystemInfo : QString(),
                playback_->FileName());
  frError->exec();
}

void TfrMain::closeEvent(QCloseEvent* e) {
  // The film goes while its window is still on the screen: a video sink
  // whose window is gone never comes to rest, and the way out waited for it.
  playback_->CloseFile();
  PriorityService().SetPriorityClass(TPriorityClass::Normal);
  // Back to window mode first: the display mode is restored and the
  // window-mode rectangle is what the settings keep.
  if (geometry_->DisplayModeChanged()) geometry_->SetDisplayMode(false);
  settingsFile_->SaveSettings();
  e->accept();
}

void TfrMain::changeEvent(QEvent* e) {
  if (e->type() == QEvent::ActivationChange) {
    panels_->kvCaption->SetActive(isActiveWindow());
    if (isActiveWindow()) geometry_->ApplyStayOnTop();
  }
  QWidget::changeEvent(e);
}

void TfrMain::resizeEvent(QResizeEvent* e) {
  // The movie panel's own resize places the picture.
  if (panels_ && panels_->pnMovie) panels_->Relayout();
  QWidget::resizeEvent(e);
}

void TfrMain::wheelEvent(QWheelEvent* e) { input_->Wheel(e); }
void TfrMain::dragEnterEvent(QDragEnterEvent* e) { input_->DragEnter(e); }
void TfrMain::dropEvent(QDropEvent* e) { input_->Drop(e); }
