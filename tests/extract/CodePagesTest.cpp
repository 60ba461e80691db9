#include "extract/core/CodePages.h"

#include <gtest/gtest.h>
#include <unicode/ucnv.h>

#include <cstdio>
#include <optional>
#include <set>
#include <string>

#include "base/Cp1251.h"
#include "base/Utf8.h"
#include "extract/mail/Mail.h"

namespace zyl::extract {
namespace {

// Independent reference: ICU's converters for the standard code pages.
std::string IcuConvert(std::string_view bytes, const char* to, const char* from) {
  UErrorCode err = U_ZERO_ERROR;
  std::string out(bytes.size() * 4 + 16, '\0');
  const int32_t n = ucnv_convert(to, from, out.data(), static_cast<int32_t>(out.size()),
                                 bytes.data(), static_cast<int32_t>(bytes.size()), &err);
  EXPECT_TRUE(U_SUCCESS(err)) << u_errorName(err);
  out.resize(n);
  return out;
}
std::string Encode(std::string_view utf8, const char* codePage) {
  return IcuConvert(utf8, codePage, "UTF-8");
}
char32_t IcuChar(unsigned char byte, const char* codePage) {
  const std::string utf8 = IcuConvert(std::string(1, static_cast<char>(byte)), "UTF-8", codePage);
  std::size_t pos = 0;
  return base::DecodeUtf8At(utf8, pos);
}

// Ordinary prose with capitals and ё, repeated to a realistic sample size.
std::string Prose(int times = 20) {
  std::string s;
  for (int i = 0; i < times; ++i)
    s += "Отчет о работе отдела. Петров Алексей Иванович подготовил таблицу товаров, "
         "а Мария Сергеевна проверила расчеты и подписала документ. ";
  return s;
}

TEST(CodePageTables, Koi8LettersFollowTheStandardAndTheTableIsOneToOne) {
  std::set<int> seen;
  for (int b = 0x80; b <= 0xFF; ++b) seen.insert(Koi8ToWin(static_cast<unsigned char>(b)));
  EXPECT_EQ(seen.size(), 128u);
  for (int b = 0xC0; b <= 0xFF; ++b)
    EXPECT_EQ(base::Cp1251ToUnicode(Koi8ToWin(static_cast<unsigned char>(b))),
              IcuChar(static_cast<unsigned char>(b), "koi8-r"))
        << std::hex << b;
  EXPECT_EQ(Koi8ToWin(0xA3), 0xB8);  // ё
  EXPECT_EQ(Koi8ToWin(0xB3), 0xA8);  // Ё
}

TEST(CodePageTables, IsoFollowsTheStandardExceptSectionSignAndControls) {
  for (int b = 0x80; b <= 0xFF; ++b) {
    const auto byte = static_cast<unsigned char>(b);
    if (b < 0xA0 || b == 0xFD) {
      EXPECT_EQ(IsoToWin(byte), '?') << std::hex << b;
    } else {
      EXPECT_EQ(base::Cp1251ToUnicode(IsoToWin(byte)), IcuChar(byte, "iso-8859-5"))
          << std::hex << b;
    }
  }
  EXPECT_EQ(RecodeToWin("a\xFD\x85z", SourceCodePage::Iso8859_5), "a??z");
}

TEST(CodePageTables, DosKeepsEveryCharacterWindows1251HasAndApproximatesTheRest) {
  for (int b = 0x80; b <= 0xFF; ++b) {
    const auto byte = static_cast<unsigned char>(b);
    const int exact = base::UnicodeToCp1251(IcuChar(byte, "ibm-866"));
    if (exact >= 0) {
      EXPECT_EQ(DosCharToWin(byte), exact) << std::hex << b;
    } else {
      const unsigned char fit = DosCharToWin(byte);
      EXPECT_TRUE((fit >= 0x21 && fit < 0x7F) || fit == 0xB7) << std::hex << b;
    }
  }
  EXPECT_EQ(DosToWin("\xDA\xC4\xBF\xB3 \xC0\xC4\xD9"), "+-+| +-+");
  EXPECT_EQ(base::Cp1251ToUtf8(DosToWin(Encode("Привет, мир!", "ibm-866"))), "Привет, мир!");
}

// What a short file or a first line holds: about 30 bytes in a single-byte code page.
const std::string kShort = "Съешь же ещё этих мягких булок";

TEST(DetectCodePage, RecognisesShortAndLongRussianTextInEveryCodePage) {
  for (const std::string& text : {kShort, Prose(1), Prose(40)}) {
    const std::string size = std::to_string(text.size()) + " bytes";
    EXPECT_EQ(DetectCodePage(text), CodePage::Utf8) << size;
    EXPECT_EQ(DetectCodePage(Encode(text, "windows-1251")), CodePage::Win) << size;
    EXPECT_EQ(DetectCodePage(Encode(text, "koi8-r")), CodePage::Koi) << size;
    EXPECT_EQ(DetectCodePage(Encode(text, "ibm-866")), CodePage::Dos) << size;
    EXPECT_EQ(DetectCodePage(Encode(text, "iso-8859-5")), CodePage::Iso) << size;
    EXPECT_EQ(DetectCodePage(Encode(text, "x-mac-cyrillic")), CodePage::Mac) << size;
    EXPECT_EQ(DetectCodePage("\xFF\xFE" + Encode(text, "UTF-16LE")), CodePage::Unicode) << size;
    EXPECT_EQ(DetectCodePage(Encode(text, "UTF-16LE")), CodePage::Unicode) << size;
    EXPECT_EQ(DetectCodePage("\xFE\xFF" + Encode(text, "UTF-16BE")), CodePage::UnicodeBe) << size;
    EXPECT_EQ(DetectCodePage(Encode(text, "UTF-16BE")), CodePage::UnicodeBe) << size;
  }
  // The verdict texts the callers know stay as they were.
  EXPECT_EQ(CodePageName(DetectCodePage(Encode(kShort, "koi8-r"))), "koi");
  EXPECT_EQ(CodePageName(DetectCodePage(Encode(kShort, "ibm-866"))), "dos");
  EXPECT_EQ(CodePageName(DetectCodePage(Encode(kShort, "iso-8859-5"))), "iso");
  EXPECT_EQ(CodePageName(DetectCodePage(Encode(kShort, "UTF-16LE"))), "unicode");
  EXPECT_EQ(CodePageName(DetectCodePage(Encode(kShort, "UTF-16BE"))), "unicodebe");
  EXPECT_EQ(CodePageName(DetectCodePage(Encode(kShort, "x-mac-cyrillic"))), "mac");
}

TEST(DetectCodePage, Windows1251WithYoQuotesAndDashesIsNeverTakenForAnotherCodePage) {
  // Two ё (0xB8), « » (0xAB 0xBB), curly apostrophes (0x92) and dashes (0x97) made the byte
  // counts answer ISO-8859-5 or CP866 and garble the whole text.
  for (const std::string text : {
           "Ёлка, ещё ёжик и её котёнок.",
           "Он сказал: «Приходи завтра», и ушёл.",
           "«Ёж» — журнал; «Чиж» — тоже. Всё её.",
           "It’s John’s report — «Отчёт за 2003 год» и ещё «Планы».",
       }) {
    const std::string win = Encode(text, "windows-1251");
    EXPECT_EQ(DetectCodePage(win), CodePage::Win) << text;
    EXPECT_EQ(AutoRecode(win), text);
  }
}

TEST(DetectCodePage, EnglishAndAsciiStayWindows1251) {
  EXPECT_EQ(DetectCodePage("plain ASCII text, nothing more"), CodePage::Win);
  EXPECT_EQ(DetectCodePage(""), CodePage::Win);
  // Typeset English: the only bytes above 127 are quotes, dashes, ©, ™ and the ellipsis.
  const std::string english =
      "“Don’t panic,” she said — it’s only a test… © 2003 ACME™ Corp. – all rights reserved.";
  const std::string win = Encode(english, "windows-1251");
  EXPECT_EQ(DetectCodePage(win), CodePage::Win);
  EXPECT_EQ(AutoRecode(win), english);
  EXPECT_EQ(AutoRecode("ASCII only\r\n"), "ASCII only\r\n");
}

TEST(DetectCodePage, MixedRussianAndEnglishText) {
  const std::string mixed =
      "Сервер Apache (версия 2.4) читает файл httpd.conf при запуске; the ServerName directive "
      "sets the host name. Перезапустите службу командой systemctl restart apache2.";
  for (const char* cp : {"windows-1251", "koi8-r", "ibm-866", "iso-8859-5", "x-mac-cyrillic"})
    EXPECT_EQ(AutoRecode(Encode(mixed, cp)), mixed) << cp;
}

TEST(DetectCodePage, DosTableDrawnWithBoxCharactersIsStillDos) {
  const std::string table =
      "╔════════════╦════════════╗\r\n"
      "║ Товар      ║ Цена       ║\r\n"
      "╠════════════╬════════════╣\r\n"
      "║ Молоко     ║ 12 руб.    ║\r\n"
      "║ Хлеб       ║ 8 руб.     ║\r\n"
      "╚════════════╩════════════╝\r\n";
  EXPECT_EQ(DetectCodePage(Encode(table, "ibm-866")), CodePage::Dos);
}

TEST(DetectCodePage, Utf16MarkNeedsUtf16BehindIt) {
  // "яю" opens Windows-1251 text with the bytes of a UTF-16 little-endian mark.
  const std::string win = Encode("яю акселерацию на счастливое детство!", "windows-1251");
  EXPECT_EQ(DetectCodePage(win), CodePage::Win);
  EXPECT_EQ(DetectCodePage(std::string("\xFF\xFE"
                                       "A\x00",
                                       4)),
            CodePage::Unicode);
  EXPECT_EQ(DetectCodePage("\xFF\xFE"), CodePage::Unicode);
  // Zero bytes at random places (a binary file) are not UTF-16.
  EXPECT_EQ(Utf16BigEndianWithoutMark(std::string("\x00\x00\x00\x00\x01\x02\x00\x00", 8)),
            std::nullopt);
  EXPECT_EQ(Utf16BigEndianWithoutMark(Encode("Hello, world", "UTF-16LE")), false);
  EXPECT_EQ(Utf16BigEndianWithoutMark(Encode("Привет, мир", "UTF-16BE")), true);
  EXPECT_EQ(Utf16BigEndianWithoutMark("ab"), std::nullopt);
  // Blanks are the high byte of dashes and quotes, but a text of blanks is not UTF-16.
  EXPECT_EQ(Utf16BigEndianWithoutMark(std::string(64, ' ')), std::nullopt);
  EXPECT_EQ(DetectCodePage(Encode("т е к с т   в р а з р я д к у", "windows-1251")), CodePage::Win);
  // Dashes, quotes and № (high bytes 0x20, 0x21) in a short UTF-16 text.
  EXPECT_EQ(Utf16BigEndianWithoutMark(Encode("«Да» — №5 “ok”…", "UTF-16LE")), false);
}

TEST(DetectCodePage, SampleCutInsideAUtf8SequenceIsStillUtf8) {
  const std::string text = "ж";
  // A lone lead byte may as well be a single-byte letter.
  EXPECT_NE(DetectCodePage("abc" + text.substr(0, 1)), CodePage::Utf8);
  EXPECT_EQ(DetectCodePage("я abc" + text.substr(0, 1)), CodePage::Utf8);
  const std::string three = "€";
  EXPECT_EQ(DetectCodePage("я" + three.substr(0, 2)), CodePage::Utf8);
  EXPECT_EQ(DetectCodePage("plain text " + three.substr(0, 2)), CodePage::Utf8);
  EXPECT_NE(DetectCodePage("я\xFF"), CodePage::Utf8);
}

TEST(AutoRecode, GivesTheSameTextFromEveryCodePageAndDropsTheMark) {
  for (const std::string& text : {kShort, Prose()}) {
    for (const char* cp : {"windows-1251", "koi8-r", "ibm-866", "iso-8859-5", "x-mac-cyrillic",
                           "UTF-16LE", "UTF-16BE"})
      EXPECT_TRUE(AutoRecode(Encode(text, cp)) == text) << cp;
    EXPECT_TRUE(AutoRecode(text) == text);
    EXPECT_TRUE(AutoRecode("\xEF\xBB\xBF" + text) == text);
    EXPECT_TRUE(AutoRecode("\xFF\xFE" + Encode(text, "UTF-16LE")) == text);
    EXPECT_TRUE(AutoRecode("\xFE\xFF" + Encode(text, "UTF-16BE")) == text);
  }
  // A text that is UTF-8 as a whole stays UTF-8 when its sample ends in the first letter's
  // lead byte.
  const std::string late = std::string(2999, 'a') + "ж";
  EXPECT_TRUE(AutoRecode(late) == late);
}

TEST(MacCyrillicToUtf8, FollowsTheStandardTable) {
  std::string all;
  for (int b = 0x80; b <= 0xFF; ++b) all.push_back(static_cast<char>(b));
  EXPECT_EQ(MacCyrillicToUtf8(all), IcuConvert(all, "UTF-8", "x-mac-cyrillic"));
  EXPECT_EQ(MacCyrillicToUtf8("a\x80\xDF"), "aАя");
}

TEST(AutoRecode, DetectsOnTheFirst3000BytesButConvertsEverything) {
  std::string koi = Encode(Prose(30), "koi8-r").substr(0, 3000);
  // After the sample: bytes that on their own would read as CP866.
  const std::string tail = "\x80\x80\x80\x8E\x8F";
  const std::string out = AutoRecode(koi + tail);
  EXPECT_TRUE(out == base::Cp1251ToUtf8(RecodeToWin(koi + tail, SourceCodePage::Koi8R)));
  EXPECT_TRUE(out.ends_with("”””\u00AD®"));  // 0x80 -> 0x94, 0x8E -> 0xAD, 0x8F -> 0xAE
}

TEST(AutoRecode, KeepsUtf8WholeAndRepairsBadBytesAfterTheSample) {
  // A long ASCII preamble hides the UTF-8 from the sample; the text is still UTF-8.
  const std::string late = std::string(4000, 'a') + "яблоко";
  EXPECT_TRUE(AutoRecode(late) == late);
  // The sample ends inside the second "я"; a bad byte after it becomes U+FFFD.
  const std::string text = "я" + std::string(2997, 'a') + "яблоко";
  EXPECT_EQ(DetectCodePage(std::string_view(text).substr(0, 3000)), CodePage::Utf8);
  EXPECT_TRUE(AutoRecode(text + "\xFF!") == text + "\xEF\xBF\xBD!");
  EXPECT_TRUE(base::IsValidUtf8(AutoRecode(text + "\xC3")));
}

TEST(AutoRecode, Utf16DropsTheMarkAndKeepsWhatWindows1251Lacks) {
  const std::string text = "Цена: 5 € — 日本";
  EXPECT_EQ(AutoRecode("\xFF\xFE" + Encode(text, "UTF-16LE")), text);
  // Odd trailing byte and a lone surrogate do not break the text.
  const std::string odd = "\xFF\xFE" + Encode("abc", "UTF-16LE") + std::string("\x00\xD8\x41", 3);
  EXPECT_EQ(AutoRecode(odd), "abc\xEF\xBF\xBD");
  EXPECT_EQ(Utf16ToUtf8(Encode("Ж😀", "UTF-16BE"), true), "Ж😀");
}

TEST(AutoRecode, ReadsKoi8MailBodiesThatDeclareNoCharset) {
  const std::string text = "Привет! Отчет за квартал пришлю завтра утром.";
  const std::string koi = Encode(text, "koi8-r");
  EXPECT_EQ(GetMailBody("Subject: x\r\nContent-Type: text/plain\r\n\r\n" + koi), text);
  EXPECT_EQ(GetMailBody("Subject: x\n\n" + koi), text);  // no Content-Type at all
  std::string quoted;
  for (const char c : koi) {
    char hex[4];
    std::snprintf(hex, sizeof hex, "=%02X", static_cast<unsigned char>(c));
    quoted += static_cast<unsigned char>(c) < 0x80 ? std::string(1, c) : std::string(hex);
  }
  EXPECT_EQ(
      GetMailBody("Content-Type: text/plain\nContent-Transfer-Encoding: quoted-printable\n\n" +
                  quoted),
      text);
}

}  // namespace
}  // namespace zyl::extract
