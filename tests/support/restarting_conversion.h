// The lossy CP949-to-UTF-8 conversion as first written, kept as a model: the test checks
// the one-pass conversion against it and the benchmark times it as the "before".
#pragma once

#include <iconv.h>

#include <cerrno>
#include <string>
#include <string_view>

namespace selvanor::test {

// The lossy conversion as first written, kept as the model: convert the rest of the text;
// at a failure convert the good part before it on its own, put U+FFFD for one byte and
// start again after it. Quadratic in the number of bad bytes, but plainly right.
class RestartingModel {
 public:
  RestartingModel() : cd_(iconv_open("UTF-8", "CP949")) {}
  ~RestartingModel() { iconv_close(cd_); }
  RestartingModel(const RestartingModel&) = delete;
  RestartingModel& operator=(const RestartingModel&) = delete;

  std::string operator()(std::string_view cp949) {
    std::string out;
    std::size_t pos = 0;
    while (pos < cp949.size()) {
      std::string piece;
      std::size_t failedAt = 0;
      const std::string_view rest = cp949.substr(pos);
      if (convert(rest, piece, failedAt)) {
        out += piece;
        break;
      }
      std::string good;
      std::size_t unused = 0;
      if (failedAt > 0 && convert(rest.substr(0, failedAt), good, unused)) out += good;
      out += "\xEF\xBF\xBD";
      pos += failedAt + 1;
    }
    return out;
  }

 private:
  bool convert(std::string_view in, std::string& out, std::size_t& failedAt) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    out.assign(in.size() * 2 + 16, '\0');
    char* inPtr = const_cast<char*>(in.data());
    std::size_t inLeft = in.size();
    std::size_t produced = 0;
    while (inLeft > 0) {
      char* outPtr = out.data() + produced;
      std::size_t outLeft = out.size() - produced;
      const std::size_t rc = iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft);
      produced = out.size() - outLeft;
      if (rc != static_cast<std::size_t>(-1)) break;
      if (errno == E2BIG) {
        out.resize(out.size() * 2);
        continue;
      }
      failedAt = in.size() - inLeft;
      return false;
    }
    out.resize(produced);
    return true;
  }

  iconv_t cd_;
};

}  // namespace selvanor::test
