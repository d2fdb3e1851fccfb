// efile_sheet.h - the values of the e-file information sheet's taxpayer and e-file option pages:
// which member of the return record each entry shows and how an accepted sheet is stored.
// Part of prepare.h.
#ifndef LEVYLINE_PREPARE_EFILE_SHEET_H
#define LEVYLINE_PREPARE_EFILE_SHEET_H

#include "store/store.h"

// The entries of the sheet, in page order.
enum EfileSheetSlot {
    EFS_TP_FIRST = 0, EFS_TP_MIDDLE, EFS_TP_LAST, EFS_TP_SUFFIX, EFS_TP_SSN,
    EFS_SP_FIRST, EFS_SP_MIDDLE, EFS_SP_LAST, EFS_SP_SUFFIX, EFS_SP_SSN,
    EFS_EMAIL, EFS_PHONE,
    EFS_STREET, EFS_APARTMENT, EFS_CITY, EFS_STATE, EFS_ZIP, EFS_PROVINCE, EFS_POSTAL_CODE, EFS_COUNTRY,
    // page 1: PINs and options
    EFS_TP_PIN, EFS_SP_PIN, EFS_TP_PRIOR_AGI, EFS_SP_PRIOR_AGI, EFS_TP_PRIOR_PIN, EFS_SP_PRIOR_PIN,
    EFS_SLOT_COUNT
};
#define EFS_TEXT_SIZE 128
#define EFS_FIRST_PAGE1_SLOT EFS_TP_PIN

struct EfileSheetValues {
    char text[EFS_SLOT_COUNT][EFS_TEXT_SIZE];
    int foreignAddress;      // 1: a non-US address (record address kind '3')
    int useSelfSelectPin;    // the self-select PIN is used to sign (both persons)
};

// The entry's label ("First name" ...) and the page it is on (0 or 1).
const char *GetEfileSheetLabel(int slot);
int GetEfileSheetPage(int slot);
// 1 when the entry belongs to the address kind not chosen (US entries of a non-US address and
// the other way round): it is hidden and stored empty.
int IsEfileSheetSlotUnused(int slot, int foreignAddress);
// Fills values from the record.
void ReadEfileSheetValues(OpenReturn *record, EfileSheetValues *values);
// Stores values into the record under the edit rules of their taxpayer items; the entries of the
// address kind not chosen are emptied. All are tried on a copy first: when one is refused the
// record is left untouched, *refusedSlot (may be null) names it and 0 is returned. 1 when stored.
int ApplyEfileSheetValues(OpenReturn *record, const EfileSheetValues *values, int *refusedSlot);

#endif // LEVYLINE_PREPARE_EFILE_SHEET_H
