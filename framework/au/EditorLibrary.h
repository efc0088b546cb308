#pragma once

// An effect's editor kept in a second library of its bundle, beside the
// library that holds the component entry, so that a host that only renders
// never maps what drawing needs (the window system, fonts, images). The
// library is loaded the first time an entry of it is asked for, from the
// bundle this code was loaded from wherever that bundle was copied, and
// stays loaded. Null when the library or the entry cannot be found.
// [UI thread]
void* EditorLibraryEntry(const char* libraryName, const char* entryName);
