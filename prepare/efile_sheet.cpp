// efile_sheet.cpp - the values behind the e-file information sheet's taxpayer and e-file option
// pages, read from and stored into the return record through the taxpayer items' edit rules.
#include "prepare/prepare.h"

#include <stdio.h>
#include <string.h>

struct EfileSheetRow {
    const char *label;
    const char *itemCode;    // the taxpayer item ("1b"); null: stored directly at offset
    int offset;              // direct members only
    int size;
    int page;
    int addressKind;         // 0 both, 1 US only, 2 non-US only
};

static const EfileSheetRow kRows[EFS_SLOT_COUNT] = {
    {"First name", "1b", 0, 0, 0, 0},
    {"Middle name", "1c", 0, 0, 0, 0},
    {"Last name", "1d", 0, 0, 0, 0},
    {"Suffix", "1t", 0, 0, 0, 0},
    {"SSN", "1a", 0, 0, 0, 0},
    {"First name", "2b", 0, 0, 0, 0},
    {"Middle name", "2c", 0, 0, 0, 0},
    {"Last name", "2d", 0, 0, 0, 0},
    {"Suffix", "2t", 0, 0, 0, 0},
    {"SSN", "2a", 0, 0, 0, 0},
    {"E-mail address", "8", 0, 0, 0, 0},
    {"Phone", "1s", 0, 0, 0, 0},
    {"Street address", "1m", 0, 0, 0, 0},
    {"Apt./Suite", NULL, 0, 21, 0, 0},   // US: RETURN_APARTMENT; non-US: RETURN_FOREIGN_APARTMENT
    {"City", "1h", 0, 0, 0, 0},
    {"State", "1i", 0, 0, 0, 1},
    {"ZIP code", "1j", 0, 0, 0, 1},
    {"Province/State", "1p", 0, 0, 0, 2},
    {"Postal code", "1r", 0, 0, 0, 2},
    {"Country", "1l", 0, 0, 0, 2},
    {"Taxpayer's self-select PIN", "1z", 0, 0, 1, 0},
    {"Spouse's self-select PIN", "2z", 0, 0, 1, 0},
    {"Taxpayer's prior-year AGI", "1w", 0, 0, 1, 0},
    {"Spouse's prior-year AGI", "2w", 0, 0, 1, 0},
    {"Taxpayer's prior-year PIN", "1x", 0, 0, 1, 0},
    {"Spouse's prior-year PIN", "2x", 0, 0, 1, 0},
};

const char *GetEfileSheetLabel(int slot)
{
    return slot >= 0 && slot < EFS_SLOT_COUNT ? kRows[slot].label : "";
}

int GetEfileSheetPage(int slot)
{
    return slot >= 0 && slot < EFS_SLOT_COUNT ? kRows[slot].page : 0;
}

int IsEfileSheetSlotUnused(int slot, int foreignAddress)
{
    if (slot < 0 || slot >= EFS_SLOT_COUNT)
        return 1;
    int kind = kRows[slot].addressKind;
    return (kind == 1 && foreignAddress) || (kind == 2 && !foreignAddress);
}

static int GetApartmentOffset(int foreignAddress)
{
    return foreignAddress ? RETURN_FOREIGN_APARTMENT : RETURN_APARTMENT;
}

void ReadEfileSheetValues(OpenReturn *record, EfileSheetValues *values)
{
    memset(values, 0, sizeof *values);
    if (!record)
        return;
    values->foreignAddress = ReturnBytes(record, RETURN_ADDRESS_KIND)[0] == '3';
    values->useSelfSelectPin = ReturnBytes(record, RETURN_TAXPAYER + PERSON_SELF_PIN_FLAG)[0] != 0;
    for (int slot = 0; slot < EFS_SLOT_COUNT; slot++) {
        const EfileSheetRow *row = &kRows[slot];
        char *out = values->text[slot];
        if (slot == EFS_APARTMENT) {
            snprintf(out, EFS_TEXT_SIZE, "%.*s", row->size - 1,
                     ReturnText(record, GetApartmentOffset(values->foreignAddress)));
            continue;
        }
        TaxpayerItemInfo info;
        char kind = row->itemCode[0];
        char letter = (kind == '1' || kind == '2') ? row->itemCode[1] : 0;
        if (GetTaxpayerItemInfo(kind, letter, &info))
            snprintf(out, EFS_TEXT_SIZE, "%.*s", info.size - 1, ReturnText(record, info.offset));
    }
}

// Stores every entry into record; 0 (with the slot) when the edit rules refuse one.
static int StoreValues(OpenReturn *record, const EfileSheetValues *values, int *refusedSlot)
{
    int foreign = values->foreignAddress ? 1 : 0;
    for (int slot = 0; slot < EFS_SLOT_COUNT; slot++) {
        const char *text = IsEfileSheetSlotUnused(slot, foreign) ? "" : values->text[slot];
        if (slot == EFS_APARTMENT) {
            char apartment[EFS_TEXT_SIZE];
            snprintf(apartment, sizeof apartment, "%s", text);
            TrimSpaces(apartment);
            if (strlen(apartment) >= (size_t)kRows[slot].size) {
                *refusedSlot = slot;
                return 0;
            }
            SetReturnText(record, GetApartmentOffset(foreign), kRows[slot].size, apartment);
            SetReturnText(record, GetApartmentOffset(!foreign), kRows[slot].size, "");
            continue;
        }
        if (!ApplyFieldEditRules(kRows[slot].itemCode, text, record, NULL)) {
            *refusedSlot = slot;
            return 0;
        }
    }
    ReturnBytes(record, RETURN_ADDRESS_KIND)[0] = foreign ? '3' : 0;
    // The self-select PIN signs only when one is entered.
    for (int person = 0; person < 2; person++) {
        int block = person ? RETURN_SPOUSE : RETURN_TAXPAYER;
        ReturnBytes(record, block + PERSON_SELF_PIN_FLAG)[0] =
            values->useSelfSelectPin && ReturnText(record, block + PERSON_SELF_PIN)[0] ? 1 : 0;
    }
    return 1;
}

int ApplyEfileSheetValues(OpenReturn *record, const EfileSheetValues *values, int *refusedSlot)
{
    int refused = -1;
    if (refusedSlot)
        *refusedSlot = -1;
    if (!record || !values)
        return 0;
    OpenReturn *trial = (OpenReturn *)MemAlloc(64, sizeof(OpenReturn));
    if (!trial)
        return 0;
    memcpy(trial, record, sizeof(OpenReturn));
    int stored = StoreValues(trial, values, &refused);
    if (stored)
        memcpy(record, trial, sizeof(OpenReturn));
    else if (refusedSlot)
        *refusedSlot = refused;
    MemFree(trial);
    return stored;
}
