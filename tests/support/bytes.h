#pragma once

#include <initializer_list>
#include <string>

namespace tambrel::testing {

// Bytes spelled out as numbers, the way file formats are written down.
inline std::string Bytes(std::initializer_list<int> values) {
  std::string bytes;
  for (const int value : values) bytes += static_cast<char>(value);
  return bytes;
}

}  // namespace tambrel::testing
