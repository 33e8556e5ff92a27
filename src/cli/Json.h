#pragma once
// JSON text for the command-line tool's machine-readable output.
#include "core/Value.h"

#include <string>
#include <string_view>

namespace cli {

void appendJsonString(std::string& out, std::string_view utf8);
// A value in the canonical dump form: null, true/false, integers, doubles, currency and
// numeric as strings with fixed decimals, dates as ISO text, binary as hex, GUID as text.
void appendJsonValue(std::string& out, const core::Value& value);

} // namespace cli
