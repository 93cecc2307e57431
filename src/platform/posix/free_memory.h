#pragma once

namespace kavelune::posix {

// Hands the heap's free pages back to the system. Loading a character or a dance decodes
// archives and images into buffers that are freed again once the model is built; the C library
// keeps such pages for later unless they lie at the very top of the heap, so without this the
// resident size creeps up with every load that leaves a live block above its buffers. It walks
// the whole heap (about a millisecond for tens of megabytes): call it after loading, never per
// frame.
void returnFreeMemoryToSystem();

}  // namespace kavelune::posix
