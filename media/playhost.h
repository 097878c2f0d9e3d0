#pragma once
// What the engine's dialogs need of the player around them: its play-state
// actions and the file it has open. The main window answers.
#include <QString>
#include <cstdint>

class TPlayHost {
 public:
  virtual ~TPlayHost() = default;
  virtual void RestorePlayState() = 0;
  virtual void PauseMovie() = 0;
  virtual void Play() = 0;
  virtual void OpenFile(const QString& name) = 0;
  virtual QString CurrentFile() const = 0;
  // The earliest bookmark of the current playlist entry, 0 without one.
  virtual int64_t FirstBookmark() const = 0;
};
