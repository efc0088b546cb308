#pragma once

#include <sndfile.h>

#include <string>
#include <utility>
#include <vector>

class SafeOutput;

// String tags (title, artist...) as libsndfile's SF_STR_* ids with their text.
using AudioTags = std::vector<std::pair<int, std::string>>;

// "WAV, 16-bit PCM" and the like, from libsndfile's own names.
std::string DescribeFormat(int format);

// An audio file read with libsndfile, as interleaved floats. [any thread],
// one thread at a time for each object.
class AudioFileReader {
 public:
  // "-" reads standard input (gathered first, so any container works there).
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
  AudioTags tags() const;
  // The frames a WAV header declares, which libsndfile quietly lowers to
  // what the file holds; -1 for other containers or an unreadable header.
  long long promisedFrames() const;
  // Reads up to `frames` frames; fewer only at the end. Throws ToolError on a
  // read error.
  sf_count_t read(float* interleaved, sf_count_t frames);
  // Goes back to the first frame; false when the container cannot seek.
  bool rewind();

 private:
  std::string mPath;
  int mFd = -1;
  SF_INFO mInfo = {};
  SNDFILE* mFile = nullptr;
};

// An audio file written with libsndfile into a SafeOutput. Every byte goes
// through a checked write, including the encoder's last ones inside the
// close, so no failure goes unseen. [any thread], one thread at a time for
// each object.
class AudioFileWriter {
 public:
  // Throws ToolError when the container cannot hold the sample format.
  AudioFileWriter(SafeOutput& output, int format, int channels, int sampleRate,
                  const AudioTags& tags);
  ~AudioFileWriter();
  AudioFileWriter(const AudioFileWriter&) = delete;
  AudioFileWriter& operator=(const AudioFileWriter&) = delete;

  // Samples beyond ±1 are clipped, never wrapped. Throws ToolError on failure.
  void write(const float* interleaved, sf_count_t frames);
  // Finishes the file (headers, encoder flush); throws ToolError on failure.
  void close();

 private:
  static sf_count_t fileLength(void* self);
  static sf_count_t seek(sf_count_t offset, int whence, void* self);
  static sf_count_t readBack(void* data, sf_count_t count, void* self);
  static sf_count_t writeOut(const void* data, sf_count_t count, void* self);
  static sf_count_t tell(void* self);

  SafeOutput& mOutput;
  SNDFILE* mFile = nullptr;
  int mWriteError = 0;  // the first write failure's errno
};

// Whether libsndfile can write the format (a container and an encoding) with
// those channels and rate: its encoder opens, which is more than
// sf_format_check asks (it accepts MPEG in WAV, which it cannot write).
// [any thread]
bool CanWriteFormat(int format, int channels, int sampleRate);

// Throws ToolError naming the destination when a file of that format cannot
// hold those samples (FLAC and float, for instance).
void RequireWritableFormat(const std::string& destination, int format, int channels,
                           int sampleRate);
