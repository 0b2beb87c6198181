// Leaks inside system libraries that the tests do not own; LeakSanitizer asks for this list
// itself, so the tests report only our own leaks however they are run.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig\n"
           "leak:libdbus\n"
           "leak:libx265\n";
}
