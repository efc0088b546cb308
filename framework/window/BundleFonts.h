#pragma once

// The fonts a plug-in bundle carries in the "fonts" folder of its resources
// (the bundle's Contents/Resources, or the folder that stands for them),
// made the first choice of every font created afterwards, so that the
// editor's text measures and looks the same on every machine. The fonts
// stay private to the drawing layer (AddFontResourceEx): a host's are
// untouched.

// [any thread] The fonts of the bundle with that identifier, or of the main
// bundle when it is null or empty; the number of faces added (0 as well
// when they were added before).
int AddBundleFonts(const char* bundleID);

// [any thread] The fonts in "<folder>/fonts", for bundles named by their
// folder.
int AddFolderFonts(const char* folder);
