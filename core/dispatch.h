#pragma once
#include <QObject>
#include <array>
#include <functional>

#include "commands/commandtable.h"

// The event type of the command message: every user action ends as one of
// these, posted, and they run in posting order.
inline constexpr int CommandMessage = 0x89C8;

// The one executor of commands. Each command has one action, connected in
// one place when the window is built; a command without one does nothing
// but still counts as executed.
class TCommandDispatch : public QObject {
  Q_OBJECT
 public:
  using TAction = std::function<void()>;
  explicit TCommandDispatch(QObject* parent = nullptr) : QObject(parent) {}

  // The action of a command; replaces the one it had.
  void On(int id, TAction action);
  // Queues the command behind every event already posted.
  void PostCommand(int id);
  void ExecuteCommand(int id);

 signals:
  void CommandExecuted(int id);

 protected:
  bool event(QEvent* e) override;

 private:
  std::array<TAction, CommandCount> actions_;
};
