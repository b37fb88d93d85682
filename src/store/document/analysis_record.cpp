#include "store/document/analysis_record.h"

#include "common/cp949.h"

namespace selvanor {
namespace {

constexpr std::string_view kDa = "\xB4\xD9";    // 다
constexpr std::string_view kStar = "\xA1\xDA";  // ★
constexpr std::string_view kMarkers = "*&#@%";

// Cuts the next field: skips blanks and tabs, then runs to the next blank or tab.
std::string_view cutField(std::string_view& rest) {
  std::size_t b = 0;
  while (b < rest.size() && (rest[b] == ' ' || rest[b] == '\t')) ++b;
  std::size_t e = b;
  while (e < rest.size() && rest[e] != ' ' && rest[e] != '\t') e = cp949::nextChar(rest, e);
  std::string_view field = rest.substr(b, e - b);
  rest.remove_prefix(e);
  return cp949::trim(field);
}

// Fills word and analysis from "word analysis..."; false when either is missing.
bool parseWordAndAnalysis(std::string_view rest, bool attachDa, AnalysisRecord& record) {
  const std::string_view word = cutField(rest);
  const std::string_view analysis = cp949::trim(rest);
  if (word.empty() || analysis.empty()) return false;
  record.word.assign(word);
  record.analysis = normalizeAnalysis(analysis, attachDa);
  cp949::toUpperAscii(record.analysis);
  return true;
}

void appendMorpheme(std::string_view morpheme, bool attachDa, std::string& out) {
  std::string fixed;
  std::size_t slash = cp949::findChar(morpheme, '/');
  if (slash == std::string_view::npos) {
    // The inserted '/' stands at a known place: no second search that a stray byte
    // before it could defeat.
    const std::size_t letter = cp949::findLetter(morpheme);
    if (letter != std::string_view::npos) {
      fixed.assign(morpheme.substr(0, letter));
      fixed += '/';
      fixed.append(morpheme.substr(letter));
      slash = letter;
    } else {
      fixed.assign(morpheme);
      fixed += "/?";
      slash = morpheme.size();
    }
    morpheme = fixed;
  }
  const std::string_view form = morpheme.substr(0, slash);
  const std::string_view tail = morpheme.substr(slash);
  if (attachDa && tail.size() > 1 && (tail[1] == 'V' || tail[1] == 'v')) {
    out += attachDaToForm(form);
  } else {
    out.append(form);
  }
  out.append(tail);
}

}  // namespace

std::string attachDaToForm(std::string_view form) {
  // 다 goes before a homonym number, a marker or ★, or at the end. A form that already
  // has 다 in that place keeps it: re-importing an exported document (먹다01, 먹다*)
  // must not double it.
  const auto daBefore = [&](std::size_t pos) { return cp949::endsWith(form.substr(0, pos), kDa); };
  // A stray lead byte right before the place would pair with the first byte of 다: the
  // form would change characters and grow another 다 each time it is read again.
  const auto strayLeadBefore = [&](std::size_t pos) {
    const std::string_view head = form.substr(0, pos);
    const std::size_t last = cp949::lastCharStart(head);
    return last != std::string_view::npos && cp949::charLength(head, last) == 1 &&
           cp949::isLeadByte(static_cast<unsigned char>(head[last]));
  };
  const auto insertedAt = [&](std::size_t pos) {
    std::string out(form);
    if (!daBefore(pos) && !strayLeadBefore(pos)) out.insert(pos, kDa);
    return out;
  };
  const std::size_t marker = cp949::findAnyOf(form, kMarkers);
  const std::size_t digit = cp949::findDigit(form);
  if (digit != std::string_view::npos) {
    if (cp949::endsWith(form, kDa)) return std::string(form);
    return insertedAt(marker != std::string_view::npos ? marker : digit);
  }
  if (const std::size_t star = cp949::find(form, kStar); star != std::string_view::npos) {
    return insertedAt(star);
  }
  if (marker != std::string_view::npos) return insertedAt(marker);
  return insertedAt(form.size());
}

std::string normalizeAnalysis(std::string_view analysis, bool attachDa) {
  const std::string compact = cp949::removeBlanks(analysis);
  const std::string_view text = compact;
  std::string out;
  out.reserve(text.size() + 16);
  std::size_t start = 0;
  bool first = true;
  for (;;) {
    const std::size_t plus = cp949::findChar(text, '+', start);
    const std::size_t end = plus == std::string_view::npos ? text.size() : plus;
    if (!first) out += " + ";
    first = false;
    appendMorpheme(text.substr(start, end - start), attachDa, out);
    if (plus == std::string_view::npos || plus + 1 == text.size()) break;
    start = plus + 1;
  }
  return out;
}

std::string recordLine(const AnalysisRecord& r, std::string_view separator,
                       std::string_view lineEnd) {
  std::string line;
  line.reserve(r.serial.size() + r.word.size() + r.analysis.size() + 2 * separator.size() +
               lineEnd.size());
  line += r.serial;
  line += separator;
  line += r.word;
  line += separator;
  line += r.analysis;
  line += lineEnd;
  return line;
}

ParsedLine parseLine(std::string_view line, bool attachDa) {
  ParsedLine parsed;
  std::string_view rest = line;
  parsed.record.serial.assign(cutField(rest));
  if (parsed.record.serial.empty() || !parseWordAndAnalysis(rest, attachDa, parsed.record)) {
    parsed.status = result::kFormatError;
  }
  return parsed;
}

ParsedLine parseUnnumberedLine(std::string serial, std::string_view line, bool attachDa) {
  ParsedLine parsed;
  parsed.record.serial = std::move(serial);
  if (!parseWordAndAnalysis(line, attachDa, parsed.record)) parsed.status = result::kFormatError;
  return parsed;
}

}  // namespace selvanor
