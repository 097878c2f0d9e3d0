#pragma once

// Switching the computer off goes through one replaceable service, so that
// no test can ever shut down the machine it runs on.
class TPowerService {
 public:
  virtual ~TPowerService() = default;
  // Asks the system to shut down and power off without asking the user.
  // True when the request was accepted.
  virtual bool PowerOff() = 0;
};

// The service in use: logind over the system bus unless a test installed another.
TPowerService& PowerService();
// Installs a service (nullptr restores the logind one). The caller keeps ownership.
void SetPowerService(TPowerService* service);
