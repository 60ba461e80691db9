#include "indexer/IndexSteps.h"

#include <unordered_set>

#include "base/OrderedPipeline.h"
#include "db/TrigramKeys.h"
#include "extract/GetFileInfo.h"
#include "extract/archive/Archive.h"
#include "extract/office/OfficeReaders.h"

namespace zyl::indexer {

std::vector<std::string> CollectFiles(const std::vector<catalog::IndexFolderEntry>& folders,
                                      const std::string& masks, FilesRetClass& finder,
                                      const std::function<bool()>& stopped) {
  std::vector<std::string> files;
  for (const catalog::IndexFolderEntry& folder : folders) {
    if (stopped && stopped()) break;
    const FilesRetClass::List found = folder.subfolders
                                          ? finder.GetSubFilesMultiExt(masks, folder.path)
                                          : finder.GetFilesMultiExt(masks, folder.path);
    files.insert(files.end(), found.begin() + 1, found.end());
  }
  // A zipped book ("name.fb2.zip") is found by its own mask and again by the archives' "*.zip";
  // it is one document, read once. Other files met twice stay twice.
  std::unordered_set<std::string> books;
  std::erase_if(files, [&books](const std::string& f) {
    return extract::ArchiveKindOf(f) != extract::ArchiveKind::None &&
           !extract::IsArchiveExtension(f) && !books.insert(f).second;
  });
  return files;
}

void ExtractInOrder(const std::vector<std::string>& files, const extract::ExtractOptions& options,
                    unsigned workers,
                    const std::function<bool(std::size_t, extract::FileInfo&&)>& consume,
                    const std::function<bool(const std::string&)>& skip) {
  extract::PrepareReaders();  // before the workers exist
  const unsigned threads = base::PipelineWorkers(workers);
  base::RunOrderedPipeline<extract::FileInfo>(
      files.size(), threads, base::PipelineDepth(threads),
      [&](std::size_t i) {
        if (skip && skip(files[i])) return extract::FileInfo{};
        extract::FileInfo info = extract::GetFileInfo(files[i], options);
        // Made here, on the extraction threads: the one thread that writes the rows is what a
        // build waits for.
        if (!info.failed()) info.trigramKeys = db::DistinctTrigramKeys(info.content);
        return info;
      },
      consume);
}

const std::vector<MailboxKind>& MailboxKinds() {
  static const std::vector<MailboxKind> kinds = {
      {&catalog::IndexDefinition::mailOutlookExpress, "mail_oe", extract::ReadOutlookExpressMail,
       "Outlook Express", "Обновление Outlook Express mailbox"},
      {&catalog::IndexDefinition::mailNetscape, "mail_moz", extract::ReadNetscapeMail,
       "Netscape Messenger", "Обновление NetscapeMessenger mailbox"},
  };
  return kinds;
}

}  // namespace zyl::indexer
