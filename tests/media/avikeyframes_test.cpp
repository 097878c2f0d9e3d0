#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "media/avikeyframes.h"
#include "media/fileinfo.h"
#include "tests/support/ffprobe.h"
#include "tests/support/testclips.h"

namespace {

QByteArray LE32(uint32_t v) {
  QByteArray b(4, '\0');
  for (int i = 0; i < 4; ++i) b[i] = char(v >> (8 * i));
  return b;
}
QByteArray Chunk(const QByteArray& id, const QByteArray& body, uint32_t declared = 0xFFFFFFFFu) {
  QByteArray c = id + LE32(declared == 0xFFFFFFFFu ? uint32_t(body.size()) : declared) + body;
  if (body.size() & 1) c += '\0';
  return c;
}
QByteArray Entry(const char* id, uint32_t flags) {
  return QByteArray(id, 4) + LE32(flags) + LE32(0) + LE32(0);
}
constexpr uint32_t kKey = 0x10;

// An AVI file by hand: header list, movie list, then the given trailer.
QByteArray Avi(const QByteArray& afterMovie) {
  return "RIFF" + LE32(0) + "AVI " + Chunk("LIST", "hdrl" + QByteArray(50, 'h')) +
         Chunk("LIST", "movi" + QByteArray(101, 'm')) + afterMovie;
}

QString Write(const QString& name, const QByteArray& bytes) {
  const QString dir = KELVARA_TEST_DATA_DIR;
  QDir().mkpath(dir);
  const QString path = dir + "/" + name;
  QFile f(path);
  f.open(QIODevice::WriteOnly | QIODevice::Truncate);
  f.write(bytes);
  return path;
}

QList<qint64> KeyFrames(const QByteArray& bytes, double rate = 25) {
  TFileInfo info;
  info.FrameRate = rate;
  info.KeyFrames = {-1};  // whatever was there goes
  // ctest runs the cases of this file side by side: each writes its own file.
  const QString name = QString("hand_%1.avi")
                           .arg(::testing::UnitTest::GetInstance()->current_test_info()->name());
  ReadAviKeyFrames(Write(name, bytes), info);
  return info.KeyFrames;
}

}  // namespace

TEST(ReadAviKeyFrames, GeneratedClipAgreesWithFfprobe) {
  const TTestClips& c = TestClips();
  ASSERT_TRUE(c.Ok()) << c.Error.toStdString();
  for (const QString& path : {c.Avi, c.Bench}) {
    TFileInfo info;
    info.FrameRate = TTestClips::AviFrameRate;
    ReadAviKeyFrames(path, info);
    QList<qint64> expected;
    for (double t : FfprobeVideoKeyFrameTimes(path)) expected << qint64(t * 1e7 + 0.5);
    EXPECT_FALSE(expected.isEmpty());
    EXPECT_EQ(info.KeyFrames, expected) << path.toStdString();
  }
}

TEST(ReadAviKeyFrames, OnlyVideoChunksAdvanceTime) {
  const QByteArray idx = Entry("00dc", kKey) + Entry("01wb", kKey) + Entry("00dc", 0) +
                         Entry("02tx", kKey) + Entry("00db", kKey) + Entry("01wb", 0) +
                         Entry("00dc", kKey | 0x01);
  EXPECT_EQ(KeyFrames(Avi(Chunk("idx1", idx))), (QList<qint64>{0, 800000, 1200000}));
}

TEST(ReadAviKeyFrames, StepRoundsToNearestWithTiesToEven) {
  const QByteArray idx = Entry("00dc", 0) + Entry("00dc", kKey);
  EXPECT_EQ(KeyFrames(Avi(Chunk("idx1", idx)), 29.97), QList<qint64>{333667});
  // 10^7 / 1280 is 7812.5 exactly: the tie goes to the even 7812.
  EXPECT_EQ(KeyFrames(Avi(Chunk("idx1", idx)), 1280), QList<qint64>{7812});
  EXPECT_EQ(KeyFrames(Avi(Chunk("idx1", idx)), 10000000.0 / 7813.5), QList<qint64>{7814});
}

TEST(ReadAviKeyFrames, NoUsableFrameRateSkipsTheList) {
  const QByteArray avi = Avi(Chunk("idx1", Entry("00dc", kKey) + Entry("00dc", kKey)));
  EXPECT_TRUE(KeyFrames(avi, 0).isEmpty());
  EXPECT_TRUE(KeyFrames(avi, -25).isEmpty());
  EXPECT_TRUE(KeyFrames(avi, std::numeric_limits<double>::quiet_NaN()).isEmpty());
  EXPECT_TRUE(KeyFrames(avi, std::numeric_limits<double>::infinity()).isEmpty());
  EXPECT_TRUE(KeyFrames(avi, 1e-300).isEmpty());
  EXPECT_EQ(KeyFrames(avi, 25).size(), 2);
}

TEST(ReadAviKeyFrames, OddChunksArePaddedAndTheFirstChunkIsSkipped) {
  // The movie list above has an odd size; a leading idx1 would be the
  // header list's place and is skipped like it.
  const QByteArray idx = Chunk("idx1", Entry("00dc", kKey));
  const QByteArray lead = "RIFF" + LE32(0) + "AVI " + Chunk("idx1", Entry("00dc", 0) + Entry("00dc", kKey));
  EXPECT_EQ(KeyFrames(lead + Chunk("JUNK", "abc") + idx), QList<qint64>{0});
  EXPECT_TRUE(KeyFrames(lead).isEmpty());
}

TEST(ReadAviKeyFrames, IndexShorterThanDeclaredEndsAtLastWholeEntry) {
  const QByteArray entries = Entry("00dc", kKey) + Entry("00dc", 0) + Entry("00dc", kKey);
  // Declared for 100 entries, holds two whole ones and half of a third.
  const QByteArray cut = Chunk("idx1", entries.left(40), 1600);
  EXPECT_EQ(KeyFrames(Avi(cut)), QList<qint64>{0});
  // A size near 4 GiB over a tiny file reads what is there and no more.
  EXPECT_EQ(KeyFrames(Avi(Chunk("idx1", entries, 0xFFFFFFF0u))), (QList<qint64>{0, 800000}));
}

TEST(ReadAviKeyFrames, DamagedOrForeignFilesGiveNothing) {
  const QByteArray idx = Chunk("idx1", Entry("00dc", kKey));
  EXPECT_TRUE(KeyFrames(QByteArray()).isEmpty());
  EXPECT_TRUE(KeyFrames("RIFF").isEmpty());
  EXPECT_TRUE(KeyFrames(Avi(idx).replace(8, 4, "WAVE")).isEmpty());
  EXPECT_TRUE(KeyFrames(Avi(idx).replace(0, 4, "RIFX")).isEmpty());
  // A chunk whose size points past the end hides the index behind it.
  const QByteArray lost = "RIFF" + LE32(0) + "AVI " + Chunk("LIST", "hdrl") +
                          Chunk("LIST", "movi", 0x7FFFFFF0u) + idx;
  EXPECT_TRUE(KeyFrames(lost).isEmpty());
  EXPECT_TRUE(KeyFrames(Avi(QByteArray())).isEmpty());
  EXPECT_TRUE(KeyFrames(Avi("idx1")).isEmpty());  // a header cut short

  TFileInfo info;
  info.FrameRate = 25;
  ReadAviKeyFrames("/no/such/file.avi", info);
  EXPECT_TRUE(info.KeyFrames.isEmpty());
}
