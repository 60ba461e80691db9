#include "extract/CodePages.h"

#include <gtest/gtest.h>
#include <unicode/ucnv.h>

#include <set>
#include <string>

#include "base/Cp1251.h"
#include "base/Utf8.h"

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
  EXPECT_EQ(Koi8ToWin(0x9C), 0xB6);
  EXPECT_EQ(Koi8ToWin(0x80), 0x94);
  EXPECT_EQ(Koi8ToWin(0xBF), 0xBD);
  EXPECT_EQ(Koi8ToWin('A'), 'A');
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

TEST(DetectCodePage, RecognisesRussianProseInEveryCodePage) {
  const std::string prose = Prose();
  EXPECT_EQ(DetectCodePage(prose), CodePage::Utf8);
  EXPECT_EQ(DetectCodePage(Encode(prose, "windows-1251")), CodePage::Win);
  EXPECT_EQ(DetectCodePage(Encode(prose, "koi8-r")), CodePage::Koi);
  EXPECT_EQ(DetectCodePage(Encode(prose, "ibm-866")), CodePage::Dos);
  EXPECT_EQ(DetectCodePage(Encode(prose, "iso-8859-5")), CodePage::Iso);
  EXPECT_EQ(DetectCodePage("\xFF\xFE" + Encode(prose, "UTF-16LE")), CodePage::Unicode);
  EXPECT_NE(DetectCodePage(Encode(prose, "UTF-16LE")), CodePage::Unicode);
  EXPECT_EQ(DetectCodePage("plain ASCII text, nothing more"), CodePage::Win);
  EXPECT_EQ(DetectCodePage(""), CodePage::Win);
  EXPECT_EQ(CodePageName(DetectCodePage(Encode(prose, "koi8-r"))), "koi");
}

TEST(DetectCodePage, FollowsTheByteCountRulesAtTheirThresholds) {
  // A 1251 text with two curly apostrophes and one Ђ reads as DOS; with one apostrophe not.
  EXPECT_EQ(DetectCodePage("it\x92s John\x92s \x80"), CodePage::Dos);
  EXPECT_EQ(DetectCodePage("it\x92s \x80"), CodePage::Win);
  EXPECT_EQ(DetectCodePage("\x8E\x8E"), CodePage::Dos);
  // Two ё (0xB8) in a 1251 text are already the ISO capital И.
  EXPECT_EQ(DetectCodePage("\xB8\xB8"), CodePage::Iso);
  EXPECT_EQ(DetectCodePage("\xB0\xBB\xBF"), CodePage::Iso);
  // KOI8-R small а (0xC1) against capital А (0xE1).
  EXPECT_EQ(DetectCodePage("\xC1\xC1\xC1\xE1"), CodePage::Koi);
  EXPECT_EQ(DetectCodePage("\xC1\xC1\xE1"), CodePage::Win);
  // М/м and Д/д: capitals outweighing twice the small letters mean KOI8-R.
  EXPECT_EQ(DetectCodePage("\xCC\xCC\xCC\xEC"), CodePage::Koi);
  EXPECT_EQ(DetectCodePage("\xCC\xCC\xEC"), CodePage::Win);
  // The UTF-16 mark needs agreeing high bytes in the first characters.
  EXPECT_EQ(DetectCodePage(std::string("\xFF\xFE"
                                       "A\x00\x10\x04",
                                       6)),
            CodePage::Win);
  EXPECT_EQ(DetectCodePage(std::string("\xFF\xFE"
                                       "A\x00",
                                       4)),
            CodePage::Unicode);
}

TEST(DetectCodePage, SampleCutInsideAUtf8SequenceIsStillUtf8) {
  const std::string text = "ж";
  EXPECT_EQ(DetectCodePage("abc" + text.substr(0, 1)), CodePage::Win);
  EXPECT_EQ(DetectCodePage("я abc" + text.substr(0, 1)), CodePage::Utf8);
  const std::string three = "€";
  EXPECT_EQ(DetectCodePage("я" + three.substr(0, 2)), CodePage::Utf8);
  EXPECT_NE(DetectCodePage("я\xFF"), CodePage::Utf8);
}

TEST(AutoRecode, GivesTheSameTextFromEveryCodePage) {
  const std::string prose = Prose();
  for (const char* cp : {"windows-1251", "koi8-r", "ibm-866", "iso-8859-5"})
    EXPECT_TRUE(AutoRecode(Encode(prose, cp)) == prose) << cp;
  EXPECT_TRUE(AutoRecode(prose) == prose);
  EXPECT_TRUE(AutoRecode("\xFF\xFE" + Encode(prose, "UTF-16LE")) == prose);
  EXPECT_EQ(AutoRecode("ASCII only\r\n"), "ASCII only\r\n");
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

}  // namespace
}  // namespace zyl::extract
