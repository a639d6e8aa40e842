#include "helpwriter/escaping.h"

#include <string>

#include "gtest/gtest.h"

namespace quillark {
namespace {

struct EscapeCase {
  const char* name;
  std::string (*escape)(std::string_view);
  std::string text;
  std::string expected;
};
void PrintTo(const EscapeCase& c, std::ostream* os) { *os << c.name; }

class Escaping : public ::testing::TestWithParam<EscapeCase> {};

TEST_P(Escaping, EndsNothingItIsWrittenInto) {
  EXPECT_EQ(GetParam().escape(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Values, Escaping,
    ::testing::Values(
        EscapeCase{"HtmlAll", HtmlEscaped, "It\"s <b> & 'co'", "It&quot;s &lt;b&gt; &amp; 'co'"},
        EscapeCase{"HtmlEntityStaysText", HtmlEscaped, "&amp;", "&amp;amp;"},
        EscapeCase{"AddressQuote", AttributeAddress, "http://x/?a=\"1\"&b",
                   "http://x/?a=%221%22&b"},
        EscapeCase{"CommentDashes", HtmlCommentText, "a -- b --> c", "a - - b - -> c"},
        EscapeCase{"CommentDashRuns", HtmlCommentText, "a----b", "a- - - -b"},
        EscapeCase{"CommentOddRun", HtmlCommentText, "---", "- - -"},
        EscapeCase{"CssEnd", CssCommentText, "a */ b /* c", "a * / b /* c"},
        EscapeCase{"ScriptString", ScriptStringText, "a\\b\"c'd</script>",
                   "a\\\\b\\\"c\\'d\\x3C/script>"},
        EscapeCase{"ProjectField", ProjectQuoted, "It\"s \"Help\"", "\"It's 'Help'\""},
        EscapeCase{"PlainTextUnchanged", HtmlEscaped, "Plain text, 100%", "Plain text, 100%"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quillark
