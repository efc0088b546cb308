#include "framework/plugin/IMidiMsg.h"

#include <gtest/gtest.h>

#include <cstring>

#include "framework/plugin/ISysEx.h"

TEST(IMidiMsgTest, NoteMessagesCarryTheirFields) {
  IMidiMsg msg;
  msg.MakeNoteOnMsg(60, 100, 12, 0);
  EXPECT_EQ(msg.mStatus, 0x90);
  EXPECT_EQ(msg.mData1, 60);
  EXPECT_EQ(msg.mData2, 100);
  EXPECT_EQ(msg.mOffset, 12);
  EXPECT_EQ(msg.StatusMsg(), IMidiMsg::kNoteOn);
  EXPECT_EQ(msg.Channel(), 0);
  EXPECT_EQ(msg.NoteNumber(), 60);
  EXPECT_EQ(msg.Velocity(), 100);
  EXPECT_EQ(msg.PolyAfterTouch(), -1);
  EXPECT_EQ(msg.Program(), -1);

  msg.MakeNoteOnMsg(61, 0, 3, 5);  // velocity 0 stays a note on
  EXPECT_EQ(msg.StatusMsg(), IMidiMsg::kNoteOn);
  EXPECT_EQ(msg.Velocity(), 0);
  EXPECT_EQ(msg.Channel(), 5);

  msg.MakeNoteOffMsg(62, 7, 15);
  EXPECT_EQ(msg.mStatus, 0x8F);
  EXPECT_EQ(msg.StatusMsg(), IMidiMsg::kNoteOff);
  EXPECT_EQ(msg.NoteNumber(), 62);
  EXPECT_EQ(msg.Velocity(), 0);
  EXPECT_EQ(msg.mOffset, 7);
}

TEST(IMidiMsgTest, PitchWheelEncodesFourteenBitsAndClamps) {
  IMidiMsg msg(99, 1, 2, 3);
  msg.MakePitchWheelMsg(0.5, 2);
  EXPECT_EQ(msg.mStatus, 0xE2);
  EXPECT_EQ(msg.mOffset, 0);
  EXPECT_EQ(msg.mData1, 0);
  EXPECT_EQ(msg.mData2, 96);  // 12288
  EXPECT_DOUBLE_EQ(msg.PitchWheel(), 0.5);

  msg.MakePitchWheelMsg(0.0);
  EXPECT_EQ(msg.mData1, 0);
  EXPECT_EQ(msg.mData2, 64);
  msg.MakePitchWheelMsg(-1.0);
  EXPECT_EQ(msg.mData1 + 128 * msg.mData2, 0);
  EXPECT_DOUBLE_EQ(msg.PitchWheel(), -1.0);
  msg.MakePitchWheelMsg(1.0);
  EXPECT_EQ(msg.mData1 + 128 * msg.mData2, 16383);
  msg.MakePitchWheelMsg(2.0, 0);
  EXPECT_EQ(msg.mData1, 127);
  EXPECT_EQ(msg.mData2, 127);
  EXPECT_DOUBLE_EQ(msg.PitchWheel(), 8191.0 / 8192.0);
  msg.MakePitchWheelMsg(-1e300);
  EXPECT_EQ(msg.mData1 + 128 * msg.mData2, 0);

  // Every 14-bit value decodes and re-encodes to itself.
  for (int i = 0; i < 16384; ++i) {
    IMidiMsg in(0, 0xE0, static_cast<unsigned char>(i & 127), static_cast<unsigned char>(i >> 7));
    IMidiMsg out;
    out.MakePitchWheelMsg(in.PitchWheel());
    ASSERT_EQ(out.mData1 + 128 * out.mData2, i);
  }
}

TEST(IMidiMsgTest, ControlChangeScalesToSevenBits) {
  IMidiMsg msg;
  msg.MakeControlChangeMsg(IMidiMsg::kChannelVolume, 1.0, 0);
  EXPECT_EQ(msg.mStatus, 0xB0);
  EXPECT_EQ(msg.mData2, 127);
  EXPECT_EQ(msg.ControlChangeIdx(), IMidiMsg::kChannelVolume);
  EXPECT_DOUBLE_EQ(msg.ControlChange(IMidiMsg::kChannelVolume), 1.0);
  EXPECT_DOUBLE_EQ(msg.ControlChange(IMidiMsg::kModWheel), -1.0);
  msg.MakeControlChangeMsg(IMidiMsg::kModWheel, 0.5, 3);
  EXPECT_EQ(msg.mData2, 63);
  EXPECT_EQ(msg.Channel(), 3);
}

TEST(IMidiMsgTest, NonChannelStatusAnswersAsNoType) {
  IMidiMsg msg(0, 0xF8, 60, 100);
  EXPECT_EQ(msg.StatusMsg(), IMidiMsg::kNone);
  EXPECT_EQ(msg.NoteNumber(), -1);
  EXPECT_EQ(msg.Velocity(), -1);
  EXPECT_EQ(msg.PolyAfterTouch(), -1);
  EXPECT_EQ(msg.ChannelAfterTouch(), -1);
  EXPECT_EQ(msg.Program(), -1);
  EXPECT_EQ(msg.PitchWheel(), 0.0);
  EXPECT_EQ(msg.ControlChange(static_cast<IMidiMsg::EControlChangeMsg>(60)), -1.0);
  EXPECT_EQ(msg.ControlChangeIdx(), 60);  // data1 whatever the type
  EXPECT_EQ(IMidiMsg(0, 0x7F).StatusMsg(), IMidiMsg::kNone);

  EXPECT_EQ(IMidiMsg(0, 0xA1, 5, 77).PolyAfterTouch(), 77);
  EXPECT_EQ(IMidiMsg(0, 0xA1, 5, 77).NoteNumber(), 5);
  EXPECT_EQ(IMidiMsg(0, 0xD1, 33).ChannelAfterTouch(), 33);
  EXPECT_EQ(IMidiMsg(0, 0xC1, 12).Program(), 12);

  msg.Clear();
  EXPECT_EQ(msg.mOffset + msg.mStatus + msg.mData1 + msg.mData2, 0);
}

TEST(IMidiMsgTest, StatusNames) {
  EXPECT_STREQ(StatusMsgStr(IMidiMsg::kNone), "none");
  EXPECT_STREQ(StatusMsgStr(IMidiMsg::kNoteOff), "noteoff");
  EXPECT_STREQ(StatusMsgStr(IMidiMsg::kNoteOn), "noteon");
  EXPECT_STREQ(StatusMsgStr(IMidiMsg::kPolyAftertouch), "aftertouch");
  EXPECT_STREQ(StatusMsgStr(IMidiMsg::kControlChange), "controlchange");
  EXPECT_STREQ(StatusMsgStr(IMidiMsg::kProgramChange), "programchange");
  EXPECT_STREQ(StatusMsgStr(IMidiMsg::kChannelAftertouch), "channelaftertouch");
  EXPECT_STREQ(StatusMsgStr(IMidiMsg::kPitchWheel), "pitchwheel");
  EXPECT_STREQ(StatusMsgStr(static_cast<IMidiMsg::EStatusMsg>(3)), "unknown");
}

TEST(ISysExTest, ConstructAndClear) {
  const unsigned char bytes[] = {0xF0, 0xF7};
  ISysEx sysex(5, bytes, 2);
  EXPECT_EQ(sysex.mOffset, 5);
  EXPECT_EQ(sysex.mSize, 2);
  EXPECT_EQ(sysex.mData, bytes);
  sysex.Clear();
  EXPECT_EQ(sysex.mOffset, 0);
  EXPECT_EQ(sysex.mSize, 0);
  EXPECT_EQ(sysex.mData, nullptr);
}

TEST(ISysExTest, SysExStrWritesAsManyPairsAsFitAndNoMore) {
  const unsigned char bytes[] = {0xF0, 0x7E, 0x7F, 0x09, 0xF7};
  char buf[16];
  memset(buf, '#', sizeof(buf));
  EXPECT_EQ(SysExStr(buf, 9, bytes, 5), buf);
  EXPECT_STREQ(buf, "F0 7E 7F");
  EXPECT_EQ(buf[9], '#');  // nothing written past maxlen

  memset(buf, '#', sizeof(buf));
  SysExStr(buf, 3, bytes, 5);
  EXPECT_STREQ(buf, "F0");
  EXPECT_EQ(buf[3], '#');

  SysExStr(buf, 16, bytes, 2);
  EXPECT_STREQ(buf, "F0 7E");
  SysExStr(buf, 16, bytes, 0);
  EXPECT_STREQ(buf, "");
  SysExStr(buf, 16, nullptr, 3);
  EXPECT_STREQ(buf, "");
}

TEST(ISysExDeathTest, SysExStrRefusesAMissingOrTinyBuffer) {
  const unsigned char bytes[] = {0xF0};
  char buf[2];
  EXPECT_DEATH(SysExStr(nullptr, 9, bytes, 1), "str != NULL && maxlen >= 3");
  EXPECT_DEATH(SysExStr(buf, 2, bytes, 1), "str != NULL && maxlen >= 3");
}
