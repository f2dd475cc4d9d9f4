// Feeds arbitrary bytes to the document reader: through a real file, and compared with the
// reading steps done one after the other for the scrambled form. Plain text must read as code
// page 936 did before unless it is Unicode, and Unicode as the tests' reference decoders read it,
// undecodable count included. A text that CountLossyCharacters calls safe must come back from a
// write and a read unchanged, and one it calls lossy must not.
#include <stdlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "document/document_codec.h"
#include "document/document_file.h"
#include "platform/codepage/cp936.h"
#include "tests/support/reference_unicode.h"

namespace {

namespace fs = std::filesystem;
using namespace tambrel::document;
using tambrel::testing::ReferenceText;
using tambrel::testing::ReferenceUtf16;
using tambrel::testing::ReferenceUtf8;

void Check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "document_read_fuzzer: %s\n", what);
    std::abort();
  }
}

// The scrambled form step by step; nothing when the text does not end in the marker.
std::optional<std::u16string> StepByStepScrambled(std::string_view bytes) {
  const std::u16string text = tambrel::platform::cp936::Decode(bytes);
  if (text.size() < kMarker.size() || text.substr(text.size() - kMarker.size()) != kMarker) {
    return std::nullopt;
  }
  const std::u16string decoded = DecodeText(text);
  return decoded.substr(0, decoded.size() - kMarker.size());
}

std::size_t CountOf(std::u16string_view text, char16_t unit) {
  return static_cast<std::size_t>(std::count(text.begin(), text.end(), unit));
}

bool IsAscii(std::string_view bytes) {
  return std::all_of(bytes.begin(), bytes.end(), [](char byte) { return (byte & 0x80) == 0; });
}

void CheckAsReference(const DecodedText& decoded, const ReferenceText& reference,
                      const char* what) {
  Check(decoded.text == reference.text && decoded.undecodable == reference.undecodable, what);
}

void CheckPlainText(std::string_view bytes, const DecodedText& decoded) {
  switch (decoded.encoding) {
    case TextEncoding::kCodePage936:
      Check(decoded.text == tambrel::platform::cp936::Decode(bytes),
            "code page 936 reads differently");
      Check(IsAscii(bytes) || ReferenceUtf8(bytes).undecodable > 0,
            "UTF-8 beyond ASCII read as code page 936");
      Check(CountOf(decoded.text, u'?') >= decoded.undecodable,
            "more undecodable than substitutes");
      return;
    case TextEncoding::kUtf8:
      Check(!IsAscii(bytes), "ASCII read as UTF-8");
      CheckAsReference(decoded, ReferenceUtf8(bytes), "UTF-8 differs from the reference");
      Check(decoded.undecodable == 0, "UTF-8 without a mark has something undecodable");
      return;
    case TextEncoding::kUtf8WithBom:
      Check(bytes.starts_with("\xEF\xBB\xBF"), "UTF-8 with a mark but no mark");
      CheckAsReference(decoded, ReferenceUtf8(bytes.substr(3)),
                       "UTF-8 after a mark differs from the reference");
      return;
    case TextEncoding::kUtf16Le:
      Check(bytes.starts_with("\xFF\xFE"), "UTF-16 LE without its mark");
      CheckAsReference(decoded, ReferenceUtf16(bytes.substr(2), true),
                       "UTF-16 LE differs from the reference");
      return;
    case TextEncoding::kUtf16Be:
      Check(bytes.starts_with("\xFE\xFF"), "UTF-16 BE without its mark");
      CheckAsReference(decoded, ReferenceUtf16(bytes.substr(2), false),
                       "UTF-16 BE differs from the reference");
      return;
    case TextEncoding::kSystemCodePage:
      Check(false, "a system code page where the system has none");
      return;
    case TextEncoding::kScrambled:
      break;
  }
  Check(false, "plain text read as the scrambled form");
}

// One folder for the whole run, removed at exit.
class Scratch {
 public:
  Scratch() {
    std::string pattern = (fs::temp_directory_path() / "tambrel-fuzz-XXXXXX").string();
    Check(::mkdtemp(pattern.data()) != nullptr, "cannot create a scratch folder");
    folder_ = pattern;
  }
  ~Scratch() {
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }
  fs::path File() const { return folder_ / "input.txt"; }

 private:
  fs::path folder_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const Scratch scratch;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  const DecodedText decoded = DecodeDocument(bytes);
  const std::u16string_view text = decoded.text;
  if (const std::optional<std::u16string> scrambled = StepByStepScrambled(bytes)) {
    // What the code page could not decode, before the shift, is counted for the next save.
    const std::string_view body = bytes.substr(0, bytes.size() - 5);
    std::u16string units(body.size() + 1, u'\0');
    const std::size_t undecodable =
        tambrel::platform::cp936::DecodeCountingInto(body, units.data()).undecodable;
    Check(decoded.encoding == TextEncoding::kScrambled && text == *scrambled &&
              decoded.undecodable == undecodable,
          "DecodeDocument differs from the step-by-step read");
  } else {
    CheckPlainText(bytes, decoded);
  }

  const fs::path path = scratch.File();
  if (std::FILE* file = std::fopen(path.c_str(), "wb")) {
    Check(std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size(), "cannot write input");
    Check(std::fclose(file) == 0, "cannot close input");
    const auto read = ReadDocumentFile(path);
    Check(read.ok() && read.value().Whole() == text && read.value().encoding == decoded.encoding &&
              read.value().undecodable == decoded.undecodable,
          "ReadDocumentFile differs from DecodeDocument");
  }

  const std::u16string back(DecodeDocument(EncodeDocument(text)).text);
  Check((back == text) == (CountLossyCharacters(text) == 0),
        "CountLossyCharacters disagrees with a write and a read");
  return 0;
}
