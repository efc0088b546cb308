#include "tools/morvex/render/AudioFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <mutex>

#include "tools/morvex/console/ToolError.h"
#include "tools/morvex/output/FileDescriptors.h"
#include "tools/morvex/output/SafeOutput.h"

namespace {

// libsndfile keeps the error of a failed open in one variable for the whole
// process; opens on several threads take turns, so that each reads its own.
std::mutex gOpening;

std::string formatName(int format) {
  SF_FORMAT_INFO info = {};
  info.format = format;
  if (sf_command(nullptr, SFC_GET_FORMAT_INFO, &info, sizeof info) != 0 || !info.name) return "?";
  return info.name;
}

// Standard input copied into an unlinked file, so that libsndfile can seek
// in it whatever the container.
int spoolStandardInput() {
  const int fd = MakeSpoolFile("standard input");
  int error = CopyAll(STDIN_FILENO, fd);
  if (error == 0 && lseek(fd, 0, SEEK_SET) != 0) error = errno;
  if (error == 0) return fd;
  close(fd);
  throw ToolError(std::string("standard input: cannot read (") + std::strerror(error) + ")");
}

uint32_t littleEndian32(const unsigned char* bytes) {
  return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

// Where an encoder writes when only its opening matters: it keeps the length
// and position, and nothing else.
struct NullSink {
  sf_count_t position = 0;
  sf_count_t length = 0;
};

sf_count_t nullSinkLength(void* sink) {
  return static_cast<NullSink*>(sink)->length;
}

sf_count_t nullSinkSeek(sf_count_t offset, int whence, void* data) {
  auto* sink = static_cast<NullSink*>(data);
  const sf_count_t base = whence == SEEK_SET   ? 0
                          : whence == SEEK_CUR ? sink->position
                                               : sink->length;
  if (base + offset < 0) return -1;
  return sink->position = base + offset;
}

sf_count_t nullSinkRead(void*, sf_count_t, void*) {
  return 0;
}

sf_count_t nullSinkWrite(const void*, sf_count_t count, void* data) {
  auto* sink = static_cast<NullSink*>(data);
  sink->position += count;
  sink->length = std::max(sink->length, sink->position);
  return count;
}

sf_count_t nullSinkTell(void* sink) {
  return static_cast<NullSink*>(sink)->position;
}

}  // namespace

std::string DescribeFormat(int format) {
  return formatName(format & SF_FORMAT_TYPEMASK) + ", " + formatName(format & SF_FORMAT_SUBMASK);
}

AudioFileReader::AudioFileReader(const std::string& path) : mPath(path) {
  if (path == "-") {
    mPath = "standard input";
    if (isatty(STDIN_FILENO))
      throw ToolError("standard input: is a terminal, not audio (pipe or redirect a file into it)");
    mFd = spoolStandardInput();
  } else {
    struct stat st;
    if (stat(path.c_str(), &st) != 0)
      throw ToolError(path + ": cannot read (" + std::strerror(errno) + ")");
    if (S_ISDIR(st.st_mode)) throw ToolError(path + ": is a folder, not an audio file");
    mFd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (mFd < 0) throw ToolError(path + ": cannot read (" + std::strerror(errno) + ")");
  }
  const std::lock_guard<std::mutex> turn(gOpening);
  mFile = sf_open_fd(mFd, SFM_READ, &mInfo, SF_FALSE);
  if (!mFile) {
    close(mFd);
    throw ToolError(mPath + ": not an audio file that can be read (" + sf_strerror(nullptr) + ")");
  }
}

AudioFileReader::~AudioFileReader() {
  sf_close(mFile);
  close(mFd);
}

AudioTags AudioFileReader::tags() const {
  AudioTags tags;
  for (int id = SF_STR_FIRST; id <= SF_STR_LAST; ++id)
    if (const char* text = sf_get_string(mFile, id)) tags.emplace_back(id, text);
  return tags;
}

long long AudioFileReader::promisedFrames() const {
  if ((mInfo.format & SF_FORMAT_TYPEMASK) != SF_FORMAT_WAV) return -1;
  unsigned char head[12];
  if (pread(mFd, head, sizeof head, 0) != sizeof head || std::memcmp(head, "RIFF", 4) != 0 ||
      std::memcmp(head + 8, "WAVE", 4) != 0)
    return -1;
  long long blockAlign = 0;
  for (off_t offset = 12;;) {
    unsigned char chunk[8 + 14];
    const ssize_t got = pread(mFd, chunk, sizeof chunk, offset);
    if (got < 8) return -1;
    const uint32_t size = littleEndian32(chunk + 4);
    if (std::memcmp(chunk, "fmt ", 4) == 0 && got >= 8 + 14)
      blockAlign = chunk[8 + 12] | chunk[8 + 13] << 8;
    // Writers that stream to a pipe cannot know the length and say 0 or ~0.
    const bool lengthKnown = size != 0 && size != UINT32_MAX;
    if (std::memcmp(chunk, "data", 4) == 0)
      return blockAlign > 0 && lengthKnown ? size / blockAlign : -1;
    offset += 8 + size + (size & 1);
  }
}

sf_count_t AudioFileReader::read(float* interleaved, sf_count_t frames) {
  const sf_count_t got = sf_readf_float(mFile, interleaved, frames);
  if (got < frames && sf_error(mFile) != SF_ERR_NO_ERROR)
    throw ToolError(mPath + ": corrupt audio data (" + sf_strerror(mFile) + ")");
  return got;
}

bool AudioFileReader::rewind() {
  return sf_seek(mFile, 0, SEEK_SET) == 0;
}

bool CanWriteFormat(int format, int channels, int sampleRate) {
  SF_INFO info = {};
  info.format = format;
  info.channels = channels;
  info.samplerate = sampleRate;
  if (!sf_format_check(&info)) return false;
  SF_VIRTUAL_IO io = {nullSinkLength, nullSinkSeek, nullSinkRead, nullSinkWrite, nullSinkTell};
  NullSink sink;
  const std::lock_guard<std::mutex> turn(gOpening);
  SNDFILE* file = sf_open_virtual(&io, SFM_WRITE, &info, &sink);
  if (!file) return false;
  sf_close(file);
  return true;
}

void RequireWritableFormat(const std::string& destination, int format, int channels,
                           int sampleRate) {
  if (!CanWriteFormat(format, channels, sampleRate))
    throw ToolError(destination + ": a " + formatName(format & SF_FORMAT_TYPEMASK) +
                    " file cannot hold " + formatName(format & SF_FORMAT_SUBMASK) + " samples");
}

AudioFileWriter::AudioFileWriter(SafeOutput& output, int format, int channels, int sampleRate,
                                 const AudioTags& tags)
    : mOutput(output) {
  RequireWritableFormat(output.destination(), format, channels, sampleRate);
  SF_INFO info = {};
  info.format = format;
  info.channels = channels;
  info.samplerate = sampleRate;
  SF_VIRTUAL_IO io = {&AudioFileWriter::fileLength, &AudioFileWriter::seek,
                      &AudioFileWriter::readBack, &AudioFileWriter::writeOut,
                      &AudioFileWriter::tell};
  {
    const std::lock_guard<std::mutex> turn(gOpening);
    mFile = sf_open_virtual(&io, SFM_WRITE, &info, this);
    if (!mFile)
      throw ToolError(output.destination() + ": cannot write (" + sf_strerror(nullptr) + ")");
  }
  // The effect may reach exactly +1.0, which integer formats would wrap.
  sf_command(mFile, SFC_SET_CLIPPING, nullptr, SF_TRUE);
  // A container without room for a tag refuses it; the audio matters more.
  for (const auto& [id, text] : tags)
    if (id != SF_STR_SOFTWARE) sf_set_string(mFile, id, text.c_str());
  sf_set_string(mFile, SF_STR_SOFTWARE, "morvex " MORVEX_VERSION);
}

AudioFileWriter::~AudioFileWriter() {
  if (mFile) sf_close(mFile);
}

sf_count_t AudioFileWriter::fileLength(void* self) {
  struct stat st;
  return fstat(static_cast<AudioFileWriter*>(self)->mOutput.fd(), &st) == 0 ? st.st_size : -1;
}

sf_count_t AudioFileWriter::seek(sf_count_t offset, int whence, void* self) {
  return lseek(static_cast<AudioFileWriter*>(self)->mOutput.fd(), offset, whence);
}

sf_count_t AudioFileWriter::readBack(void* data, sf_count_t count, void* self) {
  const ssize_t got =
      ::read(static_cast<AudioFileWriter*>(self)->mOutput.fd(), data, static_cast<size_t>(count));
  return got < 0 ? 0 : got;
}

sf_count_t AudioFileWriter::writeOut(const void* data, sf_count_t count, void* self) {
  auto* writer = static_cast<AudioFileWriter*>(self);
  if (writer->mWriteError == 0)
    writer->mWriteError = writer->mOutput.tryWrite(data, static_cast<size_t>(count));
  return writer->mWriteError == 0 ? count : 0;
}

sf_count_t AudioFileWriter::tell(void* self) {
  return lseek(static_cast<AudioFileWriter*>(self)->mOutput.fd(), 0, SEEK_CUR);
}

void AudioFileWriter::write(const float* interleaved, sf_count_t frames) {
  const sf_count_t written = sf_writef_float(mFile, interleaved, frames);
  if (mWriteError != 0) mOutput.fail(mWriteError);
  if (written != frames)
    throw ToolError(mOutput.destination() + ": cannot write (" + sf_strerror(mFile) + ")");
}

void AudioFileWriter::close() {
  SNDFILE* file = mFile;
  mFile = nullptr;
  const int status = sf_close(file);
  if (mWriteError != 0) mOutput.fail(mWriteError);
  if (status != 0)
    throw ToolError(mOutput.destination() + ": cannot write (" + sf_error_number(status) + ")");
}
