#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <limits>

#include "platform/CFNumber.h"
#include "platform/detail/CFObject.h"

namespace platform_detail {
namespace {

class NumberObject final : public CFObject {
 public:
  static constexpr CFTypeID kTypeID = kNumberTypeID;
  NumberObject(CFNumberType type, bool isFloat, SInt64 integer, Float64 real)
      : CFObject(ClassOf<NumberObject>(), false),
        mType(type),
        mIsFloat(isFloat),
        mInteger(integer),
        mReal(real) {}

  bool Equals(const CFObject& other) const {
    const auto& that = static_cast<const NumberObject&>(other);
    if (!mIsFloat && !that.mIsFloat) return mInteger == that.mInteger;
    if (mIsFloat && that.mIsFloat) {
      return mReal == that.mReal || (std::isnan(mReal) && std::isnan(that.mReal));
    }
    const NumberObject& real = mIsFloat ? *this : that;
    const NumberObject& integer = mIsFloat ? that : *this;
    return IntegralValue(real.mReal) && real.mReal == static_cast<Float64>(integer.mInteger) &&
           static_cast<SInt64>(real.mReal) == integer.mInteger;
  }
  CFHashCode Hash() const {
    if (!mIsFloat) return std::hash<SInt64>()(mInteger);
    if (IntegralValue(mReal)) return std::hash<SInt64>()(static_cast<SInt64>(mReal));
    return std::isnan(mReal) ? 0x7FF8 : std::hash<Float64>()(mReal);
  }
  std::string Describe() const {
    char text[64];
    if (mIsFloat) {
      std::snprintf(text, sizeof text, "%.17g", mReal);
    } else {
      std::snprintf(text, sizeof text, "%lld", static_cast<long long>(mInteger));
    }
    return text;
  }

  // True for a real that an SInt64 holds exactly.
  static bool IntegralValue(Float64 value) {
    return value >= -9223372036854775808.0 && value < 9223372036854775808.0 &&
           value == std::trunc(value);
  }

  const CFNumberType mType;
  const bool mIsFloat;
  const SInt64 mInteger;
  const Float64 mReal;
};

class BooleanObject final : public CFObject {
 public:
  static constexpr CFTypeID kTypeID = kBooleanTypeID;
  explicit BooleanObject(bool value) : CFObject(ClassOf<BooleanObject>(), true), mValue(value) {}
  std::string Describe() const { return mValue ? "true" : "false"; }
  const bool mValue;
};

BooleanObject gTrue(true);
BooleanObject gFalse(false);

enum class Kind { kInvalid, kInt, kReal };

// Storage kind and byte size of a number type.
Kind KindOf(CFNumberType type, size_t& size) {
  switch (type) {
    case kCFNumberSInt8Type:
    case kCFNumberCharType:
      size = 1;
      return Kind::kInt;
    case kCFNumberSInt16Type:
    case kCFNumberShortType:
      size = 2;
      return Kind::kInt;
    case kCFNumberSInt32Type:
    case kCFNumberIntType:
      size = 4;
      return Kind::kInt;
    case kCFNumberSInt64Type:
    case kCFNumberLongLongType:
    case kCFNumberLongType:
    case kCFNumberCFIndexType:
    case kCFNumberNSIntegerType:
      size =
          sizeof(long) == 8 || type == kCFNumberSInt64Type || type == kCFNumberLongLongType ? 8 : 4;
      return Kind::kInt;
    case kCFNumberFloat32Type:
    case kCFNumberFloatType:
      size = 4;
      return Kind::kReal;
    case kCFNumberFloat64Type:
    case kCFNumberDoubleType:
    case kCFNumberCGFloatType:
      size = 8;
      return Kind::kReal;
    default:
      size = 0;
      return Kind::kInvalid;
  }
}

SInt64 ReadInteger(const void* ptr, size_t size) {
  switch (size) {
    case 1:
      return *static_cast<const SInt8*>(ptr);
    case 2:
      return *static_cast<const SInt16*>(ptr);
    case 4:
      return *static_cast<const SInt32*>(ptr);
    default:
      return *static_cast<const SInt64*>(ptr);
  }
}

void WriteInteger(void* ptr, size_t size, SInt64 value) {
  switch (size) {
    case 1:
      *static_cast<SInt8*>(ptr) = static_cast<SInt8>(value);
      break;
    case 2:
      *static_cast<SInt16*>(ptr) = static_cast<SInt16>(value);
      break;
    case 4:
      *static_cast<SInt32*>(ptr) = static_cast<SInt32>(value);
      break;
    default:
      *static_cast<SInt64*>(ptr) = value;
      break;
  }
}

// Clamps to the signed range of the given byte size; returns whether the
// value was inside it.
bool ClampInteger(SInt64& value, size_t size) {
  if (size >= 8) return true;
  const SInt64 limit = SInt64{1} << (size * 8 - 1);
  if (value < -limit) {
    value = -limit;
    return false;
  }
  if (value > limit - 1) {
    value = limit - 1;
    return false;
  }
  return true;
}

bool RealToInteger(Float64 real, size_t size, SInt64& out) {
  if (std::isnan(real)) {
    out = 0;
    return false;
  }
  bool exact = real == std::trunc(real);
  if (real <= -9223372036854775808.0) {
    out = std::numeric_limits<SInt64>::min();
    exact = exact && real == -9223372036854775808.0;
  } else if (real >= 9223372036854775808.0) {
    out = std::numeric_limits<SInt64>::max();
    exact = false;
  } else {
    out = static_cast<SInt64>(real);
  }
  return ClampInteger(out, size) && exact;
}

// Exact when the integer's significant bits fit the real's mantissa. Judged
// on the integer's bits, not by converting back: the 32-bit x86 build
// converts 64-bit integers through the x87 unit, whose 64-bit mantissa the
// compiler may carry into the conversion back, unrounded.
template <typename Real>
bool IntegerToReal(SInt64 integer, Real& out) {
  out = static_cast<Real>(integer);
  const UInt64 magnitude =
      integer < 0 ? 0 - static_cast<UInt64>(integer) : static_cast<UInt64>(integer);
  if (magnitude == 0) return true;
  const int significant = 64 - __builtin_clzll(magnitude) - __builtin_ctzll(magnitude);
  return significant <= std::numeric_limits<Real>::digits;
}

}  // namespace
}  // namespace platform_detail

using platform_detail::As;
using platform_detail::Kind;
using platform_detail::NumberObject;

const CFBooleanRef kCFBooleanTrue = reinterpret_cast<CFBooleanRef>(
    static_cast<platform_detail::CFObject*>(&platform_detail::gTrue));
const CFBooleanRef kCFBooleanFalse = reinterpret_cast<CFBooleanRef>(
    static_cast<platform_detail::CFObject*>(&platform_detail::gFalse));

CFTypeID CFBooleanGetTypeID(void) {
  return platform_detail::kBooleanTypeID;
}

Boolean CFBooleanGetValue(CFBooleanRef boolean) {
  const auto* object = As<platform_detail::BooleanObject>(boolean);
  return object && object->mValue;
}

CFTypeID CFNumberGetTypeID(void) {
  return platform_detail::kNumberTypeID;
}

CFNumberRef CFNumberCreate(CFAllocatorRef, CFNumberType theType, const void* valuePtr) {
  size_t size;
  const Kind kind = platform_detail::KindOf(theType, size);
  if (kind == Kind::kInvalid || !valuePtr) return nullptr;
  NumberObject* number;
  if (kind == Kind::kInt) {
    const SInt64 value = platform_detail::ReadInteger(valuePtr, size);
    number = new NumberObject(size <= 4 ? kCFNumberSInt32Type : kCFNumberSInt64Type, false, value,
                              static_cast<Float64>(value));
  } else if (size == 4) {
    const Float32 value = *static_cast<const Float32*>(valuePtr);
    number = new NumberObject(kCFNumberFloat32Type, true, 0, value);
  } else {
    const Float64 value = *static_cast<const Float64*>(valuePtr);
    number = new NumberObject(kCFNumberFloat64Type, true, 0, value);
  }
  return reinterpret_cast<CFNumberRef>(static_cast<platform_detail::CFObject*>(number));
}

CFNumberType CFNumberGetType(CFNumberRef number) {
  const auto* object = As<NumberObject>(number);
  return object ? object->mType : 0;
}

Boolean CFNumberIsFloatType(CFNumberRef number) {
  const auto* object = As<NumberObject>(number);
  return object && object->mIsFloat;
}

Boolean CFNumberGetValue(CFNumberRef number, CFNumberType theType, void* valuePtr) {
  const auto* object = As<NumberObject>(number);
  size_t size;
  const Kind kind = platform_detail::KindOf(theType, size);
  if (!object || kind == Kind::kInvalid || !valuePtr) return false;
  if (kind == Kind::kInt) {
    SInt64 value = object->mInteger;
    const bool exact = object->mIsFloat ? platform_detail::RealToInteger(object->mReal, size, value)
                                        : platform_detail::ClampInteger(value, size);
    platform_detail::WriteInteger(valuePtr, size, value);
    return exact;
  }
  if (size == 4) {
    Float32 value;
    bool exact;
    if (object->mIsFloat) {
      const Float64 limit = std::numeric_limits<Float32>::max();
      value = static_cast<Float32>(std::isinf(object->mReal) || std::isnan(object->mReal)
                                       ? object->mReal
                                       : std::fmax(-limit, std::fmin(limit, object->mReal)));
      exact = std::isnan(object->mReal) || static_cast<Float64>(value) == object->mReal;
    } else {
      exact = platform_detail::IntegerToReal(object->mInteger, value);
    }
    std::memcpy(valuePtr, &value, sizeof value);
    return exact;
  }
  Float64 value = object->mReal;
  const bool exact = object->mIsFloat || platform_detail::IntegerToReal(object->mInteger, value);
  std::memcpy(valuePtr, &value, sizeof value);
  return exact;
}
