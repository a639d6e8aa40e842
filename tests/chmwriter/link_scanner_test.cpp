#include "chmwriter/link_scanner.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quillark::chm {
namespace {

using Links = std::vector<std::string>;

TEST(FindLinks, PageAttributesOutsideCommentsAndScripts) {
  const char* page =
      "<!DOCTYPE html><html><head><link rel=\"stylesheet\" href=\"book.css\">\r\n"
      "<!-- <img src=\"commented.png\"> -->\r\n"
      "<script language=\"javascript\">if (i<n) document.write(\"<img src=no.png>\");"
      "</SCRIPT>\r\n"
      "</head><BODY Background='back.bmp'><IMG SRC=quill.bmp alt=\"a > b\">"
      "<a href = \"NEXT.html#x\" >next</a></body></html>";
  EXPECT_EQ(FindLinks(page, LinkSource::kPage),
            (Links{"book.css", "back.bmp", "quill.bmp", "NEXT.html#x"}));
}

TEST(FindLinks, SitemapLocalValues) {
  const char* sitemap =
      "<li> <object type=\"text/sitemap\">\r\n"
      "  <param name=\"Name\" value=\"Getting started\">\r\n"
      "  <param name=\"Local\" value=\"GETTING_STARTED.html\">\r\n"
      "  <param value=\"_link_options_1.html\" name=\"local\">\r\n"
      "  </object>\r\n";
  EXPECT_EQ(FindLinks(sitemap, LinkSource::kPage),
            (Links{"GETTING_STARTED.html", "_link_options_1.html"}));
}

TEST(FindLinks, StyleSheetUrls) {
  const char* css =
      "td {background-image:url(button.bmp);}\r\nbody {background: URL( \"a b.png\" )}";
  EXPECT_EQ(FindLinks(css, LinkSource::kStyleSheet), (Links{"button.bmp", "a b.png"}));
}

}  // namespace
}  // namespace quillark::chm
