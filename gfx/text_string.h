// TextString: a growable, NUL-terminated byte string. A new string holds a
// zeroed 16-byte buffer. When memory runs out the string keeps its previous
// text and the growing operation reports false.
#pragma once

#include <cstdint>

class TextString {
 public:
  TextString();
  explicit TextString(const char* text);
  TextString(const TextString& other);
  TextString(TextString&& other) noexcept;
  TextString& operator=(const TextString& other);
  TextString& operator=(TextString&& other) noexcept;
  ~TextString();

  // Null assigns the empty text; null appends nothing.
  bool Assign(const char* text);
  bool Append(const char* text);
  // Up to count characters from start; a negative start or count is taken as
  // 0, and a start at or beyond the end gives the empty text.
  TextString Mid(std::int32_t start, std::int32_t count) const;
  // Index of the last occurrence of c, or -1.
  std::int32_t ReverseFind(char c) const;
  // Makes room for length characters plus the terminator; never shrinks.
  bool Reserve(std::uint32_t length);

  const char* Text() const { return chars_ ? chars_ : ""; }
  std::uint32_t Length() const { return length_; }
  std::uint32_t Capacity() const { return capacity_; }
  bool IsEmpty() const { return length_ == 0; }

 private:
  bool AssignBytes(const char* text, std::uint32_t count);
  bool AppendBytes(const char* text, std::uint32_t count);

  char* chars_ = nullptr;
  std::uint32_t capacity_ = 0;
  std::uint32_t length_ = 0;
};

// Splits a path into directory (without the final backslash), name and
// extension (the text after the last dot of the name). Null outputs are
// skipped; the others start empty.
void SplitPath(const char* path, TextString* directory, TextString* name,
               TextString* extension);
