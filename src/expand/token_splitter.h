#pragma once
// The token splitter: %NAME% tokens in a text replaced by their catalogue values.
#include <cstddef>
#include <string>

class RunContext;

// Expands every token of text in place: the caller's text is rewritten, and that rewrite is
// how the expansion reaches the caller (also when the expansion stops part way, the text
// keeps the tokens replaced so far). errorText is emptied on entry and, when it is not
// empty on return, says why the expansion stopped. Positions and counts are sized for any
// text length.
bool fncSplitEnvVariables(RunContext& ctx, std::string& text, std::string& errorText);

// How many times pattern occurs in text, overlapping occurrences included; 0 for an empty
// text and on any failure.
std::size_t fncCharCount(RunContext& ctx, const std::string& text, const std::string& pattern,
                         bool caseSensitive);
