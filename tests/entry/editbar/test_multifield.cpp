// The '^' multi-field list: groups, letters, dropped sequences and the limits of the joined
// type codes.
#include "entry/entry.h"
#include "prepare/prepare.h"
#include "store/store.h"

#include <gtest/gtest.h>
#include <string.h>

#include <string>

namespace {

// A page table with fields 0010 .. 0050 (type codes given) and the dummy record 0.
struct ListTable {
    FieldTable *table;
    explicit ListTable(const char *const *codes, int count)
    {
        table = CreateFieldTable(count + 1);
        for (int i = 1; i <= count; i++) {
            char seq[8];
            snprintf(seq, sizeof(seq), "%04d", i * 10);
            SetFieldText(&table->fields[i].seq, seq);
            SetFieldText(&table->fields[i].typeCode, codes[i - 1]);
        }
        BuildSortedFieldIndex(table);
    }
    ~ListTable() { FreeLayoutTable(table); }
    FieldRecord *Field(int seq) { return &table->fields[seq / 10]; }
};

const char *const kCodes[] = {"A", "A", "A", "N", "Z"};

TEST(MultiFieldList, PlainCommaListGivesOneUnletteredGroup)
{
    ListTable t(kCodes, 5);
    MultiFieldListItem *items = NULL;
    char types[64];
    ASSERT_EQ(2, ParseMultiFieldListText("0040,0050", t.table, &items, types, sizeof(types)));
    EXPECT_STREQ("NZ", types);
    EXPECT_EQ(t.Field(40), items[0].field);
    EXPECT_EQ(t.Field(50), items[1].field);
    for (int i = 0; i < 2; i++) {
        EXPECT_EQ(0u, items[i].lettered);
        EXPECT_EQ(0u, items[i].group);
        EXPECT_EQ(0, GetListItemLetter(&items[i]));
    }
    MemFree(items);
}

TEST(MultiFieldList, LettersGoToTheLetteredItemsInTurn)
{
    ListTable t(kCodes, 5);
    MultiFieldListItem *items = NULL;
    char types[64];
    ASSERT_EQ(3, ParseMultiFieldListText("[FML:0010,0020,0030]", t.table, &items, types, sizeof(types)));
    EXPECT_STREQ("AAA", types);
    const char expected[3] = {'F', 'M', 'L'};
    for (int i = 0; i < 3; i++) {
        EXPECT_EQ(1u, items[i].lettered);
        EXPECT_EQ((uint32_t)i, items[i].position);
        EXPECT_STREQ("FML", items[i].letters);
        EXPECT_EQ(expected[i], GetListItemLetter(&items[i]));
    }
    MemFree(items);
}

TEST(MultiFieldList, CommaBetweenGroupsIsAnEmptyGroup)
{
    ListTable t(kCodes, 5);
    MultiFieldListItem *items = NULL;
    char types[64];
    ASSERT_EQ(2, ParseMultiFieldListText("[0010],[0040]", t.table, &items, types, sizeof(types)));
    EXPECT_EQ(0u, items[0].group);
    EXPECT_EQ(2u, items[1].group);
    EXPECT_STREQ("AN", types);
    MemFree(items);
}

TEST(MultiFieldList, GroupsWithoutCommasStillFitTheArray)
{
    ListTable t(kCodes, 5);
    MultiFieldListItem *items = NULL;
    char types[64];
    // Three items, no comma at all: the array is sized by the items, not the commas.
    ASSERT_EQ(3, ParseMultiFieldListText("[0010][0020][0030]", t.table, &items, types, sizeof(types)));
    EXPECT_EQ(t.Field(30), items[2].field);
    MemFree(items);
}

TEST(MultiFieldList, MissingSequenceIsDroppedButKeepsItsLetter)
{
    ListTable t(kCodes, 5);
    MultiFieldListItem *items = NULL;
    char types[64];
    ASSERT_EQ(2, ParseMultiFieldListText("FML:0010,0099,0030", t.table, &items, types, sizeof(types)));
    EXPECT_STREQ("AA", types);
    EXPECT_EQ(t.Field(10), items[0].field);
    EXPECT_EQ('F', GetListItemLetter(&items[0]));
    EXPECT_EQ(t.Field(30), items[1].field);
    EXPECT_EQ('L', GetListItemLetter(&items[1]));   // the missing middle item still took 'M'
    for (int i = 0; i < 2; i++)
        EXPECT_NE(nullptr, items[i].field);
    MemFree(items);
}

TEST(MultiFieldList, RefusedLists)
{
    ListTable t(kCodes, 5);
    MultiFieldListItem *items = (MultiFieldListItem *)1;
    char types[64] = "x";
    EXPECT_EQ(0, ParseMultiFieldListText("ABCDE:0010,0020", t.table, &items, types, sizeof(types)));
    EXPECT_EQ(nullptr, items);
    EXPECT_STREQ("", types);
    EXPECT_EQ(0, ParseMultiFieldListText("0099,0098", t.table, &items, types, sizeof(types)));
    EXPECT_EQ(0, ParseMultiFieldListText("", t.table, &items, types, sizeof(types)));
    EXPECT_EQ(0, ParseMultiFieldListText(NULL, t.table, &items, types, sizeof(types)));
    EXPECT_EQ(0, ParseMultiFieldListText("0010", NULL, &items, types, sizeof(types)));
    // Joined type codes that would not fit are refused, never cut.
    char small[3];
    EXPECT_EQ(0, ParseMultiFieldListText("0010,0020,0030", t.table, &items, small, sizeof(small)));
    EXPECT_EQ(nullptr, items);
}

TEST(MultiFieldList, RequestTakesItsOwnFieldTable)
{
    ListTable t(kCodes, 5);
    EditRequest request;
    memset(&request, 0, sizeof(request));
    FieldRecord listField;
    memset(&listField, 0, sizeof(listField));
    listField.valueList = (char *)"[FL:0010,0030]";
    request.field = &listField;
    request.fieldTable = t.table;
    ASSERT_EQ(2, ParseMultiFieldList(&request));
    EXPECT_EQ(2u, request.listItemCount);
    EXPECT_STREQ("AA", request.listTypes);
    EXPECT_EQ('L', GetListItemLetter(&request.listItems[1]));
    // Parsing again replaces the old array.
    ASSERT_EQ(2, ParseMultiFieldList(&request));
    MemFree(request.listItems);
}

}  // namespace
