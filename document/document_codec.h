#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "document/decoded_text.h"
#include "platform/codepage/cp936.h"
#include "text/text_pieces.h"

// The scrambled document form: every character's code page 936 code moved by a fixed shift,
// followed by a marker that tells it from plain text.
namespace tambrel::document {

// The shift, taken off every code on saving and put back on loading. 1 keeps the most
// characters intact: only NUL among the controls and two trail-byte columns (0x40, 0x80) of the
// double-byte characters fall out of the code page when lowered; all of GB 2312 survives.
inline constexpr std::int16_t K = 1;
static_assert(K >= 1 && K <= 9, "the shift is one positive decimal digit");

// Ends every scrambled document, compared exactly.
inline constexpr std::u16string_view kMarker = u"-RgPw";

// The code page 936 code of one UTF-16 unit: a byte value 0 to 255, or lead byte * 256 + trail
// byte as a negative number. A unit the code page cannot represent has the code of "?" (63).
std::int16_t AnsiCode(char16_t character);

// The text that one code stands for: 0 to 255 is one byte, anything else two bytes, high byte
// first. Undefined bytes become "?", so the result has one or two units.
std::u16string AnsiChar(std::int16_t code);

// Every unit replaced by AnsiChar(AnsiCode(unit) - K) and AnsiChar(AnsiCode(unit) + K).
std::u16string EncodeText(std::u16string_view text);
std::u16string DecodeText(std::u16string_view text);

// A document too large to copy whole is encoded piece by piece.
using text::TextPieces;

// The bytes of a scrambled document holding text: the encoded text and the marker, in code
// page 936.
std::string EncodeDocument(std::u16string_view text);
std::string EncodeDocument(const TextPieces& text);

// The text of a file's bytes in either form: decoded when its text ends in the marker (without
// the marker), read as DecodePlainText reads plain text otherwise. The scrambled form is always
// code page 936; what it could not decode is counted, though its text is as it always was.
// A watch sees the decoding of code page 936 go by, and can stop it (see cp936::DecodeInParts).
DecodedText DecodeDocument(std::string_view bytes, const platform::cp936::DecodeWatch& watch = {});

// What each code page 936 byte and byte pair of the scrambled form reads as, the shift put back.
const platform::cp936::DecodeMap& ScrambledDecodeMap();

// The start of a document's text, from about its first `most` bytes, read in the form and the
// encoding the whole document is read in as far as they tell: to look at while the rest is
// decoded.
std::u16string DecodeDocumentStart(std::string_view bytes, std::size_t most);
// The same from the first bytes alone, told whether the whole is in the scrambled form.
std::u16string DecodeDocumentStart(std::string_view start, bool scrambled, std::size_t most);

// Whether a document is in the scrambled form, told from its last bytes alone; nullopt when they
// cannot tell, because the run of possible lead bytes before the marker reaches back past them.
std::optional<bool> IsScrambledByItsEnd(std::string_view last_bytes);

// Whether a unit comes back as something else from EncodeDocument and DecodeDocument. Each
// unit's fate is its own: a unit's encoded bytes never run into its neighbours'.
bool IsLossy(char16_t unit);

// How many characters of text would not read back identically after a write and a read; a
// surrogate pair counts as the one character the user sees.
std::size_t CountLossyCharacters(std::u16string_view text);
std::size_t CountLossyCharacters(const TextPieces& text);

}  // namespace tambrel::document
