#include "tools/morvex/render/Container.h"

#include <sndfile.h>

#include "tools/morvex/console/ToolError.h"
#include "tools/morvex/render/AudioFile.h"

namespace {

struct ContainerName {
  const char* name;  // an extension, and the name --type takes
  int container;
  int usualEncoding;
};

const ContainerName kContainers[] = {
    {"wav", SF_FORMAT_WAV, SF_FORMAT_PCM_24},   {"aif", SF_FORMAT_AIFF, SF_FORMAT_PCM_24},
    {"aiff", SF_FORMAT_AIFF, SF_FORMAT_PCM_24}, {"flac", SF_FORMAT_FLAC, SF_FORMAT_PCM_24},
    {"ogg", SF_FORMAT_OGG, SF_FORMAT_VORBIS},   {"oga", SF_FORMAT_OGG, SF_FORMAT_VORBIS},
    {"caf", SF_FORMAT_CAF, SF_FORMAT_PCM_24},   {"w64", SF_FORMAT_W64, SF_FORMAT_PCM_24},
    {"au", SF_FORMAT_AU, SF_FORMAT_PCM_24},     {"mp3", SF_FORMAT_MPEG, SF_FORMAT_MPEG_LAYER_III},
};

// Some libsndfile builds read MP3 but cannot encode it.
bool available(const ContainerName& entry) {
  return CanWriteFormat(entry.container | entry.usualEncoding, 2, 44100);
}

std::string lowercase(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

const ContainerName* find(const std::string& name) {
  for (const ContainerName& entry : kContainers)
    if (lowercase(name) == entry.name && available(entry)) return &entry;
  return nullptr;
}

const ContainerName& entryFor(int container) {
  for (const ContainerName& entry : kContainers)
    if (entry.container == container) return entry;
  return kContainers[0];
}

std::string knownNames() {
  std::string names;
  for (const ContainerName& entry : kContainers)
    if (available(entry)) names += (names.empty() ? "" : ", ") + std::string(entry.name);
  return names;
}

}  // namespace

SampleFormat ParseSampleFormat(const std::string& text) {
  if (text == "same") return SampleFormat::Same;
  if (text == "pcm16") return SampleFormat::Pcm16;
  if (text == "pcm24") return SampleFormat::Pcm24;
  if (text == "float") return SampleFormat::Float;
  throw UsageError("--format " + text + ": expected same, pcm16, pcm24 or float");
}

int ContainerFor(const std::string& out, const std::string& type) {
  if (!type.empty()) {
    if (const ContainerName* entry = find(type)) return entry->container;
    throw UsageError("--type " + type + ": unknown container (known: " + knownNames() + ")");
  }
  const size_t slash = out.rfind('/');
  const size_t dot = out.rfind('.');
  if (out == "-" || dot == std::string::npos || (slash != std::string::npos && dot < slash) ||
      dot == out.size() - 1 || dot == (slash == std::string::npos ? 0 : slash + 1))
    return SF_FORMAT_WAV;
  const std::string extension = out.substr(dot + 1);
  if (const ContainerName* entry = find(extension)) return entry->container;
  throw UsageError(out + ": unknown extension '." + extension + "' (known: " + knownNames() +
                   "; or name the container with --type)");
}

int OutputFormat(int container, int inputFormat, SampleFormat choice, int channels,
                 int sampleRate) {
  switch (choice) {
    case SampleFormat::Pcm16:
      return container | SF_FORMAT_PCM_16;
    case SampleFormat::Pcm24:
      return container | SF_FORMAT_PCM_24;
    case SampleFormat::Float:
      return container | SF_FORMAT_FLOAT;
    case SampleFormat::Same:
      break;
  }
  const int same = container | (inputFormat & SF_FORMAT_SUBMASK);
  return CanWriteFormat(same, channels, sampleRate) ? same
                                                    : container | entryFor(container).usualEncoding;
}
