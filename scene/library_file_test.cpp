#include "scene/library_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

void Put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = std::uint8_t(v >> (8 * i));
}
void Put16(std::vector<std::uint8_t>& b, std::size_t at, std::uint16_t v) {
  b[at] = std::uint8_t(v), b[at + 1] = std::uint8_t(v >> 8);
}

// The headers of a module with two sections, stored at 0x400 (0x200 bytes)
// and 0x600 (0x1000 bytes): the file needs 0x1600 bytes.
struct Module {
  static constexpr std::size_t kPe = 0x80, kTable = kPe + 24 + 0xE0;
  std::vector<std::uint8_t> head = std::vector<std::uint8_t>(0x400, 0);
  Module() {
    head[0] = 'M', head[1] = 'Z';
    Put32(head, 0x3C, kPe);
    std::memcpy(&head[kPe], "PE\0\0", 4);
    Put16(head, kPe + 6, 2);        // sections
    Put16(head, kPe + 20, 0xE0);    // optional header size
    Section(0, 0x200, 0x400);
    Section(1, 0x1000, 0x600);
  }
  void Section(int i, std::uint32_t size, std::uint32_t offset) {
    Put32(head, kTable + 40 * i + 16, size);
    Put32(head, kTable + 40 * i + 20, offset);
  }
  bool Complete(std::uint64_t fileSize) const {
    return LibraryFileComplete(head.data(), head.size(), fileSize);
  }
};

TEST(LibraryFile, AcceptsOnlyAFileThatHoldsEverySection) {
  Module m;
  EXPECT_TRUE(m.Complete(0x1600));
  EXPECT_TRUE(m.Complete(0x4000));  // trailing bytes do no harm
  EXPECT_FALSE(m.Complete(0x15FF));
  EXPECT_FALSE(m.Complete(0x400));  // cut off after its headers
  // A section that stores nothing may point anywhere.
  m.Section(1, 0, 0xFFFFFFF0u);
  EXPECT_TRUE(m.Complete(0x600));
  // Offset and size near 2^32 do not wrap around.
  m.Section(1, 0x20, 0xFFFFFFF0u);
  EXPECT_FALSE(m.Complete(0x600));
}

TEST(LibraryFile, RefusesHeadersThatAreNotAModuleOrLeaveTheHead) {
  {
    Module m;
    m.head[1] = 'X';
    EXPECT_FALSE(m.Complete(0x1600));
  }
  {
    Module m;
    m.head[Module::kPe + 1] = 'F';
    EXPECT_FALSE(m.Complete(0x1600));
  }
  {
    Module m;  // the PE header beyond the head
    Put32(m.head, 0x3C, 0xFFFFFFFFu);
    EXPECT_FALSE(m.Complete(0x1600));
  }
  {
    Module m;  // a section table too long for the head
    Put16(m.head, Module::kPe + 6, 40);
    EXPECT_FALSE(m.Complete(0x100000));
  }
  {
    Module m;  // no sections at all
    Put16(m.head, Module::kPe + 6, 0);
    EXPECT_FALSE(m.Complete(0x1600));
  }
  Module m;
  EXPECT_FALSE(LibraryFileComplete(m.head.data(), 0x30, 0x1600));  // shorter than a DOS header
  EXPECT_FALSE(LibraryFileComplete(m.head.data(), m.head.size(), 0x100));  // head past the end
  EXPECT_FALSE(LibraryFileComplete(nullptr, 0, 0));
}

}  // namespace
