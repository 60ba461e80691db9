// The document server's actions: "hello" sends the search-form page, "findfile" runs a search
// and renders the result template, "getfile" sends a document recorded in the named index.
#pragma once

#include <random>
#include <string>
#include <string_view>

#include "base/FileStamp.h"
#include "search/SearchForm.h"
#include "search/SearchSession.h"
#include "server/HttpReply.h"
#include "server/HttpRequest.h"
#include "server/RequestHandler.h"

namespace zyl::server {

class DocumentServer : public RequestHandler {
 public:
  // `messages` receives what a search reports (a missing descriptor, a refused statement).
  explicit DocumentServer(base::MessageSink messages = {});

  // Parses the request and runs its action; an unknown or missing action gets no reply. The
  // recent index list is read again first when config.ini has changed.
  ReplyPlan Handle(std::string_view request, const ServerEndpoint& endpoint) override;

  std::string Hello(const ServerEndpoint& endpoint) const;
  ServerReply FindFile(const Request& request, const ServerEndpoint& endpoint);
  ReplyPlan GetFile(const Request& request);

  // The form as the requests have left it: options are only ever switched on.
  const search::SearchForm& form() const { return form_; }

 private:
  // Takes the recent index list from config.ini again when the file has changed since.
  void RefreshRecentIndexes();

  search::SearchForm form_;
  search::SearchSession session_;
  std::mt19937 random_;
  base::FileStamp recentList_;
};

// The database of an index named in a request: the index of the recent list with that title,
// or the file name + ".mdb" in the index folder. "" (no database) when the name is not a plain
// file name (see IsPlainIndexName).
std::string DatabaseOfIndex(std::string_view indexName);

// True for a name that stays inside the index folder: not empty, without "/", ".." or NUL.
bool IsPlainIndexName(std::string_view name);

// True when the index database holds a row with exactly this location. The database is only
// read, never changed.
bool IsIndexedLocation(std::string_view location, const std::string& dbname);

}  // namespace zyl::server
