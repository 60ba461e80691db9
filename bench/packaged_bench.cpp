// Throughput of the readers of zip-packaged documents (office open XML, OpenDocument): files
// per second and megabytes per second, in-process, on documents this benchmark writes to a
// temporary folder first: a small and a large word-processing file, a workbook and a
// presentation of each family, with Russian and English text.
//   ./bench/packaged_bench [--benchmark_filter=...]
#include <archive.h>
#include <archive_entry.h>
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "base/Paths.h"
#include "extract/office/OoxmlReader.h"
#include "extract/office/OpenDocumentReader.h"

namespace {

using namespace zyl::extract;
using Members = std::vector<std::pair<std::string, std::string>>;

const std::string kRel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

void WriteZip(const std::string& path, const Members& files) {
  archive* a = archive_write_new();
  archive_write_set_format_zip(a);
  archive_write_open_filename(a, path.c_str());
  for (const auto& [name, data] : files) {
    archive_entry* e = archive_entry_new();
    archive_entry_set_pathname(e, name.c_str());
    archive_entry_set_size(e, static_cast<la_int64_t>(data.size()));
    archive_entry_set_filetype(e, AE_IFREG);
    archive_entry_set_perm(e, 0644);
    archive_write_header(a, e);
    archive_write_data(a, data.data(), data.size());
    archive_entry_free(e);
  }
  archive_write_close(a);
  archive_write_free(a);
}

std::string Sentence(int i) {
  return i % 2 ? "Съешь же ещё этих мягких французских булок, да выпей чаю " + std::to_string(i)
               : "The quick brown fox jumps over the lazy dog, number " + std::to_string(i);
}

std::string Rels(const std::vector<std::tuple<std::string, std::string, std::string>>& rels) {
  std::string out =
      "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
  for (const auto& [id, type, target] : rels)
    out += "<Relationship Id=\"" + id + "\" Type=\"" + kRel + "/" + type + "\" Target=\"" + target +
           "\"/>";
  return out + "</Relationships>";
}

Members OoxmlPackage(const std::string& main, const std::string& type, std::string mainXml) {
  return {{"[Content_Types].xml",
           "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
           "<Override PartName=\"/" +
               main + "\" ContentType=\"application/vnd.openxmlformats-officedocument." + type +
               ".main+xml\"/></Types>"},
          {"_rels/.rels", Rels({{"rId1", "officeDocument", main}})},
          {"docProps/core.xml",
           "<cp:coreProperties xmlns:cp=\"http://schemas.openxmlformats.org/package/2006/"
           "metadata/core-properties\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\">"
           "<dc:title>Отчёт</dc:title><dc:creator>Автор</dc:creator></cp:coreProperties>"},
          {main, std::move(mainXml)}};
}

std::string Docx(const std::string& folder, const std::string& name, int paragraphs) {
  std::string body;
  for (int i = 0; i < paragraphs; ++i)
    body += "<w:p><w:pPr><w:jc w:val=\"both\"/></w:pPr><w:r><w:rPr><w:b/></w:rPr><w:t>" +
            Sentence(i) + "</w:t></w:r><w:r><w:tab/><w:t xml:space=\"preserve\">" +
            Sentence(i + 1) + "</w:t></w:r></w:p>";
  const std::string path = folder + "/" + name;
  WriteZip(path, OoxmlPackage("word/document.xml", "wordprocessingml.document",
                              "<w:document xmlns:w=\"http://schemas.openxmlformats.org/"
                              "wordprocessingml/2006/main\"><w:body>" +
                                  body + "</w:body></w:document>"));
  return path;
}

std::string Xlsx(const std::string& folder, int rows) {
  const std::string s = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
  std::string shared = "<sst xmlns=\"" + s + "\">";
  for (int i = 0; i < 100; ++i) shared += "<si><t>" + Sentence(i) + "</t></si>";
  shared += "</sst>";
  Members files = OoxmlPackage("xl/workbook.xml", "spreadsheetml.sheet",
                               "<workbook xmlns=\"" + s + "\" xmlns:r=\"" + kRel +
                                   "\"><sheets><sheet name=\"a\" sheetId=\"1\" r:id=\"rId1\"/>"
                                   "<sheet name=\"b\" sheetId=\"2\" r:id=\"rId2\"/></sheets>"
                                   "</workbook>");
  files.emplace_back("xl/_rels/workbook.xml.rels",
                     Rels({{"rId1", "worksheet", "worksheets/sheet1.xml"},
                           {"rId2", "worksheet", "worksheets/sheet2.xml"},
                           {"rId3", "sharedStrings", "sharedStrings.xml"}}));
  files.emplace_back("xl/sharedStrings.xml", shared);
  for (const char* sheet : {"sheet1.xml", "sheet2.xml"}) {
    std::string data;
    for (int r = 1; r <= rows; ++r) {
      data += "<row r=\"" + std::to_string(r) + "\">";
      for (int c = 0; c < 6; ++c) {
        const std::string ref = std::string(1, char('A' + c)) + std::to_string(r);
        data +=
            c % 2 ? "<c r=\"" + ref + "\"><v>" + std::to_string(r * 7 + c) + ".25</v></c>"
                  : "<c r=\"" + ref + "\" t=\"s\"><v>" + std::to_string((r + c) % 100) + "</v></c>";
      }
      data += "</row>";
    }
    files.emplace_back(
        std::string("xl/worksheets/") + sheet,
        "<worksheet xmlns=\"" + s + "\"><sheetData>" + data + "</sheetData></worksheet>");
  }
  const std::string path = folder + "/book.xlsx";
  WriteZip(path, files);
  return path;
}

std::string Pptx(const std::string& folder, int slides) {
  const std::string p = "http://schemas.openxmlformats.org/presentationml/2006/main";
  const std::string a = "http://schemas.openxmlformats.org/drawingml/2006/main";
  std::string list;
  std::vector<std::tuple<std::string, std::string, std::string>> rels;
  Members parts;
  for (int i = 1; i <= slides; ++i) {
    const std::string id = "rId" + std::to_string(i);
    list += "<p:sldId id=\"" + std::to_string(255 + i) + "\" r:id=\"" + id + "\"/>";
    rels.emplace_back(id, "slide", "slides/slide" + std::to_string(i) + ".xml");
    std::string paragraphs;
    for (int k = 0; k < 6; ++k)
      paragraphs +=
          "<a:p><a:r><a:rPr lang=\"ru-RU\"/><a:t>" + Sentence(i * 6 + k) + "</a:t></a:r></a:p>";
    parts.emplace_back("ppt/slides/slide" + std::to_string(i) + ".xml",
                       "<p:sld xmlns:p=\"" + p + "\" xmlns:a=\"" + a +
                           "\"><p:cSld><p:spTree><p:sp><p:txBody>" + paragraphs +
                           "</p:txBody></p:sp></p:spTree></p:cSld></p:sld>");
  }
  Members files = OoxmlPackage("ppt/presentation.xml", "presentationml.presentation",
                               "<p:presentation xmlns:p=\"" + p + "\" xmlns:r=\"" + kRel +
                                   "\"><p:sldIdLst>" + list + "</p:sldIdLst></p:presentation>");
  files.emplace_back("ppt/_rels/presentation.xml.rels", Rels(rels));
  files.insert(files.end(), parts.begin(), parts.end());
  const std::string path = folder + "/slides.pptx";
  WriteZip(path, files);
  return path;
}

const std::string kOdfNs =
    " xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\""
    " xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\""
    " xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\""
    " xmlns:draw=\"urn:oasis:names:tc:opendocument:xmlns:drawing:1.0\""
    " xmlns:meta=\"urn:oasis:names:tc:opendocument:xmlns:meta:1.0\""
    " xmlns:dc=\"http://purl.org/dc/elements/1.1/\"";

std::string Odf(const std::string& folder, const std::string& name, const std::string& kind,
                const std::string& body) {
  const std::string path = folder + "/" + name;
  WriteZip(path, {{"mimetype", "application/vnd.oasis.opendocument." + kind},
                  {"META-INF/manifest.xml",
                   "<manifest:manifest xmlns:manifest=\"urn:oasis:names:tc:opendocument:xmlns:"
                   "manifest:1.0\"/>"},
                  {"content.xml",
                   "<office:document-content" + kOdfNs + "><office:body><office:" + kind + ">" +
                       body + "</office:" + kind + "></office:body></office:document-content>"},
                  {"meta.xml", "<office:document-meta" + kOdfNs +
                                   "><office:meta><dc:title>Отчёт</dc:title></office:meta>"
                                   "</office:document-meta>"}});
  return path;
}

std::string OdtBody(int paragraphs) {
  std::string body;
  for (int i = 0; i < paragraphs; ++i)
    body += "<text:p text:style-name=\"P1\">" + Sentence(i) +
            "<text:s text:c=\"2\"/><text:span text:style-name=\"T1\">" + Sentence(i + 1) +
            "</text:span><text:tab/></text:p>";
  return body;
}

std::string OdsBody(int rows) {
  std::string body;
  for (const char* sheet : {"a", "b"}) {
    body += std::string("<table:table table:name=\"") + sheet + "\">";
    for (int r = 0; r < rows; ++r) {
      body += "<table:table-row>";
      for (int c = 0; c < 6; ++c)
        body += c % 2 ? "<table:table-cell office:value-type=\"float\" office:value=\"" +
                            std::to_string(r * 7 + c) + ".25\"><text:p>" +
                            std::to_string(r * 7 + c) + ",25</text:p></table:table-cell>"
                      : "<table:table-cell office:value-type=\"string\"><text:p>" +
                            Sentence((r + c) % 100) + "</text:p></table:table-cell>";
      body += "<table:table-cell table:number-columns-repeated=\"1018\"/></table:table-row>";
    }
    body +=
        "<table:table-row table:number-rows-repeated=\"1048000\"><table:table-cell "
        "table:number-columns-repeated=\"1024\"/></table:table-row></table:table>";
  }
  return body;
}

std::string OdpBody(int slides) {
  std::string body;
  for (int i = 0; i < slides; ++i) {
    body += "<draw:page><draw:frame><draw:text-box>";
    for (int k = 0; k < 6; ++k) body += "<text:p>" + Sentence(i * 6 + k) + "</text:p>";
    body += "</draw:text-box></draw:frame></draw:page>";
  }
  return body;
}

struct Corpus {
  std::string folder;
  Corpus() {
    folder = (std::filesystem::temp_directory_path() / "zyl-packaged-bench-XXXXXX").string();
    if (mkdtemp(folder.data()) == nullptr) std::abort();
  }
  ~Corpus() {
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
  }
};

const Corpus& TheCorpus() {
  static const Corpus corpus;
  return corpus;
}

template <typename Read>
void ReadRepeatedly(benchmark::State& state, const std::string& path, Read read,
                    const char* expectedType) {
  const auto size = static_cast<std::int64_t>(zyl::base::FileSize(path).value_or(0));
  std::size_t textBytes = 0;
  for (auto _ : state) {
    FileInfo info = read(path);
    if (info.type != expectedType) {
      state.SkipWithError(("unexpected type " + info.type).c_str());
      break;
    }
    textBytes = info.content.size();
    benchmark::DoNotOptimize(info.content.data());
  }
  state.SetItemsProcessed(state.iterations());
  state.SetBytesProcessed(state.iterations() * size);
  state.counters["file_kB"] = static_cast<double>(size) / 1024;
  state.counters["text_kB"] = static_cast<double>(textBytes) / 1024;
}

void BM_Ooxml(benchmark::State& state, std::string name, std::string type) {
  const std::string& f = TheCorpus().folder;
  static const std::string docxSmall = Docx(f, "small.docx", 40);
  static const std::string docxLarge = Docx(f, "large.docx", 20000);
  static const std::string xlsx = Xlsx(f, 2000);
  static const std::string pptx = Pptx(f, 40);
  const std::string& path = name == "small.docx"   ? docxSmall
                            : name == "large.docx" ? docxLarge
                            : name == "book.xlsx"  ? xlsx
                                                   : pptx;
  ReadRepeatedly(state, path, GetOoxmlInfo, type.c_str());
}

void BM_OpenDocument(benchmark::State& state, std::string name, std::string type) {
  const std::string& f = TheCorpus().folder;
  static const std::string odtSmall = Odf(f, "small.odt", "text", OdtBody(40));
  static const std::string odtLarge = Odf(f, "large.odt", "text", OdtBody(20000));
  static const std::string ods = Odf(f, "book.ods", "spreadsheet", OdsBody(2000));
  static const std::string odp = Odf(f, "slides.odp", "presentation", OdpBody(40));
  const std::string& path = name == "small.odt"   ? odtSmall
                            : name == "large.odt" ? odtLarge
                            : name == "book.ods"  ? ods
                                                  : odp;
  ReadRepeatedly(state, path, GetOpenDocumentInfo, type.c_str());
}

BENCHMARK_CAPTURE(BM_Ooxml, small_docx, "small.docx", "docx");
BENCHMARK_CAPTURE(BM_Ooxml, large_docx, "large.docx", "docx");
BENCHMARK_CAPTURE(BM_Ooxml, xlsx, "book.xlsx", "xlsx");
BENCHMARK_CAPTURE(BM_Ooxml, pptx, "slides.pptx", "pptx");
BENCHMARK_CAPTURE(BM_OpenDocument, small_odt, "small.odt", "odt");
BENCHMARK_CAPTURE(BM_OpenDocument, large_odt, "large.odt", "odt");
BENCHMARK_CAPTURE(BM_OpenDocument, ods, "book.ods", "ods");
BENCHMARK_CAPTURE(BM_OpenDocument, odp, "slides.odp", "odp");

}  // namespace

BENCHMARK_MAIN();
