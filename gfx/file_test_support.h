// Helpers shared by the tests of the file-backed pieces. Target only.
#pragma once

#include <string>

// The bytes of a file as a string (opened sharing read and write, so a file that is
// mapped or open elsewhere reads too); "<missing>" when it cannot be opened.
std::string ReadWholeFile(const std::string& path);
