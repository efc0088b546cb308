#pragma once

#include <string>

class IParam;

// The editing rules of the one-line field a window layer opens over a
// control to take a typed value. With a parameter, only the characters of
// a number of its type may be typed ("0123456789.-+" for a double,
// "0123456789-+" for the integer kinds, nothing for a parameter without
// type) and the text may not grow beyond the control's length limit.
//
// Only what is inserted is judged: deleting and moving the caret always
// work, so an initial text that is already too long, or holds other
// characters (a unit), can still be shortened and corrected. [UI thread]
class TextEntryField {
 public:
  // Without a parameter nothing is filtered and the length is free.
  TextEntryField(const char* initialText, const IParam* param, int maxLength);

  const std::string& Text() const { return mText; }
  size_t Caret() const { return mCaret; }

  // Inserts at the caret, all or nothing: false when a character is not
  // allowed or the text would grow too long.
  bool Insert(const std::string& typed);
  bool Backspace();
  bool Delete();
  void MoveCaret(int characters);
  void MoveCaretHome() { mCaret = 0; }
  void MoveCaretEnd() { mCaret = mText.size(); }
  // Empties the field, as selecting everything and deleting would.
  void Clear();

 private:
  size_t PreviousBoundary(size_t pos) const;
  size_t NextBoundary(size_t pos) const;

  std::string mText;
  size_t mCaret;
  bool mFiltered;
  const char* mAllowed;
  size_t mMaxLength;
};
