#pragma once
// The binary resource (.res) file that windres turns into a COFF object.
// Writing it ourselves keeps names such as "13L" strings (an .rc script
// would read them as the number 13).
//
// The file is a run of entries, each a header followed by its data padded to
// 4 bytes; the first entry is an empty one (32 bytes, all zero but the header
// size 32 and two 0xFFFF 0 ordinals). An entry header (little-endian):
//   DWORD data size, DWORD header size,
//   type: 0xFFFF + WORD id, or a zero-terminated upper-case UTF-16 name,
//   name: the same forms, then padding to 4 bytes,
//   DWORD data version, WORD memory flags, WORD language, DWORD version,
//   DWORD characteristics.

#include <cstdint>
#include <string>
#include <vector>

// A type or name: a string, or a numeric id when `text` is empty.
struct ResId {
  std::string text;
  std::uint16_t id = 0;

  static ResId Name(std::string s) { return ResId{std::move(s), 0}; }
  static ResId Number(std::uint16_t n) { return ResId{std::string(), n}; }
  bool IsNumber() const { return text.empty(); }
  std::string ToString() const { return IsNumber() ? std::to_string(id) : text; }
};

struct ResourceEntry {
  ResId type;
  ResId name;
  std::vector<std::uint8_t> data;
};

constexpr std::uint16_t kResourceMemoryFlags = 0x0030;  // moveable, pure
constexpr std::uint16_t kResourceLanguage = 0;          // neutral

std::vector<std::uint8_t> WriteResFile(const std::vector<ResourceEntry>& entries);

// Reads a .res image back (for checks); false when it is malformed.
bool ReadResFile(const std::uint8_t* data, std::size_t size, std::vector<ResourceEntry>* out);
