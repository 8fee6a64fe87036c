// Leak-checker defaults for programs built with AddressSanitizer that use the
// runtime. The toolkit's libraries are built without frame pointers, so the
// fast unwinder stops at their first frame: every allocation the toolkit makes
// would end in XtMalloc, ours made through it (a compound string) as well as
// its own, and a leak of ours made in a callback could only be told from the
// toolkit's by its libXt frame. Whole stacks let tests/lsan.supp name the
// toolkit's own allocations by the functions that make them.
#if defined(__SANITIZE_ADDRESS__)
extern "C" const char *__lsan_default_options() { return "fast_unwind_on_malloc=0"; }
#endif

// Named at link time so that the linker takes this file from the archive: the
// sanitizer's own library already has a stand-in for the function above.
extern "C" const int glosset_leak_check_options = 1;
