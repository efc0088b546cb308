// Linked into every test program, so the leak checker knows this however the
// test is started.
//
// fontconfig keeps a little state of its own out of the leak checker's sight;
// only FcFini frees it, and a plug-in must never call that, since its host may
// be using fontconfig as well.
extern "C" __attribute__((visibility("default"), used)) const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}
