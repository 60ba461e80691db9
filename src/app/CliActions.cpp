#include "app/CliActions.h"

#include <unistd.h>

#include <iostream>
#include <set>

#include "app/CliHost.h"
#include "base/Messages.h"
#include "base/Paths.h"
#include "base/Strings.h"
#include "catalog/Descriptor.h"
#include "catalog/DescriptorReader.h"
#include "catalog/NewIndex.h"
#include "extract/DocumentTypes.h"
#include "indexer/IndexChoices.h"
#include "indexer/IndexUpdate.h"
#include "indexer/LocalBuild.h"
#include "indexer/WebBuild.h"
#include "search/FormVariables.h"
#include "search/ResultContent.h"
#include "search/SearchSession.h"
#include "server/ConnectionLayer.h"
#include "server/DocumentServer.h"
#include "settings/Settings.h"

namespace zyl::app {

namespace {

// Messages of the engines go to stderr: the command line never asks questions.
base::MessageSink StderrMessages(std::ostream& err) {
  return [&err](const base::Message& m) { WriteMessage(err, m); };
}

bool StderrIsTerminal() {
  return ::isatty(STDERR_FILENO) == 1;
}

}  // namespace

int RunUpdateAction(const StartContext& ctx) {
  InstallStopSignals();
  const std::string index = ctx.args.GetArgumentValue("index");
  CliHost host(ctx.out, ctx.err, StderrIsTerminal());
  bool updated = false;
  indexer::RunBatchUpdate(index, ctx.args.GetArgumentValue("log"), &host, &updated);
  ctx.out << "\n";
  if (updated) return 0;
  ctx.err << "zyl: the update of " << index << " failed (see the log)\n";
  return 1;
}

int RunBuildAction(const StartContext& ctx) {
  const auto& args = ctx.args;
  catalog::IndexDefinition def;

  // The types first: an unknown code is refused before anything is created.
  std::set<std::string> codes;
  for (const std::string& code : base::Split(args.GetArgumentValue("types"), ",")) {
    const std::string c = base::Trim(code);
    if (c.empty()) continue;
    if (!extract::FindDocumentType(c) || c == "users") {
      ctx.err << "zyl: unknown document type: " << c << "\n";
      return 1;
    }
    codes.insert(c);
  }
  indexer::SetTypeChoices(def, std::move(codes));
  def.archive = args.GetArgumentValue("archives") == "1";
  def.UserFiles = extract::NormalizeUserMasks(args.GetArgumentValue("usermasks"));
  def.folders = catalog::NormalizeChosenFolders(base::Split(args.GetArgumentValue("folders"), ";"));
  for (const catalog::IndexFolderEntry& f : def.folders) {
    if (!base::IsFolder(f.path)) {
      ctx.err << "zyl: no such folder: " << f.path << "\n";
      return 1;
    }
  }
  if (def.types.empty() && def.UserFiles.empty() && !def.archive) {
    ctx.err << "zyl: choose at least one document type (types=txt,html,...)\n";
    return 1;
  }

  const std::string& indexFolder = settings::Config().IndexFolder;
  base::MakeFolders(indexFolder);
  const std::string refused = catalog::DefineNewIndex(
      args.GetArgumentValue("index"), args.GetArgumentValue("desc"), indexFolder, def);
  if (!refused.empty()) {
    ctx.err << "zyl: " << refused << "\n";
    return 1;
  }
  InstallStopSignals();
  CliHost host(ctx.out, ctx.err, StderrIsTerminal());
  const indexer::BuildResult result = indexer::StartIndex(def, host);
  ctx.out << "\n";
  switch (result.outcome) {
    case indexer::BuildResult::kFinished:
      return 0;
    case indexer::BuildResult::kFailed:
      ctx.err << "zyl: the build failed: " << result.error << "\n";
      return 1;
    default:
      ctx.err << "zyl: the build was stopped\n";
      return 1;
  }
}

int RunWebBuildAction(const StartContext& ctx) {
  const auto& args = ctx.args;
  catalog::IndexDefinition def;
  def.startUrl = args.GetArgumentValue("url");
  if (def.startUrl.empty()) {
    ctx.err << "zyl: give the start address with url=...\n";
    return 1;
  }
  def.depth = static_cast<std::int32_t>(base::ValInt(args.GetArgumentValue("depth")));
  const std::string& indexFolder = settings::Config().IndexFolder;
  base::MakeFolders(indexFolder);
  const std::string refused = catalog::DefineNewIndex(
      args.GetArgumentValue("index"), args.GetArgumentValue("desc"), indexFolder, def);
  if (!refused.empty()) {
    ctx.err << "zyl: " << refused << "\n";
    return 1;
  }
  InstallStopSignals();
  CliHost host(ctx.out, ctx.err, StderrIsTerminal());
  const indexer::BuildResult result = indexer::StartWebIndex(def, host);
  ctx.out << "\n";
  if (result.outcome == indexer::BuildResult::kFinished) return 0;
  ctx.err << "zyl: the web build "
          << (result.error.empty() ? "was stopped" : "failed: " + result.error) << "\n";
  return 1;
}

std::string TsvCell(std::string_view text) {
  std::string s(text);
  for (char& c : s)
    if (c == '\t' || c == '\r' || c == '\n') c = ' ';
  return s;
}

std::string JsonString(std::string_view text) {
  std::string out = "\"";
  for (const char c : text) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", c);
          out += buf;
        } else {
          out += c;
        }
    }
  }
  return out + "\"";
}

int RunSearchAction(const StartContext& ctx) {
  // Notices (an index upgraded on the way) are shown but are no failure: the status says only
  // whether the statement was refused or an index could not be read.
  const base::MessageSink messages = StderrMessages(ctx.err);
  const auto& args = ctx.args;

  // The indexes: by descriptor path, or by title from the recent index list.
  std::vector<search::IndexEntry> selected;
  const std::string path = args.GetArgumentValue("index");
  if (!path.empty()) {
    if (!base::FileExists(path)) {
      ctx.err << "zyl: Файл " << path << " не существует\n";
      return 1;
    }
    selected.push_back({catalog::ReadGeneral(path, "title", path), path});
  }
  const auto recent = search::RecentIndexes();
  for (const std::string& title : base::Split(args.GetArgumentValue("indexname"), ";")) {
    if (title.empty()) continue;
    bool found = false;
    for (const search::IndexEntry& e : recent) {
      if (e.title == title) {
        selected.push_back(e);
        found = true;
      }
    }
    if (!found) {
      ctx.err << "zyl: no index titled " << title << " in the recent index list\n";
      return 1;
    }
  }
  if (selected.empty()) {
    ctx.err << "zyl: name an index with indexname=TITLE or index=FILE.zyl\n";
    return 1;
  }

  // The same variables as the server's "findfile", plus archiveonly.
  search::FormVariables vars;
  for (const auto& a : args.Arguments()) vars.emplace_back(a.name, a.value);
  search::SearchForm form;
  search::FillFormFromVariables(vars, form);
  form.archiveOnly = search::FormVariable(vars, "archiveonly") == "1";
  form.searchText = search::CleanSearchBox(form.searchText, form.searchType);

  search::SearchSession session;
  session.updateRecentLists = false;
  session.onMessage = messages;
  // A recent-list entry whose descriptor is gone is reported and skipped by the search.
  bool unreadable = false;
  for (const search::IndexEntry& e : selected)
    if (!base::FileExists(e.descriptorPath)) unreadable = true;
  const bool ok = session.RunSearch(form, selected, base::LocalParts(base::Now()));
  if (args.GetArgumentValue("showsql") == "1") ctx.out << session.LastSearchSql() << "\n";

  const std::string format = base::LCase(args.GetArgumentValue("format"));
  if (format == "json") {
    ctx.out << "[";
    bool first = true;
    search::ContentReader contents;
    for (const search::ResultRow& r : session.Results()) {
      ctx.out << (first ? "\n" : ",\n") << "{\"title\":" << JsonString(r.title)
              << ",\"author\":" << JsonString(r.author)
              << ",\"content\":" << JsonString(contents.Read(r))
              << ",\"location\":" << JsonString(r.location) << ",\"type\":" << JsonString(r.type)
              << ",\"modified\":" << JsonString(r.modified)
              << ",\"filesize\":" << (r.filesize == "n/a" ? std::string("null") : r.filesize)
              << "}";
      first = false;
    }
    ctx.out << (first ? "]\n" : "\n]\n");
  } else {
    for (const search::ResultRow& r : session.Results()) {
      ctx.out << TsvCell(r.title) << '\t' << TsvCell(r.author) << '\t' << TsvCell(r.location)
              << '\t' << TsvCell(r.type) << '\t' << TsvCell(r.modified) << '\t'
              << TsvCell(r.filesize) << '\n';
    }
  }
  return ok && !unreadable ? 0 : 1;
}

server::ServerOptions ServerOptionsFromArguments(const StartContext& ctx) {
  server::ServerOptions options;
  const settings::Settings& config = settings::Config();
  options.port = config.localport;
  const std::string port = ctx.args.GetArgumentValue("port");
  if (!port.empty()) options.port = static_cast<int>(base::ValInt(port));
  options.bindAddress = config.BindAddress;
  options.limits.maxConnections = config.MaxConnections;
  const std::string bind = ctx.args.GetArgumentValue("bind");
  if (!bind.empty()) options.bindAddress = bind;
  return options;
}

int RunServerAction(const StartContext& ctx) {
  server::ServerOptions options = ServerOptionsFromArguments(ctx);
  options.printLink = [&ctx](const std::string& link) {
    ctx.out << "ZYL document server: search page at " << link << std::endl;
  };
  server::DocumentServer handler(StderrMessages(ctx.err), settings::Config().SearchThreads);
  return server::RunDocumentServer(handler, options, ctx.err);
}

}  // namespace zyl::app
