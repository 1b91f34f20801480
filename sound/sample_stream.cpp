#include "sound/sample_stream.h"

SampleStream::~SampleStream() = default;
std::uint32_t SampleStream::Read(void*, std::uint32_t) { return 1; }
std::uint32_t SampleStream::Write(const void*, std::uint32_t) { return 1; }
std::int32_t SampleStream::Seek(std::int32_t, std::int32_t) { return -1; }
bool SampleStream::IsEof() { return true; }
std::uint32_t SampleStream::Capabilities() { return 0; }
bool SampleStream::IsOpen() { return open_ != 0; }
std::uint32_t SampleStream::Length() { return 0; }
