#include "helpwriter/topic_writer.h"

#include <gtest/gtest.h>

#include <string>

#include "helpwriter/writer_state.h"

namespace quillark {
namespace {

// Page starts are in the whole-run files; here the cut of a written page.
TEST(FindTopicBody, FindsTheBodyBetweenTheMarkers) {
  auto body = [](OutputFormat format, const std::string& page) {
    const TopicBody found = FindTopicBody(format, page);
    return std::to_string(found.start) + "-" + std::to_string(found.end);
  };
  // The marker starts at 6 + 14 and is 28 bytes long.
  EXPECT_EQ(body(OutputFormat::kHlp,
                 "#{x}\r\n!{\\footnote ! DisableButton(btnExample)}\r\nBody\\page\r\n"),
            "48-52");
  EXPECT_EQ(body(OutputFormat::kHlp, "\\page DisableButton(btnExample)}\r\nBody"), "0-0");
  EXPECT_EQ(body(OutputFormat::kChm, "<body onload=\"load();\">\r\nText</body>"), "25-29");
  EXPECT_EQ(body(OutputFormat::kHtml, "<body onload=\"load();\">\r\n</body>"), "25-25");
  EXPECT_EQ(body(OutputFormat::kChm, "<body>\r\nno end"), "0-0");
  EXPECT_EQ(body(OutputFormat::kHtml, "</body><body>\r\nText"), "0-0");
  EXPECT_EQ(body(OutputFormat::kNone, "<body>\r\nText</body>"), "0-0");
}

}  // namespace
}  // namespace quillark
