#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <string_view>

#include "tests/support/reference_unicode.h"

// Microsoft's table of code page 936 (bestfit936.txt), read for tests independently of the
// generator that made the program's tables, and a reference decoder on top of it.
namespace tambrel::testing {

// The sections of the table that matter here.
struct Bestfit936 {
  std::map<int, char16_t> single;  // byte -> character
  std::map<int, char16_t> pairs;   // lead << 8 | trail -> character
  std::map<char16_t, int> wide;    // character -> code, best fit included
};

Bestfit936 ReadBestfit936(const char* path);

#ifdef TAMBREL_BESTFIT936_PATH
// The table of the tree, read once per test program that names where it is.
inline const Bestfit936& Cp936Table() {
  static const Bestfit936 table = ReadBestfit936(TAMBREL_BESTFIT936_PATH);
  return table;
}
#endif

inline Bestfit936 ReadBestfit936(const char* path) {
  Bestfit936 table;
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in) << path;
  std::string line;
  std::string section;
  int lead = 0;
  while (std::getline(in, line)) {
    const std::string comment =
        line.find(';') == std::string::npos ? "" : line.substr(line.find(';'));
    line = line.substr(0, line.find(';'));
    std::istringstream fields(line);
    std::string first;
    std::string second;
    if (!(fields >> first)) continue;
    if (first.rfind("0x", 0) != 0) {
      section = first;
      if (section == "DBCSTABLE") lead = std::stoi(comment.substr(comment.find("0x")), nullptr, 16);
      continue;
    }
    fields >> second;
    const int from = std::stoi(first, nullptr, 16);
    const int to = std::stoi(second, nullptr, 16);
    if (section == "MBTABLE") table.single[from] = static_cast<char16_t>(to);
    if (section == "DBCSTABLE") table.pairs[lead << 8 | from] = static_cast<char16_t>(to);
    if (section == "WCTABLE") table.wide[static_cast<char16_t>(from)] = to;
  }
  return table;
}

// Code page 936 as Windows reads it, byte by byte: a byte the table does not map alone is a lead
// byte, which pairs with the next byte unless that is NUL or missing. A pair the table does not
// define, or a lead byte alone, becomes one "?", counted as undecodable.
inline ReferenceText ReferenceCp936(std::string_view bytes, const Bestfit936& table) {
  ReferenceText result;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const int byte = static_cast<unsigned char>(bytes[i]);
    if (const auto single = table.single.find(byte); single != table.single.end()) {
      result.text += single->second;
      continue;
    }
    if (i + 1 < bytes.size() && bytes[i + 1] != '\0') {
      const int trail = static_cast<unsigned char>(bytes[++i]);
      if (const auto pair = table.pairs.find(byte << 8 | trail); pair != table.pairs.end()) {
        result.text += pair->second;
        continue;
      }
    }
    result.text += u'?';
    ++result.undecodable;
  }
  return result;
}

// The bytes of a scrambled document as a writer that follows the format by the letter would make
// them, from the table alone: each UTF-16 unit's code (its exact round-trip mapping, else "?"),
// less the shift of 1, as one byte or as lead and trail bytes, then the marker.
inline std::string ReferenceScrambledDocument(std::u16string_view text, const Bestfit936& table) {
  std::string bytes;
  for (const char16_t unit : text) {
    int code = '?';
    if (const auto found = table.wide.find(unit); found != table.wide.end()) {
      const int candidate = found->second;
      const auto single = table.single.find(candidate);
      const auto pair = table.pairs.find(candidate);
      const bool round_trips = candidate < 0x100
                                   ? single != table.single.end() && single->second == unit
                                   : pair != table.pairs.end() && pair->second == unit;
      if (round_trips) code = candidate;
    }
    code -= 1;
    if (code < 0x100) {
      bytes += static_cast<char>(code);
    } else {
      bytes += static_cast<char>(code >> 8);
      bytes += static_cast<char>(code & 0xFF);
    }
  }
  return bytes + "-RgPw";
}

}  // namespace tambrel::testing
