#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "document/decoded_text.h"
#include "document/document_codec.h"
#include "platform/background_work.h"
#include "platform/files/files.h"
#include "platform/result.h"

namespace tambrel::document {

// The largest file ReadDocumentFile opens: 1 GiB. Reading holds the bytes and the text (two bytes
// a character) at once, some 3 GiB at this size, and the editor keeps the text without copying
// it; past that the memory a document needs is more than most machines have to give.
inline constexpr std::uint64_t kMaxDocumentBytes = std::uint64_t{1} << 30;

// The text of the document at path, in either form, with the encoding it was read in and the
// count of what could not be decoded. A path that names nothing gets an empty file and reads as
// empty; every other failure, a file over kMaxDocumentBytes among them, comes back as a Failure.
// From this size on, a document's start is worth showing while the rest is decoded: smaller
// ones are whole in a blink.
inline constexpr std::size_t kPreviewFrom = std::size_t{16} << 20;
// How much of it: some pages to look at and scroll.
inline constexpr std::size_t kPreviewBytes = std::size_t{64} << 10;

// With progress, tells how far the reading and decoding have come, offers the start of a large
// document as a preview and, asked to stop, gives up and fails.
platform::Result<DecodedText> ReadDocumentFile(const std::filesystem::path& path,
                                               platform::WorkProgress* progress = nullptr);

// Makes the file at path hold text in the scrambled form. The old content stays whole until the
// new one is safely on disk; on failure the file is as it was.
platform::Result<platform::files::Replaced> WriteDocumentFile(const std::filesystem::path& path,
                                                              std::u16string_view text);
platform::Result<platform::files::Replaced> WriteDocumentFile(const std::filesystem::path& path,
                                                              const TextPieces& text);

}  // namespace tambrel::document
