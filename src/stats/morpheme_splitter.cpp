#include "stats/morpheme_splitter.h"

#include "common/cp949.h"
#include "stats/tag_manager.h"

namespace selvanor {

bool MorphemeSplitter::SetText(std::string_view text, std::string_view delimiters) {
  text_.assign(text.data(), text.size());  // keeps the capacity: CheckTags runs per record
  delimiters_.assign(delimiters.data(), delimiters.size());
  pos_ = 0;
  return true;
}

bool MorphemeSplitter::SetText(const char* text, std::string_view delimiters) {
  if (text == nullptr) return false;
  return SetText(std::string_view(text), delimiters);
}

bool MorphemeSplitter::isDelimiter(std::size_t pos, std::string_view delimiters) const {
  return cp949::charLength(text_, pos) == 1 &&
         delimiters.find(text_[pos]) != std::string_view::npos;
}

std::optional<std::string_view> MorphemeSplitter::NextToken(
    std::optional<std::string_view> delimiters) {
  const std::string_view delims = delimiters ? *delimiters : std::string_view(delimiters_);
  while (pos_ < text_.size() && isDelimiter(pos_, delims)) pos_ = cp949::nextChar(text_, pos_);
  if (pos_ >= text_.size()) return std::nullopt;
  const std::size_t start = pos_;
  while (pos_ < text_.size() && !isDelimiter(pos_, delims)) pos_ = cp949::nextChar(text_, pos_);
  const std::string_view token = std::string_view(text_).substr(start, pos_ - start);
  if (pos_ < text_.size()) ++pos_;  // the delimiter that ended the token is used up
  return token;
}

bool MorphemeSplitter::HasMoreTokens() const {
  for (std::size_t i = pos_; i < text_.size(); i = cp949::nextChar(text_, i)) {
    if (!isDelimiter(i, delimiters_)) return true;
  }
  return false;
}

const Morpheme* MorphemeSplitter::NextMorpheme() {
  current_.text.clear();
  current_.tag.clear();
  current_.marker = '\0';
  current_.hasTag = false;
  current_.offset = 0;

  std::optional<std::string_view> next = NextToken();
  if (!next) return nullptr;
  std::string_view token = *next;

  // A "+" after the first character ends the morpheme; the rest is read as the next token.
  const std::size_t plus = cp949::findChar(token, '+', cp949::nextChar(token, 0));
  if (plus != std::string_view::npos) {
    pos_ = static_cast<std::size_t>(token.data() - text_.data()) + plus + 1;
    token = token.substr(0, plus);
  }

  if (cp949::isSingle(token, 0, '+')) {
    if (token.size() == 1) {
      // A lone "+" joins morphemes: the next token is the morpheme, taken whole.
      next = NextToken();
      if (!next) return &current_;
      token = *next;
    } else if (!cp949::isSingle(token, 1, '/')) {
      token.remove_prefix(1);
    }
  }

  const std::size_t slash = cp949::findChar(token, '/', cp949::nextChar(token, 0));
  if (slash == std::string_view::npos) return &current_;

  std::string_view form = token.substr(0, slash);
  const std::size_t last = cp949::lastCharStart(form);
  if (last != std::string_view::npos && cp949::charLength(form, last) == 1 &&
      kMarkers.find(form[last]) != std::string_view::npos) {
    current_.marker = form[last];
    form.remove_suffix(1);
  }
  current_.text.assign(form.data(), form.size());
  current_.offset = static_cast<std::size_t>(form.data() - text_.data());
  const std::string_view tag = token.substr(slash + 1);
  current_.tag.assign(tag.data(), tag.size());
  cp949::toUpperAscii(current_.tag);
  current_.hasTag = true;
  return &current_;
}

bool MorphemeSplitter::CheckTags(std::string_view analysis) {
  if (tags_ == nullptr) return false;
  SetText(analysis, " ");
  while (const Morpheme* m = NextMorpheme()) {
    if (!m->hasTag || tags_->FindTag(m->tag, 0) == nullptr) return false;
  }
  return true;
}

bool MorphemeSplitter::CheckTags(const char* analysis) {
  if (analysis == nullptr) return false;
  return CheckTags(std::string_view(analysis));
}

std::string joinMorphemes(const std::vector<MorphemeRow>& rows) {
  std::string analysis;
  for (std::size_t k = 0; k < rows.size(); ++k) {
    const MorphemeRow& r = rows[k];
    if (!r.apply) continue;
    if (k > 0) analysis += " + ";
    analysis += r.text;
    analysis += r.marker;
    analysis += '/';
    analysis += r.tag;
  }
  return analysis;
}

}  // namespace selvanor
