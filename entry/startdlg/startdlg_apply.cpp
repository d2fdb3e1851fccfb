// What the start dialogs' choices do to the forms just added: the 94x filing quarter is checked on
// the pages that carry the quarter boxes, the signing method is kept in the return record and an
// import request opens "Import Data"; the Minnesota property tax refund's filing status is
// checked on Form M1PR.
#include "entry/startdlg/startdlg_private.h"
#include "ui/ui.h"

#include <string.h>

// The check boxes a choice bit stands for, by page.
struct StartChoiceField {
    const char *pageKey;
    int bit;
    const char *seq;
};
static const StartChoiceField k94xFields[] = {
    {"Form 941.1", START94X_QUARTER1, "0011"},
    {"Form 941.1", START94X_QUARTER2, "0012"},
    {"Form 941.1", START94X_QUARTER3, "0013"},
    {"Form 941.1", START94X_QUARTER4, "0014"},
    {"Schedule B (Form 941).1", START94X_QUARTER1, "0011"},
    {"Schedule B (Form 941).1", START94X_QUARTER2, "0012"},
    {"Schedule B (Form 941).1", START94X_QUARTER3, "0013"},
    {"Schedule B (Form 941).1", START94X_QUARTER4, "0014"},
};
static const StartChoiceField kM1prFields[] = {
    {"Form M1PR.1", STARTM1PR_RENTER, "0030"},
    {"Form M1PR.1", STARTM1PR_HOMEOWNER, "0031"},
    {"Form M1PR.1", STARTM1PR_NURSING, "0032"},
    {"Form M1PR.1", STARTM1PR_MOBILE, "0033"},
};

// Checks the box of every chosen bit on every page of its key; returns the number of boxes set.
static int CheckChoiceFields(const StartChoiceField *fields, int count, int choices)
{
    int set = 0;
    for (int i = 0; i < count; i++) {
        if (!(choices & fields[i].bit))
            continue;
        int pageCount = 0;
        FormInstance **pages = SnapshotReturnPages(1, fields[i].pageKey, &pageCount);
        for (int p = 0; p < pageCount; p++) {
            FieldTable *table = pages[p]->fieldTable;
            int index = table ? FindLayoutField(table, 1, fields[i].seq, 0) : 0;
            if (index > 0 && index < table->count) {
                SetFieldText(&table->fields[index].value, "X");
                set++;
            }
        }
        MemFree(pages);
    }
    return set;
}

int ApplyStartDialogChoices(int kind, int choices)
{
    if (choices <= 0)
        return 0;
    if (kind == START_DIALOG_M1PR)
        return CheckChoiceFields(kM1prFields, sizeof kM1prFields / sizeof kM1prFields[0], choices);
    if (kind != START_DIALOG_94X)
        return 0;
    int set = CheckChoiceFields(k94xFields, sizeof k94xFields / sizeof k94xFields[0], choices);
    if (gOpenReturnPtr) {
        int signing = choices & (START94X_SIGNPIN | START94X_SIGN8453 | START94X_PRACTITIONER | START94X_AGENTPIN);
        *ReturnBytes(gOpenReturnPtr, RETURN_SIGN_METHOD) = (uint8_t)signing;
        gReturnModified = 1;
    }
    // The import asks for its file once the new pages are in place.
    if ((choices & START94X_IMPORT) && gMainWindow)
        PostMessageA(gMainWindow, WM_COMMAND, IDM_IMPORTDATA, 0);
    return set;
}
