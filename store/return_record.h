// return_record.h - the return master record (OpenReturn), its member offsets and edit times.
// Part of the store's public interface: include store/store.h.
#ifndef LEVYLINE_STORE_RETURN_RECORD_H
#define LEVYLINE_STORE_RETURN_RECORD_H

#include <windows.h>
#include <stdint.h>

// ---- open return record ----
// The return master record and its member offsets (pages, fields and the globals of the open
// return: store/form_model.h; data files: store/packed.h).
// File formats of FormPaks and return files: docs/file-formats.md.

struct FormPakRecord;   // the forms tree's FormPak list entry (ui/ui.h)
struct _TREEITEM;
typedef struct _TREEITEM *HTREEITEM;   // as in <commctrl.h>

// The return master record: 3200 bytes, reached through the RETURN_* offsets below (byte
// positions as stored in the return file). Text members are zero-ended within their size.
#define OPEN_RETURN_SIZE        3200
#define OPEN_RETURN_SIZE_2656   2656   // older layout, recognised by the size word
#define OPEN_RETURN_SIZE_2560   2560   // oldest layout, recognised by the size word
struct OpenReturn {
    uint8_t bytes[OPEN_RETURN_SIZE];
};
static_assert(sizeof(OpenReturn) == 3200, "OpenReturn is 3200 bytes");

#define RETURN_SIZE_WORD          0      // u32: 3200
#define RETURN_LAYOUT_FLAGS       4      // u32: reserved for the layout
// Person blocks (taxpayer at RETURN_TAXPAYER, spouse at RETURN_SPOUSE), 287 bytes each; members
// at PERSON_* offsets from the block start.
#define RETURN_TAXPAYER           8
#define RETURN_SPOUSE             295
#define PERSON_BLOCK_SIZE         287
#define PERSON_SSN                0      // char[12] identification number
#define PERSON_FIRST_NAME         12     // char[21]
#define PERSON_MIDDLE_NAME        33     // char[21]
#define PERSON_LAST_NAME          54     // char[21]
#define PERSON_SUFFIX             75     // char[4]  ("Jr", the member after the last name)
#define PERSON_TITLE              79     // char[5]  ("Dr")
#define PERSON_BIRTH_DATE         84     // char[11] mm/dd/yyyy
#define PERSON_DEATH_DATE         95     // char[11] mm/dd/yyyy
#define PERSON_AGI                106    // char[13] this year's adjusted gross income
#define PERSON_PRIOR_AGI          119    // char[13] prior-year AGI
#define PERSON_IP_PIN             132    // char[13] identity-protection PIN
#define PERSON_PRIOR_PIN          145    // char[13] prior-year PIN
#define PERSON_SELF_PIN           158    // char[12] self-select PIN
#define PERSON_SELF_PIN_FLAG      170    // u8: 1 = self-select PIN used
#define PERSON_SIGN_DATE          171    // char[11] signature date
#define PERSON_PHONE              182    // char[15] daytime phone
#define PERSON_OCCUPATION         197    // char[40]
#define PERSON_EMAIL              237    // char[50]
// Return-level members.
#define RETURN_NAME_LINE          582    // char[50] taxpayer and spouse joined, or the business name
#define RETURN_IN_CARE_OF         632    // char[36]
#define RETURN_ADDRESS_KIND       668    // u8: '3' non-US address, else US
#define RETURN_STREET             670    // char[36]
#define RETURN_CITY               706    // char[36]
#define RETURN_STATE              742    // char[3]  US state abbreviation
#define RETURN_ZIP                745    // char[11] US ZIP code
#define RETURN_PROVINCE           756    // char[17] non-US province or state
#define RETURN_COUNTRY            773    // char[36] non-US country
#define RETURN_POSTAL_CODE        809    // char[18] non-US postal code
#define RETURN_PHONE              827    // char[13] phone of the return
#define RETURN_APARTMENT          840    // char[21] apartment (US address; cleared for non-US)
#define RETURN_FOREIGN_APARTMENT  861    // char[21] apartment or suite of a non-US address
#define RETURN_CONTACT_NAME       882    // char[36] contact person
#define RETURN_FILING_STATUS      918    // char[2] "1".."5" ("" = not chosen)
#define RETURN_DEPENDENT_FLAG     920    // char[2] "X" when the taxpayer can be claimed as a dependent
#define RETURN_EIN                1004   // char[12] employer identification number
#define RETURN_EMAIL              1016   // char[64] e-mail address
#define RETURN_TRACKING_NUMBER    1080   // char[14], 14 x 0xB1 = not yet assigned (no terminator)
#define RETURN_TRACKING_LENGTH    14
#define TRACKING_UNASSIGNED_BYTE  0xB1
#define RETURN_PART_PRESENT       1094   // u8[3]: federal, state, other part present
#define RETURN_TRANSMISSION       1098   // 14-byte transmission block (before the federal part block)
#define RETURN_TRANSMISSION_SIZE  14
// Part blocks: federal, state, other; 264 bytes apart; members at PART_* offsets.
#define RETURN_PART_FEDERAL       1112
#define RETURN_PART_STATE         1376
#define RETURN_PART_OTHER         1640
#define PART_BLOCK_SIZE           264
#define PART_CODE                 0      // char[6]: state or return code text, 4 characters ("MN", "940X")
#define PART_TAX_YEAR             6      // u16
#define PART_SENT_TIME            8      // SYSTEMTIME (UTC)
#define PART_STATUS_TIME          24     // SYSTEMTIME (UTC); for an accepted part the acceptance time
#define PART_STATUS_LETTER        40     // u8: 'A' accepted, 'P' pending, 'R' rejected, 0 never sent
#define PART_STATUS_CODE          41     // u8
#define PART_REJECT_LETTER        42     // u8
#define PART_FORM_COUNT           44     // u16
#define PART_MESSAGE              46     // char[218]
#define RETURN_BUSINESS_NAME      1904   // char[72] business name
#define RETURN_IDENTITY           1976   // char[40] return identity text
#define RETURN_TRADE_NAME         2016   // char[72] trade name ("doing business as")
#define RETURN_SIGNER_NAME        2088   // char[40] business signer's name
#define RETURN_SIGNER_TITLE       2128   // char[40] business signer's title
#define RETURN_BUSINESS_PHONE     2168   // char[16]
// 2184..3199: spare (zero).

// Access to the record through the offsets (no alignment assumed).
inline char *ReturnText(OpenReturn *r, int offset) { return (char *)r->bytes + offset; }
inline uint8_t *ReturnBytes(OpenReturn *r, int offset) { return r->bytes + offset; }
uint16_t GetReturnU16(const OpenReturn *r, int offset);
uint32_t GetReturnU32(const OpenReturn *r, int offset);
void SetReturnU16(OpenReturn *r, int offset, uint16_t value);
void SetReturnU32(OpenReturn *r, int offset, uint32_t value);
// Copies text into the member at offset of size bytes (cut, always zero-ended); 1 when it fit.
int SetReturnText(OpenReturn *r, int offset, int size, const char *text);
// The size of the text member at offset (0 for an offset that is not a text member).
int GetReturnMemberSize(int offset);
// Zero-fills the record, sets its size word and the "not assigned" tracking number.
void InitOpenReturn(OpenReturn *r);

// ---- edit bar: part edit times ----
// When a 'U' or 'K' field of a part's main-form page (or "Form 8888.1") last changed: one
// SYSTEMTIME (UTC) per part block, in the spare area of the return record, apart from the
// part blocks' sent and status times.
#define RETURN_EDIT_TIME_FEDERAL  2184
#define RETURN_EDIT_TIME_STATE    2200
#define RETURN_EDIT_TIME_OTHER    2216
// How an employment-tax return will be signed, as chosen when it was started: 0x10 signature PIN,
// 0x20 Form 8453-EMP, 0x40 Practitioner PIN, 0x80 Reporting Agent PIN (0 = not chosen).
#define RETURN_SIGN_METHOD        2232   // u8

#endif // LEVYLINE_STORE_RETURN_RECORD_H
