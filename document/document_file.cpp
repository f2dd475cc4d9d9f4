#include "document/document_file.h"

#include <fstream>
#include <new>
#include <optional>
#include <string>
#include <string_view>

#include "document/document_codec.h"
#include "document/plain_text_encoding.h"
#include "document/streamed_decode.h"
#include "platform/codepage/ansi_code_page.h"
#include "platform/files/file_messages.h"
#include "platform/files/files.h"
#include "platform/files/shared_reader.h"

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

platform::Failure ChangedWhileRead(const std::filesystem::path& path) {
  return files::FileFailure(u"无法打开文件", path,
                            u"文件在读取过程中被其他程序改动了，请再打开一次");
}

// A file read by place, from several threads at once.
class FileBytes : public ByteSource {
 public:
  FileBytes(files::SharedFileReader reader, std::filesystem::path path)
      : reader_(std::move(reader)), path_(std::move(path)) {}

  void ReadAt(std::uint64_t offset, std::span<char> into) const override {
    platform::Result<std::size_t> read = reader_.ReadAt(offset, into.data(), into.size());
    if (!read) throw SourceFailure{read.failure()};
    // The file grew shorter since its size was taken.
    if (read.value() != into.size()) throw SourceFailure{ChangedWhileRead(path_)};
  }

  std::string Read(std::uint64_t offset, std::size_t count) const {
    std::string bytes(count, '\0');
    ReadAt(offset, bytes);
    return bytes;
  }

 private:
  files::SharedFileReader reader_;
  std::filesystem::path path_;
};

// A large document read without ever holding its bytes whole: the bytes and the text together
// would need up to three times the file. Nothing when the file is not one for it: small, not a
// regular file, or in a form only the whole bytes tell (a byte-order mark, an end that cannot
// tell whether it is scrambled, a system code page other than 936); the whole read takes those.
std::optional<platform::Result<DecodedText>> ReadLargeDocument(const std::filesystem::path& path,
                                                               platform::WorkProgress* progress) {
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(path, error);
  if (error || !std::filesystem::is_regular_file(status)) return std::nullopt;
  platform::Result<files::SharedFileReader> reader = files::SharedFileReader::Open(path);
  if (!reader) return std::nullopt;
  platform::Result<std::uint64_t> size = reader.value().Size();
  if (!size || size.value() < kPreviewFrom || size.value() > kMaxDocumentBytes) return std::nullopt;
  const FileBytes file(std::move(reader.value()), path);
  try {
    constexpr std::size_t kEndLook = 4096;
    const std::string start = file.Read(0, kPreviewBytes + kPreviewCutLook);
    const std::optional<bool> scrambled =
        IsScrambledByItsEnd(file.Read(size.value() - kEndLook, kEndLook));
    if (!scrambled || HasByteOrderMark(start)) return std::nullopt;
    if (!*scrambled &&
        platform::codepage::SystemAnsiCodePage() != platform::codepage::kChineseCodePage) {
      return std::nullopt;
    }
    StreamedWatch watch;
    if (progress != nullptr) {
      progress->OfferPreview(DecodeDocumentStart(start, *scrambled, kPreviewBytes));
      progress->SetTotal(size.value());
      watch = [progress](std::size_t bytes) {
        progress->AddDone(bytes);
        return !progress->StopRequested();
      };
    }
    const std::uint64_t body = size.value() - (*scrambled ? kMarker.size() : 0);
    const StreamedForm form = *scrambled             ? StreamedForm::kScrambled
                              : LooksLikeUtf8(start) ? StreamedForm::kUtf8
                                                     : StreamedForm::kCodePage936;
    StreamedDecode streamed = DecodeStreamed(file, body, form, watch);
    if (streamed.outcome == StreamedOutcome::kNotUtf8) {
      // What the look at the start took for UTF-8 is not: it is read again as code page 936.
      if (progress != nullptr) progress->SetDone(0);
      streamed = DecodeStreamed(file, body, StreamedForm::kCodePage936, watch);
    }
    switch (streamed.outcome) {
      case StreamedOutcome::kDecoded:
        if (progress != nullptr) progress->SetDone(size.value());
        return platform::Result<DecodedText>(std::move(streamed.decoded));
      case StreamedOutcome::kStopped:
        return platform::Result<DecodedText>(Stopped(path));
      case StreamedOutcome::kNotUtf8:
        break;
    }
    // Not reached: a code page 936 decode takes any bytes.
    return platform::Result<DecodedText>(ChangedWhileRead(path));
  } catch (const SourceFailure& failed) {
    return platform::Result<DecodedText>(failed.failure);
  } catch (const std::bad_alloc&) {
    return platform::Result<DecodedText>(files::FileFailure(u"内存不足，无法打开", path, u""));
  }
}

}  // namespace

platform::Result<DecodedText> ReadDocumentFile(const std::filesystem::path& path,
                                               platform::WorkProgress* progress) {
  if (std::optional<platform::Result<DecodedText>> large = ReadLargeDocument(path, progress)) {
    return std::move(*large);
  }
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
