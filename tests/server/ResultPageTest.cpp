#include "server/ResultPage.h"

#include <gtest/gtest.h>

#include "server/HttpRequest.h"

namespace zyl::server {
namespace {

search::ResultRow Hit(std::string title, std::string content = "") {
  search::ResultRow r;
  r.title = std::move(title);
  r.content = std::move(content);
  r.location = "/d/" + r.title;
  return r;
}

std::string NoLink(const search::ResultRow&) {
  return "";
}

TEST(BuildResultPage, MarkersDropOneCharacterEachSide) {
  const std::string t = "A<template>\nX%Title%Y\n</template>\nB";
  EXPECT_EQ(BuildResultPage(t, {Hit("P"), Hit("Q")}, "", NoLink), "AXPYXQYB");
  EXPECT_EQ(BuildResultPage(t, {}, "", NoLink), "AB");
  EXPECT_EQ(BuildResultPage("no markers", {Hit("P")}, "", NoLink), "no markers");
}

TEST(BuildResultPage, PlaceholdersFilledOnceAndEscaped) {
  const std::string t =
      "<template>\n%Filenumber%|%Title%|%Author% "
      "|%Author%|%Location%|%FileLink%|%Nope%\n</template>\n";
  search::ResultRow r = Hit("<b>%Location%</b>");
  r.author = "Tom & Jerry";
  const std::string page = BuildResultPage(
      t, {r}, "", [](const search::ResultRow&) { return std::string("http://h:1/?a=1&b=2"); });
  EXPECT_EQ(page,
            "1|&lt;b&gt;%Location%&lt;/b&gt;|Tom &amp; Jerry|%Author%|/d/&lt;b&gt;%Location%&lt;/"
            "b&gt;|http://h:1/?a=1&amp;b=2|%Nope%");
}

TEST(MakeExcerpt, StartsTwoHundredBeforeTheFirstFoundWordAndMarksIt) {
  std::string content(1200, 'x');
  content.replace(999, 4, "find");  // character 1000
  const std::string excerpt = MakeExcerpt(content, "absent find");
  EXPECT_EQ(excerpt, std::string(200, 'x') + "<Font Color=Red>find</Font>" + std::string(96, 'x'));
  // Found at character 150: the excerpt starts at the beginning.
  std::string early(400, 'y');
  early.replace(149, 4, "word");
  EXPECT_TRUE(MakeExcerpt(early, "word").starts_with(std::string(149, 'y') + "<Font"));
}

TEST(MakeExcerpt, TidiesBlanksAndLineBreaksAndEscapes) {
  EXPECT_EQ(MakeExcerpt("a    b  c\r\n\r\n\r\nd\ne", ""), "a b c<br>\r\nd<br>\r\ne");
  EXPECT_EQ(MakeExcerpt("1 < 2 & <script>", "<script>"),
            "1 &lt; 2 &amp; <Font Color=Red>&lt;script&gt;</Font>");
  // Only the first word found is looked for and marked.
  EXPECT_EQ(MakeExcerpt("alpha beta", "beta alpha"), "alpha <Font Color=Red>beta</Font>");
  // Case matters when finding the excerpt's word.
  EXPECT_EQ(MakeExcerpt("Alpha", "alpha"), "Alpha");
}

TEST(DocumentLink, RoundTripsAwkwardLocations) {
  const std::string loc = "/home/a b/x&y #1+2%.txt";
  const std::string link = DocumentLink("127.0.0.1", 8080, loc, "Мои документы", 7);
  const Request r = ParseRequest("GET " + link.substr(link.find("/?")) + " HTTP/1.0\r\n\r\n");
  EXPECT_EQ(GetQueryVar(r, "location"), loc);
  EXPECT_EQ(GetQueryVar(r, "indexname"), "Мои документы");
  EXPECT_EQ(GetQueryVar(r, "session"), "7");
}

TEST(MimeTypeOf, ByLowerCaseExtension) {
  const std::vector<std::string> mime = {"text/html;htm", "text/plain;txt", "application/pdf;pdf"};
  EXPECT_EQ(MimeTypeOf("/d/A.HTM", mime), "text/html");
  EXPECT_EQ(MimeTypeOf("/d/a.pdf", mime), "application/pdf");
  EXPECT_EQ(MimeTypeOf("/d/a.doc", mime), "");
  EXPECT_EQ(MimeTypeOf("/d/noext", mime), "");
}

}  // namespace
}  // namespace zyl::server
