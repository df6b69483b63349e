#pragma once
// The link's failure log. The link only reports what went wrong; where the text ends up (and
// whether it is kept at all) is up to whoever installs the sink, normally the console.
#include <functional>
#include <string>

namespace qzlink {

using LinkErrorSink = std::function<void(const std::string&)>;

// Replaces the sink; an empty function drops every text (the state at start).
void SetLinkErrorSink(LinkErrorSink sink);

void LogLinkError(const std::string& text);

}  // namespace qzlink
