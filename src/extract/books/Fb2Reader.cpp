#include "extract/books/Fb2Reader.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/Paths.h"
#include "base/Strings.h"
#include "base/Utf8.h"
#include "extract/TextLimit.h"
#include "extract/books/BookText.h"
#include "extract/container/XmlText.h"
#include "extract/container/ZipPackage.h"
#include "extract/core/Charsets.h"
#include "extract/core/CodePages.h"
#include "extract/html/HtmlEntities.h"

namespace zyl::extract {

namespace {

// How much of the book's start is kept to tell its code page when its declaration proves wrong.
constexpr std::size_t kSampleBytes = 64 * 1024;

// Elements whose end ends a line of the book's text.
bool IsBlock(std::string_view name) {
  static constexpr std::string_view kBlocks[] = {
      "p",      "v",    "subtitle", "title", "text-author", "empty-line", "section",
      "stanza", "poem", "epigraph", "cite",  "annotation",  "tr",         "date"};
  for (const std::string_view b : kBlocks)
    if (name == b) return true;
  return false;
}

struct Author {
  std::string first, middle, last, nickname;
};

class Fb2Handler : public XmlHandler {
 public:
  Fb2Handler() : text_(MaxTextBytes()) {}
  void SetParser(XmlParser* parser) { parser_ = parser; }

  void StartElement(const XmlName& name, std::span<const XmlAttribute>) override {
    stack_.emplace_back(name.local);
    const std::size_t depth = stack_.size();
    if (depth == 2 && name.local == "body") sawBody_ = true;
    // Images follow the bodies: once one starts, the text is complete.
    if (depth == 2 && name.local == "binary" && sawBody_) parser_->Stop();
    if (depth == 4 && InTitleInfo() && name.local == "author") authors_.emplace_back();
  }

  void EndElement(const XmlName& name) override {
    if (InBody() && IsBlock(name.local)) text_.EndBlock();
    if (!stack_.empty()) stack_.pop_back();
  }

  void Text(std::string_view piece) override {
    if (InBody()) {
      text_.Add(piece);
      if (text_.full()) parser_->Stop();
      return;
    }
    if (!InTitleInfo() || stack_.size() < 4) return;
    if (stack_.size() == 4 && stack_[3] == "book-title") {
      AddToField(title_, piece);
    } else if (stack_.size() == 5 && stack_[3] == "author" && !authors_.empty()) {
      Author& a = authors_.back();
      const std::string& part = stack_[4];
      if (part == "first-name") AddToField(a.first, piece);
      if (part == "middle-name") AddToField(a.middle, piece);
      if (part == "last-name") AddToField(a.last, piece);
      if (part == "nickname") AddToField(a.nickname, piece);
    }
  }

  void SkippedEntity(std::string_view name) override {
    // A book that names an outside document type may use its entities (&nbsp;, &mdash;).
    if (InBody()) text_.Add(DecodeHtmlEntities("&" + std::string(name) + ";"));
  }

  FileInfo Result() {
    FileInfo info;
    info.textCut = text_.full();
    info.content = text_.Take();
    info.title = CollapseBlanks(title_);
    std::string authors;
    for (const Author& a : authors_) {
      std::string name = CollapseBlanks(a.first + " " + a.middle + " " + a.last);
      if (name.empty()) name = CollapseBlanks(a.nickname);
      if (name.empty()) continue;
      if (!authors.empty()) authors += ", ";
      authors += name;
    }
    info.author = std::move(authors);
    info.type = "fb2";
    return info;
  }

 private:
  // FictionBook/description/title-info/...; the root's own name is not checked, so that a book
  // with a misspelt root is still read.
  bool InTitleInfo() const {
    return stack_.size() >= 3 && stack_[1] == "description" && stack_[2] == "title-info";
  }
  bool InBody() const { return stack_.size() >= 2 && stack_[1] == "body"; }

  XmlParser* parser_ = nullptr;
  std::vector<std::string> stack_;
  BookText text_;
  std::string title_;
  std::vector<Author> authors_;
  bool sawBody_ = false;
};

// Hands the book's bytes to `feed` piece by piece until it returns false.
using Feeder = std::function<bool(std::string_view)>;

struct Source {
  std::string path;
  std::unique_ptr<ZipPackage> zip;  // set for a zipped book
  std::string member;
};

// True when the book was read to its end or `feed` stopped; false when it could not be read.
bool ReadSource(Source& source, const Feeder& feed, FileInfo& failure) {
  if (source.zip) {
    const ZipError e = source.zip->ReadMember(source.member, feed);
    failure.passwordRequired = e == ZipError::Encrypted;
    return e == ZipError::None;
  }
  const int fd = ::open(source.path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  constexpr std::size_t kChunk = 256 * 1024;
  const auto chunk = std::make_unique_for_overwrite<char[]>(kChunk);
  bool ok = true;
  while (true) {
    const ssize_t n = ::read(fd, chunk.get(), kChunk);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) ok = false;
    if (n <= 0) break;
    if (!feed(std::string_view(chunk.get(), static_cast<std::size_t>(n)))) break;
  }
  ::close(fd);
  return ok;
}

// The encoding named by the XML declaration at the start of the sample, lower-case; "" when
// there is no declaration or it names none.
std::string DeclaredEncoding(std::string_view sample) {
  if (!sample.starts_with("<?xml") && !sample.starts_with("\xEF\xBB\xBF<?xml")) return {};
  const std::string_view decl = sample.substr(0, sample.find("?>"));
  const std::size_t at = decl.find("encoding");
  if (at == std::string_view::npos) return {};
  const std::size_t open = decl.find_first_of("\"'", at);
  if (open == std::string_view::npos) return {};
  const std::size_t close = decl.find(decl[open], open + 1);
  if (close == std::string_view::npos) return {};
  return base::AsciiLower(decl.substr(open + 1, close - open - 1));
}

// The charset name of a single-byte code page the detector may find; "" for the others.
std::string_view SingleByteCharset(CodePage cp) {
  switch (cp) {
    case CodePage::Win:
      return "windows-1251";
    case CodePage::Koi:
      return "koi8-r";
    case CodePage::Dos:
      return "ibm866";
    case CodePage::Iso:
      return "iso-8859-5";
    case CodePage::Mac:
      return "x-mac-cyrillic";
    default:
      return {};
  }
}

enum class Pass { Done, Failed, Refused, Unreadable };

// What the first reading keeps to tell the book's code page: its head (for the declaration)
// and its bytes from the first one above 127 on (a long Latin preamble would tell nothing).
struct Sample {
  std::string head;
  std::string text;

  void Add(std::string_view piece) {
    if (head.size() < 1024) head.append(piece.substr(0, 1024 - head.size()));
    if (text.empty()) {
      std::size_t i = 0;
      while (i < piece.size() && static_cast<unsigned char>(piece[i]) < 0x80) ++i;
      piece.remove_prefix(i);
    }
    if (text.size() < kSampleBytes) text.append(piece.substr(0, kSampleBytes - text.size()));
  }
};

// One parse of the book; every piece goes through `recode` first when it is set. `sample`
// receives what tells the book's code page.
Pass Parse(Source& source, const std::function<std::string(std::string_view)>& recode,
           Sample* sample, FileInfo& out) {
  Fb2Handler handler;
  XmlParser parser(handler);
  handler.SetParser(&parser);
  const bool read = ReadSource(
      source,
      [&](std::string_view piece) {
        if (sample) sample->Add(piece);
        return recode ? parser.Feed(recode(piece)) : parser.Feed(piece);
      },
      out);
  if (parser.error() == XmlError::None) parser.Finish();
  switch (parser.error()) {
    case XmlError::None:
    case XmlError::Stopped:
      break;
    case XmlError::EntityRefused:
      return Pass::Refused;
    case XmlError::Malformed:
      return Pass::Failed;
  }
  if (!read && parser.error() != XmlError::Stopped) return Pass::Unreadable;
  out = handler.Result();
  return Pass::Done;
}

// Opens the book: the file itself, or the .fb2 member of a zip. False with `failure` filled
// when it cannot be read.
bool OpenSource(std::string_view path, Source& source, FileInfo& failure) {
  source.path = std::string(path);
  const auto head = base::ReadFileBytes(path, 4);
  if (!head) return false;
  if (*head != std::string_view("PK\x03\x04", 4)) return true;
  source.zip = std::make_unique<ZipPackage>(ZipPackage::OpenFile(path));
  if (!source.zip->ok()) {
    failure.passwordRequired = source.zip->error() == ZipError::Encrypted;
    return false;
  }
  const std::vector<std::string>& members = source.zip->Members();
  for (const std::string& m : members) {
    if (base::AsciiLower(base::Right(m, 4)) == ".fb2") {
      source.member = m;
      break;
    }
  }
  if (source.member.empty() && members.size() == 1) source.member = members.front();
  if (source.member.empty()) return false;
  failure.passwordRequired = source.zip->HasEncryptedMembers();
  return !failure.passwordRequired;
}

FileInfo ReadFb2(std::string_view path) {
  FileInfo failure = ErrorInfo();
  Source source;
  if (!OpenSource(path, source, failure)) return failure;
  FileInfo info;
  Sample sample;
  const Pass first = Parse(source, nullptr, &sample, info);
  if (first == Pass::Done) return info;
  if (first != Pass::Failed) {
    failure.passwordRequired = info.passwordRequired;
    return failure;
  }
  // Books converted by careless tools claim UTF-8 (or claim nothing, which means UTF-8) while
  // their bytes are Windows-1251 or another Cyrillic code page. Only then is a second reading
  // worth it; a book that fails in its declared encoding is damaged.
  const std::string declared = DeclaredEncoding(sample.head);
  if (!declared.empty() && declared != "utf-8" && declared != "utf8") return failure;
  TrimPartialCharacter(sample.text);
  if (base::IsValidUtf8(sample.text)) return failure;
  const std::string_view charset = SingleByteCharset(DetectCodePage(sample.text));
  if (charset.empty()) return failure;
  if (source.zip) source.zip = std::make_unique<ZipPackage>(ZipPackage::OpenFile(path));
  const auto recode = [charset](std::string_view piece) {
    // A single-byte code page recodes piece by piece: no character spans two pieces.
    return RecodeCharset(piece, charset).value_or(std::string());
  };
  if (Parse(source, recode, nullptr, info) == Pass::Done) return info;
  return failure;
}

}  // namespace

FileInfo GetFb2Info(std::string_view path) {
  try {
    return ReadFb2(path);
  } catch (...) {
    // Out of memory on a hostile book is a failed document, never a failed run.
    return ErrorInfo();
  }
}

}  // namespace zyl::extract
