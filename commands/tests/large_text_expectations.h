#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "document/document_codec.h"
#include "tests/support/temp_dir.h"

// Checks of large documents that say where they differ rather than print megabytes.
namespace tambrel::testing {

// Whether the file holds the scrambled document of the text.
inline ::testing::AssertionResult HoldsDocument(const std::filesystem::path& file,
                                                const std::u16string& text) {
  const std::string bytes = ReadBytes(file);
  const std::string expected = document::EncodeDocument(text);
  if (bytes == expected) return ::testing::AssertionSuccess();
  const auto differ = std::mismatch(bytes.begin(), bytes.end(), expected.begin(), expected.end());
  return ::testing::AssertionFailure()
         << "the file has " << bytes.size() << " bytes where the document has " << expected.size()
         << ", and they differ from byte " << (differ.first - bytes.begin());
}

// Whether a text is the one expected, told with no more than its start when it is not.
inline ::testing::AssertionResult SameText(const std::u16string& actual,
                                           const std::u16string& expected) {
  if (actual == expected) return ::testing::AssertionSuccess();
  const auto start = [](const std::u16string& text) {
    return ::testing::PrintToString(text.substr(0, 40));
  };
  const auto differ = std::mismatch(actual.begin(), actual.end(), expected.begin(), expected.end());
  return ::testing::AssertionFailure()
         << "the text has " << actual.size() << " units and starts " << start(actual)
         << "; expected " << expected.size() << " units starting " << start(expected)
         << "; they differ from unit " << (differ.first - actual.begin());
}

// A document of many numbered lines ("第1行 some text" CR LF ...), so that the editor holds it in
// many pieces and a command has some reading to do.
inline std::u16string NumberedLines(int count) {
  std::u16string text;
  for (int line = 1; line <= count; ++line) {
    const std::string number = std::to_string(line);
    text += u"第" + std::u16string(number.begin(), number.end()) + u"行 some text\r\n";
  }
  return text;
}

}  // namespace tambrel::testing
