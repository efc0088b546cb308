#include "platform/detail/XmlNestingBound.h"

#include <algorithm>

namespace platform_detail {
namespace {

constexpr std::string_view kContainers[] = {"array", "dict"};

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool StartsWith(std::string_view text, size_t pos, std::string_view prefix) {
  return pos <= text.size() && text.compare(pos, prefix.size(), prefix) == 0;
}

size_t SkipSpace(std::string_view text, size_t pos) {
  while (pos < text.size() && IsSpace(text[pos]))
    ++pos;
  return pos;
}

// The position just after `terminator` at or after pos, or the end of text.
size_t PastTerminator(std::string_view text, size_t pos, std::string_view terminator) {
  const size_t found = text.find(terminator, pos);
  return found == std::string_view::npos ? text.size() : found + terminator.size();
}

// The length of "<array" or "<dict" at pos, or 0.
size_t ContainerTagLength(std::string_view text, size_t pos) {
  for (std::string_view name : kContainers) {
    if (StartsWith(text, pos + 1, name)) return name.size() + 1;
  }
  return 0;
}

// "<array/>" and "<array />" are empty; anything fancier counts as an
// opening. (At the top level the parser keeps even an empty one open.)
bool IsEmptyElement(std::string_view text, size_t afterName) {
  return StartsWith(text, SkipSpace(text, afterName), "/>");
}

// The position just after `terminator` at or after pos outside quoted
// literals, or the end of text: the parser passes over quotes in tags and
// processing instructions.
size_t PastUnquotedTerminator(std::string_view text, size_t pos, std::string_view terminator) {
  char quote = 0;
  for (; pos < text.size(); ++pos) {
    const char c = text[pos];
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (StartsWith(text, pos, terminator)) {
      return pos + terminator.size();
    }
  }
  return text.size();
}

// The end of a "<!" declaration. Quoted literals and comments are passed
// over; once an internal subset has opened, only "]>" ends it, and nested
// brackets have to close first.
size_t PastDeclaration(std::string_view text, size_t pos) {
  int brackets = 0;
  bool subset = false;
  char quote = 0;
  for (pos += 2; pos < text.size(); ++pos) {
    const char c = text[pos];
    if (quote) {
      if (c == quote) quote = 0;
    } else if (StartsWith(text, pos, "<!--")) {
      pos = PastTerminator(text, pos + 4, "-->") - 1;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (c == '[') {
      ++brackets;
      subset = true;
    } else if (c == ']') {
      if (brackets <= 1 && StartsWith(text, pos + 1, ">")) return pos + 2;
      brackets = std::max(0, brackets - 1);
    } else if (c == '>' && !subset) {
      return pos + 1;
    }
  }
  return text.size();
}

// A closing "</array>" or "</dict>" (blanks allowed before '>') at pos.
size_t ClosingContainerLength(std::string_view text, size_t pos) {
  if (!StartsWith(text, pos, "</")) return 0;
  for (std::string_view name : kContainers) {
    if (!StartsWith(text, pos + 2, name)) continue;
    const size_t end = SkipSpace(text, pos + 2 + name.size());
    return StartsWith(text, end, ">") ? end + 1 - pos : 0;
  }
  return 0;
}

// Where the markup starting with '<' at pos ends, for markup whose inside is
// not element content.
size_t PastMarkup(std::string_view text, size_t pos) {
  if (StartsWith(text, pos, "<!--")) return PastTerminator(text, pos + 4, "-->");
  if (StartsWith(text, pos, "<![CDATA[")) return PastTerminator(text, pos + 9, "]]>");
  if (StartsWith(text, pos, "<?")) return PastUnquotedTerminator(text, pos + 2, "?>");
  if (StartsWith(text, pos, "<!")) return PastDeclaration(text, pos);
  return PastUnquotedTerminator(text, pos + 1, ">");
}

}  // namespace

size_t XmlNestingBound(std::string_view xml) {
  size_t depth = 0;
  size_t deepest = 0;
  size_t contentFrom = 0;  // text before this lies inside markup
  for (size_t pos = xml.find('<'); pos != std::string_view::npos; pos = xml.find('<', pos + 1)) {
    const size_t nameLength = ContainerTagLength(xml, pos);
    if (nameLength && (depth == 0 || !IsEmptyElement(xml, pos + nameLength))) {
      deepest = std::max(deepest, ++depth);
    }
    if (pos < contentFrom) continue;
    if (const size_t closing = ClosingContainerLength(xml, pos)) {
      // More closings than openings would only make the parser fail.
      if (depth > 0) --depth;
      contentFrom = pos + closing;
    } else {
      contentFrom = PastMarkup(xml, pos);
    }
  }
  return deepest;
}

}  // namespace platform_detail
