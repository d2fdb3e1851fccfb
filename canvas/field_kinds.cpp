// field_kinds.cpp - the entry kind of one part of a field's type code: validation kind and
// sub-kind, entry control, kind icons; and the option flags of a bracket text.
#include "canvas/canvas.h"

#include <stdlib.h>
#include <string.h>

// Kind icons (bitmap resources of the program).
#define ICON_TEXT        201
#define ICON_AMOUNT      205
#define ICON_LIST        206
#define ICON_DATE        207
#define ICON_DECIMAL     208
#define ICON_NUMBER      209
#define ICON_PHONE       213
#define ICON_FREE_TEXT   223
#define ICON_CHECK       236
#define ICON_SSN         247
#define ICON_EIN         376
#define ICON_PIN         390
#define ICON_ZIP         391
#define ICON_FIRST_NAME  682
#define ICON_MIDDLE_NAME 683
#define ICON_LAST_NAME   684

static int HasDescriptionText(const FieldRecord *field, const char *text)
{
    return field && field->description && strstr(field->description, text) != NULL;
}

// The type letter (and, where it matters, the length) that a resolved validation kind is entered
// as, for 'T' and 'P' parts whose item has no letter of its own. 0 when the kind has none.
static char GetLetterOfKind(int kind, int *length)
{
    switch (kind) {
    case ENTRY_KIND_SSN:          return 'N';
    case ENTRY_KIND_AMOUNT:       return 'N';
    case ENTRY_KIND_NUMBER:       return 'N';
    case ENTRY_KIND_PIN:          return TYPE_LETTER_CODE1;
    case ENTRY_KIND_COUNT:        return 'G';
    case ENTRY_KIND_DIGITS:       return 'U';
    case ENTRY_KIND_ZIP:          return 'Z';
    case ENTRY_KIND_EIN:          if (*length == 1) *length = 0; return 'm';
    case ENTRY_KIND_ANY_TEXT:     return '*';
    case ENTRY_KIND_ALPHA:        return 'A';
    case ENTRY_KIND_KEY_TEXT:     return 'K';
    case ENTRY_KIND_ALNUM:        return 'a';
    case ENTRY_KIND_PERCENT_TEXT: return 'a';
    case ENTRY_KIND_NAME_TEXT:    return 'f';
    case ENTRY_KIND_TEXT_PUNCT:   return 'j';
    case ENTRY_KIND_DATE:         return 'D';
    case ENTRY_KIND_DECIMAL:      return 'R';
    case ENTRY_KIND_AMOUNT_CENTS: return 'R';
    case ENTRY_KIND_CHECK:        return 'X';
    case ENTRY_KIND_PTIN:         return 'p';
    case ENTRY_KIND_STATE:        return 's';
    case ENTRY_KIND_PHONE:        return 't';
    case ENTRY_KIND_TEXT_SLASH:   return 'u';
    default:                      return 0;
    }
}

// Resolves a 'T' or 'P' part to the letter it is entered as, with the item's kind and sub-kind.
// Returns 0 when the item is unknown.
static char ResolveItemPart(const FieldFormatPart *part, int *kind, int *subkind, int *length)
{
    int itemKind = 0, itemSubkind = 0;
    char letter = 0;
    if (part->letter == 'T') {
        TaxpayerItemInfo info;
        memset(&info, 0, sizeof(info));
        if (!ParseTaxpayerFieldType(part->itemLetter, part, part->bracket, &itemKind, &itemSubkind, NULL, NULL,
                                    NULL, NULL))
            return 0;
        if (GetTaxpayerItemInfo(part->taxKind, part->itemLetter, &info)) letter = info.baseLetter;
    } else {
        if (!ParsePTypeCode(part->bracket[0], part, part->bracket, &itemKind, &itemSubkind)) return 0;
    }
    int kindLength = *length;
    char kindLetter = GetLetterOfKind(itemKind, &kindLength);
    if (!letter) letter = kindLetter;
    if (!letter) return 0;
    if (letter == 'N')   // the item's kind, not the field's length, decides SSN and amount
        *length = itemKind == ENTRY_KIND_SSN ? 9 : itemKind == ENTRY_KIND_AMOUNT ? 12 : 0;
    else if (letter == kindLetter)
        *length = kindLength;
    // A part that carries a ':' digit keeps the kind its caller gave (the edit bar clears it).
    if (!part->colonDigit) {
        *kind = itemKind;
        *subkind = itemSubkind;
    }
    return letter;
}

int GetFieldEntryKind(const FieldRecord *field, const FieldFormatPart *part, int *kindOut, int *subkindOut,
                      int icons[3], int *controlKindOut, char listLetter)
{
    int kind = kindOut ? *kindOut : 0;
    int subkind = subkindOut ? *subkindOut : 0;
    int control = ENTRY_CONTROL_NONE;
    int icon[3] = {0, 0, 0};
    int known = 1;
    if (!part) {
        if (icons) icons[0] = icons[1] = icons[2] = 0;
        if (controlKindOut) *controlKindOut = ENTRY_CONTROL_NONE;
        return 0;
    }
    int length = GetFieldLength(field);
    char letter = part->letter;
    const char *bracket = part->bracket;
    int marked = part->greaterMark || part->lessMark;
    int itemPart = 0;
    if (letter == 'T' || letter == 'P') {
        letter = ResolveItemPart(part, &kind, &subkind, &length);
        itemPart = 1;
    }
    int givenKind = kind;

    switch (letter) {
    case TYPE_LETTER_CODE1:
        control = ENTRY_CONTROL_EDIT; kind = ENTRY_KIND_PIN; icon[0] = ICON_PIN;
        break;
    case 'G':
        control = ENTRY_CONTROL_EDIT; kind = ENTRY_KIND_COUNT;
        icon[0] = length == 12 ? ICON_AMOUNT : ICON_NUMBER;
        break;
    case 'N':
        control = ENTRY_CONTROL_EDIT; icon[0] = ICON_NUMBER;
        if (length == 12) {
            kind = ENTRY_KIND_AMOUNT; icon[0] = ICON_AMOUNT;
        } else if (length == 9) {
            kind = ENTRY_KIND_SSN; icon[0] = ICON_SSN; control = ENTRY_CONTROL_SSN;
        } else if (!givenKind) {
            kind = ENTRY_KIND_NUMBER;
            int pin = HasDescriptionText(field, "PIN");
            if (length == 1 && marked && pin) icon[0] = ICON_PIN;
            if ((length == 10 || length == 5) && pin) {
                icon[0] = ICON_PIN;
                kind = ENTRY_KIND_PIN;
            }
        }
        break;
    case 'U':
        control = ENTRY_CONTROL_EDIT; kind = ENTRY_KIND_DIGITS; icon[0] = ICON_NUMBER;
        break;
    case 'Z':
        control = ENTRY_CONTROL_EDIT; kind = ENTRY_KIND_ZIP; icon[0] = ICON_ZIP;
        break;
    case 'm':
        control = ENTRY_CONTROL_EIN; kind = ENTRY_KIND_EIN; icon[0] = ICON_EIN;
        if (length == 1 && marked) {
            control = ENTRY_CONTROL_EDIT;
            kind = ENTRY_KIND_NUMBER;
        }
        break;
    case '*': case 'A': case 'K': case 'a': case 'f': case 'i': case 'j':
        control = ENTRY_CONTROL_EDIT;
        icon[0] = (letter == 'a' || letter == 'K' || letter == '*') ? ICON_FREE_TEXT : ICON_TEXT;
        if (!givenKind) {
            switch (letter) {
            case '*': kind = ENTRY_KIND_ANY_TEXT; break;
            case 'A': kind = ENTRY_KIND_ALPHA; break;
            case 'K': kind = ENTRY_KIND_KEY_TEXT; break;
            case 'a': kind = ENTRY_KIND_ALNUM; break;
            case 'f': case 'i': kind = ENTRY_KIND_NAME_TEXT; break;
            default: kind = ENTRY_KIND_TEXT_PUNCT; break;
            }
        }
        if (letter == 'A') {
            if (listLetter == 'F') icon[0] = ICON_FIRST_NAME;
            else if (listLetter == 'M') icon[0] = ICON_MIDDLE_NAME;
            else if (listLetter == 'L') icon[0] = ICON_LAST_NAME;
        }
        if (letter == 'i' && !itemPart && strcmp(bracket, "2") == 0) {
            control = ENTRY_CONTROL_NAME2;
            icon[0] = ICON_FIRST_NAME; icon[1] = ICON_LAST_NAME;
        } else if (letter == 'i' && !itemPart && strcmp(bracket, "3") == 0) {
            control = ENTRY_CONTROL_NAME3;
            icon[0] = ICON_FIRST_NAME; icon[1] = ICON_MIDDLE_NAME; icon[2] = ICON_LAST_NAME;
        }
        break;
    case 'C': case 'L': case 'S': case 'b':
        control = ENTRY_CONTROL_NONE; kind = ENTRY_KIND_NONE;
        break;
    case 'D': case 'E': case 'O': case 'Y': case 'd': case 'e':
        control = ENTRY_CONTROL_DATE; kind = ENTRY_KIND_DATE; icon[0] = ICON_DATE;
        break;
    case 'Q': case 'R': case 'r':
        control = ENTRY_CONTROL_NUMBER; kind = ENTRY_KIND_DECIMAL; icon[0] = ICON_DECIMAL;
        if ((part->intDigits == 10 && part->decimals == 2) || (itemPart && givenKind == ENTRY_KIND_AMOUNT_CENTS)) {
            control = ENTRY_CONTROL_EDIT; kind = ENTRY_KIND_AMOUNT_CENTS; icon[0] = ICON_AMOUNT;
        }
        break;
    case 'V': case 'v':
        control = ENTRY_CONTROL_LIST; kind = ENTRY_KIND_NONE; icon[0] = ICON_LIST;
        break;
    case 'X': case 'x':
        control = ENTRY_CONTROL_EDIT; kind = ENTRY_KIND_CHECK; icon[0] = ICON_CHECK;
        break;
    case 'p':
        control = ENTRY_CONTROL_EDIT; kind = ENTRY_KIND_PTIN; icon[0] = ICON_FREE_TEXT;
        break;
    case 's':
        control = ENTRY_CONTROL_LIST; kind = ENTRY_KIND_STATE; icon[0] = ICON_LIST;
        // A taxpayer state item brings its groups; a state part's bracket text holds them.
        if (!itemPart || !subkind) subkind = itemPart ? 1 : GetTypeOptionFlags(bracket);
        if (length == 1 && marked) {
            control = ENTRY_CONTROL_EDIT;
            icon[0] = ICON_TEXT;
            subkind = (part->colonDigit >= '0' && part->colonDigit <= '9') ? part->colonDigit - '0' : 0;
        }
        break;
    case 't':
        control = ENTRY_CONTROL_PHONE; kind = ENTRY_KIND_PHONE; icon[0] = ICON_PHONE;
        break;
    case 'u':
        control = ENTRY_CONTROL_EDIT; kind = ENTRY_KIND_TEXT_SLASH; icon[0] = ICON_FREE_TEXT;
        break;
    default:
        // An unknown letter (or an unknown taxpayer item): not enterable, kind left as given.
        known = 0;
        control = ENTRY_CONTROL_NONE;
        kind = kindOut ? *kindOut : 0;
        subkind = subkindOut ? *subkindOut : 0;
        break;
    }

    if (kindOut) *kindOut = kind;
    if (subkindOut) *subkindOut = subkind;
    if (controlKindOut) *controlKindOut = control;
    if (icons) {
        icons[0] = icon[0];
        icons[1] = icon[1];
        icons[2] = icon[2];
    }
    return known;
}

int GetTypeOptionFlags(const char *text)
{
    if (!text || !*text) return 1;
    int flags = 0;
    if (!strchr(text, '-')) flags |= 1;
    if (strchr(text, 'm')) flags |= 2;
    if (strchr(text, 'p')) flags |= 4;
    if (strchr(text, '.')) flags |= 8;
    if (strchr(text, 'c')) flags |= 16;
    if (strchr(text, 'w')) flags |= 32;
    return flags;
}

char GetPartEntryLetter(const FieldRecord *field, const FieldFormatPart *part, int *kindOut)
{
    int kind = 0, subkind = 0;
    if (!part) return 0;
    char letter = part->letter;
    if (letter == 'T' || letter == 'P') {
        int length = GetFieldLength(field);
        letter = ResolveItemPart(part, &kind, &subkind, &length);
    }
    if (kindOut) {
        int resolvedKind = 0;
        GetFieldEntryKind(field, part, &resolvedKind, NULL, NULL, NULL, 0);
        *kindOut = resolvedKind;
    }
    return letter;
}
