// The line processor driven through a run context in memory: the source, the
// listing and the written pages never touch the disk.
#include "helpreader/line_processor.h"

#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "helpreader/run_context.h"
#include "helpwriter/file_names.h"
#include "support/temp_dir.h"

namespace quillark {
namespace {

using enum OutputFormat;

class LineProcessorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitFonts(run_.writer);
    run_.writer.generator = "G";
  }
  // Renders `source` as the output pass does, into pages kept in memory,
  // and returns the text of the topic `key`'s page.
  std::string Render(OutputFormat format, const std::string& source, const std::string& key = "T") {
    run_.format = format;
    run_.names = BuildFileNames(format, "/docs/book");
    run_.frame_names = FrameNamesOf(run_.names);
    run_.output.Restart(runtime::OutputFiles::Mode::kMemory);
    run_.writes_output = true;
    run_.reader.OpenMainText("/docs/book.pp", source);
    TagState state;
    LineOutput output;
    while (!run_.reader.EndOfSource()) {
      bool overflow = false;
      ProcessLine(run_.reader.ReadSourceLine(kLineText, overflow), run_, state, output);
      WriteOutputText(run_, output.file1, output.text1);
      WriteOutputText(run_, output.file2, output.text2);
    }
    run_.reader.CloseSources();
    const std::string page = TopicFileName(format, run_.names.output, key, PageKind::kMain);
    return run_.output.TextRange(page, 0, 1 << 20).value_or("(no page)");
  }
  // The part of `text` from the first `from` on.
  static std::string From(const std::string& text, const std::string& from) {
    const std::size_t at = text.find(from);
    return at == std::string::npos ? "(no " + from + ")" : text.substr(at);
  }

  Listing listing_ = Listing::InMemory();
  RunContext run_{listing_};
};

// A block that starts right after a heading line opens no paragraph of its
// own, but text between the heading and the block puts the paragraph back.
TEST_F(LineProcessorTest, CodeBlockParagraphFollowsWhatCameBefore) {
  const std::string after_heading = Render(kRtf,
                                           "<topic>T</topic>\n<head1>Title</head1>\n<code>\n"
                                           "x = 1\n</code>\n<endtopic/>\n");
  EXPECT_EQ(From(after_heading, "\\b0\\keep"),
            "\\b0\\keep\\line\\fs10\\line\\fs20 \r\n\\pard\\f7\\fs20\r\nx = 1\\line \r\n"
            "\\par\\pard\\f0\\fs20\r\n\\par\r\n");
  const std::string after_text = Render(kRtf,
                                        "<topic>T</topic>\n<head1>Title</head1>\nSome text\n"
                                        "<code>\nx = 1\n</code>\n<endtopic/>\n");
  EXPECT_EQ(From(after_text, "Some text"),
            "Some text\\line \r\n\\par\\pard\\f7\\fs20\r\nx = 1\\line \r\n"
            "\\par\\pard\\f0\\fs20\r\n\\par\r\n");
  // A blank alone does not count as text: the block still follows the heading.
  const std::string after_blank = Render(kRtf,
                                         "<topic>T</topic>\n<head1>Title</head1> \n<code>\n"
                                         "</code>\n<endtopic/>\n");
  EXPECT_NE(after_blank.find("\\fs20  \r\n\\pard\\f7\\fs20\r\n"), std::string::npos) << after_blank;
}

// A closing block tag after text ends the line itself; alone on its line it
// adds no break of its own.
TEST_F(LineProcessorTest, ClosingBlockTagEndsItsLineOnce) {
  for (OutputFormat format : {kHlp, kRtf}) {
    const std::string inline_end =
        Render(format, "<topic>T</topic>\n<syntax>\nrun x</syntax>\n<endtopic/>\n");
    EXPECT_NE(inline_end.find("run x\\line\\par\\pard\\f0\\fs20\r\n"), std::string::npos)
        << inline_end;
    const std::string own_line =
        Render(format, "<topic>T</topic>\n<syntax>\nrun x\n</syntax>\n<endtopic/>\n");
    EXPECT_NE(own_line.find("run x\\line \r\n\\par\\pard\\f0\\fs20\r\n"), std::string::npos)
        << own_line;
  }
  const std::string html = Render(kHtml,
                                  "<topic>T</topic>\n<code>\na</code>\nb\n</code>\n"
                                  "<endtopic/>\n");
  EXPECT_NE(html.find("<pre>a</pre>b<br/>\r\n"), std::string::npos) << html;
}

// Any number of pictures on one line, in every format.
TEST_F(LineProcessorTest, SeveralPicturesOnOneLine) {
  testing_support::TempDir dir;
  std::string bmp("BM\x4E\0\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0\x03\0\0\0\x02\0\0\0\x01\0\x18\0", 30);
  bmp.append(48, '\0');
  const std::string a = dir.Write("a.bmp", bmp);
  const std::string b = dir.Write("b.bmp", bmp);
  const std::string line = "<topic>T</topic>\nx <img_left>" + a + "</img_left> y <img_center>" + b +
                           "</img_center> z <img_left>" + a + "</img_left>\n<endtopic/>\n";
  const std::string rtf = Render(kRtf, line);
  EXPECT_EQ(std::count(rtf.begin(), rtf.end(), '\t'), 0);
  std::size_t pictures = 0;
  for (std::size_t at = rtf.find("{\\pict"); at != std::string::npos;
       at = rtf.find("{\\pict", at + 1)) {
    ++pictures;
  }
  EXPECT_EQ(pictures, 3u) << rtf;
  EXPECT_NE(rtf.find("x {\\pict"), std::string::npos);
  EXPECT_NE(rtf.find("000000000000000000000000\r\n} y {\\pict"), std::string::npos) << rtf;
  EXPECT_NE(Render(kHlp, line).find("x \\{bml a.bmp\\} y \\{bmc b.bmp\\} z \\{bml a.bmp\\}"),
            std::string::npos);
  EXPECT_NE(Render(kHtml, line)
                .find("alt=\"a\" align=\"left\" hspace=\"6\" vspace=\"4\"/> y <img "
                      "border=\"0\" src=\"b.bmp\" alt=\"b\" align=\"bottom\"/> z <img"),
            std::string::npos);
  EXPECT_EQ(listing_.memory_text(), "");
}

// After a popup link every blank up to the next text is non-breaking, also
// across emphasis tags and a tab; elsewhere blanks stay blanks, after an
// emphasis tag too.
TEST_F(LineProcessorTest, BlanksAfterAPopupLinkDoNotBreak) {
  const std::string page =
      Render(kHtml,
             "<topic>T</topic>\n<jump_popup>P</jump_popup>  a b <bold> </bold>c\n"
             "<jump_popup>P</jump_popup><italic> \t d\n<endtopic/>\n");
  EXPECT_NE(page.find("P&nbsp;&nbsp;a b <b> </b>c<br/>"), std::string::npos) << page;
  EXPECT_NE(page.find("P<i>&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;d<br/>"), std::string::npos) << page;
}

// The argument and heading buffers take 255 characters; the one that
// overflows first is told, with the buffer as that character found it.
TEST_F(LineProcessorTest, CollectedTextOverflowsAtTheCharacterThatFindsTheBufferFull) {
  const std::string name(255, 'n');
  EXPECT_NO_THROW(Render(kNone, "<topic>T</topic>\n<keyword>" + name + "</keyword>\n"));
  EXPECT_THROW(Render(kNone, "<topic>T</topic>\n<keyword>" + name + "x</keyword>\n"), FatalStop);
  EXPECT_EQ(listing_.memory_text(), "/docs/book.pp(    2): Fatal : Identifier \"" +
                                        std::string(40, 'n') +
                                        "...\" overflowed the internal Savename buffer.\r\n");
  // Both buffers collect a heading inside a link: the shorter room runs out first.
  Listing heading_listing = Listing::InMemory();
  RunContext heading_run(heading_listing);
  TagState state;
  state.output_on = true;
  state.topic_name = "T";
  state.head[0] = true;
  state.each_heading = std::string(200, 'h');
  state.open_tag = "<keyword>";
  state.savename = "k";
  LineOutput output;
  EXPECT_THROW(ProcessLine(std::string(60, 'z'), heading_run, state, output), FatalStop);
  EXPECT_EQ(heading_listing.memory_text(),
            ": Fatal : Identifier \"" + std::string(40, 'h') +
                "...\" overflowed the internal EachHeading buffer.\r\n");
}

// The line that ends a topic is written to that topic's page; the next
// topic's first line to its own.
TEST_F(LineProcessorTest, LinesGoToTheirTopicsPages) {
  const std::string source =
      "<topic>One</topic>\nfirst <endtopic/>\n<topic>Two</topic>\nsecond\n<endtopic/>\n";
  const std::string one = Render(kHtml, source, "ONE");
  EXPECT_TRUE(one.ends_with("first </body>\r\n</html>\r\n\r\n")) << one;
  const std::string two = Render(kHtml, source, "TWO");
  EXPECT_NE(two.find("second<br/>\r\n"), std::string::npos);
  EXPECT_EQ(one.find("second"), std::string::npos);
}

// Printable text is taken sixteen bytes at a time: a byte that ends a run of
// text (one that is not printable, or the "<" of a tag) is found wherever it
// stands, in a line of any length, the last bytes included.
class RunEndTest : public ::testing::TestWithParam<std::size_t> {};

TEST_P(RunEndTest, EveryPositionEndsTheText) {
  const std::size_t length = GetParam();
  for (std::size_t at = 0; at < length; ++at) {
    Listing listing = Listing::InMemory();
    RunContext run(listing);
    TagState state;
    state.output_on = true;
    LineOutput output;
    std::string line(length, 'a');
    line[at] = '\x7f';
    ProcessLine(line + "\n", run, state, output);
    EXPECT_EQ(listing.memory_text(),
              ": Warning : Unconverted character Chr(127) at character position " +
                  std::to_string(at) + "\r\n")
        << "length " << length;
    if (at + 6 > length) continue;
    line.replace(at, 6, "<bold>");
    ProcessLine(line, run, state, output);
    EXPECT_TRUE(state.bold) << "length " << length << ", tag at " << at;
    state.bold = false;
  }
}

INSTANTIATE_TEST_SUITE_P(LineLengths, RunEndTest, ::testing::Range<std::size_t>(1, 50));

}  // namespace
}  // namespace quillark
