#include "runtime/clock.h"

#include <gtest/gtest.h>

#include <regex>

namespace quillark::runtime {
namespace {

TEST(NowText, FixedShapeWithTenthsOfMilliseconds) {
  // Milliseconds times ten, so the last digit is always 0.
  const std::regex shape(R"(\d{4}-(0\d|1[0-2])-[0-3]\d ([01]\d|2[0-3]):[0-5]\d:[0-5]\d\.\d{3}0)");
  const std::string now = NowText();
  EXPECT_TRUE(std::regex_match(now, shape)) << now;
}

}  // namespace
}  // namespace quillark::runtime
