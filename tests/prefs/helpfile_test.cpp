#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>

#include "core/MainUnit.h"
#include "tests/support/main_window.h"
#include "core/prefslink.h"
#include "lang/langs.h"
#include "tests/support/fake_desktop.h"
#include "tests/support/tempenv.h"

namespace {

// Takes the desktop's file opening for the test's lifetime.
class TOpenedUrls : public QObject {
  Q_OBJECT
 public:
  TOpenedUrls() { QDesktopServices::setUrlHandler("file", this, "Open"); }
  ~TOpenedUrls() override { QDesktopServices::unsetUrlHandler("file"); }
  QList<QUrl> opened;
 public slots:
  void Open(const QUrl& url) { opened << url; }
};

}  // namespace

TEST(HelpFile, EnglishHelpOpensTheFileBesideTheProgram) {
  TPrivateHome home;
  TFakeDesktop desktop;
  TOpenedUrls urls;
  TfrMain main;
  ASSERT_TRUE(main.StartUp({}));
  ApplyLanguage(lcEnglish);
  const QString path = QCoreApplication::applicationDirPath() + "/kelvar.html";
  QFile::remove(path);

  main.Commands().ExecuteCommand(cmHelp);
  ASSERT_EQ(desktop.boxes.shown.size(), 1u);
  EXPECT_TRUE(desktop.boxes.shown[0].text.contains("kelvar.html"));
  EXPECT_TRUE(urls.opened.isEmpty());

  // The help the build ships beside the program.
  ASSERT_TRUE(QFile::copy(KELVARA_SOURCE_DIR "/resources/kelvar.html", path));
  main.Commands().ExecuteCommand(cmHelp);
  QFile::remove(path);
  ASSERT_EQ(urls.opened.size(), 1);
  EXPECT_EQ(urls.opened[0], QUrl::fromLocalFile(path));
  EXPECT_EQ(desktop.boxes.shown.size(), 1u);

  // Russian keeps the short help in a box.
  ApplyLanguage(lcRussian);
  main.Commands().ExecuteCommand(cmHelp);
  ASSERT_EQ(desktop.boxes.shown.size(), 2u);
  EXPECT_EQ(desktop.boxes.shown[1].caption, "Краткая справка");
  EXPECT_TRUE(desktop.boxes.shown[1].text.contains("F3 - Загрузить файл"));
  EXPECT_EQ(urls.opened.size(), 1);
}

// An installed program keeps its help in the data folder beside its bin
// folder; a copy beside the program (a build tree) is taken first.
TEST(HelpFile, InstalledProgramOpensTheHelpInItsDataFolder) {
  TPrivateHome home;
  TFakeDesktop desktop;
  TOpenedUrls urls;
  QTemporaryDir prefix;
  const QString bin = prefix.path() + "/bin";
  const QString data = prefix.path() + "/share/kelvara";
  ASSERT_TRUE(QDir().mkpath(bin));
  ASSERT_TRUE(QDir().mkpath(data));

  OpenHelpFile(bin);
  ASSERT_EQ(desktop.boxes.shown.size(), 1u);
  EXPECT_EQ(desktop.boxes.shown[0].text, "The help file " + bin + "/kelvar.html is missing.");
  EXPECT_TRUE(urls.opened.isEmpty());

  ASSERT_TRUE(QFile::copy(KELVARA_SOURCE_DIR "/resources/kelvar.html", data + "/kelvar.html"));
  OpenHelpFile(bin);
  ASSERT_EQ(urls.opened.size(), 1);
  EXPECT_EQ(urls.opened[0], QUrl::fromLocalFile(data + "/kelvar.html"));

  ASSERT_TRUE(QFile::copy(KELVARA_SOURCE_DIR "/resources/kelvar.html", bin + "/kelvar.html"));
  OpenHelpFile(bin);
  ASSERT_EQ(urls.opened.size(), 2);
  EXPECT_EQ(urls.opened[1], QUrl::fromLocalFile(bin + "/kelvar.html"));
  EXPECT_EQ(desktop.boxes.shown.size(), 1u);
}

#include "helpfile_test.moc"
