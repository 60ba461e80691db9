// A small local index made row by row for the search tests: a database from the template and a
// descriptor beside it.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "catalog/DatabaseSink.h"
#include "catalog/Descriptor.h"
#include "catalog/IndexDatabase.h"
#include "catalog/IndexDefinition.h"

namespace zyl::test {

// One document; what a test leaves out takes the defaults.
struct Doc {
  Doc(std::string location, std::string content, std::string type = "txt",
      std::string modified = "2026-11-20", std::string title = "")
      : location(std::move(location)),
        content(std::move(content)),
        type(std::move(type)),
        modified(std::move(modified)),
        title(std::move(title)) {}
  std::string location;
  std::string content;
  std::string type;
  std::string modified;
  std::string title;
};

// Index `name` in `folder` ("name.zyl" and "name.mdb") holding `docs` in their order, each with
// the size of its content. The template database must exist.
inline catalog::IndexDefinition MakeSmallIndex(const std::string& folder, const std::string& name,
                                               const std::vector<Doc>& docs) {
  catalog::IndexDefinition def;
  def.title = name;
  def.descriptorPath = folder + "/" + name + ".zyl";
  def.dbname = folder + "/" + name + ".mdb";
  catalog::CreateIndexDatabase(def.dbname);
  {
    catalog::DatabaseSink sink(def.dbname);
    for (const Doc& d : docs) {
      catalog::FileInfo info;
      info.location = d.location;
      info.content = d.content;
      info.type = d.type;
      info.modified = d.modified;
      info.title = d.title;
      info.filesize = static_cast<std::int32_t>(d.content.size());
      catalog::SaveContentInfo(sink, info);
    }
  }
  catalog::WriteLocalDescriptor(def);
  return def;
}

}  // namespace zyl::test
