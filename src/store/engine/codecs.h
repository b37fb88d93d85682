// Value codecs of the store. Every integer is 32-bit little-endian; strings are raw CP949
// bytes without a terminating NUL. Decoders check every length against the value's size:
// a corrupt or foreign value gives nullopt, never a read past the buffer.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/engine/record.h"

namespace selvanor::codec {

// N length-prefixed strings laid end to end.
template <std::size_t N>
using Fields = std::array<std::string, N>;

void appendU32(std::string& out, std::uint32_t v);
void appendString(std::string& out, std::string_view s);

// Reads one length-prefixed string from the front of `in` and advances it.
[[nodiscard]] bool readString(std::string_view& in, std::string& out);
[[nodiscard]] bool readU32(std::string_view& in, std::uint32_t& out);

// TripleValue: an analysis record (serial, word, analysis); also a reference-file item.
[[nodiscard]] std::string encodeTriple(std::string_view a, std::string_view b, std::string_view c);
[[nodiscard]] std::string encodeRecord(const AnalysisRecord& r);
[[nodiscard]] std::optional<AnalysisRecord> decodeRecord(std::string_view value);

// QuadValue: a homonym-dictionary item.
[[nodiscard]] std::string encodeQuad(const Fields<4>& f);
[[nodiscard]] std::optional<Fields<4>> decodeQuad(std::string_view value);

// PairValue: an auto-correction list record.
[[nodiscard]] std::string encodePair(std::string_view a, std::string_view b);
[[nodiscard]] std::optional<Fields<2>> decodePair(std::string_view value);

// TextIntValue: a string and one signed 32-bit integer (statistics records).
struct TextInt {
  std::string text;
  std::int32_t number = 0;
};
[[nodiscard]] std::string encodeTextInt(std::string_view text, std::int32_t number);
[[nodiscard]] std::optional<TextInt> decodeTextInt(std::string_view value);

// TextValue: the value is the bytes of one string (no length prefix).
inline std::string encodeText(std::string_view text) { return std::string(text); }

// EncapList: item count, total item bytes, then the encoded items end to end.
// `items` are already-encoded items (each a TripleValue or QuadValue).
[[nodiscard]] std::string encodeList(const std::vector<std::string>& items);
// Appends one encoded item to an encoded list value (which must decode).
[[nodiscard]] std::optional<std::string> appendToList(std::string_view list, std::string_view item);

// Splits a list into its encoded items; each item must decode with `fieldsPerItem`
// length-prefixed strings, the count must match and the total must be exact.
[[nodiscard]] std::optional<std::vector<std::string_view>> splitList(std::string_view value,
                                                                    std::size_t fieldsPerItem);

// Convenience decoders for the two list kinds.
[[nodiscard]] std::optional<std::vector<AnalysisRecord>> decodeRecordList(std::string_view value);
[[nodiscard]] std::optional<std::vector<Fields<4>>> decodeQuadList(std::string_view value);

}  // namespace selvanor::codec
