// The checks of the randomized test on made-up runs whose faults are known:
// each rule must speak up for its own fault and stay quiet on a clean run.
#include "e2e/randomized/run_checks.h"

#include <algorithm>
#include <functional>
#include <ostream>
#include <set>
#include <string>

#include "gtest/gtest.h"

namespace quillark::e2e {
namespace {

const std::string kListing = "book.lst";

// A finished NONE run of a well-formed source in /nowhere/src.
struct Fixture {
  GeneratedSource source;
  RunPlan plan;
  RunLayout layout{"/nowhere", "src", "/nowhere/src/book"};
  RunEvidence evidence;

  Fixture() {
    source.well_formed = true;
    plan.format = "NONE";
    evidence.result.started = true;
    evidence.result.exit_status = 0;
    evidence.parent_before = {{"sibling.txt", "f:decoy"}};
    evidence.parent_after = evidence.parent_before;
    evidence.folder_before = {{"book.txt", "f:text"}, {"notes.tmp", "f:keep"}, {"sub", "d"}};
    evidence.folder_after = evidence.folder_before;
    evidence.folder_after["book.pp"] = "f:text";
    evidence.folder_after[kListing] = "f:/nowhere/src/book.txt: 0 errors.\r\n";
  }
};

struct CheckCase {
  const char* name;
  std::function<void(Fixture&)> spoil;
  std::set<std::string> kinds;  // the kinds of violation expected, none for a clean run
};
// Test lists show the case by its name.
void PrintTo(const CheckCase& c, std::ostream* os) { *os << c.name; }

class RunChecks : public ::testing::TestWithParam<CheckCase> {};

TEST_P(RunChecks, FindExactlyTheSpoiledRule) {
  Fixture fixture;
  GetParam().spoil(fixture);
  std::set<std::string> kinds;
  for (const Violation& violation :
       CheckRun(fixture.source, fixture.plan, fixture.layout, fixture.evidence)) {
    kinds.insert(violation.kind);
  }
  EXPECT_EQ(kinds, GetParam().kinds);
}

void Fatal(Fixture& f) {
  f.evidence.result.exit_status = 1;
  f.source.well_formed = false;
  f.evidence.folder_after[kListing] =
      "f:/nowhere/src/book.pp(    3): Fatal : Line buffer overflowed\r\n";
}

INSTANTIATE_TEST_SUITE_P(
    Rules, RunChecks,
    ::testing::Values(
        CheckCase{"CleanRun", [](Fixture&) {}, {}}, CheckCase{"FatalWithStatusOne", Fatal, {}},
        CheckCase{"PreprocessorFailureWithStatusOne",
                  [](Fixture& f) {
                    Fatal(f);
                    f.evidence.folder_after[kListing] =
                        "f:/nowhere/src/book.txt: Error : Cannot run pre-processor, it returned "
                        "error number 1.\r\n";
                  },
                  {}},
        CheckCase{"StatusOneWithoutFatalLine",
                  [](Fixture& f) {
                    Fatal(f);
                    f.evidence.folder_after[kListing] = "f:/nowhere/src/book.txt: 0 errors.\r\n";
                  },
                  {"fatal-line"}},
        CheckCase{"FatalLineNotLast",
                  [](Fixture& f) {
                    Fatal(f);
                    f.evidence.folder_after[kListing] =
                        "f:/x.pp(    3): Fatal : Line buffer overflowed\r\n/x.pp(    4): Warning : "
                        "w\r\n";
                  },
                  {"fatal-line"}},
        CheckCase{"StatusZeroWithFatalLine",
                  [](Fixture& f) {
                    Fatal(f);
                    f.evidence.result.exit_status = 0;
                  },
                  {"fatal-line"}},
        CheckCase{"TableDumpNameReadsLikeAFatalReport",
                  [](Fixture& f) {
                    f.plan.verbose = true;
                    f.evidence.folder_after[kListing] =
                        "f:/nowhere/src/book.txt: 0 errors.\r\n" + std::string(80, '-') +
                        "\r\nKeywords, Topic\r\n" + std::string(80, '-') +
                        "\r\nk: Fatal : y  K__FATAL___Y  3\r\n";
                  },
                  {}},
        CheckCase{"NoListing",
                  [](Fixture& f) { f.evidence.folder_after.erase(kListing); },
                  {"listing", "well-formed"}},
        CheckCase{"BareLineFeedInListing",
                  [](Fixture& f) {
                    f.evidence.folder_after[kListing] = "f:/nowhere/src/book.txt: 0 errors.\n";
                  },
                  {"listing"}},
        CheckCase{"UnsortedWarnings",
                  [](Fixture& f) {
                    f.source.well_formed = false;
                    f.evidence.folder_after[kListing] =
                        "f:/x.pp(   12): Warning : b\r\n/x.pp(    3): Warning : a\r\n";
                  },
                  {"listing"}},
        CheckCase{"Signal",
                  [](Fixture& f) {
                    f.evidence.result.exit_status = -1;
                    f.evidence.result.signal = 11;
                  },
                  {"crash", "well-formed"}},
        CheckCase{"SanitizerReport",
                  [](Fixture& f) { f.evidence.result.err = "==1==ERROR: AddressSanitizer: x"; },
                  {"crash"}},
        CheckCase{"Hang", [](Fixture& f) { f.evidence.result.timed_out = true; }, {"hang"}},
        CheckCase{"OtherStatus",
                  [](Fixture& f) { f.evidence.result.exit_status = 3; },
                  {"status", "well-formed"}},
        CheckCase{"RefusalAllowedForOddNames",
                  [](Fixture& f) {
                    f.source.well_formed = false;
                    f.plan.may_refuse = true;
                    f.evidence.result.exit_status = 2;
                    f.evidence.result.out = "The input file name is too long.\n";
                    f.evidence.folder_after = f.evidence.folder_before;
                  },
                  {}},
        CheckCase{"RefusalAfterWriting",
                  [](Fixture& f) {
                    f.source.well_formed = false;
                    f.plan.may_refuse = true;
                    f.evidence.result.exit_status = 2;
                    f.evidence.result.out = "Refused.\n";
                  },
                  {"status"}},
        CheckCase{"WrittenBesideTheFolder",
                  [](Fixture& f) { f.evidence.parent_after["book.lst"] = "f:x"; },
                  {"outside"}},
        CheckCase{"DeletedBesideTheFolder",
                  [](Fixture& f) { f.evidence.parent_after.erase("sibling.txt"); },
                  {"outside"}},
        CheckCase{"BystanderDeleted",
                  [](Fixture& f) { f.evidence.folder_after.erase("notes.tmp"); },
                  {"bystander"}},
        CheckCase{"BystanderChanged",
                  [](Fixture& f) { f.evidence.folder_after["notes.tmp"] = "f:"; },
                  {"bystander"}},
        CheckCase{"SubFolderGone",
                  [](Fixture& f) { f.evidence.folder_after.erase("sub"); },
                  {"bystander"}},
        CheckCase{"NoneWroteAPage",
                  [](Fixture& f) { f.evidence.folder_after["book/A.html"] = "f:<html>"; },
                  {"none-wrote"}},
        CheckCase{"IncludeFileIsNoOutput",
                  [](Fixture& f) { f.evidence.folder_after["include_A.tmp"] = "f:x"; },
                  {}},
        CheckCase{"WellFormedWithWarning",
                  [](Fixture& f) {
                    f.evidence.folder_after[kListing] =
                        "f:: Warning : The final output file \"\" was not created.\r\n";
                  },
                  {"well-formed"}},
        CheckCase{"HiddenWordWritten",
                  [](Fixture& f) {
                    f.source.markers.push_back({"zqhidden", "", 0});
                    f.evidence.folder_after["book.rtf"] = "f:{\\rtf1 zqhidden}";
                  },
                  {"markers", "none-wrote"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RunChecksMarkers, ShownWordMustReachItsPage) {
  Fixture fixture;
  fixture.plan.format = "HTML";
  fixture.source.markers.push_back({"zqshown", "TOPIC", kAllWritten});
  fixture.evidence.folder_after["book/TOPIC.html"] = "f:<p>zqshown</p>";
  fixture.evidence.folder_after["book/OTHER.html"] = "f:<p></p>";
  std::vector<Violation> violations =
      CheckRun(fixture.source, fixture.plan, fixture.layout, fixture.evidence);
  EXPECT_TRUE(std::none_of(violations.begin(), violations.end(),
                           [](const Violation& v) { return v.kind == "markers"; }));
  fixture.evidence.folder_after["book/TOPIC.html"] = "f:<p></p>";
  violations = CheckRun(fixture.source, fixture.plan, fixture.layout, fixture.evidence);
  ASSERT_FALSE(violations.empty());
  EXPECT_EQ(violations.back().detail, "\"book/TOPIC.html\" lacks \"zqshown\"");
}

TEST(RunChecksListing, LinesLoseTheirLineEnds) {
  EXPECT_EQ(ListingLines("a\r\nb\nc"), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_TRUE(ListingLines("").empty());
}

TEST(RunChecksLinks, LocalLinksLeaveOutWebAndAnchors) {
  const std::string page =
      "<a href=\"A.html#x\">a</a><a href=\"#top\">t</a><img src=\"pic.bmp\" />"
      "<a href=\"http://example.com/B.html\">w</a><a href=\"b?ok.css\">q</a>"
      "<param name=\"Local\" value=\"C.html\">";
  EXPECT_EQ(LocalLinks(page), (std::vector<std::string>{"A.html", "b", "pic.bmp", "C.html"}));
}

TEST(RunChecksProjects, SectionLinesReadOneSection) {
  const std::string project =
      "[OPTIONS]\r\nA=1\r\n\r\n[FILES]\r\nx.html\r\ny.html\r\n\r\n[MAP]\r\n#z\r\n";
  EXPECT_EQ(SectionLines(project, "FILES"), (std::vector<std::string>{"x.html", "y.html"}));
}

}  // namespace
}  // namespace quillark::e2e
