#include "playback/volume_scale.h"

#include <gtest/gtest.h>

namespace tunevale {
namespace {

TEST(VolumeScale, LogarithmicScaleMatchesItsFixedPoints) {
  struct Case {
    int32_t volume;
    int32_t hundredthsDb;
  };
  const Case cases[] = {{10000, 0}, {1000, -2499}, {0, -10000}, {1, -9247}, {9800, -22},
                        {-50, -10000}, {20000, 0}};
  for (const Case& c : cases) EXPECT_EQ(VolumeToHundredthsDb(c.volume, true), c.hundredthsDb) << c.volume;
}

TEST(VolumeScale, PlainScaleIsAnOffset) {
  EXPECT_EQ(VolumeToHundredthsDb(10000, false), 0);
  EXPECT_EQ(VolumeToHundredthsDb(2500, false), -7500);
  EXPECT_EQ(VolumeToHundredthsDb(-1, false), -10000);
}

TEST(VolumeScale, LouderVolumeNeverSoundsQuieter) {
  int32_t previous = VolumeToHundredthsDb(0, true);
  for (int32_t v = 1; v <= 10000; ++v) {
    const int32_t now = VolumeToHundredthsDb(v, true);
    ASSERT_GE(now, previous) << v;
    previous = now;
  }
}

TEST(VolumeScale, DecibelsBecomeAmplitude) {
  EXPECT_DOUBLE_EQ(HundredthsDbToGain(0), 1.0);
  EXPECT_NEAR(HundredthsDbToGain(-2000), 0.1, 1e-12);
  EXPECT_NEAR(HundredthsDbToGain(-10000), 1e-5, 1e-17);
  EXPECT_NEAR(HundredthsDbToGain(-600), 0.501187, 1e-6);
}

}  // namespace
}  // namespace tunevale
