// The memory status and the release's block over the real API.
#include "platform/win32/adapters/Adapters.h"
#include "platform/win32/release/BlankBlock.h"

namespace purgix::win32 {

void MemoryAdapter::GlobalMemoryStatus(platform::MemoryStatus& record) {
    MEMORYSTATUSEX ms{};
    ms.dwLength = sizeof ms;
    ::GlobalMemoryStatusEx(&ms);
    record.length = ms.dwLength;
    record.memoryLoad = ms.dwMemoryLoad;
    record.totalPhys = ms.ullTotalPhys;
    record.availPhys = ms.ullAvailPhys;
    record.totalPageFile = ms.ullTotalPageFile;
    record.availPageFile = ms.ullAvailPageFile;
    record.totalVirtual = ms.ullTotalVirtual;
    record.availVirtual = ms.ullAvailVirtual;
}

platform::BlockResult MemoryAdapter::WriteBlankBlock(std::uint64_t bytes) { return win32::WriteBlankBlock(bytes); }

void MemoryAdapter::StopFill() { win32::StopFill(); }

}  // namespace purgix::win32
