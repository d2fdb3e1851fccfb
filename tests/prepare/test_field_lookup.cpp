// Field-table lookups, form keys, header strings, main-form pages and PDF attachments.
#include "prepare/prepare.h"
#include "tests/harness/harness.h"

#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>

static char *Dup(const char *text)
{
    char *copy = (char *)MemAlloc(64, strlen(text) + 1);
    strcpy(copy, text);
    return copy;
}

static FieldTable *MakeTable(const char *const *seqs, const char *const *types, const char *const *lengths, int n)
{
    FieldTable *t = CreateFieldTable(n + 1);
    for (int i = 0; i < n; i++) {
        t->fields[i + 1].seq = Dup(seqs[i]);
        t->fields[i + 1].typeCode = Dup(types[i]);
        t->fields[i + 1].length = Dup(lengths[i]);
    }
    BuildSortedFieldIndex(t);
    return t;
}

TEST(FieldLookup, BySequenceTypeAndOffset)
{
    const char *seqs[] = {"0300", "0100", "0200", "0100"};
    const char *types[] = {"N", "T[1a]", "S[sig]", "CN"};
    const char *lengths[] = {"12", "9", "0", "4"};
    FieldTable *t = MakeTable(seqs, types, lengths, 4);
    ASSERT_NE(nullptr, t);
    EXPECT_EQ(2, t->sortedIndex[0]);   // "0100" (first of the equal pair), "0100", "0200", "0300"
    EXPECT_EQ(4, t->sortedIndex[1]);
    EXPECT_EQ(1, t->sortedIndex[3]);
    EXPECT_EQ(3, FindLayoutField(t, 1, "0200", 0));
    EXPECT_EQ(1, FindLayoutField(t, 1, "0300", 0));
    EXPECT_EQ(0, FindLayoutField(t, 1, "0250", 0));
    EXPECT_EQ(3, FindLayoutField(t, 2, "S[", 0));
    EXPECT_EQ(0, FindLayoutField(t, 2, "X", 0));
    EXPECT_EQ(1, FindLayoutField(t, 3, "0", 0));
    EXPECT_EQ(2, FindLayoutField(t, 3, "12", 0));
    EXPECT_EQ(3, FindLayoutField(t, 3, "21", 0));   // the first field starting there
    EXPECT_EQ(0, FindLayoutField(t, 3, "5", 0));
    ScriptMessageBoxAnswer(IDOK);
    EXPECT_EQ(0, FindLayoutField(t, 1, "9999", 1));
    ASSERT_EQ(1u, GetShownMessageBoxes().size());
    EXPECT_EQ("Field Sequence Number Not Found", GetShownMessageBoxes()[0].title);
    // A damaged index falls back to the walk instead of reading outside the table.
    t->sortedIndex[1] = 77;
    EXPECT_EQ(1, FindLayoutField(t, 1, "0300", 0));
    EXPECT_EQ(0, FindLayoutField(NULL, 1, "0300", 0));
    EXPECT_EQ(1, FreeLayoutTable(t));
    EXPECT_EQ(0, FreeLayoutTable(NULL));
    EXPECT_EQ(nullptr, CreateFieldTable(0));
}

TEST(FormKeys, StripsFormAndSchedulePrefixes)
{
    char out[FORM_NAME_SIZE];
    EXPECT_STREQ("1040", BuildFormKey("Form 1040", "", out, 2));
    EXPECT_STREQ("B", BuildFormKey("Schedule B", "", out, 2));
    EXPECT_STREQ("MN-M1", BuildFormKey("Form MN-M1", "MN-", out, 2));   // prefix not doubled
    EXPECT_STREQ("Sch-8812", BuildFormKey("Schedule 8812", "Sch-", out, 2));
    char *fresh = BuildFormKey("Form 941", "X", NULL, 1);
    EXPECT_STREQ("XForm 941", fresh);
    MemFree(fresh);
}

TEST(HeaderStrings, ZeroSeparatedTexts)
{
    FileRecord f = {};
    static uint8_t header[] = "Form 941\0Employer's Quarterly\0v1\0";
    f.slots[REC_HEADER_STRINGS].data = header;
    f.slots[REC_HEADER_STRINGS].length = sizeof header - 1;
    const char *a, *b, *c;
    EXPECT_EQ(3, GetHeaderStrings(&f, &a, &b, &c));
    EXPECT_STREQ("Form 941", a);
    EXPECT_STREQ("v1", c);
    EXPECT_EQ(3, GetHeaderStrings(&f, &a, NULL, NULL));
    FileRecord empty = {};
    EXPECT_EQ(0, GetHeaderStrings(&empty, &a, &b, NULL));
    EXPECT_STREQ("", a);
}

TEST(MainForms, TableAndPresence)
{
    int type = 0;
    char part = 0;
    int row = FindMainFormPage("form 1040.1", 100, 0, 0);
    ASSERT_GT(row, 0);
    EXPECT_EQ(1, GetMainFormRow(row, &type, &part));
    EXPECT_EQ(1040, type);
    EXPECT_EQ('F', part);
    EXPECT_EQ(0, FindMainFormPage("Form 1040.2", 100, 0, 0));
    EXPECT_EQ(0, FindMainFormPage("Form 1040.1", 24, 0, 0));
    EXPECT_GT(FindMainFormPage("Form 941.1", 0, 0, 0), 0);
    EXPECT_EQ(0, GetMainFormRow(0, &type, &part));

    FormInstance fed = {}, mn = {}, pr = {};
    fed.kind = mn.kind = pr.kind = PAGE_KIND_FORM;
    fed.pageKey = (char *)"Form 1040.1";
    fed.jurisdiction = 100;
    mn.pageKey = (char *)"Form M1.1";
    mn.jurisdiction = 24;
    pr.pageKey = (char *)"Form M1PR.1";
    pr.jurisdiction = 24;
    FormInstance *pages[] = {&fed, &mn, &pr};
    SetTestReturnPages(pages, 3);
    int f = 0, s = 0, o = 0;
    EXPECT_EQ(3, FindMainReturnForm(&f, &s, &o));
    EXPECT_EQ(1, f + s + o == 3);
    SetTestReturnPages(pages, 1);
    EXPECT_EQ(1, FindMainReturnForm(&f, &s, &o));
    EXPECT_EQ(0, s);
    SetTestReturnPages(NULL, 0);
}

TEST(PdfAttachments, HeaderAndPresence)
{
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    std::string good = std::string(folder) + "qv_attach_good.pdf";
    std::string bad = std::string(folder) + "qv_attach_bad.pdf";
    FILE *fp = fopen(good.c_str(), "wb");
    fputs("%PDF-1.4\n%%EOF\n", fp);
    fclose(fp);
    fp = fopen(bad.c_str(), "wb");
    fputs("<html>", fp);
    fclose(fp);
    EXPECT_EQ(1, CheckPdfAttachment(good.c_str(), 1));
    EXPECT_EQ(0, CheckPdfAttachment(bad.c_str(), 0));
    ScriptMessageBoxAnswer(IDOK);
    EXPECT_EQ(0, CheckPdfAttachment(bad.c_str(), 1));
    ScriptMessageBoxAnswer(IDOK);
    EXPECT_EQ(0, CheckPdfAttachment("", 1));
    EXPECT_EQ(0, CheckPdfAttachment((std::string(folder) + "qv_missing.pdf").c_str(), 0));
    DeleteFileA(good.c_str());
    DeleteFileA(bad.c_str());
}
