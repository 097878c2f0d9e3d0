// The dialog in the real program on a real X server: F10 opens it, a key
// captured in the grid and confirmed with OK runs its command at once.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <functional>

#include "commands/commandtable.h"
#include "tests/support/run_tool.h"
#include "tests/support/testclips.h"

namespace {

bool WaitFor(const std::function<bool()>& done, int ms = 10000) {
  QElapsedTimer waited;
  waited.start();
  while (!done()) {
    if (waited.elapsed() > ms) return false;
    QThread::msleep(50);
  }
  return true;
}

struct TGeometry {
  int x = 0, y = 0, w = 0, h = 0;
};

TGeometry GeometryOf(const QString& window) {
  const QString out = QString::fromLatin1(RunTool("xdotool", {"getwindowgeometry", "--shell", window}));
  TGeometry g;
  auto value = [&](const char* name) {
    const auto m = QRegularExpression(QString("%1=(-?\\d+)").arg(name)).match(out);
    return m.hasMatch() ? m.captured(1).toInt() : 0;
  };
  g.x = value("X");
  g.y = value("Y");
  g.w = value("WIDTH");
  g.h = value("HEIGHT");
  return g;
}

void Click(int x, int y) {
  RunTool("xdotool", {"mousemove", "--sync", QString::number(x), QString::number(y)});
  RunTool("xdotool", {"click", "1"});
}

}  // namespace

TEST(RealPrefsWindow, F10OpensTheDialogAndACapturedKeyWorksAfterOk) {
  if (qEnvironmentVariableIsEmpty("DISPLAY")) GTEST_SKIP() << "no X server";
  if (QStandardPaths::findExecutable("xdotool").isEmpty()) GTEST_SKIP() << "xdotool missing";
  ASSERT_TRUE(TestClips().Ok()) << TestClips().Error.toStdString();
  QTemporaryDir config, runtime;
  QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  QProcess player;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("XDG_CONFIG_HOME", config.path());
  env.insert("XDG_RUNTIME_DIR", runtime.path());
  env.insert("QT_QPA_PLATFORM", "xcb");
  env.insert("LC_ALL", "ru_RU.UTF-8");
  env.remove("LANGUAGE");
  player.setProcessEnvironment(env);
  player.setProcessChannelMode(QProcess::ForwardedChannels);
  // Full screen needs an open film.
  player.start(KELVARA_BINARY, {TestClips().Bench});
  ASSERT_TRUE(player.waitForStarted(10000));
  struct TStop {
    QProcess& p;
    ~TStop() {
      p.terminate();
      if (!p.waitForFinished(10000)) p.kill();
    }
  } stop{player};

  const QString pid = QString::number(player.processId());
  QString main;
  ASSERT_TRUE(WaitFor([&] {
    main = QString::fromLatin1(RunTool("xdotool", {"search", "--onlyvisible", "--pid", pid})).split('\n', Qt::SkipEmptyParts).value(0);
    return !main.isEmpty();
  }));
  const TGeometry before = GeometryOf(main);

  RunTool("xdotool", {"key", "--window", main, "F10"});
  QString dialog;
  ASSERT_TRUE(WaitFor([&] {
    dialog = QString::fromLatin1(RunTool("xdotool", {"search", "--onlyvisible", "--name", "Kelvara Configuration"}))
                 .split('\n', Qt::SkipEmptyParts)
                 .value(0);
    return !dialog.isEmpty();
  })) << "F10 did not open the dialog";
  const TGeometry d = GeometryOf(dialog);
  ASSERT_EQ(d.w, 519);
  ASSERT_EQ(d.h, 329);

  // The tree's first node, then down to "Клавиатура".
  Click(d.x + 40, d.y + 12);
  for (int i = 0; i < 6; ++i) RunTool("xdotool", {"key", "--window", dialog, "Down"});
  QThread::msleep(300);
  // The window-key cell of "Окно / Полный экран": below the header, 16 pixels a row.
  Click(d.x + 130 + 1 + 160 + 36, d.y + 4 + 1 + 16 + cmFullScreen * 16 + 8);
  RunTool("xdotool", {"key", "--window", dialog, "F11"});
  QThread::msleep(300);
  Click(d.x + 360 + 37, d.y + 300 + 12);  // OK
  ASSERT_TRUE(WaitFor([&] {
    return QString::fromLatin1(RunTool("xdotool", {"search", "--onlyvisible", "--name", "Kelvara Configuration"})).trimmed().isEmpty();
  })) << "OK did not close the dialog";

  QFile ini(config.path() + "/kelvara/kelvar.ini");
  ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
  EXPECT_TRUE(ini.readAll().contains("Wind_007=F11\r\n"));

  // F11 now runs "Full-Screen / Window" in the main window.
  RunTool("xdotool", {"key", "--window", main, "F11"});
  const QString screen = QString::fromLatin1(RunTool("xdotool", {"getdisplaygeometry"})).trimmed();
  // Full screen may give the window a new X window: look at the program's
  // windows as they are now.
  QString seen;
  EXPECT_TRUE(WaitFor([&] {
    seen.clear();
    for (const QString& w :
         QString::fromLatin1(RunTool("xdotool", {"search", "--onlyvisible", "--pid", pid})).split('\n', Qt::SkipEmptyParts)) {
      const TGeometry g = GeometryOf(w);
      seen += QString(" %1x%2").arg(g.w).arg(g.h);
      if (QString("%1 %2").arg(g.w).arg(g.h) == screen) return true;
    }
    return false;
  })) << "the windows are" << seen.toStdString() << ", the screen " << screen.toStdString() << ", before "
      << before.w << "x" << before.h;
}
