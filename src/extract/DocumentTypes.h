// The document types the program knows: one table (TypeTable.h) that the wizards, the edit
// dialog, the index manager, the descriptor writer, the build, the dispatcher, the reader
// process and the search all read, so that none of them keeps its own copy of a column.
#pragma once

#include <cstddef>
#include <functional>
#include <iterator>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "extract/DocumentType.h"
#include "extract/TypeTable.h"

namespace zyl::extract {

// How many positions the search window's type list has: one per stored type, in table order.
inline constexpr int kSearchTypeCount = [] {
  int count = 0;
  for (std::size_t i = 0; i < std::size(kDocumentTypeTable); ++i) {
    bool seen = false;
    for (std::size_t j = 0; j < i; ++j)
      seen = seen || kDocumentTypeTable[j].storedType == kDocumentTypeTable[i].storedType;
    if (!seen) ++count;
  }
  return count;
}();

// Every type in its fixed order (the order of the wizard's type list, with `users` in it).
std::span<const DocumentType> DocumentTypes();
const DocumentType* FindDocumentType(std::string_view code);
// The type that reads this file: the one with the longest extension that ends the file's name
// after a "." (case aside), so that "book.fb2.zip" goes to a type claiming "fb2.zip" rather than
// to one claiming "zip"; nullptr when none claims it (such files are read as plain text and
// stored as "users"). ".pdf" gives the PDF type of the run's mode.
const DocumentType* DocumentTypeForPath(std::string_view path, bool pdfFullText);

// The number of the reader process's job for a type with one (its place in the table, from 1),
// and back; the program and its reader are built from the same table. 0 is no type's number.
unsigned ReaderJobNumber(const DocumentType& type);
const DocumentType* DocumentTypeOfJob(unsigned number);

// The wizard's and edit dialog's type list: every type but `users`, language keys 1 and up.
std::vector<const DocumentType*> TypeListEntries();

// The search window's document-type list: the stored types at fixed positions from 1, in table
// order (the specified ones at 1..kSpecifiedTypeCount).
std::span<const std::string_view> SearchTypes();
// Stored type at 1-based position, "" outside 1..kSearchTypeCount.
std::string_view SearchTypeAt(int position);
// 1-based position of a stored type, 0 when it has none.
int SearchTypePosition(std::string_view storedType);
// The type whose label names a position in the search window: the last row of its stored type
// (the full-text PDF for "pdf"); nullptr outside 1..kSearchTypeCount.
const DocumentType* SearchTypeLabelAt(int position);

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

// Whether the ";"-separated mask list holds `mask` (one mask, with or without its ";") whole.
bool MaskListHas(std::string_view maskList, std::string_view mask);

// Types that a descriptor's mask list holds, in table order: a mask of the list is "*." and the
// type's test text, with or without a "*" after it, so that "*.docx;" is not taken for "doc". A
// label shared by two types (the two PDF modes) is listed once.
std::vector<const DocumentType*> TypesInMaskList(std::string_view maskList);

// The rules above applied to any table, the real one being kDocumentTypeTable; tests use small
// tables of their own to try rows the real table does not have yet.
namespace rules {
using Table = std::span<const DocumentType>;
const DocumentType* TypeForPath(Table table, std::string_view path, bool pdfFullText);
std::vector<std::string_view> SearchTypes(Table table);
const DocumentType* SearchTypeLabelAt(Table table, int position);
std::vector<const DocumentType*> TypeListEntries(Table table);
std::string DescriptorMaskList(Table table, const TypeChoice& chosen);
std::string BuildMaskList(Table table, const TypeChoice& chosen, bool archives,
                          std::string_view userMasks);
std::vector<const DocumentType*> TypesInMaskList(Table table, std::string_view maskList);
}  // namespace rules

}  // namespace zyl::extract
