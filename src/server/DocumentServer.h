// The document server's actions: "hello" sends the search-form page, "findfile" runs a search
// and renders the result template, "getfile" sends a document recorded in the named index.
#pragma once

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "base/FileStamp.h"
#include "search/SearchForm.h"
#include "search/SearchSession.h"
#include "server/HttpReply.h"
#include "server/HttpRequest.h"
#include "server/RequestHandler.h"

class QThreadPool;

namespace zyl::server {

// Searches run on worker threads of their own, each on its own read-only connections, so that
// the connection layer goes on serving while they work. Two pools: searches that read every
// row of an index, and quick work (searches the substring index narrows, document look-ups),
// so a slow search cannot hold up a fast one. The session's state (the form as the requests
// have left it, the last search's rows for "search within the found documents", the history)
// is kept under one lock: each request takes the state as it stands when it arrives, and its
// search, when done, becomes the last one. Requests for the same search that arrive while it
// waits for a thread are answered by that one run.
class DocumentServer : public RequestHandler {
 public:
  // `messages` receives what a search reports (a missing descriptor, a refused statement),
  // one message at a time, from whichever thread ran the search. `searchThreads` is the size
  // of each pool (0: one per core, at least 2 and at most 4).
  explicit DocumentServer(base::MessageSink messages = {}, int searchThreads = 0);
  ~DocumentServer() override;

  // Parses the request and runs its action on the calling thread; an unknown or missing action
  // gets no reply. The recent index list is read again first when config.ini has changed.
  ReplyPlan Handle(std::string_view request, const ServerEndpoint& endpoint) override;
  // The same, with searches and document look-ups handed to the worker threads.
  void HandleAsync(std::string request, const ServerEndpoint& endpoint,
                   ReplyCallback reply) override;

  std::string Hello(const ServerEndpoint& endpoint) const;
  ServerReply FindFile(const Request& request, const ServerEndpoint& endpoint);
  ReplyPlan GetFile(const Request& request);

  // The form as the requests have left it: options are only ever switched on.
  search::SearchForm form() const;
  // The session's last search and history (a copy: searches may be finishing meanwhile).
  search::SearchSession session() const;

  // Searches run on the worker threads so far (requests answered by another's run not counted).
  std::size_t SearchesRun() const { return searchesRun_.load(); }

  // The thread counts of the two pools.
  int SearchThreads() const;
  int QuickThreads() const;

 private:
  struct FindJob;
  class ExcerptCache;
  // Takes the recent index list from config.ini again when the file has changed since.
  void RefreshRecentIndexes();
  // What a findfile needs from the session and the settings, taken on the connection's thread.
  FindJob PrepareFindFile(const Request& request, const ServerEndpoint& endpoint);
  // Runs the search and renders the page; on any thread.
  ServerReply RunFindFile(const FindJob& job);
  // Renders the page of a search's outcome and makes the search the session's last one.
  // `excerpts`, when given, is shared by the pages of the requests one run answers.
  ServerReply FinishFindFile(const FindJob& job, search::SearchOutcome outcome,
                             ExcerptCache* excerpts = nullptr);
  // Queues a findfile on its pool, or joins it to the same search waiting there.
  void StartFindFile(std::shared_ptr<FindJob> job, ReplyCallback reply);

  mutable std::mutex sessionMutex_;  // guards form_ and session_
  search::SearchForm form_;
  search::SearchSession session_;
  base::FileStamp recentList_;
  std::atomic<unsigned> pageCount_{0};
  std::atomic<std::size_t> searchesRun_{0};  // mixed into each page's random seed
  // Searches waiting in a pool, not started yet, by what they search (statement and indexes):
  // an identical request arriving meanwhile is answered by the same run, so many browsers
  // asking the same question do not each read the index.
  struct Waiting {
    std::vector<std::pair<std::shared_ptr<FindJob>, ReplyCallback>> requests;
  };
  std::mutex waitingMutex_;
  std::map<std::string, std::shared_ptr<Waiting>> waiting_;
  std::shared_ptr<std::mutex> messageMutex_ = std::make_shared<std::mutex>();
  base::MessageSink messages_;
  // Last, so that they go first: their destructors wait for the searches still running.
  std::unique_ptr<QThreadPool> searches_;
  std::unique_ptr<QThreadPool> quick_;
};

// The database of an index named in a request: the index of the recent list with that title,
// or the file name + ".mdb" in the index folder. "" (no database) when the name is not a plain
// file name (see IsPlainIndexName).
std::string DatabaseOfIndex(std::string_view indexName);

// True for a name that stays inside the index folder: not empty, without "/", ".." or NUL.
bool IsPlainIndexName(std::string_view name);

// getfile's answer for a location and the database of the index the request named: the file's
// bytes, 403 when the index does not hold the location. Touches no shared state.
ReplyPlan GetFileOf(const std::string& location, const std::string& dbname,
                    const std::vector<std::string>& mimeLines);

// True when the index database holds a row with exactly this location. The database is only
// read, never changed.
bool IsIndexedLocation(std::string_view location, const std::string& dbname);

}  // namespace zyl::server
