// editbar_layout.cpp - where the edit bar goes: over the field, on its bottom line when the
// field is taller than the bar, kept inside the requester's client area, with one row per part
// and a choice box beside each row when there are several.
#include "entry/editbar/editbar_private.h"

#include <string.h>

int ComputeEditBarPlacement(const RECT *fieldRect, const RECT *clientScreen, int partCount, int partWidth,
                            int partHeight, int boxWidth, int boxHeight, EditBarPlacement *out)
{
    if (!fieldRect || !out || partCount < 1 || partCount > EDITBAR_MAX_PARTS)
        return 0;
    memset(out, 0, sizeof(*out));
    int several = partCount > 1;
    int totalHeight = partCount * partHeight + (several ? 4 * partCount + 4 : 0);
    int x = fieldRect->left;
    int y = fieldRect->top;
    // A bar no taller than the field sits on the field's bottom line.
    if (totalHeight <= fieldRect->bottom - fieldRect->top)
        y = fieldRect->bottom - totalHeight + 1;
    int width = several ? partWidth + 21 + boxWidth : partWidth;

    // Inside the requester's client area, 10 pixels from the edge it would cross.
    if (clientScreen) {
        if (x < clientScreen->left)
            x += clientScreen->left - x + 10;
        else if (x + width + 10 > clientScreen->right)
            x -= x + width + 10 - clientScreen->right;
    }

    out->x = x;
    out->y = y;
    out->width = width;
    out->height = totalHeight;
    out->rowX = several ? 14 + boxWidth : 0;
    for (int i = 0; i < partCount; i++) {
        out->rowY[i] = several ? 4 + i * (partHeight + 4) : 0;
        out->boxY[i] = several ? (partHeight - boxHeight) / 2 + 4 + i * (partHeight + 4) : 0;
    }
    return 1;
}
