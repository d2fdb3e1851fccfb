// statement_totals.cpp - the running totals of a statement's amount columns, the column headers,
// and the check of one statement cell against its column's field.
#include "entry/statements/statements.h"
#include "calc/calc.h"
#include "canvas/canvas.h"

#include <math.h>
#include <stdio.h>
#include <string.h>

int IsStatementAmountColumn(const FieldRecord *columnField)
{
    if (!columnField || !columnField->typeCode)
        return 0;
    char letter = columnField->typeCode[0];
    int length = GetFieldLength(columnField);
    if ((letter == 'N' || letter == 'C') && (length == 12 || length == 6))
        return 1;
    return letter == 'R' && length == 13;
}

int FormatStatementTotal(double value, int decimals, int ungrouped, char *out, int outSize)
{
    if (!out || outSize <= 0)
        return 0;
    out[0] = 0;
    char plain[64];
    // Rounded first (half away from zero), then laid out in the user's locale.
    if (!FormatNumber(plain, sizeof plain, value, decimals, 0))
        return 0;
    NUMBERFMTA format;
    memset(&format, 0, sizeof format);
    char decimalSep[] = ".", thousandSep[] = ",";
    format.NumDigits = (UINT)decimals;
    format.LeadingZero = 1;
    format.Grouping = ungrouped ? 0 : 3;
    format.lpDecimalSep = decimalSep;
    format.lpThousandSep = thousandSep;
    format.NegativeOrder = 1;
    int written = GetNumberFormatA(LOCALE_USER_DEFAULT, 0, plain, &format, out, outSize);
    if (written <= 0) {
        snprintf(out, (size_t)outSize, "%s", plain);
        return (int)strlen(out);
    }
    return written - 1;
}

// 1 when a cell reads as an amount (digits with commas, at most one '.', a sign, '$', parentheses
// and blanks): a date or a word in an amount column (an imported cell not yet corrected) adds
// nothing to the total.
static int IsAmountText(const char *text)
{
    int digits = 0, points = 0;
    for (const char *p = text; *p; p++) {
        if (*p >= '0' && *p <= '9')
            digits++;
        else if (*p == '.')
            points++;
        else if (!strchr(",-$() ", *p))
            return 0;
    }
    return digits && points <= 1;
}

int SumStatementTotal(StatementRows *rows, StatementTotal *total)
{
    if (!rows || !total)
        return 0;
    int64_t intSum = 0;
    double decimalSum = 0.0;
    int intSeen = 0, decimalSeen = 0;
    for (int r = 0; r < rows->count; r++) {
        const char *text = StatementCell(rows, r, total->column);
        const char *p = text;
        while (*p == ' ')
            p++;
        if (!*p || !IsAmountText(p))
            continue;
        if (strchr(p, '.')) {
            decimalSum += TextToDouble(p);
            decimalSeen = 1;
        } else {
            intSum += ParseNumberText(p);
            intSeen = 1;
        }
    }
    if (intSum == total->intSum && decimalSum == total->decimalSum && intSeen == total->intSeen &&
        decimalSeen == total->decimalSeen && (total->text[0] || (!intSeen && !decimalSeen))) {
        total->changed = 0;
        return 0;
    }
    total->intSum = intSum;
    total->decimalSum = decimalSum;
    total->intSeen = intSeen;
    total->decimalSeen = decimalSeen;
    total->text[0] = 0;
    if (decimalSeen)   // decimals alone, or both kinds: the whole column as decimals
        FormatStatementTotal((double)intSum + decimalSum, 2, total->ungrouped, total->text, sizeof total->text);
    else if (intSeen)
        FormatStatementTotal((double)intSum, 0, total->ungrouped, total->text, sizeof total->text);
    total->changed = 1;
    return 1;
}

int GetStatementColumnHeader(const FieldRecord *field, char *header, int headerSize, char *title, int titleSize)
{
    if (header && headerSize > 0)
        header[0] = 0;
    if (title && titleSize > 0)
        title[0] = 0;
    if (!field)
        return 0;
    char label[STATEMENT_CELL_SIZE * 2];
    snprintf(label, sizeof label, "%s", field->groupLabel ? field->groupLabel : "");
    // The label is written in square brackets: "[group|label]".
    char *text = label;
    if (*text == '[') {
        text++;
        char *close = strrchr(text, ']');
        if (close)
            *close = 0;
    }
    if (!*text) {
        if (header && headerSize > 0)
            snprintf(header, (size_t)headerSize, "%s", field->description ? field->description : "");
        return 1;
    }
    char *bar = strchr(text, '|');
    if (bar) {
        *bar = 0;
        if (title && titleSize > 0)
            snprintf(title, (size_t)titleSize, "%s", text);
        text = bar + 1;
    }
    if (header && headerSize > 0)
        snprintf(header, (size_t)headerSize, "%s", text);
    return 1;
}

int ValidateStatementCell(HWND owner, char *text, int textSize, const char *typed, const FieldRecord *field,
                          unsigned long line, int flag)
{
    if (!text || !field)
        return 0;
    FieldFormat format;
    memset(&format, 0, sizeof format);
    if (ParseFieldFormat(field->typeCode, &format, 0) <= 0)
        return 1;   // an untyped column takes any text
    FieldFormatPart *part = &format.parts[0];
    int kind = 0, subkind = 0;
    GetFieldEntryKind(field, part, &kind, &subkind, NULL, NULL, 0);
    char letter = GetPartEntryLetter(field, part, NULL);
    char caption[STATEMENT_CELL_SIZE + 32];
    snprintf(caption, sizeof caption, "%s (line %lu)", field->description ? field->description : "", line);
    int valid = ValidateFieldData(text, NULL, caption, kind, subkind, owner, textSize, field->valueList, part,
                                  letter, part->bracket, NULL, GetFieldLength(field), flag);
    if (!valid)
        return 0;
    if (kind == ENTRY_KIND_AMOUNT || kind == ENTRY_KIND_AMOUNT_CENTS || kind == ENTRY_KIND_NUMBER) {
        int typedMinus = typed && strchr(typed, '-') != NULL;
        int resultMinus = strchr(text, '-') != NULL;
        // '+': no negative amounts, whether the validator kept the sign or dropped it;
        // '-': no amount that the validator made negative on its own.
        int refused = (part->sign == '+' && (typedMinus || resultMinus)) ||
                      (part->sign == '-' && typed && !typedMinus && resultMinus);
        if (refused) {
            if (typed)
                snprintf(text, (size_t)textSize, "%s", typed);
            return 0;
        }
    }
    return 1;
}
