#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/CFData.h"
#include "platform/CFDictionary.h"
#include "platform/CFPropertyList.h"

// The user's own presets: saved states kept as NAME.aupreset in one folder,
// $XDG_DATA_HOME/<product>/presets, or ~/.local/share/<product>/presets when
// XDG_DATA_HOME is unset, empty or not an absolute path (as the XDG base
// directory rules say). A HOME that is not an absolute path is ignored in the
// same way. A plug-in's editor and the command-line host keep them here
// alike, so what one saves the other lists and loads. [UI thread; allocates]

// The folder for the product (a lower-case name: "morvex"); empty when
// neither XDG_DATA_HOME nor HOME says where it is.
std::string UserPresetFolder(const char* product);
// Why UserPresetFolder() is empty, for a message.
std::string NoUserPresetFolderReason();

// The file a preset of this name is kept in; empty when the name or the
// folder is.
std::string UserPresetPath(const std::string& folder, const std::string& name);

// What keeps a name from being a preset's file name.
enum class UserPresetNameFault {
  kNone,
  kSlash,       // it would name another folder
  kLeadingDot,  // hidden, or a way out of the folder
  kControlCharacter,
  kNotUtf8,  // the saved state holds the name as text
  kTooLong,  // more than kMaxUserPresetNameBytes
};
inline constexpr size_t kMaxUserPresetNameBytes = 200;
// For a name that is not empty.
UserPresetNameFault FaultInUserPresetName(const std::string& name);

struct UserPresetFile {
  std::string name;  // the file name without ".aupreset"
  std::string path;
  bool regular;  // a regular file (links followed), which alone can hold one
};

// The *.aupreset entries of the folder, whatever they are (a FIFO among them
// is named here, told apart, and refused when read), sorted by name ignoring case, then
// byte by byte; none when the folder does not exist. False, with errno set,
// when it exists but cannot be read.
bool ListUserPresets(const std::string& folder, std::vector<UserPresetFile>* files);

// A saved state from a file's bytes: a property list holding a dictionary
// with the saved-state keys. Null, with what is wrong in `problem` ("not a
// saved state (...)"), for anything else. The caller releases it.
CFDictionaryRef CreateSavedStateFromBytes(const void* bytes, size_t size, std::string* problem);

// A user preset's saved state. Only a regular file is read, and opening one
// never waits, so a FIFO or a device in the folder is refused at once. Null,
// with what is wrong in `problem`, otherwise. The caller releases it.
CFDictionaryRef CreateSavedStateFromUserPreset(const std::string& path, std::string* problem);

// Makes the folder and any missing parents, private to the user as the XDG
// rules ask of folders they create. False, with what failed in `problem`.
bool MakeUserPresetFolder(const std::string& folder, std::string* problem);

// The state as the bytes of a preset file: an XML property list. Null when
// the state cannot be written as one. The caller releases it.
CFDataRef CreateUserPresetBytes(CFPropertyListRef state);

// Writes the state as the user preset at `path`, whole or not at all, making
// the folder first. Anything there that is not a regular file is refused.
// False, with what failed in `problem`.
bool WriteUserPreset(const std::string& path, CFDictionaryRef state, std::string* problem);
