#pragma once
#include <vector>

#include "platform/system/power.h"
#include "platform/system/priority.h"

// Counts power-off requests instead of switching the machine off. Installs
// itself for its lifetime; any test that can reach a power-off path must
// hold one.
class TFakePowerService : public TPowerService {
 public:
  TFakePowerService() { SetPowerService(this); }
  ~TFakePowerService() override { SetPowerService(nullptr); }
  bool PowerOff() override {
    ++calls;
    return accept;
  }
  int calls = 0;
  bool accept = true;
};

// Records the priority classes asked for instead of renicing the test process.
class TFakePriorityService : public TPriorityService {
 public:
  TFakePriorityService() { SetPriorityService(this); }
  ~TFakePriorityService() override { SetPriorityService(nullptr); }
  bool SetPriorityClass(TPriorityClass priority) override {
    requested.push_back(priority);
    return true;
  }
  std::vector<TPriorityClass> requested;
};
