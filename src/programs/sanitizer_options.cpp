// Under AddressSanitizer, the desktop programs do not check for leaks at exit: the GL driver,
// D-Bus and the toolkit keep allocations for the life of the process, and drivers unloaded at
// exit leave stacks that cannot even be read. Our own code is leak-checked in the unit and
// integration tests, which run in-process with leak detection on.
#if defined(__SANITIZE_ADDRESS__)
extern "C" const char* __asan_default_options() { return "detect_leaks=0"; }
#endif
