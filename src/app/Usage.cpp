#include "app/Usage.h"

#include <ostream>
#include <string_view>

#include "base/Version.h"
#include "extract/DocumentTypes.h"
#include "extract/TypeNames.h"

namespace zyl::app {

namespace {

enum class Request { kNone, kHelp, kVersion };

// --help and --version are answered wherever they stand, as command-line programs do; the
// first one written wins.
Request AsksForInformation(const settings::CCommandLine& args) {
  for (const auto& a : args.Arguments()) {
    if (!a.name.empty()) continue;
    if (a.value == "--help" || a.value == "-h") return Request::kHelp;
    if (a.value == "--version") return Request::kVersion;
  }
  return Request::kNone;
}

}  // namespace

void PrintUsage(std::ostream& out) {
  out << "usage: zyl                      open the index manager window\n"
         "       zyl action=server [headless=1] [port=N] [bind=ADDRESS]\n"
         "       zyl action=update index=FILE.zyl [log=FILE]\n"
         "       zyl action=build index=NAME folders=/a;/b types=CODE,CODE,...\n"
         "                        [usermasks=*.cpp;*.h;] [archives=1] [desc=TEXT]\n"
         "       zyl action=webbuild index=NAME url=START depth=N [desc=TEXT]\n"
         "       zyl action=search indexname=TITLE[;TITLE...] | index=FILE.zyl\n"
         "                        [content=WORDS] [SearchType=0|1|2|3] [WholeWord=1]\n"
         "                        [title=TEXT] [author=TEXT] [location=TEXT]\n"
         "                        [datefrom=DATE] [dateto=DATE]\n"
         "                        [sizemin=BYTES] [sizemax=BYTES]\n"
         "                        [type1=1 ... type"
      << extract::kSearchTypeCount
      << "=1] [archiveonly=1]\n"
         "                        [format=tsv|json] [showsql=1]\n"
         "       zyl --help | --version\n"
         "\n"
         "Every argument is name=value. A quote at either end of a value is dropped, so\n"
         "write a query-language condition, which has quotes of its own, in apostrophes:\n"
         "  SearchType=3 content='Content LIKE \"*report*\"'\n"
         "SearchType: 0 any word, 1 all words, 2 the phrase, 3 a query-language condition.\n";
  // The codes come from the type table, so a new format shows up here by itself.
  constexpr std::string_view kTypesLabel = "Document type codes:";
  out << kTypesLabel;
  std::size_t column = kTypesLabel.size();
  for (const std::string_view code : extract::DocumentTypeCodes()) {
    if (code == "users") continue;  // user masks come with usermasks=
    if (column + 1 + code.size() > 79) {
      out << "\n ";
      column = 1;
    }
    out << ' ' << code;
    column += 1 + code.size();
  }
  out << "\n"
         "Settings and indexes live in the program folder: $ZYL_HOME when set, else\n"
         "~/.local/share/zyl. See zyl(1).\n";
}

void PrintVersion(std::ostream& out) {
  out << "zyl " << base::ProgramVersion() << "\n";
}

int AnswerInformation(const settings::CCommandLine& args, std::ostream& out) {
  switch (AsksForInformation(args)) {
    case Request::kHelp:
      PrintUsage(out);
      return 0;
    case Request::kVersion:
      PrintVersion(out);
      return 0;
    case Request::kNone:
      break;
  }
  return -1;
}

}  // namespace zyl::app
