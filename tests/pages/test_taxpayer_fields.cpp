// Taxpayer items and joined-name fields of a page: the value rules of the items, the spouse's
// number without a name, one-character positions, and joined names (all sources empty, the table
// end) - on tables without a window.
#include "pages/pages.h"
#include "tests/harness/fields.h"

#include <gtest/gtest.h>
#include <string.h>

namespace {

struct TaxpayerFields : ::testing::Test {
    OpenReturn saved;
    void SetUp() override
    {
        memcpy(&saved, gOpenReturnPtr, sizeof(saved));
        InitOpenReturn(gOpenReturnPtr);
    }
    void TearDown() override
    {
        memcpy(gOpenReturnPtr, &saved, sizeof(saved));
        gReturnModified = 0;
    }
    static void Set(int offset, int size, const char *text) { SetReturnText(gOpenReturnPtr, offset, size, text); }
};

TEST_F(TaxpayerFields, ItemValuesFollowTheirFlagsAndPositions)
{
    Set(RETURN_TAXPAYER + PERSON_FIRST_NAME, 21, "Ann");
    Set(RETURN_TAXPAYER + PERSON_MIDDLE_NAME, 21, "B");
    Set(RETURN_TAXPAYER + PERSON_LAST_NAME, 21, "Lee");
    Set(RETURN_TAXPAYER + PERSON_SUFFIX, 4, "Jr");
    Set(RETURN_TAXPAYER + PERSON_SSN, 12, "400012345");
    Set(RETURN_STREET, 36, "12 Elm St Apt 3");
    Set(RETURN_APARTMENT, 21, "apt 3");
    Set(RETURN_EIN, 12, "123456789");
    Set(RETURN_PHONE, 13, "6515550100");
    const FieldDesc descs[] = {
        {"0001", "T[1bc]"}, {"0002", "T[1b]"}, {"0003", "T[1de]"}, {"0004", "T[1fg]"}, {"0005", "T[1a]"},
        {"0006", "T[1a:2]"}, {"0007", "T[1a:9]"}, {"0008", "T[3]"}, {"0009", "T[1s]"}, {"0010", "T[1~]"},
        {"0011", "N", NULL, "7"}, {"0012", "T[1g]"},
    };
    FieldTable *table = MakeTable(descs, sizeof(descs) / sizeof(descs[0]));
    gReturnModified = 0;
    EXPECT_EQ(9, PropagateFormHeaderName(table, gOpenReturnPtr, NULL, 0, 0));   // 0007 stays empty
    struct Case {
        const char *seq, *value;
    } cases[] = {
        {"0001", "Ann B"}, {"0002", "Ann"}, {"0003", "Lee Jr"},
        {"0004", "12 Elm St Apt 3"},   // the street already ends with the apartment
        {"0005", "400-01-2345"}, {"0006", "0"}, {"0007", ""},   // a position past the end reads nothing
        {"0008", "12-3456789"}, {"0009", "(651)555-0100"}, {"0010", ""}, {"0011", "7"}, {"0012", "apt 3"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(c.value, Value(table, c.seq)) << c.seq;
    EXPECT_EQ(0, gReturnModified);   // copies of the record change nothing of the return
    Set(RETURN_APARTMENT, 21, "B");
    PropagateFormHeaderName(table, gOpenReturnPtr, NULL, 0, 0);
    EXPECT_EQ("12 Elm St Apt 3 B", Value(table, "0004"));
    // A non-US address keeps its apartment in a slot of its own.
    Set(RETURN_ADDRESS_KIND, 2, "3");
    Set(RETURN_APARTMENT, 21, "");
    Set(RETURN_FOREIGN_APARTMENT, 21, "Flat 3");
    PropagateFormHeaderName(table, gOpenReturnPtr, NULL, 0, 0);
    EXPECT_EQ("Flat 3", Value(table, "0012"));
    EXPECT_EQ("12 Elm St Apt 3 Flat 3", Value(table, "0004"));
    FreeLayoutTable(table);
}

TEST_F(TaxpayerFields, SpouseNumberWithoutNameOnlyOnReturnPages)
{
    Set(RETURN_SPOUSE + PERSON_SSN, 12, "400012346");
    const FieldDesc descs[] = {{"0001", "T[2a]"}};
    struct Case {
        const char *key;
        int onEveryPage;   // PropagateTaxpayerName (only "Form 1040" keeps it)
        const char *header, *every;
    } cases[] = {
        {"Form 1040.1", 1, "400-01-2346", "400-01-2346"},
        {"Form 540.1", 0, "400-01-2346", ""},
        {"Schedule B.1", 0, "", ""},
    };
    for (const Case &c : cases) {
        FormInstance *page = MakePage(c.key, MakeTable(descs, 1));
        PropagateFormHeaderName(page->fieldTable, gOpenReturnPtr, page, 0, 0);
        EXPECT_EQ(c.header, Value(page->fieldTable, "0001")) << c.key;
        SetTestReturnPages(&page, 1);
        PropagateTaxpayerName(gOpenReturnPtr);
        EXPECT_EQ(c.every, Value(page->fieldTable, "0001")) << c.key;
        // With a spouse name the number shows everywhere.
        Set(RETURN_SPOUSE + PERSON_LAST_NAME, 21, "Lee");
        PropagateTaxpayerName(gOpenReturnPtr);
        EXPECT_EQ("400-01-2346", Value(page->fieldTable, "0001")) << c.key;
        Set(RETURN_SPOUSE + PERSON_LAST_NAME, 21, "");
        SetTestReturnPages(NULL, 0);
        FreeFormInstance(page);
    }
}

TEST_F(TaxpayerFields, JoinedNamesFollowTheirSourcesToTheTableEnd)
{
    const FieldDesc descs[] = {
        {"0001", "i[3]", NULL, "Old Name"}, {"0002", "f", NULL, "Ann"}, {"0003", "f"}, {"0004", "f", NULL, "Lee"},
        {"0005", "i[2]", NULL, "Stale"},   {"0006", "f"},             {"0007", "f"},
        {"0008", "i[3]", NULL, "Kept?"},   {"0009", "f", NULL, "Bo"},
    };
    FieldTable *table = MakeTable(descs, sizeof(descs) / sizeof(descs[0]));
    FormInstance *page = MakePage("Form 1040.1", table);
    SetTestReturnPages(&page, 1);
    EXPECT_EQ(3, PropagateNameFields());
    EXPECT_EQ("Ann Lee", Value(table, "0001"));   // an empty middle source leaves one blank
    EXPECT_EQ("", Value(table, "0005"));          // all sources empty: cleared
    EXPECT_EQ("Bo", Value(table, "0008"));        // the sources past the table's end count as empty
    EXPECT_EQ(0, PropagateNameFields());
    SetTestReturnPages(NULL, 0);
    FreeFormInstance(page);
}

} // namespace
