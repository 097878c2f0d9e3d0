#pragma once
#include <vector>

#include "platform/system/power.h"
#include "platform/system/priority.h"

// Counts power-off requests instead of switching the machine off. Installs
// itself for its lifetime and then puts back the service it replaced; the
// test main holds one for the whole run, so no path can reach logind.
class TFakePowerService : public TPowerService {
 public:
  TFakePowerService() : previous_(&PowerService()) { SetPowerService(this); }
  ~TFakePowerService() override { SetPowerService(previous_); }
  bool PowerOff() override {
    ++calls;
    return accept;
  }
  int calls = 0;
  bool accept = true;

 private:
  TPowerService* previous_;
};

// Records the priority classes asked for instead of renicing the test process.
class TFakePriorityService : public TPriorityService {
 public:
  TFakePriorityService() : previous_(&PriorityService()) { SetPriorityService(this); }
  ~TFakePriorityService() override { SetPriorityService(previous_); }
  bool SetPriorityClass(TPriorityClass priority) override {
    requested.push_back(priority);
    return true;
  }
  std::vector<TPriorityClass> requested;

 private:
  TPriorityService* previous_;
};
