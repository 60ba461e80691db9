// Which single-byte Cyrillic code page a text is in, judged by how it reads in each of them.
// Russian text has a strong letter-pair profile (а after н is common, ъ after а is not, a capital
// follows a lower-case letter almost never) and English text around it keeps its own shape
// (a Latin letter is not followed by a Cyrillic one). Each candidate's decoding of the sample is
// scored by a letter-pair model learnt from Russian and English prose; the likeliest wins.
#pragma once

#include <string_view>

namespace zyl::extract {

enum class SingleByteCyrillic { Windows1251, Koi8R, Cp866, Iso8859_5, MacCyrillic };

// The likeliest code page of the sample. Bytes below 128 read the same in every candidate, so
// a sample without bytes above 127 comes out Windows1251, the commonest, as does a sample too
// short to tell the candidates apart. Never fails; costs at most one pass over the sample.
SingleByteCyrillic GuessSingleByteCyrillic(std::string_view sample);

}  // namespace zyl::extract
