// The update engine. Membership tests use hash sets instead of scanning lists; the rows deleted,
// changed and added are exactly those the scans would give.
#include "indexer/IndexUpdate.h"

#include <algorithm>
#include <iterator>
#include <optional>
#include <thread>
#include <unordered_set>

#include "base/Messages.h"
#include "base/OrderedPipeline.h"
#include "base/Paths.h"
#include "base/Strings.h"
#include "catalog/DatabaseSink.h"
#include "catalog/Descriptor.h"
#include "catalog/DescriptorReader.h"
#include "catalog/UpgradeIndex.h"
#include "db/Ast.h"
#include "db/Database.h"
#include "db/RowReader.h"
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
#include "indexer/WebBuild.h"
#include "settings/CommonFunctions.h"
#include "settings/LangKeys.h"
#include "settings/Settings.h"

namespace zyl::indexer {

namespace {
using settings::LangString;
constexpr std::string_view kBreak = "\r\n";

// The rows of files: not the mailbox messages, which are read again whole, nor archive members.
// Maildir messages are files of their own and are checked as files are.
const std::string kPlainRows =
    "(left(type,4)<>'mail' OR type='maildir') AND left(location,4)<>'arc:'";

std::string Quoted(std::string_view text) {
  return "'" + base::Replace(text, "'", "''") + "'";
}

class Update {
 public:
  Update(const std::string& descriptor, Host& host, const UpdateOptions& options)
      : descriptor_(descriptor), host_(host), options_(options) {}
  void RunLocal();

  std::string dbname;
  std::string masks;

 private:
  void Log(std::string_view text) { host_.AddLogText(text); }
  void Line(std::string_view text) { Log(std::string(text) + std::string(kBreak)); }
  void LoadIndexFolders();
  void FindIndexFiles();
  void RemoveMissingFiles();
  void UpdateModifiedFiles();
  void IndexNewFiles();
  void UpdateMailboxes();
  void UpdateArchives();
  void UpdateArchiveMember(const std::string& member, const std::string& location);
  void RemoveMissingArchiveMembers(const std::unordered_set<std::string>& seen,
                                   const std::unordered_set<std::string>& unreadArchives);

  const std::string& descriptor_;
  Host& host_;
  const UpdateOptions options_;
  std::vector<catalog::IndexFolderEntry> folders_;
  std::vector<std::string> found_;  // 1-based, entry 0 empty
  std::unordered_set<std::string> foundSet_;
  std::unordered_set<std::string> indexed_;
  // Stored times of the rows that survive the missing-file check, in database order: read in the
  // same pass, so that the modified-file check need not scan the table again.
  std::vector<std::pair<std::string, std::string>> kept_;
  std::unique_ptr<db::Database> db_;
  // The row sink of the archive pass, open from its first new member to its end.
  std::optional<catalog::DatabaseSink> archiveSink_;
};

// Folders of the descriptor that name a folder. A line such as ",0" leaves an empty path, which
// the file finder would take as the working folder of the process: that folder was never chosen
// for the index, so the line is logged and left out (by the archive pass too).
std::vector<catalog::IndexFolderEntry> ChosenFolders(std::string_view descriptor,
                                                     std::size_t* skipped = nullptr) {
  std::vector<catalog::IndexFolderEntry> folders = catalog::ReadFolders(descriptor);
  const std::size_t n =
      std::erase_if(folders, [](const catalog::IndexFolderEntry& f) { return f.path.empty(); });
  if (skipped) *skipped = n;
  return folders;
}

void Update::LoadIndexFolders() {
  std::size_t skipped = 0;
  folders_ = ChosenFolders(descriptor_, &skipped);
  for (std::size_t i = 0; i < skipped; ++i) Line(LangString(settings::kUpdateEmptyFolderSkipped));
}

void Update::FindIndexFiles() {
  Log(LangString(settings::kUpdateSearchingFiles));
  found_.assign(1, "");
  FilesRetClass finder;
  finder.onYield = [this] { host_.Yield(); };
  finder.onMessage = host_.Messages();
  std::vector<std::string> files = CollectFiles(folders_, masks, finder);
  if (catalog::ReadIndexDefinition(descriptor_).mailMaildir)
    AppendMaildirMessages(files, folders_, [this] { host_.Yield(); });
  found_.insert(found_.end(), files.begin(), files.end());
  foundSet_.clear();
  foundSet_.insert(found_.begin() + 1, found_.end());
  Line(LangString(settings::kUpdateFound) + " " +
       base::StrNum(static_cast<std::int64_t>(found_.size() - 1)) + ".");
  host_.Yield();
}

void Update::RemoveMissingFiles() {
  // One forward pass finds the rows of vanished files; they are then deleted by location, which
  // removes exactly the rows the pass named (rows of one location share their fate).
  // Read in whatever order the index gives (it holds every column needed), then put back into
  // database order, which the log and the later steps follow.
  struct Row {
    std::int64_t rowid;
    std::string location;
    std::string modified;
  };
  std::vector<Row> rows;
  {
    db::RowReader reader(
        *db_,
        std::string("SELECT location, modified FROM ") + db::kTableName + " WHERE " + kPlainRows,
        db::RowReader::Order::kAny);
    while (reader.Next())
      rows.push_back({reader.RowId(), reader.Field(0).AsText(), reader.Field(1).AsText()});
  }
  std::sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) { return a.rowid < b.rowid; });
  std::vector<std::string> missing;
  indexed_.clear();
  kept_.clear();
  for (Row& row : rows) {
    if (!foundSet_.count(row.location)) {
      missing.push_back(row.location);
    } else {
      kept_.emplace_back(row.location, std::move(row.modified));
    }
    indexed_.insert(std::move(row.location));
  }
  Line(LangString(settings::kUpdateCheckingLinks));
  if (!missing.empty()) {
    db::Transaction tx(*db_);
    std::unordered_set<std::string> deleted;
    for (const std::string& location : missing) {
      Line(LangString(settings::kUpdateFile) + " " + location + " " +
           LangString(settings::kUpdateRemovingLink));
      if (deleted.insert(location).second)
        db_->Execute(std::string("DELETE * FROM ") + db::kTableName +
                     " WHERE location=" + Quoted(location) + " AND " + kPlainRows);
    }
    tx.Commit();
  }
  host_.Yield();
}

void Update::UpdateModifiedFiles() {
  Line(LangString(settings::kUpdateCheckingModified));
  // The stored times are compared in one pass without reading the stored texts; only the rows
  // of changed files are then opened with their content.
  std::vector<std::string> changed;
  {
    std::unordered_set<std::string> seen;
    for (const auto& [location, stored] : kept_) {
      const std::string current = base::FileModifiedText(location).value_or("");
      if (stored != current && seen.insert(location).second) changed.push_back(location);
    }
    kept_.clear();
  }
  // The changed rows are written in groups, as a build writes: a transaction per row would
  // also give the substring index a segment per row to write and merge.
  std::optional<db::Transaction> group;
  std::size_t inGroup = 0;
  for (const std::string& location : changed) {
    if (group && inGroup >= options_.commitEvery) {
      group->Commit();
      group.reset();
      inGroup = 0;
    }
    if (!group) group.emplace(*db_);
    db::Recordset rs = db_->OpenRecordset(std::string("SELECT content, modified, location FROM ") +
                                          db::kTableName + " WHERE " + kPlainRows +
                                          " AND location=" + Quoted(location));
    const std::string current = base::FileModifiedText(location).value_or("");
    while (!rs.Eof()) {
      if (rs.Field(1).AsText() != current) {
        Log(LangString(settings::kUpdateFile) + " " + location + " " +
            LangString(settings::kUpdateWasChanged));
        const extract::FileInfo info = extract::GetFileInfo(location, options_.extract);
        rs.Edit();
        rs.SetField(0, info.content);
        rs.SetField(1, info.modified);
        rs.Update();
        Line(LangString(settings::kUpdateFileUpdated));
        ++inGroup;
      }
      rs.MoveNext();
    }
    host_.Yield();
  }
  if (group) group->Commit();
}

void Update::IndexNewFiles() {
  Line(LangString(settings::kUpdateIndexingNew));
  std::vector<std::string> fresh;
  for (std::size_t i = 1; i < found_.size(); ++i)
    if (!indexed_.count(found_[i])) fresh.push_back(found_[i]);
  if (!fresh.empty()) {
    catalog::DatabaseSink sink(dbname, options_.commitEvery);
    sink.onMessage = host_.Messages();
    // Looked up once: every lookup reads the language file again.
    const std::string adding = LangString(settings::kUpdateAddingFile);
    const std::string ioError = LangString(settings::kUpdateIoError);
    const std::string success = LangString(settings::kUpdateSuccess);
    ExtractInOrder(fresh, options_.extract, options_.workers,
                   [&](std::size_t i, extract::FileInfo&& info) {
                     Log(adding + " " + fresh[i] + "...");
                     // A row the database refused (reported by SaveContentInfo) is a failure, not a
                     // file added.
                     const bool stored = !info.failed() && catalog::SaveContentInfo(sink, info);
                     Line(stored ? success : ioError);
                     host_.Yield();
                     return true;
                   });
  }
  extract::ReleaseAutomationServers();
}

void Update::UpdateMailboxes() {
  const catalog::IndexDefinition mailFlags = catalog::ReadIndexDefinition(descriptor_);
  for (const MailboxKind& kind : MailboxKinds()) {
    if (!(mailFlags.*kind.flag)) continue;
    db_->Execute(std::string("DELETE * FROM ") + db::kTableName + " WHERE type='" + kind.type +
                 "'");
    {
      catalog::DatabaseSink sink(dbname, options_.commitEvery);
      sink.onMessage = host_.Messages();
      kind.read(sink, options_.extract.mail);
    }
    Line(kind.updateLine);
  }
}

void Update::UpdateArchiveMember(const std::string& member, const std::string& location) {
  // Once the pass's row sink is open, every read and write of the pass goes through its
  // connection: a second connection could not write while the sink's group is open.
  db::Database& database = archiveSink_ ? archiveSink_->database() : *db_;
  db::Recordset rs = database.OpenRecordset(std::string("SELECT content,modified, location FROM ") +
                                            db::kTableName + " WHERE location=" + Quoted(location));
  if (!(rs.Bof() && rs.Eof())) {
    const std::string current = base::FileModifiedText(member).value_or("");
    if (rs.Field(1).AsText() != current) {
      const extract::FileInfo info = extract::GetFileInfo(member, options_.extract);
      Line("Обновляем " + location);
      rs.Edit();
      rs.SetField(0, info.content);
      rs.SetField(1, info.modified);
      rs.Update();
    }
    return;
  }
  Log("Добавляем " + location + "...");
  extract::FileInfo info = extract::GetFileInfo(member, options_.extract);
  info.location = location;
  if (info.failed()) {
    Line(LangString(settings::kUpdateIoError));
    return;
  }
  if (!archiveSink_) {
    // One sink for the whole pass, opened at the first new member.
    archiveSink_.emplace(dbname, options_.commitEvery);
    archiveSink_->onMessage = host_.Messages();
  }
  Line(LangString(catalog::SaveContentInfo(*archiveSink_, info) ? settings::kUpdateSuccess
                                                                : settings::kUpdateIoError));
}

void Update::RemoveMissingArchiveMembers(const std::unordered_set<std::string>& seen,
                                         const std::unordered_set<std::string>& unreadArchives) {
  db::Recordset rs = db_->OpenRecordset(std::string("SELECT location FROM ") + db::kTableName +
                                        " WHERE left(location,4)='arc:'");
  if (rs.Bof() && rs.Eof()) return;
  Line(LangString(settings::kUpdateCheckingLinks));
  db::Transaction tx(*db_);
  while (!rs.Eof()) {
    const std::string location = rs.Field(0).AsText();
    const auto parts = extract::SplitArchiveLocation(location);
    const bool unread = parts && unreadArchives.count(parts->first);
    if (!seen.count(location) && !unread) {
      Line(LangString(settings::kUpdateFile) + " " + location + " " +
           LangString(settings::kUpdateRemovingLink));
      rs.Delete();
    }
    rs.MoveNext();
  }
  tx.Commit();
}

void Update::UpdateArchives() {
  // Archives are searched in every folder and all folders below it, whatever the folder's flag.
  std::vector<std::string> archives;
  FilesRetClass finder;
  finder.onMessage = host_.Messages();
  for (const catalog::IndexFolderEntry& folder : ChosenFolders(descriptor_)) {
    const FilesRetClass::List list =
        finder.GetSubFilesMultiExt(std::string(extract::kArchiveMasks), folder.path);
    // A zipped book ("name.fb2.zip") matches "*.zip" but is a document of its own.
    std::copy_if(list.begin() + 1, list.end(), std::back_inserter(archives),
                 [](const std::string& f) { return extract::IsArchiveExtension(f); });
  }
  std::unordered_set<std::string> seen;
  ArchiveRun run([this](std::string_view line) { Line(line); }, options_.extract.archives);
  run.onYield = [this] { host_.Yield(); };
  std::unordered_set<std::string> unreadArchives;
  run.onMessage = host_.Messages();
  for (const std::string& archive : archives) {
    try {
      run.Process(archive, [&](const std::string& member, const std::string& location) {
        UpdateArchiveMember(member, location);
        seen.insert(location);
      });
      // An archive that could not be unpacked this time (a crash, the time limit) tells
      // nothing about its members: their rows stay as they are.
      if (run.lastOutcome().failed) unreadArchives.insert(archive);
    } catch (const std::exception& e) {
      // A failing archive does not end the pass; its members count as not seen.
      Line(archive + ": " + e.what());
    }
  }
  if (archiveSink_) archiveSink_->Commit();  // a failure here ends the update with its error
  archiveSink_.reset();
  RemoveMissingArchiveMembers(seen, unreadArchives);
}

void Update::RunLocal() {
  db_ = std::make_unique<db::Database>(db::Database::Open(dbname));
  LoadIndexFolders();
  FindIndexFiles();
  RemoveMissingFiles();
  UpdateModifiedFiles();
  IndexNewFiles();
  UpdateMailboxes();
  if (catalog::ReadGeneral(descriptor_, "Archive", "0") == "1") UpdateArchives();
  extract::ReleaseAutomationServers();

  RecountIndexTotals(*db_, descriptor_);
  Line(LangString(settings::kUpdateIndexFinished));
  Log(std::string(kBreak) + std::string(48, '_'));
}

}  // namespace

bool UpdateIndex(const std::string& descriptorPath, Host& host, const UpdateOptions& options) {
  if (!base::FileExists(descriptorPath)) {
    host.ShowMessage({"Файл " + descriptorPath + " не существует"});
    return false;
  }
  if (catalog::IsUnfinishedIndex(descriptorPath)) {
    // Nothing to update: the build of this index was stopped before it wrote the descriptor.
    const std::string message = catalog::UnfinishedIndexMessage(descriptorPath);
    host.AddLogText(message + std::string(kBreak));
    host.ShowMessage({message});
    return false;
  }
  host.AddLogText(LangString(settings::kUpdateOpeningIndex) + " " + std::string(kBreak) +
                  descriptorPath + "... ");
  catalog::UpgradeIndex(descriptorPath, host.Messages(),
                        [&host](std::string_view line) { host.AddLogText(line); });
  // The index's own PDF mode: changed PDFs of a full-text index are re-read in full.
  UpdateOptions own = options;
  own.extract.pdfFullText = catalog::ReadGeneral(descriptorPath, "PDF_Mode") == "Full";
  Update update(descriptorPath, host, own);
  update.dbname = catalog::ReadGeneral(descriptorPath, "dbname");
  update.masks = catalog::ReadMaskList(descriptorPath);
  host.AddLogText(LangString(settings::kUpdateDescriptorRead) + std::string(kBreak));
  const std::string type = catalog::ReadGeneral(descriptorPath, "IndexType", "local");
  try {
    if (type == "local") update.RunLocal();
    if (type == "WebFolder") ReindexWeb(descriptorPath, update.dbname, host, options.web);
  } catch (const std::exception& e) {
    // A locked or missing database, an unwritable descriptor: this index ends here.
    host.AddLogText(std::string(kBreak) + e.what() + std::string(kBreak));
    extract::ReleaseAutomationServers();
    return false;
  }
  return true;
}

namespace {
class LogHost : public Host {
 public:
  explicit LogHost(Host* progress) : progress_(progress) {}
  void AddLogText(std::string_view text) override {
    log += text;
    if (progress_) progress_->AddLogText(text);
  }
  void ShowMessage(const base::Message& message) override {
    base::Deliver(progress_ ? progress_->Messages() : base::MessageSink{}, message);
  }
  void Yield() override {
    if (progress_) progress_->Yield();
  }
  std::string log;

 private:
  Host* progress_;
};
}  // namespace

UpdateOptions UpdateOptions::FromSettings(const settings::Settings& s) {
  UpdateOptions o;
  o.workers = s.Workers > 0 ? static_cast<unsigned>(s.Workers) : 0;
  o.extract = extract::ExtractOptions::FromSettings(s);
  o.web = FetchLimits::Of(s);
  return o;
}

std::string RunBatchUpdate(const std::string& descriptorPath, const std::string& logFile,
                           Host* progress, bool* updated, const UpdateOptions& options) {
  LogHost host(progress);
  bool done = false;
  if (!base::FileExists(descriptorPath)) {
    host.AddLogText("Файл " + descriptorPath + " не существует.");
  } else {
    done = UpdateIndex(descriptorPath, host, options);
  }
  if (!logFile.empty()) settings::SaveTextFile(logFile, host.log);
  if (updated) *updated = done;
  return host.log;
}

}  // namespace zyl::indexer
