// DBWrap: the one façade through which dialogs, the view and the command line build, read,
// change and report the system's files. Each operation opens the files it needs, works,
// closes them and returns a result code (common/result_codes.h); failures also write one
// English diagnostic line. The operations are implemented beside the subsystem they belong
// to (store/document_*.cpp for documents).
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/result_codes.h"
#include "store/analysis_record.h"

namespace selvanor {

class Storage;

// How the input of a document build gets its serials.
enum class SerialMode {
  Numbered,  // the first field of each line is its serial
  Generate,  // serials are made from the prefix and the running line number
};

// Text export kinds.
enum class ExportKind : int {
  Document = -100,      // analysis document: "serial\tword\tanalysis\n" per record
  Reference = -110,     // reference file: one such line per item of each entry
  Homonym = -120,       // homonym dictionary dump
  Unregistered = -140,  // unregistered-word dictionary dump
};

class DBWrap {
 public:
  // Parses one numbered line and remembers its first field as the last serial.
  [[nodiscard]] ParsedLine parseLine(std::string_view line, bool attachDa);

  // Writes the numbered form of an unnumbered text: " PREFIX%06d0  line\n" per non-empty
  // trimmed line. kOk or kTextFileError.
  [[nodiscard]] ResultCode addIndex(const std::string& input, const std::string& output,
                                    std::string_view prefix);

  // Builds an analysis document from analysed text: one record per non-empty line, later
  // duplicates replacing earlier ones. The document is built beside `output` and renamed
  // over it only on success, so a failed build leaves what was there untouched. Results:
  // kOk; kFormatError (lastSerial() names the line); kTextFileError (input unreadable);
  // kOpenError; kInsertError (a record or the finished file could not be written).
  [[nodiscard]] ResultCode makeBunsukDB(const std::string& input, const std::string& output,
                                        std::string_view prefix, SerialMode mode, bool attachDa);

  // Writes a database file out as text. The text is written beside `output` and renamed
  // over it on success. kOk; kTextFileError (output cannot be written); kOpenError (source
  // cannot be opened or holds a value of the wrong kind).
  [[nodiscard]] ResultCode printDBcont(ExportKind kind, const std::string& source,
                                       const std::string& output);

  // First field of the last line parsed (empty before any); shown in format-error messages.
  const std::string& lastSerial() const { return lastSerial_; }

  // ---- documents: merge (store/document_merge.cpp) ----------------------------------

  // Copies every record of `added` into `base` (created when missing) under its serial; a
  // serial in both ends up with the record of `added`. `added` must exist and is not
  // changed; merging a document into itself changes nothing. Both are read as documents
  // before anything is written. kOk; kOpenError (either cannot be opened, or holds a value
  // that is not an analysis record: nothing is written); kInsertError (a record could not
  // be stored: the records before it are merged).
  [[nodiscard]] ResultCode mergeBunsukDB(const std::string& base, const std::string& added);

  // ---- reference files (store/reference_*.cpp) ---------------------------------------

  // Builds the reference file of `document` (reference::referencePath: the path + "x"):
  // for every word, the records that hold it in serial order. Occurrences are grouped with
  // bounded memory and each word is written once, into a file beside the reference file
  // that is renamed over it on success: a failed build leaves the previous one as it was.
  // kOk; kOpenError (the document is missing, unreadable or not a document); kInsertError
  // (the reference file or its scratch files cannot be written).
  [[nodiscard]] ResultCode makeWonmunDB(const std::string& document);

  // The items of `word` in stored order (one keyed get). An existing file only. kOk (the
  // file has records; `items` is empty when the word is absent); kNothingToRead (the file
  // is empty); kOpenError (it cannot be opened, or the entry is not a reference entry).
  [[nodiscard]] ResultCode getWonmun2(const std::string& reference, std::string_view word,
                                      std::vector<AnalysisRecord>& items);

  // Appends the items of every word of `added` after those `base` (created when missing)
  // already holds; duplicates are kept, so merging a file into itself doubles every entry.
  // `added` must exist and is not changed. Both are read as reference files before
  // anything is written. kOk; kOpenError (either cannot be opened or is not a reference
  // file, or an entry would outgrow its list: nothing is written); kInsertError (a word
  // could not be stored: the words before it are merged).
  [[nodiscard]] ResultCode mergeWonmunDB(const std::string& base, const std::string& added);

  // The field the usage-example search (사용 예 검색) looks in.
  enum class ExampleField { Word, Analysis };

  // Appends one block per record of `document` whose word (or analysis) contains `text`
  // (whole CP949 characters) to `output`: the record with up to five records before and
  // after it (store/reference_file.h describes the block). `hits`, when given, receives
  // the number of blocks written. kOk; kTextFileError (the output cannot be opened or
  // written); kOpenError (the document cannot be opened or read; the blocks of the records
  // before a damaged one are written).
  [[nodiscard]] ResultCode searchSayongye(const std::string& document, std::string_view text,
                                          ExampleField field, const std::string& output,
                                          std::size_t* hits = nullptr);

  // ---- homonym dictionary (lexicon/homonym_*.cpp) ------------------------------------

  // Item kinds of writeEncapRec.
  static constexpr int kRecordItem = -110;   // TripleValue of an AnalysisRecord (reference files)
  static constexpr int kHomonymItem = -120;  // QuadValue of a homonym entry

  // Appends one encoded item to the EncapList stored under `key` in `target`
  // (store/encap_list.cpp; reference files and the homonym dictionary share it). A new key
  // gets a list of one item. kRecordItem items are always appended; a kHomonymItem whose
  // second field (numbered form) equals that of an item already under the key is dropped
  // and nothing is written (still kOk). kOk; kInsertError when the item is not of `kind`,
  // the stored value is not a list of that kind (it is left as it was), or the get or put
  // fails.
  [[nodiscard]] ResultCode writeEncapRec(Storage& target, int kind, std::string_view key,
                                         std::string_view encodedItem);

  // One sense of a head word: four CP949 fields, stored as a QuadValue in this order.
  struct DongumEntry {
    std::string headword;      // 음: also the dictionary key
    std::string numberedForm;  // 음번호: unique within its head word
    std::string hanja;         // 한자: a single blank when the source gave none
    std::string meaning;       // 의미: may hold line breaks
  };

  // Where and what the last makeDongumDB format error was: the number of physical lines
  // read when the bad record ended, and the record's joined text (CP949).
  struct DongumFormatError {
    unsigned long line = 0;
    std::string record;
  };

  // makeDongumDB's result when a source record is malformed (dongumFormatError() says where).
  static constexpr ResultCode kDongumFormatError = 1;
  // getDongum's result when the dictionary cannot be opened or read.
  static constexpr ResultCode kDongumUnavailable = 1;

  // Builds the homonym dictionary `dictionary` from the source text `source` (records of
  // "#1headword#2numbered[#3hanja]#5meaning" over continuation lines; see
  // lexicon/homonym_dictionary.h). The dictionary is built beside its path and renamed over
  // it only on success: any failure leaves the previous dictionary as it was. kOk;
  // kDongumFormatError; kTextFileError (source unreadable); kOpenError (the dictionary
  // cannot be made, or would replace the source); kInsertError (an entry or the finished
  // file cannot be written).
  [[nodiscard]] ResultCode makeDongumDB(const std::string& source, const std::string& dictionary);
  const DongumFormatError& dongumFormatError() const { return dongumFormatError_; }

  // The senses of `headword` in stored order. The dictionary stays open in this DBWrap
  // for later look-ups of the same path (homonym correction looks up every morpheme).
  // An existing file only. kOk; kNothingToRead (the head word is absent; `entries` is
  // empty); kDongumUnavailable.
  [[nodiscard]] ResultCode getDongum(const std::string& dictionary, std::string_view headword,
                                     std::vector<DongumEntry>& entries);

  // Adds `entry` under its head word, after the senses already there; the file is created
  // when missing. kOk; kAlreadyExists (the head word already has this numbered form: the
  // entry is dropped); kOpenError (cannot be opened, or is not a homonym dictionary);
  // kInsertError.
  [[nodiscard]] ResultCode addDongumRec(const std::string& dictionary, const DongumEntry& entry);

  // Removes the sense `numberedForm` of `headword`; the head word goes when it was its last
  // sense. An existing file only. kOk; kOpenError (missing, unreadable or foreign file);
  // kKeyNotFound (no such head word, or no such sense under it: nothing changes);
  // kInsertError / kRemoveError (the shortened list could not be written / the key removed).
  [[nodiscard]] ResultCode removeDongumRec(const std::string& dictionary,
                                           std::string_view headword,
                                           std::string_view numberedForm);

  // Adds every sense of `other` to `base` (created when missing) in key and stored order,
  // after the base's own; a sense whose numbered form the base already has under that head
  // word keeps the base's. `other` must exist and is not changed; merging a dictionary into
  // itself changes nothing. kOk; kOpenError (either cannot be opened or is not a homonym
  // dictionary: nothing is written); kInsertError (a write failed; the senses before it
  // are merged).
  [[nodiscard]] ResultCode mergeDongumDB(const std::string& base, const std::string& other);

  // ---- unregistered-word dictionary (lexicon/unregistered_*.cpp) ---------------------

  // One unregistered word and its note (CP949).
  struct MideungjaeEntry {
    std::string word;  // 미등재어: the key
    std::string note;  // 비고: may hold line breaks
  };

  // FindMideungjae's success result.
  static constexpr ResultCode kMideungjaeFound = 1;
  // delMideungjae's result when the delete fails.
  static constexpr ResultCode kMideungjaeNotDeleted = 1;

  // Every entry whose word begins with `prefix` (whole characters; empty matches all), in
  // key order. An existing file only. kMideungjaeFound (also when nothing matched);
  // kTextFileError (the file cannot be read); kOpenError (it is not a database).
  [[nodiscard]] ResultCode FindMideungjae(const std::string& dictionary, std::string_view prefix,
                                          std::vector<MideungjaeEntry>& entries);

  // Stores `note` under `word`; the file is created when missing. An existing word keeps
  // its note unless `replace`. kOk; kAlreadyExists; kOpenError; kInsertError.
  [[nodiscard]] ResultCode addMideungjae(const std::string& dictionary, std::string_view word,
                                         std::string_view note, bool replace);

  // Deletes `word` if present (the page's delete). An existing file only. kOk (also when
  // absent); kMideungjaeNotDeleted; kOpenError.
  [[nodiscard]] ResultCode delMideungjae(const std::string& dictionary, std::string_view word);

  // Deletes `word` (before the modified entry is stored). An existing file only. kOk;
  // kRemoveError (absent, or the delete failed); kOpenError.
  [[nodiscard]] ResultCode removeMideungjae(const std::string& dictionary, std::string_view word);

  // Adds every word of `other` that `base` lacks (base created when missing); a word in both
  // keeps the base's note. `other` must exist and is not changed; merging a dictionary into
  // itself changes nothing. kOk; kOpenError; kInsertError.
  [[nodiscard]] ResultCode mergeMideungjaeDB(const std::string& base, const std::string& other);

  // ---- auto-correction (lexicon/auto_correction*.cpp) --------------------------------

  // What a correction run did, and where its list was malformed (kListFormatError).
  struct SujungOutcome {
    enum class ListError {
      None,
      NoReplacement,  // a line without a tab-separated second field
      EmptySearch,    // the search text is only "*": it would prefix every analysis
      NotCp949,       // the line is not CP949 text (a foreign or binary file)
    };
    std::size_t changedRecords = 0;  // records whose analysis was rewritten
    ListError listError = ListError::None;
    unsigned long errorLine = 0;  // 1-based physical line of the list
    std::string errorText;        // that line, trimmed, as read
  };

  // Builds the working file of the correction list `list` and sets `fixPath` to it
  // (correction::workingPathFor: a/sujeong.txt -> a/sujeong.fix): key = the search text as
  // written, value = PairValue(search, replacement); a later line with the same search
  // text wins. Built beside its path and renamed over it on success, so a failure leaves
  // no half-built file. kOk; kListFormatError (`outcome` says which line); kTextFileError
  // (the list cannot be read); kOpenError (the working file cannot be made, or would
  // replace the list); kInsertError (a pair or the finished file cannot be written).
  [[nodiscard]] ResultCode makeSujungDB(std::string& fixPath, const std::string& list,
                                        SujungOutcome* outcome = nullptr);

  // Applies the correction list to every record of `document`: in each analysis (tabs
  // and LFs removed) the first occurrence, at a character boundary, of each pair's search
  // text is replaced, pair after pair in the byte order of the search texts, each pair
  // seeing what the earlier ones wrote. The document is read once; changed records are
  // written into a copy beside it that is renamed over it on success, so a failure leaves
  // the document as it was (lexicon/auto_correction.h). The working file is removed when
  // the run ends. kOk; any failure of makeSujungDB (the document is not opened);
  // kOpenError (the document is missing, unreadable or not a document, or the working
  // file cannot be read or would replace the document); kInsertError (the copy cannot be
  // made or written).
  [[nodiscard]] ResultCode autoSujung(const std::string& document, const std::string& list,
                                      SujungOutcome* outcome = nullptr);

  // ---- statistics files (stats/statistics_file*.cpp) ---------------------------------

  // Builds the statistics file of `document` (corpus::statisticsFilePath: a.id -> a.stt):
  // one sub-database per tag, morpheme -> TextIntValue(morpheme, count). Counts in memory
  // (bounded by the distinct morpheme/tag pairs) and writes each key once, into a file
  // beside the target renamed over it on success: a failed build leaves the previous
  // statistics file as it was. A document without any countable piece leaves no file.
  // kOk; kOpenError (the document cannot be opened or read, or has no statistics path);
  // kInsertError (the statistics file cannot be written); kRemoveError (an old statistics
  // file cannot be removed for an empty document).
  [[nodiscard]] ResultCode makeTongDB(const std::string& document);

  // Adds 1 to the count of `morpheme` in the sub-database `tag` of `file` (both created
  // when missing). kOk; kOpenError (open failed, the tag cannot name a sub-database, or the
  // stored value is not a count); kInsertError (the count cannot be stored or would overflow).
  [[nodiscard]] ResultCode writeTongRec(const std::string& file, std::string_view morpheme,
                                        std::string_view tag);

  // Adds `count` to `item` in the main database of the vocabulary count file `file`.
  // Results as writeTongRec.
  [[nodiscard]] ResultCode writeTongRec2(const std::string& file, std::string_view item, int count);

 private:
  std::string lastSerial_;
  // ---- private state of the subsystems' operations -----------------------------------
  // getDongum's dictionary, kept open between look-ups; closed by the deleter
  // (store/kept_storage.cpp) so that this header needs no Storage definition.
  struct KeptStorageCloser {
    void operator()(Storage* storage) const;
  };
  std::unique_ptr<Storage, KeptStorageCloser> dongumLookup_;
  DongumFormatError dongumFormatError_;
  // Closes the kept look-up dictionary when an operation is about to change `path`.
  void releaseDongumLookup(const std::string& path);
};

}  // namespace selvanor
