// status_amounts.cpp - the refund and balance-due amounts of the status bar: part 1 the federal
// return's, part 2 the state return's (else the other return's), from the main-form pages'
// amounts as DescribeReturn reads them.
#include "ui/ui.h"
#include "prepare/prepare.h"

#include <stdio.h>
#include <string.h>

int FormatStatusAmountText(char partLetter, char *out, int outSize)
{
    static const struct {
        char letter;
        const char *name;
    } kNames[] = {{'F', "Federal"}, {'S', "State"}, {'O', "Other"}};
    if (!out || outSize <= 0)
        return 0;
    out[0] = 0;
    ReturnDescription description;
    if (!DescribeReturn(partLetter, &description, NULL, NULL, 0, 0))
        return 0;
    const char *name = "";
    for (size_t i = 0; i < sizeof kNames / sizeof kNames[0]; i++)
        if (kNames[i].letter == partLetter)
            name = kNames[i].name;
    if (description.kindLetter)
        snprintf(out, (size_t)outSize, "%s %s: %s", name, description.secondLabel, description.secondValue);
    else
        snprintf(out, (size_t)outSize, "%s: $0", name);
    return 1;
}

int RefreshStatusAmountParts(void)
{
    if (!gStatusBar)
        return 0;
    char federal[128], state[128];
    FormatStatusAmountText('F', federal, sizeof federal);
    if (!FormatStatusAmountText('S', state, sizeof state))
        FormatStatusAmountText('O', state, sizeof state);
    SetStatusPartText(gStatusBar, 1, 0, federal, NULL);
    SetStatusPartText(gStatusBar, 2, 0, state, NULL);
    return 1;
}
