#include "db/Compiler.h"

#include <ctime>

#include "base/Strings.h"
#include "base/Utf8.h"
#include "db/Errors.h"
#include "db/Functions.h"
#include "db/JetDate.h"
#include "db/LikePattern.h"
#include "db/Parser.h"
#include "db/SqlFunctions.h"
#include "db/SubstringIndex.h"

namespace zyl::db {

std::string QuoteText(std::string_view text, char quote) {
  const std::string q(1, quote);
  return q + base::Replace(text, q, q + q) + q;
}

namespace {

struct Sql {
  std::string text;
  Ty type;
};

const char* CmpText(Op op) {
  switch (op) {
    case Op::Eq:
      return "=";
    case Op::Ne:
      return "<>";
    case Op::Lt:
      return "<";
    case Op::Gt:
      return ">";
    case Op::Le:
      return "<=";
    case Op::Ge:
      return ">=";
    default:
      return "=";
  }
}

Ty ColumnType(Column c) {
  switch (c) {
    case Column::Modified:
      return Ty::Date;
    case Column::Filesize:
      return Ty::Number;
    default:
      return Ty::Text;
  }
}

bool IsTextLiteral(const Expr& e) {
  return e.kind == ExprKind::Literal && e.literalType == Ty::Text;
}

std::string Quoted(const char* name) {
  return std::string("\"") + name + "\"";
}

int CurrentYear() {
  return base::LocalParts(base::Now()).year;
}

class Compiler {
 public:
  explicit Compiler(std::string_view source, ContentTests tests = ContentTests::kWhole)
      : source_(source), contentInPieces_(tests == ContentTests::kInPieces) {}

  std::vector<Value> params;

  std::string Cond(const Expr& e) { return AsCond(e, Val(e)); }

  Sql Val(const Expr& e) {
    switch (e.kind) {
      case ExprKind::Literal:
        return LiteralSql(e);
      case ExprKind::Column:
        return {Quoted(ColumnName(e.column)), ColumnType(e.column)};
      case ExprKind::Unary:
        return UnarySql(e);
      case ExprKind::Binary:
        return BinarySql(e);
      case ExprKind::Like:
        return LikeSql(e);
      case ExprKind::IsNull: {
        const Sql a = Val(*e.args[0]);
        return {"(" + a.text + (e.negated ? " IS NOT NULL)" : " IS NULL)"), Ty::Bool};
      }
      case ExprKind::Between:
        return BetweenSql(e);
      case ExprKind::In:
        return InSql(e);
      case ExprKind::Call:
        return CallSql(e);
    }
    Fail(e.offset, "unsupported expression");
  }

  [[noreturn]] void Fail(std::size_t offset, std::string reason) const {
    throw SqlError(CharPosition(source_, offset), std::move(reason));
  }

  std::string Param(Value v) {
    params.push_back(std::move(v));
    return "?" + std::to_string(params.size());
  }

  // ---- conversions ----
  std::string ToNumber(const Expr& e, const Sql& s) {
    switch (s.type) {
      case Ty::Number:
      case Ty::Null:
        return s.text;
      case Ty::Bool:
        return "(-" + s.text + ")";
      case Ty::Date:
        return "zyl_dateserial(" + s.text + ")";
      case Ty::Text:
        if (IsTextLiteral(e)) {
          const auto d = ParseNumberText(e.literal.TextView());
          if (!d) Fail(e.offset, "type mismatch: " + Shown(e) + " is not a number");
          return Param(Value(*d));
        }
        return "zyl_cnum(" + s.text + ")";
      case Ty::Variant:
        return "zyl_cnum(" + s.text + ")";
    }
    return s.text;
  }
  std::string ToText(const Expr& e, const Sql& s) {
    switch (s.type) {
      case Ty::Text:
      case Ty::Date:
      case Ty::Null:
        return s.text;
      case Ty::Bool:
        return "zyl_cstr(" + ToNumber(e, s) + ")";
      default:
        return "zyl_cstr(" + s.text + ")";
    }
  }
  std::string ToDate(const Expr& e, const Sql& s) {
    switch (s.type) {
      case Ty::Date:
      case Ty::Null:
        return s.text;
      case Ty::Text:
        if (IsTextLiteral(e)) {
          const auto p = ParseDateText(e.literal.TextView(), CurrentYear());
          if (!p) Fail(e.offset, "type mismatch: " + Shown(e) + " is not a date");
          return Param(Value(DateText(*p)));
        }
        return "zyl_cdate(" + s.text + ")";
      case Ty::Number:
        return "zyl_serialdate(" + s.text + ")";
      case Ty::Bool:
        return "zyl_serialdate(" + ToNumber(e, s) + ")";
      case Ty::Variant:
        return "zyl_cdate(" + s.text + ")";
    }
    return s.text;
  }
  // A truth value the engine understands (non-zero true, Null unknown).
  std::string AsCond(const Expr& e, const Sql& s) {
    switch (s.type) {
      case Ty::Bool:
      case Ty::Number:
      case Ty::Null:
        return s.text;
      case Ty::Text:
        if (IsTextLiteral(e)) {
          const auto t = base::TrimView(e.literal.TextView());
          if (base::EqualsNoCase(t, "True")) return "1";
          if (base::EqualsNoCase(t, "False")) return "0";
          if (const auto d = ParseNumberText(t)) return *d != 0 ? "1" : "0";
          Fail(e.offset, "a text such as " + Shown(e) + " cannot be used as a condition");
        }
        return "zyl_condtext(" + s.text + ")";
      case Ty::Date:
        return "(zyl_dateserial(" + s.text + ") <> 0)";
      case Ty::Variant:
        return "zyl_condtext(" + s.text + ")";
    }
    return s.text;
  }
  // A value passed on as it is, with truth values as the numbers -1 and 0.
  Sql Plain(const Expr& e, const Sql& s) {
    if (s.type == Ty::Bool) return {ToNumber(e, s), Ty::Number};
    return s;
  }

  std::string Shown(const Expr& e) const {
    const std::string t(e.literal.TextView());
    return "\"" + base::Left(t, 40) + (base::Len(t) > 40 ? "..." : "") + "\"";
  }

 private:
  Sql LiteralSql(const Expr& e) {
    switch (e.literalType) {
      case Ty::Null:
        return {"NULL", Ty::Null};
      case Ty::Bool:
        return {e.literal.AsInt() != 0 ? "1" : "0", Ty::Bool};
      default:
        return {Param(e.literal), e.literalType};
    }
  }

  Sql UnarySql(const Expr& e) {
    const Expr& x = *e.args[0];
    const Sql a = Val(x);
    if (a.type == Ty::Null) return {"NULL", Ty::Null};
    if (e.op == Op::Neg) return {"(-" + ToNumber(x, a) + ")", Ty::Number};
    // NOT
    if (a.type == Ty::Bool) return {"(NOT " + a.text + ")", Ty::Bool};
    if (a.type == Ty::Number) return {"(~" + a.text + ")", Ty::Number};
    return {"(NOT " + AsCond(x, a) + ")", Ty::Bool};
  }

  std::string Compare(const Expr& ea, Sql a, Op op, const Expr& eb, Sql b) {
    if (a.type == Ty::Null || b.type == Ty::Null) return "NULL";
    if (a.type == Ty::Bool) a = {ToNumber(ea, a), Ty::Number};
    if (b.type == Ty::Bool) b = {ToNumber(eb, b), Ty::Number};
    const std::string o = CmpText(op);
    if (a.type == Ty::Variant || b.type == Ty::Variant)
      return "(zyl_cmp(" + a.text + ", " + b.text + ") " + o + " 0)";
    if (a.type == b.type) return "(" + a.text + " " + o + " " + b.text + ")";
    auto both = [&](Ty x, Ty y) {
      return (a.type == x && b.type == y) || (a.type == y && b.type == x);
    };
    std::string as = a.text, bs = b.text;
    if (both(Ty::Date, Ty::Text)) {
      // Dates compare as their stored texts, whose order is date order.
      if (a.type == Ty::Text)
        as = ToDate(ea, a);
      else
        bs = ToDate(eb, b);
    } else {
      // Date against number compares serial numbers; text against number, numbers.
      as = ToNumber(ea, a);
      bs = ToNumber(eb, b);
    }
    return "(" + as + " " + o + " " + bs + ")";
  }

  std::string Balanced(const std::vector<std::string>& parts, std::size_t lo, std::size_t hi,
                       const char* joiner) {
    if (hi - lo == 1) return parts[lo];
    const std::size_t mid = lo + (hi - lo + 1) / 2;
    return "(" + Balanced(parts, lo, mid, joiner) + joiner + Balanced(parts, mid, hi, joiner) + ")";
  }

  Sql BinarySql(const Expr& e) {
    if (e.op == Op::And || e.op == Op::Or) return LogicalSql(e);
    const Expr& ea = *e.args[0];
    const Expr& eb = *e.args[1];
    Sql a = Val(ea);
    Sql b = Val(eb);
    switch (e.op) {
      case Op::Eq:
      case Op::Ne:
      case Op::Lt:
      case Op::Gt:
      case Op::Le:
      case Op::Ge:
        return {Compare(ea, a, e.op, eb, b), Ty::Bool};
      case Op::Concat:
        return {"zyl_amp(" + ToText(ea, a) + ", " + ToText(eb, b) + ")", Ty::Text};
      case Op::Xor:
      case Op::Eqv:
      case Op::Imp:
        return BitLogicSql(e, ea, a, eb, b);
      default:
        break;
    }
    if (a.type == Ty::Null || b.type == Ty::Null) return {"NULL", Ty::Null};
    a = Plain(ea, a);
    b = Plain(eb, b);
    const bool variant = a.type == Ty::Variant || b.type == Ty::Variant;
    switch (e.op) {
      case Op::Plus:
        if (variant) return {"zyl_plus(" + a.text + ", " + b.text + ")", Ty::Variant};
        if (a.type == Ty::Text && b.type == Ty::Text)
          return {"(" + a.text + " || " + b.text + ")", Ty::Text};
        if (a.type == Ty::Date && b.type == Ty::Date)
          return {"zyl_serialdate(zyl_dateserial(" + a.text + ") + zyl_dateserial(" + b.text + "))",
                  Ty::Date};
        if (a.type == Ty::Date)
          return {"zyl_adddays(" + a.text + ", " + ToNumber(eb, b) + ")", Ty::Date};
        if (b.type == Ty::Date)
          return {"zyl_adddays(" + b.text + ", " + ToNumber(ea, a) + ")", Ty::Date};
        return {"(" + ToNumber(ea, a) + " + " + ToNumber(eb, b) + ")", Ty::Number};
      case Op::Minus:
        if (variant) return {"zyl_minus(" + a.text + ", " + b.text + ")", Ty::Number};
        if (a.type == Ty::Date && b.type == Ty::Date)
          return {"(zyl_dateserial(" + a.text + ") - zyl_dateserial(" + b.text + "))", Ty::Number};
        if (a.type == Ty::Date)
          return {"zyl_adddays(" + a.text + ", -(" + ToNumber(eb, b) + "))", Ty::Date};
        return {"(" + ToNumber(ea, a) + " - " + ToNumber(eb, b) + ")", Ty::Number};
      case Op::Mul:
        return {"(" + ToNumber(ea, a) + " * " + ToNumber(eb, b) + ")", Ty::Number};
      case Op::Div:
        return {"zyl_div(" + ToNumber(ea, a) + ", " + ToNumber(eb, b) + ")", Ty::Number};
      case Op::IntDiv:
        return {"zyl_intdiv(" + ToNumber(ea, a) + ", " + ToNumber(eb, b) + ")", Ty::Number};
      case Op::Mod:
        return {"zyl_mod(" + ToNumber(ea, a) + ", " + ToNumber(eb, b) + ")", Ty::Number};
      case Op::Pow:
        return {"zyl_pow(" + ToNumber(ea, a) + ", " + ToNumber(eb, b) + ")", Ty::Number};
      default:
        Fail(e.offset, "unsupported operator");
    }
  }

  // AND and OR: logical on truth values, bitwise when numbers take part (as -1 AND 5 is 5).
  Sql LogicalSql(const Expr& e) {
    std::vector<Sql> parts;
    bool anyNumber = false, anyOther = false;
    for (auto& a : e.args) {
      parts.push_back(Val(*a));
      const Ty t = parts.back().type;
      if (t == Ty::Number) anyNumber = true;
      if (t == Ty::Text || t == Ty::Date || t == Ty::Variant) anyOther = true;
    }
    std::vector<std::string> texts;
    if (anyNumber && !anyOther) {
      for (std::size_t i = 0; i < parts.size(); ++i)
        texts.push_back(ToNumber(*e.args[i], parts[i]));
      return {Balanced(texts, 0, texts.size(), e.op == Op::And ? " & " : " | "), Ty::Number};
    }
    for (std::size_t i = 0; i < parts.size(); ++i) texts.push_back(AsCond(*e.args[i], parts[i]));
    return {Balanced(texts, 0, texts.size(), e.op == Op::And ? " AND " : " OR "), Ty::Bool};
  }

  Sql BitLogicSql(const Expr& e, const Expr& ea, const Sql& a, const Expr& eb, const Sql& b) {
    if (a.type == Ty::Number || b.type == Ty::Number) {
      const char* fn =
          e.op == Op::Xor ? "zyl_bitxor" : (e.op == Op::Eqv ? "zyl_biteqv" : "zyl_bitimp");
      return {std::string(fn) + "(" + ToNumber(ea, a) + ", " + ToNumber(eb, b) + ")", Ty::Number};
    }
    const std::string x = AsCond(ea, a), y = AsCond(eb, b);
    switch (e.op) {
      case Op::Xor:
        return {"(" + x + " <> " + y + ")", Ty::Bool};
      case Op::Eqv:
        return {"(" + x + " = " + y + ")", Ty::Bool};
      default:
        return {"((NOT " + x + ") OR " + y + ")", Ty::Bool};
    }
  }

 public:
  // What the substring index can narrow `e` to: each `content LIKE` with a literal pattern
  // holding a run of three characters, combined by AND and OR as the condition combines them.
  // Anything else (NOT, other columns, functions of the content) gives "", no narrowing; an
  // AND needs one narrowed part, an OR all of them.
  static std::string SubstringMatch(const Expr& e) {
    if (e.kind == ExprKind::Like) {
      if (e.negated) return {};
      const Expr& subject = *e.args[0];
      const Expr& pattern = *e.args[1];
      if (!IsTextLiteral(pattern)) return {};
      bool amp = false;
      const Expr* inner = PaddedSubject(subject, amp);
      const bool padded = inner != nullptr;
      const Expr& column = padded ? *inner : subject;
      if (column.kind != ExprKind::Column || column.column != Column::Content) return {};
      try {
        return SubstringCandidates(LikePattern(pattern.literal.TextView()), padded);
      } catch (const LikePatternError&) {
        return {};
      }
    }
    if (e.kind != ExprKind::Binary || (e.op != Op::And && e.op != Op::Or)) return {};
    std::string out;
    for (const auto& a : e.args) {
      const std::string part = SubstringMatch(*a);
      if (part.empty()) {
        if (e.op == Op::Or) return {};
        continue;
      }
      out += (out.empty() ? "(" : (e.op == Op::And ? " AND (" : " OR (")) + part + ")";
    }
    return out;
  }

 private:
  static bool IsBlankLiteral(const Expr& e) {
    return IsTextLiteral(e) && e.literal.TextView() == " ";
  }
  // " " + x + " " (or with "&"): the whole-word search pads the text so that a word at its
  // very start or end meets the non-letter class; this is matched without building the text.
  static const Expr* PaddedSubject(const Expr& s, bool& amp) {
    if (s.kind != ExprKind::Binary || (s.op != Op::Plus && s.op != Op::Concat) ||
        s.args.size() != 2)
      return nullptr;
    amp = s.op == Op::Concat;
    const Expr& l = *s.args[0];
    const Expr& r = *s.args[1];
    if (IsBlankLiteral(r) && l.kind == ExprKind::Binary && l.op == s.op &&
        IsBlankLiteral(*l.args[0]))
      return l.args[1].get();
    if (IsBlankLiteral(l) && r.kind == ExprKind::Binary && r.op == s.op &&
        IsBlankLiteral(*r.args[1]))
      return r.args[0].get();
    return nullptr;
  }

  static bool IsContent(const Expr& e) {
    return e.kind == ExprKind::Column && e.column == Column::Content;
  }

  Sql LikeSql(const Expr& e) {
    const Expr& subject = *e.args[0];
    const Expr& pattern = *e.args[1];
    std::string call;
    bool amp = false;
    const Expr* inner = PaddedSubject(subject, amp);
    std::string innerSql;
    if (inner) {
      const Sql x = Val(*inner);
      if (!amp && x.type != Ty::Text) {
        inner = nullptr;  // not text: compiled again below as an ordinary sum
      } else {
        innerSql = amp ? ToText(*inner, x) : x.text;
      }
    }
    // The stored content itself is read only as far as the test needs (typeof() of a column
    // does not read its value).
    if (inner && contentInPieces_ && IsContent(*inner)) {
      const std::string p = PatternSql(pattern);
      call = "zyl_like_stored_padded(rowid, typeof(" + innerSql + "), " + p + ", " +
             (amp ? "1" : "0") + ")";
    } else if (inner) {
      const std::string p = PatternSql(pattern);
      call = "zyl_like_padded(" + innerSql + ", " + p + ", " + (amp ? "1" : "0") + ")";
    } else if (contentInPieces_ && IsContent(subject)) {
      const Sql s = Val(subject);
      const std::string p = PatternSql(pattern);
      call = "zyl_like_stored(rowid, typeof(" + s.text + "), " + p + ")";
    } else {
      const Sql s = Val(subject);
      const std::string st = ToText(subject, s);
      const std::string p = PatternSql(pattern);
      call = "zyl_like(" + st + ", " + p + ")";
    }
    return {e.negated ? "(NOT " + call + ")" : call, Ty::Bool};
  }

  std::string PatternSql(const Expr& pattern) {
    const Sql p = Val(pattern);
    if (IsTextLiteral(pattern)) {
      try {
        LikePattern check(pattern.literal.TextView());
      } catch (const LikePatternError& err) {
        const std::size_t pos =
            CharPosition(source_, pattern.offset) + 1 +
            base::CodePointCount(pattern.literal.TextView().substr(0, err.offset()));
        throw SqlError(pos, std::string("invalid LIKE pattern: ") + err.what());
      }
    }
    return ToText(pattern, p);
  }

  Sql BetweenSql(const Expr& e) {
    const Expr& x = *e.args[0];
    const Sql a = Val(x);
    const Sql lo = Val(*e.args[1]);
    const std::string c1 = Compare(x, a, Op::Ge, *e.args[1], lo);
    const Sql hi = Val(*e.args[2]);
    const std::string c2 = Compare(x, a, Op::Le, *e.args[2], hi);
    const std::string both = "(" + c1 + " AND " + c2 + ")";
    return {e.negated ? "(NOT " + both + ")" : both, Ty::Bool};
  }

  Sql InSql(const Expr& e) {
    const Expr& x = *e.args[0];
    const Sql a = Val(x);
    std::vector<std::string> tests;
    for (std::size_t i = 1; i < e.args.size(); ++i) {
      const Sql item = Val(*e.args[i]);
      tests.push_back(Compare(x, a, Op::Eq, *e.args[i], item));
    }
    const std::string any = Balanced(tests, 0, tests.size(), " OR ");
    return {e.negated ? "(NOT " + any + ")" : any, Ty::Bool};
  }

  // The type two alternatives share (IIf, Nz): their own when they agree, else per row.
  static Ty Unify(Ty a, Ty b) {
    if (a == b) return a;
    if (a == Ty::Null) return b;
    if (b == Ty::Null) return a;
    return Ty::Variant;
  }

  Sql CallSql(const Expr& e) {
    const FunctionInfo& f = *e.function;
    const std::string name = f.name;
    const auto& args = e.args;
    if (name == "IIf") {
      const std::string c = Cond(*args[0]);
      Sql a = Val(*args[1]), b = Val(*args[2]);
      if (a.type == Ty::Bool && b.type != Ty::Bool && b.type != Ty::Null) a = Plain(*args[1], a);
      if (b.type == Ty::Bool && a.type != Ty::Bool && a.type != Ty::Null) b = Plain(*args[2], b);
      return {"(CASE WHEN " + c + " THEN " + a.text + " ELSE " + b.text + " END)",
              Unify(a.type, b.type)};
    }
    if (name == "Nz") {
      const Sql a = Plain(*args[0], Val(*args[0]));
      if (args.size() == 2) {
        const Sql b = Plain(*args[1], Val(*args[1]));
        return {"coalesce(" + a.text + ", " + b.text + ")", Unify(a.type, b.type)};
      }
      if (a.type == Ty::Number) return {"coalesce(" + a.text + ", 0)", Ty::Number};
      return {"coalesce(" + a.text + ", '')",
              a.type == Ty::Text || a.type == Ty::Null ? Ty::Text : Ty::Variant};
    }
    if (name == "IsNull") {
      const Sql a = Val(*args[0]);
      return {"(" + a.text + " IS NULL)", Ty::Bool};
    }
    if (name == "CVar") return Plain(*args[0], Val(*args[0]));

    std::string params = f.params;
    if (name == "InStr") params = args.size() == 2 ? "ss" : "nssn";
    std::string out = std::string(f.sqlName) + "(";
    if (name == "Format") {
      const Sql v = Plain(*args[0], Val(*args[0]));
      const char* hint = v.type == Ty::Date     ? "'d'"
                         : v.type == Ty::Number ? "'n'"
                         : v.type == Ty::Text   ? "'s'"
                                                : "'a'";
      out += std::string(hint) + ", " + v.text;
      for (std::size_t i = 1; i < args.size(); ++i)
        out += ", " + Arg(*args[i], params[std::min(i, params.size() - 1)]);
      return {out + ")", f.result};
    }
    for (std::size_t i = 0; i < args.size(); ++i) {
      if (i) out += ", ";
      out += Arg(*args[i], params.empty() ? 'a' : params[std::min(i, params.size() - 1)]);
    }
    return {out + ")", f.result};
  }

  std::string Arg(const Expr& x, char kind) {
    const Sql s = Val(x);
    switch (kind) {
      case 'n':
        return ToNumber(x, s);
      case 's':
        return ToText(x, s);
      case 'd':
        if (IsTextLiteral(x)) return ToDate(x, s);
        return Plain(x, s).text;
      default:
        return Plain(x, s).text;
    }
  }

  std::string_view source_;
  bool contentInPieces_;
};

}  // namespace

CompiledQuery CompileStatement(std::string_view text, ContentTests tests) {
  const Statement st = ParseStatement(text);
  Compiler c(text, tests);
  CompiledQuery q;
  q.kind = st.kind;
  int exprNumber = 1000;
  for (const SelectItem& item : st.items) {
    switch (item.kind) {
      case SelectItem::Kind::Star:
        for (int i = 0; i < kColumnCount; ++i) {
          const char* n = ColumnName(static_cast<Column>(i));
          q.fields.push_back({n, i, Quoted(n)});
        }
        break;
      case SelectItem::Kind::Column: {
        const char* n = ColumnName(item.column);
        q.fields.push_back(
            {item.alias.empty() ? n : item.alias, static_cast<int>(item.column), Quoted(n)});
        break;
      }
      case SelectItem::Kind::Sum: {
        q.aggregate = true;
        const Sql v = c.Val(*item.sumOf);
        if (v.type == Ty::Text || v.type == Ty::Variant)
          c.Fail(item.sumOf->offset, "Sum() adds numbers, not texts");
        std::string name = item.alias;
        if (name.empty())
          name = item.sumOf->kind == ExprKind::Column
                     ? std::string("SumOf") + ColumnName(item.sumOf->column)
                     : "Expr" + std::to_string(exprNumber++);
        q.fields.push_back({name, -1, "sum(" + c.ToNumber(*item.sumOf, v) + ")"});
        break;
      }
    }
  }
  if (st.where) {
    q.where = c.Cond(*st.where);
    q.substringMatch = Compiler::SubstringMatch(*st.where);
  }
  q.params = std::move(c.params);
  return q;
}

CompiledCondition CompileCondition(std::string_view text) {
  const ExprPtr e = ParseCondition(text);
  Compiler c(text);
  CompiledCondition out;
  out.sql = c.Cond(*e);
  out.params = std::move(c.params);
  return out;
}

}  // namespace zyl::db
