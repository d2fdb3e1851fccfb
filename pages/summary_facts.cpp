// summary_facts.cpp - what the Summary and Status pages say about a return, gathered once per
// page from the record, the open return's pages, the forms tree, the settings and the clock.
#include "pages/pages.h"
#include "pages/summary_private.h"
#include "prepare/prepare.h"
#include "ui/ui.h"

#include <stdio.h>
#include <string.h>

void LoadSummaryString(int id, const char *fallback, char *out, int outSize)
{
    HINSTANCE instance = gInstance ? gInstance : GetModuleHandleA(NULL);
    if (LoadStringA(instance, (UINT)id, out, outSize) <= 0)
        lstrcpynA(out, fallback, outSize);
}

void GatherSummaryFacts(OpenReturn *record, SummaryFacts *facts)
{
    memset(facts, 0, sizeof *facts);
    facts->givenRecord = record != NULL;
    facts->record = record ? record : gOpenReturnPtr;
    if (facts->givenRecord) {
        for (int i = 0; i < SUMMARY_PARTS; i++)
            facts->present[i] = facts->record->bytes[RETURN_PART_PRESENT + i] ? 1 : 0;
    } else {
        FindMainReturnForm(&facts->present[0], &facts->present[1], &facts->present[2]);
    }
    facts->partCount = facts->present[0] + facts->present[1] + facts->present[2];
    facts->audience = IsPreparerSetupComplete(1) ? 2 : 1;
    facts->plural = facts->partCount > 1 ? 2 : 1;
    int others = facts->present[1] || facts->present[2];
    facts->authority = facts->present[0] ? (others ? 3 : 1) : (others ? 2 : 1);
    facts->specialCustomer = IsSpecialCustomer(0) ? 1 : 0;
    facts->lateSeason = IsEfileWindowOpen(facts->record, 5, 0, 0, 0) ? 1 : 0;
    facts->individualReturn = GetReturnType(NULL) ? 1 : 0;
    facts->businessReturn = GetBusinessReturnType(NULL) ? 1 : 0;

    // The tax year: the first part block that has one, else the form shown, else this program's.
    uint16_t year = 0;
    static const int kParts[SUMMARY_PARTS] = {RETURN_PART_FEDERAL, RETURN_PART_STATE, RETURN_PART_OTHER};
    for (int i = 0; i < SUMMARY_PARTS && !year; i++)
        year = GetReturnU16(facts->record, kParts[i] + PART_TAX_YEAR);
    if (!year) {
        FormInstance *shown = (FormInstance *)GetCurrentDocument(4);
        if (shown)
            year = shown->taxYear;
    }
    snprintf(facts->taxYear, sizeof facts->taxYear, "%hu", (unsigned short)(year ? year : PROGRAM_TAX_YEAR));

    lstrcpynA(facts->returnPath, facts->givenRecord ? "" : gReturnPath, sizeof facts->returnPath);
    GetSystemTime(&facts->nowUtc);
    GetLocalTime(&facts->nowLocal);

    static const char kLetters[SUMMARY_PARTS] = {'F', 'S', 'O'};
    HTREEITEM folders[SUMMARY_PARTS] = {gTreeFederalFolder, gTreeStateFolder, gTreeOtherReturnFolder};
    for (int i = 0; i < SUMMARY_PARTS; i++) {
        if (!facts->givenRecord)
            facts->described[i] = DescribeReturn(kLetters[i], &facts->description[i], NULL, NULL, 0, 0);
        if (folders[i])
            GetTreeItemText(folders[i], facts->folderCaption[i], 1, sizeof facts->folderCaption[i]);
    }
}
