#pragma once

#include <atomic>

#include "framework/base/WDL_TypedBuf.h"
#include "framework/plugin/IPlugConstants.h"

// Maps a real value within min..max to 0..1 through the taper shape.
double ToNormalizedParam(double nonNormalizedValue, double min, double max, double shape);
// Maps 0..1 back to real units; inverse of ToNormalizedParam.
double FromNormalizedParam(double normalizedValue, double min, double max, double shape);
// Decibels to linear gain.
double DBToAmp(double dB);

// One automatable parameter: value in real units, range, step, taper,
// display precision, texts for the host and optional texts for particular
// integer values.
//
// Initialisation, texts and display calls are made under the plug-in's
// mutex on the host's or editor's thread. The value itself is read on the
// audio thread while another thread may be writing it, so it is held
// atomically (plain loads and stores on the supported processors).
class IParam {
 public:
  enum EParamType { kTypeNone = 0, kTypeBool = 1, kTypeInt = 2, kTypeEnum = 3, kTypeDouble = 4 };

  struct DisplayText {
    int mValue;
    char mText[MAX_PARAM_DISPLAY_LEN];
  };

  // The caller's buffer for display strings: its size is part of the type, so
  // a formatted number can never be written past it.
  using DisplayString = char[MAX_PARAM_DISPLAY_LEN];

  IParam();
  IParam(const IParam&) = delete;
  IParam& operator=(const IParam&) = delete;

  // Each initialiser sets its own type only while the type is still none,
  // then delegates to the next more general one. Texts longer than the fixed
  // widths are truncated. [UI thread]
  void InitBool(const char* name, bool defaultVal, const char* label = "", const char* group = "");
  void InitEnum(const char* name, int defaultVal, int nEnums, const char* label = "",
                const char* group = "");
  void InitInt(const char* name, int defaultVal, int minVal, int maxVal, const char* label = "",
               const char* group = "");
  void InitDouble(const char* name, double defaultVal, double minVal, double maxVal, double step,
                  const char* label = "", const char* group = "", double shape = 1.0);

  // A shape of exactly 0 keeps the previous shape. [UI thread]
  void SetShape(double shape);
  // Appends an entry; the first entry for a value wins lookups. [UI thread]
  void SetDisplayText(int value, const char* text);

  // [any thread]
  double Value() const noexcept { return mValue.load(std::memory_order_relaxed); }
  bool Bool() const noexcept { return Value() >= 0.5; }
  int Int() const noexcept;
  EParamType Type() const noexcept { return mType; }
  void GetBounds(double* lo, double* hi) const noexcept;
  double GetMin() const noexcept { return mMin; }
  double GetMax() const noexcept { return mMax; }
  double GetStep() const noexcept { return mStep; }
  double GetShape() const noexcept { return mShape; }
  double GetDefault() const noexcept { return mDefault; }
  int GetPrecision() const noexcept { return mDisplayPrecision; }
  double DBToAmp() const noexcept;

  // Clamped to the range; a non-finite value leaves the parameter as it
  // was. [any thread]
  void Set(double value) noexcept;
  // Rounds to the step unless the type is double; clamps only at the
  // maximum. A non-finite value, or one below 0 that the shape cannot map,
  // leaves the parameter as it was. [any thread]
  void SetNormalized(double normalizedValue) noexcept;
  double GetNormalized() const noexcept;
  double GetNormalized(double nonNormalizedValue) const noexcept;

  // [UI thread]
  const char* GetNameForHost() const { return mName; }
  const char* GetLabelForHost() const;
  const char* GetParamGroupForHost() const { return mParamGroup; }

  // Display strings of the current value, with or without display texts.
  // [UI thread]
  void GetDisplayForHost(DisplayString& text) const;
  void GetDisplayForHostNoDisplayText(DisplayString& text) const;
  // The display string of any value, real or normalised. [UI thread]
  void GetDisplayForHost(double value, bool normalized, DisplayString& text,
                         bool withDisplayText = true) const;

  // Never null; empty when no entry has the value. [UI thread]
  const char* GetDisplayText(int value) const;
  int GetNDisplayTexts() const;
  // An index outside 0..GetNDisplayTexts() - 1 gives "" and leaves value
  // alone. [UI thread]
  const char* GetDisplayTextAtIdx(int index, int* value = nullptr) const;
  // Case-sensitive exact match; the output is untouched on failure.
  bool MapDisplayText(const char* text, int* value) const;

  bool DisplayIsNegated() const noexcept { return mNegateDisplay; }
  bool GetCanAutomate() const noexcept { return mCanAutomate; }
  bool GetIsMeta() const noexcept { return mIsMeta; }
  void NegateDisplay(bool negate = true) { mNegateDisplay = negate; }
  void SetCanAutomate(bool canAutomate) { mCanAutomate = canAutomate; }
  void SetIsMeta(bool isMeta) { mIsMeta = isMeta; }

 private:
  EParamType mType = kTypeNone;
  std::atomic<double> mValue{0.0};
  double mMin = 0.0;
  double mMax = 1.0;
  double mStep = 1.0;
  double mShape = 1.0;
  double mDefault = 0.0;
  int mDisplayPrecision = 0;
  char mName[MAX_PARAM_NAME_LEN] = "";
  char mLabel[MAX_PARAM_LABEL_LEN] = "";
  char mParamGroup[MAX_PARAM_GROUP_LEN] = "";
  bool mNegateDisplay = false;
  bool mCanAutomate = true;
  bool mIsMeta = false;
  WDL_TypedBuf<DisplayText> mDisplayTexts;
};
