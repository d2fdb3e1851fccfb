// The edit bar's arithmetic and text rules: placement near the view's edges, the joined texts of
// split entries, and list entries resolved to their codes.
#include "entry/entry.h"
#include "store/store.h"

#include <gtest/gtest.h>
#include <string.h>

#include <string>
#include <vector>

namespace {

TEST(EditBarPlacement, OnePartOverTheFieldInsideTheView)
{
    RECT field = {100, 200, 300, 220};
    RECT client = {0, 0, 800, 600};
    EditBarPlacement p;
    ASSERT_EQ(1, ComputeEditBarPlacement(&field, &client, 1, 150, 24, 13, 13, &p));
    EXPECT_EQ(100, p.x);
    EXPECT_EQ(200, p.y);       // the field is lower than the bar: the bar starts at its top
    EXPECT_EQ(150, p.width);
    EXPECT_EQ(24, p.height);
    EXPECT_EQ(0, p.rowX);
    EXPECT_EQ(0, p.rowY[0]);
}

TEST(EditBarPlacement, TallFieldGetsTheBarOnItsBottomLine)
{
    RECT field = {100, 200, 300, 260};
    EditBarPlacement p;
    ASSERT_EQ(1, ComputeEditBarPlacement(&field, NULL, 1, 150, 24, 13, 13, &p));
    EXPECT_EQ(260 - 24 + 1, p.y);
    // Exactly as tall as the bar counts as tall enough.
    RECT exact = {100, 200, 300, 224};
    ComputeEditBarPlacement(&exact, NULL, 1, 150, 24, 13, 13, &p);
    EXPECT_EQ(201, p.y);
}

TEST(EditBarPlacement, KeptTenPixelsInsideEitherEdge)
{
    RECT client = {50, 50, 750, 550};
    EditBarPlacement p;
    RECT nearRight = {700, 100, 740, 110};
    ComputeEditBarPlacement(&nearRight, &client, 1, 150, 24, 13, 13, &p);
    EXPECT_EQ(750 - 10 - 150, p.x);
    RECT leftOfView = {20, 100, 60, 110};
    ComputeEditBarPlacement(&leftOfView, &client, 1, 150, 24, 13, 13, &p);
    EXPECT_EQ(60, p.x);   // moved right by the distance to the edge plus 10
    RECT inside = {200, 100, 260, 110};
    ComputeEditBarPlacement(&inside, &client, 1, 150, 24, 13, 13, &p);
    EXPECT_EQ(200, p.x);
}

TEST(EditBarPlacement, SeveralPartsGetChoiceBoxesAndGaps)
{
    RECT field = {100, 200, 300, 210};
    EditBarPlacement p;
    ASSERT_EQ(1, ComputeEditBarPlacement(&field, NULL, 3, 120, 20, 13, 13, &p));
    EXPECT_EQ(3 * 20 + 4 * 3 + 4, p.height);
    EXPECT_EQ(120 + 21 + 13, p.width);
    EXPECT_EQ(14 + 13, p.rowX);
    EXPECT_EQ(4, p.rowY[0]);
    EXPECT_EQ(28, p.rowY[1]);
    EXPECT_EQ(52, p.rowY[2]);
    EXPECT_EQ((20 - 13) / 2 + 4, p.boxY[0]);
    EXPECT_EQ((20 - 13) / 2 + 4 + 24, p.boxY[1]);
    EXPECT_EQ(0, ComputeEditBarPlacement(&field, NULL, 4, 120, 20, 13, 13, &p));
    EXPECT_EQ(0, ComputeEditBarPlacement(&field, NULL, 0, 120, 20, 13, 13, &p));
}

std::string Join(int kind, std::vector<const char *> boxes, std::vector<int> limits)
{
    char out[64];
    JoinSplitEntryText(kind, boxes.data(), limits.data(), (int)boxes.size(), out, sizeof(out));
    return out;
}

TEST(EditBarSplitText, DatesFillEmptyBoxesWithZeros)
{
    EXPECT_EQ("04/15/2024", Join(ENTRY_CONTROL_DATE, {"04", "15", "2024"}, {2, 2, 4}));
    EXPECT_EQ("04/15/0000", Join(ENTRY_CONTROL_DATE, {"04", "15", ""}, {2, 2, 4}));
    EXPECT_EQ("", Join(ENTRY_CONTROL_DATE, {"", "", ""}, {2, 2, 4}));
    EXPECT_EQ("2024/04", Join(ENTRY_CONTROL_DATE, {"2024", "04"}, {4, 2}));
    EXPECT_EQ("2024", Join(ENTRY_CONTROL_DATE, {"2024"}, {4}));
}

TEST(EditBarSplitText, IdentificationAndPhoneNumbers)
{
    EXPECT_EQ("123-45-6789", Join(ENTRY_CONTROL_SSN, {"123", "45", "6789"}, {3, 2, 4}));
    EXPECT_EQ("123-", Join(ENTRY_CONTROL_SSN, {"123", "", ""}, {3, 2, 4}));
    EXPECT_EQ("12-3456789", Join(ENTRY_CONTROL_EIN, {"12", "3456789"}, {2, 7}));
    EXPECT_EQ("(123)456-7890", Join(ENTRY_CONTROL_PHONE, {"123", "456", "7890"}, {3, 3, 4}));
    EXPECT_EQ("456-7890", Join(ENTRY_CONTROL_PHONE, {"", "456", "7890"}, {3, 3, 4}));
    char small[6];
    const char *boxes[3] = {"123", "45", "6789"};
    JoinSplitEntryText(ENTRY_CONTROL_SSN, boxes, NULL, 3, small, sizeof(small));
    EXPECT_EQ(5u, strlen(small));   // bounded by the buffer
}

std::string Resolve(const char *typed, const char *list, char letter = 'V', int states = 0, int *ok = NULL)
{
    char text[128];
    snprintf(text, sizeof(text), "%s", typed);
    int result = ResolveListEntry(text, sizeof(text), list, letter, states);
    if (ok)
        *ok = result;
    return result ? std::string(text) : std::string("<refused>");
}

TEST(EditBarListEntry, CodesAndLabelsExactlyNeverPrefixes)
{
    const char *list = "\"1=Single\",\"2=Married filing jointly\",\"3=Married filing separately\"";
    EXPECT_EQ("1", Resolve("1", list));
    EXPECT_EQ("2", Resolve("married filing jointly", list));
    EXPECT_EQ("3", Resolve("3=Married filing separately", list));   // a chosen item
    EXPECT_EQ("<refused>", Resolve("Married", list));
    EXPECT_EQ("<refused>", Resolve("Sin", list));
    EXPECT_EQ("<refused>", Resolve("4", list));
    EXPECT_EQ("", Resolve("<none>", list));
    EXPECT_EQ("", Resolve("   ", list));
}

TEST(EditBarListEntry, PlainListsAndLowerCaseLists)
{
    EXPECT_EQ("Yes", Resolve("yes", "Yes,No"));
    EXPECT_EQ("<refused>", Resolve("Ye", "Yes,No"));
    EXPECT_EQ("A", Resolve("A", "A=First,B=Second", 'v'));
    EXPECT_EQ("<refused>", Resolve("Z", "A=First,B=Second", 'v'));
}

TEST(EditBarListEntry, StatesByAbbreviationNameOrListRow)
{
    EXPECT_EQ("NY", Resolve("New York", "", 's', STATE_GROUP_STATES));
    EXPECT_EQ("MN", Resolve("Minnesota", "", 's', STATE_GROUP_STATES));
    EXPECT_EQ("MN", Resolve("mn", "", 's', STATE_GROUP_STATES));
    EXPECT_EQ("NY", Resolve("NY New York", "", 's', STATE_GROUP_STATES));
    EXPECT_EQ("<refused>", Resolve("QQ", "", 's', STATE_GROUP_STATES));
    EXPECT_EQ("<refused>", Resolve("New Yo", "", 's', STATE_GROUP_STATES));
    EXPECT_EQ("<refused>", Resolve("Ontario", "", 's', STATE_GROUP_STATES));
    EXPECT_EQ("", Resolve("", "", 's', STATE_GROUP_STATES));
}

void Collect(const char *item, void *context)
{
    ((std::vector<std::string> *)context)->push_back(item);
}

TEST(EditBarListEntry, ListItemsSplitAtCommasAndQuotes)
{
    std::vector<std::string> items;
    EXPECT_EQ(3, ForEachListItem("\"1=Single\", \"2=Joint\",3", 0, Collect, &items));
    ASSERT_EQ(3u, items.size());
    EXPECT_EQ("1=Single", items[0]);
    EXPECT_EQ("2=Joint", items[1]);
    EXPECT_EQ("3", items[2]);
    items.clear();
    EXPECT_EQ(2, ForEachListItem("A=First,B=Second", 1, Collect, &items));
    EXPECT_EQ("A", items[0]);
    EXPECT_EQ(0, ForEachListItem(NULL, 0, Collect, &items));
}

}  // namespace
