// The main window's side of playing a file: open and close, the play states,
// steps and jumps, the 300 ms timer, end of media, volume and sound rate.
#include <QApplication>
#include <QDateTime>
#include <QLabel>

#include "commands/commandtable.h"
#include "controls/brandtb.h"
#include "controls/hoverbt.h"
#include "controls/statusbars.h"
#include "core/MainUnit.h"
#include "lang/langs.h"
#include "core/playmath.h"
#include "media/DShowHlp.h"
#include "media/SysHelp.h"
#include "platform/media/dsound.h"
#include "platform/system/msgbox.h"
#include "platform/system/waveout.h"
#include "playlist/playlist.h"
#include "playlist/subtitles.h"

namespace {
constexpr int kPauseButton = 1, kPlayButton = 3, kSpeedButton = 4;
}

void TfrMain::OpenFile(const QString& path) {
  CloseFile();
  try {
    GetFileInfo(path, FileInfo, Settings.KeyFrameSeek,
                [this](HRESULT hr, const QString& label) { engine_->Check(hr, label); });
  } catch (...) {
    FileInfo = TFileInfo();
  }
  if (Settings.SoundFreq > 0) SetSoundFormat();
  engine_->KeyFrameSeek = Settings.KeyFrameSeek;
  engine_->ForceOverlay = Settings.ForceOverlay;
  engine_->BuildGraph();
  const HRESULT hr = engine_->Graph ? engine_->Graph->RenderFile(path.left(260), nullptr) : E_POINTER;
  if (FAILED(hr)) {
    ShowErrorBox(RunTimeTexts().sFileLoadingError, path + "\r\n" + engine_->ErrorText(hr));
    CloseFile();
    EnableControls(false);
    return;
  }
  FileName = path;
  if (Settings.SubtitlesAutoLoad && frSubtitles) frSubtitles->AutoLoadSubtitles(path);
  engine_->ReadVideoInfo();
  ZoomX = 0;
  ZoomY = 100;
  PanX = 0;
  PanY = 0;
  AspectMode = 0;
  if (engine_->HasVideo) engine_->AttachVideoWindow(pnMovie);
  imLogo->setVisible(!engine_->HasVideo);
  tbSeek->SetDuration(engine_->GetDuration());
  if (Settings.OnOpenClosePanels && controlVisible_) ToggleControlPanel();
  if (engine_->HasVideo) {
    if (Settings.OnOpenFullScreen && !IsFullScreen()) PostCommand(cmFullScreen);
    if (Settings.OnOpenResize && !IsFullScreen()) FitWindowToVideo();
    PlaceVideo();
  }
  PauseMovie();
  EnableControls(true);
  if (!timer_.isActive()) timer_.start();
  if (engine_->HasAudio) ApplyVolume(tbVolume->Position());
  SetApplicationTitle(playList_->CurrentTitle());
  kvCaption->SetCaption(playList_->CurrentTitle());
  if (Settings.OnOpenPlay) PostCommand(cmPlay);
}

void TfrMain::CloseFile() {
  FileName.clear();
  engine_->FreeGraph();
  imLogo->show();
  EnableControls(false);
  if (frSubtitles) frSubtitles->ClearSubtitles();
  directSound_.reset();
}

void TfrMain::SetPlayButtons(TPlayState state) {
  Button(kPlayButton)->SetDown(state == TPlayState::Playing);
  Button(kPauseButton)->SetDown(state == TPlayState::Paused);
  Button(kSpeedButton)->SetDown(state == TPlayState::SpeedPlay);
  PlayState = state;
}

void TfrMain::Play() {
  if (!IsFileOpen()) playList_->PlayCurrent();
  if (!IsFileOpen()) return;
  engine_->SetRate(1.0);
  engine_->Run();
  SetPlayButtons(TPlayState::Playing);
}

void TfrMain::PauseMovie() {
  engine_->Pause();
  SetPlayButtons(TPlayState::Paused);
}

void TfrMain::SpeedPlay() {
  engine_->SetRate(Settings.SpeedMultiplier / 10.0);
  engine_->Run();
  SetPlayButtons(TPlayState::SpeedPlay);
}

void TfrMain::RestorePlayState() {
  switch (PlayState) {
    case TPlayState::Playing: Play(); break;
    case TPlayState::Paused: PauseMovie(); break;
    case TPlayState::SpeedPlay: SpeedPlay(); break;
    case TPlayState::Closed: break;
  }
}

void TfrMain::PlayPauseToggle() {
  if (PlayState == TPlayState::Playing || PlayState == TPlayState::SpeedPlay)
    PauseMovie();
  else
    Play();
}

void TfrMain::FrameForward() {
  if (!ButtonEnabled(cmFrameStep)) return;
  PauseMovie();
  engine_->FrameStep(1);
}

void TfrMain::FrameBack() {
  if (!ButtonEnabled(cmFrameStep)) return;
  PauseMovie();
  engine_->SetPosition(engine_->GetPosition() - FrameBackStep(FileInfo.FrameRate));
}

void TfrMain::JumpBackward() {
  const auto step = ParseKeySeek(Settings.KeySeek);
  if (!step) Settings.KeySeek = QStringLiteral("10");
  const int64_t target = tbSeek->Position() - step.value_or(0) * UnitsPerSecond;
  engine_->SetPosition(SnapToKeyFrame(target));
}

void TfrMain::JumpForward() {
  const auto step = ParseKeySeek(Settings.KeySeek);
  if (!step) Settings.KeySeek = QStringLiteral("10");
  const int64_t target = tbSeek->Position() + step.value_or(0) * UnitsPerSecond;
  engine_->SetPosition(SnapToKeyFrame(target));
}

bool TfrMain::AltKeyDown() const { return QApplication::queryKeyboardModifiers() & Qt::AltModifier; }

qint64 TfrMain::SnapToKeyFrame(qint64 t) const {
  const std::vector<int64_t> keys(FileInfo.KeyFrames.begin(), FileInfo.KeyFrames.end());
  return ::SnapToKeyFrame(t, keys, FileInfo.FrameRate, Settings.KeyFrameSeek, AltKeyDown());
}

void TfrMain::SetPosition(qint64 time) { engine_->SetPosition(time); }

void TfrMain::OnTimer() {
  int64_t pos = 0, dur = 0;
  try {
    pos = engine_->GetPosition();
    dur = engine_->GetDuration();
  } catch (...) {
    pos = dur = 0;
  }
  tbClock->SetText(ClockText(QTime::currentTime()));
  if (frSubtitles && frSubtitles->Loaded) {
    const QString text = frSubtitles->GetSubtitle(
        SubtitlePosition(pos, SubtitleOffset),
        TMicroDVDRate{Settings.SetMicroDVDFPS, Settings.MicroDVDFPS, FileInfo.FrameRate});
    // Each CR LF of a cue starts a new line of the subtitle line.
    lbSubtitles->setText(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    ShowInfoText(text);
  }
  if (PlayState != TPlayState::Closed) {
    if (dur != 0 && !tbSeek->HoldsCapture()) tbSeek->ShowPosition(pos);
    pbPosition->SetText(PositionText(pos, dur, Settings.ReversePlayTime));
  }
  CPUShown = SmoothCPU(CPUShown, sysHelper_->GetCPUUsage());
  cpuLoad->SetLoad(CPUShown);
}

void TfrMain::OnMediaEnd() {
  PauseMovie();
  if (Settings.OnStopRewind) engine_->SetPosition(0);
  switch (Settings.OnStop) {
    case 1: playList_->PlayNext(); break;
    case 2:
      // Posted, as a window message would be: the end-of-media handling
      // finishes before the window closes.
      QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
      break;
    case 3: PostCommand(cmPowerOff); break;
    default: break;
  }
}

void TfrMain::ApplyVolume(int v) {
  ComPtr<IBasicAudio> audio;
  if (engine_->Graph) engine_->Check(QueryInterface(engine_->Graph, audio), "Graph.QueryInterface(IBasicAudio)");
  const int b = qBound(0, v, 100);
  if (Settings.VolumeControl == 0) waveOutSetVolume(0, WaveOutVolume(b));
  const int32_t movie = MovieVolume(b, Settings.VolumeControl, ToggleDown(TToggle::Mute));
  if (audio) audio->put_Volume(movie);
}

void TfrMain::SetSoundFormat() {
  ComPtr<IDirectSound> sound;
  if (FAILED(DirectSoundCreate(nullptr, sound)) || !sound) return;
  directSound_ = sound;
  engine_->Check(sound->SetCooperativeLevel(this, DSSCL_PRIORITY), "DSound.SetCooperativeLevel");
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
  wf.nSamplesPerSec = kRates[qBound(0, Settings.SoundFreq, 3)];
  wf.nAvgBytesPerSec = wf.nSamplesPerSec * 4;
  wf.cbSize = 0;
  engine_->Check(primary ? primary->SetFormat(wf) : E_POINTER, "DSBPri.SetFormat");
  engine_->Check(primary ? primary->Play(0, 0, DSBPLAY_LOOPING) : E_POINTER, "DSBPri.Play");
}
