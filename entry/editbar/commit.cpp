// commit.cpp - the commit road of a page field: a value the edit bar accepted becomes part of the
// return (taxpayer record through the edit rules, the field's value, its repaint, the forms-tree
// caption), then the form is recomputed at once and the whole return later on the worker.
#include "entry/editbar/editbar_private.h"
#include "calc/calc.h"
#include "entry/formstree/formstree.h"   // closes the loop of rooms (entry/entry.h)
#include "pages/pages.h"
#include "prepare/prepare.h"
#include "ui/ui.h"

#include <stdio.h>
#include <string.h>

FormInstance *GetShownPage(void)
{
    return (FormInstance *)GetCurrentDocument(4);
}

void RepaintCommittedField(FieldRecord *field, FormInstance *page)
{
    // Only a field of the page shown is painted (a later commit of another page just stores).
    if (field && (!page || page == GetShownPage()))
        RedrawField(field);
}

void ShowEditRulesRefusal(const char *text)
{
    char message[400];
    if (gEditRulesRefusal)
        snprintf(message, sizeof(message), "%s\r\n\r\nThe field keeps its previous value.", gEditRulesRefusal);
    else
        snprintf(message, sizeof(message),
                 "\"%.60s\" cannot be stored in the return's taxpayer information.\r\n\r\n"
                 "The field keeps its previous value.",
                 text ? text : "");
    ShowMessageBox(gMainWindow, message, "Data Validation Error", MB_ICONEXCLAMATION);
}

int IsComputedOnCommit(const char *typeCode)
{
    if (!typeCode)
        return 0;
    return typeCode[0] == 'x' || (typeCode[0] == 'P' && strlen(typeCode) > 2 && typeCode[2] == 'l');
}

void ComputeCommittedField(FieldRecord *field, FieldTable *table, FormInstance *page)
{
    if (field && table && IsComputedOnCommit(field->typeCode))
        ComputeField(field, table, page);
    if (page)
        RecomputeForm(page);
}

void CommitFieldEntry(EditRequest *request)
{
    if (!request || !request->field)
        return;
    FieldRecord *field = request->field;
    FormInstance *page = request->page ? request->page : GetShownPage();
    FieldTable *table = page && page->fieldTable ? page->fieldTable : request->fieldTable;

    // The worker reads the values this replaces: it ends first (sent messages are handled
    // while waiting for it).
    EndRecomputeWorker();

    int rulesRan = 0;
    if (!request->unchanged) {
        if (request->itemCode[0]) {
            if (!ApplyFieldEditRules(request->itemCode, request->text, gOpenReturnPtr, field->typeCode)) {
                ShowEditRulesRefusal(request->text);
                return;
            }
            rulesRan = 1;
        }
        if (SetFieldText(&field->value, request->text))
            RepaintCommittedField(field, page);
    }
    // The page's header name fields follow a changed taxpayer item.
    if (rulesRan && page && table)
        PropagateFormHeaderName(table, gOpenReturnPtr, page, 0, page == GetShownPage() ? 1 : 0);
    // A taxpayer item stored through the bar changes the names on every page.
    if (request->itemCode[0])
        PropagateTaxpayerChange(gOpenReturnPtr);
    if (page)
        UpdateInfoFormTreeCaption(field, page);
    ComputeCommittedField(field, table, page);
    RequestRecompute(1, NULL);
}
