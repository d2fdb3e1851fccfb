// entrykinds_hint.cpp - the hint text of a field: caption, line, description, the characters each
// part allows and the maximum length; and the clean-up of grid descriptions.
#include "entry/editbar/editbar_private.h"

#include <stdio.h>
#include <string.h>

// Bounded text builder over a caller's buffer.
struct HintBuffer {
    char *text;
    int size;
    int length;
};

static void AppendText(HintBuffer *b, const char *text)
{
    if (!text || b->size <= 0) return;
    while (*text && b->length < b->size - 1) b->text[b->length++] = *text++;
    b->text[b->length] = 0;
}

static void AppendChar(HintBuffer *b, char c, int count)
{
    for (int i = 0; i < count && b->length < b->size - 1; i++) b->text[b->length++] = c;
    if (b->size > 0) b->text[b->length] = 0;
}

int GetPartAllowedCharsText(char letter, int kind, int gridCell, const char *bracket, int intDigits,
                            int decimals, char *out, int outSize)
{
    if (!out || outSize <= 0) return 0;
    HintBuffer b = {out, outSize, 0};
    out[0] = 0;
    if (!bracket) bracket = "";
    switch (letter) {
    case TYPE_LETTER_CODE1: case 'G': case 'N': case 'U': case 'm': case 't':
        AppendText(&b, "0-9");
        break;
    case '*':
        AppendText(&b, "A-Z, 0-9, ~`!@$%^&*()_-+={}|\\:;<>?/.,'\"");
        break;
    case 'A': case 's':
        if (bracket[0] == '~') {
            // The alphabet without the letters after the '~'.
            for (char c = 'A'; c <= 'Z'; c++)
                if (!strchr(bracket + 1, c)) AppendChar(&b, c, 1);
        } else {
            AppendText(&b, "A-Z");
        }
        break;
    case 'D': AppendText(&b, "0-9 (Format: mmddyyyy)"); break;
    case 'E': AppendText(&b, "0-9 (Format: yyyymmdd)"); break;
    case 'O': AppendText(&b, "0-9 (Format: mmddyy)"); break;
    case 'Y': AppendText(&b, "0-9 (Format: yyyy)"); break;
    case 'd': AppendText(&b, "0-9 (Format: mmyyyy)"); break;
    case 'e': AppendText(&b, "0-9 (Format: yyyymm)"); break;
    case 'K': case 'a':
        if (kind == ENTRY_KIND_PERCENT_TEXT) AppendText(&b, "%, ");
        AppendText(&b, "A-Z, 0-9");
        break;
    case 'Q': AppendText(&b, "., 0-9 (Format: nnnnnnn.nnnn)"); break;
    case 'R':
        AppendText(&b, "., 0-9 (Format: ");
        AppendChar(&b, 'n', intDigits);
        if (decimals > 0) {
            AppendChar(&b, '.', 1);
            AppendChar(&b, 'n', decimals);
        }
        AppendText(&b, ")");
        break;
    case 'r': AppendText(&b, "., 0-9 (Format: .nnnnnn)"); break;
    case 'V': case 'v': AppendText(&b, "Select from list"); break;
    case 'X': case 'x':
        if (gridCell) AppendText(&b, "X");
        break;
    case 'Z': AppendText(&b, "0-9, -"); break;
    case 'f': AppendText(&b, "A-Z, 0-9, -"); break;
    case 'i': AppendText(&b, "A-Z, 0-9, -'"); break;
    case 'j': AppendText(&b, "A-Z, 0-9, #-()&'"); break;
    case 'p': AppendText(&b, "0-9, Pnnnnnnnn, Snnnnnnnn)"); break;
    case 'u': AppendText(&b, "A-Z, 0-9, -/"); break;
    default: break;
    }
    return b.length;
}

int BuildFieldHintText(char *buffer, int bufferSize, const char *caption, int requesterKind,
                       const FieldRecord *field, const FieldFormat *partList, const char *typeText)
{
    if (!buffer || bufferSize <= 0) return 0;
    HintBuffer b = {buffer, bufferSize, 0};
    buffer[0] = 0;
    AppendText(&b, caption);
    if (field && requesterKind == 1 && field->line && field->line[0]) {
        AppendText(&b, " - Line ");
        AppendText(&b, field->line);
    }
    if (field && field->description && field->description[0]) {
        AppendText(&b, "\r\n  - Description: ");
        AppendText(&b, field->description);
        if (requesterKind == 2) {
            TrimDescriptionSuffix(buffer);
            b.length = (int)strlen(buffer);
        }
    }
    AppendText(&b, "\r\n  - Allowable chars: ");

    if (!typeText && field) typeText = field->typeCode;
    FieldFormat parsed;
    if (!partList) {
        memset(&parsed, 0, sizeof(parsed));
        if (typeText) ParseFieldFormat(typeText, &parsed, 0);
        partList = &parsed;
    }
    int calculated = partList->prefix == 'C' || partList->prefix == 'c' ||
                     (typeText && (typeText[0] == 'C' || typeText[0] == 'c'));
    int count = partList->count;
    if (count > FIELD_FORMAT_MAX_PARTS) count = FIELD_FORMAT_MAX_PARTS;
    for (int i = 0; i < count; i++) {
        const FieldFormatPart *part = &partList->parts[i];
        int kind = 0;
        char letter = GetPartEntryLetter(field, part, &kind);
        char chars[160];
        GetPartAllowedCharsText(letter, kind, requesterKind == 2, part->bracket, part->intDigits, part->decimals,
                                chars, sizeof(chars));
        AppendText(&b, chars);
        if (i + 1 < count) {
            char next = partList->parts[i + 1].letter;
            if (next != 'S' && next != 'x' && next != 'X' && next != 'b' && !calculated) AppendText(&b, ", ");
        }
    }
    if (field && field->length && field->length[0]) {
        AppendText(&b, "\r\n  - Max length: ");
        AppendText(&b, field->length);
    }
    // The en dash of the Windows-1252 code page reads as a plain dash in the tooltip.
    for (int i = 0; i < b.length; i++)
        if ((unsigned char)buffer[i] == 0x96) buffer[i] = '-';
    return b.length;
}

static int IsSuffixChar(char c)
{
    return (c >= '0' && c <= '9') || c == 'A' || c == ')' || c == '(';
}

static void TrimTrailing(char *text, size_t *length, char c)
{
    while (*length > 0 && text[*length - 1] == c) text[--*length] = 0;
}

char *TrimDescriptionSuffix(char *text)
{
    if (!text) return text;
    size_t length = strlen(text);
    TrimTrailing(text, &length, ' ');
    int removed = 0;
    while (length > 0 && IsSuffixChar(text[length - 1])) {
        text[--length] = 0;
        removed++;
    }
    TrimTrailing(text, &length, ' ');
    TrimTrailing(text, &length, '-');
    TrimTrailing(text, &length, ' ');
    if (!removed) {
        char *one = strstr(text, " 1 ");
        if (one) memmove(one + 1, one + 3, strlen(one + 3) + 1);
    }
    return text;
}
