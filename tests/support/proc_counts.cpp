// Test helper for the soak: prints how many kernel handles and GDI objects
// a running process holds, found by its executable's name.
//
//   proc_counts NAME        ->  "handles H gdi G" and exit 0
//                               exit 1 when no process of that name runs
//
// Handles come from the system's process list (Wine answers
// GetProcessHandleCount with 0). GDI objects from GetGuiResources where the
// system answers it; Wine leaves that unimplemented (0), so then they are
// counted in the process's own GDI handle table (the PEB's
// GdiSharedHandleTable, entries in Wine's layout below): every entry with a
// type, owned by the process or, as Wine leaves them, by no one.
#include <windows.h>
#include <winternl.h>

#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

// One entry of Wine's GDI handle table (24 bytes, the same in 32-bit
// processes).
struct GdiEntry {
  std::uint64_t object;
  std::uint16_t ownerProcess;
  std::uint16_t ownerCount;
  std::uint16_t unique;
  std::uint8_t type;
  std::uint8_t flags;
  std::uint64_t user;
};
static_assert(sizeof(GdiEntry) == 24, "GDI table entry layout");
constexpr std::size_t kGdiEntries = 0x10000;
// Offset of GdiSharedHandleTable in a 32-bit PEB.
constexpr std::size_t kPebGdiTable = 0x94;
constexpr LONG kInfoLengthMismatch = LONG(0xC0000004);

struct Found {
  DWORD id = 0;
  ULONG handles = 0;
};

// The first process whose image is named `name` (case ignored).
Found FindProcess(const char* name) {
  wchar_t wide[MAX_PATH];
  if (!MultiByteToWideChar(CP_ACP, 0, name, -1, wide, MAX_PATH)) return {};
  std::vector<std::uint8_t> list(1 << 16);
  LONG status;
  while ((status = NtQuerySystemInformation(SystemProcessInformation, list.data(),
                                            ULONG(list.size()), nullptr)) == kInfoLengthMismatch &&
         list.size() < (1u << 26))
    list.resize(list.size() * 2);
  if (status != 0) return {};
  for (std::size_t offset = 0;;) {
    const auto* p = reinterpret_cast<const SYSTEM_PROCESS_INFORMATION*>(list.data() + offset);
    const int chars = p->ImageName.Length / sizeof(wchar_t);
    if (p->ImageName.Buffer && chars == lstrlenW(wide) &&
        CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, p->ImageName.Buffer, chars, wide, chars) ==
            CSTR_EQUAL)
      return {DWORD(reinterpret_cast<std::uintptr_t>(p->UniqueProcessId)), p->HandleCount};
    if (!p->NextEntryOffset || offset + p->NextEntryOffset >= list.size()) return {};
    offset += p->NextEntryOffset;
  }
}

// Objects in the process's GDI handle table that are its own; -1 when the
// table cannot be read.
long CountGdiEntries(HANDLE process, DWORD id) {
  PROCESS_BASIC_INFORMATION basic = {};
  if (NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0)
    return -1;
  DWORD table = 0;
  const auto* peb = static_cast<const char*>(static_cast<void*>(basic.PebBaseAddress));
  if (!ReadProcessMemory(process, peb + kPebGdiTable, &table, sizeof table, nullptr) || !table)
    return -1;
  std::vector<GdiEntry> entries(kGdiEntries);
  SIZE_T read = 0;
  ReadProcessMemory(process, reinterpret_cast<void*>(std::uintptr_t(table)), entries.data(),
                    entries.size() * sizeof(GdiEntry), &read);
  if (read < sizeof(GdiEntry)) return -1;
  long count = 0;
  const std::uint16_t owner = std::uint16_t(id >> 2);
  for (std::size_t i = 0; i < read / sizeof(GdiEntry); ++i)
    if (entries[i].type && (entries[i].ownerProcess == owner || entries[i].ownerProcess == 0))
      ++count;
  return count;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: proc_counts NAME\n");
    return 2;
  }
  const Found found = FindProcess(argv[1]);
  if (!found.id) return 1;
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, found.id);
  if (!process) return 1;
  long gdi = long(GetGuiResources(process, GR_GDIOBJECTS));
  if (gdi == 0) gdi = CountGdiEntries(process, found.id);
  CloseHandle(process);
  std::printf("handles %lu gdi %ld\n", static_cast<unsigned long>(found.handles), gdi);
  return 0;
}
