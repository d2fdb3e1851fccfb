// taxpayer_items.cpp - the taxpayer items of 'T' type codes: which member of the return record
// each item names, how it is typed, and 'P' (preparer) sub-letters.
#include "calc/calc.h"

#include <string.h>

// Validation kinds (the codes of GetFieldEntryKind).
enum {
    KIND_NONE = 0, KIND_ADDRESS = 1, KIND_TEXT = 4, KIND_ALPHA = 6, KIND_ANY = 8, KIND_STATE = 10,
    KIND_ZIP = 11, KIND_SSN = 14, KIND_AMOUNT = 16, KIND_PIN = 22, KIND_ALNUM = 24, KIND_PHONE = 25,
    KIND_PTIN = 27, KIND_CHECK = 28, KIND_DATE = 21, KIND_EIN = 31
};

struct TaxpayerItemRow {
    char kindChar;     // '1' = either person (kinds '1' and '2'), else the kind character
    char itemLetter;
    int offset;        // person items: offset in the person block; others: in the record
    int size;
    int kind;
    int subkind;
    char baseLetter;
    int perReturn;
};

// The item table. Person items carry block offsets; return-level items of kinds '1'/'2' and
// the kinds '0', '3'..'8' carry record offsets.
static const TaxpayerItemRow kTaxpayerItems[] = {
    {'1', 'a', PERSON_SSN, 12, KIND_SSN, 0, 'N', 0},
    {'1', 'b', PERSON_FIRST_NAME, 21, KIND_TEXT, 0, 'i', 0},
    {'1', 'c', PERSON_MIDDLE_NAME, 21, KIND_TEXT, 0, 'i', 0},
    {'1', 'd', PERSON_LAST_NAME, 21, KIND_TEXT, 0, 'i', 0},
    {'1', 't', PERSON_SUFFIX, 4, KIND_ALPHA, 0, 'A', 0},
    {'1', 'k', PERSON_OCCUPATION, 40, KIND_TEXT, 0, 'f', 0},
    {'1', 'u', PERSON_DEATH_DATE, 11, KIND_DATE, 0, 'D', 0},
    {'1', 'v', PERSON_AGI, 13, KIND_AMOUNT, 0, 'N', 0},
    {'1', 'w', PERSON_PRIOR_AGI, 13, KIND_AMOUNT, 0, 'N', 0},
    {'1', 'x', PERSON_PRIOR_PIN, 13, KIND_PIN, 0, 'N', 0},
    {'1', 'y', PERSON_BIRTH_DATE, 11, KIND_DATE, 0, 'D', 0},
    {'1', 'z', PERSON_SELF_PIN, 12, KIND_PIN, 0, 'N', 0},
    {'1', 'f', RETURN_STREET, 36, KIND_ADDRESS, 0, 'j', 1},
    {'1', 'g', RETURN_APARTMENT, 21, KIND_ADDRESS, 0, 'j', 1},
    {'1', 'h', RETURN_CITY, 36, KIND_TEXT, 0, 'f', 1},
    {'1', 'n', RETURN_CITY, 36, KIND_TEXT, 0, 'f', 1},
    {'1', 'i', RETURN_STATE, 3, KIND_STATE, STATE_GROUP_STATES, 's', 1},
    {'1', 'j', RETURN_ZIP, 11, KIND_ZIP, 0, 'Z', 1},
    {'1', 'l', RETURN_COUNTRY, 36, KIND_TEXT, 0, 'f', 1},
    {'1', 'm', RETURN_STREET, 36, KIND_ADDRESS, 0, 'j', 1},
    {'1', 'o', RETURN_IN_CARE_OF, 36, KIND_ADDRESS, 0, 'j', 1},
    {'1', 'p', RETURN_PROVINCE, 17, KIND_TEXT, 0, 'f', 1},
    {'1', 'r', RETURN_POSTAL_CODE, 18, KIND_ALNUM, 0, 'K', 1},
    {'1', 's', RETURN_PHONE, 13, KIND_PHONE, 0, 't', 1},
    {'1', '!', RETURN_FILING_STATUS, 2, KIND_NONE, 0, 'V', 1},
    {'1', '@', RETURN_DEPENDENT_FLAG, 2, KIND_CHECK, 0, 'X', 1},
    {'0', 0, RETURN_NAME_LINE, 50, KIND_ANY, 0, '*', 1},
    {'3', 0, RETURN_EIN, 12, KIND_EIN, 0, 'm', 1},
    {'4', 0, RETURN_TRADE_NAME, 72, KIND_ANY, 0, '*', 1},
    {'5', 0, RETURN_SIGNER_NAME, 40, KIND_TEXT, 0, 'i', 1},
    {'6', 0, RETURN_SIGNER_TITLE, 40, KIND_TEXT, 0, 'f', 1},
    {'7', 0, RETURN_BUSINESS_PHONE, 16, KIND_PHONE, 0, 't', 1},
    {'8', 0, RETURN_EMAIL, 64, KIND_ANY, 0, '*', 1},
};

int GetTaxpayerItemInfo(char kindChar, char itemLetter, TaxpayerItemInfo *infoOut)
{
    int person = (kindChar == '1' || kindChar == '2');
    for (size_t i = 0; i < sizeof kTaxpayerItems / sizeof kTaxpayerItems[0]; i++) {
        const TaxpayerItemRow *row = &kTaxpayerItems[i];
        if (person) {
            if (row->kindChar != '1' || row->itemLetter != itemLetter)
                continue;
        } else if (row->kindChar != kindChar) {
            continue;
        }
        if (infoOut) {
            infoOut->kindChar = kindChar;
            infoOut->itemLetter = person ? itemLetter : 0;
            infoOut->offset = row->perReturn ? row->offset
                              : (kindChar == '2' ? RETURN_SPOUSE : RETURN_TAXPAYER) + row->offset;
            infoOut->size = row->size;
            infoOut->kind = row->kind;
            infoOut->subkind = row->subkind;
            infoOut->baseLetter = row->baseLetter;
            infoOut->perReturn = row->perReturn;
        }
        return 1;
    }
    return 0;
}

// The text member at offset of size bytes: a pointer into the record, which is kept zero-ended
// within the member.
static const char *MemberText(OpenReturn *record, int offset, int size)
{
    char *text = ReturnText(record, offset);
    text[size - 1] = 0;
    return text;
}

// The apartment of the return's address: a non-US address keeps it in a slot of its own.
static int GetApartmentOffset(OpenReturn *record)
{
    return ReturnBytes(record, RETURN_ADDRESS_KIND)[0] == '3' ? RETURN_FOREIGN_APARTMENT : RETURN_APARTMENT;
}

static int EndsWithNoCase(const char *text, const char *tail)
{
    size_t n = strlen(text), m = strlen(tail);
    return m <= n && _stricmp(text + n - m, tail) == 0;
}

int ParseTaxpayerFieldType(char itemLetter, const FieldFormatPart *part, const char *bracketText,
                           int *kindOut, int *subkindOut, OpenReturn *record,
                           const char **values, char **memberOut, int *memberSizeOut)
{
    char kindChar = part ? part->taxKind : 0;
    char flag = part ? part->itemFlag : 0;
    if (!kindChar && bracketText && bracketText[0]) {
        kindChar = bracketText[0];
        if (!itemLetter && bracketText[1])
            itemLetter = bracketText[1];
        if (!flag && bracketText[1])
            flag = bracketText[2];
    }
    if (!itemLetter && part)
        itemLetter = part->itemLetter;
    if ((kindChar == '1' || kindChar == '2') && (itemLetter < 33 || itemLetter > 122))
        return 0;
    TaxpayerItemInfo info;
    if (!GetTaxpayerItemInfo(kindChar, itemLetter, &info))
        return 0;
    if (kindOut)
        *kindOut = info.kind;
    if (subkindOut)
        *subkindOut = info.subkind;
    if (record && info.perReturn && info.offset == RETURN_APARTMENT)
        info.offset = GetApartmentOffset(record);
    if (memberOut)
        *memberOut = record ? ReturnText(record, info.offset) : NULL;
    if (memberSizeOut)
        *memberSizeOut = info.size;
    if (values) {
        values[0] = values[1] = values[2] = NULL;
    }
    if (!record)
        return 1;
    int count = 1;
    const char *main = MemberText(record, info.offset, info.size);
    const char *extra = NULL;
    int block = kindChar == '2' ? RETURN_SPOUSE : RETURN_TAXPAYER;
    if ((kindChar == '1' || kindChar == '2') && flag) {
        if (itemLetter == 'b' && flag == 'c')
            extra = MemberText(record, block + PERSON_MIDDLE_NAME, 21);
        else if (itemLetter == 'd' && flag == 'e')
            extra = MemberText(record, block + PERSON_SUFFIX, 4);
        else if (itemLetter == 'f' && flag == 'g') {
            extra = MemberText(record, GetApartmentOffset(record), 21);
            if (*extra && EndsWithNoCase(main, extra))
                extra = NULL;   // the street already ends with the apartment
        }
        if (extra && !*extra)
            extra = NULL;
    }
    if (values) {
        values[0] = main;
        if (extra)
            values[1] = extra;
    }
    if (extra)
        count = 2;
    return count;
}

// 'P' parts: preparer and e-file values, by sub-letter.
struct PTypeRow {
    char subLetter;
    int kind;
    int subkind;
};
static const PTypeRow kPTypes[] = {
    {'a', KIND_PTIN, 0},    // preparer tax identification number
    {'b', KIND_ANY, 0},     // firm name
    {'c', KIND_EIN, 0},     // firm EIN
    {'d', KIND_DATE, 0},    // date
    {'e', KIND_ANY, 0},     // e-mail
    {'f', KIND_ADDRESS, 0}, // street address
    {'h', KIND_TEXT, 0},    // city
    {'i', KIND_STATE, STATE_GROUP_STATES},
    {'j', KIND_ZIP, 0},
    {'l', KIND_CHECK, 0},   // computed check mark (self-employed)
    {'n', KIND_TEXT, 0},    // preparer name
    {'p', KIND_PIN, 0},     // practitioner PIN
    {'s', KIND_SSN, 0},     // preparer SSN
    {'t', KIND_PHONE, 0},   // phone
};

int ParsePTypeCode(char subLetter, const FieldFormatPart *part, const char *bracketText,
                   int *kindOut, int *subkindOut)
{
    if (!subLetter) {
        if (part && part->bracket[0])
            subLetter = part->bracket[0];
        else if (bracketText)
            subLetter = bracketText[0];
    }
    for (size_t i = 0; i < sizeof kPTypes / sizeof kPTypes[0]; i++) {
        if (kPTypes[i].subLetter == subLetter) {
            if (kindOut)
                *kindOut = kPTypes[i].kind;
            if (subkindOut)
                *subkindOut = kPTypes[i].subkind;
            return 1;
        }
    }
    return 0;
}
