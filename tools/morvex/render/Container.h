#pragma once

#include <string>

// The sample format written: the container's choice, or one the user names.
enum class SampleFormat { Same, Pcm16, Pcm24, Float };

// Parses "same", "pcm16", "pcm24" or "float"; throws UsageError otherwise.
SampleFormat ParseSampleFormat(const std::string& text);

// The libsndfile container (SF_FORMAT_WAV and so on) to write for OUT: the one
// `type` names when it is not empty, else the one OUT's extension names; WAV
// for "-" and for names without an extension. Throws UsageError listing the
// known names for an unknown one.
int ContainerFor(const std::string& out, const std::string& type);

// The full libsndfile format to write: the input's sample encoding when the
// container can hold it, else the container's usual one (24-bit for the
// lossless ones, Vorbis for Ogg, layer III for MPEG); `choice` overrides both.
int OutputFormat(int container, int inputFormat, SampleFormat choice, int channels, int sampleRate);
