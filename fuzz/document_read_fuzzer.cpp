// Feeds arbitrary bytes to the document reader: through a real file, and compared with the
// reading steps done one after the other. A text that CountLossyCharacters calls safe must come
// back from a write and a read unchanged, and one it calls lossy must not.
#include <stdlib.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

#include "document/document_codec.h"
#include "document/document_file.h"
#include "platform/codepage/cp936.h"

namespace {

namespace fs = std::filesystem;
using namespace tambrel::document;

void Check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "document_read_fuzzer: %s\n", what);
    std::abort();
  }
}

std::u16string StepByStep(std::string_view bytes) {
  const std::u16string text = tambrel::platform::cp936::Decode(bytes);
  if (text.size() < kMarker.size() || text.substr(text.size() - kMarker.size()) != kMarker) {
    return text;
  }
  const std::u16string decoded = DecodeText(text);
  return decoded.substr(0, decoded.size() - kMarker.size());
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

  const std::u16string text = DecodeDocument(bytes);
  Check(text == StepByStep(bytes), "DecodeDocument differs from the step-by-step read");

  const fs::path path = scratch.File();
  if (std::FILE* file = std::fopen(path.c_str(), "wb")) {
    Check(std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size(), "cannot write input");
    Check(std::fclose(file) == 0, "cannot close input");
    const auto read = ReadDocumentFile(path);
    Check(read.ok() && read.value() == text, "ReadDocumentFile differs from DecodeDocument");
  }

  const std::u16string back = DecodeDocument(EncodeDocument(text));
  Check((back == text) == (CountLossyCharacters(text) == 0),
        "CountLossyCharacters disagrees with a write and a read");
  return 0;
}
