// The other process in the single-instance and priority tests.
//   send <channel> <text>       hand the text over; exit code = THandOverResult
//   send-size <channel> <n>     hand over n bytes of 'x'
//   serve <channel>             print "listening" (or "busy", exit 3), then
//                               print "got:" + text for every message
//   priority                    print the nice value after asking for High,
//                               then after asking for Normal, starting from 5
#include <sys/resource.h>

#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

#include "platform/system/instance.h"
#include "platform/system/priority.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QStringList args = app.arguments();
  const QString mode = args.value(1);
  if (mode == "send" && args.size() == 4)
    return int(HandOverCommandLine(args[3].toUtf8(), args[2], 10000));
  if (mode == "send-size" && args.size() == 4)
    return int(HandOverCommandLine(QByteArray(args[3].toLongLong(), 'x'), args[2], 10000));
  if (mode == "serve" && args.size() == 3) {
    TInstanceServer server([](const QByteArray& text) {
      std::printf("got:%s\n", text.constData());
      std::fflush(stdout);
    });
    if (!server.Listen(args[2])) {
      std::printf("busy\n");
      return 3;
    }
    std::printf("listening\n");
    std::fflush(stdout);
    return app.exec();
  }
  if (mode == "priority") {
    setpriority(PRIO_PROCESS, 0, 5);
    PriorityService().SetPriorityClass(TPriorityClass::High);
    std::printf("%d\n", getpriority(PRIO_PROCESS, 0));
    PriorityService().SetPriorityClass(TPriorityClass::Normal);
    std::printf("%d\n", getpriority(PRIO_PROCESS, 0));
    return 0;
  }
  std::fprintf(stderr, "usage: instance_peer send|send-size|serve|priority ...\n");
  return 100;
}
