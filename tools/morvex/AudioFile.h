#pragma once

#include <sndfile.h>

#include <string>

class SafeOutput;

// The sample format written: the input's own, or one the user names.
enum class SampleFormat { Same, Pcm16, Pcm24, Float };

// Parses "same", "pcm16", "pcm24" or "float"; throws UsageError otherwise.
SampleFormat ParseSampleFormat(const std::string& text);

// "WAV, 16-bit PCM" and the like, from libsndfile's own names.
std::string DescribeFormat(int format);

// An audio file read with libsndfile, as interleaved floats.
class AudioFileReader {
 public:
  // Throws ToolError naming the path when the file is missing, unreadable or
  // not audio libsndfile knows.
  explicit AudioFileReader(const std::string& path);
  ~AudioFileReader();
  AudioFileReader(const AudioFileReader&) = delete;
  AudioFileReader& operator=(const AudioFileReader&) = delete;

  const std::string& path() const { return mPath; }
  int channels() const { return mInfo.channels; }
  int sampleRate() const { return mInfo.samplerate; }
  sf_count_t frames() const { return mInfo.frames; }
  int format() const { return mInfo.format; }
  // Reads up to `frames` frames; fewer only at the end. Throws ToolError on a
  // read error.
  sf_count_t read(float* interleaved, sf_count_t frames);

 private:
  std::string mPath;
  SF_INFO mInfo = {};
  SNDFILE* mFile = nullptr;
};

// An audio file written with libsndfile into a SafeOutput's temporary file.
class AudioFileWriter {
 public:
  // Throws ToolError when the container cannot hold the sample format.
  AudioFileWriter(SafeOutput& output, int format, int channels, int sampleRate);
  ~AudioFileWriter();
  AudioFileWriter(const AudioFileWriter&) = delete;
  AudioFileWriter& operator=(const AudioFileWriter&) = delete;

  // Samples beyond ±1 are clipped, never wrapped. Throws ToolError on failure.
  void write(const float* interleaved, sf_count_t frames);
  // Finishes the file (headers, encoder flush); throws ToolError on failure.
  void close();

 private:
  SafeOutput& mOutput;
  SNDFILE* mFile = nullptr;
};

// Throws ToolError naming the destination when a file of that format cannot
// hold those samples (FLAC and float, for instance).
void RequireWritableFormat(const std::string& destination, int format, int channels,
                           int sampleRate);

// The format to write for an input format and the user's choice: the same
// container, with the chosen sample encoding.
int OutputFormat(int inputFormat, SampleFormat choice);
