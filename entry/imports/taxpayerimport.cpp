// taxpayerimport.cpp - copying the basic taxpayer data (identity, names, address, e-file signature
// values) from another return's record, and converting records of the older layouts.
#include "entry/imports/imports.h"
#include "ui/ui.h"

#include <stdio.h>
#include <string.h>

// One text member of the current layout and where the older layouts keep it (-1: not there).
struct TaxpayerImportField {
    int current;      // byte position in the current (3200-byte) record
    int size;         // size of the member in the current record
    int from2656;     // source position in a 2656-byte record
    int from2560;     // source position in a 2560-byte record
};

// Members of a person block (positions within the block; older layouts give the taxpayer's
// positions, the spouse's follow from gSpousePersonFields).
static const TaxpayerImportField gTaxpayerPersonFields[] = {
    {PERSON_SSN,          12,   8,    8},
    {PERSON_FIRST_NAME,   21,  20,   20},
    {PERSON_MIDDLE_NAME,  21,  45,   45},
    {PERSON_LAST_NAME,    21,  70,   70},
    {PERSON_SUFFIX,        4,  95,   95},
    {PERSON_TITLE,         5, 105,  105},
    {PERSON_BIRTH_DATE,   11, 450,  450},
    {PERSON_DEATH_DATE,   11, 506,  506},
    {PERSON_AGI,          13, 461,  461},
    {PERSON_OCCUPATION,   40, 467,  467},
};
static const TaxpayerImportField gSpousePersonFields[] = {
    {PERSON_SSN,          12, 537,  537},
    {PERSON_FIRST_NAME,   21, 549,  549},
    {PERSON_MIDDLE_NAME,  21, 574,  574},
    {PERSON_LAST_NAME,    21, 599,  599},
    {PERSON_SUFFIX,        4, 624,  624},
    {PERSON_TITLE,         5, 634,  634},
    {PERSON_BIRTH_DATE,   11, 979,  979},
    {PERSON_DEATH_DATE,   11, 1035, 1035},
    {PERSON_AGI,          13, 990,  990},
    {PERSON_OCCUPATION,   40, 996,  996},
};

// Return-level members taken whatever the address kind.
static const TaxpayerImportField gReturnFields[] = {
    {RETURN_NAME_LINE,    50, 1106, 1106},
    {RETURN_IN_CARE_OF,   36,  110,  110},
    {RETURN_STREET,       36,  148,  148},
    {RETURN_CITY,         36,  184,  184},
    {RETURN_PHONE,        13,  305,  236},
    {RETURN_APARTMENT,    21,  341,  341},
    {RETURN_CONTACT_NAME, 36,  362,  362},
    {RETURN_EIN,          12,   -1,   -1},
    {RETURN_EMAIL,        64,   -1,   -1},
};

// Address members of a US address.
static const TaxpayerImportField gUsAddressFields[] = {
    {RETURN_STATE,         3,  220,  220},
    {RETURN_ZIP,          11,  223,  223},
};

// Address members of a non-US address (the oldest layout has none).
static const TaxpayerImportField gForeignAddressFields[] = {
    {RETURN_PROVINCE,     17,  234,   -1},
    {RETURN_COUNTRY,      36,  251,   -1},
    {RETURN_POSTAL_CODE,  18,  287,   -1},
    {RETURN_FOREIGN_APARTMENT, 21, 320, -1},
};

// Where a layout keeps one person's signature values and the values they are derived from.
struct TaxpayerSignatureSource {
    int priorAgi;     // prior-year AGI
    int priorPin;     // prior-year PIN
    int selfPin;      // self-select PIN
    int agi;          // this year's AGI
};

// The source's layout: its size word, when it is one of the three known sizes; 0 otherwise.
// The record carries no separate length, so only a known size word is trusted, and no read
// goes past that size.
static uint32_t GetImportSourceSize(const void *source)
{
    if (!source)
        return 0;
    uint32_t size;
    memcpy(&size, source, 4);
    if (size != OPEN_RETURN_SIZE && size != OPEN_RETURN_SIZE_2656 && size != OPEN_RETURN_SIZE_2560)
        return 0;
    return size;
}

// The source position of a field in the layout of sourceSize, -1 when that layout lacks it.
static int GetImportSourcePosition(const TaxpayerImportField *field, int base, uint32_t sourceSize)
{
    if (sourceSize == OPEN_RETURN_SIZE)
        return base + field->current;
    return sourceSize == OPEN_RETURN_SIZE_2656 ? field->from2656 : field->from2560;
}

// Copies the zero-ended text at sourcePos into the member at destPos of destSize bytes: cut to
// fit, always zero-ended, the rest of the member zeroed; never reads past the source record.
static void CopyImportText(OpenReturn *destination, int destPos, int destSize,
                           const uint8_t *source, uint32_t sourceSize, int sourcePos)
{
    uint8_t *dst = destination->bytes + destPos;
    memset(dst, 0, destSize);
    if (sourcePos < 0)
        return;
    for (int i = 0; i < destSize - 1 && (uint32_t)(sourcePos + i) < sourceSize; i++) {
        if (!source[sourcePos + i])
            break;
        dst[i] = source[sourcePos + i];
    }
}

// Copies a table of fields; base is added to the current positions (a person block's start).
static void CopyImportFields(OpenReturn *destination, const uint8_t *source, uint32_t sourceSize,
                             const TaxpayerImportField *fields, int count, int destBase, int sourceBase)
{
    for (int i = 0; i < count; i++) {
        int from = GetImportSourcePosition(&fields[i], sourceBase, sourceSize);
        if (from < 0)
            continue;   // the older layout does not have it: the destination keeps its value
        CopyImportText(destination, destBase + fields[i].current, fields[i].size, source, sourceSize, from);
    }
}

static TaxpayerSignatureSource GetSignatureSource(uint32_t sourceSize, int spouse)
{
    TaxpayerSignatureSource s;
    if (sourceSize == OPEN_RETURN_SIZE) {
        int base = spouse ? RETURN_SPOUSE : RETURN_TAXPAYER;
        s.priorAgi = base + PERSON_PRIOR_AGI;
        s.priorPin = base + PERSON_PRIOR_PIN;
        s.selfPin = base + PERSON_SELF_PIN;
        s.agi = base + PERSON_AGI;
    } else if (!spouse) {
        s.priorAgi = 99;
        s.priorPin = 424;
        s.selfPin = 437;
        s.agi = 461;
    } else {
        s.priorAgi = 628;
        s.priorPin = 953;
        s.selfPin = 966;
        s.agi = 990;
    }
    return s;
}

// The e-file signature values of both persons. A return of this year gives them as they are; a
// return of the year before gives its AGI as the prior-year AGI and its self-select PIN as the
// prior-year PIN, and the self-select PIN is left for this year's return to choose.
static void CopySignatureValues(OpenReturn *destination, const uint8_t *source, uint32_t sourceSize,
                                uint16_t sourceTaxYear)
{
    for (int spouse = 0; spouse < 2; spouse++) {
        int base = spouse ? RETURN_SPOUSE : RETURN_TAXPAYER;
        TaxpayerSignatureSource s = GetSignatureSource(sourceSize, spouse);
        if (sourceTaxYear == PROGRAM_TAX_YEAR) {
            CopyImportText(destination, base + PERSON_PRIOR_AGI, 13, source, sourceSize, s.priorAgi);
            CopyImportText(destination, base + PERSON_PRIOR_PIN, 13, source, sourceSize, s.priorPin);
            CopyImportText(destination, base + PERSON_SELF_PIN, 12, source, sourceSize, s.selfPin);
        } else if (sourceTaxYear == PROGRAM_TAX_YEAR - 1) {
            CopyImportText(destination, base + PERSON_PRIOR_AGI, 13, source, sourceSize, s.agi);
            CopyImportText(destination, base + PERSON_PRIOR_PIN, 13, source, sourceSize, s.selfPin);
            memset(destination->bytes + base + PERSON_SELF_PIN, 0, 12);
            destination->bytes[base + PERSON_SELF_PIN_FLAG] = 0;
        }
    }
}

// The address: its kind first, which chooses the US or the non-US members.
static void CopyImportAddress(OpenReturn *destination, const uint8_t *source, uint32_t sourceSize)
{
    int kindAt = sourceSize == OPEN_RETURN_SIZE ? RETURN_ADDRESS_KIND : 146;
    uint8_t kind = source[kindAt];
    destination->bytes[RETURN_ADDRESS_KIND] = kind;
    if (kind != '3') {
        CopyImportFields(destination, source, sourceSize, gUsAddressFields,
                         (int)(sizeof gUsAddressFields / sizeof gUsAddressFields[0]), 0, 0);
        return;
    }
    if (sourceSize == OPEN_RETURN_SIZE_2560)
        return;   // the oldest layout has no non-US address lines
    CopyImportFields(destination, source, sourceSize, gForeignAddressFields,
                     (int)(sizeof gForeignAddressFields / sizeof gForeignAddressFields[0]), 0, 0);
    // A non-US address has its apartment in its own member: the US apartment is cleared whole.
    memset(destination->bytes + RETURN_APARTMENT, 0, 21);
}

// Names, identity and address of both persons from a source of the given size.
static void CopyTaxpayerFields(OpenReturn *destination, const uint8_t *source, uint32_t sourceSize)
{
    int count = (int)(sizeof gTaxpayerPersonFields / sizeof gTaxpayerPersonFields[0]);
    if (sourceSize == OPEN_RETURN_SIZE) {
        CopyImportFields(destination, source, sourceSize, gTaxpayerPersonFields, count,
                         RETURN_TAXPAYER, RETURN_TAXPAYER);
        CopyImportFields(destination, source, sourceSize, gTaxpayerPersonFields, count,
                         RETURN_SPOUSE, RETURN_SPOUSE);
    } else {
        CopyImportFields(destination, source, sourceSize, gTaxpayerPersonFields, count, RETURN_TAXPAYER, 0);
        CopyImportFields(destination, source, sourceSize, gSpousePersonFields, count, RETURN_SPOUSE, 0);
    }
    CopyImportFields(destination, source, sourceSize, gReturnFields,
                     (int)(sizeof gReturnFields / sizeof gReturnFields[0]), 0, 0);
    CopyImportAddress(destination, source, sourceSize);
}

// Any of the three parts has a status letter: the return has been e-filed.
static int IsReturnEfiled(const OpenReturn *record)
{
    return record->bytes[RETURN_PART_FEDERAL + PART_STATUS_LETTER] ||
           record->bytes[RETURN_PART_STATE + PART_STATUS_LETTER] ||
           record->bytes[RETURN_PART_OTHER + PART_STATUS_LETTER];
}

// Copies the basic taxpayer data of source (a return record of 3200, 2656 or 2560 bytes, as its
// size word says; the caller guarantees that many bytes) into destination. Without upgrade the
// user confirms first and an e-filed destination is refused; sourceTaxYear chooses how the
// e-file signature values are carried. With upgrade the destination becomes the source converted
// to the current layout (members the older layouts lack are empty). 1 = copied, 0 = refused,
// declined or a source of an unknown size.
int ImportTaxpayerData(OpenReturn *destination, const void *source, uint16_t sourceTaxYear, int upgrade)
{
    if (!destination || !source)
        return 0;
    uint32_t sourceSize = GetImportSourceSize(source);
    if (!sourceSize)
        return 0;
    const uint8_t *src = (const uint8_t *)source;

    if (upgrade) {
        if (sourceSize == OPEN_RETURN_SIZE) {
            if ((const void *)destination != source)
                memcpy(destination->bytes, src, OPEN_RETURN_SIZE);
            return 1;
        }
        OpenReturn converted;
        InitOpenReturn(&converted);
        CopyTaxpayerFields(&converted, src, sourceSize);
        CopySignatureValues(&converted, src, sourceSize, PROGRAM_TAX_YEAR);
        memcpy(destination, &converted, sizeof converted);
        return 1;
    }

    if (IsReturnEfiled(destination)) {
        ShowMessageBox(gMainWindow, "Cannot import data into a file that has previously been e-filed.",
                       "Data Import Not Allowed", MB_OK | MB_ICONEXCLAMATION);
        return 0;
    }
    char name[51];
    int nameAt = sourceSize == OPEN_RETURN_SIZE ? RETURN_NAME_LINE : 1106;
    memcpy(name, src + nameAt, 50);
    name[50] = 0;
    char question[400];
    snprintf(question, sizeof question,
             "Importing basic taxpayer data (name, address, etc.) for:\r\n\r\n        %s\r\n\r\n"
             "Note that this will overwrite any taxpayer data in the\r\ncurrently open return(s).  "
             "Do you want to continue?",
             name[0] ? name : "< Taxpayer Name Not Found >");
    if (ShowMessageBox(gMainWindow, question, "Taxpayer Data Import", MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
        return 0;

    CopyTaxpayerFields(destination, src, sourceSize);
    CopySignatureValues(destination, src, sourceSize, sourceTaxYear);
    return 1;
}

// Sets the text of the menu item with the command id commandId. 1 = set.
int SetMenuItemText(HMENU menu, UINT commandId, const char *text)
{
    if (!menu || !text)
        return 0;
    MENUITEMINFOA info;
    memset(&info, 0, sizeof info);
    info.cbSize = sizeof info;
    info.fMask = MIIM_STRING;
    info.dwTypeData = (LPSTR)text;
    info.cch = (UINT)strlen(text);
    return SetMenuItemInfoA(menu, commandId, FALSE, &info) ? 1 : 0;
}
