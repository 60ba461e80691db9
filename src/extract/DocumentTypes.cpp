#include "extract/DocumentTypes.h"

#include <algorithm>

namespace zyl::extract {

namespace {

// The PDF mask is written after all others when either PDF mode is chosen; this entry stands
// for "pdfmin or pdffull" in the orders below.
constexpr std::string_view kEitherPdf = "pdf";

// Order of the specified types' masks in a descriptor's `ext` value. Old descriptors were
// written this way and the index manager's tests read them, so it stays as it is; later types
// follow in table order, before the PDF mask.
constexpr std::string_view kDescriptorOrder[] = {"txt",   "doc",     "rtf", "wri", "html", "mp3",
                                                 "xls",   "csv",     "dbf", "dif", "dot",  "excel2",
                                                 "lotus", "quattro", "wps", "wpd", "xlt"};

// Order in which a build enumerates the specified types' masks; it decides the order of the
// found files. Later types follow in table order, before the archives.
constexpr std::string_view kBuildOrderBeforeArchives[] = {
    "txt",   "doc", "rtf",     "wri", "wpd", "wps", "dot",    "html", "xls",
    "lotus", "dbf", "quattro", "dif", "csv", "xlt", "excel2", "mp3"};

const DocumentType* FindIn(rules::Table table, std::string_view code) {
  for (const DocumentType& t : table)
    if (t.code == code) return &t;
  return nullptr;
}

// Types added after the specified ones, whose masks follow the specified orders.
bool IsLaterType(const DocumentType& t) {
  return t.langKey > kSpecifiedTypeCount;
}

void AppendChosenMask(std::string& out, rules::Table table, std::string_view code,
                      const TypeChoice& chosen) {
  if (code == kEitherPdf) {
    if (chosen("pdfmin") || chosen("pdffull"))
      if (const DocumentType* pdf = FindIn(table, "pdfmin")) out += pdf->mask;
    return;
  }
  if (chosen(code))
    if (const DocumentType* t = FindIn(table, code)) out += t->mask;
}

void AppendChosenLaterMasks(std::string& out, rules::Table table, const TypeChoice& chosen) {
  for (const DocumentType& t : table)
    if (IsLaterType(t) && chosen(t.code)) out += t.mask;
}

// Whether a file name ends with "." + extension, ASCII case aside.
bool EndsWithExtension(std::string_view name, std::string_view extension) {
  if (extension.empty() || name.size() <= extension.size()) return false;
  const std::string_view tail = name.substr(name.size() - extension.size());
  if (name[name.size() - extension.size() - 1] != '.') return false;
  // Compared letter by letter: this runs for every row on every file a build finds.
  for (std::size_t i = 0; i < tail.size(); ++i) {
    const char c =
        tail[i] >= 'A' && tail[i] <= 'Z' ? static_cast<char>(tail[i] - 'A' + 'a') : tail[i];
    if (c != extension[i]) return false;
  }
  return true;
}

// The ";"-separated masks of a list, blanks around each trimmed, empty ones left out.
std::vector<std::string_view> MasksOf(std::string_view list) {
  std::vector<std::string_view> out;
  while (!list.empty()) {
    const std::size_t end = list.find(';');
    std::string_view mask = list.substr(0, end);
    while (!mask.empty() && mask.front() == ' ') mask.remove_prefix(1);
    while (!mask.empty() && mask.back() == ' ') mask.remove_suffix(1);
    if (!mask.empty()) out.push_back(mask);
    if (end == std::string_view::npos) break;
    list.remove_prefix(end + 1);
  }
  return out;
}

}  // namespace

namespace rules {

const DocumentType* TypeForPath(Table table, std::string_view path, bool pdfFullText) {
  const std::size_t slash = path.find_last_of('/');
  const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  const DocumentType* best = nullptr;
  std::size_t bestLength = 0;
  for (const DocumentType& t : table) {
    if (t.pdfMode == (pdfFullText ? PdfMode::Headers : PdfMode::FullText)) continue;
    for (std::string_view e : t.extensions) {
      if (e.size() > bestLength && EndsWithExtension(name, e)) {
        best = &t;
        bestLength = e.size();
      }
    }
  }
  return best;
}

std::vector<std::string_view> SearchTypes(Table table) {
  // Stored types in table order, each once: the two PDF modes share "pdf".
  std::vector<std::string_view> types;
  for (const DocumentType& t : table)
    if (std::find(types.begin(), types.end(), t.storedType) == types.end())
      types.push_back(t.storedType);
  return types;
}

const DocumentType* SearchTypeLabelAt(Table table, int position) {
  const std::vector<std::string_view> types = SearchTypes(table);
  if (position < 1 || position > static_cast<int>(types.size())) return nullptr;
  const DocumentType* last = nullptr;
  for (const DocumentType& t : table)
    if (t.storedType == types[static_cast<std::size_t>(position - 1)]) last = &t;
  return last;
}

std::vector<const DocumentType*> TypeListEntries(Table table) {
  std::vector<const DocumentType*> out;
  for (const DocumentType& t : table)
    if (t.code != "users") out.push_back(&t);
  return out;
}

std::string DescriptorMaskList(Table table, const TypeChoice& chosen) {
  std::string out;
  for (std::string_view code : kDescriptorOrder) AppendChosenMask(out, table, code, chosen);
  AppendChosenLaterMasks(out, table, chosen);
  AppendChosenMask(out, table, kEitherPdf, chosen);
  return out;
}

std::string BuildMaskList(Table table, const TypeChoice& chosen, bool archives,
                          std::string_view userMasks) {
  std::string out;
  for (std::string_view code : kBuildOrderBeforeArchives)
    AppendChosenMask(out, table, code, chosen);
  AppendChosenLaterMasks(out, table, chosen);
  if (archives) out += kArchiveMasks;
  out += userMasks;
  AppendChosenMask(out, table, kEitherPdf, chosen);
  return out;
}

std::vector<const DocumentType*> TypesInMaskList(Table table, std::string_view maskList) {
  const std::vector<std::string_view> masks = MasksOf(maskList);
  const auto holds = [&](const DocumentType& t) {
    return std::any_of(masks.begin(), masks.end(), [&](std::string_view m) {
      if (m.substr(0, 2) != "*.") return false;
      m.remove_prefix(2);
      if (m.size() == t.testText.size() + 1 && m.back() == '*') m.remove_suffix(1);
      return m == t.testText;
    });
  };
  std::vector<const DocumentType*> out;
  for (const DocumentType& t : table) {
    if (t.testText.empty() || !holds(t)) continue;
    const bool labelled = std::any_of(out.begin(), out.end(), [&](const DocumentType* o) {
      return o->shortLabel == t.shortLabel;
    });
    if (!labelled) out.push_back(&t);
  }
  return out;
}

}  // namespace rules

std::span<const DocumentType> DocumentTypes() {
  return kDocumentTypeTable;
}

const DocumentType* FindDocumentType(std::string_view code) {
  return FindIn(kDocumentTypeTable, code);
}

const DocumentType* DocumentTypeForPath(std::string_view path, bool pdfFullText) {
  return rules::TypeForPath(kDocumentTypeTable, path, pdfFullText);
}

unsigned ReaderJobNumber(const DocumentType& type) {
  return static_cast<unsigned>(&type - kDocumentTypeTable) + 1;
}

const DocumentType* DocumentTypeOfJob(unsigned number) {
  if (number < 1 || number > std::size(kDocumentTypeTable)) return nullptr;
  return &kDocumentTypeTable[number - 1];
}

std::vector<const DocumentType*> TypeListEntries() {
  return rules::TypeListEntries(kDocumentTypeTable);
}

// SearchTypes, SearchTypeAt and SearchTypePosition are in TypeNames.cpp.

const DocumentType* SearchTypeLabelAt(int position) {
  return rules::SearchTypeLabelAt(kDocumentTypeTable, position);
}

std::string DescriptorMaskList(const TypeChoice& chosen) {
  return rules::DescriptorMaskList(kDocumentTypeTable, chosen);
}

std::string BuildMaskList(const TypeChoice& chosen, bool archives, std::string_view userMasks) {
  return rules::BuildMaskList(kDocumentTypeTable, chosen, archives, userMasks);
}

std::string NormalizeUserMasks(std::string_view typed) {
  std::string out(typed);
  std::replace(out.begin(), out.end(), ',', ';');
  if (!out.empty() && out.back() != ';') out += ';';
  return out;
}

bool MaskListHas(std::string_view maskList, std::string_view mask) {
  if (!mask.empty() && mask.back() == ';') mask.remove_suffix(1);
  const std::vector<std::string_view> masks = MasksOf(maskList);
  return !mask.empty() && std::find(masks.begin(), masks.end(), mask) != masks.end();
}

std::vector<const DocumentType*> TypesInMaskList(std::string_view maskList) {
  return rules::TypesInMaskList(kDocumentTypeTable, maskList);
}

}  // namespace zyl::extract
