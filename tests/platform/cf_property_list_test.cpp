#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "platform/CoreFoundation.h"
#include "tests/platform/PlatformTestSupport.h"

using platform_test::NewString;

namespace {

CFMutableDictionaryRef NewDictionary() {
  return CFDictionaryCreateMutable(nullptr, 0, &kCFTypeDictionaryKeyCallBacks,
                                   &kCFTypeDictionaryValueCallBacks);
}

void PutNumber(CFMutableDictionaryRef dictionary, const char* key, SInt32 value) {
  CFRef<CFStringRef> name(NewString(key));
  CFRef<CFNumberRef> number(CFNumberCreate(nullptr, kCFNumberSInt32Type, &value));
  CFDictionarySetValue(dictionary, name, number);
}

// A saved state as an Audio Unit stores it, with a few extra value kinds.
CFMutableDictionaryRef SavedState() {
  CFMutableDictionaryRef state = NewDictionary();
  PutNumber(state, "version", 0x10000);
  PutNumber(state, "type", 0x61756678);
  PutNumber(state, "subtype", 0x4D727678);
  PutNumber(state, "manufacturer", static_cast<SInt32>(0xF4726E62));
  CFRef<CFStringRef> name(NewString("Deep Sweep \xC3\xBC & <friends>"));
  CFDictionarySetValue(state, CFSTR("name"), name);
  std::vector<UInt8> chunk;
  const double parameters[] = {0.5, 4, 600.25, -0.3, 1.0 / 3.0, 1e-300, 0};
  const auto* bytes = reinterpret_cast<const UInt8*>(parameters);
  chunk.assign(bytes, bytes + sizeof parameters);
  CFRef<CFDataRef> data(CFDataCreate(nullptr, chunk.data(), static_cast<CFIndex>(chunk.size())));
  CFDictionarySetValue(state, CFSTR("data"), data);

  CFRef<CFMutableArrayRef> extras(CFArrayCreateMutable(nullptr, 0, &kCFTypeArrayCallBacks));
  const Float64 real = -2.75;
  const SInt64 wide = -(SInt64{1} << 50);
  CFRef<CFNumberRef> realNumber(CFNumberCreate(nullptr, kCFNumberFloat64Type, &real));
  CFRef<CFNumberRef> wideNumber(CFNumberCreate(nullptr, kCFNumberSInt64Type, &wide));
  CFRef<CFDataRef> empty(CFDataCreate(nullptr, nullptr, 0));
  CFRef<CFMutableDictionaryRef> nested(NewDictionary());
  CFDictionarySetValue(nested, CFSTR(""), kCFBooleanFalse);
  for (CFTypeRef value :
       {static_cast<CFTypeRef>(realNumber.get()), static_cast<CFTypeRef>(wideNumber.get()),
        static_cast<CFTypeRef>(empty.get()), static_cast<CFTypeRef>(kCFBooleanTrue),
        static_cast<CFTypeRef>(nested.get()), static_cast<CFTypeRef>(CFSTR(""))}) {
    CFArrayAppendValue(extras, value);
  }
  CFDictionarySetValue(state, CFSTR("extras"), extras);
  return state;
}

std::string Bytes(CFDataRef data) {
  return std::string(reinterpret_cast<const char*>(CFDataGetBytePtr(data)),
                     static_cast<size_t>(CFDataGetLength(data)));
}

CFDataRef Xml(CFPropertyListRef list) {
  return CFPropertyListCreateData(nullptr, list, kCFPropertyListXMLFormat_v1_0, 0, nullptr);
}

CFPropertyListRef Parse(const std::string& bytes, CFErrorRef* error = nullptr) {
  CFRef<CFDataRef> data(CFDataCreate(nullptr, reinterpret_cast<const UInt8*>(bytes.data()),
                                     static_cast<CFIndex>(bytes.size())));
  return CFPropertyListCreateWithData(nullptr, data, kCFPropertyListImmutable, nullptr, error);
}

// Whatever hostile bytes give must be either nothing or a usable list.
void ExpectNothingOrAList(const std::string& bytes) {
  CFErrorRef error = nullptr;
  CFPropertyListRef list = Parse(bytes, &error);
  if (list) {
    EXPECT_EQ(error, nullptr);
    CFRef<CFDataRef> again(Xml(list));
    EXPECT_NE(again.get(), nullptr);
    CFRelease(list);
  } else {
    ASSERT_NE(error, nullptr);
    EXPECT_TRUE(CFErrorGetCode(error) == kCFPropertyListReadCorruptError ||
                CFErrorGetCode(error) == kCFPropertyListReadUnknownVersionError);
    CFRelease(error);
  }
}

}  // namespace

TEST(CFPropertyListTest, SavedStateRoundTripsThroughXml) {
  CFRef<CFMutableDictionaryRef> state(SavedState());
  CFRef<CFDataRef> xml(Xml(state));
  ASSERT_NE(xml.get(), nullptr);
  const std::string text = Bytes(xml);
  EXPECT_EQ(text.rfind("<?xml", 0), 0u);
  EXPECT_NE(text.find("<key>manufacturer</key>"), std::string::npos);
  EXPECT_NE(text.find("&lt;friends&gt;"), std::string::npos);

  CFPropertyListFormat format = 0;
  CFErrorRef error = nullptr;
  CFRef<CFPropertyListRef> back(CFPropertyListCreateWithData(nullptr, xml, 0, &format, &error));
  ASSERT_NE(back.get(), nullptr);
  EXPECT_EQ(error, nullptr);
  EXPECT_EQ(format, kCFPropertyListXMLFormat_v1_0);
  EXPECT_TRUE(CFEqual(back, state));

  SInt32 manufacturer = 0;
  EXPECT_TRUE(
      CFNumberGetValue(static_cast<CFNumberRef>(CFDictionaryGetValue(
                           static_cast<CFDictionaryRef>(back.get()), CFSTR("manufacturer"))),
                       kCFNumberSInt32Type, &manufacturer));
  EXPECT_EQ(manufacturer, static_cast<SInt32>(0xF4726E62));

  CFRef<CFDataRef> again(Xml(back));
  EXPECT_EQ(Bytes(again), text);  // save, load, save: the same bytes
}

TEST(CFPropertyListTest, KeysAreWrittenSortedWhateverTheInsertionOrder) {
  CFRef<CFMutableDictionaryRef> forward(NewDictionary());
  CFRef<CFMutableDictionaryRef> backward(NewDictionary());
  const char* keys[] = {"alpha", "mix", "zeta", "Zulu"};
  for (int i = 0; i < 4; ++i) {
    PutNumber(forward, keys[i], i);
    PutNumber(backward, keys[3 - i], 3 - i);
  }
  CFRef<CFDataRef> a(Xml(forward));
  CFRef<CFDataRef> b(Xml(backward));
  EXPECT_EQ(Bytes(a), Bytes(b));
  const std::string text = Bytes(a);
  EXPECT_LT(text.find("Zulu"), text.find("alpha"));
  EXPECT_LT(text.find("alpha"), text.find("mix"));
  EXPECT_LT(text.find("mix"), text.find("zeta"));
}

TEST(CFPropertyListTest, ValuesThatAreNoPropertyListAreRefusedWithAnError) {
  CFRef<CFMutableDictionaryRef> numberKey(NewDictionary());
  const SInt32 one = 1;
  CFRef<CFNumberRef> number(CFNumberCreate(nullptr, kCFNumberSInt32Type, &one));
  CFDictionarySetValue(numberKey, number, number);
  CFRef<CFURLRef> url(
      CFURLCreateWithFileSystemPath(nullptr, CFSTR("/tmp"), kCFURLPOSIXPathStyle, true));
  CFRef<CFStringRef> withNul(CFStringCreateWithBytes(
      nullptr, reinterpret_cast<const UInt8*>("a\0b"), 3, kCFStringEncodingUTF8, false));
  for (CFTypeRef bad : {static_cast<CFTypeRef>(numberKey.get()), static_cast<CFTypeRef>(url.get()),
                        static_cast<CFTypeRef>(withNul.get()), static_cast<CFTypeRef>(nullptr)}) {
    CFErrorRef error = nullptr;
    EXPECT_EQ(CFPropertyListCreateData(nullptr, bad, kCFPropertyListXMLFormat_v1_0, 0, &error),
              nullptr);
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(CFErrorGetCode(error), kCFPropertyListWriteInvalidError);
    EXPECT_TRUE(CFEqual(CFErrorGetDomain(error), kCFErrorDomainCocoa));
    CFRelease(error);
  }
  EXPECT_EQ(CFPropertyListCreateData(nullptr, number, kCFPropertyListBinaryFormat_v1_0, 0, nullptr),
            nullptr);
  EXPECT_EQ(CFPropertyListCreateWithData(nullptr, reinterpret_cast<CFDataRef>(number.get()), 0,
                                         nullptr, nullptr),
            nullptr);
  const char xmlWithNul[] = "<plist version=\"1.0\"><string>a\0b</string></plist>";
  EXPECT_EQ(Parse(std::string(xmlWithNul, sizeof xmlWithNul - 1)), nullptr);
  CFRef<CFPropertyListRef> withDate(Parse(
      "<?xml version=\"1.0\"?><plist version=\"1.0\"><date>2020-01-01T00:00:00Z</date></plist>"));
  EXPECT_EQ(withDate.get(), nullptr);
}

TEST(CFPropertyListTest, TruncatedAndMutatedDocumentsNeverCrash) {
  CFRef<CFMutableDictionaryRef> state(SavedState());
  CFRef<CFDataRef> xml(Xml(state));
  const std::string text = Bytes(xml);
  int refused = 0;
  for (size_t length = 0; length < text.size(); ++length) {
    SCOPED_TRACE(length);
    CFPropertyListRef list = Parse(text.substr(0, length));
    if (list) {
      CFRelease(list);
    } else {
      ++refused;
    }
  }
  // Cutting the document anywhere before its first value closes leaves no list.
  EXPECT_GE(refused, static_cast<int>(text.find("</data>")));

  std::mt19937 random(2024);
  for (int run = 0; run < 2000; ++run) {
    std::string mutated = text;
    const int flips = 1 + static_cast<int>(random() % 8);
    for (int i = 0; i < flips; ++i) {
      mutated[random() % mutated.size()] = static_cast<char>(random());
    }
    ExpectNothingOrAList(mutated);
  }
}

TEST(CFPropertyListTest, RandomBytesAndDeepNestingAreRefused) {
  std::mt19937 random(99);
  const std::string prefixes[] = {"", "<?xml version=\"1.0\"?><plist version=\"1.0\">",
                                  "<plist><dict><key>", "bplist00"};
  for (int run = 0; run < 2000; ++run) {
    std::string bytes = prefixes[run % 4];
    const size_t length = random() % 300;
    for (size_t i = 0; i < length; ++i)
      bytes += static_cast<char>(random());
    ExpectNothingOrAList(bytes);
  }
  ExpectNothingOrAList("");

  std::string deep = "<?xml version=\"1.0\"?><plist version=\"1.0\">";
  for (int i = 0; i < 200000; ++i)
    deep += "<array>";
  CFErrorRef error = nullptr;
  EXPECT_EQ(Parse(deep, &error), nullptr);
  ASSERT_NE(error, nullptr);
  CFRelease(error);

  std::string nested = "<?xml version=\"1.0\"?><plist version=\"1.0\">";
  for (int i = 0; i < 100; ++i)
    nested += "<array>";
  nested += "<integer>5</integer>";
  for (int i = 0; i < 100; ++i)
    nested += "</array>";
  nested += "</plist>";
  CFRef<CFPropertyListRef> list(Parse(nested));
  ASSERT_NE(list.get(), nullptr);
  CFTypeRef inner = list.get();
  for (int i = 0; i < 100; ++i)
    inner = CFArrayGetValueAtIndex(static_cast<CFArrayRef>(inner), 0);
  EXPECT_EQ(CFGetTypeID(inner), CFNumberGetTypeID());
}

// Closing tags the parser never sees as closings must not hide how deep the
// real nesting goes: each document below nests 200,000 arrays, which the
// parser would build and then free recursively.
TEST(CFPropertyListTest, NestingHiddenBehindMarkupIsRefused) {
  const std::string hiders[] = {
      "<?x </array> ?>",
      "<?x a=\"?></array>\"?>",
      "<!-- </array> -->",
      "<string><![CDATA[</array>]]></string>",
      "<!DOCTYPE x [ </array> ]>",
      "<!DOCTYPE x [ <!ENTITY e \"</array>\"> ]>",
      "<!DOCTYPE x [ <!ENTITY e \"]>\"> ] ></array> ]>",
      "<!DOCTYPE x \"></array>\">",
  };
  for (const std::string& hider : hiders) {
    SCOPED_TRACE(hider);
    std::string deep = "<?xml version=\"1.0\"?><plist version=\"1.0\">";
    for (int i = 0; i < 200000; ++i)
      deep += "<array>" + hider;
    for (int i = 0; i < 200000; ++i)
      deep += "</array>";
    deep += "</plist>";
    EXPECT_EQ(Parse(deep), nullptr);
  }
  for (const char* opening : {"<array a=\"/>\">", "<array a=\"</array>\">"}) {
    SCOPED_TRACE(opening);
    std::string deep = "<plist version=\"1.0\">";
    for (int i = 0; i < 200000; ++i)
      deep += opening;
    EXPECT_EQ(Parse(deep), nullptr);
  }
}

TEST(CFPropertyListTest, MarkupBetweenShallowContainersStillParses) {
  std::string xml =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
      "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n<plist version=\"1.0\"><array>";
  // Far more containers than the depth limit, but never more than two deep.
  for (int i = 0; i < 2000; ++i)
    xml += "<?x?><!-- don't --><array><string><![CDATA[</dict>]]></string></array ><dict/>";
  xml += "</array></plist>";
  CFRef<CFPropertyListRef> list(Parse(xml));
  ASSERT_NE(list.get(), nullptr);
  EXPECT_EQ(CFArrayGetCount(static_cast<CFArrayRef>(list.get())), 4000);
}
