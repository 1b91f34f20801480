// Test helper for the soak: prints how many kernel handles and GDI objects
// a running process holds, found by its executable's name.
//
//   proc_counts NAME        ->  "handles H gdi G" and exit 0
//                               exit 1 when no process of that name runs
//
// Handles come from GetProcessHandleCount. GDI objects from GetGuiResources
// where the system answers it; Wine leaves that unimplemented (0), so then
// they are counted in the process's GDI handle table (the PEB's
// GdiSharedHandleTable, entries in Wine's layout below): every entry with a
// type that the process owns.
#include <windows.h>
#include <tlhelp32.h>
#include <winternl.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
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

DWORD FindProcess(const char* name) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return 0;
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  DWORD found = 0;
  for (BOOL more = Process32First(snapshot, &entry); more && !found;
       more = Process32Next(snapshot, &entry))
    if (lstrcmpiA(entry.szExeFile, name) == 0) found = entry.th32ProcessID;
  CloseHandle(snapshot);
  return found;
}

// Objects in the process's GDI handle table owned by it; -1 when the table
// cannot be read.
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
    if (entries[i].type && entries[i].ownerProcess == owner) ++count;
  return count;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: proc_counts NAME\n");
    return 2;
  }
  const DWORD id = FindProcess(argv[1]);
  if (!id) return 1;
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, id);
  if (!process) return 1;
  DWORD handles = 0;
  if (!GetProcessHandleCount(process, &handles)) handles = DWORD(-1);
  long gdi = long(GetGuiResources(process, GR_GDIOBJECTS));
  if (gdi == 0) gdi = CountGdiEntries(process, id);
  CloseHandle(process);
  std::printf("handles %ld gdi %ld\n", long(handles), gdi);
  return 0;
}
