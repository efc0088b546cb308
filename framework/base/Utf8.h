#pragma once

#include <cstddef>
#include <string_view>

// The one UTF-8 codec of the system: the platform's strings and the text
// drawing both read and write through it, so they agree on what is valid.

constexpr unsigned long kReplacementCharacter = 0xFFFD;

// [any thread] Decodes the code point starting at text[pos] (pos must be
// inside text) and advances pos past it. A byte that does not start a valid,
// shortest-form sequence of a scalar value (a malformed or truncated
// sequence, an overlong form, a surrogate, anything beyond U+10FFFF) yields
// -1 and advances pos by one, so decoding always progresses.
long DecodeUtf8(std::string_view text, std::size_t& pos) noexcept;

// [any thread] Writes code as UTF-8 into out and returns the byte count (1 to
// 4); a surrogate or anything beyond U+10FFFF is written as U+FFFD.
int EncodeUtf8(unsigned long code, char out[4]) noexcept;
