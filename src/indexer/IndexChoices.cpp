#include "indexer/IndexChoices.h"

#include "base/Paths.h"
#include "base/Strings.h"
#include "catalog/Descriptor.h"
#include "catalog/DescriptorReader.h"
#include "catalog/NewIndex.h"
#include "extract/DocumentTypes.h"
#include "settings/IniFile.h"

namespace zyl::indexer {

void AddChosenFolder(std::string& list, std::string_view folder) {
  if (folder.empty()) return;
  list += base::WithTrailingSlash(folder) + ";";
}

void RemoveChosenFolder(std::string& list, std::string_view folder) {
  const std::string gone = base::WithTrailingSlash(folder);
  std::string kept;
  for (const std::string& entry : ChosenFolders(list))
    if (entry != gone) kept += entry + ";";
  list = kept;
}

std::vector<std::string> ChosenFolders(std::string_view list) {
  std::vector<std::string> out;
  for (std::string& entry : base::Split(list, ";"))
    if (!entry.empty()) out.push_back(std::move(entry));
  return out;
}

void SetTypeChoices(catalog::IndexDefinition& def, std::set<std::string> codes) {
  def.pdfFull = codes.count("pdffull") != 0;
  def.pdfMin = codes.count("pdfmin") != 0 && !def.pdfFull;
  if (def.pdfFull) codes.erase("pdfmin");
  def.mailOutlookExpress = codes.count("mail_oe") != 0;
  def.mailNetscape = codes.count("mail_moz") != 0;
  def.types = std::move(codes);
  def.ext = extract::DescriptorMaskList(
      [&def](std::string_view code) { return def.types.count(std::string(code)) != 0; });
}

void CheckTypeCode(std::set<std::string>& checked, const std::string& code, bool on) {
  if (!on) {
    checked.erase(code);
    return;
  }
  checked.insert(code);
  if (code == "pdfmin") checked.erase("pdffull");
  if (code == "pdffull") checked.erase("pdfmin");
}

void ApplyPresetScheme(int scheme, std::set<std::string>& checked) {
  const std::vector<const extract::DocumentType*> all = extract::TypeListEntries();
  switch (scheme) {
    case 1:
      checked.clear();
      for (const extract::DocumentType* t : all) checked.insert(std::string(t->code));
      checked.erase("pdffull");
      break;
    case 2:
      checked.clear();
      break;
    case 3: {
      // Both PDF modes may end up checked here, as they may be after any inversion; the
      // descriptor then records the full text, which reads the headers as well.
      std::set<std::string> inverted;
      for (const extract::DocumentType* t : all)
        if (!checked.count(std::string(t->code))) inverted.insert(std::string(t->code));
      checked = std::move(inverted);
      break;
    }
    case 4:
      checked.insert({"mail_oe", "mail_moz"});
      break;
    case 5:
      checked.insert({"doc", "xls", "dot", "xlt"});
      break;
    default:
      break;
  }
}

std::set<std::string> CheckTypesOf(std::string_view maskList, std::string_view pdfMode,
                                   bool outlookExpress, bool netscape) {
  std::set<std::string> out;
  for (const extract::DocumentType* t : extract::TypeListEntries()) {
    if (t->code == "pdfmin" || t->code == "pdffull") continue;
    // A type is checked when its first mask is one of the list's, whole: "*.docx;" does not
    // check "doc". Types without masks (mailboxes) are never checked this way.
    const std::string_view first = t->mask.substr(0, t->mask.find(';'));
    if (!first.empty() && extract::MaskListHas(maskList, first)) out.insert(std::string(t->code));
  }
  if (extract::MaskListHas(maskList, "*.pdf")) out.insert(pdfMode == "Full" ? "pdffull" : "pdfmin");
  if (outlookExpress) out.insert("mail_oe");
  if (netscape) out.insert("mail_moz");
  return out;
}

std::string GetNewExt(const std::set<std::string>& checked) {
  std::string out;
  bool pdf = false;
  for (const extract::DocumentType* t : extract::TypeListEntries()) {
    if (!checked.count(std::string(t->code))) continue;
    const bool isPdf = t->code == "pdfmin" || t->code == "pdffull";
    if (isPdf && pdf) continue;  // both modes checked: one mask
    pdf = pdf || isPdf;
    out += t->mask;
  }
  return out;
}

EditableIndex LoadEditableIndex(std::string_view descriptorPath) {
  EditableIndex out;
  if (descriptorPath.empty()) return out;
  const std::string path(descriptorPath);
  out.title = settings::ReadIniValue("General", "title", "", path);
  out.desc = catalog::DecodeMultiline(settings::ReadIniValue("General", "desc", "", path));
  out.local = settings::ReadIniValue("General", "IndexType", "local", path) == "local";
  if (!out.local) return out;
  // Every folder is shown checked and is written back as a whole tree.
  for (const catalog::IndexFolderEntry& f : catalog::ReadFolders(path))
    AddChosenFolder(out.folderList, f.path);
  out.types = CheckTypesOf(settings::ReadIniValue("General", "ext", "", path),
                           settings::ReadIniValue("General", "PDF_Mode", "", path),
                           settings::ReadIniValue("Mail", "OutlookExpress", "", path) == "1",
                           settings::ReadIniValue("Mail", "NetscapeMessenger", "", path) == "1");
  out.archive = settings::ReadIniValue("General", "Archive", "", path) == "1";
  out.userFiles = settings::ReadIniValue("General", "UserFiles", "", path);
  return out;
}

bool CanSaveEditedIndex(const EditableIndex& index) {
  return index.local && (!index.types.empty() || !index.userFiles.empty()) &&
         !ChosenFolders(index.folderList).empty();
}

void SaveEditedIndex(std::string_view descriptorPath, const EditableIndex& index) {
  const std::vector<catalog::IndexFolderEntry> folders =
      catalog::NormalizeChosenFolders(ChosenFolders(index.folderList));
  settings::WriteIniValue("General", "ext", GetNewExt(index.types), descriptorPath);
  settings::WriteIniValue("General", "desc", catalog::EncodeMultiline(index.desc), descriptorPath);
  if (!index.userFiles.empty()) {
    std::string masks = index.userFiles;
    if (masks.back() != ';') masks += ';';
    settings::WriteIniValue("General", "UserFiles", masks, descriptorPath);
  } else {
    settings::DeleteIniKey("General", "UserFiles", descriptorPath);
  }
  settings::WriteIniValue("General", "Archive", index.archive ? "1" : "0", descriptorPath);
  if (index.types.count("pdffull"))
    settings::WriteIniValue("General", "PDF_Mode", "Full", descriptorPath);
  else if (index.types.count("pdfmin"))
    settings::WriteIniValue("General", "PDF_Mode", "Min", descriptorPath);
  else
    settings::DeleteIniKey("General", "PDF_Mode", descriptorPath);
  const auto mailFlag = [&](std::string_view key, std::string_view code) {
    if (index.types.count(std::string(code)))
      settings::WriteIniValue("Mail", key, "1", descriptorPath);
    else
      settings::DeleteIniKey("Mail", key, descriptorPath);
  };
  mailFlag("OutlookExpress", "mail_oe");
  mailFlag("NetscapeMessenger", "mail_moz");
  std::vector<std::string> lines;
  for (const catalog::IndexFolderEntry& f : folders) lines.push_back(f.path + ",1");
  settings::DeleteIniSection("Folders", descriptorPath);
  settings::AddIniLines("Folders", lines, descriptorPath);
}

}  // namespace zyl::indexer
