// The local index build. Files are extracted on several threads, but rows are appended, logged
// and counted in file-list order on the calling thread, so the database and the log are row for
// row what a one-thread build gives.
#include "indexer/LocalBuild.h"

#include <chrono>
#include <filesystem>
#include <thread>

#include "base/OrderedPipeline.h"
#include "base/Strings.h"
#include "catalog/DatabaseSink.h"
#include "catalog/Descriptor.h"
#include "catalog/IndexDatabase.h"
#include "catalog/IndexList.h"
#include "extract/DocumentTypes.h"
#include "extract/GetFileInfo.h"
#include "extract/archive/Archive.h"
#include "extract/mail/Mail.h"
#include "extract/office/OfficeReaders.h"
#include "indexer/ArchiveStep.h"
#include "indexer/FilesRetClass.h"
#include "indexer/IndexStatistics.h"
#include "indexer/IndexSteps.h"
#include "indexer/MaildirCollection.h"
#include "settings/CommonFunctions.h"
#include "settings/Config.h"
#include "settings/LangKeys.h"
#include "settings/Settings.h"

namespace zyl::indexer {

namespace {
using settings::LangString;
constexpr std::string_view kBreak = "\r\n";
constexpr std::string_view kStopTitle = "Создание индекса";

BuildOptions WithPdfMode(BuildOptions options, bool pdfFull) {
  options.extract.pdfFullText = pdfFull;
  return options;
}

// One build run: the state the steps share.
class Build {
 public:
  // The per-file texts are looked up once: every lookup reads the language file again.
  Build(const catalog::IndexDefinition& def, Host& host, const BuildOptions& options)
      : def_(def),
        host_(host),
        options_(WithPdfMode(options, def.pdfFull)),
        success_(LangString(settings::kBuildSuccess) + std::string(kBreak)),
        passwordRequired_(LangString(settings::kBuildPasswordRequired) + std::string(kBreak)),
        ioError_(LangString(settings::kBuildIoError) + std::string(kBreak)) {}

  BuildResult Run();

 private:
  void Log(std::string_view text) { host_.AddLogText(text); }
  // Stores one extracted file (or counts its failure) under its shown name.
  void Store(const std::string& file, const std::string& shownName, extract::FileInfo&& info,
             const std::string& location);
  void ParseArcFile(const std::string& archive);
  void ParseMailBox();
  bool ConfirmedStop();
  // Ends a build that failed once files were being read: logs the error and lets the readers'
  // helpers go.
  BuildResult FailedWhileProcessing(const std::exception& e) {
    result_.outcome = BuildResult::kFailed;
    result_.error = e.what();
    Log(std::string(kBreak) + e.what() + std::string(kBreak));
    extract::ReleaseAutomationServers();
    return result_;
  }

  const catalog::IndexDefinition& def_;
  Host& host_;
  const BuildOptions options_;
  BuildResult result_;
  std::unique_ptr<catalog::DatabaseSink> writer_;
  const std::string success_, passwordRequired_, ioError_;
};

void Build::Store(const std::string& file, const std::string& shownName, extract::FileInfo&& info,
                  const std::string& location) {
  Log(shownName + "...");
  if (!info.failed()) {
    if (!location.empty()) info.location = location;
    const std::optional<std::string> refused = catalog::StoreContentInfo(*writer_, info);
    if (refused) {
      // The file is not in the index: that is an error of the build, whatever the reason.
      ++result_.failures;
      Log(" не сохранено: база данных не приняла запись (" + *refused + ")." + std::string(kBreak));
      return;
    }
    Log(success_);
    if (info.textCut)
      Log("Текст документа обрезан: сохранены первые " + std::to_string(info.content.size()) +
          " байт." + std::string(kBreak));
  } else {
    ++result_.failures;
    // Only an encrypted document needs a password; a damaged file, or one that is not what its
    // name says, is a read failure.
    Log(info.passwordRequired ? passwordRequired_ : ioError_);
  }
}

void Build::ParseArcFile(const std::string& archive) {
  ArchiveRun run([this](std::string_view line) { Log(std::string(line) + std::string(kBreak)); },
                 options_.extract.archives);
  run.onYield = [this] { host_.Yield(); };
  run.onMessage = host_.Messages();
  run.Process(archive, [this](const std::string& member, const std::string& location) {
    Store(member, location, extract::GetFileInfo(member, options_.extract), location);
  });
  // An archive whose unpacking failed, or that held members which could not be extracted, is
  // an error of the build; its log line has said which.
  if (!run.lastOutcome().complete()) ++result_.failures;
}

void Build::ParseMailBox() {
  for (const MailboxKind& kind : MailboxKinds()) {
    if (!(def_.*kind.flag)) continue;
    Log(std::string(kind.buildName) + " mailbox...");
    kind.read(*writer_, options_.extract.mail);
    Log("done" + std::string(kBreak));
  }
}

bool Build::ConfirmedStop() {
  if (!host_.StopRequested()) return false;
  if (!host_.ConfirmStop(LangString(settings::kBuildConfirmStop), kStopTitle)) return false;
  extract::ReleaseAutomationServers();
  writer_.reset();  // closes the database before it is deleted
  std::error_code ec;
  std::filesystem::remove(def_.dbname, ec);
  std::filesystem::remove(def_.dbname + "-wal", ec);
  std::filesystem::remove(def_.dbname + "-shm", ec);
  std::filesystem::remove(def_.descriptorPath, ec);
  return true;
}

BuildResult Build::Run() {
  const catalog::IndexBuildLock building(def_.descriptorPath);
  const auto started = std::chrono::steady_clock::now();
  host_.SetStage(Stage::kSearchingFiles);
  host_.SetCurrentItem(ItemKind::kFolder, "");
  Log(LangString(settings::kBuildSearchingFiles) + "..." + std::string(kBreak));

  bool stopped = false;
  const std::vector<std::string> files = CollectIndexFiles(def_, host_, stopped);
  if (stopped || host_.StopRequested()) {
    std::error_code ec;
    std::filesystem::remove(def_.descriptorPath, ec);
    result_.outcome = BuildResult::kStoppedWhileSearching;
    return result_;
  }
  const std::size_t n = files.size();

  try {
    catalog::CreateIndexDatabase(def_.dbname);
    Log(LangString(settings::kBuildFound) + " " + base::StrNum(static_cast<std::int64_t>(n)) + "." +
        std::string(kBreak) + LangString(settings::kBuildConnecting));
    writer_ = std::make_unique<catalog::DatabaseSink>(def_.dbname, options_.commitEvery);
    writer_->DeferSyncing();
    writer_->onMessage = host_.Messages();
  } catch (const std::exception& e) {
    result_.outcome = BuildResult::kFailed;
    result_.error = e.what();
    Log(std::string(kBreak) + e.what() + std::string(kBreak));
    return result_;
  }
  Log(" " + LangString(settings::kBuildSuccess) + std::string(kBreak) +
      LangString(settings::kBuildProcessingFiles) + ":" + std::string(kBreak));

  host_.SetStage(Stage::kProcessingFiles);

  bool stopConfirmed = false;
  try {
    // Archives are unpacked on this thread when their turn comes; every other file is read
    // ahead by the workers.
    ExtractInOrder(
        files, options_.extract, options_.workers,
        [&](std::size_t i, extract::FileInfo&& info) {
          host_.Yield();
          const std::string& f = files[i];
          host_.SetCurrentItem(ItemKind::kFile, f);
          if (extract::IsArchiveExtension(f)) {
            ParseArcFile(f);
          } else {
            Store(f, f, std::move(info), "");
          }
          const auto done = static_cast<std::int64_t>(i + 1);
          host_.SetCounts(done, static_cast<std::int64_t>(n));
          result_.filesCount = writer_->RowCount();
          host_.Yield();
          if (ConfirmedStop()) {
            stopConfirmed = true;
            return false;
          }
          return true;
        },
        [](const std::string& f) { return extract::IsArchiveExtension(f); });
  } catch (const std::exception& e) {
    return FailedWhileProcessing(e);
  }
  if (stopConfirmed) {
    result_.outcome = BuildResult::kStoppedWhileProcessing;
    return result_;
  }

  ParseMailBox();
  try {
    writer_->Commit();
    writer_->SyncToDisk();
    // The totals are counted from the table as the update counts them.
    const IndexTotals totals = CountIndexTotals(writer_->database());
    result_.filesCount = totals.filesCount;
    result_.filesSize = totals.filesSize;
  } catch (const std::exception& e) {
    return FailedWhileProcessing(e);
  }
  writer_.reset();

  try {
    catalog::AddToRecentIndexList(def_.descriptorPath);
  } catch (const std::exception& e) {
    host_.ShowMessage({e.what()});
  }

  catalog::IndexDefinition final = def_;
  final.FilesCount = result_.filesCount;
  final.FilesSize = result_.filesSize;
  try {
    catalog::WriteLocalDescriptor(final);
  } catch (const std::exception& e) {
    result_.outcome = BuildResult::kFailed;
    result_.error = e.what();
    Log(e.what() + std::string(kBreak));
    extract::ReleaseAutomationServers();
    return result_;
  }
  host_.Yield();

  const auto seconds =
      std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - started)
          .count();
  Log(LangString(settings::kBuildWorkFinished) + std::string(kBreak) +
      LangString(settings::kBuildFilesProcessed) + ": " + base::StrNum(result_.filesCount) + "." +
      std::string(kBreak));
  Log(LangString(settings::kBuildErrors) + ": " + base::StrNum(result_.failures) + "." +
      std::string(kBreak));
  Log(LangString(settings::kBuildIndexFile) + ": " + def_.descriptorPath + std::string(kBreak));
  Log(LangString(settings::kBuildTime) + ": " + settings::FormatElapsed(seconds) +
      std::string(kBreak));
  extract::ReleaseAutomationServers();
  host_.SetStage(Stage::kReady);
  return result_;
}
}  // namespace

std::string BuildMaskList(const catalog::IndexDefinition& def) {
  return extract::BuildMaskList(
      [&def](std::string_view code) { return def.types.count(std::string(code)) != 0; },
      def.archive, def.UserFiles);
}

std::vector<std::string> CollectIndexFiles(const catalog::IndexDefinition& def, Host& host,
                                           bool& stopped) {
  FilesRetClass finder;
  finder.onYield = [&host] { host.Yield(); };
  finder.onMessage = host.Messages();
  // Once a stop is confirmed, the folders a walk still reports while it unwinds must not ask
  // again.
  const auto confirmedStop = [&] {
    if (stopped || !host.StopRequested()) return stopped;
    if (host.ConfirmStop(settings::LangString(settings::kBuildConfirmStop), kStopTitle)) {
      finder.CancelSearch = true;
      stopped = true;
      extract::ReleaseAutomationServers();
    }
    return stopped;
  };
  finder.onFolderProceed = [&](const std::string& folder) {
    host.SetCurrentItem(ItemKind::kFolder, folder);
    confirmedStop();
  };
  std::vector<std::string> files =
      CollectFiles(def.folders, BuildMaskList(def), finder, [&stopped] { return stopped; });
  if (def.mailMaildir && !stopped)
    AppendMaildirMessages(
        files, def.folders, [&host] { host.Yield(); }, confirmedStop);
  return files;
}

BuildOptions BuildOptions::FromSettings(const settings::Settings& s) {
  BuildOptions o;
  o.workers = s.Workers > 0 ? static_cast<unsigned>(s.Workers) : 0;
  o.extract = extract::ExtractOptions::FromSettings(s);
  return o;
}

BuildResult StartIndex(const catalog::IndexDefinition& def, Host& host,
                       const BuildOptions& options) {
  Build build(def, host, options);
  return build.Run();
}

}  // namespace zyl::indexer
