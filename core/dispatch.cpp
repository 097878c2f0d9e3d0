#include "core/dispatch.h"

#include <QCoreApplication>
#include <QEvent>

namespace {
class TCommandEvent : public QEvent {
 public:
  explicit TCommandEvent(int id) : QEvent(static_cast<QEvent::Type>(CommandMessage)), Id(id) {}
  const int Id;
};
}  // namespace

void TCommandDispatch::On(int id, TAction action) {
  if (IsCommandId(id)) actions_[static_cast<size_t>(id)] = std::move(action);
}

void TCommandDispatch::PostCommand(int id) { QCoreApplication::postEvent(this, new TCommandEvent(id)); }

void TCommandDispatch::ExecuteCommand(int id) {
  if (IsCommandId(id) && actions_[static_cast<size_t>(id)]) actions_[static_cast<size_t>(id)]();
  emit CommandExecuted(id);
}

bool TCommandDispatch::event(QEvent* e) {
  if (static_cast<int>(e->type()) != CommandMessage) return QObject::event(e);
  ExecuteCommand(static_cast<TCommandEvent*>(e)->Id);
  return true;
}
