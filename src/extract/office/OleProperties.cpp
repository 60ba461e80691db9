#include "extract/office/OleProperties.h"

#include <gsf/gsf-doc-meta-data.h>
#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-stdio.h>
#include <gsf/gsf-input.h>
#include <gsf/gsf-meta-names.h>
#include <gsf/gsf-msole-utils.h>
#include <gsf/gsf-utils.h>

#include <memory>
#include <mutex>

#include "base/Cp1251.h"
#include "base/Strings.h"

namespace zyl::extract {

namespace {

struct GObjectUnref {
  void operator()(gpointer p) const {
    if (p) g_object_unref(p);
  }
};
template <typename T>
using GPtr = std::unique_ptr<T, GObjectUnref>;

void QuietLog(const gchar*, GLogLevelFlags, const gchar*, gpointer) {}

GPtr<GsfInfile> OpenOle(std::string_view path) {
  EnsureGsfReady();
  const std::string p(path);
  GError* err = nullptr;
  GPtr<GsfInput> input(gsf_input_stdio_new(p.c_str(), &err));
  if (err) g_error_free(err);
  if (!input) return nullptr;
  err = nullptr;
  GPtr<GsfInfile> ole(gsf_infile_msole_new(input.get(), &err));
  if (err) g_error_free(err);
  return ole;
}

std::string PropertyText(GsfDocMetaData* meta, const char* name) {
  GsfDocProp* prop = gsf_doc_meta_data_lookup(meta, name);
  if (!prop) return {};
  const GValue* value = gsf_doc_prop_get_val(prop);
  if (!value || !G_VALUE_HOLDS_STRING(value)) return {};
  const gchar* text = g_value_get_string(value);
  // libgsf converts by the stream's code page; a stream that lies about it can still leave
  // bytes that are not UTF-8, which are then read by the program's own rule.
  return text ? base::DecodeLegacyText(text) : std::string();
}

}  // namespace

void EnsureGsfReady() {
  static std::once_flag once;
  std::call_once(once, [] {
    gsf_init();
    g_log_set_handler("libgsf", static_cast<GLogLevelFlags>(G_LOG_LEVEL_MASK), QuietLog, nullptr);
    g_log_set_handler("libgsf:msole", static_cast<GLogLevelFlags>(G_LOG_LEVEL_MASK), QuietLog,
                      nullptr);
  });
}

std::optional<OleSummary> ReadOleSummary(std::string_view path) {
  GPtr<GsfInfile> ole = OpenOle(path);
  if (!ole) return std::nullopt;
  OleSummary summary;
  GPtr<GsfInput> stream(gsf_infile_child_by_name(ole.get(), "\005SummaryInformation"));
  if (!stream) return summary;
  GPtr<GsfDocMetaData> meta(gsf_doc_meta_data_new());
  if (GError* err = gsf_doc_meta_data_read_from_msole(meta.get(), stream.get())) {
    g_error_free(err);
    return summary;
  }
  // libgsf files the Author property (the document's creator) under dc:creator and the last
  // editor under gsf:last-saved-by.
  summary.author = PropertyText(meta.get(), GSF_META_NAME_CREATOR);
  summary.title = PropertyText(meta.get(), GSF_META_NAME_TITLE);
  return summary;
}

std::optional<std::string> ReadOleStream(std::string_view path, std::string_view name,
                                         std::size_t maxBytes) {
  GPtr<GsfInfile> ole = OpenOle(path);
  if (!ole) return std::nullopt;
  const std::string n(name);
  GPtr<GsfInput> stream(gsf_infile_child_by_name(ole.get(), n.c_str()));
  // Stream names are compared without letter case by the programs that read them, and some
  // writers store "WORKBOOK" or "book".
  for (int i = 0; !stream && i < gsf_infile_num_children(ole.get()); ++i) {
    const char* child = gsf_infile_name_by_index(ole.get(), i);
    if (child && base::EqualsNoCase(child, name))
      stream.reset(gsf_infile_child_by_index(ole.get(), i));
  }
  if (!stream) return std::nullopt;
  const gsf_off_t size = gsf_input_size(stream.get());
  if (size < 0) return std::nullopt;
  const std::size_t want = std::min<std::size_t>(static_cast<std::size_t>(size), maxBytes);
  std::string bytes(want, '\0');
  if (want > 0 && !gsf_input_read(stream.get(), want, reinterpret_cast<guint8*>(bytes.data())))
    return std::nullopt;
  return bytes;
}

}  // namespace zyl::extract
