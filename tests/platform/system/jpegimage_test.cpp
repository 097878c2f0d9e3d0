#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <QRandomGenerator>
#include <cstdlib>

#include "platform/system/jpegimage.h"

namespace {

QByteArray LogoBytes() {
  QFile f(QStringLiteral(KELVARA_SOURCE_DIR "/resources/logo.jpg"));
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray Encode(const QImage& image, bool progressive = false) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, "jpeg");
  writer.setQuality(95);
  writer.setProgressiveScanWrite(progressive);
  writer.write(image);
  return bytes;
}

int Distance(QRgb a, QRgb b) {
  return std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b));
}

}  // namespace

TEST(JpegImage, TheBuiltInLogoIsAquaOnBlack) {
  const QImage logo = LoadLogoImage();
  ASSERT_FALSE(logo.isNull());
  EXPECT_EQ(logo.size(), QSize(300, 120));
  EXPECT_LT(Distance(logo.pixel(3, 3), qRgb(0, 0, 0)), 24);
  // Inside the play sign and on the frame's edge.
  EXPECT_LT(Distance(logo.pixel(56, 60), qRgb(0, 0xE5, 0xE5)), 40);
  EXPECT_LT(Distance(logo.pixel(14, 60), qRgb(0, 0xE5, 0xE5)), 60);
  // The same picture as the file in the source tree.
  EXPECT_EQ(DecodeJpeg(LogoBytes()), logo);
}

TEST(JpegImage, GreyCmykAndProgressivePicturesDecodeToTheirColours) {
  QImage picture(64, 48, QImage::Format_RGB32);
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 64; ++x) picture.setPixel(x, y, x < 32 ? qRgb(200, 30, 30) : qRgb(20, 40, 220));
  for (bool progressive : {false, true}) {
    const QImage decoded = DecodeJpeg(Encode(picture, progressive));
    ASSERT_EQ(decoded.size(), picture.size()) << progressive;
    EXPECT_LT(Distance(decoded.pixel(10, 20), qRgb(200, 30, 30)), 30) << progressive;
    EXPECT_LT(Distance(decoded.pixel(50, 20), qRgb(20, 40, 220)), 30) << progressive;
  }
  // Adobe's inverted CMYK, as ImageMagick writes it: plain orange.
  const QImage cmyk = LoadJpegFile(QStringLiteral(KELVARA_SOURCE_DIR "/fuzz/corpus/jpeg/cmyk.jpg"));
  ASSERT_EQ(cmyk.size(), QSize(16, 16));
  EXPECT_LT(Distance(cmyk.pixel(8, 8), qRgb(255, 165, 0)), 12) << std::hex << cmyk.pixel(8, 8);

  QImage grey(40, 30, QImage::Format_Grayscale8);
  grey.fill(170);
  const QImage decodedGrey = DecodeJpeg(Encode(grey));
  ASSERT_EQ(decodedGrey.size(), grey.size());
  EXPECT_LT(Distance(decodedGrey.pixel(20, 15), qRgb(170, 170, 170)), 6);
}

TEST(JpegImage, DamagedOrForeignDataGivesANullImage) {
  const QByteArray logo = LogoBytes();
  ASSERT_GT(logo.size(), 1000);
  // Every cut, from inside the headers to just before the end marker.
  for (qsizetype length = 0; length < logo.size() - 2; length += 97)
    EXPECT_TRUE(DecodeJpeg(logo.left(length)).isNull()) << length;
  EXPECT_TRUE(DecodeJpeg(logo.left(logo.size() - 2)).isNull());

  // An end marker in the middle of the picture data: libjpeg would fill the
  // rest with grey and call it a warning.
  QByteArray early = logo;
  early[logo.size() / 2] = char(0xFF);
  early[logo.size() / 2 + 1] = char(0xD9);
  EXPECT_TRUE(DecodeJpeg(early).isNull());

  QRandomGenerator random(1234);
  QByteArray noise(4096, '\0');
  for (char& c : noise) c = char(random.bounded(256));
  EXPECT_TRUE(DecodeJpeg(noise).isNull());
  // A JPEG start followed by noise.
  EXPECT_TRUE(DecodeJpeg(QByteArray("\xFF\xD8\xFF", 3) + noise).isNull());
  EXPECT_TRUE(DecodeJpeg(QByteArray()).isNull());
  EXPECT_TRUE(LoadJpegFile("/nonexistent/logo.jpg").isNull());
}

TEST(JpegImage, RefusesPicturesLargerThanItWillHold) {
  QByteArray logo = LogoBytes();
  // The baseline frame header: FF C0, length, precision, height, width.
  const qsizetype sof = logo.indexOf(QByteArray("\xFF\xC0", 2));
  ASSERT_GT(sof, 0);
  auto setSize = [&](int width, int height) {
    QByteArray forged = logo;
    forged[sof + 5] = char(height >> 8);
    forged[sof + 6] = char(height & 0xFF);
    forged[sof + 7] = char(width >> 8);
    forged[sof + 8] = char(width & 0xFF);
    return forged;
  };
  EXPECT_TRUE(DecodeJpeg(setSize(65000, 65000)).isNull());
  EXPECT_TRUE(DecodeJpeg(setSize(kJpegMaxSide + 1, 8)).isNull());
  // Within the limits, but the data is far too short for it.
  EXPECT_TRUE(DecodeJpeg(setSize(4000, 4000)).isNull());
  // Unchanged, the forging helper gives back a good picture.
  EXPECT_FALSE(DecodeJpeg(setSize(300, 120)).isNull());
}
