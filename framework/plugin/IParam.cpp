#include "framework/plugin/IParam.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "framework/base/NumericConversions.h"
#include "framework/base/TruncatingCopy.h"

namespace {
constexpr int kMaxDecimals = 6;

int PrecisionForStep(double step) {
  int precision = 0;
  double working = step;
  while (precision < kMaxDecimals && working != std::floor(working)) {
    ++precision;
    working *= 10.0;
  }
  return precision;
}
}  // namespace

double ToNormalizedParam(double nonNormalizedValue, double min, double max, double shape) {
  return std::pow((nonNormalizedValue - min) / (max - min), 1.0 / shape);
}

double FromNormalizedParam(double normalizedValue, double min, double max, double shape) {
  return min + std::pow(normalizedValue, shape) * (max - min);
}

double DBToAmp(double dB) {
  return std::exp(dB * 0.1151292546497);
}

IParam::IParam() = default;

void IParam::InitBool(const char* name, bool defaultVal, const char* label, const char* group) {
  if (mType == kTypeNone) mType = kTypeBool;
  InitEnum(name, defaultVal ? 1 : 0, 2, label, group);
  SetDisplayText(0, "off");
  SetDisplayText(1, "on");
}

void IParam::InitEnum(const char* name, int defaultVal, int nEnums, const char* label,
                      const char* group) {
  if (mType == kTypeNone) mType = kTypeEnum;
  InitInt(name, defaultVal, 0, nEnums - 1, label, group);
}

void IParam::InitInt(const char* name, int defaultVal, int minVal, int maxVal, const char* label,
                     const char* group) {
  if (mType == kTypeNone) mType = kTypeInt;
  InitDouble(name, defaultVal, minVal, maxVal, 1.0, label, group, 1.0);
}

void IParam::InitDouble(const char* name, double defaultVal, double minVal, double maxVal,
                        double step, const char* label, const char* group, double shape) {
  if (mType == kTypeNone) mType = kTypeDouble;
  TruncatingCopy(mName, name);
  TruncatingCopy(mLabel, label);
  TruncatingCopy(mParamGroup, group);
  mValue.store(defaultVal, std::memory_order_relaxed);
  mDefault = defaultVal;
  mMin = minVal;
  mMax = std::fmax(maxVal, minVal + step);
  mStep = step;
  mDisplayPrecision = PrecisionForStep(step);
  SetShape(shape);
}

void IParam::SetShape(double shape) {
  if (shape != 0.0) mShape = shape;
}

void IParam::SetDisplayText(int value, const char* text) {
  DisplayText entry;
  entry.mValue = value;
  TruncatingCopy(entry.mText, text);
  mDisplayTexts.Add(entry);
}

int IParam::Int() const noexcept {
  return TruncToInt(Value());
}

void IParam::GetBounds(double* lo, double* hi) const noexcept {
  if (lo) *lo = mMin;
  if (hi) *hi = mMax;
}

double IParam::DBToAmp() const noexcept {
  return ::DBToAmp(Value());
}

void IParam::Set(double value) noexcept {
  // A NaN from a host would otherwise land on the minimum, which for a mix
  // parameter bypasses the effect.
  if (!std::isfinite(value)) return;
  if (value < mMin) {
    value = mMin;
  } else if (value > mMax) {
    value = mMax;
  }
  mValue.store(value, std::memory_order_relaxed);
}

void IParam::SetNormalized(double normalizedValue) noexcept {
  if (!std::isfinite(normalizedValue)) return;
  double value = FromNormalizedParam(normalizedValue, mMin, mMax, mShape);
  if (mType != kTypeDouble) value = std::floor(0.5 + value / mStep) * mStep;
  // Below 0 a fractional shape has no real power.
  if (std::isnan(value)) return;
  mValue.store(std::fmin(value, mMax), std::memory_order_relaxed);
}

double IParam::GetNormalized() const noexcept {
  return GetNormalized(Value());
}

double IParam::GetNormalized(double nonNormalizedValue) const noexcept {
  double v = nonNormalizedValue;
  if (!(v >= mMin)) {
    v = mMin;
  } else if (v > mMax) {
    v = mMax;
  }
  return ToNormalizedParam(v, mMin, mMax, mShape);
}

const char* IParam::GetLabelForHost() const {
  const char* displayText = GetDisplayText(Int());
  return displayText[0] ? "" : mLabel;
}

void IParam::GetDisplayForHost(DisplayString& text) const {
  GetDisplayForHost(Value(), false, text, true);
}

void IParam::GetDisplayForHostNoDisplayText(DisplayString& text) const {
  GetDisplayForHost(Value(), false, text, false);
}

void IParam::GetDisplayForHost(double value, bool normalized, DisplayString& text,
                               bool withDisplayText) const {
  if (normalized) value = FromNormalizedParam(value, mMin, mMax, mShape);
  if (withDisplayText) {
    const char* displayText = GetDisplayText(TruncToInt(value));
    if (displayText[0]) {
      TruncatingCopy(text, displayText);
      return;
    }
  }
  const double shown = mNegateDisplay ? -value : value;
  if (mDisplayPrecision > 0) {
    snprintf(text, sizeof(text), "%.*f", mDisplayPrecision, shown);
  } else {
    snprintf(text, sizeof(text), "%d", TruncToInt(shown));
  }
}

const char* IParam::GetDisplayText(int value) const {
  const DisplayText* entries = mDisplayTexts.Get();
  for (int i = 0; i < mDisplayTexts.GetSize(); ++i) {
    if (entries[i].mValue == value) return entries[i].mText;
  }
  return "";
}

int IParam::GetNDisplayTexts() const {
  return mDisplayTexts.GetSize();
}

const char* IParam::GetDisplayTextAtIdx(int index, int* value) const {
  if (index < 0 || index >= mDisplayTexts.GetSize()) return "";
  const DisplayText& entry = mDisplayTexts.Get()[index];
  if (value) *value = entry.mValue;
  return entry.mText;
}

bool IParam::MapDisplayText(const char* text, int* value) const {
  if (!text) return false;
  const DisplayText* entries = mDisplayTexts.Get();
  for (int i = 0; i < mDisplayTexts.GetSize(); ++i) {
    if (!strcmp(entries[i].mText, text)) {
      if (value) *value = entries[i].mValue;
      return true;
    }
  }
  return false;
}
