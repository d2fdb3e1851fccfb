// Text routines: searching, replacing, trimming, tokenizing, joining, text variants.
#include "store/store.h"

#include <gtest/gtest.h>
#include <string.h>

TEST(TextSearch, FirstAndLastOccurrence)
{
    int offset = -1;
    EXPECT_EQ(1, FindSubString("abcabc", "bc", &offset));
    EXPECT_EQ(1, offset);
    EXPECT_EQ(1, FindLastSubString("abcabc", "bc", &offset));
    EXPECT_EQ(4, offset);
    // Overlapping occurrences: the last one starts at the last possible position.
    EXPECT_EQ(1, FindLastSubString("aaaa", "aa", &offset));
    EXPECT_EQ(2, offset);
    offset = 77;
    EXPECT_EQ(0, FindSubString("abc", "x", &offset));
    EXPECT_EQ(0, FindLastSubString("abc", "abcd", &offset));
    EXPECT_EQ(77, offset);  // untouched when not found
    EXPECT_EQ(0, FindSubString("abc", "", &offset));
    EXPECT_EQ(1, FindSubString("abc", "c", NULL));
}

TEST(TextReplace, RepeatedReplacementMovesPastTheInsertedText)
{
    char caption[32] = "Save & Close & Exit";
    char *text = caption;
    int position = 0;
    int rounds = 0;
    while (ReplaceSubString(&text, "&", "&&", 0, &position, sizeof caption) && rounds < 10)
        rounds++;
    EXPECT_EQ(2, rounds);  // the inserted "&&" is not matched again
    EXPECT_STREQ("Save && Close && Exit", caption);
}

TEST(TextReplace, FixedBufferWithoutRoomIsLeftAlone)
{
    char buffer[8] = "a-b";
    char *text = buffer;
    int position = 0;
    // "a<--->b" needs exactly 8 bytes: fits.
    EXPECT_EQ(1, ReplaceSubString(&text, "-", "<--->", 0, &position, sizeof buffer));
    EXPECT_STREQ("a<--->b", buffer);
    EXPECT_EQ(6, position);
    // One more byte would overrun: refused, text unchanged.
    position = 0;
    EXPECT_EQ(0, ReplaceSubString(&text, "b", "bb", 0, &position, sizeof buffer));
    EXPECT_STREQ("a<--->b", buffer);
    // Shrinking replacement always fits; no position pointer starts at 0.
    EXPECT_EQ(1, ReplaceSubString(&text, "<--->", "", 0, NULL, sizeof buffer));
    EXPECT_STREQ("ab", buffer);
    // Position beyond the text end or a missing find text.
    position = 50;
    EXPECT_EQ(0, ReplaceSubString(&text, "a", "x", 0, &position, sizeof buffer));
    EXPECT_EQ(0, ReplaceSubString(&text, "", "x", 0, NULL, sizeof buffer));
}

TEST(TextReplace, GrowingBufferReallocatesAndKeepsLargerBlocks)
{
    char *text = (char *)MemAlloc(64, 6);
    strcpy(text, "%%X%%");
    int position = 0;
    ASSERT_EQ(1, ReplaceSubString(&text, "%%X%%", "Minnesota Department of Revenue", 1, &position, 0));
    EXPECT_STREQ("Minnesota Department of Revenue", text);
    EXPECT_EQ(31, position);
    MemFree(text);

    // A block larger than the text is not shrunk by a growing replacement.
    text = (char *)MemAlloc(64, 200);
    strcpy(text, "a");
    ASSERT_EQ(1, ReplaceSubString(&text, "a", "bb", 1, NULL, 0));
    EXPECT_GE(HeapSize(GetProcessHeap(), 0, text), (SIZE_T)200);
    MemFree(text);
}

TEST(TextEdit, RemoveReplaceTrimCount)
{
    char text[32] = "1,234,567.00";
    EXPECT_EQ(3, RemoveChars(text, ",."));
    EXPECT_STREQ("123456700", text);
    EXPECT_EQ(2, ReplaceChar(text, '0', 'o'));
    EXPECT_STREQ("1234567oo", text);
    EXPECT_EQ(2, CountChar(text, 'o'));
    EXPECT_EQ(0, CountChar(text, 'x'));

    char blanks[16] = " \t  ";
    EXPECT_STREQ("", TrimSpaces(blanks));
    char padded[16] = "  a b \t";
    EXPECT_STREQ("a b", TrimSpaces(padded));

    char slashes[16] = "C:\\dir\\\\";
    EXPECT_EQ(1, TrimTrailingChar(slashes, '\\'));
    EXPECT_STREQ("C:\\dir", slashes);
    char only[8] = "000";
    EXPECT_EQ(0, TrimTrailingChar(only, '0'));
    EXPECT_STREQ("", only);
}

TEST(TextTokenize, GroupsWithLeadingDelimitersSkipped)
{
    char text[] = "[a|b][c]";
    char *position = NULL;
    char *token = TokenizeString(text, "[]", &position, 1);
    ASSERT_NE(nullptr, token);
    EXPECT_STREQ("a|b", token);
    token = TokenizeString(NULL, "[]", &position, 1);
    ASSERT_NE(nullptr, token);
    EXPECT_STREQ("c", token);
    EXPECT_EQ(nullptr, TokenizeString(NULL, "[]", &position, 1));
    EXPECT_EQ(nullptr, position);
    // Calling again after the end stays at the end.
    EXPECT_EQ(nullptr, TokenizeString(NULL, "[]", &position, 1));
}

TEST(TextTokenize, EmptyTokenGivesNullButMovesOn)
{
    char text[] = "a,,b";
    char *position = NULL;
    EXPECT_STREQ("a", TokenizeString(text, ",", &position, 0));
    ASSERT_NE(nullptr, position);
    EXPECT_EQ(nullptr, TokenizeString(NULL, ",", &position, 0));  // the empty field
    ASSERT_NE(nullptr, position);
    EXPECT_STREQ("b", TokenizeString(NULL, ",", &position, 0));
    EXPECT_EQ(nullptr, position);
}

TEST(TextJoin, LengthQueryExactFitAndOverflow)
{
    const char *parts[3] = {"John", NULL, "Smith"};
    // A null part counts as empty: "John" " & " "" " & " "Smith".
    EXPECT_EQ(15, JoinStrings(NULL, 0, " & ", parts, 3));
    char out[20];
    EXPECT_EQ(15, JoinStrings(out, 16, " & ", parts, 3));
    EXPECT_STREQ("John &  & Smith", out);
    memset(out, 'x', sizeof out);
    EXPECT_EQ(-1, JoinStrings(out, 15, " & ", parts, 3));  // no room for the terminator
    EXPECT_STREQ("", out);
    EXPECT_EQ(0, JoinStrings(out, sizeof out, ",", parts, 0));
    EXPECT_STREQ("", out);
}

TEST(TextLineColumn, SetOrderLineColumnAndLineText)
{
    const char *text = "name,amount\r\nSmith;12\r\nJones\t7";
    int offset = 0, line = 0, column = 0;
    char ch = 0;
    char lineText[64];
    // ';' is tried before '\t' even though both occur.
    ASSERT_EQ(1, FindCharLineColumn(text, 0, ";\t", &offset, &line, &column, &ch, lineText, sizeof lineText));
    EXPECT_EQ(18, offset);
    EXPECT_EQ(2, line);
    EXPECT_EQ(6, column);
    EXPECT_EQ(';', ch);
    EXPECT_STREQ("Smith;12", lineText);
    // The line text is cut to the buffer.
    char small[4];
    ASSERT_EQ(1, FindCharLineColumn(text, 0, "\t", NULL, &line, &column, NULL, small, sizeof small));
    EXPECT_EQ(3, line);
    EXPECT_EQ(6, column);
    EXPECT_STREQ("Jon", small);
    EXPECT_EQ(0, FindCharLineColumn(text, 0, "|", &offset, &line, &column, &ch, lineText, sizeof lineText));
}

TEST(TextVariants, ChoicesByModeAndPlaceholdersKept)
{
    char text[128] = "Sign %your/your client's% return for %%FORMNAME%% at 50% off";
    EXPECT_EQ(1, ResolveTextVariants(text, 2));
    EXPECT_STREQ("Sign your client's return for %%FORMNAME%% at 50% off", text);

    char three[64] = "%a/b/c%-%x/y%";
    EXPECT_EQ(2, ResolveTextVariants(three, 3));
    EXPECT_STREQ("c-y", three);  // a two-way choice takes its last alternative for mode 3
    char first[64] = "%your/your client's% %is/are%";
    EXPECT_EQ(2, ResolveTextVariants(first, 1));
    EXPECT_STREQ("your is", first);
    char unclosed[32] = "100% of %your/their";
    EXPECT_EQ(0, ResolveTextVariants(unclosed, 1));
    EXPECT_STREQ("100% of %your/their", unclosed);
}
