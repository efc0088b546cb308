#include "tools/morvex/AudioFile.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "tools/morvex/SafeOutput.h"
#include "tools/morvex/ToolError.h"

namespace {

std::string formatName(int format) {
  SF_FORMAT_INFO info = {};
  info.format = format;
  if (sf_command(nullptr, SFC_GET_FORMAT_INFO, &info, sizeof info) != 0 || !info.name) return "?";
  return info.name;
}

}  // namespace

SampleFormat ParseSampleFormat(const std::string& text) {
  if (text == "same") return SampleFormat::Same;
  if (text == "pcm16") return SampleFormat::Pcm16;
  if (text == "pcm24") return SampleFormat::Pcm24;
  if (text == "float") return SampleFormat::Float;
  throw UsageError("--format " + text + ": expected same, pcm16, pcm24 or float");
}

std::string DescribeFormat(int format) {
  return formatName(format & SF_FORMAT_TYPEMASK) + ", " + formatName(format & SF_FORMAT_SUBMASK);
}

int OutputFormat(int inputFormat, SampleFormat choice) {
  const int container = inputFormat & SF_FORMAT_TYPEMASK;
  switch (choice) {
    case SampleFormat::Same:
      return inputFormat;
    case SampleFormat::Pcm16:
      return container | SF_FORMAT_PCM_16;
    case SampleFormat::Pcm24:
      return container | SF_FORMAT_PCM_24;
    case SampleFormat::Float:
      return container | SF_FORMAT_FLOAT;
  }
  return inputFormat;
}

AudioFileReader::AudioFileReader(const std::string& path) : mPath(path) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0)
    throw ToolError(path + ": cannot read (" + std::strerror(errno) + ")");
  if (S_ISDIR(st.st_mode)) throw ToolError(path + ": is a folder, not an audio file");
  mFile = sf_open(path.c_str(), SFM_READ, &mInfo);
  if (!mFile)
    throw ToolError(path + ": not an audio file that can be read (" + sf_strerror(nullptr) + ")");
}

AudioFileReader::~AudioFileReader() {
  if (mFile) sf_close(mFile);
}

sf_count_t AudioFileReader::read(float* interleaved, sf_count_t frames) {
  const sf_count_t got = sf_readf_float(mFile, interleaved, frames);
  if (got < frames && sf_error(mFile) != SF_ERR_NO_ERROR)
    throw ToolError(mPath + ": corrupt audio data (" + sf_strerror(mFile) + ")");
  return got;
}

void RequireWritableFormat(const std::string& destination, int format, int channels,
                           int sampleRate) {
  SF_INFO info = {};
  info.format = format;
  info.channels = channels;
  info.samplerate = sampleRate;
  if (!sf_format_check(&info))
    throw ToolError(destination + ": a " + formatName(format & SF_FORMAT_TYPEMASK) +
                    " file cannot hold " + formatName(format & SF_FORMAT_SUBMASK) + " samples");
}

AudioFileWriter::AudioFileWriter(SafeOutput& output, int format, int channels, int sampleRate)
    : mOutput(output) {
  RequireWritableFormat(output.destination(), format, channels, sampleRate);
  SF_INFO info = {};
  info.format = format;
  info.channels = channels;
  info.samplerate = sampleRate;
  mFile = sf_open_fd(output.fd(), SFM_WRITE, &info, SF_FALSE);
  if (!mFile)
    throw ToolError(output.destination() + ": cannot write (" + sf_strerror(nullptr) + ")");
  // The effect may reach exactly +1.0, which integer formats would wrap.
  sf_command(mFile, SFC_SET_CLIPPING, nullptr, SF_TRUE);
}

AudioFileWriter::~AudioFileWriter() {
  if (mFile) sf_close(mFile);
}

void AudioFileWriter::write(const float* interleaved, sf_count_t frames) {
  if (sf_writef_float(mFile, interleaved, frames) != frames)
    throw ToolError(mOutput.destination() + ": cannot write (" + sf_strerror(mFile) + ")");
}

void AudioFileWriter::close() {
  SNDFILE* file = mFile;
  mFile = nullptr;
  const int status = sf_close(file);
  if (status != 0)
    throw ToolError(mOutput.destination() + ": cannot write (" + sf_error_number(status) + ")");
}
