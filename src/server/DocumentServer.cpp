#include "server/DocumentServer.h"

#include <sys/stat.h>

#include <algorithm>
#include <chrono>

#include "base/DateTime.h"
#include "base/Paths.h"
#include "base/Strings.h"
#include "catalog/DescriptorReader.h"
#include "db/Ast.h"
#include "db/Database.h"
#include "search/FormVariables.h"
#include "server/ResultPage.h"
#include "settings/CommonFunctions.h"
#include "settings/Config.h"
#include "settings/Settings.h"

namespace zyl::server {

namespace {

// What one statement of a browser's search may cost. The server answers one request at a time,
// so a condition that asks for endless work must be cut off well before browsers give up.
const db::WorkBudget kServerBudget{std::chrono::seconds(10), 64u << 20};

}  // namespace

DocumentServer::DocumentServer(base::MessageSink messages)
    : random_(static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count())),
      recentList_(settings::ConfigIniPath()) {
  // The server searches for browsers; the recent lists of the desktop stay as they are.
  session_.updateRecentLists = false;
  session_.onMessage = std::move(messages);
  session_.budget = kServerBudget;
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

ServerReply DocumentServer::FindFile(const Request& request, const ServerEndpoint& endpoint) {
  const std::string name = GetQueryVar(request, "indexname");
  std::vector<search::IndexEntry> selected;
  for (const search::IndexEntry& index : search::RecentIndexes())
    if (index.title == name) selected.push_back(index);

  search::FillFormFromVariables(request.vars.value_or(QueryVars{}), form_);
  // What the search button does before it searches. A query-language request searches with its
  // condition as typed; there is no query builder to open here.
  form_.searchText = search::CleanSearchBox(form_.searchText, form_.searchType);
  const std::string templateText = settings::ReadTextFile(settings::Config().HtmlTemplate);
  if (!session_.RunSearch(form_, selected, base::LocalParts(base::Now())) &&
      !session_.LastError().empty()) {
    // A refused condition (a mistake, or more work than a search may do) is told on the page,
    // where the browser's user can see it, instead of an empty list.
    return {"200", "", BuildErrorPage(templateText, session_.LastError())};
  }

  std::uniform_int_distribution<int> session(1, 1000);
  const std::string page = BuildResultPage(
      templateText, session_.Results(), GetQueryVar(request, "content"),
      [&](const search::ResultRow& hit) {
        return DocumentLink(endpoint.address, endpoint.port, hit.location, name, session(random_));
      });
  return {"200", "", page};
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

ReplyPlan DocumentServer::GetFile(const Request& request) {
  const std::string location = GetQueryVar(request, "location");
  const std::string name = GetQueryVar(request, "indexname");
  if (!IsIndexedLocation(location, DatabaseOfIndex(name))) return {BuildReply({"403", "", ""}), ""};
  ReplyPlan plan{ReplyHead200(MimeTypeOf(location, settings::Config().Mime)), ""};
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

}  // namespace zyl::server
