#pragma once

#include <cstddef>
#include <string_view>

#include "platform/codepage/decode_count.h"

// UTF-16 bytes in either order to UTF-16 text.
namespace tambrel::platform::utf16 {

enum class ByteOrder { kLittleEndian, kBigEndian };

// Decodes into out, which has room for (bytes.size() + 1) / 2 units. A surrogate without its
// other half and an odd last byte each become U+FFFD and count as undecodable.
DecodeCount DecodeReplacing(std::string_view bytes, ByteOrder order, char16_t* out);

}  // namespace tambrel::platform::utf16
