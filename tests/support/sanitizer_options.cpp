// Options for the sanitizer build, read by the runtime at start-up (without sanitizers nothing
// calls these). GLib allocates a buffer in its library constructor and keeps it for the life of the
// process; full (short) malloc stacks let the suppression name exactly that and nothing else.

extern "C" {

const char* __asan_default_options() {
    return "fast_unwind_on_malloc=0:malloc_context_size=8";
}

const char* __lsan_default_suppressions() {
    return "leak:_dl_init\n";
}

}  // extern "C"
