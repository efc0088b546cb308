#include "framework/plugin/IMidiMsg.h"

#include "framework/base/NumericConversions.h"

void IMidiMsg::Clear() noexcept {
  mOffset = 0;
  mStatus = mData1 = mData2 = 0;
}

void IMidiMsg::MakeNoteOnMsg(int noteNumber, int velocity, int offset, int channel) noexcept {
  Clear();
  mStatus = static_cast<unsigned char>(0x90 | channel);
  mData1 = static_cast<unsigned char>(noteNumber);
  mData2 = static_cast<unsigned char>(velocity);
  mOffset = offset;
}

void IMidiMsg::MakeNoteOffMsg(int noteNumber, int offset, int channel) noexcept {
  Clear();
  mStatus = static_cast<unsigned char>(0x80 | channel);
  mData1 = static_cast<unsigned char>(noteNumber);
  mOffset = offset;
}

void IMidiMsg::MakePitchWheelMsg(double value, int channel) noexcept {
  Clear();
  mStatus = static_cast<unsigned char>(0xE0 | channel);
  // Widened so that a huge value saturates instead of overflowing the sum.
  long long i = static_cast<long long>(TruncToInt(value * 8192.0)) + 8192;
  if (i < 0) i = 0;
  if (i > 16383) i = 16383;
  mData1 = static_cast<unsigned char>(i & 127);
  mData2 = static_cast<unsigned char>(i >> 7);
}

void IMidiMsg::MakeControlChangeMsg(EControlChangeMsg idx, double value, int channel) noexcept {
  Clear();
  mStatus = static_cast<unsigned char>(0xB0 | channel);
  mData1 = static_cast<unsigned char>(idx);
  mData2 = static_cast<unsigned char>(TruncToInt(value * 127.0));
}

IMidiMsg::EStatusMsg IMidiMsg::StatusMsg() const noexcept {
  const unsigned int type = mStatus >> 4;
  return type >= kNoteOff && type <= kPitchWheel ? static_cast<EStatusMsg>(type) : kNone;
}

int IMidiMsg::NoteNumber() const noexcept {
  switch (StatusMsg()) {
    case kNoteOff:
    case kNoteOn:
    case kPolyAftertouch:
      return mData1;
    default:
      return -1;
  }
}

int IMidiMsg::Velocity() const noexcept {
  const EStatusMsg status = StatusMsg();
  return status == kNoteOn || status == kNoteOff ? mData2 : -1;
}

int IMidiMsg::PolyAfterTouch() const noexcept {
  return StatusMsg() == kPolyAftertouch ? mData2 : -1;
}

int IMidiMsg::ChannelAfterTouch() const noexcept {
  return StatusMsg() == kChannelAftertouch ? mData1 : -1;
}

int IMidiMsg::Program() const noexcept {
  return StatusMsg() == kProgramChange ? mData1 : -1;
}

double IMidiMsg::PitchWheel() const noexcept {
  if (StatusMsg() != kPitchWheel) return 0.0;
  return static_cast<double>(mData2 * 128 + mData1 - 8192) / 8192.0;
}

double IMidiMsg::ControlChange(EControlChangeMsg idx) const noexcept {
  if (StatusMsg() != kControlChange || mData1 != idx) return -1.0;
  return static_cast<double>(mData2) / 127.0;
}

const char* StatusMsgStr(IMidiMsg::EStatusMsg status) noexcept {
  switch (status) {
    case IMidiMsg::kNone:
      return "none";
    case IMidiMsg::kNoteOff:
      return "noteoff";
    case IMidiMsg::kNoteOn:
      return "noteon";
    case IMidiMsg::kPolyAftertouch:
      return "aftertouch";
    case IMidiMsg::kControlChange:
      return "controlchange";
    case IMidiMsg::kProgramChange:
      return "programchange";
    case IMidiMsg::kChannelAftertouch:
      return "channelaftertouch";
    case IMidiMsg::kPitchWheel:
      return "pitchwheel";
  }
  return "unknown";
}
