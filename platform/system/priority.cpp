#include "platform/system/priority.h"

#include <sys/resource.h>

#include <QDir>
#include <QStringList>
#include <cerrno>

namespace {

class TNicePriority : public TPriorityService {
 public:
  bool SetPriorityClass(TPriorityClass priority) override {
    const int nice = NiceValueOf(priority);
    errno = 0;
    const int current = getpriority(PRIO_PROCESS, 0);
    if (errno == 0 && current == nice) return true;
    // EPERM/EACCES when an unprivileged user asks for more than before:
    // the program simply keeps running at its current priority.
    if (setpriority(PRIO_PROCESS, 0, nice) != 0) return false;
    // Linux keeps a nice value per thread; the streaming threads that already
    // run must follow the UI thread, or playback would not gain anything.
    const QStringList tasks = QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& task : tasks) {
      bool ok = false;
      const id_t tid = task.toUInt(&ok);
      if (ok) setpriority(PRIO_PROCESS, tid, nice);
    }
    return true;
  }
};

TPriorityService* g_service = nullptr;

}  // namespace

int NiceValueOf(TPriorityClass priority) {
  // High stays clear of the range real-time audio daemons use.
  return priority == TPriorityClass::High ? -10 : 0;
}

TPriorityService& PriorityService() {
  static TNicePriority real;
  return g_service ? *g_service : real;
}

void SetPriorityService(TPriorityService* service) { g_service = service; }
