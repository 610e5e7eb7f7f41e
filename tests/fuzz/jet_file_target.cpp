// Fuzz target: the Jet reading helper over a whole file, as ovdesk runs it. The bytes become a file
// in memory that the helper opens by name; its stream goes nowhere. Any crash, hang, sanitizer
// report or allocation past the fuzzer's limit is a finding: the helper must end every input with
// its stream or an error status.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include <fcntl.h>

int mdbreadMain(int argc, char** argv);

namespace {

int memoryFile = -1;
std::string memoryPath;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    memoryFile = memfd_create("fuzz.mdb", 0);
    memoryPath = "/proc/self/fd/" + std::to_string(memoryFile);
    // The stream is not looked at: only how the reading ends.
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, STDOUT_FILENO);
    close(null);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Most inputs are cut to whole pages (the header says 2048 or 4096 bytes), so that mutations
    // reach the pages rather than stop at the length check; the rest keep their length.
    const size_t pageSize = size > 0x14 && data[0x14] == 0 ? 2048 : 4096;
    if (size >= pageSize && size % 8 != 7) size -= size % pageSize;
    if (ftruncate(memoryFile, 0) != 0) return 0;
    if (size > 0 && pwrite(memoryFile, data, size, 0) != static_cast<ssize_t>(size)) return 0;
    std::string program = "ovdesk-mdbread";
    char* argv[] = {program.data(), memoryPath.data(), nullptr};
    mdbreadMain(2, argv);
    return 0;
}
