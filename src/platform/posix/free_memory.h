#pragma once

namespace kavelune::posix {

// Hands the heap's free pages back to the system. Loading a character or a dance decodes
// archives and images into buffers that are freed again once the model is built; the C library
// keeps such pages for later unless they lie at the very top of the heap, so without this the
// resident size creeps up with every load that leaves a live block above its buffers. It walks
// the whole heap (up to some tens of milliseconds when the heap holds many small free blocks):
// call it after loading, never per frame or per key.
void returnFreeMemoryToSystem();

}  // namespace kavelune::posix
