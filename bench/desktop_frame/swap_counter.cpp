// Preloaded into a program (LD_PRELOAD) to count its GLX buffer swaps without touching it.
// The counts live in a small file that the library maps into the process, so the benchmark
// script reads them while the program runs and a frame costs no system call:
//   bytes 0-7   number of swaps so far
//   bytes 8-15  CLOCK_REALTIME of the end of the first swap, in nanoseconds (0 before it)
// The file is named by KAVELUNE_SWAP_COUNT_FILE; without it nothing is counted.

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <ctime>

namespace {

struct SwapRecord {
    std::atomic<std::uint64_t> swaps;
    std::atomic<std::uint64_t> firstSwapNanoseconds;
};

SwapRecord* mapRecord() {
    const char* name = std::getenv("KAVELUNE_SWAP_COUNT_FILE");
    if (!name || !*name) return nullptr;
    const int file = open(name, O_RDWR | O_CREAT | O_TRUNC, 0644);
    if (file < 0) return nullptr;
    void* memory = nullptr;
    if (ftruncate(file, sizeof(SwapRecord)) == 0) {
        memory = mmap(nullptr, sizeof(SwapRecord), PROT_READ | PROT_WRITE, MAP_SHARED, file, 0);
    }
    close(file);
    return memory == MAP_FAILED ? nullptr : static_cast<SwapRecord*>(memory);
}

SwapRecord* record() {
    static SwapRecord* mapped = mapRecord();
    return mapped;
}

std::uint64_t realTimeNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<std::uint64_t>(now.tv_sec) * 1000000000u + static_cast<std::uint64_t>(now.tv_nsec);
}

}  // namespace

extern "C" void glXSwapBuffers(void* display, unsigned long drawable) {
    using Swap = void (*)(void*, unsigned long);
    static const Swap next = reinterpret_cast<Swap>(dlsym(RTLD_NEXT, "glXSwapBuffers"));
    if (next) next(display, drawable);
    if (SwapRecord* counts = record()) {
        if (counts->swaps.fetch_add(1, std::memory_order_relaxed) == 0) {
            counts->firstSwapNanoseconds.store(realTimeNanoseconds(), std::memory_order_relaxed);
        }
    }
}
