#include "indexer/HttpFetcher.h"

#include <curl/curl.h>

#include <mutex>
#include <utility>

#include "base/DateTime.h"
#include "base/Strings.h"
#include "settings/Settings.h"

namespace zyl::indexer {

namespace {

constexpr const char* kProtocols = "http,https";
constexpr unsigned kUrlFlags = CURLU_ALLOW_SPACE | CURLU_URLENCODE;

void EnsureCurlInitialised() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct UrlDeleter {
  void operator()(CURLU* u) const { curl_url_cleanup(u); }
};
using UrlPtr = std::unique_ptr<CURLU, UrlDeleter>;

std::optional<std::string> GetPart(CURLU* url, CURLUPart part) {
  char* text = nullptr;
  if (curl_url_get(url, part, &text, 0) != CURLUE_OK || text == nullptr) return std::nullopt;
  std::string out(text);
  curl_free(text);
  return out;
}

// The full address of `url` when its scheme is one the crawler loads.
std::optional<std::string> WebAddress(CURLU* url) {
  const auto scheme = GetPart(url, CURLUPART_SCHEME);
  if (!scheme || (*scheme != "http" && *scheme != "https")) return std::nullopt;
  return GetPart(url, CURLUPART_URL);
}

bool IsUrlBlank(char c) {
  return static_cast<unsigned char>(c) <= 0x20;
}

// What a browser does to an href before resolving it: leading and trailing controls and blanks
// go, TABs and line breaks anywhere go.
std::string CleanHref(std::string_view href) {
  while (!href.empty() && IsUrlBlank(href.front())) href.remove_prefix(1);
  while (!href.empty() && IsUrlBlank(href.back())) href.remove_suffix(1);
  std::string out;
  out.reserve(href.size());
  for (char c : href)
    if (c != '\t' && c != '\n' && c != '\r') out += c;
  return out;
}

std::int32_t OrDefault(std::int32_t value, std::int32_t fallback) {
  return value > 0 ? value : fallback;
}

}  // namespace

FetchLimits FetchLimits::FromConfig() {
  return Of(settings::Config());
}

FetchLimits FetchLimits::Of(const settings::Settings& config) {
  FetchLimits limits;
  limits.connectTimeout = config.ConnectTimeout;
  limits.requestTimeout = config.RequestTimeout;
  limits.maxPageSize = config.MaxPageSize;
  limits.maxRedirects = config.MaxRedirects;
  return limits;
}

struct HttpFetcher::Handle {
  CURL* curl = nullptr;
  char errorText[CURL_ERROR_SIZE] = {};
  std::string* body = nullptr;
  std::int64_t maxSize = 0;
  bool tooLarge = false;
  bool aborted = false;
  const std::function<bool()>* abortCheck = nullptr;

  ~Handle() {
    if (curl != nullptr) curl_easy_cleanup(curl);
  }

  static size_t Write(char* data, size_t size, size_t count, void* user) {
    auto* self = static_cast<Handle*>(user);
    const size_t length = size * count;
    if (static_cast<std::int64_t>(self->body->size() + length) > self->maxSize) {
      self->tooLarge = true;
      return 0;  // any other count than `length` makes curl stop with a write error
    }
    self->body->append(data, length);
    return length;
  }

  static int Progress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    auto* self = static_cast<Handle*>(user);
    if (self->abortCheck != nullptr && *self->abortCheck && (*self->abortCheck)()) {
      self->aborted = true;
      return 1;
    }
    return 0;
  }
};

HttpFetcher::HttpFetcher(FetchLimits limits)
    : limits_(limits), handle_(std::make_unique<Handle>()) {
  EnsureCurlInitialised();
  limits_.connectTimeout = OrDefault(limits_.connectTimeout, FetchLimits{}.connectTimeout);
  limits_.requestTimeout = OrDefault(limits_.requestTimeout, FetchLimits{}.requestTimeout);
  if (limits_.maxPageSize <= 0) limits_.maxPageSize = FetchLimits{}.maxPageSize;
  if (limits_.maxRedirects < 0) limits_.maxRedirects = FetchLimits{}.maxRedirects;

  CURL* curl = curl_easy_init();
  handle_->curl = curl;
  handle_->maxSize = limits_.maxPageSize;
  handle_->abortCheck = &abortCheck_;
  if (curl == nullptr) return;
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, kProtocols);
  curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, kProtocols);
  curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(curl, CURLOPT_MAXREDIRS, static_cast<long>(limits_.maxRedirects));
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, static_cast<long>(limits_.connectTimeout));
  curl_easy_setopt(curl, CURLOPT_TIMEOUT, static_cast<long>(limits_.requestTimeout));
  curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limits_.maxPageSize));
  curl_easy_setopt(curl, CURLOPT_USERAGENT, std::string(kUserAgent).c_str());
  curl_easy_setopt(curl, CURLOPT_ACCEPT_ENCODING, "");  // whatever this libcurl can decode
  curl_easy_setopt(curl, CURLOPT_COOKIEFILE, "");  // keep cookies for the crawl, as a browser would
  curl_easy_setopt(curl, CURLOPT_FILETIME, 1L);
  curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, handle_->errorText);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &Handle::Write);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, handle_.get());
  curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &Handle::Progress);
  curl_easy_setopt(curl, CURLOPT_XFERINFODATA, handle_.get());
}

HttpFetcher::~HttpFetcher() = default;

FetchResult HttpFetcher::Get(std::string_view address) {
  FetchResult result;
  result.finalUrl = std::string(address);
  CURL* curl = handle_->curl;
  if (curl == nullptr) {
    result.error = "the HTTP client could not be started";
    return result;
  }
  const auto url = RequestUrl(address);
  if (!url) {
    result.error = "not an http or https address";
    return result;
  }
  result.finalUrl = *url;

  handle_->errorText[0] = '\0';
  handle_->body = &result.body;
  handle_->tooLarge = false;
  handle_->aborted = false;
  const std::time_t fetchTime = base::Now();
  curl_easy_setopt(curl, CURLOPT_URL, url->c_str());
  const CURLcode code = curl_easy_perform(curl);
  handle_->body = nullptr;

  if (char* effective = nullptr;
      curl_easy_getinfo(curl, CURLINFO_EFFECTIVE_URL, &effective) == CURLE_OK && effective)
    result.finalUrl = effective;
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &result.status);
  if (char* type = nullptr;
      curl_easy_getinfo(curl, CURLINFO_CONTENT_TYPE, &type) == CURLE_OK && type)
    result.contentType = type;
  curl_off_t fileTime = -1;
  curl_easy_getinfo(curl, CURLINFO_FILETIME_T, &fileTime);
  result.modified =
      base::FormatModified(fileTime >= 0 ? static_cast<std::time_t>(fileTime) : fetchTime);

  if (code == CURLE_OK) {
    result.ok = true;
    return result;
  }
  result.body.clear();
  if (handle_->tooLarge || code == CURLE_FILESIZE_EXCEEDED)
    result.error = "the page is larger than " + std::to_string(limits_.maxPageSize) + " bytes";
  else if (handle_->aborted)
    result.error = "stopped";
  else if (handle_->errorText[0] != '\0')
    result.error = handle_->errorText;
  else
    result.error = curl_easy_strerror(code);
  return result;
}

std::optional<std::string> ResolveUrl(std::string_view base, std::string_view href) {
  std::string target = CleanHref(href);
  const std::string page = WithoutFragment(base);
  // libcurl resolves "" and "#name" against the base's folder instead of the base itself;
  // both name the page the link is on.
  if (target.empty())
    target = page;
  else if (target.front() == '#')
    target = page + target;
  UrlPtr url(curl_url());
  if (!url || curl_url_set(url.get(), CURLUPART_URL, page.c_str(), kUrlFlags) != CURLUE_OK)
    return std::nullopt;
  if (curl_url_set(url.get(), CURLUPART_URL, target.c_str(), kUrlFlags) != CURLUE_OK)
    return std::nullopt;
  return WebAddress(url.get());
}

std::optional<std::string> RequestUrl(std::string_view address) {
  const std::string text(address);
  if (text.find('\0') != std::string::npos) return std::nullopt;
  UrlPtr url(curl_url());
  if (!url || curl_url_set(url.get(), CURLUPART_URL, text.c_str(), kUrlFlags) != CURLUE_OK)
    return std::nullopt;
  return WebAddress(url.get());
}

std::string WithoutFragment(std::string_view url) {
  return std::string(url.substr(0, url.find('#')));
}

std::string CharsetOfContentType(std::string_view contentType) {
  const std::size_t at = base::FindAsciiNoCase(contentType, "charset=");
  if (at == std::string_view::npos) return {};
  std::string_view value = contentType.substr(at + 8);
  value = value.substr(0, value.find(';'));
  while (!value.empty() && IsUrlBlank(value.front())) value.remove_prefix(1);
  while (!value.empty() && IsUrlBlank(value.back())) value.remove_suffix(1);
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front())
    value = value.substr(1, value.size() - 2);
  return std::string(value);
}

bool IsHtmlResponse(std::string_view contentType, std::string_view body) {
  const std::string media =
      base::AsciiLower(base::Trim(contentType.substr(0, contentType.find(';'))));
  if (media.empty()) {
    const std::size_t first = body.find_first_not_of(" \t\r\n\f");
    return first != std::string_view::npos && body[first] == '<';
  }
  return media == "text/html" || media == "application/xhtml+xml";
}

}  // namespace zyl::indexer
