#include "analysis/record_matcher.h"

#include <algorithm>

#include "common/cp949.h"

namespace selvanor::analysis {
namespace {

std::string_view trimmed(std::string_view s) {
  std::size_t b = 0, e = s.size();
  while (b < e && cp949::isBlank(s[b])) ++b;
  while (e > b && cp949::isBlank(s[e - 1])) --e;  // a blank is never a second byte
  return s.substr(b, e - b);
}

// "+", "/" and blanks are never the second byte of a two-byte character (and never a
// first byte), so they are found byte by byte; only the first character of a piece, which
// may itself be a "+" or a "/", is stepped over as a character.
MorphemeView viewOf(std::string_view piece) {
  MorphemeView m;
  m.whole = piece;
  const std::size_t first = piece.empty() ? 0 : cp949::charLength(piece, 0);
  const std::string_view rest = piece.substr(first);
  const std::size_t slash = rest.rfind('/');
  if (slash == std::string_view::npos) {
    m.form = piece;
  } else {
    m.form = trimmed(piece.substr(0, first + slash));
    m.tag = trimmed(piece.substr(first + slash + 1));
  }
  return m;
}

bool tagMatches(const MorphemePiece& piece, std::string_view tag) {
  if (piece.tagSet.empty()) return piece.tag.matches(tag, /*foldCase=*/true);
  // Stored tags are upper case: the byte comparison decides all but a lower-cased tag.
  return std::any_of(piece.tagSet.begin(), piece.tagSet.end(), [&](const std::string& t) {
    return t == tag || (t.size() == tag.size() && cp949::upperAscii(tag) == t);
  });
}

bool pieceMatches(const MorphemePiece& piece, const MorphemeView& m) {
  return piece.form.matches(m.form) && tagMatches(piece, m.tag);
}

bool morphemesMatch(const TokenPattern& token, const std::vector<MorphemeView>& ms) {
  const std::size_t k = token.pieces.size();
  if (k == 0 || ms.size() < k) return false;
  const std::size_t lastStart = ms.size() - k;
  const std::size_t from = token.anchoredLast ? lastStart : 0;
  const std::size_t to = token.anchoredFirst ? 0 : lastStart;
  for (std::size_t s = from; s <= to; ++s) {
    std::size_t i = 0;
    while (i < k && pieceMatches(token.pieces[i], ms[s + i])) ++i;
    if (i == k) return true;
  }
  return false;
}

// False when the analysis lacks a text every match needs. A byte search may find a text
// across a character boundary, which only lets a record through to the full match; it
// never rules out a record that matches. Tags are searched upper-cased, so an analysis
// with a lower-case ASCII byte (or a second byte that looks like one) goes through.
bool couldMatch(const TokenPattern& token, std::string_view analysis) {
  for (const std::string& text : token.formTexts) {
    if (analysis.find(text) == std::string_view::npos) return false;
  }
  for (const std::string& text : token.tagTexts) {
    if (analysis.find(text) != std::string_view::npos) continue;
    return std::any_of(analysis.begin(), analysis.end(), [](char c) { return c >= 'a' && c <= 'z'; });
  }
  return true;
}

// Tries the patterns from `token` on at record `index`; shortest gaps first.
std::optional<std::size_t> matchFrom(const Query& query, std::size_t token, const RecordSequence& records,
                                     std::size_t index) {
  if (token == query.tokens.size()) return index;
  const TokenPattern& t = query.tokens[token];
  if (t.kind == TokenPattern::Kind::Gap) {
    for (std::size_t n = t.minRecords; n <= t.maxRecords; ++n) {
      // Every skipped record must exist: a gap does not run past the document's end.
      if (n > 0 && !records.at(index + n - 1)) return std::nullopt;
      if (auto end = matchFrom(query, token + 1, records, index + n)) return end;
    }
    return std::nullopt;
  }
  const RecordSlot* slot = records.at(index);
  if (!slot || !matchesToken(t, *slot)) return std::nullopt;
  return matchFrom(query, token + 1, records, index + 1);
}

}  // namespace

void splitMorphemes(std::string_view analysis, std::vector<MorphemeView>& out) {
  out.clear();
  std::size_t pos = 0;
  const std::size_t n = analysis.size();
  while (pos < n) {
    while (pos < n && cp949::isBlank(analysis[pos])) ++pos;
    if (pos >= n) break;
    const std::size_t start = pos;
    // The first character is the form's, even a "+".
    const std::size_t plus = analysis.find('+', start + cp949::charLength(analysis, start));
    pos = plus == std::string_view::npos ? n : plus;
    const std::string_view piece = trimmed(analysis.substr(start, pos - start));
    if (!piece.empty()) out.push_back(viewOf(piece));
    if (pos < n) ++pos;  // the "+"
  }
}

void RecordSlot::assign(const AnalysisRecord& record, std::uint32_t recordNumber) {
  record_.serial.assign(record.serial);
  record_.word.assign(record.word);
  record_.analysis.assign(record.analysis);
  recordNumber_ = recordNumber;
  split_ = false;
}

const std::vector<MorphemeView>& RecordSlot::morphemes() const {
  if (!split_) {
    splitMorphemes(record_.analysis, morphemes_);
    split_ = true;
  }
  return morphemes_;
}

bool matchesToken(const TokenPattern& token, const RecordSlot& record) {
  switch (token.kind) {
    case TokenPattern::Kind::Gap:
      return true;
    case TokenPattern::Kind::Word:
      return token.word.matches(record.record().word);
    case TokenPattern::Kind::Morphemes:
      return couldMatch(token, record.record().analysis) && morphemesMatch(token, record.morphemes());
  }
  return false;
}

std::optional<std::size_t> matchAt(const Query& query, const RecordSequence& records, std::size_t start) {
  return matchFrom(query, 0, records, start);
}

}  // namespace selvanor::analysis
