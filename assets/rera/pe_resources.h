#pragma once
// Reads the resources of a Windows module (a PE file) on the host, so that
// `rera` can inspect any resource library. The file is untrusted: every
// offset and size is checked against the image before it is followed.

#include "assets/rera/res_file.h"

#include <cstdint>
#include <vector>

// All resources of the image (type, name, first language's data) in the
// order of the resource directory; false when the image is not a PE file or
// its resource directory is malformed.
bool ReadPeResources(const std::uint8_t* image, std::size_t size,
                     std::vector<ResourceEntry>* out);

// The time stamp of the PE header (0 for a deterministic build); false when
// the image is not a PE file.
bool PeTimeStamp(const std::uint8_t* image, std::size_t size, std::uint32_t* stamp);
