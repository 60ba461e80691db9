#include "app/CliActions.h"

#include <unistd.h>

#include <iostream>
#include <set>

#include "app/CliHost.h"
#include "app/MessageLine.h"
#include "base/Messages.h"
#include "base/Paths.h"
#include "base/Strings.h"
#include "catalog/Descriptor.h"
#include "catalog/NewIndex.h"
#include "extract/DocumentTypes.h"
#include "indexer/IndexChoices.h"
#include "indexer/IndexUpdate.h"
#include "indexer/LocalBuild.h"
#include "indexer/WebBuild.h"
#include "server/ConnectionLayer.h"
#include "server/DocumentServer.h"
#include "settings/Settings.h"

namespace zyl::app {

namespace {

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
