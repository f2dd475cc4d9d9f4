#include "document/document_file.h"

#include <new>

#include "document/document_codec.h"
#include "platform/files/file_messages.h"
#include "platform/files/files.h"

namespace tambrel::document {
namespace files = platform::files;

platform::Result<DecodedText> ReadDocumentFile(const std::filesystem::path& path) {
  platform::Result<std::string> bytes =
      files::ReadWholeFile(path, kMaxDocumentBytes, files::MissingFile::kCreateEmpty);
  if (!bytes) return bytes.failure();
  try {
    return DecodeDocument(bytes.value());
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
