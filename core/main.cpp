#include <QDir>
#include <QFileInfo>

#include "core/MainUnit.h"
#include "core/application.h"
#include "platform/system/termsignal.h"
#include "playlist/error.h"
#include "playlist/subtitles.h"

int main(int argc, char** argv) {
  // The video sink needs a native window inside the movie panel; the panels
  // and the logo beside it stay ordinary widgets. A native logo that is
  // hidden while a film plays keeps its old size on the screen when the
  // window is resized meanwhile, and shows cut off when it comes back.
  QApplication::setAttribute(Qt::AA_DontCreateNativeWidgetSiblings);
  TKelvaraApplication app(argc, argv);
  app.setQuitOnLastWindowClosed(true);

  // Names are made absolute here so that a running instance that gets them
  // resolves them as this process would.
  QStringList arguments;
  for (const QString& a : app.arguments().mid(1)) {
    const QFileInfo fi(a);
    arguments << (fi.exists() && fi.isRelative() ? fi.absoluteFilePath() : a);
  }

  // The windows in their creation order; each but the main one stays hidden
  // until a command shows it.
  TfrMain frMain;
  TfrSubtitles frSubtitles;
  TfrError frError;
  frMain.SetErrorWindow(&frError);
  frMain.SetSubtitleWindow(&frSubtitles);

  // Start-up runs under the same error handling as every event: an error
  // raised on the way reaches the error window and the player goes on.
  bool started = true;
  TKelvaraApplication::Guarded([&] { started = frMain.StartUp(arguments); });
  if (!started) return 0;
  OnTerminateSignal([&frMain] {
    // Whatever box or dialog is open goes first; then the window saves the
    // settings and the playlist, and every loop, nested or not, ends.
    TKelvaraApplication::CloseModalWindows();
    frMain.close();
    QCoreApplication::quit();
  });
  frMain.show();
  return app.exec();
}
