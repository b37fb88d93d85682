#include "store/interchange/conllu_format.h"


#include "common/cp949.h"
#include "store/document/analysis_record.h"

namespace selvanor::conllu {
namespace {

bool isNumber(std::string_view s) {
  if (s.empty()) return false;
  for (const char c : s) {
    if (!cp949::isAsciiDigit(c)) return false;
  }
  return true;
}

LineKind idKind(std::string_view id) {
  if (isNumber(id)) return id.find_first_not_of('0') == std::string_view::npos ? LineKind::BadId
                                                                               : LineKind::Word;
  for (const char separator : {'-', '.'}) {
    const std::size_t at = id.find(separator);
    if (at != std::string_view::npos && isNumber(id.substr(0, at)) && isNumber(id.substr(at + 1))) {
      return separator == '-' ? LineKind::Range : LineKind::EmptyNode;
    }
  }
  return LineKind::BadId;
}

std::size_t pieceCount(std::string_view s) {
  std::size_t n = 1;
  for (std::size_t at = cp949::findChar(s, '+'); at != std::string_view::npos;
       at = cp949::findChar(s, '+', at + 1)) {
    ++n;
  }
  return n;
}

// The next "+"-separated piece of `rest` (empty ones included), taken off its front.
std::string_view nextPiece(std::string_view& rest) {
  const std::size_t plus = cp949::findChar(rest, '+');
  const std::string_view piece = rest.substr(0, plus);
  rest = plus == std::string_view::npos ? std::string_view() : rest.substr(plus + 1);
  return piece;
}

// A morpheme's form and tag, cut at its last "/": tags never hold one, forms may ("/"
// itself, 1/2), and so LEMMA 1/2 with XPOS SN comes back as it went in.
struct FormAndTag {
  std::string_view form, tag;
};
FormAndTag splitMorpheme(std::string_view m) {
  std::size_t slash = std::string_view::npos;
  for (std::size_t at = cp949::findChar(m, '/'); at != std::string_view::npos;
       at = cp949::findChar(m, '/', at + 1)) {
    slash = at;
  }
  if (slash == std::string_view::npos) return {m, {}};
  return {m.substr(0, slash), m.substr(slash + 1)};
}

constexpr std::string_view kSeparator = " + ";

// The morphemes of an analysis, cut at " + ".
template <class Fn>
void forEachMorpheme(std::string_view analysis, Fn&& fn) {
  std::size_t start = 0;
  for (;;) {
    const std::size_t at = cp949::find(analysis, kSeparator, start);
    fn(analysis.substr(start, at == std::string_view::npos ? analysis.size() - start : at - start));
    if (at == std::string_view::npos) return;
    start = at + kSeparator.size();
  }
}

std::string orUnderscore(std::string s) { return s.empty() ? std::string("_") : s; }

// Whitespace to UD tools: the ASCII blanks and the ideographic space (CP949 0xA1A1, the
// one character of CP949 that Unicode counts as a space).
bool isSpaceAt(std::string_view s, std::size_t i) {
  if (cp949::charLength(s, i) == 2) return s[i] == '\xA1' && s[i + 1] == '\xA1';
  return cp949::isBlank(s[i]) || s[i] == '\f' || s[i] == '\v';
}

void appendWithoutSpaces(std::string_view s, std::string& out) {
  for (std::size_t i = 0; i < s.size(); i = cp949::nextChar(s, i)) {
    if (!isSpaceAt(s, i)) out.append(s, i, cp949::charLength(s, i));
  }
}

}  // namespace

TokenLine readTokenLine(std::string_view line) {
  TokenLine t;
  std::string_view fields[kColumns];
  std::size_t start = 0;
  for (;;) {
    const std::size_t tab = line.find('\t', start);  // a tab is never half of a character
    const std::string_view field = line.substr(start, tab == std::string_view::npos ? line.size() - start : tab - start);
    if (t.columns < kColumns) fields[t.columns] = field;
    ++t.columns;
    if (tab == std::string_view::npos) break;
    start = tab + 1;
  }
  if (t.columns != kColumns) return t;
  t.id = fields[0];
  t.form = fields[1];
  t.lemma = fields[2];
  t.upos = fields[3];
  t.xpos = fields[4];
  t.kind = idKind(t.id);
  if (t.kind == LineKind::Word && cp949::trim(t.form).empty()) t.kind = LineKind::EmptyForm;
  return t;
}

PairedAnalysis analysisOf(const TokenLine& token, bool attachDa) {
  const std::string_view xpos = token.xpos == "_" ? token.upos : token.xpos;
  PairedAnalysis out;
  const std::size_t count = pieceCount(token.lemma);
  if (count == pieceCount(xpos)) {
    std::string text;
    text.reserve(token.lemma.size() + xpos.size() + 2 * count);
    std::string_view lemmas = token.lemma, tags = xpos;
    for (std::size_t i = 0; i < count; ++i) {
      if (i > 0) text += '+';
      text.append(nextPiece(lemmas));
      text += '/';
      text.append(nextPiece(tags));
    }
    out.analysis = normalizeAnalysis(text, attachDa);
  } else {
    // One morpheme: its form keeps the "+" that made the counts differ.
    out.mismatch = true;
    std::string_view tags = xpos;
    const std::string form = cp949::removeBlanks(token.lemma);
    const std::string tag = cp949::removeBlanks(nextPiece(tags));
    const bool verb = !tag.empty() && (tag[0] == 'V' || tag[0] == 'v');
    out.analysis = attachDa && verb ? attachDaToForm(form) : form;
    out.analysis += '/';
    out.analysis += tag;
  }
  cp949::toUpperAscii(out.analysis);
  return out;
}

Columns columnsOf(const AnalysisRecord& record) {
  Columns c;
  // FORM may hold single blanks inside, never at its ends or two in a row.
  bool blank = false;
  for (std::size_t i = 0; i < record.word.size(); i = cp949::nextChar(record.word, i)) {
    const std::size_t len = cp949::charLength(record.word, i);
    if (isSpaceAt(record.word, i)) {
      blank = !c.form.empty();
      continue;
    }
    if (blank) c.form += ' ';
    blank = false;
    c.form.append(record.word, i, len);
  }
  bool first = true;
  forEachMorpheme(record.analysis, [&](std::string_view m) {
    const FormAndTag ft = splitMorpheme(m);
    if (!first) {
      c.lemma += '+';
      c.xpos += '+';
    }
    first = false;
    appendWithoutSpaces(ft.form, c.lemma);
    appendWithoutSpaces(ft.tag, c.xpos);
  });
  c.form = orUnderscore(std::move(c.form));
  c.lemma = orUnderscore(std::move(c.lemma));
  c.xpos = orUnderscore(std::move(c.xpos));
  return c;
}

bool endsSentence(std::string_view analysis) {
  std::string_view last;
  forEachMorpheme(analysis, [&](std::string_view m) { last = m; });
  return cp949::trim(splitMorpheme(last).tag) == "SF";
}

}  // namespace selvanor::conllu
