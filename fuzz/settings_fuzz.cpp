// The settings file (INI). The input's first two lines name a section and a key, the
// third a value, the rest is the file: reading any file never fails hard, and a value
// that set() accepts is read back exactly.
#include "common/ini_file.h"
#include "fuzz_support.h"

using namespace selvanor;

namespace {

std::string_view nextLine(std::string_view& rest) {
  const std::size_t lf = rest.find('\n');
  const std::string_view line = rest.substr(0, lf);
  rest.remove_prefix(lf == std::string_view::npos ? rest.size() : lf + 1);
  return line;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view rest = fuzz::bytes(data, size);
  const std::string_view section = nextLine(rest);
  const std::string_view key = nextLine(rest);
  const std::string_view value = nextLine(rest);
  IniFile ini(fuzz::writeScratch("selvanor.ini", rest));
  (void)ini.get(section, key, "fallback");
  if (ini.set(section, key, value)) FUZZ_CHECK(ini.get(section, key, "\x01unset") == value);
  return 0;
}
