#pragma once
// Checks on the resource library file before the scene trusts it. The loader
// maps a module whose headers are sound even when the file was cut short, and
// then every resource past the cut reads as zeros; such a file counts as no
// library at all.

#include <cstddef>
#include <cstdint>

// How many bytes from the start of the file the check needs: the headers and
// the section table of any module the scene accepts lie within them.
constexpr std::size_t kLibraryHeadBytes = 4096;

// True when `head` (the first headSize bytes of a file of fileSize bytes)
// starts a PE module whose section table lies within head and whose every
// section's stored bytes lie within the file.
bool LibraryFileComplete(const std::uint8_t* head, std::size_t headSize,
                         std::uint64_t fileSize);
