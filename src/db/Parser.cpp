#include "db/Parser.h"

#include <algorithm>
#include <ctime>

#include "base/Strings.h"
#include "db/Errors.h"
#include "db/Functions.h"
#include "db/JetDate.h"
#include "db/Lexer.h"

namespace zyl::db {

const char* ColumnName(Column c) {
  static const char* const names[] = {"title", "author",   "content", "location",
                                      "type",  "modified", "filesize"};
  return names[static_cast<int>(c)];
}

int FindColumn(std::string_view name) {
  for (int i = 0; i < kColumnCount; ++i)
    if (base::EqualsNoCase(name, ColumnName(static_cast<Column>(i)))) return i;
  return -1;
}

bool IsTableName(std::string_view text) {
  text = base::TrimView(text);
  if (text.size() >= 2 && text.front() == '[' && text.back() == ']')
    text = text.substr(1, text.size() - 2);
  return base::EqualsNoCase(text, kTableName);
}

namespace {

const char* const kKeywords[] = {"SELECT", "DISTINCTROW", "DISTINCT", "FROM",    "WHERE", "DELETE",
                                 "AND",    "OR",          "XOR",      "EQV",     "IMP",   "NOT",
                                 "LIKE",   "IS",          "NULL",     "BETWEEN", "IN",    "MOD",
                                 "TRUE",   "FALSE",       "AS"};

bool IsKeyword(std::string_view s) {
  for (const char* k : kKeywords)
    if (base::EqualsNoCase(s, k)) return true;
  return false;
}

int CurrentYear() {
  return base::LocalParts(base::Now()).year;
}

class Parser {
 public:
  explicit Parser(std::string_view text) : text_(text), toks_(Tokenize(text)) {}

  Statement ParseStatementText() {
    Statement st;
    if (IsWord("SELECT")) {
      ++p_;
      st.kind = Statement::Kind::Select;
      if (IsWord("DISTINCTROW")) {
        // One table: every row is already distinct, so the word changes nothing.
        ++p_;
      } else if (IsWord("DISTINCT")) {
        Fail("DISTINCT is not supported (DISTINCTROW is)");
      }
      ParseSelectList(st);
    } else if (IsWord("DELETE")) {
      ++p_;
      st.kind = Statement::Kind::Delete;
      if (Cur().kind == Tok::Star) ++p_;
    } else {
      Fail("a statement begins with SELECT or DELETE");
    }
    ExpectWord("FROM");
    ParseTableName();
    if (IsWord("WHERE")) {
      ++p_;
      st.where = ParseExpr();
    }
    if (Cur().kind == Tok::Semicolon) ++p_;
    ExpectEnd();
    return st;
  }

  ExprPtr ParseConditionText() {
    if (Cur().kind == Tok::End) Fail("the condition is empty");
    ExprPtr e = ParseExpr();
    ExpectEnd();
    return e;
  }

 private:
  // ---- tokens ----
  const Token& Cur() const { return toks_[p_]; }
  const Token& Next() const { return toks_[std::min(p_ + 1, toks_.size() - 1)]; }
  bool IsWord(const char* w) const {
    return Cur().kind == Tok::Name && base::EqualsNoCase(Cur().text, w);
  }
  [[noreturn]] void FailAt(std::size_t offset, std::string reason) const {
    throw SqlError(CharPosition(text_, offset), std::move(reason));
  }
  [[noreturn]] void Fail(std::string reason) const { FailAt(Cur().offset, std::move(reason)); }
  std::string Describe(const Token& t) const {
    switch (t.kind) {
      case Tok::Name:
        return "\"" + t.text + "\"";
      case Tok::BracketName:
        return "\"[" + t.text + "]\"";
      case Tok::String:
        return "text \"" + base::Left(t.text, 20) + (base::Len(t.text) > 20 ? "..." : "") + "\"";
      case Tok::Integer:
      case Tok::Real:
        return "number " + t.text;
      case Tok::Date:
        return "date #" + t.text + "#";
      default:
        return TokenName(t.kind);
    }
  }
  void ExpectWord(const char* w) {
    if (!IsWord(w)) Fail(std::string("expected ") + w + " but found " + Describe(Cur()));
    ++p_;
  }
  void Expect(Tok k) {
    if (Cur().kind != k)
      Fail(std::string("expected ") + TokenName(k) + " but found " + Describe(Cur()));
    ++p_;
  }
  void ExpectEnd() {
    if (Cur().kind != Tok::End)
      Fail("unexpected " + Describe(Cur()) + " after the end of the statement");
  }

  // ---- nesting guards ----
  struct Nest {
    explicit Nest(Parser& p) : p_(p) {
      if (++p_.nest_ > kMaxNesting) p_.Fail("the expression is nested too deeply");
    }
    ~Nest() { --p_.nest_; }
    Parser& p_;
  };

  ExprPtr Make(ExprKind kind, std::size_t offset) {
    auto e = std::make_unique<Expr>();
    e->kind = kind;
    e->offset = offset;
    return e;
  }
  // Sets the height from the operands and refuses trees that would be too tall to run.
  ExprPtr Seal(ExprPtr e) {
    int h = 0;
    for (auto& a : e->args) h = std::max(h, a->depth);
    int extra = 1;
    if (e->args.size() > 2 && (e->op == Op::And || e->op == Op::Or) &&
        e->kind == ExprKind::Binary) {
      // Emitted as a balanced tree of pairs.
      std::size_t n = e->args.size();
      extra = 0;
      while (n > 1) {
        n = (n + 1) / 2;
        ++extra;
      }
    }
    e->depth = h + extra;
    if (e->depth > kMaxExprDepth) FailAt(e->offset, "the expression is too complex");
    return e;
  }
  ExprPtr Binary(Op op, ExprPtr a, ExprPtr b, std::size_t offset) {
    auto e = Make(ExprKind::Binary, offset);
    e->op = op;
    e->args.push_back(std::move(a));
    e->args.push_back(std::move(b));
    return Seal(std::move(e));
  }
  ExprPtr Literal(Ty type, Value v, std::size_t offset) {
    if (++literals_ > kMaxLiterals) FailAt(offset, "the statement holds too many values");
    auto e = Make(ExprKind::Literal, offset);
    e->literalType = type;
    e->literal = std::move(v);
    return e;
  }

  // ---- statement parts ----
  void ParseTableName() {
    const Token& t = Cur();
    if ((t.kind == Tok::Name || t.kind == Tok::BracketName) &&
        base::EqualsNoCase(t.text, kTableName)) {
      ++p_;
      return;
    }
    if (t.kind == Tok::Name || t.kind == Tok::BracketName)
      Fail("unknown table " + Describe(t) + " (the only table is ContentIndex)");
    Fail("expected the table name ContentIndex but found " + Describe(t));
  }

  // [ContentIndex].[col], ContentIndex.col, [col], col. Returns -1 when the tokens at the
  // cursor are not a field reference (the cursor is then unchanged).
  int TryColumnRef(std::size_t& offset) {
    const Token& t = Cur();
    if (t.kind != Tok::Name && t.kind != Tok::BracketName) return -1;
    offset = t.offset;
    if (Next().kind == Tok::Dot) {
      if (!base::EqualsNoCase(t.text, kTableName))
        Fail("unknown table " + Describe(t) + " (the only table is ContentIndex)");
      p_ += 2;
      const Token& c = Cur();
      if (c.kind != Tok::Name && c.kind != Tok::BracketName)
        Fail("expected a field name after \".\" but found " + Describe(c));
      const int col = FindColumn(c.text);
      if (col < 0) Fail("unknown field name " + Describe(c));
      ++p_;
      return col;
    }
    const int col = FindColumn(t.text);
    if (col < 0) return -1;
    ++p_;
    return col;
  }

  std::string ParseAlias() {
    if (!IsWord("AS")) return {};
    ++p_;
    const Token& t = Cur();
    if (t.kind == Tok::BracketName || (t.kind == Tok::Name && !IsKeyword(t.text))) {
      ++p_;
      return t.text;
    }
    Fail("expected a name after AS but found " + Describe(t));
  }

  void ParseSelectList(Statement& st) {
    bool hasSum = false, hasField = false;
    while (true) {
      SelectItem item;
      item.offset = Cur().offset;
      std::size_t off = 0;
      if (Cur().kind == Tok::Star) {
        ++p_;
        item.kind = SelectItem::Kind::Star;
        hasField = true;
      } else if (Cur().kind == Tok::Name && Next().kind == Tok::LParen) {
        if (!base::EqualsNoCase(Cur().text, "Sum"))
          Fail("only field names, * and Sum() may be listed after SELECT");
        p_ += 2;
        item.kind = SelectItem::Kind::Sum;
        {
          Nest n(*this);
          item.sumOf = ParseExpr();
        }
        Expect(Tok::RParen);
        item.alias = ParseAlias();
        hasSum = true;
      } else {
        const int col = TryColumnRef(off);
        if (col < 0) {
          if (Cur().kind == Tok::Name || Cur().kind == Tok::BracketName)
            Fail("unknown field name " + Describe(Cur()));
          Fail("expected a field name but found " + Describe(Cur()));
        }
        item.kind = SelectItem::Kind::Column;
        item.column = static_cast<Column>(col);
        item.alias = ParseAlias();
        hasField = true;
      }
      if (hasSum && hasField) FailAt(item.offset, "Sum() cannot be listed beside single fields");
      st.items.push_back(std::move(item));
      if (Cur().kind != Tok::Comma) break;
      ++p_;
    }
  }

  // ---- expressions, loosest first ----
  ExprPtr ParseExpr() { return ParseImp(); }

  ExprPtr ParseImp() {
    ExprPtr left = ParseEqv();
    while (IsWord("IMP")) {
      const auto off = Cur().offset;
      ++p_;
      left = Binary(Op::Imp, std::move(left), ParseEqv(), off);
    }
    return left;
  }
  ExprPtr ParseEqv() {
    ExprPtr left = ParseXor();
    while (IsWord("EQV")) {
      const auto off = Cur().offset;
      ++p_;
      left = Binary(Op::Eqv, std::move(left), ParseXor(), off);
    }
    return left;
  }
  ExprPtr ParseXor() {
    ExprPtr left = ParseOr();
    while (IsWord("XOR")) {
      const auto off = Cur().offset;
      ++p_;
      left = Binary(Op::Xor, std::move(left), ParseOr(), off);
    }
    return left;
  }
  ExprPtr ParseChain(Op op, const char* word, ExprPtr (Parser::*sub)()) {
    ExprPtr first = (this->*sub)();
    if (!IsWord(word)) return first;
    auto e = Make(ExprKind::Binary, Cur().offset);
    e->op = op;
    e->args.push_back(std::move(first));
    while (IsWord(word)) {
      ++p_;
      e->args.push_back((this->*sub)());
    }
    return Seal(std::move(e));
  }
  ExprPtr ParseOr() { return ParseChain(Op::Or, "OR", &Parser::ParseAnd); }
  ExprPtr ParseAnd() { return ParseChain(Op::And, "AND", &Parser::ParseNot); }

  ExprPtr ParseNot() {
    if (IsWord("NOT")) {
      const auto off = Cur().offset;
      ++p_;
      Nest n(*this);
      auto e = Make(ExprKind::Unary, off);
      e->op = Op::Not;
      e->args.push_back(ParseNot());
      return Seal(std::move(e));
    }
    return ParseComparison();
  }

  ExprPtr ParseComparison() {
    ExprPtr left = ParseConcat();
    while (true) {
      const Token& t = Cur();
      const auto off = t.offset;
      Op op;
      bool isCmp = true;
      switch (t.kind) {
        case Tok::Eq:
          op = Op::Eq;
          break;
        case Tok::Ne:
          op = Op::Ne;
          break;
        case Tok::Lt:
          op = Op::Lt;
          break;
        case Tok::Gt:
          op = Op::Gt;
          break;
        case Tok::Le:
          op = Op::Le;
          break;
        case Tok::Ge:
          op = Op::Ge;
          break;
        default:
          isCmp = false;
          op = Op::Eq;
          break;
      }
      if (isCmp) {
        ++p_;
        left = Binary(op, std::move(left), ParseConcat(), off);
        continue;
      }
      bool negated = false;
      if (IsWord("NOT") && Next().kind == Tok::Name &&
          (base::EqualsNoCase(Next().text, "LIKE") || base::EqualsNoCase(Next().text, "BETWEEN") ||
           base::EqualsNoCase(Next().text, "IN"))) {
        negated = true;
        ++p_;
      }
      if (IsWord("LIKE")) {
        ++p_;
        auto e = Make(ExprKind::Like, off);
        e->negated = negated;
        e->args.push_back(std::move(left));
        e->args.push_back(ParseConcat());
        left = Seal(std::move(e));
      } else if (IsWord("BETWEEN")) {
        ++p_;
        auto e = Make(ExprKind::Between, off);
        e->negated = negated;
        e->args.push_back(std::move(left));
        e->args.push_back(ParseConcat());
        ExpectWord("AND");
        e->args.push_back(ParseConcat());
        left = Seal(std::move(e));
      } else if (IsWord("IN")) {
        ++p_;
        auto e = Make(ExprKind::In, off);
        e->negated = negated;
        e->args.push_back(std::move(left));
        Expect(Tok::LParen);
        Nest n(*this);
        while (true) {
          e->args.push_back(ParseExpr());
          if (Cur().kind != Tok::Comma) break;
          ++p_;
        }
        Expect(Tok::RParen);
        left = Seal(std::move(e));
      } else if (IsWord("IS")) {
        ++p_;
        auto e = Make(ExprKind::IsNull, off);
        if (IsWord("NOT")) {
          e->negated = true;
          ++p_;
        }
        ExpectWord("NULL");
        e->args.push_back(std::move(left));
        left = Seal(std::move(e));
      } else {
        return left;
      }
    }
  }

  ExprPtr ParseLeftAssoc(std::initializer_list<std::pair<Tok, Op>> ops, const char* word, Op wordOp,
                         ExprPtr (Parser::*sub)()) {
    ExprPtr left = (this->*sub)();
    while (true) {
      const auto off = Cur().offset;
      bool matched = false;
      Op op = Op::Plus;
      for (auto& [tok, o] : ops)
        if (Cur().kind == tok) {
          matched = true;
          op = o;
        }
      if (!matched && word && IsWord(word)) {
        matched = true;
        op = wordOp;
      }
      if (!matched) return left;
      ++p_;
      left = Binary(op, std::move(left), (this->*sub)(), off);
    }
  }
  ExprPtr ParseConcat() {
    return ParseLeftAssoc({{Tok::Amp, Op::Concat}}, nullptr, Op::Plus, &Parser::ParseAdditive);
  }
  ExprPtr ParseAdditive() {
    return ParseLeftAssoc({{Tok::Plus, Op::Plus}, {Tok::Minus, Op::Minus}}, nullptr, Op::Plus,
                          &Parser::ParseMod);
  }
  ExprPtr ParseMod() { return ParseLeftAssoc({}, "MOD", Op::Mod, &Parser::ParseIntDiv); }
  ExprPtr ParseIntDiv() {
    return ParseLeftAssoc({{Tok::Backslash, Op::IntDiv}}, nullptr, Op::Plus, &Parser::ParseMul);
  }
  ExprPtr ParseMul() {
    return ParseLeftAssoc({{Tok::Star, Op::Mul}, {Tok::Slash, Op::Div}}, nullptr, Op::Plus,
                          &Parser::ParseUnary);
  }

  // Signs bind looser than "^": -2^2 is -4.
  ExprPtr ParseUnary() {
    if (Cur().kind == Tok::Minus || Cur().kind == Tok::Plus) {
      const bool neg = Cur().kind == Tok::Minus;
      const auto off = Cur().offset;
      ++p_;
      Nest n(*this);
      ExprPtr operand = ParseUnary();
      if (!neg) return operand;
      auto e = Make(ExprKind::Unary, off);
      e->op = Op::Neg;
      e->args.push_back(std::move(operand));
      return Seal(std::move(e));
    }
    return ParsePower();
  }
  ExprPtr ParsePower() {
    ExprPtr left = ParsePrimary();
    while (Cur().kind == Tok::Caret) {
      const auto off = Cur().offset;
      ++p_;
      // An exponent may carry its own sign: 2^-1.
      ExprPtr right;
      if (Cur().kind == Tok::Minus || Cur().kind == Tok::Plus) {
        const bool neg = Cur().kind == Tok::Minus;
        const auto soff = Cur().offset;
        ++p_;
        Nest n(*this);
        right = ParsePrimary();
        if (neg) {
          auto e = Make(ExprKind::Unary, soff);
          e->op = Op::Neg;
          e->args.push_back(std::move(right));
          right = Seal(std::move(e));
        }
      } else {
        right = ParsePrimary();
      }
      left = Binary(Op::Pow, std::move(left), std::move(right), off);
    }
    return left;
  }

  ExprPtr ParsePrimary() {
    const Token& t = Cur();
    switch (t.kind) {
      case Tok::Integer:
        ++p_;
        return Literal(Ty::Number, Value(static_cast<long long>(t.integer)), t.offset);
      case Tok::Real:
        ++p_;
        return Literal(Ty::Number, Value(t.real), t.offset);
      case Tok::String:
        ++p_;
        return Literal(Ty::Text, Value(t.text), t.offset);
      case Tok::Date: {
        const auto parts = ParseDateLiteral(t.text, CurrentYear());
        if (!parts) Fail("invalid date #" + t.text + "# (dates are written #month/day/year#)");
        ++p_;
        return Literal(Ty::Date, Value(DateText(*parts)), t.offset);
      }
      case Tok::LParen: {
        ++p_;
        Nest n(*this);
        ExprPtr inner = ParseExpr();
        Expect(Tok::RParen);
        return inner;
      }
      case Tok::Name:
      case Tok::BracketName:
        return ParseName();
      case Tok::End:
        Fail("the expression ends too early");
      default:
        Fail("unexpected " + Describe(t));
    }
  }

  ExprPtr ParseName() {
    const Token& t = Cur();
    if (t.kind == Tok::Name) {
      if (base::EqualsNoCase(t.text, "TRUE") || base::EqualsNoCase(t.text, "FALSE")) {
        ++p_;
        if (++literals_ > kMaxLiterals) FailAt(t.offset, "the statement holds too many values");
        auto e = Make(ExprKind::Literal, t.offset);
        e->literalType = Ty::Bool;
        e->literal = Value(base::EqualsNoCase(t.text, "TRUE") ? -1 : 0);
        return e;
      }
      if (base::EqualsNoCase(t.text, "NULL")) {
        ++p_;
        auto e = Make(ExprKind::Literal, t.offset);
        e->literalType = Ty::Null;
        return e;
      }
      if (Next().kind == Tok::LParen) return ParseCall();
      if (IsKeyword(t.text)) Fail("unexpected keyword " + base::UCase(t.text));
    }
    std::size_t off = 0;
    const int col = TryColumnRef(off);
    if (col >= 0) {
      auto e = Make(ExprKind::Column, off);
      e->column = static_cast<Column>(col);
      return e;
    }
    if (t.kind == Tok::Name) {
      FunctionClass cls;
      const FunctionInfo* f = FindFunction(t.text, &cls);
      if (IsBareFunction(f)) {
        ++p_;
        auto e = Make(ExprKind::Call, t.offset);
        e->function = f;
        return e;
      }
    }
    Fail("unknown field name " + Describe(t));
  }

  ExprPtr ParseCall() {
    const Token& name = Cur();
    FunctionClass cls;
    const FunctionInfo* f = FindFunction(name.text, &cls);
    if (!f) {
      switch (cls) {
        case FunctionClass::Aggregate:
          Fail("the aggregate function " + name.text +
               "() cannot be used in a condition on single rows");
        case FunctionClass::Financial:
          Fail("the financial function " + name.text + "() is not available in queries");
        default:
          Fail("unknown function " + name.text + "()");
      }
    }
    const auto off = name.offset;
    p_ += 2;  // name and "("
    Nest n(*this);
    auto e = Make(ExprKind::Call, off);
    e->function = f;
    if (Cur().kind != Tok::RParen) {
      while (true) {
        e->args.push_back(ParseExpr());
        if (Cur().kind != Tok::Comma) break;
        ++p_;
      }
    }
    Expect(Tok::RParen);
    const int argc = static_cast<int>(e->args.size());
    if (argc < f->minArgs || argc > f->maxArgs) {
      std::string want = f->minArgs == f->maxArgs
                             ? std::to_string(f->minArgs)
                             : std::to_string(f->minArgs) + " to " + std::to_string(f->maxArgs);
      FailAt(off, std::string(f->name) + "() takes " + want + " argument" +
                      (f->maxArgs == 1 ? "" : "s") + ", not " + std::to_string(argc));
    }
    return Seal(std::move(e));
  }

  std::string_view text_;
  std::vector<Token> toks_;
  std::size_t p_ = 0;
  int nest_ = 0;
  int literals_ = 0;
};

}  // namespace

Statement ParseStatement(std::string_view text) {
  Parser p(text);
  return p.ParseStatementText();
}

ExprPtr ParseCondition(std::string_view text) {
  Parser p(text);
  return p.ParseConditionText();
}

}  // namespace zyl::db
