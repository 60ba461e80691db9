// Loading web pages over HTTP(S) for the crawler, and the address arithmetic around it. Only
// http and https addresses are ever loaded: a page must not make the crawler read local files
// or talk other protocols.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "settings/Settings.h"

namespace zyl::indexer {

inline constexpr std::string_view kUserAgent = "ZYL/0.1 (document indexer)";

struct FetchLimits {
  std::int32_t connectTimeout = 10;  // seconds
  std::int32_t requestTimeout = 30;  // seconds, the whole request with its redirects
  std::int64_t maxPageSize = 20LL * 1024 * 1024;
  std::int32_t maxRedirects = 10;

  // The [Web] limits of a settings record; FromConfig takes them from the process's record.
  static FetchLimits Of(const settings::Settings& s);
  static FetchLimits FromConfig();
};

struct FetchResult {
  bool ok = false;       // a complete response arrived (whatever its status)
  long status = 0;       // HTTP status of the last response
  std::string finalUrl;  // address after redirects
  std::string contentType;
  std::string modified;  // Last-Modified in the stored form; the time of the fetch without one
  std::string body;
  std::string error;  // why the load failed, when !ok
};

class HttpFetcher {
 public:
  explicit HttpFetcher(FetchLimits limits = FetchLimits::FromConfig());
  ~HttpFetcher();
  HttpFetcher(const HttpFetcher&) = delete;
  HttpFetcher& operator=(const HttpFetcher&) = delete;

  // Polled during a transfer; returning true abandons it.
  void SetAbortCheck(std::function<bool()> check) { abortCheck_ = std::move(check); }

  // GET `address` (blanks and other characters an address may not hold are encoded first).
  FetchResult Get(std::string_view address);

 private:
  struct Handle;
  FetchLimits limits_;
  std::unique_ptr<Handle> handle_;
  std::function<bool()> abortCheck_;
};

// The absolute address `href` names on a page at `base`, as a browser's link gives it: blanks
// around it dropped, line breaks and TABs inside removed, blanks inside encoded, "" meaning the
// page itself. nullopt when it cannot be resolved or is not an http or https address.
std::optional<std::string> ResolveUrl(std::string_view base, std::string_view href);

// The address in the form sent on the wire (blanks and non-ASCII characters percent-encoded,
// the rest kept); nullopt when it is not a valid http or https address.
std::optional<std::string> RequestUrl(std::string_view address);

// The address without its "#fragment": the fragment names a place within one document.
std::string WithoutFragment(std::string_view url);

// The charset parameter of a Content-Type value ("" when none).
std::string CharsetOfContentType(std::string_view contentType);

// True for a Content-Type of an HTML document. A response without one counts as HTML when its
// first non-blank byte is "<".
bool IsHtmlResponse(std::string_view contentType, std::string_view body);

}  // namespace zyl::indexer
