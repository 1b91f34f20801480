#include "gfx/file_mapping_block.h"

FileMappingBlock::FileMappingBlock(std::uint32_t createSize, const char* fileName,
                                   bool temporary, const char* mappingName, bool readOnly,
                                   bool sequential) {
  handle_ = INVALID_HANDLE_VALUE;
  readOnly_ = readOnly;
  mappingName_.Assign(mappingName);
  if (fileName && fileName[0]) {
    if (!OpenFile(createSize, fileName, temporary, sequential)) return;
  } else if (mappingName_.IsEmpty()) {
    return;
  } else {
    size_ = createSize;
  }
  kind_ = MEMORY_BLOCK_FILE_MAPPING;
  Lock();
}

bool FileMappingBlock::OpenFile(std::uint32_t createSize, const char* fileName, bool temporary,
                                bool sequential) {
  DWORD attributes = FILE_ATTRIBUTE_NORMAL;
  if (temporary) attributes |= FILE_FLAG_DELETE_ON_CLOSE | FILE_ATTRIBUTE_TEMPORARY;
  attributes |= sequential ? FILE_FLAG_SEQUENTIAL_SCAN : FILE_FLAG_RANDOM_ACCESS;
  HANDLE file = INVALID_HANDLE_VALUE;
  if (createSize != 0) {
    readOnly_ = false;
    file = CreateFileA(fileName, GENERIC_READ | GENERIC_WRITE,
                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS, attributes,
                       nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    // With the high half given, the low half counts as unsigned.
    LONG high = 0;
    SetLastError(NO_ERROR);
    DWORD moved = SetFilePointer(file, static_cast<LONG>(createSize), &high, FILE_BEGIN);
    if ((moved == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR) ||
        !SetEndOfFile(file)) {
      CloseHandle(file);
      return false;
    }
    size_ = createSize;
  } else {
    DWORD access = readOnly_ ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE;
    DWORD share = readOnly_ ? FILE_SHARE_READ : FILE_SHARE_READ | FILE_SHARE_WRITE;
    file = CreateFileA(fileName, access, share, nullptr, OPEN_EXISTING, attributes, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD high = 0;
    SetLastError(NO_ERROR);
    DWORD low = GetFileSize(file, &high);
    // The size is 32-bit: a file of 4 GiB or more cannot be described.
    if ((low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) || high != 0) {
      CloseHandle(file);
      return false;
    }
    size_ = low;
  }
  handle_ = file;
  return true;
}

FileMappingBlock::~FileMappingBlock() {
  if (lockCount_ > 1) lockCount_ = 1;
  Unlock();
  if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
}

void FileMappingBlock::MapView() {
  const char* name = mappingName_.IsEmpty() ? nullptr : mappingName_.Text();
  if (handle_ != INVALID_HANDLE_VALUE) {
    // An empty file cannot be mapped; the block then stays without bytes.
    if (size_ == 0) return;
    mapping_ = CreateFileMappingA(handle_, nullptr, readOnly_ ? PAGE_READONLY : PAGE_READWRITE,
                                  0, 0, name);
  } else if (name) {
    mapping_ = OpenFileMappingA(readOnly_ ? FILE_MAP_READ : FILE_MAP_WRITE, TRUE, name);
  }
  if (!mapping_) return;
  pointer_ = MapViewOfFile(mapping_, readOnly_ ? FILE_MAP_READ : FILE_MAP_WRITE, 0, 0, 0);
  if (!pointer_) {
    CloseHandle(mapping_);
    mapping_ = nullptr;
    return;
  }
  if (handle_ == INVALID_HANDLE_VALUE) {
    // A named mapping's size is the mapped region's unless the caller gave one.
    MEMORY_BASIC_INFORMATION info;
    if (VirtualQuery(pointer_, &info, sizeof info) == sizeof info) {
      SIZE_T region = info.RegionSize;
      if (size_ == 0 || size_ > region) {
        size_ = region > UINT32_MAX ? UINT32_MAX : static_cast<std::uint32_t>(region);
      }
    }
  }
}

void* FileMappingBlock::Lock() {
  if (kind_ == MEMORY_BLOCK_NONE) return nullptr;
  if (lockCount_ == 0) MapView();
  ++lockCount_;
  return pointer_;
}

void FileMappingBlock::Unlock() {
  if (lockCount_ <= 0) return;
  if (lockCount_ == 1) {
    if (pointer_) UnmapViewOfFile(pointer_);
    if (mapping_) CloseHandle(mapping_);
    pointer_ = nullptr;
    mapping_ = nullptr;
  }
  --lockCount_;
}
