#include "document/document_file.h"

#include <new>

#include "document/document_codec.h"
#include "platform/files/file_messages.h"
#include "platform/files/files.h"

namespace tambrel::document {
namespace files = platform::files;

namespace {

// Decoding counts as half as much work as reading: from the page cache a byte is read faster
// than it is decoded, from a disk slower.
std::uint64_t WholeWork(std::uint64_t size) { return size + size / 2; }

platform::Failure Stopped(const std::filesystem::path& path) {
  return files::FileFailure(u"无法打开文件", path, u"打开已取消");
}

}  // namespace

platform::Result<DecodedText> ReadDocumentFile(const std::filesystem::path& path,
                                               platform::WorkProgress* progress) {
  files::ReadWatch watch;
  if (progress != nullptr) {
    watch = [progress](std::uint64_t read, std::uint64_t size) {
      progress->SetTotal(WholeWork(size));
      progress->SetDone(read);
      return !progress->StopRequested();
    };
  }
  platform::Result<std::string> bytes =
      files::ReadWholeFile(path, kMaxDocumentBytes, files::MissingFile::kCreateEmpty, watch);
  if (!bytes) return bytes.failure();
  try {
    if (progress != nullptr && bytes.value().size() >= kPreviewFrom) {
      progress->OfferPreview(DecodeDocumentStart(bytes.value(), kPreviewBytes));
    }
    DecodedText text = DecodeDocument(bytes.value());
    if (progress != nullptr) {
      // A stop asked for during the decode is answered here, before the window takes the text.
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
