#include "framework/plugin/ByteChunk.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstring>

#include "framework/base/WDL_String.h"
#include "framework/plugin/Base64.h"

TEST(ByteChunkTest, ValuesRoundTripAtTheirPositions) {
  ByteChunk chunk;
  const int32_t i = -7;
  const uint32_t u = 0xDEADBEEF;
  const double d = 0.1;
  EXPECT_EQ(chunk.Put(&i), 4);
  EXPECT_EQ(chunk.Put(&u), 8);
  EXPECT_EQ(chunk.Put(&d), 16);
  EXPECT_EQ(chunk.PutBool(true), 17);
  EXPECT_EQ(chunk.PutStr("abc"), 24);

  int32_t i2 = 0;
  uint32_t u2 = 0;
  double d2 = 0;
  bool b = false;
  WDL_String s;
  int pos = chunk.Get(&i2, 0);
  pos = chunk.Get(&u2, pos);
  pos = chunk.Get(&d2, pos);
  pos = chunk.GetBool(&b, pos);
  pos = chunk.GetStr(&s, pos);
  EXPECT_EQ(pos, 24);
  EXPECT_EQ(i2, i);
  EXPECT_EQ(u2, u);
  EXPECT_EQ(d2, d);
  EXPECT_TRUE(b);
  EXPECT_STREQ(s.Get(), "abc");
  // Native little-endian, no padding.
  EXPECT_EQ(chunk.GetBytes()[4], 0xEF);
  EXPECT_EQ(chunk.GetBytes()[16], 1);
}

TEST(ByteChunkTest, ReadsOutsideTheChunkFailWithoutCopying) {
  ByteChunk chunk;
  const double d = 2.5;
  chunk.Put(&d);
  double out = 9.0;
  EXPECT_EQ(chunk.Get(&out, 1), -1);
  EXPECT_EQ(chunk.Get(&out, -1), -1);
  EXPECT_EQ(chunk.Get(&out, INT_MAX - 2), -1);  // no overflow of pos + size
  EXPECT_EQ(out, 9.0);
  EXPECT_EQ(chunk.Get(&out, 0), 8);
  EXPECT_EQ(chunk.GetBytes(nullptr, 0, 8), 8);
  EXPECT_EQ(chunk.GetBytes(&out, -1, 0), -1);
  bool b = false;
  EXPECT_EQ(chunk.GetBool(&b, 8), -1);

  const unsigned char two = 2;
  chunk.PutBytes(&two, 1);
  EXPECT_EQ(chunk.GetBool(&b, 8), 9);
  EXPECT_TRUE(b);
}

TEST(ByteChunkTest, GetStrFollowsItsLengthRules) {
  ByteChunk chunk;
  chunk.PutStr("abc");
  WDL_String s("keep");
  EXPECT_EQ(chunk.GetStr(&s, 0), 7);
  EXPECT_STREQ(s.Get(), "abc");

  ByteChunk empty;
  empty.PutStr("");
  s.Set("keep");
  EXPECT_EQ(empty.GetStr(&s, 0), 4);
  EXPECT_STREQ(s.Get(), "keep");

  ByteChunk longer;
  const int32_t n = 10;
  longer.Put(&n);
  longer.PutBytes("abc", 3);
  s.Set("keep");
  EXPECT_EQ(longer.GetStr(&s, 0), 14);  // past the end, string untouched
  EXPECT_STREQ(s.Get(), "keep");
  EXPECT_EQ(longer.GetStr(&s, 5), -1);  // length field itself cut short

  // Hostile lengths never move a reader backwards or overflow.
  for (int32_t hostile : {-1, -4, INT_MIN, INT_MAX}) {
    ByteChunk bad;
    bad.Put(&hostile);
    bad.PutBytes("abcdefgh", 8);
    EXPECT_EQ(bad.GetStr(&s, 0), -1) << hostile;
  }
  EXPECT_STREQ(s.Get(), "keep");
}

TEST(ByteChunkTest, ResizeClearAndNestedChunks) {
  ByteChunk chunk;
  EXPECT_EQ(chunk.GetBytes(), nullptr);
  EXPECT_EQ(chunk.Resize(5), 0);
  for (int i = 0; i < 5; ++i)
    EXPECT_EQ(chunk.GetBytes()[i], 0);
  chunk.GetBytes()[4] = 7;
  EXPECT_EQ(chunk.Resize(3), 5);
  chunk.Resize(6);
  EXPECT_EQ(chunk.GetBytes()[4], 0);  // regrown bytes are zero again

  ByteChunk outer;
  outer.PutStr("x");
  EXPECT_EQ(outer.PutChunk(&chunk), 5 + 6);  // appended without a length prefix
  EXPECT_EQ(outer.PutChunk(nullptr), -1);
  EXPECT_EQ(outer.PutBytes(nullptr, 3), -1);
  EXPECT_EQ(outer.PutBytes("a", -1), -1);
  EXPECT_EQ(outer.Size(), 11);

  ByteChunk copy;
  copy.PutChunk(&outer);
  EXPECT_TRUE(copy.IsEqual(outer));
  copy.GetBytes()[0] ^= 1;
  EXPECT_FALSE(copy.IsEqual(outer));
  copy.Clear();
  EXPECT_EQ(copy.Size(), 0);
  EXPECT_FALSE(copy.IsEqual(outer));
}

TEST(Base64Test, EncodesWithPaddingAndDecodesBack) {
  const struct {
    const char* plain;
    const char* encoded;
  } vectors[] = {{"", ""},
                 {"f", "Zg=="},
                 {"fo", "Zm8="},
                 {"foo", "Zm9v"},
                 {"foob", "Zm9vYg=="},
                 {"fooba", "Zm9vYmE="},
                 {"foobar", "Zm9vYmFy"}};
  for (const auto& v : vectors) {
    const int n = static_cast<int>(strlen(v.plain));
    char out[16];
    memset(out, '#', sizeof(out));
    EXPECT_EQ(base64encode(reinterpret_cast<const unsigned char*>(v.plain), out, n),
              static_cast<int>(strlen(v.encoded)));
    EXPECT_STREQ(out, v.encoded);
    EXPECT_EQ(base64encodedsize(n), static_cast<int>(strlen(v.encoded)) + 1);
    unsigned char back[16] = {};
    EXPECT_EQ(base64decode(out, back, sizeof(back)), n);
    EXPECT_EQ(memcmp(back, v.plain, n), 0);
  }
  // Every byte value survives.
  unsigned char all[256];
  for (int i = 0; i < 256; ++i)
    all[i] = static_cast<unsigned char>(i);
  char text[4 * 86 + 1];
  base64encode(all, text, 256);
  unsigned char back[256];
  EXPECT_EQ(base64decode(text, back, 256), 256);
  EXPECT_EQ(memcmp(all, back, 256), 0);
}

TEST(Base64Test, DecodeStopsAtPaddingOrForeignCharactersAndRespectsTheLimit) {
  unsigned char out[8];
  memset(out, 0xAA, sizeof(out));
  EXPECT_EQ(base64decode("Zm8=Zm9v", out, 8), 2);  // the first "=" ends the input
  EXPECT_EQ(memcmp(out, "fo", 2), 0);
  EXPECT_EQ(out[2], 0xAA);
  EXPECT_EQ(base64decode("Zm9v Zm9v", out, 8), 3);
  EXPECT_EQ(base64decode("Zm9vYmFy", out, 4), 4);  // exactly the limit
  EXPECT_EQ(memcmp(out, "foob", 4), 0);
  EXPECT_EQ(out[4], 0xAA);
  EXPECT_EQ(base64decode("Zm9vYmFy", out, 0), 0);
  EXPECT_EQ(base64decode(nullptr, out, 8), 0);
}
