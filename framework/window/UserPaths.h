#pragma once

#include "framework/base/WDL_String.h"

// Where the editor's path services point on this system: the plug-in bundle
// (the main bundle), and the user's own folders under $HOME. Each sets the
// string empty when the place cannot be found. [any thread]

// The plug-in bundle's executable.
void BundleExecutablePath(WDL_String* path);
// The folder holding the plug-in bundle, with a trailing "/".
void BundleFolderPath(WDL_String* path);
// $HOME/Desktop.
void UserDesktopPath(WDL_String* path);
// The user's data folder ($XDG_DATA_HOME, else $HOME/.local/share), or for
// the system /usr/local/share.
void ApplicationDataPath(WDL_String* path, bool isSystem);
// $HOME/Music.
void UserMusicPath(WDL_String* path);
