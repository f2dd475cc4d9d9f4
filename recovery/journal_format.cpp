#include "recovery/journal_format.h"

#include <array>
#include <cstring>

namespace tambrel::recovery {
namespace {

constexpr std::string_view kMagic = "TAMBREL-RECOVERY";
constexpr std::uint8_t kFormatVersion = 1;
enum EntryKind : std::uint8_t { kStart = 1, kEdit = 2 };
// A length past this is damage, not an entry: no edit inserts more than a document holds.
constexpr std::uint64_t kLargestEntry = std::uint64_t{5} << 30;

std::uint32_t Crc32(std::string_view bytes) {
  static const std::array<std::uint32_t, 256> table = [] {
    std::array<std::uint32_t, 256> entries{};
    for (std::uint32_t i = 0; i < 256; ++i) {
      std::uint32_t crc = i;
      for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (crc & 1 ? 0xEDB88320u : 0);
      entries[i] = crc;
    }
    return entries;
  }();
  std::uint32_t crc = 0xFFFFFFFFu;
  for (const char byte : bytes)
    crc = table[(crc ^ static_cast<std::uint8_t>(byte)) & 0xFF] ^ (crc >> 8);
  return crc ^ 0xFFFFFFFFu;
}

// Little-endian writing and reading, the same on every machine the record may move between.
void PutInteger(std::string& out, std::uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

void PutUnits(std::string& out, std::u16string_view units) {
  PutInteger(out, units.size(), 8);
  const std::size_t start = out.size();
  out.resize(start + units.size() * 2);
  char* to = out.data() + start;
  for (const char16_t unit : units) {
    *to++ = static_cast<char>(unit & 0xFF);
    *to++ = static_cast<char>(unit >> 8);
  }
}

class Reader {
 public:
  explicit Reader(std::string_view bytes) : bytes_(bytes) {}
  bool Integer(std::uint64_t& value, int bytes) {
    if (bytes_.size() < static_cast<std::size_t>(bytes)) return false;
    value = 0;
    for (int i = 0; i < bytes; ++i)
      value |= std::uint64_t{static_cast<std::uint8_t>(bytes_[i])} << (8 * i);
    bytes_.remove_prefix(bytes);
    return true;
  }
  bool Units(std::u16string& units) {
    std::uint64_t count;
    if (!Integer(count, 8) || count > bytes_.size() / 2) return false;
    units.resize(count);
    for (std::uint64_t i = 0; i < count; ++i) {
      units[i] = static_cast<char16_t>(static_cast<std::uint8_t>(bytes_[2 * i]) |
                                       static_cast<std::uint8_t>(bytes_[2 * i + 1]) << 8);
    }
    bytes_.remove_prefix(count * 2);
    return true;
  }
  bool Done() const { return bytes_.empty(); }

 private:
  std::string_view bytes_;
};

std::string Entry(std::uint8_t kind, const std::string& payload_after_kind) {
  std::string payload;
  payload.reserve(payload_after_kind.size() + 1);
  payload.push_back(static_cast<char>(kind));
  payload += payload_after_kind;
  std::string entry;
  entry.reserve(payload.size() + 12);
  PutInteger(entry, payload.size(), 8);
  PutInteger(entry, Crc32(payload), 4);
  entry += payload;
  return entry;
}

// The next whole entry's payload, its kind first; nullopt at the end or at a damaged entry.
std::optional<std::string_view> NextEntry(std::string_view& bytes) {
  if (bytes.size() < 12) return std::nullopt;
  Reader frame(bytes.substr(0, 12));
  std::uint64_t length = 0;
  std::uint64_t crc = 0;
  frame.Integer(length, 8);
  frame.Integer(crc, 4);
  if (length == 0 || length > kLargestEntry || length > bytes.size() - 12) return std::nullopt;
  const std::string_view payload = bytes.substr(12, length);
  if (Crc32(payload) != crc) return std::nullopt;
  bytes.remove_prefix(12 + length);
  return payload;
}

}  // namespace

std::string EncodeHeader(const JournalBase& base, std::int64_t started_unix_ms) {
  std::string payload;
  PutInteger(payload, kFormatVersion, 1);
  PutInteger(payload, static_cast<std::uint64_t>(started_unix_ms), 8);
  PutUnits(payload, base.path);
  PutInteger(payload, base.identity ? 1 : 0, 1);
  const platform::files::FileIdentity identity =
      base.identity.value_or(platform::files::FileIdentity{});
  PutInteger(payload, identity.device, 8);
  PutInteger(payload, identity.file_id, 8);
  PutInteger(payload, identity.size, 8);
  PutInteger(payload, static_cast<std::uint64_t>(identity.modified_ns), 8);
  return std::string(kMagic) + Entry(kStart, payload);
}

std::string EncodeEdit(const JournalEdit& edit) {
  std::string payload;
  payload.reserve(32 + edit.inserted.size() * 2);
  PutInteger(payload, edit.position, 8);
  PutInteger(payload, edit.removed, 8);
  PutInteger(payload, static_cast<std::uint64_t>(edit.unix_ms), 8);
  PutUnits(payload, edit.inserted);
  return Entry(kEdit, payload);
}

std::optional<JournalContents> DecodeJournal(std::string_view bytes) {
  if (bytes.substr(0, kMagic.size()) != kMagic) return std::nullopt;
  bytes.remove_prefix(kMagic.size());
  const std::optional<std::string_view> start = NextEntry(bytes);
  if (!start || static_cast<std::uint8_t>(start->front()) != kStart) return std::nullopt;

  JournalContents contents;
  Reader header(start->substr(1));
  std::uint64_t version = 0, started = 0, has_identity = 0, modified = 0;
  platform::files::FileIdentity identity;
  if (!header.Integer(version, 1) || version != kFormatVersion || !header.Integer(started, 8) ||
      !header.Units(contents.base.path) || !header.Integer(has_identity, 1) ||
      !header.Integer(identity.device, 8) || !header.Integer(identity.file_id, 8) ||
      !header.Integer(identity.size, 8) || !header.Integer(modified, 8) || !header.Done()) {
    return std::nullopt;
  }
  identity.modified_ns = static_cast<std::int64_t>(modified);
  if (has_identity) contents.base.identity = identity;
  contents.started_unix_ms = static_cast<std::int64_t>(started);

  while (!bytes.empty()) {
    const std::optional<std::string_view> entry = NextEntry(bytes);
    if (!entry || static_cast<std::uint8_t>(entry->front()) != kEdit) {
      contents.torn = true;
      break;
    }
    Reader fields(entry->substr(1));
    JournalEdit edit;
    std::uint64_t when = 0;
    if (!fields.Integer(edit.position, 8) || !fields.Integer(edit.removed, 8) ||
        !fields.Integer(when, 8) || !fields.Units(edit.inserted) || !fields.Done()) {
      contents.torn = true;
      break;
    }
    edit.unix_ms = static_cast<std::int64_t>(when);
    contents.edits.push_back(std::move(edit));
  }
  return contents;
}

}  // namespace tambrel::recovery
