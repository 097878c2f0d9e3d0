// Playing a file: open and close, the play states, steps and jumps, the
// 300 ms timer, end of media, volume and sound rate, file information.
#include "core/playback.h"

#include <QApplication>
#include <QDateTime>
#include <QLabel>

#include "commands/commandtable.h"
#include "controls/brandtb.h"
#include "controls/hoverbt.h"
#include "controls/statusbars.h"
#include "core/dispatch.h"
#include "core/mainparts.h"
#include "core/panels.h"
#include "core/playmath.h"
#include "core/settings.h"
#include "core/windowgeom.h"
#include "media/DShowHlp.h"
#include "media/SysHelp.h"
#include "platform/media/dsound.h"
#include "platform/system/msgbox.h"
#include "platform/system/waveout.h"
#include "playlist/playlist.h"
#include "playlist/subtitles.h"

TPlayback::TPlayback(TMainParts& parts)
    : parts_(parts),
      engine_(std::make_unique<TDirectShowHelper>()),
      altKeyDown_([] { return bool(QApplication::queryKeyboardModifiers() & Qt::AltModifier); }) {
  DirectShowHelper = engine_.get();
  engine_->OnComplete = [this](TDirectShowHelper*) { OnMediaEnd(); };
  engine_->ShowInfoText = [this](const QString& text) { parts_.Panels->ShowInfoText(text); };
  // The failure policy: raise, or report on the info panel and go on.
  engine_->OnErrors = [this] { return parts_.Settings->OnErrors; };
  engine_->MainWindow = parts_.Window;
  timer_.setInterval(300);
  QObject::connect(&timer_, &QTimer::timeout, [this] { OnTimer(); });
}

TPlayback::~TPlayback() {
  timer_.stop();
  directSound_.reset();
  if (DirectShowHelper == engine_.get()) DirectShowHelper = nullptr;
}

void TPlayback::OpenFile(const QString& path) {
  TSettings& settings = *parts_.Settings;
  TMainPanels& panels = *parts_.Panels;
  TWindowGeometry& geometry = *parts_.Geometry;
  CloseFile();
  try {
    GetFileInfo(path, fileInfo_, settings.KeyFrameSeek,
                [this](HRESULT hr, const QString& label) { engine_->Check(hr, label); });
  } catch (...) {
    fileInfo_ = TFileInfo();
  }
  if (settings.SoundFreq > 0) SetSoundFormat();
  engine_->KeyFrameSeek = settings.KeyFrameSeek;
  engine_->ForceOverlay = settings.ForceOverlay;
  engine_->BuildGraph();
  const HRESULT hr = engine_->Graph ? engine_->Graph->RenderFile(path.left(260), nullptr) : E_POINTER;
  if (FAILED(hr)) {
    ShowErrorBox("Ошибка загрузки файла", path + "\r\n" + engine_->ErrorText(hr));
    CloseFile();
    EnableControls(false);
    return;
  }
  fileName_ = path;
  if (settings.SubtitlesAutoLoad && parts_.Subtitles) parts_.Subtitles->AutoLoadSubtitles(path);
  engine_->ReadVideoInfo();
  geometry.Framing() = TVideoFraming();
  if (engine_->HasVideo) engine_->AttachVideoWindow(panels.pnMovie);
  panels.imLogo->setVisible(!engine_->HasVideo);
  panels.tbSeek->SetDuration(engine_->GetDuration());
  if (settings.OnOpenClosePanels && panels.ControlPanelVisible()) geometry.ToggleControlPanel();
  if (engine_->HasVideo) {
    if (settings.OnOpenFullScreen && !geometry.IsFullScreen()) parts_.Commands->PostCommand(cmFullScreen);
    if (settings.OnOpenResize && !geometry.IsFullScreen()) geometry.FitWindowToVideo();
    geometry.PlaceVideo();
  }
  PauseMovie();
  EnableControls(true);
  if (!timer_.isActive()) timer_.start();
  if (engine_->HasAudio) ApplyVolume();
  const QString title = parts_.PlayList->CurrentTitle();
  parts_.Window->setWindowTitle(title);
  panels.kvCaption->SetCaption(title);
  if (settings.OnOpenPlay) parts_.Commands->PostCommand(cmPlay);
}

void TPlayback::CloseFile() {
  fileName_.clear();
  engine_->FreeGraph();
  parts_.Panels->imLogo->show();
  EnableControls(false);
  if (parts_.Subtitles) parts_.Subtitles->ClearSubtitles();
  directSound_.reset();
}

void TPlayback::EnableControls(bool open) {
  TControlsState state;
  state.Open = open;
  // The engine's stream flags outlive a closed or failed file; they count
  // only while a file is open.
  state.Video = open && engine_->HasVideo;
  state.Audio = open && engine_->HasAudio;
  state.PlaylistHasItems = parts_.PlayList->Count() > 0;
  state.FileInfoValid = fileInfo_.Valid;
  parts_.Panels->EnableControls(state);
}

void TPlayback::SetPlayState(TPlayState state) {
  parts_.Panels->SetPlayButtons(state);
  playState_ = state;
}

void TPlayback::Play() {
  if (!IsFileOpen()) parts_.PlayList->PlayCurrent();
  if (!IsFileOpen()) return;
  engine_->SetRate(1.0);
  engine_->Run();
  SetPlayState(TPlayState::Playing);
}

void TPlayback::PauseMovie() {
  engine_->Pause();
  SetPlayState(TPlayState::Paused);
}

void TPlayback::SpeedPlay() {
  engine_->SetRate(parts_.Settings->SpeedMultiplier / 10.0);
  engine_->Run();
  SetPlayState(TPlayState::SpeedPlay);
}

void TPlayback::RestorePlayState() {
  switch (playState_) {
    case TPlayState::Playing: Play(); break;
    case TPlayState::Paused: PauseMovie(); break;
    case TPlayState::SpeedPlay: SpeedPlay(); break;
    case TPlayState::Closed: break;
  }
}

void TPlayback::PlayPauseToggle() {
  if (playState_ == TPlayState::Playing || playState_ == TPlayState::SpeedPlay)
    PauseMovie();
  else
    Play();
}

void TPlayback::FrameForward() {
  if (!parts_.Panels->ButtonEnabled(cmFrameStep)) return;
  PauseMovie();
  engine_->FrameStep(1);
}

void TPlayback::FrameBack() {
  if (!parts_.Panels->ButtonEnabled(cmFrameStep)) return;
  PauseMovie();
  engine_->SetPosition(engine_->GetPosition() - FrameBackStep(fileInfo_.FrameRate));
}

void TPlayback::JumpBackward() { JumpBy(-1); }
void TPlayback::JumpForward() { JumpBy(1); }

void TPlayback::JumpBy(int direction) {
  TSettings& settings = *parts_.Settings;
  const auto step = ParseKeySeek(settings.KeySeek);
  // A jump length that is no number moves nothing this time, and ten seconds from now on.
  if (!step) settings.KeySeek = QStringLiteral("10");
  const int64_t target = parts_.Panels->tbSeek->Position() + direction * step.value_or(0) * UnitsPerSecond;
  engine_->SetPosition(SnapToKeyFrame(target));
}

void TPlayback::JumpToBookmark(int n) {
  TTimeTrackBar* seek = parts_.Panels->tbSeek;
  if (seek->isEnabled()) engine_->SetPosition(seek->GetBookmark(n));
}

void TPlayback::AddBookmark() { parts_.PlayList->AddBookmark(engine_->GetPosition()); }

qint64 TPlayback::SnapToKeyFrame(qint64 t) const {
  const std::vector<int64_t> keys(fileInfo_.KeyFrames.begin(), fileInfo_.KeyFrames.end());
  return ::SnapToKeyFrame(t, keys, fileInfo_.FrameRate, parts_.Settings->KeyFrameSeek, altKeyDown_());
}

void TPlayback::SetPosition(qint64 time) { engine_->SetPosition(time); }

bool TPlayback::RepeatPlaylist() const { return parts_.Panels->ToggleDown(TToggle::Repeat); }

void TPlayback::ClearSeekBarBookmarks() {
  if (TTimeTrackBar* seek = parts_.Panels->tbSeek) seek->ClearBookmarks();
}

void TPlayback::SetSeekBarBookmark(int index, qint64 time) {
  if (TTimeTrackBar* seek = parts_.Panels->tbSeek) seek->SetBookmark(index, time);
}

const QImage* TPlayback::SkinBitmap() const { return &parts_.Panels->Skin(); }

void TPlayback::OnTimer() {
  const TSettings& settings = *parts_.Settings;
  TMainPanels& panels = *parts_.Panels;
  int64_t pos = 0, dur = 0;
  try {
    pos = engine_->GetPosition();
    dur = engine_->GetDuration();
  } catch (...) {
    pos = dur = 0;
  }
  panels.tbClock->SetText(ClockText(QTime::currentTime()));
  if (TfrSubtitles* subtitles = parts_.Subtitles; subtitles && subtitles->Loaded) {
    const QString text = subtitles->GetSubtitle(
        SubtitlePosition(pos, SubtitleOffset),
        TMicroDVDRate{settings.SetMicroDVDFPS, settings.MicroDVDFPS, fileInfo_.FrameRate});
    // Each CR LF of a cue starts a new line of the subtitle line.
    panels.lbSubtitles->setText(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    panels.ShowInfoText(text);
  }
  if (playState_ != TPlayState::Closed) {
    if (dur != 0 && !panels.tbSeek->HoldsCapture()) panels.tbSeek->ShowPosition(pos);
    panels.pbPosition->SetText(PositionText(pos, dur, settings.ReversePlayTime));
  }
  cpuShown_ = SmoothCPU(cpuShown_, parts_.SysHelper->GetCPUUsage());
  panels.cpuLoad->SetLoad(cpuShown_);
}

void TPlayback::OnMediaEnd() {
  const TSettings& settings = *parts_.Settings;
  PauseMovie();
  if (settings.OnStopRewind) engine_->SetPosition(0);
  switch (settings.OnStop) {
    case 1: parts_.PlayList->PlayNext(); break;
    case 2:
      // Posted, as a window message would be: the end-of-media handling
      // finishes before the window closes.
      QMetaObject::invokeMethod(parts_.Window, &QWidget::close, Qt::QueuedConnection);
      break;
    case 3: parts_.Commands->PostCommand(cmPowerOff); break;
    default: break;
  }
}

int TPlayback::VolumePosition() const {
  const TVolumeTrackBar* bar = parts_.Panels->tbVolume;
  return bar ? bar->Position() : parts_.Settings->Volume;
}

void TPlayback::SetVolumePosition(int position) {
  TVolumeTrackBar* bar = parts_.Panels->tbVolume;
  if (!bar) return;
  bar->SetVolume(position);
  ApplyVolume();
}

void TPlayback::ApplyVolume() {
  const TSettings& settings = *parts_.Settings;
  ComPtr<IBasicAudio> audio;
  if (engine_->Graph) engine_->Check(QueryInterface(engine_->Graph, audio), "Graph.QueryInterface(IBasicAudio)");
  const int b = qBound(0, VolumePosition(), 100);
  if (settings.VolumeControl == 0) waveOutSetVolume(0, WaveOutVolume(b));
  const int32_t movie = MovieVolume(b, settings.VolumeControl, parts_.Panels->ToggleDown(TToggle::Mute));
  if (audio) audio->put_Volume(movie);
}

void TPlayback::SetSoundFormat() {
  ComPtr<IDirectSound> sound;
  if (FAILED(DirectSoundCreate(nullptr, sound)) || !sound) return;
  directSound_ = sound;
  engine_->Check(sound->SetCooperativeLevel(parts_.Window, DSSCL_PRIORITY), "DSound.SetCooperativeLevel");
  DSBUFFERDESC desc;
  desc.dwFlags = DSBCAPS_PRIMARYBUFFER;
  ComPtr<IDirectSoundBuffer> primary;
  engine_->Check(sound->CreateSoundBuffer(desc, primary), "DSound.CreateSoundBuffer");
  static constexpr uint32_t kRates[] = {0, 11025, 22050, 44100};
  WAVEFORMATEX wf;
  wf.wFormatTag = WAVE_FORMAT_PCM;
  wf.nChannels = 2;
  wf.wBitsPerSample = 16;
  wf.nBlockAlign = 4;
  wf.nSamplesPerSec = kRates[qBound(0, parts_.Settings->SoundFreq, 3)];
  wf.nAvgBytesPerSec = wf.nSamplesPerSec * 4;
  wf.cbSize = 0;
  engine_->Check(primary ? primary->SetFormat(wf) : E_POINTER, "DSBPri.SetFormat");
  engine_->Check(primary ? primary->Play(0, 0, DSBPLAY_LOOPING) : E_POINTER, "DSBPri.Play");
}

void TPlayback::ShowVideoProperties() {
  if (!parts_.Panels->ButtonEnabled(cmVideoProperties)) return;
  engine_->Stop();
  if (auto decoder = engine_->FindVideoDecoder()) engine_->ShowFilterProperties(decoder);
  RestorePlayState();
}

void TPlayback::ShowFileInformation() const {
  if (!fileInfo_.Text.isEmpty()) ShowInfoBox("Информация о файле", fileInfo_.Text);
}
