#include "app/SearchAction.h"

#include <cstdio>
#include <ostream>
#include <vector>

#include "app/MessageLine.h"
#include "base/Messages.h"
#include "base/Paths.h"
#include "base/Strings.h"
#include "catalog/DescriptorReader.h"
#include "search/FormVariables.h"
#include "search/ResultContent.h"
#include "search/SearchSession.h"

namespace zyl::app {

void AppendTsvCell(std::string& out, std::string_view text) {
  const std::size_t from = out.size();
  out += text;
  for (std::size_t i = from; i < out.size(); ++i)
    if (out[i] == '\t' || out[i] == '\r' || out[i] == '\n') out[i] = ' ';
}

std::string TsvCell(std::string_view text) {
  std::string s;
  AppendTsvCell(s, text);
  return s;
}

std::string JsonString(std::string_view text) {
  std::string out = "\"";
  for (const char c : text) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", c);
          out += buf;
        } else {
          out += c;
        }
    }
  }
  return out + "\"";
}

int RunSearchAction(const StartContext& ctx) {
  // Notices (an index upgraded on the way) are shown but are no failure: the status says only
  // whether the statement was refused or an index could not be read.
  const base::MessageSink messages = StderrMessages(ctx.err);
  const auto& args = ctx.args;

  // The indexes: by descriptor path, or by title from the recent index list.
  std::vector<search::IndexEntry> selected;
  const std::string path = args.GetArgumentValue("index");
  if (!path.empty()) {
    if (!base::FileExists(path)) {
      ctx.err << "zyl: Файл " << path << " не существует\n";
      return 1;
    }
    selected.push_back({catalog::ReadGeneral(path, "title", path), path});
  }
  const auto recent = search::RecentIndexes();
  for (const std::string& title : base::Split(args.GetArgumentValue("indexname"), ";")) {
    if (title.empty()) continue;
    bool found = false;
    for (const search::IndexEntry& e : recent) {
      if (e.title == title) {
        selected.push_back(e);
        found = true;
      }
    }
    if (!found) {
      ctx.err << "zyl: no index titled " << title << " in the recent index list\n";
      return 1;
    }
  }
  if (selected.empty()) {
    ctx.err << "zyl: name an index with indexname=TITLE or index=FILE.zyl\n";
    return 1;
  }

  // The same variables as the server's "findfile", plus archiveonly.
  search::FormVariables vars;
  for (const auto& a : args.Arguments()) vars.emplace_back(a.name, a.value);
  search::SearchForm form;
  search::FillFormFromVariables(vars, form);
  form.archiveOnly = search::FormVariable(vars, "archiveonly") == "1";
  form.searchText = search::CleanSearchBox(form.searchText, form.searchType);

  search::SearchSession session;
  session.updateRecentLists = false;
  session.onMessage = messages;
  // A recent-list entry whose descriptor is gone is reported and skipped by the search.
  bool unreadable = false;
  for (const search::IndexEntry& e : selected)
    if (!base::FileExists(e.descriptorPath)) unreadable = true;
  const bool ok = session.RunSearch(form, selected, base::LocalParts(base::Now()));
  if (args.GetArgumentValue("showsql") == "1") ctx.out << session.LastSearchSql() << "\n";

  const std::string format = base::LCase(args.GetArgumentValue("format"));
  if (format == "json") {
    ctx.out << "[";
    bool first = true;
    search::ContentReader contents;
    for (const search::ResultRow& r : session.Results()) {
      ctx.out << (first ? "\n" : ",\n") << "{\"title\":" << JsonString(r.title)
              << ",\"author\":" << JsonString(r.author)
              << ",\"content\":" << JsonString(contents.Read(r))
              << ",\"location\":" << JsonString(r.location) << ",\"type\":" << JsonString(r.type)
              << ",\"modified\":" << JsonString(r.modified)
              << ",\"filesize\":" << (r.filesize == "n/a" ? std::string("null") : r.filesize)
              << "}";
      first = false;
    }
    ctx.out << (first ? "]\n" : "\n]\n");
  } else {
    // Thousands of rows are written in blocks rather than cell by cell through the stream.
    constexpr std::size_t kBlock = 64 * 1024;
    std::string block;
    block.reserve(kBlock + 4096);
    for (const search::ResultRow& r : session.Results()) {
      for (const std::string* cell : {&r.title, &r.author, &r.location, &r.type, &r.modified}) {
        AppendTsvCell(block, *cell);
        block += '\t';
      }
      AppendTsvCell(block, r.filesize);
      block += '\n';
      if (block.size() >= kBlock) {
        ctx.out.write(block.data(), static_cast<std::streamsize>(block.size()));
        block.clear();
      }
    }
    ctx.out.write(block.data(), static_cast<std::streamsize>(block.size()));
  }
  return ok && !unreadable ? 0 : 1;
}

}  // namespace zyl::app
