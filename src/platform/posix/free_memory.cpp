#include "platform/posix/free_memory.h"

#include <cstdlib>  // defines __GLIBC__ where the C library is glibc

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace kavelune::posix {

void returnFreeMemoryToSystem() {
#if defined(__GLIBC__)
    // With no padding it releases every whole free page, not just the top of the heap.
    malloc_trim(0);
#endif
}

}  // namespace kavelune::posix
