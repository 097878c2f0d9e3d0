#pragma once
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>

#include "media/fileinfo.h"
#include "playlist/playlistview.h"

class IDirectSound;
class TDirectShowHelper;
struct TMainParts;

// The play states of the main window.
enum class TPlayState : quint8 { Closed = 0, Playing = 1, Paused = 2, SpeedPlay = 3 };

// Playing a file: open and close, the play states, speed, steps, jumps and
// bookmarks, the 300 ms timer, the volume and the engine's failure policy.
// Owns the engine; the playlist plays through it as its owner.
class TPlayback : public TPlayListOwner {
 public:
  explicit TPlayback(TMainParts& parts);
  ~TPlayback() override;

  TDirectShowHelper& Engine() const { return *engine_; }
  QTimer& Timer() { return timer_; }

  // ---- TPlayListOwner
  void OpenFile(const QString& path) override;
  bool IsFileOpen() const override { return !fileName_.isEmpty(); }
  void Play() override;
  void SetPosition(qint64 time) override;
  bool RepeatPlaylist() const override;
  void ClearSeekBarBookmarks() override;
  void SetSeekBarBookmark(int index, qint64 time) override;
  const QImage* SkinBitmap() const override;

  void CloseFile();
  void PauseMovie();
  void SpeedPlay();
  // Back to the state before an operation that had to stop the engine.
  void RestorePlayState();
  void PlayPauseToggle();
  void FrameBack();
  void FrameForward();
  void JumpBackward();
  void JumpForward();
  // Bookmark n (0..8) of the seek bar, when a file is open.
  void JumpToBookmark(int n);
  void AddBookmark();
  qint64 SnapToKeyFrame(qint64 t) const;
  // Whether Alt is held at this moment (key-frame snapping is skipped then);
  // the keyboard's own state unless replaced.
  void SetAltKeyQuery(std::function<bool()> query) { altKeyDown_ = std::move(query); }

  void OnMediaEnd();
  // One tick of the 300 ms timer: clock, subtitle line, position, CPU meter.
  void OnTimer();

  int VolumePosition() const;
  void SetVolumePosition(int position);  // also applies it
  // Applies the volume bar and the Mute button to the device and the movie.
  void ApplyVolume();
  void SetSoundFormat();
  void ShowVideoProperties();
  void SaveScreenshot();
  void ShowFileInformation() const;
  // The controls that work with the file as it now stands.
  void EnableControls(bool open);

  TPlayState PlayState() const { return playState_; }
  const QString& FileName() const { return fileName_; }  // empty when no file is open
  const TFileInfo& FileInfo() const { return fileInfo_; }
  int SubtitleOffset = 0;  // whole seconds, held by the preferences dialog

 private:
  void SetPlayState(TPlayState state);
  // A jump of the KeySeek length from the seek bar's position, -1 back or 1 on.
  void JumpBy(int direction);

  TMainParts& parts_;
  std::unique_ptr<TDirectShowHelper> engine_;
  std::shared_ptr<IDirectSound> directSound_;
  QTimer timer_;
  std::function<bool()> altKeyDown_;
  TPlayState playState_ = TPlayState::Closed;
  QString fileName_;
  TFileInfo fileInfo_;
  int cpuShown_ = 0;
};
