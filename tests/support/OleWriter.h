// Writes small OLE2 compound files for the tests of the office readers.
#pragma once

#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-stdio.h>

#include <string>

namespace zyl::test {

// An OLE2 file at `path` holding one top-level stream; returns the path, empty on failure.
inline std::string WriteOleStream(const std::string& path, const char* streamName,
                                  const std::string& bytes) {
  GError* err = nullptr;
  GsfOutput* file = gsf_output_stdio_new(path.c_str(), &err);
  if (!file) {
    if (err) g_error_free(err);
    return {};
  }
  GsfOutfile* ole = gsf_outfile_msole_new(file);
  GsfOutput* stream = gsf_outfile_new_child(ole, streamName, FALSE);
  gsf_output_write(stream, bytes.size(), reinterpret_cast<const guint8*>(bytes.data()));
  gsf_output_close(stream);
  g_object_unref(stream);
  gsf_output_close(GSF_OUTPUT(ole));
  g_object_unref(ole);
  g_object_unref(file);
  return path;
}

}  // namespace zyl::test
