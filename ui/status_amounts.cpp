// status_amounts.cpp - the refund and balance-due amounts of the status bar: one text per main
// form of the open return (federal, then state, then other), each form described by itself,
// so that a file holding a Form 941 and a Form 1040 shows the amounts of both.
#include "ui/ui.h"
#include "prepare/prepare.h"

#include <stdio.h>
#include <string.h>

#define STATUS_FORMS_PER_PART 4

int FormatStatusAmountTexts(char texts[][STATUS_AMOUNT_TEXT_SIZE], int most)
{
    static const struct {
        char letter;
        const char *name;
    } kParts[] = {{'F', "Federal"}, {'S', "State"}, {'O', "Other"}};
    int count = 0;
    for (size_t p = 0; p < sizeof kParts / sizeof kParts[0]; p++) {
        ReturnDescription forms[STATUS_FORMS_PER_PART];
        int found = DescribeReturnForms(kParts[p].letter, forms, STATUS_FORMS_PER_PART);
        if (found > STATUS_FORMS_PER_PART)
            found = STATUS_FORMS_PER_PART;
        for (int i = 0; i < found && count < most; i++, count++) {
            // One main form of the part is named by its part, several by their own names.
            const char *name = found == 1 ? kParts[p].name : forms[i].shortText;
            if (forms[i].kindLetter)
                snprintf(texts[count], STATUS_AMOUNT_TEXT_SIZE, "%s %s: %s", name, forms[i].secondLabel,
                         forms[i].secondValue);
            else
                snprintf(texts[count], STATUS_AMOUNT_TEXT_SIZE, "%s: $0", name);
        }
    }
    return count;
}

int RefreshStatusAmountParts(void)
{
    if (!gStatusBar)
        return 0;
    // The status bar's first amount pane shows the first form's amount, the second the others'.
    char texts[8][STATUS_AMOUNT_TEXT_SIZE];
    int count = FormatStatusAmountTexts(texts, 8);
    char rest[4 * STATUS_AMOUNT_TEXT_SIZE] = "";
    for (int i = 1; i < count; i++) {
        if (i > 1)
            AppendTextBounded(rest, sizeof rest, ", ");
        AppendTextBounded(rest, sizeof rest, texts[i]);
    }
    SetStatusPartText(gStatusBar, 1, 0, count ? texts[0] : "", NULL);
    SetStatusPartText(gStatusBar, 2, 0, rest, NULL);
    // The amount parts take the widths their new texts need.
    return LayoutStatusBarParts(gStatusBar, GetParent(gStatusBar));
}
