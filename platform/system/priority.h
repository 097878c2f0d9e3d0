#pragma once

enum class TPriorityClass { Normal, High };

// The scheduling priority of this process. Raising it needs a privilege the
// user may not have; a refused raise leaves the priority as it was.
class TPriorityService {
 public:
  virtual ~TPriorityService() = default;
  // True when the priority was changed (or already was that class).
  virtual bool SetPriorityClass(TPriorityClass priority) = 0;
};

// The service in use: setpriority on this process unless a test installed another.
TPriorityService& PriorityService();
// Installs a service (nullptr restores the real one). The caller keeps ownership.
void SetPriorityService(TPriorityService* service);

// The nice value a priority class runs at.
int NiceValueOf(TPriorityClass priority);
