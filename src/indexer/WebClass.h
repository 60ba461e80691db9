// The web crawler: loads a page, announces it once by its final address, and follows its links
// depth-first down to a set number of levels.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "extract/FileInfo.h"
#include "indexer/HttpFetcher.h"

namespace zyl::indexer {

// One loaded page: what the crawler keeps of a browser's document.
struct WebPage {
  std::string address;  // the address as loaded (after UrlDecode)
  std::string url;      // the final address after redirects, without a fragment
  bool loaded = false;  // a complete 2xx response arrived
  bool isHtml = false;
  long status = 0;
  std::string contentType;
  std::string modified;  // stored form: Last-Modified, else the time of the load
  std::string title;
  std::string author;
  std::string text;  // the body's rendered text
  std::int64_t serialisedLength = 0;
  std::vector<std::string> links;  // every anchor's address made absolute, in document order
  std::string error;               // why the load failed, when !loaded
};

// Fills the parts of `page` that come from its HTML `body`: text, title, author, serialised
// length, and the anchors' addresses made absolute against page.url (or the page's base
// element). page.url and page.contentType must be set; the Content-Type's charset outranks the
// page's own declaration, a byte-order mark outranks both.
void ReadHtmlPage(WebPage& page, std::string_view body);

class WebClass {
 public:
  explicit WebClass(FetchLimits limits = FetchLimits::FromConfig());
  WebClass(const WebClass&) = delete;
  WebClass& operator=(const WebClass&) = delete;

  // Also follow links whose address ends with "/".
  bool ExploreDefault() const { return exploreDefault_; }
  void SetExploreDefault(bool value) { exploreDefault_ = value; }
  // How many link levels below the start page are followed.
  std::int32_t MaxExploreDepth() const { return maxExploreDepth_; }
  void SetMaxExploreDepth(std::int32_t value) { maxExploreDepth_ = value; }
  // ";"-separated address extensions whose links are followed ("htm;html").
  const std::string& RitrievalFilesExt() const { return ritrievalFilesExt_; }
  void SetRitrievalFilesExt(std::string value) { ritrievalFilesExt_ = std::move(value); }

  // Explores from `start` and raises onExploreComplete at the end (also after a stop).
  void GetSubWebPages(std::string_view start);
  // Loads a page, announces it, and returns the links to follow (the same address may appear
  // more than once).
  std::vector<std::string> GetWebLinks(std::string_view address);
  // Decodes the address, loads it and raises onDocumentOpen for a page that arrived; a failed
  // load is reported through onLoadFailed instead.
  WebPage OpenDoc(std::string_view address);

  // The address's extension: the text after the last ".", up to a "?" that follows it,
  // lower-cased; "" without a dot.
  static std::string GetUrlFileExt(std::string_view address);
  // "+" becomes a blank, "%XX" the character with that code.
  static std::string UrlDecode(std::string_view address);

  // True once the crawl was ended by stopRequested.
  bool Stopped() const { return stopped_; }

  // Events.
  std::function<void(const WebPage&)> onDocumentOpen;
  std::function<void(const WebPage&)> onExploreNewDocument;
  std::function<void()> onExploreComplete;
  // A page that could not be loaded (page.error says why); the crawl goes on.
  std::function<void(const WebPage&)> onLoadFailed;
  // Polled between pages and during a transfer; true ends the crawl.
  std::function<bool()> stopRequested;
  // Called after each announcement, so that a window stays responsive.
  std::function<void()> onYield;

 private:
  void Explore(const std::string& address, std::int32_t depth);
  void RegisterDocument(const WebPage& page);
  std::vector<std::string> FollowedLinks(const WebPage& page) const;
  bool StopNow();

  HttpFetcher fetcher_;
  bool exploreDefault_ = false;
  std::int32_t maxExploreDepth_ = 0;
  std::string ritrievalFilesExt_;
  bool stopped_ = false;

  // Final addresses already announced.
  std::unordered_set<std::string> visited_;

  // Within one GetSubWebPages: the outcome of every address loaded so far (its links to
  // follow), so that an address reached again is not fetched again, and the shallowest depth
  // at which each address was explored to the end. Exploring an address again at that depth
  // or deeper can only reach pages already announced, so it is skipped; this keeps a site
  // whose pages all link to each other from costing (links per page) ^ depth loads.
  bool crawling_ = false;
  std::unordered_map<std::string, std::vector<std::string>> linkCache_;
  std::unordered_map<std::string, std::int32_t> exploredAt_;
};

// The index row of a page.
extract::FileInfo GetWebPageInfo(const WebPage& page);

}  // namespace zyl::indexer
