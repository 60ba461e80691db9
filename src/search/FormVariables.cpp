#include "search/FormVariables.h"

#include <variant>

#include "base/Strings.h"

namespace zyl::search {

namespace {

struct ListPosition {
  int SearchForm::*member;
  int last;
};
using Member = std::variant<std::string SearchForm::*, bool SearchForm::*, ListPosition>;

// One row per field: its name in a request ("" when a request does not carry it), its key in a
// saved search file, in the order the file lists them.
struct Field {
  std::string_view request;
  std::string_view saved;
  Member member;
};

// clang-format off
const Field kFields[] = {
    {"content",    "Content",       &SearchForm::searchText},
    {"WholeWord",  "WholeWord",     &SearchForm::wholeWord},
    {"SearchType", "SearchType",    ListPosition{&SearchForm::searchType, kQueryLanguage}},
    {"author",     "Author",        &SearchForm::author},
    {"datefrom",   "Datefrom",      &SearchForm::dateFrom},
    {"dateto",     "Dateto",        &SearchForm::dateTo},
    {"sizemin",    "Sizefrom",      &SearchForm::sizeFrom},
    {"sizemax",    "Sizeto",        &SearchForm::sizeTo},
    {"title",      "Title",         &SearchForm::title},
    {"location",   "FileName",      &SearchForm::fileName},
    {"",           "DatePoint",     &SearchForm::notEarlierCount},
    {"",           "SizePoint",     &SearchForm::sizeValue},
    {"",           "SearchCombo0",  ListPosition{&SearchForm::dateUnit, kYears}},
    {"",           "SearchCombo1",  ListPosition{&SearchForm::sizeRelation, kEqual}},
    {"",           "SearchCombo2",  ListPosition{&SearchForm::sizeUnit, kMegabytes}},
    {"",           "SearchOption0", &SearchForm::dateBetween},
    {"",           "SearchOption1", &SearchForm::notEarlier},
    {"",           "SearchOption2", &SearchForm::sizeBetween},
    {"",           "SearchOption3", &SearchForm::sizeByCondition},
};
// clang-format on

// The range options and the boxes that switch them on where the names do not carry the option.
struct RangeOption {
  bool SearchForm::*option;
  std::string SearchForm::*from;
  std::string SearchForm::*to;
};
constexpr RangeOption kRangeOptions[] = {
    {&SearchForm::dateBetween, &SearchForm::dateFrom, &SearchForm::dateTo},
    {&SearchForm::sizeBetween, &SearchForm::sizeFrom, &SearchForm::sizeTo},
};

std::string_view NameOf(const Field& field, FormNames names) {
  return names == FormNames::kRequest ? field.request : field.saved;
}

std::string TypeName(int position, FormNames names) {
  return (names == FormNames::kRequest ? "type" : "FileType") + std::to_string(position);
}

bool Carries(FormNames names, bool SearchForm::*option) {
  for (const Field& f : kFields) {
    const auto* member = std::get_if<bool SearchForm::*>(&f.member);
    if (member && *member == option) return !NameOf(f, names).empty();
  }
  return false;
}

struct Assign {
  SearchForm& form;
  const std::string& value;
  void operator()(std::string SearchForm::*m) const { form.*m = value; }
  void operator()(bool SearchForm::*m) const { form.*m = base::ValInt(value) != 0; }
  void operator()(const ListPosition& list) const {
    if (const std::int64_t n = base::ValInt(value); n >= 0 && n <= list.last)
      form.*list.member = static_cast<int>(n);
  }
};

struct Show {
  const SearchForm& form;
  std::string operator()(std::string SearchForm::*m) const { return form.*m; }
  std::string operator()(bool SearchForm::*m) const { return form.*m ? "1" : "0"; }
  std::string operator()(const ListPosition& list) const {
    return std::to_string(form.*list.member);
  }
};

}  // namespace

std::string FormVariable(const FormVariables& vars, std::string_view name) {
  for (const auto& [n, v] : vars)
    if (base::EqualsNoCase(n, name)) return v;
  return {};
}

void FillFormFromVariables(const FormVariables& vars, SearchForm& form, FormNames names) {
  for (const Field& field : kFields) {
    const std::string_view name = NameOf(field, names);
    if (name.empty()) continue;
    const std::string value = FormVariable(vars, name);
    std::visit(Assign{form, value}, field.member);
  }
  for (int n = 1; n <= kTypePositions; ++n)
    form.types[n - 1] = FormVariable(vars, TypeName(n, names)) == "1";
  for (const RangeOption& range : kRangeOptions)
    if (!Carries(names, range.option) && (!(form.*range.from).empty() || !(form.*range.to).empty()))
      form.*range.option = true;
}

FormVariables VariablesFromForm(const SearchForm& form, FormNames names) {
  FormVariables vars;
  for (const Field& field : kFields) {
    const std::string_view name = NameOf(field, names);
    if (!name.empty()) vars.emplace_back(name, std::visit(Show{form}, field.member));
  }
  for (int n = 1; n <= kTypePositions; ++n)
    vars.emplace_back(TypeName(n, names), form.types[n - 1] ? "1" : "0");
  return vars;
}

}  // namespace zyl::search
