// The document types the program knows: one table that the wizards, the edit dialog, the
// index manager, the descriptor writer, the build, the dispatcher and the search all read, so
// that none of them keeps its own copy of a column.
#pragma once

#include <array>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zyl::extract {

// Which reader serves a type.
enum class Reader {
  PlainText,
  WordProcessor,
  Spreadsheet,
  Html,
  PdfHeader,
  PdfFullText,
  Mp3,
  Mailbox
};

struct DocumentType {
  std::string_view code;         // key in the type lists, the descriptor flags and the CLI
  std::string_view wizardLabel;  // default text of the type's entry in the type lists
  std::string_view mask;         // added to an index's mask list when chosen; "" when none
  std::array<std::string_view, 3> extensions;  // lower-case extensions dispatched to it
  Reader reader;
  std::string_view storedType;  // ContentIndex.type written by its reader
  // The index manager shows shortLabel when the index's mask list contains testText. The
  // user-defined and mail types have no test text: their presence is a descriptor key of its
  // own (UserFiles, [Mail] OutlookExpress, [Mail] NetscapeMessenger).
  std::string_view testText;
  std::string_view shortLabel;
  int langKey;  // key in the language section FileType
};

// Every type in its fixed order (the order of the wizard's type list, with `users` in it).
std::span<const DocumentType> DocumentTypes();
const DocumentType* FindDocumentType(std::string_view code);
// The type that reads files with this lower-case extension, or nullptr when none is listed
// (such files are read as plain text and stored as "users"). "pdf" gives the PDF type of the
// current mode.
const DocumentType* DocumentTypeForExtension(std::string_view extension, bool pdfFullText);

// The wizard's and edit dialog's type list: every type but `users`, language keys 1 to 21.
std::vector<const DocumentType*> TypeListEntries();

// The search window's document-type list: 21 stored types at fixed positions 1..21.
inline constexpr int kSearchTypeCount = 21;
std::span<const std::string_view> SearchTypes();
// Stored type at 1-based position, "" outside 1..21.
std::string_view SearchTypeAt(int position);
// 1-based position of a stored type, 0 when it has none.
int SearchTypePosition(std::string_view storedType);

// Masks added by the archive choice of a build.
inline constexpr std::string_view kArchiveMasks = "*.arj;*.cab;*.uc2;*.lzh;*.rar;*.zip;";

using TypeChoice = std::function<bool(std::string_view code)>;
// The descriptor's `ext` value: masks of the chosen types in the descriptor's order, the PDF
// mask last when either PDF mode is chosen.
std::string DescriptorMaskList(const TypeChoice& chosen);
// The masks a build enumerates files with: the chosen types in the build's order, the archive
// masks, the user masks, and the PDF mask last.
std::string BuildMaskList(const TypeChoice& chosen, bool archives, std::string_view userMasks);
// What a user typed as own masks ("*.cpp,*.h") in stored form ("*.cpp;*.h;"); "" stays "".
std::string NormalizeUserMasks(std::string_view typed);

// Types whose test text occurs in a descriptor's mask list, in table order; a label shared by
// two types (the two PDF modes) is listed once.
std::vector<const DocumentType*> TypesInMaskList(std::string_view maskList);

}  // namespace zyl::extract
