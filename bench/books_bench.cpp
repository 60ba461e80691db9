// Throughput of the book and saved-mail readers on one core: files per second and megabytes per
// second over generated documents of typical sizes, read again and again. The documents are
// written once into a scratch folder under /tmp:
//   fb2: a novel of about 1 MB of UTF-8 text with a 300 KB cover image; the same in
//        Windows-1251; the same zipped (.fb2.zip); the Windows-1251 bytes declared UTF-8, which
//        is read twice (the second time in the detected code page);
//   epub: 40 chapters of about 25 KB of XHTML each;
//   eml: a 4 KB letter, and a letter with a 300 KB base64 attachment;
//   maildir: a folder of 2,000 such 4 KB letters in cur/ and new/, found by the build's Maildir
//        search and read through GetFileInfo, as a build does on one thread.
//   ./bench/books_bench [--benchmark_filter=...]
#include <benchmark/benchmark.h>
#include <unicode/ucnv.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "../tests/support/ZipWriter.h"
#include "base/Paths.h"
#include "extract/GetFileInfo.h"
#include "extract/books/EpubReader.h"
#include "extract/books/Fb2Reader.h"
#include "extract/mail/EmlReader.h"
#include "indexer/MaildirCollection.h"

namespace {

using namespace zyl::extract;

std::string Folder() {
  static const std::string folder = [] {
    const std::string f = (std::filesystem::temp_directory_path() / "zyl-books-bench").string();
    std::filesystem::create_directories(f);
    return f;
  }();
  return folder;
}

std::string Write(const std::string& name, const std::string& bytes) {
  const std::string path = Folder() + "/" + name;
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
  return path;
}

std::string ToCp1251(const std::string& utf8) {
  UErrorCode err = U_ZERO_ERROR;
  std::string out(utf8.size() + 16, '\0');
  const int32_t n =
      ucnv_convert("windows-1251", "UTF-8", out.data(), static_cast<int32_t>(out.size()),
                   utf8.data(), static_cast<int32_t>(utf8.size()), &err);
  out.resize(n);
  return out;
}

// Prose-like paragraphs, Russian with some Latin.
std::string Paragraph(int i) {
  static const char* const kWords[] = {"Князь", "Андрей", "смотрел", "на",  "небо", "и",    "думал",
                                       "о",     "том",    "что",     "всё", "mon",  "cher", "было"};
  std::string p;
  for (int w = 0; w < 60; ++w) p += std::string(kWords[(i * 7 + w * 3) % 14]) + " ";
  return p;
}

std::string Base64Block(std::size_t bytes) {
  std::string out;
  static const char kAlphabet[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  for (std::size_t i = 0; i < bytes; ++i) {
    out += kAlphabet[(i * 31 + i / 7) % 64];
    if (i % 76 == 75) out += '\n';
  }
  return out;
}

std::string Fb2Book(const std::string& encoding) {
  std::string b = "<?xml version=\"1.0\" encoding=\"" + encoding +
                  "\"?>\n<FictionBook xmlns=\"http://www.gribuser.ru/xml/fictionbook/2.0\">"
                  "<description><title-info><author><first-name>Лев</first-name>"
                  "<last-name>Толстой</last-name></author><book-title>Война и мир</book-title>"
                  "</title-info></description><body>";
  for (int s = 0; s < 40; ++s) {
    b += "<section><title><p>Глава " + std::to_string(s) + "</p></title>";
    for (int p = 0; p < 60; ++p) b += "<p>" + Paragraph(s * 60 + p) + "</p>\n";
    b += "</section>";
  }
  b += "</body><binary id=\"cover.jpg\" content-type=\"image/jpeg\">" + Base64Block(300000) +
       "</binary></FictionBook>\n";
  return b;
}

const std::string& Fb2Path() {
  static const std::string p = Write("novel.fb2", Fb2Book("utf-8"));
  return p;
}
const std::string& Fb2Cp1251Path() {
  static const std::string p = Write("novel1251.fb2", ToCp1251(Fb2Book("windows-1251")));
  return p;
}
const std::string& Fb2MislabelledPath() {
  static const std::string p = Write("mislabelled.fb2", ToCp1251(Fb2Book("utf-8")));
  return p;
}
const std::string& Fb2ZipPath() {
  static const std::string p = [] {
    const std::string path = Folder() + "/novel.fb2.zip";
    zyl::test::WriteZip(path, {{"novel.fb2", Fb2Book("utf-8")}});
    return path;
  }();
  return p;
}

const std::string& EpubPath() {
  static const std::string p = [] {
    std::vector<std::pair<std::string, std::string>> members = {
        {"mimetype", "application/epub+zip"},
        {"META-INF/container.xml",
         "<?xml version=\"1.0\"?><container version=\"1.0\" "
         "xmlns=\"urn:oasis:names:tc:opendocument:xmlns:container\"><rootfiles><rootfile "
         "full-path=\"OEBPS/content.opf\" media-type=\"application/oebps-package+xml\"/>"
         "</rootfiles></container>"}};
    std::string manifest, spine;
    for (int c = 0; c < 40; ++c) {
      const std::string id = "c" + std::to_string(c);
      manifest += "<item id=\"" + id + "\" href=\"text/" + id +
                  ".xhtml\" media-type=\"application/xhtml+xml\"/>";
      spine += "<itemref idref=\"" + id + "\"/>";
      std::string chapter =
          "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<html "
          "xmlns=\"http://www.w3.org/1999/xhtml\"><head><title>Глава</title></"
          "head><body><h1>Глава " +
          std::to_string(c) + "</h1>";
      for (int p = 0; p < 40; ++p) chapter += "<p class=\"t\">" + Paragraph(c * 40 + p) + "</p>\n";
      chapter += "</body></html>";
      members.emplace_back("OEBPS/text/" + id + ".xhtml", chapter);
    }
    members.emplace_back(
        "OEBPS/content.opf",
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><package xmlns=\"http://www.idpf.org/2007/opf\" "
        "version=\"3.0\"><metadata xmlns:dc=\"http://purl.org/dc/elements/1.1/\"><dc:title>Война "
        "и мир</dc:title><dc:creator>Лев Толстой</dc:creator></metadata><manifest>" +
            manifest + "</manifest><spine>" + spine + "</spine></package>");
    const std::string path = Folder() + "/novel.epub";
    zyl::test::WriteZip(path, members);
    return path;
  }();
  return p;
}

std::string Letter(bool attachment) {
  std::string m =
      "From: =?koi8-r?B?4c7OwQ==?= <ann@example.com>\r\nTo: bob@example.com\r\n"
      "Subject: =?utf-8?B?0J7RgtGH0ZHRgg==?=\r\nDate: Mon, 2 Dec 2002 10:20:30 +0300\r\n"
      "Message-ID: <1@example.com>\r\nMIME-Version: 1.0\r\n"
      "Content-Type: multipart/mixed; boundary=\"b1\"\r\n\r\n--b1\r\n"
      "Content-Type: text/plain; charset=utf-8\r\nContent-Transfer-Encoding: 8bit\r\n\r\n";
  for (int p = 0; p < 8; ++p) m += Paragraph(p) + "\r\n";
  if (attachment)
    m += "--b1\r\nContent-Type: application/pdf\r\nContent-Transfer-Encoding: base64\r\n\r\n" +
         Base64Block(300000) + "\r\n";
  return m + "--b1--\r\n";
}

const std::string& EmlPath() {
  static const std::string p = Write("letter.eml", Letter(false));
  return p;
}
const std::string& EmlAttachmentPath() {
  static const std::string p = Write("attachment.eml", Letter(true));
  return p;
}

const std::string& MaildirPath() {
  static const std::string p = [] {
    const std::string root = Folder() + "/Maildir";
    for (const char* sub : {"/cur", "/new", "/tmp"})
      std::filesystem::create_directories(root + sub);
    for (int i = 0; i < 2000; ++i)
      Write("Maildir/" + std::string(i % 4 ? "cur/" : "new/") + std::to_string(i) + ".bench:2,S",
            Letter(false));
    return root;
  }();
  return p;
}

template <typename Read>
void Repeatedly(benchmark::State& state, const std::string& path, Read read, const char* type) {
  const auto size = static_cast<std::int64_t>(zyl::base::FileSize(path).value_or(0));
  for (auto _ : state) {
    FileInfo info = read(path);
    if (info.type != type) {
      state.SkipWithError(("unexpected type " + info.type).c_str());
      break;
    }
    benchmark::DoNotOptimize(info.content.data());
  }
  state.SetItemsProcessed(state.iterations());
  state.SetBytesProcessed(state.iterations() * size);
}

void BM_Fb2Utf8(benchmark::State& s) {
  Repeatedly(s, Fb2Path(), GetFb2Info, "fb2");
}
void BM_Fb2Cp1251(benchmark::State& s) {
  Repeatedly(s, Fb2Cp1251Path(), GetFb2Info, "fb2");
}
void BM_Fb2Mislabelled(benchmark::State& s) {
  Repeatedly(s, Fb2MislabelledPath(), GetFb2Info, "fb2");
}
void BM_Fb2Zip(benchmark::State& s) {
  Repeatedly(s, Fb2ZipPath(), GetFb2Info, "fb2");
}
void BM_Epub(benchmark::State& s) {
  Repeatedly(s, EpubPath(), GetEpubInfo, "epub");
}
void BM_Eml(benchmark::State& s) {
  Repeatedly(s, EmlPath(), GetEmlInfo, "eml");
}
void BM_EmlAttachment(benchmark::State& s) {
  Repeatedly(s, EmlAttachmentPath(), GetEmlInfo, "eml");
}

void BM_MaildirFolder(benchmark::State& state) {
  const std::vector<zyl::catalog::IndexFolderEntry> folders = {{MaildirPath(), true}};
  std::int64_t messages = 0;
  for (auto _ : state) {
    std::vector<std::string> files;
    zyl::indexer::AppendMaildirMessages(files, folders);
    for (const std::string& f : files) {
      FileInfo info = GetFileInfo(f);
      if (info.type != "maildir") {
        state.SkipWithError(("unexpected type " + info.type).c_str());
        return;
      }
      benchmark::DoNotOptimize(info.content.data());
    }
    messages += static_cast<std::int64_t>(files.size());
  }
  state.SetItemsProcessed(messages);
}

BENCHMARK(BM_Fb2Utf8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Fb2Cp1251)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Fb2Mislabelled)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Fb2Zip)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Epub)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Eml)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EmlAttachment)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MaildirFolder)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
