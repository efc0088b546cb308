#include "framework/window/TextEntryField.h"

#include <cstring>

#include "framework/plugin/IParam.h"

namespace {

const char* AllowedCharacters(const IParam* param) {
  switch (param->Type()) {
    case IParam::kTypeDouble:
      return "0123456789.-+";
    case IParam::kTypeBool:
    case IParam::kTypeInt:
    case IParam::kTypeEnum:
      return "0123456789-+";
    default:
      return "";
  }
}

// Characters, not bytes, are deleted and stepped over: a UTF-8 sequence's
// continuation bytes are 10xxxxxx.
bool IsContinuation(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

}  // namespace

size_t TextEntryField::PreviousBoundary(size_t pos) const {
  if (pos == 0) return 0;
  do {
    --pos;
  } while (pos > 0 && IsContinuation(mText[pos]));
  return pos;
}

size_t TextEntryField::NextBoundary(size_t pos) const {
  if (pos >= mText.size()) return mText.size();
  do {
    ++pos;
  } while (pos < mText.size() && IsContinuation(mText[pos]));
  return pos;
}

TextEntryField::TextEntryField(const char* initialText, const IParam* param, int maxLength)
    : mText(initialText ? initialText : ""),
      mCaret(mText.size()),
      mFiltered(param != nullptr),
      mAllowed(param ? AllowedCharacters(param) : ""),
      mMaxLength(param && maxLength > 0 ? static_cast<size_t>(maxLength) : 0) {}

bool TextEntryField::Insert(const std::string& typed) {
  if (mFiltered) {
    for (const char c : typed) {
      if (c == '\0' || !std::strchr(mAllowed, c)) return false;
    }
    if (mMaxLength && mText.size() + typed.size() > mMaxLength) return false;
  }
  mText.insert(mCaret, typed);
  mCaret += typed.size();
  return true;
}

bool TextEntryField::Backspace() {
  if (mCaret == 0) return false;
  const size_t start = PreviousBoundary(mCaret);
  mText.erase(start, mCaret - start);
  mCaret = start;
  return true;
}

bool TextEntryField::Delete() {
  if (mCaret >= mText.size()) return false;
  mText.erase(mCaret, NextBoundary(mCaret) - mCaret);
  return true;
}

void TextEntryField::MoveCaret(int characters) {
  for (; characters < 0 && mCaret > 0; ++characters)
    mCaret = PreviousBoundary(mCaret);
  for (; characters > 0 && mCaret < mText.size(); --characters)
    mCaret = NextBoundary(mCaret);
}

void TextEntryField::Clear() {
  mText.clear();
  mCaret = 0;
}
