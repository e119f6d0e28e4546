// Names and texts from the command line or a file, checked before use: a name
// is valid UTF-8 without control characters, and a message quotes at most a
// short, printable prefix of what it was given.
#pragma once

#include <string>
#include <string_view>

namespace frontend {

// The longest part of an input that a message quotes; paths may be longer.
constexpr size_t kMaxQuoted = 40;
constexpr size_t kMaxQuotedPath = 200;

// The text as a message may show it: control characters and bytes that are not
// UTF-8 as '?', cut after `limit` characters with "..." added.
std::string Quoted(std::string_view text, size_t limit = kMaxQuoted);

// "" when the name is valid UTF-8 without control characters (C0, DEL, C1);
// otherwise the reason.
std::string NameProblem(std::string_view name);

// A Failure "<what> "<name>": <reason>" unless NameProblem finds nothing.
void CheckName(std::string_view what, std::string_view name);

}  // namespace frontend
