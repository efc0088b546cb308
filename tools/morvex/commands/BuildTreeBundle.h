#pragma once

// Makes a build of this project find its own bundle: when the Morvex.component
// that the build tree holds (known at configure time, relative to this
// executable) exists, it is added to the end of AUDIOUNIT_PATH. Folders the
// user names there are searched first; the home and system folders come after.
// Must run before the first component search.
void AddBuildTreeBundle();
