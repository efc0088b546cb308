#pragma once

// One short MIDI channel message and its sample offset in the current block.
// A plain value: built, read and copied on the audio thread.
struct IMidiMsg {
  enum EStatusMsg {
    kNone = 0,
    kNoteOff = 8,
    kNoteOn = 9,
    kPolyAftertouch = 10,
    kControlChange = 11,
    kProgramChange = 12,
    kChannelAftertouch = 13,
    kPitchWheel = 14
  };

  // A controller number as carried in data1 of a control change; any value
  // 0..127 is valid, the names are the common ones.
  enum EControlChangeMsg {
    kModWheel = 1,
    kBreathController = 2,
    kFootController = 4,
    kPortamentoTime = 5,
    kChannelVolume = 7,
    kBalance = 8,
    kPan = 10,
    kExpressionController = 11,
    kSustainOnOff = 64,
    kAllSoundOff = 120,
    kAllNotesOff = 123
  };

  int mOffset;
  unsigned char mStatus;
  unsigned char mData1;
  unsigned char mData2;

  explicit IMidiMsg(int offset = 0, unsigned char status = 0, unsigned char data1 = 0,
                    unsigned char data2 = 0) noexcept
      : mOffset(offset), mStatus(status), mData1(data1), mData2(data2) {}

  // The makers combine the channel with the status bits as passed: a channel
  // above 15 is not masked. [any thread]
  void MakeNoteOnMsg(int noteNumber, int velocity, int offset, int channel = 0) noexcept;
  void MakeNoteOffMsg(int noteNumber, int offset, int channel = 0) noexcept;
  // value -1..1, clamped to the 14-bit range.
  void MakePitchWheelMsg(double value, int channel = 0) noexcept;
  // value 0..1, scaled to 0..127 and not clamped.
  void MakeControlChangeMsg(EControlChangeMsg idx, double value, int channel = 0) noexcept;
  void Clear() noexcept;

  // [any thread]
  EStatusMsg StatusMsg() const noexcept;
  int Channel() const noexcept { return mStatus & 0x0F; }
  int NoteNumber() const noexcept;
  int Velocity() const noexcept;
  int PolyAfterTouch() const noexcept;
  int ChannelAfterTouch() const noexcept;
  int Program() const noexcept;
  double PitchWheel() const noexcept;
  EControlChangeMsg ControlChangeIdx() const noexcept {
    return static_cast<EControlChangeMsg>(mData1);
  }
  double ControlChange(EControlChangeMsg idx) const noexcept;

  // Diagnostics are compiled out in this system.
  void LogMsg() const noexcept {}
};

// The name of a status value ("noteon", "pitchwheel", ...; "unknown" for
// anything outside the table). [any thread]
const char* StatusMsgStr(IMidiMsg::EStatusMsg status) noexcept;
