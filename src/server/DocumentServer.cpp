#include "server/DocumentServer.h"

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QThreadPool>
#include <algorithm>
#include <chrono>
#include <random>
#include <thread>

#include "base/DateTime.h"
#include "base/Paths.h"
#include "base/Strings.h"
#include "catalog/DescriptorReader.h"
#include "db/Ast.h"
#include "db/Compiler.h"
#include "db/Database.h"
#include "search/FormVariables.h"
#include "search/ResultContent.h"
#include "server/ResultPage.h"
#include "settings/CommonFunctions.h"
#include "settings/Config.h"
#include "settings/Settings.h"

namespace zyl::server {

namespace {

// What one statement of a browser's search may cost. Searches share a few worker threads, so a
// condition that asks for endless work must be cut off well before browsers give up.
const db::WorkBudget kServerBudget{std::chrono::seconds(10), 64u << 20};

}  // namespace

namespace {

// Full searches at once: one per core, within reason. Each holds a core while it reads an index,
// so more would only make every search slower; fewer than two would let one slow search hold
// up every other.
int SearchThreadsFor(int wanted) {
  if (wanted > 0) return std::min(wanted, 64);
  return std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 2, 4);
}

std::unique_ptr<QThreadPool> MakePool(int threads) {
  auto pool = std::make_unique<QThreadPool>();
  pool->setMaxThreadCount(threads);
  return pool;
}

// The page's link to another page of the same search: the request's variables as they came,
// the page number replaced.
std::string PageLink(const QueryVars& vars, std::size_t page) {
  std::string link = "/?";
  for (const auto& [name, value] : vars) {
    if (base::EqualsNoCase(name, "page")) continue;
    link += UrlEncodeComponent(name) + "=" + UrlEncodeComponent(value) + "&";
  }
  return link + "page=" + std::to_string(page);
}

// Whether the statement is narrowed by the substring index, so the search reads only the rows
// holding its words; a statement that cannot be compiled fails at once, which is quick too.
bool IsQuickSearch(const search::SearchForm& form, const base::DateTimeParts& now) {
  if (form.searchInFound) return false;
  try {
    return !db::CompileStatement(search::BuildSearchSql(search::RequestFromForm(form, now)))
                .substringMatch.empty();
  } catch (const std::exception&) {
    return true;
  }
}

// Full searches give way to quick work on the same cores: a thread that runs them is made
// less favoured by the scheduler, once. Linux schedules each thread by its own nice value.
void LowerThreadPriority() {
  thread_local bool lowered = false;
  if (lowered) return;
  lowered = true;
  ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), 5);
}

}  // namespace

struct DocumentServer::FindJob {
  search::SearchForm form;
  std::vector<search::IndexEntry> selected;
  search::FoundRows found;
  base::DateTimeParts now;
  bool useHistory = false;
  std::string templateText;
  std::string searchWords;
  std::string indexName;
  ServerEndpoint endpoint;
  QueryVars vars;
  std::string pageVar;
  std::size_t perPage = 0;
  unsigned seed = 0;
};

DocumentServer::DocumentServer(base::MessageSink messages, int searchThreads)
    : recentList_(settings::ConfigIniPath()),
      searches_(MakePool(SearchThreadsFor(searchThreads))),
      quick_(MakePool(SearchThreadsFor(searchThreads))) {
  // The server searches for browsers; the recent lists of the desktop stay as they are.
  session_.updateRecentLists = false;
  session_.budget = kServerBudget;
  // Searches on several threads report through the one sink, one message at a time.
  if (messages) {
    messages_ = [sink = std::move(messages), mutex = messageMutex_](const base::Message& m) {
      const std::lock_guard lock(*mutex);
      sink(m);
    };
  }
  session_.onMessage = messages_;
}

DocumentServer::~DocumentServer() {
  searches_->waitForDone();
  quick_->waitForDone();
}

int DocumentServer::SearchThreads() const {
  return searches_->maxThreadCount();
}

int DocumentServer::QuickThreads() const {
  return quick_->maxThreadCount();
}

search::SearchForm DocumentServer::form() const {
  const std::lock_guard lock(sessionMutex_);
  return form_;
}

search::SearchSession DocumentServer::session() const {
  const std::lock_guard lock(sessionMutex_);
  return session_;
}

void DocumentServer::RefreshRecentIndexes() {
  // An index built while the server runs is put at the head of the list in config.ini; the
  // server takes the list as it stands now, so that findfile finds the new index.
  if (recentList_.Changed())
    settings::Config().RecentIndex = settings::LoadGeneralSetting("RecentIndex");
}

ReplyPlan DocumentServer::Handle(std::string_view text, const ServerEndpoint& endpoint) {
  RefreshRecentIndexes();
  const Request request = ParseRequest(text);
  const std::string action = base::LCase(GetQueryVar(request, "action"));
  if (action == "hello") {
    return {BuildReply({"200", "text/html; charset=utf-8", Hello(endpoint)}), ""};
  }
  if (action == "findfile") return {BuildReply(FindFile(request, endpoint)), ""};
  if (action == "getfile") return GetFile(request);
  return {};
}

void DocumentServer::HandleAsync(std::string text, const ServerEndpoint& endpoint,
                                 ReplyCallback reply) {
  RefreshRecentIndexes();
  const Request request = ParseRequest(text);
  const std::string action = base::LCase(GetQueryVar(request, "action"));
  if (action == "findfile") {
    // The settings, the recent list and the session are read here, on the connection's
    // thread; the worker gets its own copy of all it needs.
    StartFindFile(std::make_shared<FindJob>(PrepareFindFile(request, endpoint)), std::move(reply));
    return;
  }
  if (action == "getfile") {
    const std::string location = GetQueryVar(request, "location");
    const std::string dbname = DatabaseOfIndex(GetQueryVar(request, "indexname"));
    const std::vector<std::string> mime = settings::Config().Mime;
    quick_->start([location, dbname, mime, reply = std::move(reply)] {
      ReplyPlan plan;
      try {
        plan = GetFileOf(location, dbname, mime);
      } catch (...) {
        plan = {};
      }
      reply(std::move(plan));
    });
    return;
  }
  reply(Handle(text, endpoint));
}

std::string DocumentServer::Hello(const ServerEndpoint& endpoint) const {
  std::string page = settings::ReadTextFile(settings::Config().SearchIndexFile);
  page = base::Replace(page, "DomainName:LocalPort",
                       endpoint.address + ":" + std::to_string(endpoint.port));
  if (page.find("%IndexOptions%") != std::string::npos) {
    std::string options;
    for (const search::IndexEntry& index : search::RecentIndexes())
      options += "<option>" + HtmlEscape(index.title) + "</option>\r\n";
    page = base::Replace(page, "%IndexOptions%", options);
  }
  return page;
}

DocumentServer::FindJob DocumentServer::PrepareFindFile(const Request& request,
                                                        const ServerEndpoint& endpoint) {
  FindJob job;
  job.indexName = GetQueryVar(request, "indexname");
  for (const search::IndexEntry& index : search::RecentIndexes())
    if (index.title == job.indexName) job.selected.push_back(index);
  job.vars = request.vars.value_or(QueryVars{});
  {
    const std::lock_guard lock(sessionMutex_);
    search::FillFormFromVariables(job.vars, form_);
    // What the search button does before it searches. A query-language request searches with
    // its condition as typed; there is no query builder to open here.
    form_.searchText = search::CleanSearchBox(form_.searchText, form_.searchType);
    job.form = form_;
    job.found = session_.Found();
  }
  const settings::Settings& config = settings::Config();
  job.now = base::LocalParts(base::Now());
  job.useHistory = config.UseHistory;
  job.templateText = settings::ReadTextFile(config.HtmlTemplate);
  job.searchWords = GetQueryVar(request, "content");
  job.endpoint = endpoint;
  job.pageVar = GetQueryVar(request, "page");
  job.perPage = static_cast<std::size_t>(std::max(config.ResultsPerPage, 0));
  job.seed = static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count()) +
             pageCount_.fetch_add(1) * 7919u;
  return job;
}

ServerReply DocumentServer::RunFindFile(const FindJob& job) {
  return FinishFindFile(job, search::ExecuteSearch(job.form, job.selected, job.now, job.found,
                                                   kServerBudget, messages_));
}

// Excerpts of one run's rows, by search words and row, for the pages of every request the run
// answers: they mostly show the same page with the same words, and an excerpt costs a read of
// the document's text.
class DocumentServer::ExcerptCache {
 public:
  std::string Get(const std::string& words, std::size_t row,
                  const std::function<std::string()>& make) {
    {
      const std::lock_guard lock(mutex_);
      if (const auto it = excerpts_.find({words, row}); it != excerpts_.end()) return it->second;
    }
    std::string excerpt = make();
    const std::lock_guard lock(mutex_);
    excerpts_.emplace(std::make_pair(words, row), excerpt);
    return excerpt;
  }

 private:
  std::mutex mutex_;
  std::map<std::pair<std::string, std::size_t>, std::string> excerpts_;
};

ServerReply DocumentServer::FinishFindFile(const FindJob& job, search::SearchOutcome outcome,
                                           ExcerptCache* excerpts) {
  std::string page;
  if (!outcome.ok && !outcome.error.empty()) {
    // A refused condition (a mistake, or more work than a search may do) is told on the page,
    // where the browser's user can see it, instead of an empty list.
    page = BuildErrorPage(job.templateText, outcome.error);
  } else {
    std::mt19937 random(job.seed);
    std::uniform_int_distribution<int> session(1, 1000);
    search::ContentReader contents;
    page = BuildResultPage(
        job.templateText, outcome.results,
        [&](const search::ResultRow& hit) {
          return DocumentLink(job.endpoint.address, job.endpoint.port, hit.location, job.indexName,
                              session(random));
        },
        [&](std::size_t k) {
          auto make = [&] {
            return MakeExcerpt(contents.Read(outcome.results[k]), job.searchWords);
          };
          return excerpts ? excerpts->Get(job.searchWords, k, make) : make();
        },
        SlicePage(outcome.results.size(), job.perPage, job.pageVar),
        [&](std::size_t n) { return PageLink(job.vars, n); });
  }
  {
    const std::lock_guard lock(sessionMutex_);
    session_.Adopt(std::move(outcome), job.form.searchText, job.useHistory);
  }
  return {"200", "", page};
}

void DocumentServer::StartFindFile(std::shared_ptr<FindJob> job, ReplyCallback reply) {
  const bool quick = IsQuickSearch(job->form, job->now);
  // What the search reads: the same statement over the same indexes finds the same rows. A
  // search within the found documents depends on the session's last search and runs alone.
  std::string key;
  if (!job->form.searchInFound) {
    key = search::BuildSearchSql(search::RequestFromForm(job->form, job->now));
    for (const search::IndexEntry& index : job->selected) key += "\n" + index.descriptorPath;
  }
  std::shared_ptr<Waiting> waiting;
  {
    const std::lock_guard lock(waitingMutex_);
    if (!key.empty()) {
      if (const auto it = waiting_.find(key); it != waiting_.end()) {
        it->second->requests.emplace_back(std::move(job), std::move(reply));
        return;
      }
    }
    waiting = std::make_shared<Waiting>();
    waiting->requests.emplace_back(std::move(job), std::move(reply));
    if (!key.empty()) waiting_.emplace(key, waiting);
  }
  QThreadPool& pool = quick ? *quick_ : *searches_;
  pool.start([this, key, waiting, quick] {
    if (!quick) LowerThreadPriority();
    // From the start on, requests that arrive wait for a run of their own: none is answered
    // with rows read before it came.
    std::vector<std::pair<std::shared_ptr<FindJob>, ReplyCallback>> requests;
    {
      const std::lock_guard lock(waitingMutex_);
      if (const auto it = waiting_.find(key); it != waiting_.end() && it->second == waiting)
        waiting_.erase(it);
      requests = std::move(waiting->requests);
    }
    std::shared_ptr<const search::SearchOutcome> outcome;
    try {
      const FindJob& first = *requests.front().first;
      ++searchesRun_;
      outcome = std::make_shared<const search::SearchOutcome>(search::ExecuteSearch(
          first.form, first.selected, first.now, first.found, kServerBudget, messages_));
    } catch (...) {
    }
    // Unanswered when the search failed, as a failing action on the connection's thread would
    // be. The pages of the requests that joined this run are quick work: they are made on the
    // quick threads, side by side, while this one makes the first.
    auto excerpts = std::make_shared<ExcerptCache>();
    auto answer = [this, outcome, excerpts](const FindJob& job, const ReplyCallback& reply) {
      ReplyPlan plan;
      try {
        if (outcome) plan = {BuildReply(FinishFindFile(job, *outcome, excerpts.get())), ""};
      } catch (...) {
        plan = {};
      }
      reply(std::move(plan));
    };
    for (std::size_t i = 1; i < requests.size(); ++i)
      quick_->start(
          [answer, request = std::move(requests[i])] { answer(*request.first, request.second); });
    answer(*requests.front().first, requests.front().second);
  });
}

ServerReply DocumentServer::FindFile(const Request& request, const ServerEndpoint& endpoint) {
  return RunFindFile(PrepareFindFile(request, endpoint));
}

bool IsPlainIndexName(std::string_view name) {
  // A name that climbs out of the index folder ("../x", "/etc/x") would let a request open any
  // database on the machine and fetch the files it lists.
  return !name.empty() && name.find('/') == std::string_view::npos &&
         name.find("..") == std::string_view::npos && name.find('\0') == std::string_view::npos;
}

std::string DatabaseOfIndex(std::string_view indexName) {
  for (const search::IndexEntry& index : search::RecentIndexes())
    if (index.title == indexName) return catalog::ReadGeneral(index.descriptorPath, "dbname");
  if (!IsPlainIndexName(indexName)) return {};
  return base::JoinPath(settings::Config().IndexFolder, std::string(indexName) + ".mdb");
}

bool IsIndexedLocation(std::string_view location, const std::string& dbname) {
  if (!base::FileExists(dbname)) return false;
  try {
    // The location goes in as a string literal of the dialect, which the engine binds as a
    // parameter: a "'" inside it is doubled and cannot end the literal.
    // Read-only: whatever file the request names, looking into it must not change it.
    db::Database database = db::Database::OpenReadOnly(dbname);
    database.SetWorkBudget(kServerBudget);
    db::Recordset rs =
        database.OpenRecordset(std::string("SELECT location FROM ") + db::kTableName +
                               " WHERE location = '" + base::Replace(location, "'", "''") + "'");
    return !(rs.Bof() && rs.Eof());
  } catch (const std::exception&) {
    return false;
  }
}

ReplyPlan GetFileOf(const std::string& location, const std::string& dbname,
                    const std::vector<std::string>& mimeLines) {
  if (!IsIndexedLocation(location, dbname)) return {BuildReply({"403", "", ""}), ""};
  ReplyPlan plan{ReplyHead200(MimeTypeOf(location, mimeLines)), ""};
  // A recorded document that is not a file (an archive member, mail, a web page) or that is
  // gone answers with an empty body. What stands at the location now is looked at without
  // following a final link: an indexed file replaced by a link (or by a folder, a FIFO, a
  // device) is refused, so a link cannot lead a browser to a file that was never indexed.
  // The connection opens the file again without following links, so a swap after this look
  // yields an empty body, never the link's target.
  struct stat info {};
  if (!location.starts_with('/') || ::lstat(location.c_str(), &info) != 0) return plan;
  if (!S_ISREG(info.st_mode)) return {BuildReply({"403", "", ""}), ""};
  plan.streamFile = location;
  return plan;
}

ReplyPlan DocumentServer::GetFile(const Request& request) {
  return GetFileOf(GetQueryVar(request, "location"),
                   DatabaseOfIndex(GetQueryVar(request, "indexname")), settings::Config().Mime);
}

}  // namespace zyl::server
