#include "extract/sheets/DbfReader.h"

#include <shapefil.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <memory>
#include <string>

#include "base/Cp1251.h"
#include "base/Paths.h"

namespace zyl::extract {

namespace {

// shapelib opens "<name>.dbf" (or ".DBF") and a ".cpg" beside it by names it builds itself.
// The file is opened through these hooks instead, so that any spelling of the extension works
// and no side file is consulted: the table's own language byte decides its code page.
thread_local const char* tOpenPath = nullptr;

SAFile OpenHook(const char* filename, const char* access) {
  const std::string_view name(filename ? filename : "");
  if (!tOpenPath || name.size() < 4) return nullptr;
  std::string ext(name.substr(name.size() - 4));
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (ext != ".dbf") return nullptr;
  // Only reading is ever asked for; anything else is refused.
  if (std::string_view(access).find_first_of("wa+") != std::string_view::npos) return nullptr;
  return reinterpret_cast<SAFile>(std::fopen(tOpenPath, "rb"));
}

void QuietError(const char*) {}

struct DbfCloser {
  void operator()(DBFInfo* h) const { DBFClose(h); }
};

}  // namespace

int DbfLanguageDriverCodePage(int driver) {
  switch (driver) {
    case 0x01:
    case 0x09:
    case 0x0B:
    case 0x0D:
    case 0x0F:
    case 0x11:
    case 0x15:
    case 0x18:
    case 0x19:
    case 0x1B:
      return 437;
    case 0x02:
    case 0x0A:
    case 0x0E:
    case 0x10:
    case 0x12:
    case 0x14:
    case 0x16:
    case 0x1A:
    case 0x1D:
    case 0x25:
    case 0x37:
      return 850;
    case 0x03:
    case 0x58:
    case 0x59:
      return 1252;
    case 0x04:
      return 10000;
    case 0x08:
    case 0x17:
    case 0x66:
      return 865;
    case 0x13:
    case 0x7B:
      return 932;
    case 0x1C:
    case 0x6C:
      return 863;
    case 0x1F:
    case 0x22:
    case 0x23:
    case 0x40:
    case 0x64:
    case 0x87:
      return 852;
    case 0x24:
      return 860;
    case 0x26:
    case 0x65:
      return 866;
    case 0x4D:
    case 0x7A:
      return 936;
    case 0x4E:
    case 0x79:
      return 949;
    case 0x4F:
    case 0x78:
      return 950;
    case 0x50:
    case 0x7C:
      return 874;
    // 0x57 means "the writer's ANSI code page"; this program's documents come from machines
    // whose ANSI code page is Windows-1251.
    case 0x57:
    case 0xC9:
      return 1251;
    case 0x67:
      return 861;
    case 0x6A:
    case 0x86:
      return 737;
    case 0x6B:
    case 0x88:
      return 857;
    case 0x7D:
      return 1255;
    case 0x7E:
      return 1256;
    case 0xC8:
      return 1250;
    case 0xCA:
      return 1254;
    case 0xCB:
      return 1253;
    case 0xCC:
      return 1257;
    default:
      return 0;
  }
}

std::optional<SheetGrid> ReadDbfTable(std::string_view path) {
  const std::string p(path);
  const std::optional<std::uint64_t> fileSize = base::FileSize(p);
  if (!fileSize) return std::nullopt;

  SAHooks hooks;
  SASetupDefaultHooks(&hooks);
  hooks.FOpen = OpenHook;
  hooks.Error = QuietError;
  tOpenPath = p.c_str();
  std::unique_ptr<DBFInfo, DbfCloser> dbf(DBFOpenLL("table.dbf", "rb", &hooks));
  tOpenPath = nullptr;
  if (!dbf) return std::nullopt;

  const int fields = DBFGetFieldCount(dbf.get());
  if (fields <= 0 || dbf->nRecordLength <= 0) return std::nullopt;
  // A table whose records do not all fit in the file was cut short.
  const std::uint64_t header = static_cast<std::uint64_t>(dbf->nHeaderLength);
  const std::uint64_t fit =
      *fileSize > header ? (*fileSize - header) / static_cast<std::uint64_t>(dbf->nRecordLength)
                         : 0;
  const int records = DBFGetRecordCount(dbf.get());
  if (records < 0 || static_cast<std::uint64_t>(records) > fit) return std::nullopt;

  const int codePage = DbfLanguageDriverCodePage(dbf->iLanguageDriver);
  const auto decode = [&](std::string_view bytes) {
    return codePage != 0 ? DecodeCodePage(bytes, codePage) : base::DecodeLegacyText(bytes);
  };

  SheetGrid grid;
  std::string types(static_cast<std::size_t>(fields), 'C');
  for (int f = 0; f < fields; ++f) {
    char name[XBASE_FLDNAME_LEN_READ + 1] = {};
    int width = 0;
    int decimals = 0;
    DBFGetFieldInfo(dbf.get(), f, name, &width, &decimals);
    types[static_cast<std::size_t>(f)] = DBFGetNativeFieldType(dbf.get(), f);
    grid.Set(0, static_cast<std::size_t>(f), decode(name));
  }
  std::size_t row = 1;
  for (int r = 0; r < records; ++r) {
    if (DBFIsRecordDeleted(dbf.get(), r)) continue;
    for (int f = 0; f < fields; ++f) {
      const char* value = DBFReadStringAttribute(dbf.get(), r, f);
      if (!value) return std::nullopt;
      std::string text = decode(value);
      // Dates are stored as YYYYMMDD; they are shown the way the other readers show dates.
      if (types[static_cast<std::size_t>(f)] == 'D' && text.size() == 8)
        text = text.substr(0, 4) + "-" + text.substr(4, 2) + "-" + text.substr(6, 2);
      grid.Set(row, static_cast<std::size_t>(f), std::move(text));
    }
    ++row;
  }
  return grid;
}

}  // namespace zyl::extract
