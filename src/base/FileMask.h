// File-name masks as users type them ("*.txt", "*.htm*", "report?.doc"): "*" stands for any
// run of characters, "?" for exactly one character (code point), letters match without case.
// Two habits of the masks users know from other systems are kept, because mask lists written
// for them must keep working: a mask ending in ".*" also takes names without any extension
// ("*.*" is "every file"), and a mask ending in a lone "." takes only names without an
// extension ("*." is "files without an extension").
#pragma once

#include <string>
#include <string_view>

namespace zyl::base {

class FileMask {
 public:
  explicit FileMask(std::string_view mask);

  bool Matches(std::string_view name) const;
  // The same for a name already passed through FoldCase (callers matching one name against
  // many masks fold it once).
  bool MatchesFolded(std::string_view foldedName) const;

  const std::string& text() const { return text_; }

 private:
  std::string text_;
  std::string folded_;
  // folded_ less its trailing ".*" or "." when the mask ends so; used for names without a dot.
  std::string withoutExtension_;
  enum class Tail { Plain, AnyExtension, NoExtension } tail_ = Tail::Plain;
};

// "*" and "?" wildcard match of two texts, "?" taking one UTF-8 code point (or one malformed
// byte). No case folding; both sides are compared byte for byte.
bool WildcardMatch(std::string_view pattern, std::string_view text);

}  // namespace zyl::base
