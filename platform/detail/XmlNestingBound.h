#pragma once

#include <cstddef>
#include <string_view>

namespace platform_detail {

// An upper bound on how deep the XML property-list parser can nest <array>
// and <dict> elements while reading text, found without building anything.
// The parser nests without limit and frees what it built recursively, so a
// deep document must be refused before it reaches the parser. Every opening
// tag counts wherever it stands; a closing tag lowers the count only in plain
// element content, after skipping comments, processing instructions, CDATA,
// declarations (with internal subsets and quoted literals) and quoted
// attribute values so that they end no earlier than the parser ends them.
// [any thread]
size_t XmlNestingBound(std::string_view xml);

}  // namespace platform_detail
