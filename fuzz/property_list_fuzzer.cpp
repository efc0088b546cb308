// Property lists arrive from files users hand to hosts (.aupreset and
// Info.plist). Anything read must write back as XML and read again to an
// equal list; anything refused must say why.
#include <cstdint>
#include <cstdlib>

#include "platform/CoreFoundation.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  CFDataRef data = CFDataCreate(nullptr, bytes, static_cast<CFIndex>(size));
  CFErrorRef error = nullptr;
  CFPropertyListRef list = CFPropertyListCreateWithData(nullptr, data, 0, nullptr, &error);
  CFRelease(data);
  if (!list) {
    if (!error) std::abort();
    CFRelease(error);
    return 0;
  }
  CFDataRef xml =
      CFPropertyListCreateData(nullptr, list, kCFPropertyListXMLFormat_v1_0, 0, nullptr);
  if (!xml) std::abort();
  CFPropertyListRef again = CFPropertyListCreateWithData(nullptr, xml, 0, nullptr, nullptr);
  if (!CFEqual(list, again)) std::abort();
  CFRelease(again);
  CFRelease(xml);
  CFRelease(list);
  return 0;
}
