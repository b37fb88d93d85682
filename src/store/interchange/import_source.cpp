#include "store/interchange/import_source.h"

#include <cstdio>
#include <cstring>

#include "common/cp949.h"
#include "common/encoding.h"
#include "common/text_kind.h"  // kSampleBytes, utf8SequenceAt

namespace selvanor::interchange {
namespace {

constexpr std::size_t kChunkBytes = 1 << 20;


// What the whole file is as UTF-8. One pass in chunks; a sequence cut by a chunk's end is
// carried into the next.
enum class Utf8Verdict { Ascii, Valid, Broken, Invalid };

// Valid multi-byte characters before the first bad byte that make a file UTF-8 with damage
// rather than CP949: CP949 Hangul passes as a UTF-8 sequence now and then, never this often.
constexpr std::size_t kBrokenUtf8Evidence = 16;

Utf8Verdict scanUtf8(std::FILE* f) {
  std::string data;
  std::string chunk(kChunkBytes, '\0');
  std::size_t multiByte = 0;
  const auto bad = [&] { return multiByte >= kBrokenUtf8Evidence ? Utf8Verdict::Broken : Utf8Verdict::Invalid; };
  for (;;) {
    const std::size_t n = std::fread(chunk.data(), 1, chunk.size(), f);
    const bool last = n < chunk.size();
    data.append(chunk.data(), n);
    std::size_t i = 0;
    while (i < data.size()) {
      if (static_cast<unsigned char>(data[i]) < 0x80) {
        ++i;
        continue;
      }
      const std::size_t len = text::utf8SequenceAt(data, i);
      if (len == 0) return bad();
      if (len == std::string_view::npos) {
        if (last) return bad();
        break;
      }
      ++multiByte;
      i += len;
    }
    data.erase(0, i);
    if (last) return multiByte > 0 ? Utf8Verdict::Valid : Utf8Verdict::Ascii;
  }
}

std::string hexBytes(std::string_view bytes) {
  std::string out;
  char cell[8];
  for (const char c : bytes) {
    std::snprintf(cell, sizeof cell, "%s0x%02X", out.empty() ? "" : " ",
                  static_cast<unsigned>(static_cast<unsigned char>(c)));
    out += cell;
  }
  return out;
}

// UTF-16 without a mark, by where its NULs stand: the high bytes of its ASCII (blanks,
// line ends, serials, tags), all on one side of the pairs and on a good share of them. A
// stray NUL in a short CP949 file is not enough.
std::optional<Decoding> unmarkedUtf16(std::string_view sample) {
  std::size_t even = 0, odd = 0;
  for (std::size_t i = 0; i < sample.size(); ++i) {
    if (sample[i] == '\0') ++(i % 2 == 0 ? even : odd);
  }
  const std::size_t pairs = sample.size() / 2;
  if (pairs < 2) return std::nullopt;
  if (even == 0 && odd * 4 >= pairs) return Decoding::Utf16Le;
  if (odd == 0 && even * 4 >= pairs) return Decoding::Utf16Be;
  return std::nullopt;
}

// The UTF-16 byte order: the mark, else the NULs, else little-endian.
Decoding utf16Order(std::string_view sample) {
  if (sample.substr(0, 2) == "\xFE\xFF") return Decoding::Utf16Be;
  if (sample.substr(0, 2) == "\xFF\xFE") return Decoding::Utf16Le;
  return unmarkedUtf16(sample).value_or(Decoding::Utf16Le);
}


}  // namespace

std::optional<Decoding> decideDecoding(const std::string& path, Encoding requested) {
  FilePtr f = openFile(path, "rb");
  if (!f) return std::nullopt;
  std::string sample(text::kSampleBytes, '\0');
  sample.resize(std::fread(sample.data(), 1, sample.size(), f.get()));
  if (std::ferror(f.get())) return std::nullopt;
  switch (requested) {
    case Encoding::Cp949:
      return Decoding::Cp949;
    case Encoding::Utf8:
      return Decoding::Utf8;
    case Encoding::Utf16:
      return utf16Order(sample);
    case Encoding::Auto:
      break;
  }
  if (sample.substr(0, 3) == "\xEF\xBB\xBF") return Decoding::Utf8;
  if (sample.substr(0, 2) == "\xFF\xFE") return Decoding::Utf16Le;
  if (sample.substr(0, 2) == "\xFE\xFF") return Decoding::Utf16Be;
  if (auto wide = unmarkedUtf16(sample)) return wide;
  // The sample decides nothing for a file whose first 64 KB are ASCII: the whole file is
  // checked, so that a later Hangul line is never read in the wrong encoding.
  // A UTF-8 file with a damaged byte is still read as UTF-8, to be refused at that line:
  // read as CP949 its Hangul would pass as other, wrong characters.
  std::rewind(f.get());
  const Utf8Verdict verdict = scanUtf8(f.get());
  if (std::ferror(f.get())) return std::nullopt;
  return verdict == Utf8Verdict::Valid || verdict == Utf8Verdict::Broken ? Decoding::Utf8
                                                                         : Decoding::Cp949;
}

const char* decodingName(Decoding d) {
  switch (d) {
    case Decoding::Cp949:
      return "CP949";
    case Decoding::Utf8:
      return "UTF-8";
    case Decoding::Utf16Le:
      return "UTF-16LE";
    case Decoding::Utf16Be:
      return "UTF-16BE";
  }
  return "";
}

SourceReader::SourceReader(const std::string& path, Decoding decoding)
    : file_(openFile(path, "rb")), decoding_(decoding) {}

bool SourceReader::stop(DecodeFault fault, std::string text) {
  fault_ = fault;
  faultText_ = std::move(text);
  return false;
}

bool SourceReader::fill() {
  buffer_.erase(0, start_);
  start_ = 0;
  const std::size_t had = buffer_.size();
  buffer_.resize(had + kChunkBytes);
  const std::size_t n = std::fread(buffer_.data() + had, 1, kChunkBytes, file_.get());
  buffer_.resize(had + n);
  if (n < kChunkBytes) {
    eof_ = true;
    if (std::ferror(file_.get())) return stop(DecodeFault::ReadError, {});
  }
  return true;
}

std::optional<std::string_view> SourceReader::nextRaw() {
  const bool wide = decoding_ == Decoding::Utf16Le || decoding_ == Decoding::Utf16Be;
  const std::size_t unit = wide ? 2 : 1;
  std::size_t scanned = start_;  // where the search for the line end goes on
  for (;;) {
    std::size_t end = std::string::npos;
    if (!wide) {
      const void* hit = std::memchr(buffer_.data() + scanned, '\n', buffer_.size() - scanned);
      if (hit) end = static_cast<std::size_t>(static_cast<const char*>(hit) - buffer_.data());
    } else {
      // A line feed byte on the right side of a unit whose other byte is NUL.
      const std::size_t lf = decoding_ == Decoding::Utf16Le ? 0 : 1;
      for (std::size_t from = scanned + lf; from < buffer_.size();) {
        const void* hit = std::memchr(buffer_.data() + from, '\n', buffer_.size() - from);
        if (!hit) break;
        const std::size_t at = static_cast<std::size_t>(static_cast<const char*>(hit) - buffer_.data());
        const std::size_t unitStart = at - lf;
        if ((unitStart - start_) % 2 == 0 && unitStart + 1 < buffer_.size() &&
            buffer_[unitStart + 1 - lf] == '\0') {
          end = unitStart;
          break;
        }
        from = at + 1;
      }
    }
    if (end != std::string::npos) {
      const std::string_view raw(buffer_.data() + start_, end - start_);
      start_ = end + unit;
      return raw;
    }
    if (eof_) {
      if (start_ == buffer_.size()) return std::nullopt;
      const std::string_view raw(buffer_.data() + start_, buffer_.size() - start_);
      start_ = buffer_.size();
      return raw;
    }
    const std::size_t offset = scanned - start_;
    const std::size_t searched = (buffer_.size() - start_) / unit * unit;
    if (!fill()) return std::nullopt;
    scanned = start_ + std::max(offset, searched);
  }
}

std::optional<std::string_view> SourceReader::next() {
  if (!file_ || fault_ != DecodeFault::None) return std::nullopt;
  const std::optional<std::string_view> raw = nextRaw();
  if (!raw) return std::nullopt;
  ++line_;
  unmappable_.clear();
  if (!decode(*raw)) return std::nullopt;
  return std::string_view(line_text_);
}

bool SourceReader::decode(std::string_view raw) {
  const bool first = firstLine_;
  firstLine_ = false;
  if (decoding_ == Decoding::Utf16Le || decoding_ == Decoding::Utf16Be) {
    if (first && (raw.substr(0, 2) == "\xFF\xFE" || raw.substr(0, 2) == "\xFE\xFF")) {
      raw.remove_prefix(2);
    }
    return fromUtf16(raw);
  }
  if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
  if (decoding_ == Decoding::Utf8) {
    if (first && raw.substr(0, 3) == "\xEF\xBB\xBF") raw.remove_prefix(3);
    return fromUtf8(raw);
  }
  for (std::size_t i = 0; i < raw.size(); i = cp949::nextChar(raw, i)) {
    const auto c = static_cast<unsigned char>(raw[i]);
    if (c == 0 || (c >= 0x80 && cp949::charLength(raw, i) != 2)) {
      return stop(DecodeFault::Undecodable, hexBytes(raw.substr(i, cp949::isLeadByte(c) ? 2 : 1)));
    }
  }
  line_text_.assign(raw);
  return true;
}

bool SourceReader::fromUtf8(std::string_view utf8) {
  line_text_.clear();
  if (const void* nul = std::memchr(utf8.data(), '\0', utf8.size())) {
    return stop(DecodeFault::Undecodable, hexBytes(utf8.substr(
        static_cast<std::size_t>(static_cast<const char*>(nul) - utf8.data()), 1)));
  }
  for (std::size_t i = 0; i < utf8.size();) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    if (c < 0x80) {
      // A run of ASCII is the same in CP949: copied whole.
      std::size_t end = i + 1;
      while (end < utf8.size() && static_cast<unsigned char>(utf8[end]) < 0x80) ++end;
      line_text_.append(utf8, i, end - i);
      i = end;
      continue;
    }
    const std::size_t len = text::utf8SequenceAt(utf8, i);
    if (len == 0 || len == std::string_view::npos) {
      return stop(DecodeFault::Undecodable, hexBytes(utf8.substr(i, 3)));
    }
    char32_t cp = len == 2 ? (c & 0x1F) : len == 3 ? (c & 0x0F) : (c & 0x07);
    for (std::size_t k = 1; k < len; ++k) cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    if (!encoding::appendCp949Of(cp, line_text_)) {
      unmappable_.push_back({line_text_.size(), std::string(utf8.substr(i, len))});
      line_text_ += kReplacementCp949;
    }
    i += len;
  }
  return true;
}

bool SourceReader::fromUtf16(std::string_view raw) {
  const bool lastLine = eof_ && start_ == buffer_.size();
  if (raw.size() % 2 != 0) return stop(DecodeFault::Truncated, hexBytes(raw.substr(raw.size() - 1)));
  const bool little = decoding_ == Decoding::Utf16Le;
  const auto unitAt = [&](std::size_t i) {
    const auto a = static_cast<unsigned char>(raw[i]), b = static_cast<unsigned char>(raw[i + 1]);
    return static_cast<char32_t>(little ? (b << 8 | a) : (a << 8 | b));
  };
  if (raw.size() >= 2 && unitAt(raw.size() - 2) == '\r') raw.remove_suffix(2);
  line_text_.clear();
  for (std::size_t i = 0; i < raw.size(); i += 2) {
    char32_t cp = unitAt(i);
    const std::size_t at = i;
    if (cp >= 0xD800 && cp <= 0xDBFF) {
      if (i + 2 >= raw.size()) {
        // A lead surrogate that ends the file: the file was cut inside a character.
        return stop(lastLine ? DecodeFault::Truncated : DecodeFault::Undecodable,
                    hexBytes(raw.substr(i, 2)));
      }
      const char32_t low = unitAt(i + 2);
      if (low < 0xDC00 || low > 0xDFFF) {
        return stop(DecodeFault::Undecodable, hexBytes(raw.substr(i, 4)));
      }
      cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
      i += 2;
    } else if (cp >= 0xDC00 && cp <= 0xDFFF) {
      return stop(DecodeFault::Undecodable, hexBytes(raw.substr(i, 2)));
    }
    if (cp == 0) return stop(DecodeFault::Undecodable, hexBytes(raw.substr(at, 2)));
    if (encoding::appendCp949Of(cp, line_text_)) continue;
    std::string character;
    text::appendUtf8(cp, character);
    unmappable_.push_back({line_text_.size(), std::move(character)});
    line_text_ += kReplacementCp949;
  }
  return true;
}

}  // namespace selvanor::interchange
