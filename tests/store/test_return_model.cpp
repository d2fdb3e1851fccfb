// The open return's record helpers, field value setters, page query and display names.
#include "store/store.h"
#include "prepare/prepare.h"

#include "tests/harness/harness.h"

#include <gtest/gtest.h>
#include <string.h>

TEST(ReturnRecord, InitSetsSizeWordAndUnassignedTrackingNumber)
{
    OpenReturn r;
    InitOpenReturn(&r);
    EXPECT_EQ(3200u, GetReturnU32(&r, RETURN_SIZE_WORD));
    for (int i = 0; i < RETURN_TRACKING_LENGTH; i++)
        EXPECT_EQ(0xB1, r.bytes[RETURN_TRACKING_NUMBER + i]);
    EXPECT_EQ(0, r.bytes[RETURN_TRACKING_NUMBER + RETURN_TRACKING_LENGTH]);
    // Stated positions.
    EXPECT_EQ(RETURN_SPOUSE - RETURN_TAXPAYER, PERSON_BLOCK_SIZE);
    EXPECT_EQ(RETURN_PART_STATE - RETURN_PART_FEDERAL, 264);
    EXPECT_EQ(RETURN_PART_OTHER - RETURN_PART_STATE, 264);
    EXPECT_EQ(RETURN_PART_FEDERAL - RETURN_TRANSMISSION, 14);
    EXPECT_LE(RETURN_PART_OTHER + PART_BLOCK_SIZE, OPEN_RETURN_SIZE);
}

TEST(ReturnRecord, TextMembersAreBoundedAndAccessIsChecked)
{
    OpenReturn r;
    InitOpenReturn(&r);
    EXPECT_EQ(1, SetReturnText(&r, RETURN_TAXPAYER + PERSON_FIRST_NAME, 21, "Ann"));
    EXPECT_STREQ("Ann", ReturnText(&r, RETURN_TAXPAYER + PERSON_FIRST_NAME));
    EXPECT_EQ(0, SetReturnText(&r, RETURN_NAME_LINE, 50, std::string(80, 'x').c_str()));
    EXPECT_EQ(49u, strlen(ReturnText(&r, RETURN_NAME_LINE)));
    EXPECT_EQ(0, r.bytes[RETURN_IN_CARE_OF]);   // the next member is untouched
    EXPECT_EQ(0, SetReturnText(&r, 3190, 20, "x"));   // would run past the record
    SetReturnU16(&r, 3199, 7);                        // ignored: out of range
    EXPECT_EQ(0, GetReturnU16(&r, 3199));
    EXPECT_EQ(21, GetReturnMemberSize(RETURN_SPOUSE + PERSON_LAST_NAME));
    EXPECT_EQ(12, GetReturnMemberSize(RETURN_EIN));
    EXPECT_EQ(0, GetReturnMemberSize(RETURN_EIN + 1));
}

TEST(FieldValues, SetFieldTextReportsChangesAndMarksTheReturn)
{
    char *slot = NULL;
    gReturnModified = 0;
    gReturnLoading = 0;
    EXPECT_EQ(1, SetFieldText(&slot, "12"));
    EXPECT_EQ(1, gReturnModified);
    gReturnModified = 0;
    EXPECT_EQ(0, SetFieldText(&slot, "12"));
    EXPECT_EQ(0, gReturnModified);
    gReturnLoading = 1;
    EXPECT_EQ(1, SetFieldText(&slot, "13"));
    EXPECT_EQ(0, gReturnModified);   // loading leaves the flag alone
    gReturnLoading = 0;
    EXPECT_EQ(1, SetFieldText(&slot, ""));
    EXPECT_EQ(NULL, slot);
    EXPECT_EQ(0, SetFieldText(&slot, NULL));
    EXPECT_EQ(1, SetFieldChar(&slot, "123-45", 4));
    EXPECT_STREQ("4", slot);
    EXPECT_EQ(0, SetFieldChar(&slot, "xx4", 2));
    EXPECT_EQ(1, SetFieldChar(&slot, "ab", 9));   // past the end: emptied
    EXPECT_EQ(NULL, slot);
    gReturnModified = 0;
}

TEST(FieldValues, SignatureBlocksCarryTheirLength)
{
    unsigned char block[40] = {'q', 'v', 'b', 'b'};
    uint32_t bits = 8;
    memcpy(block + 28, &bits, 4);
    block[33] = 0;   // zero bytes inside the block survive
    block[39] = 0x5A;
    FieldRecord field = {};
    EXPECT_EQ(1, SetFieldBlob(&field.second, block, sizeof block));
    EXPECT_EQ(40u, GetFieldSecondLength(&field));
    EXPECT_EQ(0, memcmp(field.second, block, sizeof block));
    EXPECT_EQ(0, SetFieldBlob(&field.second, block, sizeof block));
    EXPECT_EQ(1, SetFieldText(&field.second, "overflow"));
    EXPECT_EQ(8u, GetFieldSecondLength(&field));
    SetFieldText(&field.second, NULL);
    gReturnModified = 0;
}

static FormInstance MakePage(const char *key, HTREEITEM item, uint16_t year = 2024)
{
    FormInstance p = {};
    p.kind = PAGE_KIND_FORM;
    p.pageKey = (char *)key;
    p.treeItem = item;
    p.taxYear = year;
    p.jurisdiction = 100;
    return p;
}

TEST(PageQuery, ModesOverATestPageList)
{
    FormInstance a = MakePage("Form 1040.1", (HTREEITEM)11);
    FormInstance b = MakePage("Form 1040.2", (HTREEITEM)12);
    FormInstance w1 = MakePage("Form W-2.1", (HTREEITEM)13);
    FormInstance w2 = MakePage("form w-2.1", (HTREEITEM)14);
    FormInstance summary = MakePage("Summary", (HTREEITEM)15);
    summary.kind = PAGE_KIND_GENERATED;
    FormInstance *list[] = {&summary, &a, &b, &w1, &w2};
    SetTestReturnPages(list, 5);
    FormInstance *out[8] = {};
    EXPECT_EQ(4, FindReturnPages(2, NULL, NULL, 0));          // generated pages not counted
    EXPECT_EQ(4, FindReturnPages(2, NULL, out, 0));
    EXPECT_EQ(&a, out[0]);
    EXPECT_EQ(2, FindReturnPages(1, "Form W-2.1", out, 0));   // case ignored
    EXPECT_EQ(&w2, out[1]);
    EXPECT_EQ(2, FindReturnPages(9, "FORM W-2.1", NULL, 0));
    EXPECT_EQ(0, FindReturnPages(7, "Form 8879.1", out, 0));
    EXPECT_EQ(2, FindReturnPages(4, "Form 1040.7", out, 0));  // pages of the form
    EXPECT_EQ(0, FindReturnPages(4, "Form 104.1", out, 0));   // key must continue with '.'
    EXPECT_EQ(1, FindReturnPages(12, "Form W-2.1", out, 1));
    EXPECT_EQ(&w2, out[0]);
    EXPECT_EQ(0, FindReturnPages(12, "Form W-2.1", out, 2));
    EXPECT_EQ(1, FindReturnPages(13, NULL, out, (intptr_t)11));
    EXPECT_EQ(&b, out[0]);
    EXPECT_EQ(1, FindReturnPages(14, "Form 1040.2", out, 0));
    EXPECT_EQ(&b, out[0]);
    EXPECT_EQ(1, FindReturnPages(15, (const void *)3, out, 0));
    EXPECT_EQ(&w1, out[0]);
    EXPECT_EQ(0, FindReturnPages(15, (const void *)9, out, 0));
    EXPECT_EQ(3, FindReturnPages(17, (const void *)14, NULL, 0));
    EXPECT_EQ(-1, FindReturnPages(17, (const void *)99, NULL, 0));
    EXPECT_EQ(0, FindReturnPages(16, NULL, out, 0));
    // Copy numbers, return types and the year check.
    EXPECT_EQ(0, GetFormCopyNumber(&a));
    EXPECT_EQ(2, GetFormCopyNumber(&w2));
    EXPECT_EQ(1040, GetReturnType(NULL));
    EXPECT_EQ(0, GetBusinessReturnType(NULL));
    EXPECT_EQ(941, GetBusinessReturnType("Form 941"));
    EXPECT_EQ(0, GetReturnType("Form 941.1"));
    EXPECT_EQ(2402, GetReturnType("Form M1PR"));
    EXPECT_EQ(1, ShowFormPakYearError(2024, 1));
    EXPECT_EQ(0, ShowFormPakYearError(2023, 0));
    SetTestReturnPages(NULL, 0);
    EXPECT_EQ(0, FindReturnPages(2, NULL, NULL, 0));
}

static int sEnumCalls;
static FormInstance *sEnumPages[2];
static int EnumerateTwo(HTREEITEM folder, FormInstance **out, int capacity)
{
    sEnumCalls++;
    if (folder)
        return 0;
    for (int i = 0; out && i < 2 && i < capacity; i++)
        out[i] = sEnumPages[i];
    return 2;
}

TEST(PageQuery, TheForms941EnumeratorServesTheQuery)
{
    FormInstance p941 = MakePage("Form 941.1", (HTREEITEM)1);
    FormInstance sb = MakePage("Schedule B (Form 941).1", (HTREEITEM)2);
    sEnumPages[0] = &p941;
    sEnumPages[1] = &sb;
    ReturnPageEnumProc saved = gAppCallbacks.enumerateReturnPages;
    gAppCallbacks.enumerateReturnPages = EnumerateTwo;
    EXPECT_EQ(941, GetBusinessReturnType(""));
    EXPECT_EQ(0, GetReturnType(NULL));   // an employment-tax return has no individual type
    ScriptMessageBoxAnswer(IDOK);
    EXPECT_EQ(0, ShowFormPakYearError(2023, 1));
    gAppCallbacks.enumerateReturnPages = saved;
    EXPECT_GT(sEnumCalls, 0);
}

TEST(DisplayNames, SplitsPageKeys)
{
    char form[FORM_NAME_SIZE], page[16], out[FORM_NAME_SIZE];
    EXPECT_EQ(2, FormatFormDisplayName(form, page, "Form 1040.2", out, 0));
    EXPECT_STREQ("Form 1040", form);
    EXPECT_STREQ("2", page);
    EXPECT_STREQ("Form 1040, Page 2", out);
    EXPECT_EQ(1, FormatFormDisplayName(NULL, NULL, "Schedule B (Form 941).1", out, 2));
    EXPECT_STREQ("Schedule B (Form 941)", out);
    EXPECT_EQ(0, FormatFormDisplayName(form, page, "Form 1040.SR", out, 0));  // no page number
    EXPECT_STREQ("Form 1040.SR", form);
    std::string longKey(300, 'k');
    longKey += ".1";
    EXPECT_EQ(1, FormatFormDisplayName(form, NULL, longKey.c_str(), out, 0));
    EXPECT_EQ((size_t)FORM_NAME_SIZE - 1, strlen(form));
}
