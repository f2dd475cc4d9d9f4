#include "document/document_file.h"

#include <fstream>
#include <new>
#include <optional>
#include <string>
#include <string_view>

#include "document/document_codec.h"
#include "platform/files/file_messages.h"
#include "platform/files/files.h"

namespace tambrel::document {
namespace files = platform::files;

namespace {

// Reading counts each byte once; decoding counts it twice, once measured and once decoded,
// which is about how long each takes from the page cache.
std::uint64_t WholeWork(std::uint64_t size) { return 3 * size; }

// How far past the preview's end the cut may look for a place where the text reads the same.
constexpr std::size_t kPreviewCutLook = std::size_t{64} << 10;

// The last bytes of a file large enough for a preview, which tell the document's form before
// the rest is read; nothing for a smaller file or one that cannot be read so (the reading proper
// reports the trouble).
std::optional<std::string> LastBytesOfLargeFile(const std::filesystem::path& path) {
  constexpr std::size_t kLook = 4096;
  std::ifstream file(path, std::ios::binary | std::ios::ate);
  if (!file) return std::nullopt;
  const std::streamoff size = file.tellg();
  if (size < static_cast<std::streamoff>(kPreviewFrom)) return std::nullopt;
  std::string end(kLook, '\0');
  file.seekg(size - static_cast<std::streamoff>(kLook));
  if (!file.read(end.data(), static_cast<std::streamsize>(kLook))) return std::nullopt;
  return end;
}

platform::Failure Stopped(const std::filesystem::path& path) {
  return files::FileFailure(u"无法打开文件", path, u"打开已取消");
}

}  // namespace

platform::Result<DecodedText> ReadDocumentFile(const std::filesystem::path& path,
                                               platform::WorkProgress* progress) {
  files::ReadWatch watch;
  // Whether the document's start is still to be shown: only a large one's, and only once.
  bool preview_due = false;
  std::optional<bool> scrambled;
  if (progress != nullptr) {
    if (const std::optional<std::string> end = LastBytesOfLargeFile(path)) {
      preview_due = true;
      scrambled = IsScrambledByItsEnd(*end);
    }
    watch = [&, progress](std::string_view read, std::uint64_t size) {
      progress->SetTotal(WholeWork(size));
      progress->SetDone(read.size());
      // Enough of the start for the preview and the look past its cut, in the form the end
      // told; an end that could not tell waits for the whole.
      if (preview_due && scrambled && read.size() >= kPreviewBytes + kPreviewCutLook) {
        progress->OfferPreview(DecodeDocumentStart(read, *scrambled, kPreviewBytes));
        preview_due = false;
      }
      return !progress->StopRequested();
    };
  }
  platform::Result<std::string> bytes =
      files::ReadWholeFile(path, kMaxDocumentBytes, files::MissingFile::kCreateEmpty, watch);
  if (!bytes) return bytes.failure();
  try {
    if (preview_due && bytes.value().size() >= kPreviewFrom) {
      progress->OfferPreview(DecodeDocumentStart(bytes.value(), kPreviewBytes));
    }
    platform::cp936::DecodeWatch decoding;
    if (progress != nullptr) {
      progress->SetDone(bytes.value().size());
      decoding = [progress](std::size_t decoded) {
        progress->AddDone(decoded);
        return !progress->StopRequested();
      };
    }
    DecodedText text = DecodeDocument(bytes.value(), decoding);
    if (progress != nullptr) {
      // A stop asked for during the decode, or a decode that could not look (UTF-8, UTF-16),
      // is answered here, before the window takes the text.
      if (progress->StopRequested()) return Stopped(path);
      progress->SetDone(WholeWork(bytes.value().size()));
    }
    return text;
  } catch (const std::bad_alloc&) {
    return files::FileFailure(u"内存不足，无法打开", path, u"");
  }
}

platform::Result<files::Replaced> WriteDocumentFile(const std::filesystem::path& path,
                                                    std::u16string_view text) {
  return WriteDocumentFile(path, [text](const auto& visit) { visit(text); });
}

platform::Result<files::Replaced> WriteDocumentFile(const std::filesystem::path& path,
                                                    const TextPieces& text) {
  std::string bytes;
  try {
    bytes = EncodeDocument(text);
  } catch (const std::bad_alloc&) {
    return files::FileFailure(u"内存不足，无法保存", path, u"");
  }
  return files::ReplaceFileAtomically(path, bytes);
}

}  // namespace tambrel::document
