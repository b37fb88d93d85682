#include "store/interchange/dictionary_dump.h"

namespace selvanor::dump {

std::string homonymLine(const codec::Fields<4>& item) {
  std::string line;
  line.reserve(item[0].size() + item[1].size() + item[2].size() + item[3].size() + 10);
  line += "#1";
  line += item[0];
  line += "#2";
  line += item[1];
  line += "#3";
  line += item[2];
  line += "#5";
  line += item[3];
  line += "\r\n";
  return line;
}

std::string noteOnOneLine(std::string_view note) {
  std::string out(note);
  for (char& c : out) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return out;
}

std::string unregisteredLine(std::string_view word, std::string_view note) {
  std::string line = "key:[";
  line += word;
  line += "]\tmemo:[";
  line += noteOnOneLine(note);
  line += "]\r\n";
  return line;
}

}  // namespace selvanor::dump
