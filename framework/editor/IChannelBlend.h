#pragma once

// How a drawing operation combines with what is already there: a method and
// a weight 0..1. Wherever a blend is taken, a null pointer is allowed and
// means an alpha-weighted copy at full weight. A plain value. [any thread]
struct IChannelBlend {
  // A fixed underlying type: a method number from elsewhere may be any int.
  enum EBlendMethod : int { kBlendNone = 0, kBlendCopy = 1, kBlendAdd = 2, kBlendColorDodge = 3 };

  EBlendMethod mMethod;
  float mWeight;

  constexpr IChannelBlend(EBlendMethod method = kBlendNone, float weight = 1.0f)
      : mMethod(method), mWeight(weight) {}
};
