#pragma once
#include "tests/support/fake_playback.h"
#include "tests/support/fake_system.h"

// The services through which a test could act on the machine it runs on:
// power off, display modes, the sound card's volume, the screensaver and
// the process priority. The test main installs these fakes before the first
// test, so a test that forgets its own fake records into them instead of
// switching the machine off.
struct TMachineFakes {
  TFakePowerService power;
  TFakePriorityService priority;
  TFakeWaveOut waveOut;
  TFakeDisplayModes displayModes;
  TFakeScreenSaver screenSaver;
};

// A test that exercises the real display-mode service says so by holding
// one of these; the service it replaced comes back afterwards.
class TRealDisplayModes {
 public:
  TRealDisplayModes() : previous_(&DisplayModes()) { SetDisplayModes(nullptr); }
  ~TRealDisplayModes() { SetDisplayModes(previous_); }
  TRealDisplayModes(const TRealDisplayModes&) = delete;
  TRealDisplayModes& operator=(const TRealDisplayModes&) = delete;

 private:
  TDisplayModeService* previous_;
};
