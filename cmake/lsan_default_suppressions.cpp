// Linked into every test program and every program the build runs, so the
// leak checker of a sanitizer build knows this however the program starts.
//
// fontconfig keeps a little state of its own out of the leak checker's sight;
// only FcFini frees it, and a plug-in must never call that, since its host may
// be using fontconfig as well.
extern "C" __attribute__((visibility("default"), used)) const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}

// Quietly: programs whose standard error a test reads must not gain a report
// of the suppressions used.
extern "C" __attribute__((visibility("default"), used)) const char* __lsan_default_options() {
  return "print_suppressions=0";
}
