#include <gtest/gtest.h>
#include <unistd.h>

#include <QTemporaryFile>
#include <cstdio>

#include "platform/system/waveout.h"

TEST(MixerValue, MapsTheLevelWordOntoTheMixerRange) {
  // A typical card: 0..255 steps.
  EXPECT_EQ(MixerValueOf(0, 0, 255), 0);
  EXPECT_EQ(MixerValueOf(0xFFFF, 0, 255), 255);
  EXPECT_EQ(MixerValueOf(0x8000, 0, 255), 128);  // 127.502 rounds up
  EXPECT_EQ(MixerValueOf(0x7FFF, 0, 255), 127);
  // Ranges below zero (dB-like controls) keep their ends.
  EXPECT_EQ(MixerValueOf(0, -10239, 0), -10239);
  EXPECT_EQ(MixerValueOf(0xFFFF, -10239, 0), 0);
  EXPECT_EQ(MixerValueOf(0x8000, -10239, 0), -5119);
  // A full 32-bit range does not overflow.
  EXPECT_EQ(MixerValueOf(0xFFFF, 0, 0x7FFFFFFFL), 0x7FFFFFFFL);
  EXPECT_EQ(MixerValueOf(0x8000, -0x7FFFFFFFL, 0x7FFFFFFFL), 32768L);
  // A control with no range at all.
  EXPECT_EQ(MixerValueOf(0x1234, 7, 7), 7);
  EXPECT_EQ(MixerValueOf(0x1234, 9, 3), 9);
}

TEST(AlsaWaveOut, WithoutTheCardFailsQuietly) {
  // ALSA writes its complaints to stderr; a machine without sound must not
  // show them to the user.
  QTemporaryFile captured;
  ASSERT_TRUE(captured.open());
  std::fflush(stderr);
  const int saved = ::dup(2);
  ASSERT_GE(saved, 0);
  ::dup2(captured.handle(), 2);
  TAlsaWaveOut missing("hw:97");
  const MMRESULT noCard = missing.SetVolume(0, 0x80008000u);
  TAlsaWaveOut nonsense("no-such-ctl-device");
  const MMRESULT noDevice = nonsense.SetVolume(0, 0xFFFFFFFFu);
  std::fflush(stderr);
  ::dup2(saved, 2);
  ::close(saved);

  EXPECT_NE(noCard, MMSYSERR_NOERROR);
  EXPECT_NE(noDevice, MMSYSERR_NOERROR);
  EXPECT_EQ(captured.readAll(), QByteArray());
  // Only device 0 exists; asking for another never reaches the mixer.
  EXPECT_EQ(missing.SetVolume(1, 0), MMSYSERR_BADDEVICEID);
}
