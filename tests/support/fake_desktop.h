#pragma once
#include "tests/support/fake_msgbox.h"
#include "tests/support/fake_playback.h"
#include "tests/support/fake_system.h"

// Every service through which the main window could touch the machine it
// runs on (boxes, power, priority, volume, display mode, screensaver),
// replaced by fakes for the lifetime of the object.
struct TFakeDesktop {
  TFakeMessageBoxes boxes;
  TFakePowerService power;
  TFakePriorityService priority;
  TFakeWaveOut waveOut;
  TFakeDisplayModes displayModes;
  TFakeScreenSaver screenSaver;
};
