// Test data for the analysis reviews: documents and reference files written at the store
// level, random documents, and plain quadratic models of both reviews that follow the
// original algorithms step by step (rescans, walks from the first record), to check the
// fast reviews against byte for byte.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "store/document/analysis_record.h"
#include "store/engine/codecs.h"
#include "store/engine/storage.h"
#include "support/raw_documents.h"
#include "support/test_support.h"

namespace selvanor::test {

using Records = std::vector<AnalysisRecord>;
// word -> items, in the byte order of words (as the reference file's B-tree keeps them)
using ReferenceEntries = std::map<std::string, Records>;

// Records in key order, as a document walk returns them.
inline Records inKeyOrder(Records records) {
  std::sort(records.begin(), records.end(),
            [](const AnalysisRecord& a, const AnalysisRecord& b) { return a.serial < b.serial; });
  return records;
}

// The reference entries a document gives: per word its records in serial order.
inline ReferenceEntries entriesOf(const Records& document) {
  ReferenceEntries out;
  for (const AnalysisRecord& r : inKeyOrder(document)) out[r.word].push_back(r);
  return out;
}

inline void writeReference(const std::string& file, const ReferenceEntries& entries) {
  removeFile(file);
  Storage s;
  ASSERT_TRUE(s.open(file));
  for (const auto& [word, items] : entries) {
    std::vector<std::string> encoded;
    for (const AnalysisRecord& r : items) encoded.push_back(codec::encodeRecord(r));
    ASSERT_TRUE(s.put(word, codec::encodeList(encoded)));
  }
}

// ---- the quadratic models --------------------------------------------------------------

inline std::string withoutBlanks(const std::string& a) {
  std::string out;
  for (char c : a) {
    if (c != ' ' && c != '\t' && c != '\n') out += c;
  }
  return out;
}

// Text mode: every LF written becomes CR LF.
inline std::string textMode(const std::string& s) {
  std::string out;
  for (char c : s) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

// The line of `shown`, its context found by walking `document` (key order) from the first
// record until the serial matches; no context when it never does.
inline std::string modelLine(const Records& document, const AnalysisRecord& shown) {
  std::size_t at = 0;
  while (at < document.size() && document[at].serial != shown.serial) ++at;
  std::string line = shown.serial + " " + shown.word + " " + shown.analysis + " \t";
  const bool found = at < document.size();
  for (std::size_t k = at >= 2 ? at - 2 : 0; found && k < at; ++k) line += " " + document[k].word;
  line += " -";
  for (std::size_t k = at + 1; found && k <= at + 2 && k < document.size(); ++k) {
    line += " " + document[k].word;
  }
  return line + " \n";
}

inline std::string modelWorkFileReview(const Records& records) {
  const Records doc = inKeyOrder(records);
  std::set<std::string> reported;
  std::string out;
  bool wroteAnything = false;
  for (std::size_t i = 0; i < doc.size(); ++i) {
    const std::string held = modelLine(doc, doc[i]);
    if (reported.count(doc[i].word)) continue;
    bool first = true;
    for (std::size_t j = i + 1; j < doc.size(); ++j) {
      if (doc[j].word != doc[i].word ||
          withoutBlanks(doc[j].analysis) == withoutBlanks(doc[i].analysis)) {
        continue;
      }
      if (first) {
        if (!wroteAnything) out += "\n";
        wroteAnything = true;
        out += held;
        reported.insert(doc[i].word);
        first = false;
      }
      out += modelLine(doc, doc[j]);
    }
  }
  return textMode(out);
}

inline std::string modelComparison(const ReferenceEntries& reference, const ReferenceEntries& compared,
                                   const Records& referenceDocument, const Records& comparedDocument) {
  const Records refDoc = inKeyOrder(referenceDocument);
  const Records cmpDoc = inKeyOrder(comparedDocument);
  std::string out;
  for (const auto& [word, items] : reference) {
    if (items.empty()) continue;
    const AnalysisRecord& first = items.front();
    // Search the compared file from its first key.
    auto found = compared.begin();
    while (found != compared.end() && found->first != word) ++found;
    if (found == compared.end() || found->second.empty()) continue;
    const std::string held = modelLine(refDoc, first);
    bool wrote = false;
    for (const AnalysisRecord& item : found->second) {
      if (item.word != first.word || withoutBlanks(item.analysis) == withoutBlanks(first.analysis)) {
        continue;
      }
      if (!wrote) out += held;
      wrote = true;
      out += modelLine(cmpDoc, item);
    }
    if (wrote) out += "\n";
  }
  return textMode(out);
}

// ---- random documents --------------------------------------------------------------------

// Words and analyses with the traps of CP949 (second bytes that look like ASCII letters:
// 갂 is 0x81 0x41) and of blank handling (blanks, tabs and LFs ignored; a CR is not).
class RandomDocuments {
 public:
  explicit RandomDocuments(unsigned seed) : rng_(seed) {
    for (const char* w : {"나는", "밥을", "갂", "갵다", "사과를", "AB", "값이", "먹었다", "", "a b"}) {
      words_.push_back(k(w));
    }
    for (const char* a : {"갂/NNG + 를/JKO", "갂/NNG+를/JKO", "갂/NNG +\t를/JKO", "갂/NNG\n+ 를/JKO",
                          "갂/VV + 을/ETM", "갂/NNG\r+를/JKO", "A/SL", " A/SL "}) {
      analyses_.push_back(k(a));
    }
  }

  // `count` records with unique serials of mixed lengths, in no particular order.
  Records document(std::size_t count, const std::string& prefix) {
    std::set<std::string> serials;
    while (serials.size() < count) {
      serials.insert(prefix + std::to_string(rng_() % (count * 20)) + (rng_() % 4 == 0 ? "a" : "0"));
    }
    Records out;
    for (const std::string& s : serials) {
      // A skewed choice, so some words recur often and some analyses dominate.
      const std::size_t w = std::min(rng_() % words_.size(), rng_() % words_.size());
      const std::size_t a = std::min(rng_() % analyses_.size(), rng_() % analyses_.size());
      out.push_back({s, words_[w], analyses_[a]});
    }
    std::shuffle(out.begin(), out.end(), rng_);
    return out;
  }

  std::mt19937& rng() { return rng_; }

 private:
  std::mt19937 rng_;
  std::vector<std::string> words_;
  std::vector<std::string> analyses_;
};

}  // namespace selvanor::test
