// The edits of the dialog keep any text; the code that reads them must take
// whatever a user types.
#include <gtest/gtest.h>

#include <QLocale>
#include <cmath>

#include "core/geometry.h"
#include "core/playmath.h"
#include "platform/system/displaymode.h"
#include "playlist/subtitleparse.h"
#include "prefs/filetypes.h"
#include "prefs/prefstexts.h"

namespace {

QStringList HostileTexts() {
  QStringList t = {"", " ", "-", "+", ":", "::", ": :", "0", "-0", "0 : 0", "47 : 0", "0 : 20",
                   "-4 : 3", "1e308 : 1e-308", "1e-308 : 1e308", "nan : nan", "inf : 1", "1 : inf",
                   "99999999999999999999", "-2147483648", "2147483648", "4294967296", "65535",
                   "65536", "-1", "+80", " 8765 ", "0x10", "1e309", "nan", "inf", "-inf",
                   "25,00", "25.00", "-25,00", "0,00000000001", "1e-320", "1,7976931348623157e308",
                   "десять", "\xF0\x9F\x8E\xAC", "12\n", "\t10\t", "1 0", "10 : 20 : 30"};
  t << QString(QChar(0)) << QString("1") + QChar(0) + "2" << QString(100000, '9')
    << QString(50000, ':') << QString(4000, '-') + "1";
  return t;
}

}  // namespace

TEST(HostileEdits, KeySeekReadsOnlyWholeNumbers) {
  for (const QString& text : HostileTexts()) {
    const auto step = ParseKeySeek(text);
    bool ok = false;
    const int expected = text.trimmed().toInt(&ok);
    ASSERT_EQ(step.has_value(), ok) << text.left(40).toStdString();
    if (step) {
      EXPECT_EQ(*step, expected);
    }
  }
  EXPECT_EQ(ParseKeySeek(" 15 "), 15);
  EXPECT_FALSE(ParseKeySeek("1e309"));
}

TEST(HostileEdits, CustomAspectRatioFallsBackToTheWidth) {
  for (const QString& text : HostileTexts()) {
    const int h = AspectHeight(640, 480, amCustom, text);
    // A ratio that means nothing leaves the picture square to its width.
    if (!text.contains(':')) {
      EXPECT_EQ(h, 640) << text.left(40).toStdString();
    }
    // Whatever the ratio, the placement copes with the height it gets.
    TVideoPlacementInput in;
    in.VideoWidth = 640;
    in.VideoHeight = 480;
    in.PanelWidth = 400;
    in.PanelHeight = 300;
    in.AspectMode = amCustom;
    in.CustomAspectRatio = text;
    in.KeepAspect = true;
    if (const auto r = ComputeVideoRect(in)) {
      EXPECT_TRUE(r->width() >= 0 && r->height() >= 0);
    }
  }
  EXPECT_EQ(AspectHeight(640, 480, amCustom, "0 : 0"), 640);
  EXPECT_EQ(AspectHeight(640, 480, amCustom, "1e-308 : 1e308"), 640);  // beyond any int
  EXPECT_EQ(AspectHeight(470, 480, amCustom, "47 : 20"), 200);
}

TEST(HostileEdits, MicroDVDFrameRateIsAlwaysUsable) {
  for (const QString& text : HostileTexts()) {
    const double fps = EffectiveMicroDVDRate({1, text, 23.976});
    ASSERT_TRUE(std::isfinite(fps) && fps > 0) << text.left(40).toStdString();
    const qint64 at = ScaleToMicroDVD(3600LL * 10'000'000, fps);
    EXPECT_GE(at, 0);
  }
  EXPECT_EQ(EffectiveMicroDVDRate({1, "30" + QString(QLocale::system().decimalPoint()) + "00", 0}), 30);
  EXPECT_EQ(EffectiveMicroDVDRate({0, "junk", 23.976}), 23.976);
}

TEST(HostileEdits, WinLIRCPortIsAPortOrNothing) {
  for (const QString& text : HostileTexts()) {
    const auto port = ParseWIRCport(text);
    bool ok = false;
    const uint v = text.trimmed().toUInt(&ok);
    EXPECT_EQ(port.has_value(), ok && v <= 65535) << text.left(40).toStdString();
  }
  EXPECT_EQ(ParseWIRCport(" 8765 "), 8765);
  EXPECT_EQ(ParseWIRCport("65535"), 65535);
  EXPECT_FALSE(ParseWIRCport("65536"));  // would wrap to port 0
  EXPECT_FALSE(ParseWIRCport("-1"));
  EXPECT_FALSE(ParseWIRCport("87 65"));
}

TEST(PrefsTexts, SpeedUsesTheLocaleSeparator) {
  const QString dot = QLocale::system().decimalPoint();
  EXPECT_EQ(SpeedText(1), "x0" + dot + "1");
  EXPECT_EQ(SpeedText(13), "x1" + dot + "3");
  EXPECT_EQ(SpeedText(20), "x2" + dot + "0");
  EXPECT_EQ(dot, ",");  // the tests run under the Russian locale
}

TEST(PrefsTexts, OffsetSignsMinutesAndSeconds) {
  EXPECT_EQ(OffsetText("P", -65), "P: -1:05");
  EXPECT_EQ(OffsetText("P", 65), "P: +1:05");
  EXPECT_EQ(OffsetText("P", 300), "P: +5:00");
  EXPECT_EQ(OffsetText("P", -30), "P: -0:30");
  EXPECT_EQ(OffsetText("P", 0), "P:  0:00");
}

TEST(PrefsTexts, DisplayModeMenuListsAHundredAndDisablesOtherDepths) {
  std::vector<TDisplayMode> modes;
  for (int i = 0; i < 60; ++i) {
    modes.push_back({640 + i, 480, 16});
    modes.push_back({640 + i, 480, 32});
  }
  const auto items = DisplayModeItems(modes, 32, 641, 480, 32);
  ASSERT_EQ(items.size(), 100u);
  EXPECT_EQ(items[0].Caption, "640 x 480, 16 Bits");
  int checked = 0;
  for (const TModeItem& m : items) {
    EXPECT_EQ(m.Enabled, m.Bits == 32) << m.Caption.toStdString();
    checked += m.Checked;
  }
  EXPECT_EQ(checked, 1);
  EXPECT_TRUE(items[3].Checked);
}

TEST(FileTypes, ListFilterIconsAndGroups) {
  ASSERT_EQ(FileTypes().size(), 27u);
  EXPECT_EQ(FileTypeExtension(FileTypes()[5]), "ENC");
  EXPECT_EQ(FileTypeExtension(FileTypes()[10]), "MPEG");
  const QString filter = MultimediaFilter();
  EXPECT_TRUE(filter.startsWith("Multimedia files|*.KPL;*.ASF;*.AVI;"));
  EXPECT_TRUE(filter.endsWith("*.WAV;|Any files|*.*"));
  EXPECT_EQ(FileTypeIcon(0), 1);
  EXPECT_EQ(FileTypeIcon(15), 3);  // WMA shows the video icon
  EXPECT_EQ(FileTypeIcon(17), 5);
  EXPECT_EQ(FileTypeIcon(26), 5);

  auto checkedOf = [](const TFileTypeMarks& m) {
    std::vector<int> on;
    for (int i = 0; i < FileTypeCount; ++i)
      if (m.Checked(i)) on.push_back(i);
    return on;
  };
  TFileTypeMarks marks;
  marks.SetChecked(5, true);
  marks.ApplyGroup(TFileGroup::Video);
  EXPECT_EQ(checkedOf(marks), (std::vector<int>{0, 1, 2, 9, 10, 11}));
  marks.ApplyGroup(TFileGroup::Audio);
  EXPECT_EQ(checkedOf(marks), (std::vector<int>{0, 21, 23, 26}));
  marks.ApplyGroup(TFileGroup::All);
  EXPECT_EQ(checkedOf(marks).size(), 27u);
  marks.ApplyGroup(TFileGroup::None);
  EXPECT_TRUE(checkedOf(marks).empty());
  marks.SetChecked(27, true);  // outside the list: ignored
  EXPECT_FALSE(marks.Checked(27));
}
