// describe.h - the main-form page table's descriptions and amounts, return descriptions, the
// explanation of a part's last e-file status, and the end of the e-filing season.
#ifndef LEVYLINE_PREPARE_DESCRIBE_H
#define LEVYLINE_PREPARE_DESCRIBE_H

#include "store/store.h"


// What DescribeReturn tells about one part of the open return.
#define RETURN_KIND_DEPOSIT 'D'   // refund by direct deposit
#define RETURN_KIND_MAIL    'M'   // refund by cheque
#define RETURN_KIND_BALANCE 'B'   // balance due
struct ReturnDescription {
    uint8_t kindLetter;           // RETURN_KIND_*, 0 = no second line (no amount)
    uint8_t jurisdiction;         // 100 federal, 1..51 the state
    char shortText[64];
    char longText[64];            // may be empty
    char secondLabel[64];         // "Refund" or "Balance Due"
    char secondValue[32];         // "$1,640"
};
// Describes part partLetter ('F', 'S', 'O') of the open return from its main-form page (the page
// of treeItem when given, else the first main-form page of that part) and fills description
// (may be null). folderIconSlot is the forms-tree folder's icon slot of the caller (not used).
// Returns 1, or 0 when the return holds no main-form page of that part.
int DescribeReturn(char partLetter, ReturnDescription *description, HTREEITEM treeItem,
                   void *folderIconSlot, int reserved, int flag);
// Describes every main-form page of part partLetter (a file may hold a Form 941 and a Form 1040),
// each by its own form, in forms-tree order, into descriptions (at most most); returns the
// number of main-form pages of the part (0 when none).
int DescribeReturnForms(char partLetter, ReturnDescription *descriptions, int most);

// Explains a part's last e-file status into out (outSize bytes, texts with "%your/your client's%"
// choices). partStatus points into the part block at its sent time (PART_SENT_TIME), followed by
// the status time, status letter, status code, reject letter, form count and message (only the
// bytes up to the end of the block are read). name: the part's name. Returns 1 when out was
// written, 0 (out untouched) for a part never sent or an unknown letter.
int DescribeReturnStatus(const uint8_t *partStatus, char *out, int outSize, const OpenReturn *returnRecord,
                         const char *name, int flag, int isOpenReturn);

// The last day returns of this tax year can be e-filed and the first day that counts as close
// to it (UTC dates).
#define EFILE_SEASON_END_YEAR   2025
#define EFILE_SEASON_END_MONTH  10
#define EFILE_SEASON_END_DAY    15
#define EFILE_LATE_DAYS         5
// code 5: non-zero when a pending part of the return was sent within the last EFILE_LATE_DAYS
// days of the e-filing season (or later). Other codes: 0.
int IsEfileWindowOpen(const OpenReturn *returnRecord, int code, int reserved1, int reserved2, int reserved3);

#endif // LEVYLINE_PREPARE_DESCRIBE_H
