// One filled-in search form, and its translation into the statement the index database runs.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "extract/DocumentTypes.h"

namespace zyl::search {

enum SearchType : std::int16_t {
  kAnyWord = 0,
  kAllWords = 1,
  kPhrase = 2,
  kQueryLanguage = 3,
};

// Positions of the document-type list, one per stored type of the type table.
constexpr int kTypePositions = extract::kSearchTypeCount;

struct SearchRequest {
  std::string Content;  // search words, or a whole condition in query-language mode
  std::int16_t SearchType = kAnyWord;
  std::string Title;
  std::string Author;
  std::string Location;
  std::string DateFrom;  // typed date (dd.mm.yyyy, yyyy-mm-dd or m/d/yyyy)
  std::string DateTo;
  std::string SizeMax;  // bytes, decimal digits
  std::string SizeMin;
  bool WholeWord = false;
  bool ArchiveOnly = false;
  std::array<bool, kTypePositions> TypeChecked{};  // positions from 1 at indexes from 0
};

// The statement for `request`. Never fails and touches nothing; the search session that runs
// the statement keeps it (SearchSession::LastSearchSql).
std::string BuildSearchSql(const SearchRequest& request);

// The condition part of a statement: the text after "WHERE " ("" when there is none).
std::string ConditionOf(const std::string& sql);

}  // namespace zyl::search
