#include "analysis/concordance_query.h"

#include <algorithm>

#include "common/cp949.h"
#include "common/encoding.h"
#include "stats/tag_manager.h"

namespace selvanor::analysis {
namespace {

// Compares one character of `value` at `v` with the pattern's character at `p` (both
// character starts); ASCII letters of `value` fold to upper case when asked.
bool sameChar(std::string_view value, std::size_t v, std::string_view pattern, std::size_t p,
              bool foldCase) {
  const std::size_t vl = cp949::charLength(value, v);
  const std::size_t pl = cp949::charLength(pattern, p);
  if (vl != pl) return false;
  if (vl == 2) return value[v] == pattern[p] && value[v + 1] == pattern[p + 1];
  char c = value[v];
  if (foldCase && cp949::isAsciiLower(c)) c = static_cast<char>(c - 'a' + 'A');
  return c == pattern[p];
}

// `pattern` matches `value` from the character start `at`; the end of the match, or npos.
std::size_t matchAt(std::string_view value, std::size_t at, std::string_view pattern, bool foldCase) {
  std::size_t v = at, p = 0;
  while (p < pattern.size()) {
    if (v >= value.size() || !sameChar(value, v, pattern, p, foldCase)) return std::string_view::npos;
    v = cp949::nextChar(value, v);
    p = cp949::nextChar(pattern, p);
  }
  return v;
}

bool equalChars(std::string_view value, std::string_view pattern, bool foldCase) {
  if (value == pattern) return true;
  if (!foldCase || value.size() != pattern.size()) return false;
  return matchAt(value, 0, pattern, true) == value.size();
}

class Parser {
 public:
  Parser(std::string_view text, const TagManager* tags) : text_(text), tags_(tags) {}

  QueryParse run() {
    QueryParse out;
    Query query;
    query.text = std::string(text_);
    std::size_t pos = 0;
    while (true) {
      while (pos < text_.size() && cp949::isBlank(text_[pos])) ++pos;
      if (pos >= text_.size()) break;
      std::size_t end = pos;
      while (end < text_.size() && !cp949::isBlank(text_[end])) {
        // An escaped character is taken whole, so "\" before a two-byte character keeps it.
        if (cp949::isSingle(text_, end, '\\') && end + 1 < text_.size()) end = cp949::nextChar(text_, end);
        end = cp949::nextChar(text_, end);
      }
      std::optional<TokenPattern> token = parseToken(pos, end);
      if (!token) {
        out.error = error_;
        return out;
      }
      query.tokens.push_back(std::move(*token));
      pos = end;
    }
    if (query.tokens.empty()) return fail(1, "검색식이 비어 있습니다.");
    const TokenPattern& first = query.tokens.front();
    const TokenPattern& last = query.tokens.back();
    if (first.kind == TokenPattern::Kind::Gap && first.minRecords != first.maxRecords) {
      return fail(charIndex(firstStart_), "검색식은 길이가 정해지지 않은 []{m,n}으로 시작할 수 없습니다.");
    }
    if (last.kind == TokenPattern::Kind::Gap && last.minRecords != last.maxRecords) {
      return fail(charIndex(lastStart_), "검색식은 길이가 정해지지 않은 []{m,n}으로 끝날 수 없습니다.");
    }
    if (query.maxLength() == 0) return fail(1, "검색식이 어떤 어절과도 맞지 않습니다: []{0}뿐입니다.");
    out.query = std::move(query);
    return out;
  }

 private:
  QueryParse fail(std::size_t position, std::string message) {
    QueryParse out;
    out.error = {position, std::move(message)};
    return out;
  }
  // Records the fault at the byte `at`; parsing then stops.
  std::nullopt_t error(std::size_t at, std::string message) {
    error_ = {charIndex(at), std::move(message)};
    return std::nullopt;
  }
  std::size_t charIndex(std::size_t byte) const {
    std::size_t n = 1;
    for (std::size_t p = 0; p < byte && p < text_.size(); p = cp949::nextChar(text_, p)) ++n;
    return n;
  }
  bool at(std::size_t pos, char c) const { return pos < text_.size() && cp949::isSingle(text_, pos, c); }

  std::optional<TokenPattern> parseToken(std::size_t begin, std::size_t end) {
    if (firstStart_ == std::string_view::npos) firstStart_ = begin;
    lastStart_ = begin;
    if (at(begin, '[')) return parseGap(begin, end);
    if (end - begin >= 2 && (at(begin, 'w') || at(begin, 'W')) && at(begin + 1, ':')) {
      TokenPattern token;
      token.kind = TokenPattern::Kind::Word;
      std::optional<TextPattern> word = parseText(begin + 2, end, "", false, "어절");
      if (!word) return std::nullopt;
      token.word = std::move(*word);
      return token;
    }
    return parseMorphemes(begin, end);
  }

  std::optional<TokenPattern> parseGap(std::size_t begin, std::size_t end) {
    TokenPattern token;
    token.kind = TokenPattern::Kind::Gap;
    if (!at(begin + 1, ']')) return error(begin + 1, "'[' 다음에는 ']'가 와야 합니다: []는 아무 어절 하나입니다.");
    std::size_t pos = begin + 2;
    if (pos == end) return token;
    if (!at(pos, '{')) return error(pos, "[] 다음에는 빈칸이나 {m,n}이 와야 합니다.");
    ++pos;
    const std::optional<std::size_t> low = number(pos, end);
    if (!low) return std::nullopt;
    std::size_t high = *low;
    if (at(pos, ',')) {
      ++pos;
      const std::optional<std::size_t> h = number(pos, end);
      if (!h) return std::nullopt;
      high = *h;
    }
    if (!at(pos, '}')) return error(pos, "'}'가 와야 합니다.");
    if (pos + 1 != end) return error(pos + 1, "'}' 다음에는 빈칸이 와야 합니다.");
    if (high < *low) return error(begin + 2, "[]{m,n}에서 m은 n보다 클 수 없습니다.");
    if (high > kMaxGap) {
      return error(begin + 2, "[]{m,n}의 n은 " + std::to_string(kMaxGap) + "을 넘을 수 없습니다.");
    }
    token.minRecords = *low;
    token.maxRecords = high;
    return token;
  }

  std::optional<std::size_t> number(std::size_t& pos, std::size_t end) {
    const std::size_t start = pos;
    std::size_t value = 0;
    while (pos < end && cp949::isDigitAt(text_, pos)) {
      value = std::min<std::size_t>(value * 10 + static_cast<std::size_t>(text_[pos] - '0'), 1000000);
      ++pos;
    }
    if (pos == start) {
      error(pos, "숫자가 와야 합니다.");
      return std::nullopt;
    }
    return value;
  }

  std::optional<TokenPattern> parseMorphemes(std::size_t begin, std::size_t end) {
    TokenPattern token;
    token.kind = TokenPattern::Kind::Morphemes;
    std::size_t pos = begin;
    if (at(pos, '^')) {
      token.anchoredFirst = true;
      ++pos;
    }
    std::size_t stop = end;
    if (stop > pos && cp949::isSingle(text_, stop - 1, '$') &&
        !(stop - 1 > pos && cp949::isSingle(text_, stop - 2, '\\'))) {
      token.anchoredLast = true;
      --stop;
    }
    while (true) {
      std::optional<TextPattern> form = parseText(pos, stop, "/+", false, "형태");
      if (!form) return std::nullopt;
      pos = textEnd_;
      MorphemePiece piece;
      piece.form = std::move(*form);
      if (at(pos, '/')) {
        const std::size_t tagStart = pos + 1;
        std::optional<TextPattern> tag = parseText(tagStart, stop, "+/", true, "태그");
        if (!tag) return std::nullopt;
        pos = textEnd_;
        if (at(pos, '/')) return error(pos, "형태와 태그 사이의 '/'는 한 번만 씁니다. '/' 형태는 '\\/'로 씁니다.");
        piece.tag = std::move(*tag);
        if (!resolveClass(piece, tagStart)) return std::nullopt;
      }
      if (piece.form.kind != TextPattern::Kind::Any) token.formTexts.push_back(piece.form.text);
      if (piece.tag.kind != TextPattern::Kind::Any && piece.tagSet.empty()) token.tagTexts.push_back(piece.tag.text);
      token.pieces.push_back(std::move(piece));
      if (pos >= stop) break;
      ++pos;  // the "+"
      if (pos >= stop) return error(pos, "'+' 다음에 형태소가 와야 합니다.");
    }
    return token;
  }

  // A tag pattern holding characters other than ASCII names a class (or item) of the tag
  // file: it stands for that entry's tags.
  bool resolveClass(MorphemePiece& piece, std::size_t tagStart) {
    const TextPattern& tag = piece.tag;
    if (tag.kind == TextPattern::Kind::Any) return true;
    const bool ascii = std::all_of(tag.text.begin(), tag.text.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (ascii) return true;
    if (tag.kind != TextPattern::Kind::Exact) {
      error(tagStart, "분류 이름에는 '*'를 쓸 수 없습니다.");
      return false;
    }
    if (!tags_ || !tags_->IsLoaded()) {
      error(tagStart, "분류 이름(" + encoding::cp949ToUtf8Lossy(tag.text) +
                          ")을 쓰려면 태그 파일이 있어야 합니다.");
      return false;
    }
    const TagNode* node = tags_->FindEntry(tag.text);
    if (!node) {
      error(tagStart, "태그 파일에 없는 분류입니다: " + encoding::cp949ToUtf8Lossy(tag.text));
      return false;
    }
    tags_->CollectTags(node->name, node->level, piece.tagSet);
    if (piece.tagSet.empty()) {
      error(tagStart, "태그가 없는 분류입니다: " + encoding::cp949ToUtf8Lossy(tag.text));
      return false;
    }
    for (std::string& t : piece.tagSet) cp949::toUpperAscii(t);
    return true;
  }

  // A text up to `stop` or the first unescaped character of `terminators`; the end is left
  // in textEnd_. "*" may stand only at either end.
  std::optional<TextPattern> parseText(std::size_t begin, std::size_t stop, std::string_view terminators,
                                       bool upper, const char* what) {
    std::string text;
    bool leadingStar = false, trailingStar = false;
    std::size_t pos = begin;
    while (pos < stop) {
      if (cp949::charLength(text_, pos) == 1 && terminators.find(text_[pos]) != std::string_view::npos) break;
      if (trailingStar) return error(pos - 1, std::string("'*'는 ") + what + "의 앞이나 뒤에만 쓸 수 있습니다.");
      if (cp949::isSingle(text_, pos, '\\')) {
        if (pos + 1 >= stop) return error(pos, "'\\' 다음에 글자가 와야 합니다.");
        const std::size_t next = pos + 1;
        text.append(text_.substr(next, cp949::charLength(text_, next)));
        pos = cp949::nextChar(text_, next);
        continue;
      }
      if (cp949::isSingle(text_, pos, '*')) {
        if (pos == begin) leadingStar = true;
        else trailingStar = true;
        ++pos;
        continue;
      }
      if (cp949::charLength(text_, pos) == 1 &&
          (text_[pos] == '[' || text_[pos] == ']' || text_[pos] == '^' || text_[pos] == '$')) {
        return error(pos, std::string("'") + text_[pos] + "'는 이 자리에 쓸 수 없습니다. 글자로 찾으려면 '\\" +
                              text_[pos] + "'로 씁니다.");
      }
      text.append(text_.substr(pos, cp949::charLength(text_, pos)));
      pos = cp949::nextChar(text_, pos);
    }
    textEnd_ = pos;
    TextPattern pattern;
    if (upper) cp949::toUpperAscii(text);
    if (text.empty()) {
      if (!leadingStar) return error(pos, std::string(what) + " 자리가 비어 있습니다.");
      if (trailingStar) return error(pos - 1, std::string("'**'는 ") + what + " 자리에 쓸 수 없습니다.");
      pattern.kind = TextPattern::Kind::Any;
      return pattern;
    }
    pattern.text = std::move(text);
    pattern.kind = leadingStar && trailingStar ? TextPattern::Kind::Contains
                   : leadingStar               ? TextPattern::Kind::Suffix
                   : trailingStar              ? TextPattern::Kind::Prefix
                                               : TextPattern::Kind::Exact;
    return pattern;
  }

  std::string_view text_;
  const TagManager* tags_;
  QueryError error_;
  std::size_t textEnd_ = 0;
  std::size_t firstStart_ = std::string_view::npos;
  std::size_t lastStart_ = 0;
};

}  // namespace

bool TextPattern::matches(std::string_view value, bool foldCase) const {
  switch (kind) {
    case Kind::Any:
      return true;
    case Kind::Exact:
      return equalChars(value, text, foldCase);
    case Kind::Prefix:
      return matchAt(value, 0, text, foldCase) != std::string_view::npos;
    case Kind::Suffix: {
      if (value.size() < text.size()) return false;
      // The suffix must begin on a character start of `value`.
      for (std::size_t p = 0; p < value.size(); p = cp949::nextChar(value, p)) {
        if (value.size() - p == text.size()) return matchAt(value, p, text, foldCase) == value.size();
        if (value.size() - p < text.size()) return false;
      }
      return false;
    }
    case Kind::Contains:
      for (std::size_t p = 0; p + text.size() <= value.size(); p = cp949::nextChar(value, p)) {
        if (matchAt(value, p, text, foldCase) != std::string_view::npos) return true;
      }
      return false;
  }
  return false;
}

std::size_t Query::maxLength() const {
  std::size_t n = 0;
  for (const TokenPattern& t : tokens) n += t.kind == TokenPattern::Kind::Gap ? t.maxRecords : 1;
  return n;
}

std::size_t Query::minLength() const {
  std::size_t n = 0;
  for (const TokenPattern& t : tokens) n += t.kind == TokenPattern::Kind::Gap ? t.minRecords : 1;
  return n;
}

std::optional<std::string> Query::leadingExactWord() const {
  if (tokens.empty()) return std::nullopt;
  const TokenPattern& first = tokens.front();
  if (first.kind != TokenPattern::Kind::Word || first.word.kind != TextPattern::Kind::Exact) return std::nullopt;
  return first.word.text;
}

QueryParse parseQuery(std::string_view query, const TagManager* tags) {
  return Parser(query, tags).run();
}

namespace {
std::string literal(std::string_view text) {
  std::string out;
  for (std::size_t p = 0; p < text.size(); p = cp949::nextChar(text, p)) {
    if (cp949::charLength(text, p) == 1 && std::string_view("\\*+/$^[] \t").find(text[p]) != std::string_view::npos) {
      out += '\\';
    }
    out.append(text.substr(p, cp949::charLength(text, p)));
  }
  return out;
}
}  // namespace

std::string wordQuery(std::string_view word) { return "w:" + literal(word); }

std::string morphemeQuery(std::string_view form, std::string_view tag) {
  return literal(form) + "/" + (tag.empty() ? std::string("*") : literal(tag));
}

std::string describe(const QueryError& error) {
  return "검색식 오류(" + std::to_string(error.position) + "번째 글자): " + error.message;
}

}  // namespace selvanor::analysis
