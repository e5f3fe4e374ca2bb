// The trapezoid integral and the interpolation, on the worked isotherms:
// (0,0) (1,10) (2,20) and (0,0) (1,8) (2,16).
#include <gtest/gtest.h>

#include <cmath>

#include "driver/entropy_table.h"

namespace korvenal {
namespace {

Isotherm isotherm(std::initializer_list<RawPoint> points) {
  Isotherm result;
  for (const RawPoint& point : points) result.points[result.count++] = point;
  return result;
}

const Isotherm Lower = isotherm({{0, 0}, {1, 10}, {2, 20}});
const Isotherm Upper = isotherm({{0, 0}, {1, 8}, {2, 16}});

TEST(IntegrateMoment, WholeAndPartialSteps) {
  struct Case {
    float expected;
    const Isotherm* isotherm;
    float field;
  } cases[] = {
      {5.0f, &Lower, 1.0f},       // the whole first step, then a partial step of width 0
      {4.0f, &Upper, 1.0f},
      {7.8125f, &Lower, 1.25f},   // the moment interpolated at 1.25 is 12.5
      {6.25f, &Upper, 1.25f},
      {20.0f, &Lower, 3.0f},      // beyond the last point: the whole trapezoid sum
      {20.0f, &Lower, 1.995f},    // 1.995 + 0.01 reaches the last point: the sum up to 2
      {0.0f, &Lower, 0.0f},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(integrateMoment(*c.isotherm, c.field), c.expected) << c.field;
  }
}

// A point at most 0.01 above the field still counts as reached: the whole
// step up to it is followed by a partial step of negative width.
TEST(IntegrateMoment, ToleranceTakesBackTheAreaAboveTheField) {
  const Isotherm three = isotherm({{0, 0}, {1, 10}, {2, 20}, {3, 30}});
  const float field = 1.995f;
  // Whole steps up to 2 give 5 + 15 = 20; then back from 2 to 1.995 with the
  // moment extrapolated from the points at 2 and 3.
  const double m = ((3.0 - static_cast<double>(field)) * 20.0 + (static_cast<double>(field) - 2.0) * 30.0) / 1.0;
  const float interpolated = static_cast<float>(m);
  const double partial = (static_cast<double>(field) - 2.0) * (20.0 + static_cast<double>(interpolated)) * 0.5;
  EXPECT_EQ(integrateMoment(three, field), static_cast<float>(partial + 20.0));
  EXPECT_LT(integrateMoment(three, field), 20.0f);
}

TEST(IntegrateMoment, EmptyAndSinglePointIsothermsGiveZero) {
  EXPECT_EQ(integrateMoment(Isotherm{}, 1.0f), 0.0f);
  EXPECT_EQ(integrateMoment(isotherm({{0.5f, 3}}), 1.0f), 0.0f);
}

TEST(InterpolateMoment, LinearBetweenTwoPoints) {
  EXPECT_EQ(interpolateMoment(Lower, 1, 1.25f), 12.5f);
  EXPECT_EQ(interpolateMoment(Upper, 1, 1.25f), 10.0f);
  EXPECT_EQ(interpolateMoment(Lower, 0, 0.5f), 5.0f);
}

TEST(InterpolateMomentDeathTest, EqualFieldsAreADivisionByZero) {
  const Isotherm flat = isotherm({{1, 10}, {1, 20}, {2, 30}});
  EXPECT_EXIT(interpolateMoment(flat, 0, 0.5f), ::testing::ExitedWithCode(1),
              "run-time error M6103: MATH");
}

}  // namespace
}  // namespace korvenal
