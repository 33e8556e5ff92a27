// The name lists the Table Creator and the Query Builder share.
#include "window/NameList.h"

#include <gtest/gtest.h>

#include <string>

using window::NameList;

TEST(NameList, EmptyListContainsNothingNotEvenTheEmptyString) {
    NameList list;
    EXPECT_EQ(list.count(), 0);
    EXPECT_FALSE(list.Contains(""));
    EXPECT_FALSE(list.Contains("ID"));
}

TEST(NameList, AppendStoresInOrderAndContainsFindsEachEntry) {
    NameList list;
    list.Append("ID");
    list.Append("[Orders].[Amount]");
    list.Append("");
    EXPECT_EQ(list.count(), 3);
    EXPECT_EQ(list.entry(0), "ID");
    EXPECT_EQ(list.entry(1), "[Orders].[Amount]");
    EXPECT_EQ(list.entry(2), "");
    EXPECT_TRUE(list.Contains("ID"));
    EXPECT_TRUE(list.Contains("[Orders].[Amount]"));
    EXPECT_TRUE(list.Contains(""));
}

TEST(NameList, ComparisonIsExactCaseAndBlanksIncluded) {
    NameList list;
    list.Append("ID");
    EXPECT_FALSE(list.Contains("id"));
    EXPECT_FALSE(list.Contains(" ID"));
    EXPECT_FALSE(list.Contains("ID "));
    EXPECT_FALSE(list.Contains("I"));
    list.Append("id");
    EXPECT_EQ(list.count(), 2);
    EXPECT_TRUE(list.Contains("id"));
}

TEST(NameList, ComparesBytesNotCharacters) {
    NameList list;
    list.Append(std::string("a\0b", 3));
    EXPECT_FALSE(list.Contains("a"));
    EXPECT_TRUE(list.Contains(std::string("a\0b", 3)));
    list.Append("\xe9t\xe9"); // an 8-bit code page name
    EXPECT_FALSE(list.Contains("\xc9T\xc9"));
    EXPECT_TRUE(list.Contains("\xe9t\xe9"));
}

TEST(NameList, AppendDoesNotTestMembership) {
    NameList list;
    list.Append("Name");
    list.Append("Name");
    EXPECT_EQ(list.count(), 2);
}

TEST(NameList, ResetCountEmptiesTheListAndTheNextAppendTakesEntryZero) {
    NameList list;
    list.Append("first");
    list.Append("second");
    list.ResetCount();
    EXPECT_EQ(list.count(), 0);
    EXPECT_FALSE(list.Contains("first"));
    EXPECT_FALSE(list.Contains("second"));
    list.Append("second");
    EXPECT_EQ(list.count(), 1);
    EXPECT_EQ(list.entry(0), "second");
    EXPECT_TRUE(list.Contains("second"));
    // The old entry 1 is still in its slot but no longer in the list.
    EXPECT_FALSE(list.Contains("first"));
}

TEST(NameList, EntriesPastTheCountAreOutOfReach) {
    NameList list;
    list.Append("only");
    EXPECT_THROW((void)list.entry(1), std::out_of_range);
    EXPECT_THROW((void)list.entry(-1), std::out_of_range);
}

TEST(NameList, KeepsWorkingPastFiftyEntries) {
    NameList list;
    for (int i = 0; i < 120; ++i) {
        const std::string name = "Column" + std::to_string(i);
        ASSERT_FALSE(list.Contains(name));
        list.Append(name);
    }
    EXPECT_EQ(list.count(), 120);
    EXPECT_TRUE(list.Contains("Column0"));
    EXPECT_TRUE(list.Contains("Column49"));
    EXPECT_TRUE(list.Contains("Column50"));
    EXPECT_TRUE(list.Contains("Column119"));
    EXPECT_EQ(list.entry(50), "Column50");

    // After a reset the grown slots are reused from the start again.
    list.ResetCount();
    for (int i = 0; i < 60; ++i) list.Append("again" + std::to_string(i));
    EXPECT_EQ(list.count(), 60);
    EXPECT_EQ(list.entry(55), "again55");
    EXPECT_FALSE(list.Contains("Column55"));
    EXPECT_FALSE(list.Contains("Column100"));
}
