#include "gfx/text_string.h"

#include <cstdlib>
#include <cstring>
#include <utility>

namespace {

constexpr std::uint32_t kInitialCapacity = 16;

// The length of a C string, or false when it does not fit the 32-bit length.
bool LengthOf(const char* text, std::uint32_t* length) {
  std::size_t n = text ? std::strlen(text) : 0;
  if (n >= UINT32_MAX) return false;
  *length = static_cast<std::uint32_t>(n);
  return true;
}

}  // namespace

TextString::TextString() {
  chars_ = static_cast<char*>(std::calloc(kInitialCapacity, 1));
  if (chars_) capacity_ = kInitialCapacity;
}

TextString::TextString(const char* text) : TextString() { Assign(text); }

TextString::TextString(const TextString& other) : TextString() {
  AssignBytes(other.Text(), other.length_);
}

TextString::TextString(TextString&& other) noexcept
    : chars_(other.chars_), capacity_(other.capacity_), length_(other.length_) {
  other.chars_ = nullptr;
  other.capacity_ = 0;
  other.length_ = 0;
}

TextString& TextString::operator=(const TextString& other) {
  if (this != &other) AssignBytes(other.Text(), other.length_);
  return *this;
}

TextString& TextString::operator=(TextString&& other) noexcept {
  if (this != &other) {
    std::swap(chars_, other.chars_);
    std::swap(capacity_, other.capacity_);
    std::swap(length_, other.length_);
  }
  return *this;
}

TextString::~TextString() { std::free(chars_); }

bool TextString::Reserve(std::uint32_t length) {
  if (length == UINT32_MAX) return false;
  if (chars_ && length < capacity_) return true;
  std::uint32_t capacity = length + 1;
  char* grown = static_cast<char*>(std::realloc(chars_, capacity));
  if (!grown) return false;
  if (!chars_) grown[0] = '\0';
  std::memset(grown + length_ + 1, 0, capacity - length_ - 1);
  chars_ = grown;
  capacity_ = capacity;
  return true;
}

// Both copies tolerate text that lies inside this string's own buffer: its
// offset is taken before the buffer may move.
bool TextString::AssignBytes(const char* text, std::uint32_t count) {
  const bool inside = chars_ && text >= chars_ && text < chars_ + capacity_;
  const std::size_t offset = inside ? static_cast<std::size_t>(text - chars_) : 0;
  if (!Reserve(count)) return false;
  if (inside) text = chars_ + offset;
  std::memmove(chars_, text, count);
  chars_[count] = '\0';
  length_ = count;
  return true;
}

bool TextString::AppendBytes(const char* text, std::uint32_t count) {
  if (count == 0) return true;
  if (count > UINT32_MAX - 1 - length_) return false;
  const bool inside = chars_ && text >= chars_ && text < chars_ + capacity_;
  const std::size_t offset = inside ? static_cast<std::size_t>(text - chars_) : 0;
  if (!Reserve(length_ + count)) return false;
  if (inside) text = chars_ + offset;
  std::memmove(chars_ + length_, text, count);
  length_ += count;
  chars_[length_] = '\0';
  return true;
}

bool TextString::Assign(const char* text) {
  std::uint32_t length = 0;
  if (!LengthOf(text, &length)) return false;
  return AssignBytes(text ? text : "", length);
}

bool TextString::Append(const char* text) {
  std::uint32_t length = 0;
  if (!text || !LengthOf(text, &length)) return false;
  return AppendBytes(text, length);
}

TextString TextString::Mid(std::int32_t start, std::int32_t count) const {
  TextString result;
  std::uint32_t first = start < 0 ? 0u : static_cast<std::uint32_t>(start);
  std::uint32_t wanted = count < 0 ? 0u : static_cast<std::uint32_t>(count);
  if (first >= length_) return result;
  std::uint32_t available = length_ - first;
  result.AssignBytes(chars_ + first, wanted < available ? wanted : available);
  return result;
}

std::int32_t TextString::ReverseFind(char c) const {
  for (std::uint32_t i = length_; i > 0; --i) {
    if (chars_[i - 1] == c) return static_cast<std::int32_t>(i - 1);
  }
  return -1;
}

void SplitPath(const char* path, TextString* directory, TextString* name,
               TextString* extension) {
  TextString* outputs[] = {directory, name, extension};
  for (TextString* output : outputs) {
    if (output) output->Assign("");
  }
  TextString rest(path);
  // A dot counts only within the last path component, so "a.b\c" has no
  // extension.
  std::int32_t dot = rest.ReverseFind('.');
  if (dot >= 0 && dot > rest.ReverseFind('\\')) {
    if (extension) extension->Assign(rest.Text() + dot + 1);
    rest = rest.Mid(0, dot);
  }
  std::int32_t slash = rest.ReverseFind('\\');
  if (slash < 0) {
    if (name) *name = rest;
    return;
  }
  if (name) name->Assign(rest.Text() + slash + 1);
  if (directory) *directory = rest.Mid(0, slash);
}
