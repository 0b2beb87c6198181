#pragma once

#include "model/BuildMetadata.h"
#include "model/Finding.h"

namespace bw::resolution_guidance {

// A self-contained prompt for a coding assistant: fixed working rules, the finding and build
// as quoted untrusted data, and the required work.
QString solutionPrompt(const Finding& finding, const BuildMetadata& metadata,
                       const QString& summary, const std::vector<ResolutionStep>& steps,
                       const QString& verification);

// Puts "> " in front of every line of the text, so that nothing in it can pass for an
// instruction. Every kind of line break starts a new quoted line (LF, CR, CR LF, VT, FF, NEL,
// LINE SEPARATOR, PARAGRAPH SEPARATOR); an empty text gives one "> " line.
QString blockquote(const QString& text);

} // namespace bw::resolution_guidance
