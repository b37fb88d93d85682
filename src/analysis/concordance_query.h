// Concordance queries: what a token pattern looks like and how a typed query becomes one.
//
// A query is one or more token patterns separated by blanks; consecutive patterns match
// consecutive records of a document.
//   w:먹었다  w:먹*         the record's word (exact, or with a leading/trailing "*")
//   먹/VV+었/EP  */NNG      consecutive morphemes anywhere in the record's analysis;
//   ^먹/VV  다/EF$          "^" ties the first piece to the first morpheme, "$" the last
//                           piece to the last; a piece without "/" is a form with any tag
//   */체언                  a class or item name of the tag file stands for its tags
//   []  []{0,3}  []{2}      any one record; between m and n records; exactly n
// FORM, TAG and a word may be "*", or start and/or end with "*" (suffix, prefix, contains);
// "\" takes the next character literally ("\+/SW", "\*/SW"). Patterns are CP949 and
// compare whole characters; tags compare ASCII case-insensitively.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace selvanor {
class TagManager;
}

namespace selvanor::analysis {

// A text with optional "*" at its ends. Text is CP949; tag patterns are kept upper-cased.
struct TextPattern {
  enum class Kind { Any, Exact, Prefix, Suffix, Contains };
  Kind kind = Kind::Any;
  std::string text;

  // True when `value` matches, comparing whole CP949 characters; with `foldCase`, ASCII
  // letters of `value` are compared upper-cased (the pattern already is).
  [[nodiscard]] bool matches(std::string_view value, bool foldCase = false) const;
};

// One FORM/TAG piece of a morpheme pattern. `tagSet`, when not empty, replaces `tag`:
// the tags a class name of the tag file stands for.
struct MorphemePiece {
  TextPattern form;
  TextPattern tag;
  std::vector<std::string> tagSet;
};

struct TokenPattern {
  enum class Kind { Word, Morphemes, Gap };
  Kind kind = Kind::Word;
  TextPattern word;                   // Kind::Word
  std::vector<MorphemePiece> pieces;  // Kind::Morphemes
  bool anchoredFirst = false;         // "^"
  bool anchoredLast = false;          // "$"
  std::size_t minRecords = 1;         // Kind::Gap: "[]{min,max}"
  std::size_t maxRecords = 1;
  // Kind::Morphemes: texts every matching analysis holds byte for byte (the pieces' form
  // texts; their tag texts when the stored tags are upper case), so that most records are
  // ruled out before their analysis is split.
  std::vector<std::string> formTexts;
  std::vector<std::string> tagTexts;
};

struct Query {
  std::vector<TokenPattern> tokens;
  std::string text;  // the query as typed (CP949)

  // Most records one hit can span; fewest.
  [[nodiscard]] std::size_t maxLength() const;
  [[nodiscard]] std::size_t minLength() const;
  // The exact word the first pattern asks for, when it asks for one (then a reference
  // file can find the candidates without walking the document).
  [[nodiscard]] std::optional<std::string> leadingExactWord() const;
};

struct QueryError {
  std::size_t position = 0;  // 1-based character of the query where the fault lies
  std::string message;       // Korean, UTF-8
};

struct QueryParse {
  std::optional<Query> query;
  QueryError error;  // when !query
  explicit operator bool() const { return query.has_value(); }
};

// The longest gap "[]{m,n}" accepts, which bounds the records a hit holds in memory.
inline constexpr std::size_t kMaxGap = 20;

// Reads `query` (CP949). `tags` resolves class names; without it a class name is an error.
[[nodiscard]] QueryParse parseQuery(std::string_view query, const TagManager* tags);

// Queries for one record's word, or one morpheme (FORM/TAG), with every character the
// query language reads specially taken literally (CP949 in and out).
[[nodiscard]] std::string wordQuery(std::string_view word);
[[nodiscard]] std::string morphemeQuery(std::string_view form, std::string_view tag);

// "검색식 오류(N번째 글자): ..." for the CLI and the window (UTF-8).
[[nodiscard]] std::string describe(const QueryError& error);

}  // namespace selvanor::analysis
