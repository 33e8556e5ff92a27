// The closing full stop the error box adds to an error's message.
#include "window/ErrorBoxText.h"

#include <gtest/gtest.h>

using window::errorBoxText;

TEST(ErrorBoxText, AddsAFullStopAfterALetterOrDigit) {
    EXPECT_EQ(errorBoxText("Table not found"), "Table not found.");
    EXPECT_EQ(errorBoxText("Error 3021"), "Error 3021.");
    EXPECT_EQ(errorBoxText("x"), "x.");
}

TEST(ErrorBoxText, LeavesMessagesEndingAtOrBelowTheFullStopAlone) {
    EXPECT_EQ(errorBoxText("Done."), "Done.");
    EXPECT_EQ(errorBoxText("Not a valid password!"), "Not a valid password!");
    EXPECT_EQ(errorBoxText("trailing blank "), "trailing blank ");
    EXPECT_EQ(errorBoxText("(see above)"), "(see above)");
    EXPECT_EQ(errorBoxText("a,"), "a,");
    EXPECT_EQ(errorBoxText("a-"), "a-");
    EXPECT_EQ(errorBoxText("line\r\n"), "line\r\n");
    EXPECT_EQ(errorBoxText("\"quoted\""), "\"quoted\"");
}

TEST(ErrorBoxText, CharactersJustAboveTheFullStopGetOne) {
    EXPECT_EQ(errorBoxText("path/"), "path/.");
    EXPECT_EQ(errorBoxText("0"), "0.");
    EXPECT_EQ(errorBoxText("what?"), "what?.");
    EXPECT_EQ(errorBoxText("[Name]"), "[Name].");
}

TEST(ErrorBoxText, EmptyMessageStaysEmpty) {
    EXPECT_EQ(errorBoxText(""), "");
}

TEST(ErrorBoxText, NonAsciiLastCharacterGetsOne) {
    EXPECT_EQ(errorBoxText("caf\xc3\xa9"), "caf\xc3\xa9.");
}
