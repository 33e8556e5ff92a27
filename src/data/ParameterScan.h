#pragma once
// The scan every command text goes through before it reaches the SQL engine: named parameters
// written as ":name" become positional "?" markers, "::" becomes a literal ":".
#include <string>
#include <string_view>
#include <vector>

namespace data {

struct ScanResult {
    std::string text;                        // the text with each parameter replaced by "?"
    std::vector<std::string> parameterNames; // one per "?", in text order, repeats kept
};

// Outside text in apostrophes, double quotes or grave accents, a colon that is not followed by
// a second colon starts a parameter name; the name runs to the next blank, CR, LF, comma,
// semicolon or ")" or to the end of the text, and may be empty (":" before a terminator or at
// the end). Nothing else ends a name: not a quote, a tab, "]" or "#". A quote left open runs
// to the end of the text. The parameters carry no value; supplying one is the caller's job.
//
// Taken literally, the rule also catches colons the user meant as text outside quotes: the
// time in a date literal "#1/1/2000 10:30#" becomes "#1/1/2000 10?" with a parameter "30#",
// and "[a:b]" becomes "[a?" with "b]". ADO does the same; write "::" to keep a colon.
ScanResult scanParameters(std::string_view text);

} // namespace data
