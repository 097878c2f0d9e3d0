#pragma once
#include "tests/support/fake_msgbox.h"
#include "tests/support/machine_services.h"

// Every service through which the main window could touch the machine it
// runs on, replaced by fakes of the test's own for the lifetime of the
// object, and the message boxes recorded instead of shown.
struct TFakeDesktop : TMachineFakes {
  TFakeMessageBoxes boxes;
};
