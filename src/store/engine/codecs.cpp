#include "store/engine/codecs.h"

#include <cstring>
#include <limits>

namespace selvanor::codec {
namespace {

template <std::size_t N>
std::optional<Fields<N>> decodeExact(std::string_view in) {
  Fields<N> f;
  for (auto& s : f) {
    if (!readString(in, s)) return std::nullopt;
  }
  if (!in.empty()) return std::nullopt;  // trailing bytes: not a value of this kind
  return f;
}

template <std::size_t N>
std::string encodeFields(const std::array<std::string_view, N>& f) {
  std::size_t size = 4 * N;
  for (auto s : f) size += s.size();
  std::string out;
  out.reserve(size);
  for (auto s : f) appendString(out, s);
  return out;
}

// Skips one item of `fields` length-prefixed strings; false if it does not fit.
bool skipItem(std::string_view& in, std::size_t fields) {
  for (std::size_t i = 0; i < fields; ++i) {
    std::uint32_t len = 0;
    if (!readU32(in, len) || len > in.size()) return false;
    in.remove_prefix(len);
  }
  return true;
}

}  // namespace

void appendU32(std::string& out, std::uint32_t v) {
  const char bytes[4] = {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF),
                         static_cast<char>((v >> 16) & 0xFF), static_cast<char>((v >> 24) & 0xFF)};
  out.append(bytes, 4);
}

void appendString(std::string& out, std::string_view s) {
  appendU32(out, static_cast<std::uint32_t>(s.size()));
  out.append(s);
}

bool readU32(std::string_view& in, std::uint32_t& out) {
  if (in.size() < 4) return false;
  const auto* p = reinterpret_cast<const unsigned char*>(in.data());
  out = static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
        (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
  in.remove_prefix(4);
  return true;
}

bool readString(std::string_view& in, std::string& out) {
  std::uint32_t len = 0;
  if (!readU32(in, len) || len > in.size()) return false;
  out.assign(in.data(), len);
  in.remove_prefix(len);
  return true;
}

std::string encodeTriple(std::string_view a, std::string_view b, std::string_view c) {
  return encodeFields<3>({a, b, c});
}

std::string encodeRecord(const AnalysisRecord& r) { return encodeTriple(r.serial, r.word, r.analysis); }

std::optional<AnalysisRecord> decodeRecord(std::string_view value) {
  AnalysisRecord r;
  if (!readString(value, r.serial) || !readString(value, r.word) ||
      !readString(value, r.analysis) || !value.empty()) {
    return std::nullopt;
  }
  return r;
}

std::string encodeQuad(const Fields<4>& f) { return encodeFields<4>({f[0], f[1], f[2], f[3]}); }

std::optional<Fields<4>> decodeQuad(std::string_view value) { return decodeExact<4>(value); }

std::string encodePair(std::string_view a, std::string_view b) { return encodeFields<2>({a, b}); }

std::optional<Fields<2>> decodePair(std::string_view value) { return decodeExact<2>(value); }

std::string encodeTextInt(std::string_view text, std::int32_t number) {
  std::string out;
  out.reserve(text.size() + 8);
  appendString(out, text);
  appendU32(out, static_cast<std::uint32_t>(number));
  return out;
}

std::optional<TextInt> decodeTextInt(std::string_view value) {
  TextInt t;
  std::uint32_t n = 0;
  if (!readString(value, t.text) || !readU32(value, n) || !value.empty()) return std::nullopt;
  std::int32_t signedN;
  std::memcpy(&signedN, &n, sizeof signedN);
  t.number = signedN;
  return t;
}

std::string encodeList(const std::vector<std::string>& items) {
  std::size_t total = 0;
  for (const auto& i : items) total += i.size();
  std::string out;
  out.reserve(total + 8);
  appendU32(out, static_cast<std::uint32_t>(items.size()));
  appendU32(out, static_cast<std::uint32_t>(total));
  for (const auto& i : items) out += i;
  return out;
}

std::optional<std::string> appendToList(std::string_view list, std::string_view item) {
  std::uint32_t count = 0, total = 0;
  std::string_view in = list;
  if (!readU32(in, count) || !readU32(in, total) || total != in.size()) return std::nullopt;
  if (count == std::numeric_limits<std::uint32_t>::max() ||
      item.size() > std::numeric_limits<std::uint32_t>::max() - total) {
    return std::nullopt;
  }
  std::string out;
  out.reserve(list.size() + item.size());
  appendU32(out, count + 1);
  appendU32(out, total + static_cast<std::uint32_t>(item.size()));
  out.append(in);
  out.append(item);
  return out;
}

std::optional<std::vector<std::string_view>> splitList(std::string_view value,
                                                      std::size_t fieldsPerItem) {
  std::uint32_t count = 0, total = 0;
  if (!readU32(value, count) || !readU32(value, total) || total != value.size()) {
    return std::nullopt;
  }
  std::vector<std::string_view> items;
  // Each item takes at least 4 bytes per field, which bounds a lying count.
  if (count > value.size() / (4 * fieldsPerItem)) return std::nullopt;
  items.reserve(count);
  for (std::uint32_t i = 0; i < count; ++i) {
    std::string_view rest = value;
    if (!skipItem(rest, fieldsPerItem)) return std::nullopt;
    items.push_back(value.substr(0, value.size() - rest.size()));
    value = rest;
  }
  if (!value.empty()) return std::nullopt;
  return items;
}

std::optional<std::vector<AnalysisRecord>> decodeRecordList(std::string_view value) {
  auto items = splitList(value, 3);
  if (!items) return std::nullopt;
  std::vector<AnalysisRecord> out;
  out.reserve(items->size());
  for (auto item : *items) {
    auto r = decodeRecord(item);
    if (!r) return std::nullopt;
    out.push_back(std::move(*r));
  }
  return out;
}

std::optional<std::vector<Fields<4>>> decodeQuadList(std::string_view value) {
  auto items = splitList(value, 4);
  if (!items) return std::nullopt;
  std::vector<Fields<4>> out;
  out.reserve(items->size());
  for (auto item : *items) {
    auto q = decodeQuad(item);
    if (!q) return std::nullopt;
    out.push_back(std::move(*q));
  }
  return out;
}

}  // namespace selvanor::codec
