#include "db/Functions.h"

#include <array>
#include <cstring>

#include "base/Strings.h"

namespace zyl::db {
namespace {

// Keep in step with the registrations in SqlFunctions.cpp.
const FunctionInfo kFunctions[] = {
    // text
    {"Asc", 1, 1, Ty::Number, "s", "zyl_asc"},
    {"AscW", 1, 1, Ty::Number, "s", "zyl_ascw"},
    {"Chr", 1, 1, Ty::Text, "n", "zyl_chr"},
    {"ChrW", 1, 1, Ty::Text, "n", "zyl_chrw"},
    {"Format", 1, 4, Ty::Text, "asnn", "zyl_format"},
    {"InStr", 2, 4, Ty::Number, "nssn", "zyl_instr"},
    {"InStrRev", 2, 4, Ty::Number, "ssnn", "zyl_instrrev"},
    {"LCase", 1, 1, Ty::Text, "s", "zyl_lcase"},
    {"UCase", 1, 1, Ty::Text, "s", "zyl_ucase"},
    {"Left", 2, 2, Ty::Text, "sn", "zyl_left"},
    {"Right", 2, 2, Ty::Text, "sn", "zyl_right"},
    {"Mid", 2, 3, Ty::Text, "snn", "zyl_mid"},
    {"Len", 1, 1, Ty::Number, "s", "zyl_len"},
    {"LTrim", 1, 1, Ty::Text, "s", "zyl_ltrim"},
    {"RTrim", 1, 1, Ty::Text, "s", "zyl_rtrim"},
    {"Trim", 1, 1, Ty::Text, "s", "zyl_trim"},
    {"Space", 1, 1, Ty::Text, "n", "zyl_space"},
    {"String", 2, 2, Ty::Text, "ns", "zyl_string"},
    {"Replace", 3, 6, Ty::Text, "sssnnn", "zyl_replace"},
    {"StrComp", 2, 3, Ty::Number, "ssn", "zyl_strcomp"},
    {"StrReverse", 1, 1, Ty::Text, "s", "zyl_strreverse"},
    {"Str", 1, 1, Ty::Text, "n", "zyl_str"},
    {"Val", 1, 1, Ty::Number, "s", "zyl_val"},
    // numbers
    {"Abs", 1, 1, Ty::Number, "n", "zyl_abs"},
    {"Atn", 1, 1, Ty::Number, "n", "zyl_atn"},
    {"Cos", 1, 1, Ty::Number, "n", "zyl_cos"},
    {"Sin", 1, 1, Ty::Number, "n", "zyl_sin"},
    {"Tan", 1, 1, Ty::Number, "n", "zyl_tan"},
    {"Exp", 1, 1, Ty::Number, "n", "zyl_exp"},
    {"Log", 1, 1, Ty::Number, "n", "zyl_log"},
    {"Fix", 1, 1, Ty::Number, "n", "zyl_fix"},
    {"Int", 1, 1, Ty::Number, "n", "zyl_int"},
    {"Sgn", 1, 1, Ty::Number, "n", "zyl_sgn"},
    {"Sqr", 1, 1, Ty::Number, "n", "zyl_sqr"},
    {"Round", 1, 2, Ty::Number, "nn", "zyl_round"},
    // dates and times
    {"Date", 0, 0, Ty::Date, "", "zyl_date"},
    {"Now", 0, 0, Ty::Date, "", "zyl_now"},
    {"Time", 0, 0, Ty::Date, "", "zyl_time"},
    {"Day", 1, 1, Ty::Number, "d", "zyl_day"},
    {"Month", 1, 1, Ty::Number, "d", "zyl_month"},
    {"Year", 1, 1, Ty::Number, "d", "zyl_year"},
    {"Hour", 1, 1, Ty::Number, "d", "zyl_hour"},
    {"Minute", 1, 1, Ty::Number, "d", "zyl_minute"},
    {"Second", 1, 1, Ty::Number, "d", "zyl_second"},
    {"WeekDay", 1, 2, Ty::Number, "dn", "zyl_weekday"},
    {"DateSerial", 3, 3, Ty::Date, "nnn", "zyl_dateserialf"},
    {"TimeSerial", 3, 3, Ty::Date, "nnn", "zyl_timeserial"},
    {"DateValue", 1, 1, Ty::Date, "d", "zyl_datevalue"},
    {"TimeValue", 1, 1, Ty::Date, "d", "zyl_timevalue"},
    {"DateAdd", 3, 3, Ty::Date, "snd", "zyl_dateadd"},
    {"DateDiff", 3, 5, Ty::Number, "sddnn", "zyl_datediff"},
    {"DatePart", 2, 4, Ty::Number, "sdnn", "zyl_datepart"},
    // conversions
    {"CDate", 1, 1, Ty::Date, "d", "zyl_cdate"},
    {"CVDate", 1, 1, Ty::Date, "d", "zyl_cdate"},
    {"CBool", 1, 1, Ty::Bool, "a", "zyl_cbool"},
    {"CByte", 1, 1, Ty::Number, "n", "zyl_cbyte"},
    {"CInt", 1, 1, Ty::Number, "n", "zyl_cint"},
    {"CLng", 1, 1, Ty::Number, "n", "zyl_clng"},
    {"CSng", 1, 1, Ty::Number, "n", "zyl_csng"},
    {"CDbl", 1, 1, Ty::Number, "n", "zyl_cdbl"},
    {"CCur", 1, 1, Ty::Number, "n", "zyl_ccur"},
    {"CDec", 1, 1, Ty::Number, "n", "zyl_cdbl"},
    {"CStr", 1, 1, Ty::Text, "s", "zyl_cstr"},
    {"CVar", 1, 1, Ty::Variant, "a", nullptr},
    {"Hex", 1, 1, Ty::Text, "n", "zyl_hex"},
    {"Oct", 1, 1, Ty::Text, "n", "zyl_oct"},
    // others
    {"IIf", 3, 3, Ty::Variant, "aaa", nullptr},
    {"Nz", 1, 2, Ty::Variant, "aa", nullptr},
    {"IsNull", 1, 1, Ty::Bool, "a", nullptr},
    {"IsNumeric", 1, 1, Ty::Bool, "a", "zyl_isnumeric"},
    {"IsDate", 1, 1, Ty::Bool, "a", "zyl_isdate"},
};

const char* const kAggregates[] = {"Avg",  "Count", "Max",    "Min", "Sum", "First",
                                   "Last", "StDev", "StDevP", "Var", "VarP"};
const char* const kFinancial[] = {"IRR",  "MIRR", "NPV",  "Rate", "PV",  "FV", "Pmt",
                                  "IPmt", "PPmt", "NPer", "DDB",  "SLN", "SYD"};

}  // namespace

const FunctionInfo* FindFunction(std::string_view name, FunctionClass* cls) {
  for (const auto& f : kFunctions) {
    if (base::EqualsNoCase(name, f.name)) {
      if (cls) *cls = FunctionClass::Row;
      return &f;
    }
  }
  FunctionClass c = FunctionClass::Unknown;
  for (const char* a : kAggregates)
    if (base::EqualsNoCase(name, a)) c = FunctionClass::Aggregate;
  for (const char* a : kFinancial)
    if (base::EqualsNoCase(name, a)) c = FunctionClass::Financial;
  if (cls) *cls = c;
  return nullptr;
}

const char* DisplayName(std::string_view sqlName) {
  for (const auto& f : kFunctions)
    if (f.sqlName && sqlName == f.sqlName) return f.name;
  return "";
}

bool IsBareFunction(const FunctionInfo* f) {
  return f && f->maxArgs == 0;
}

}  // namespace zyl::db
