#include "runtime/clock.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>

namespace quillark::runtime {
namespace {

TEST(NowText, FixedShapeWithTenthsOfMilliseconds) {
  std::string now = NowText();
  ASSERT_EQ(now.size(), 24u);
  const std::string shape = "dddd-dd-dd dd:dd:dd.dddd";
  for (std::size_t i = 0; i < shape.size(); ++i) {
    if (shape[i] == 'd') {
      EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(now[i]))) << now;
    } else {
      EXPECT_EQ(now[i], shape[i]) << now;
    }
  }
  // Milliseconds times ten always end in 0.
  EXPECT_EQ(now.back(), '0');
  EXPECT_LE(std::stoi(now.substr(5, 2)), 12);
  EXPECT_LE(std::stoi(now.substr(11, 2)), 23);
}

}  // namespace
}  // namespace quillark::runtime
