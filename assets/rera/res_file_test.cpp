// The .res writer's byte layout, and reading it back.
#include "assets/rera/res_file.h"

#include <gtest/gtest.h>

namespace {

std::uint32_t U32(const std::vector<std::uint8_t>& v, std::size_t at) {
  return v[at] | v[at + 1] << 8 | v[at + 2] << 16 | std::uint32_t(v[at + 3]) << 24;
}
std::uint16_t U16(const std::vector<std::uint8_t>& v, std::size_t at) {
  return std::uint16_t(v[at] | v[at + 1] << 8);
}

TEST(ResFile, LayoutOfNamedAndNumberedEntries) {
  std::vector<ResourceEntry> entries(2);
  entries[0].type = ResId::Name("Bin");
  entries[0].name = ResId::Name("13l");
  entries[0].data = {1, 2, 3, 4, 5};
  entries[1].type = ResId::Name("WAVE");
  entries[1].name = ResId::Number(233);
  entries[1].data = {9, 8, 7, 6};
  const std::vector<std::uint8_t> res = WriteResFile(entries);

  // The empty leading entry.
  EXPECT_EQ(U32(res, 0), 0u);
  EXPECT_EQ(U32(res, 4), 32u);
  EXPECT_EQ(U16(res, 8), 0xFFFF);
  EXPECT_EQ(U16(res, 10), 0);
  EXPECT_EQ(U16(res, 12), 0xFFFF);
  for (std::size_t i = 14; i < 32; ++i) EXPECT_EQ(res[i], 0) << i;

  // First entry: type "BIN" and name "13L" as upper-case UTF-16 strings, the
  // header padded to 4 bytes, then the data padded to 4 bytes.
  std::size_t at = 32;
  EXPECT_EQ(U32(res, at), 5u);
  const std::uint32_t header = U32(res, at + 4);
  EXPECT_EQ(header, 8u + 8u + 8u + 16u);  // "BIN\0" 8 bytes, "13L\0" 8 bytes
  const char* bin = "BIN";
  for (int i = 0; i < 4; ++i) EXPECT_EQ(U16(res, at + 8 + 2 * i), i < 3 ? bin[i] : 0);
  const char* name = "13L";
  for (int i = 0; i < 4; ++i) EXPECT_EQ(U16(res, at + 16 + 2 * i), i < 3 ? name[i] : 0);
  EXPECT_EQ(U32(res, at + 24), 0u);  // data version
  EXPECT_EQ(U16(res, at + 28), kResourceMemoryFlags);
  EXPECT_EQ(U16(res, at + 30), kResourceLanguage);
  EXPECT_EQ(U32(res, at + 32), 0u);
  EXPECT_EQ(U32(res, at + 36), 0u);
  EXPECT_EQ(res[at + header], 1);
  EXPECT_EQ(res[at + header + 4], 5);
  for (int i = 5; i < 8; ++i) EXPECT_EQ(res[at + header + i], 0);

  // Second entry: a numbered name is 0xFFFF and the id.
  at += header + 8;
  EXPECT_EQ(U32(res, at), 4u);
  const std::uint32_t header2 = U32(res, at + 4);
  EXPECT_EQ(header2, 8u + 10u + 4u + 2u + 16u);  // "WAVE\0", ordinal, padding
  EXPECT_EQ(U16(res, at + 18), 0xFFFF);
  EXPECT_EQ(U16(res, at + 20), 233);
  EXPECT_EQ(res.size(), at + header2 + 4);
  EXPECT_EQ(res.size() % 4, 0u);
}

TEST(ResFile, ReadsBackWhatItWrites) {
  std::vector<ResourceEntry> entries;
  for (int i = 0; i < 5; ++i) {
    ResourceEntry e;
    e.type = i % 2 ? ResId::Number(std::uint16_t(10 + i)) : ResId::Name("BIN");
    e.name = i % 3 ? ResId::Name("N" + std::to_string(i)) : ResId::Number(std::uint16_t(i + 1));
    e.data.assign(std::size_t(i * 3), std::uint8_t(i));
    entries.push_back(e);
  }
  const std::vector<std::uint8_t> res = WriteResFile(entries);
  std::vector<ResourceEntry> back;
  ASSERT_TRUE(ReadResFile(res.data(), res.size(), &back));
  ASSERT_EQ(back.size(), entries.size());
  for (std::size_t i = 0; i < back.size(); ++i) {
    EXPECT_EQ(back[i].type.ToString(), entries[i].type.ToString());
    EXPECT_EQ(back[i].name.ToString(), entries[i].name.ToString());
    EXPECT_EQ(back[i].data, entries[i].data);
  }
  // Every truncation is refused without reading past the end.
  for (std::size_t n = 0; n + 1 < res.size(); n += 3) {
    std::vector<std::uint8_t> cut(res.begin(), res.begin() + long(n));
    std::vector<ResourceEntry> none;
    if (n < 32 || (n - 32) % 4) {
      EXPECT_FALSE(ReadResFile(cut.data(), cut.size(), &none)) << n;
    }
  }
}

}  // namespace
