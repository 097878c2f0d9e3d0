#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "platform/system/filetypes.h"
#include "platform/system/profile.h"
#include "prefs/associations.h"
#include "tests/support/tempenv.h"

namespace {

enum Item { KPL = 0, ASF = 1, AVI = 2, DAT = 3, DIVX = 4, MOV = 8, MPE = 9, MPEG = 10, MPG = 11,
            QT = 12, VOB = 13, MID = 21, MP2 = 22, MP3 = 23, WAV = 26 };

// Runs one of the desktop's own tools and returns what it printed.
QString RunTool(const QString& tool, const QStringList& args) {
  const QString path = QStandardPaths::findExecutable(tool);
  EXPECT_FALSE(path.isEmpty()) << tool.toStdString() << " is needed (scripts/packages.txt)";
  if (path.isEmpty()) return {};
  QProcess p;
  // Untranslated answers, whatever the test's own locale.
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("LC_ALL", "C.UTF-8");
  env.insert("LANGUAGE", "C");
  p.setProcessEnvironment(env);
  p.start(path, args);
  EXPECT_TRUE(p.waitForFinished(30000)) << tool.toStdString();
  return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

QString QueryDefault(const QString& type) { return RunTool("xdg-mime", {"query", "default", type}); }
// gio's first line: "Default application for “TYPE”: ID", or that there is none.
QString GioDefault(const QString& type) { return RunTool("gio", {"mime", type}).section('\n', 0, 0); }

// A private desktop with one other player that the user had chosen for AVI
// files, and the test program standing for the running player. Its system
// folders hold no program and a MIME database of the standard types only,
// so that what is installed on the machine (the player itself, say) does
// not answer for it.
class Associations : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    system_ = new QTemporaryDir;
    const QString packages = system_->path() + "/mime/packages";
    QDir().mkpath(packages);
    QFile::link("/usr/share/mime/packages/freedesktop.org.xml", packages + "/freedesktop.org.xml");
    RunTool("update-mime-database", {system_->path() + "/mime"});
  }
  static void TearDownTestSuite() {
    delete system_;
    system_ = nullptr;
  }
  void SetUp() override {
    ASSERT_TRUE(QFile::exists(system_->path() + "/mime/mime.cache"));
    home_.env.Set("XDG_DATA_DIRS", system_->path().toLocal8Bit());
    home_.env.Set("XDG_CONFIG_DIRS", system_->path().toLocal8Bit());
    const QString apps = home_.data.path() + "/applications";
    QDir().mkpath(apps);
    QFile other(apps + "/other.desktop");
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.write("[Desktop Entry]\nType=Application\nName=Other\nExec=/bin/true %F\n"
                "MimeType=video/x-msvideo;audio/mpeg;\n");
    other.close();
    RunTool("xdg-mime", {"default", "other.desktop", "video/x-msvideo"});
    ASSERT_EQ(QueryDefault("video/x-msvideo"), "other.desktop");
  }
  QString Backup(const QString& type) {
    TIniFile ini;
    ini.Load(TFileAssociations::BackupPath());
    return ini.HasKey("Backup", type) ? ini.ReadString("Backup", type, "") : "<none>";
  }
  static inline QTemporaryDir* system_ = nullptr;
  TPrivateHome home_;
  const QString exe_ = QCoreApplication::applicationFilePath();
};

}  // namespace

TEST(FileTypes, ItemsTypesIconsAndTheOpenFilter) {
  TPrivateHome home;
  TFileAssociations a("/usr/bin/kelvara");
  EXPECT_EQ(a.MimeType(KPL), "application/x-kelvara-playlist");
  EXPECT_EQ(a.MimeType(AVI), "video/x-msvideo");
  EXPECT_EQ(a.MimeType(DIVX), "video/x-msvideo");
  // The database offers MP2 as audio and as video; the audio item takes audio.
  EXPECT_EQ(a.MimeType(MP2), "audio/mp2");
  for (int i : {MPE, MPEG, MPG, VOB}) EXPECT_EQ(a.MimeType(i), "video/mpeg") << i;
  EXPECT_FALSE(a.Associable(DAT));
  EXPECT_EQ(FileTypeExtension(FileTypes()[5]), "ENC");
  EXPECT_EQ(FileTypeIcon(KPL), 1);
  EXPECT_EQ(FileTypeIcon(16), 3);
  EXPECT_EQ(FileTypeIcon(17), 5);
  EXPECT_TRUE(MultimediaFilter().startsWith("Multimedia files|*.KPL;*.ASF;*.AVI;"));
  EXPECT_TRUE(MultimediaFilter().endsWith("*.WAV;|Any files|*.*"));
}

TEST(FileTypes, ItemsOfOneTypeMoveTogetherAndGroupsClearFirst) {
  TPrivateHome home;
  TFileAssociations a("/usr/bin/kelvara");
  a.SetChecked(MPG, true);
  for (int i : {MPE, MPEG, MPG, VOB}) EXPECT_TRUE(a.Checked(i)) << i;
  a.SetChecked(VOB, false);
  EXPECT_FALSE(a.Checked(MPG));
  a.SetChecked(DAT, true);
  EXPECT_FALSE(a.Checked(DAT));
  // Marks the list hands over: a type follows any of its marked items.
  TFileTypeMarks list;
  list.SetChecked(MPG, true);
  list.SetChecked(DAT, true);
  a.SetMarks(list);
  for (int i : {MPE, MPEG, MPG, VOB}) EXPECT_TRUE(a.Checked(i)) << i;
  EXPECT_FALSE(a.Checked(DAT));
  EXPECT_FALSE(a.Checked(AVI));

  a.SelectGroup(TFileGroup::Audio);
  QList<int> checked;
  for (int i = 0; i < FileTypeCount; ++i)
    if (a.Checked(i)) checked << i;
  EXPECT_EQ(checked, (QList<int>{KPL, MID, MP3, WAV}));
  a.SelectGroup(TFileGroup::Video);
  checked.clear();
  for (int i = 0; i < FileTypeCount; ++i)
    if (a.Checked(i)) checked << i;
  // DIVX shares AVI's type, VOB the MPEG one.
  EXPECT_EQ(checked, (QList<int>{KPL, ASF, AVI, DIVX, MPE, MPEG, MPG, VOB}));
  a.SelectGroup(TFileGroup::All);
  for (int i = 0; i < FileTypeCount; ++i) EXPECT_EQ(a.Checked(i), a.Associable(i)) << i;
}

TEST_F(Associations, AssociatesKeepsTheFirstBackupAndGivesBack) {
  TFileAssociations a(exe_);
  a.SetChecked(AVI, true);
  a.Apply();
  EXPECT_EQ(QueryDefault("video/x-msvideo"), "kelvara.desktop");
  EXPECT_EQ(GioDefault("video/x-msvideo"), "Default application for “video/x-msvideo”: kelvara.desktop");
  EXPECT_EQ(Backup("video/x-msvideo"), "other.desktop");
  // The entry starts this executable and claims only the type it holds.
  const QByteArray entry = FileTypeService().UserDesktopEntry("kelvara.desktop");
  EXPECT_EQ(ExecProgram(DesktopEntryValue(entry, "Exec")), exe_);
  EXPECT_EQ(DesktopEntryValue(entry, "MimeType"), "video/x-msvideo;");
  EXPECT_EQ(RunTool("desktop-file-validate", {home_.data.path() + "/applications/kelvara.desktop"}), "");

  // Read back from the desktop: both items of the type are marked.
  TFileAssociations b(exe_);
  b.Refresh();
  EXPECT_TRUE(b.Checked(AVI));
  EXPECT_TRUE(b.Checked(DIVX));
  EXPECT_FALSE(b.Checked(MPG));
  b.Apply();
  EXPECT_EQ(Backup("video/x-msvideo"), "other.desktop");

  b.SetChecked(AVI, false);
  b.Apply();
  EXPECT_EQ(QueryDefault("video/x-msvideo"), "other.desktop");
  EXPECT_EQ(GioDefault("video/x-msvideo"), "Default application for “video/x-msvideo”: other.desktop");
  // Nothing held any more: the entry claims no type, so the desktop offers
  // the player for none.
  EXPECT_EQ(DesktopEntryValue(FileTypeService().UserDesktopEntry("kelvara.desktop"), "MimeType"), "");
}

TEST_F(Associations, ReleasesOnlyWhatIsStillItsOwn) {
  TFileAssociations a(exe_);
  a.SetChecked(AVI, true);
  a.SetChecked(MP3, true);
  a.Apply();
  // audio/mpeg had no default: its backup is empty and giving it back
  // leaves no line, so the desktop's own choice applies again.
  EXPECT_EQ(Backup("audio/mpeg"), "");
  EXPECT_EQ(QueryDefault("audio/mpeg"), "kelvara.desktop");
  // Meanwhile the user gives AVI files to another program.
  RunTool("xdg-mime", {"default", "third.desktop", "video/x-msvideo"});
  a.SelectGroup(TFileGroup::None);
  a.Apply();
  EXPECT_EQ(FileTypeService().DefaultApplications("video/x-msvideo"), "third.desktop");
  EXPECT_EQ(FileTypeService().DefaultApplications("audio/mpeg"), "");
  EXPECT_NE(QueryDefault("audio/mpeg"), "kelvara.desktop");
}

TEST_F(Associations, APlayerMovedElsewhereShowsUncheckedAndReleases) {
  {
    TFileAssociations a(exe_);
    a.SetChecked(AVI, true);
    a.Apply();
  }
  TFileAssociations moved("/bin/true");
  moved.Refresh();
  EXPECT_FALSE(moved.Checked(AVI));
  moved.Apply();
  EXPECT_EQ(QueryDefault("video/x-msvideo"), "other.desktop");
}

TEST_F(Associations, VideoGroupThenApplyReleasesEveryAudioType) {
  TFileAssociations a(exe_);
  a.SelectGroup(TFileGroup::All);
  a.Apply();
  for (const char* type : {"audio/mpeg", "audio/x-wav", "audio/midi", "video/mpeg"})
    EXPECT_EQ(QueryDefault(type), "kelvara.desktop") << type;
  a.SelectGroup(TFileGroup::Video);
  a.Apply();
  for (const char* type : {"audio/mpeg", "audio/x-wav", "audio/midi"})
    EXPECT_NE(QueryDefault(type), "kelvara.desktop") << type;
  EXPECT_EQ(QueryDefault("video/mpeg"), "kelvara.desktop");
  a.Refresh();
  EXPECT_FALSE(a.Checked(MP3));
  EXPECT_TRUE(a.Checked(VOB));
}

TEST_F(Associations, ThePlaylistTypeComesWithItsMimePackage) {
  TFileAssociations a(exe_);
  a.SetChecked(KPL, true);
  a.Apply();
  const QString mime = home_.data.path() + "/mime";
  EXPECT_TRUE(QFile::exists(mime + "/packages/kelvara.xml"));
  EXPECT_TRUE(QFile::exists(mime + "/mime.cache"));
  QFile list(home_.data.path() + "/list.kpl");
  ASSERT_TRUE(list.open(QIODevice::WriteOnly));
  list.write("/tmp/a.avi\r\n>N a\r\n\r\n");
  list.close();
  EXPECT_EQ(RunTool("gio", {"info", "-a", "standard::content-type", list.fileName()}).section('\n', -1).trimmed(),
            "standard::content-type: application/x-kelvara-playlist");
  EXPECT_EQ(QueryDefault("application/x-kelvara-playlist"), "kelvara.desktop");
}
