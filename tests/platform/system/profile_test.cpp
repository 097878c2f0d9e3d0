#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "platform/system/profile.h"
#include "tests/support/file_bytes.h"

TEST(IniFile, ReadingRulesOfTheProfileFunctions) {
  TIniFile ini;
  ini.Parse(
      "stray=before any section\r\n"
      "[Common]   \r\n"
      "  VideoDir =  /home/user/films  \r\n"
      "no equals sign here\r\n"
      "Empty=\r\n"
      "Volume=55\n"           // LF alone
      "volume=99\r\n"         // a later duplicate never wins
      "[ Video ]\n"
      "Speed=+7\n"
      "Bad=12abc\n"
      "Huge=99999999999\n"
      "Neg=-3\n"
      "Spaced = 42 \n"
      "Eq=a=b\n"
      "[Common]\n"
      "Repeat=1\n"
      "Volume=1\n"
      "[Open\n"
      "X=1\n");
  EXPECT_FALSE(ini.HasKey("", "stray"));
  EXPECT_EQ(ini.ReadString("COMMON", "videodir", "d"), "/home/user/films");
  EXPECT_TRUE(ini.HasKey("Common", "Empty"));
  EXPECT_EQ(ini.ReadString("Common", "Empty", "d"), "");
  EXPECT_EQ(ini.ReadInteger("Common", "Empty", 7), 7);
  EXPECT_EQ(ini.ReadString("Common", "Absent", "d"), "d");
  EXPECT_EQ(ini.ReadInteger("Common", "Volume", 0), 55);
  EXPECT_EQ(ini.ReadInteger("video", "SPEED", 0), 7);
  EXPECT_EQ(ini.ReadInteger("Video", "Bad", 31), 31);
  EXPECT_EQ(ini.ReadInteger("Video", "Huge", 31), 31);
  EXPECT_EQ(ini.ReadInteger("Video", "Neg", 0), -3);
  EXPECT_EQ(ini.ReadInteger("Video", "Spaced", 0), 42);
  EXPECT_EQ(ini.ReadString("Video", "Eq", ""), "a=b");
  // A repeated section header continues the first section.
  EXPECT_TRUE(ini.ReadBool("Common", "Repeat", false));
  // "[Open" has no closing bracket: not a header, so X stays in [Common].
  EXPECT_FALSE(ini.Sections().contains("Open"));
  EXPECT_EQ(ini.ReadInteger("Common", "X", 0), 1);
  EXPECT_EQ(ini.Sections(), QStringList({"Common", "Video"}));
}

TEST(IniFile, BoolsReadAsIntegers) {
  TIniFile ini;
  ini.Parse("[S]\nA=1\nB=0\nC=2\nD=-1\nE=yes\nF=\n");
  EXPECT_TRUE(ini.ReadBool("S", "A", false));
  EXPECT_FALSE(ini.ReadBool("S", "B", true));
  EXPECT_TRUE(ini.ReadBool("S", "C", false));
  EXPECT_TRUE(ini.ReadBool("S", "D", false));
  EXPECT_TRUE(ini.ReadBool("S", "E", true));
  EXPECT_FALSE(ini.ReadBool("S", "E", false));
  EXPECT_TRUE(ini.ReadBool("S", "F", true));
  EXPECT_TRUE(ini.ReadBool("S", "Missing", true));
}

TEST(IniFile, WritesInOrderOfFirstWriteWithCrLf) {
  TIniFile ini;
  ini.WriteString("Common", "KVVer", "1.9 Beta");
  ini.WriteInteger("Video", "ScrWidth", 640);
  ini.WriteBool("Common", "Repeat", true);
  ini.WriteString("COMMON", "kvver", "2.0");  // replaced in place, first spelling kept
  ini.WriteInteger("Video", "ScrDepth", -16);
  EXPECT_EQ(ini.Serialize(),
            "[Common]\r\nKVVer=2.0\r\nRepeat=1\r\n[Video]\r\nScrWidth=640\r\nScrDepth=-16\r\n");
  EXPECT_EQ(ini.Keys("video"), QStringList({"ScrWidth", "ScrDepth"}));
}

TEST(IniFile, LineBreaksInValuesCannotForgeKeys) {
  TIniFile ini;
  ini.WriteString("Interface", "Skin", "/tmp/a\r\n[Misc]\nHighPriority=1");
  TIniFile back;
  back.Parse(ini.Serialize());
  EXPECT_FALSE(back.HasKey("Misc", "HighPriority"));
  EXPECT_EQ(back.Sections(), QStringList({"Interface"}));
  EXPECT_EQ(back.ReadString("Interface", "Skin", ""), "/tmp/a  [Misc] HighPriority=1");
}

TEST(IniFile, LocaleEncodingRoundTrip) {
  TIniFile ini;
  ini.WriteString("Interface", "Skin", QString::fromUtf8("Загрузить набор кнопок"));
  const QByteArray bytes = ini.Serialize();
  EXPECT_TRUE(bytes.contains("Skin=\xD0\x97\xD0\xB0"));  // UTF-8 under ru_RU.UTF-8
  TIniFile back;
  back.Parse(bytes);
  EXPECT_EQ(back.ReadString("interface", "skin", ""), QString::fromUtf8("Загрузить набор кнопок"));
}

TEST(IniFile, LoadAndSaveFiles) {
  QTemporaryDir dir;
  const QString path = dir.filePath("kelvar.ini");
  TIniFile ini;
  EXPECT_FALSE(ini.Load(path));
  ini.WriteString("A", "k", "v");
  QString error;
  ASSERT_TRUE(ini.Save(path, &error)) << error.toStdString();
  EXPECT_EQ(ReadFileBytes(path), "[A]\r\nk=v\r\n");
  TIniFile back;
  ASSERT_TRUE(back.Load(path));
  EXPECT_EQ(back.ReadString("a", "K", ""), "v");
  // Loading replaces whatever the store held before.
  WriteFileBytes(path, "[B]\nx=1\n");
  ASSERT_TRUE(back.Load(path));
  EXPECT_FALSE(back.HasKey("A", "k"));
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"kelvar.ini"}));
}

TEST(IniFile, FailedSaveKeepsThePreviousFile) {
  QTemporaryDir dir;
  const QString path = dir.filePath("kelvar.ini");
  const QByteArray old = "[Common]\r\nVolume=42\r\n";
  WriteFileBytes(path, old);
  TIniFile ini;
  for (int i = 0; i < 200; ++i) ini.WriteInteger("CommandMap", QString("Wind_%1").arg(i), i);
  {
    TFileSizeLimit limit(64);
    QString error;
    EXPECT_FALSE(ini.Save(path, &error));
    EXPECT_FALSE(error.isEmpty());
  }
  EXPECT_EQ(ReadFileBytes(path), old);
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"kelvar.ini"}));

  // A folder that cannot exist (its parent is a file) fails too, with a reason.
  const QString blocker = dir.filePath("plain");
  WriteFileBytes(blocker, "x");
  QString error;
  EXPECT_FALSE(ini.Save(blocker + "/kelvar.ini", &error));
  EXPECT_FALSE(error.isEmpty());
}
