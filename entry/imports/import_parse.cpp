// The import parser: eleven steps over the text of an import file, each announced on the
// status bar; the questions about a header line and invalid characters, and the reports of a
// piece-count mismatch and of too many records.
#include "entry/imports/imports.h"
#include "calc/calc.h"
#include "canvas/canvas.h"
#include "ui/ui.h"

#include <stdio.h>
#include <string.h>

int gImportStepPauseMs = 250;

#define IMPORT_SUPPORT_ADDRESS "support@levyline.example"

static void AnnounceStep(int step)
{
    char text[64];
    snprintf(text, sizeof(text), "Parsing import data (step %d of 11)...", step);
    SetStatusText(NULL, 2, text, NULL);
    if (gImportStepPauseMs > 0)
        Sleep((DWORD)gImportStepPauseMs);
}

// Checks one header piece against its column's type on a copy (the check rewrites its text).
static int IsPieceValidForColumn(const char *piece, int pieceLength, FieldRecord *field)
{
    char copy[VALIDATE_TEXT_SIZE + 64];
    if (pieceLength > VALIDATE_TEXT_SIZE - 1)
        return 0;
    memcpy(copy, piece, (size_t)pieceLength);
    copy[pieceLength] = 0;
    FieldFormat format;
    memset(&format, 0, sizeof(format));
    if (!field || !field->typeCode || ParseFieldFormat(field->typeCode, &format, 0) <= 0)
        return 1;
    FieldFormatPart *part = &format.parts[0];
    int kind = 0, subkind = 0;
    GetFieldEntryKind(field, part, &kind, &subkind, NULL, NULL, 0);
    char message[VALIDATE_MESSAGE_SIZE];
    message[0] = 0;
    return ValidateFieldData(copy, message, NULL, kind, subkind, NULL, sizeof(copy), field->valueList, part,
                             part->letter, part->bracket, NULL, GetFieldLength(field), 0) ? 1 : 0;
}

// Step 2: the first line's pieces (split at commas and TABs) that fail their column's type.
static int CountHeaderFailures(const char *text, int lineLength, FieldRecord *columnFields, int fieldCount,
                               int columns)
{
    int failures = 0, column = 0, start = 0;
    for (int i = 0; i <= lineLength && column < columns && column < fieldCount; i++) {
        if (i < lineLength && text[i] != ',' && text[i] != '\t')
            continue;
        if (!IsPieceValidForColumn(text + start, i - start, &columnFields[column]))
            failures++;
        column++;
        start = i + 1;
    }
    return failures;
}

static int AskAboutHeaderLine(HWND owner, char *text, int length, FieldRecord *columnFields, int fieldCount,
                              int columns)
{
    if (StartsWithText(text, "//"))
        return 1;
    int lineLength = 0;
    while (lineLength < length && text[lineLength] != '\r' && text[lineLength] != '\n')
        lineLength++;
    if (CountHeaderFailures(text, lineLength, columnFields, fieldCount, columns) < 4)
        return 1;
    static const char question[] =
        "Is the first line in your import file (displayed below) a header line?\r\n\r\n"
        "If so, click \"Yes\" and the line will be skipped.\r\n\r\nFirst line of import file:\r\n\r\n";
    int shown = lineLength < 520 ? lineLength : 519;
    char message[sizeof(question) + 520];
    snprintf(message, sizeof(message), "%s%.*s", question, shown, text);
    if (ShowMessageBox(owner, message, "Treat First Line as a Header Line?",
                       MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES) {
        // The header becomes a comment line.
        for (int i = 0; i < 3 && i < lineLength; i++)
            text[i] = "// "[i];
    }
    return 1;
}

static int IsAllowedImportChar(unsigned char ch)
{
    if ((ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z') || (ch >= '0' && ch <= '9'))
        return 1;
    return ch && strchr(" .,;\t&-/'\"\r\n()", ch) != NULL;
}

// Step 5: asks about each invalid character until none is left; 0 when the user cancelled.
static int RemoveInvalidCharacters(HWND owner, char *text, int *length)
{
    for (;;) {
        int at = -1;
        for (int i = 0; i < *length; i++)
            if (!IsAllowedImportChar((unsigned char)text[i])) {
                at = i;
                break;
            }
        if (at < 0)
            return 1;
        int line = 1, lineStart = 0;
        for (int i = 0; i < at; i++)
            if (text[i] == '\n') {
                line++;
                lineStart = i + 1;
            }
        int lineEnd = lineStart;
        while (lineEnd < *length && text[lineEnd] != '\r' && text[lineEnd] != '\n')
            lineEnd++;
        int shown = lineEnd - lineStart < 520 ? lineEnd - lineStart : 519;
        char message[1024];
        snprintf(message, sizeof(message),
                 "An invalid character was detected in the import file...\r\n\r\n"
                 "      - Character:  \t%c\r\n      - Line number:\t%d\r\n      - Position:   \t%d\r\n"
                 "      - Line text:  \t%.*s\r\n\r\n"
                 "Click OK to automatically remove this character or Cancel to exit this process.",
                 text[at], line, at - lineStart + 1, shown, text + lineStart);
        if (ShowMessageBox(owner, message, "Error Parsing Import File",
                           MB_OKCANCEL | MB_ICONEXCLAMATION | MB_DEFBUTTON2) != IDOK)
            return 0;
        char set[2] = {text[at], 0};
        RemoveChars(text, set);
        // Blanks at the text's two ends go too.
        int start = 0;
        *length = (int)strlen(text);
        while (start < *length && text[start] == ' ')
            start++;
        int end = *length;
        while (end > start && text[end - 1] == ' ')
            end--;
        memmove(text, text + start, (size_t)(end - start));
        *length = end - start;
        text[*length] = 0;
    }
}

static void ReportPieceMismatch(HWND owner, int record, int columns, int pieces, uint8_t jurisdiction)
{
    char message[1600];
    snprintf(message, sizeof(message),
             "A parsing error was detected beginning with line %d of the imported file.\r\n\r\n"
             "The software is expecting to see %d pieces of information (separated by either\r\n"
             "commas, semi-colons, or tabs) on each line of the imported file.  However, %d\r\n"
             "pieces of information were detected.\r\n\r\n",
             record, columns, pieces);
    if (jurisdiction == 140 && record == 1 && pieces == 18 && columns == 15)
        AppendTextBounded(message, sizeof(message),
                          "The most likely cause of this error is that you clicked the \"New\" button (which\r\n"
                          "by default assumes you are generating CRPs for a SINGLE property) instead\r\n"
                          "of clicking \"File -> New -> Multiple Properties\".\r\n\r\n");
    AppendTextBounded(message, sizeof(message),
                      "Depending on where the parsing error occurred, this may or may not affect how\r\n"
                      "the imported data is displayed on the following screen.\r\n\r\n"
                      "Click \"OK\" to display the imported data as it has been parsed.  Visually\r\n"
                      "verify that the data appears in the proper columns and that all data has\r\n"
                      "been imported.  If you detect any errors, click \"Cancel\", make changes to\r\n"
                      "the imported file, then re-import the corrected file.");
    ShowMessageBox(owner, message, "Parsing Error Detected While Importing File", MB_OK | MB_ICONEXCLAMATION);
}

static void FormatCount(int value, char *out, int outSize)
{
    char digits[32];
    snprintf(digits, sizeof(digits), "%d", value);
    NUMBERFMTA format;
    memset(&format, 0, sizeof(format));
    format.NumDigits = 0;
    format.Grouping = 3;
    format.lpDecimalSep = (char *)".";
    format.lpThousandSep = (char *)",";
    if (!GetNumberFormatA(LOCALE_USER_DEFAULT, 0, digits, &format, out, outSize))
        lstrcpynA(out, digits, outSize);
}

// The record limit: warns and cuts the text after the maximum-th record.
static void ApplyRecordLimit(HWND owner, char *text, int maxRecords)
{
    int count = CountImportRecords(text);
    if (maxRecords <= 0 || count <= maxRecords)
        return;
    char maximum[32], total[32];
    FormatCount(maxRecords, maximum, sizeof(maximum));
    FormatCount(count, total, sizeof(total));
    char message[1024];
    snprintf(message, sizeof(message),
             "The number of records in the import file exceeds the pre-defined maximum count of %s. "
             "(Your import file contains %s detectable records.)\r\n\r\n"
             "Levyline limits the number or records you can import but this limit can be increased if "
             "required.\r\n\r\nFor assistance in getting the limit increased, please contact %s. In your "
             "email, indicate the number of records you are looking to import.",
             maximum, total, IMPORT_SUPPORT_ADDRESS);
    ShowMessageBox(owner, message, "Import Maximum Reached", MB_OK | MB_ICONEXCLAMATION);
    int seen = 0;
    for (char *p = text; *p; p++)
        if (*p == IMPORT_RECORD_END && ++seen == maxRecords) {
            p[1] = 0;
            break;
        }
}

int ParseImportFile(HWND owner, char *text, uint32_t bufferSize, FieldRecord *columnFields, int columnFieldCount,
                    int columns, uint8_t jurisdiction, int maxRecords)
{
    if (!text || !text[0] || bufferSize == 0)
        return 0;
    int length = (int)strnlen(text, bufferSize);
    if ((uint32_t)length >= bufferSize)
        return 0;   // no terminating zero inside the buffer
    if (!columnFields)
        columnFieldCount = 0;

    AnnounceStep(1);
    length = CutImportTrailingRubbish(text, length);
    AnnounceStep(2);
    AskAboutHeaderLine(owner, text, length, columnFields, columnFieldCount, columns);
    AnnounceStep(3);
    length = StripImportComments(text, length);
    AnnounceStep(4);
    if (CountChar(text, '"') % 2) {
        ShowMessageBox(owner,
                       "An uneven number of double-quote ( \" ) characters were detected in the import file.  "
                       "Because\r\nthis will cause incorrect results when parsing the file, Levyline cannot "
                       "process this file.\r\n\r\nPlease correct this situation prior to re-importing the file.",
                       "Error Parsing Import File", MB_OK | MB_ICONEXCLAMATION);
        return 0;
    }
    AnnounceStep(5);
    if (!RemoveInvalidCharacters(owner, text, &length))
        return 0;
    AnnounceStep(6);
    length = RewriteImportQuotedPieces(text, length);
    AnnounceStep(7);
    AnnounceStep(8);
    length = ConvertImportSeparators(text, length);
    AnnounceStep(9);
    length = DropImportSurplusPieces(text, length, columns);
    AnnounceStep(10);
    int pieces = 0;
    int record = FindImportPieceMismatch(text, columns, &pieces);
    if (record)
        ReportPieceMismatch(owner, record, columns, pieces, jurisdiction);
    AnnounceStep(11);
    length = DropImportCommentAndBlankRecords(text, length, bufferSize);
    if (!length) {
        ShowMessageBox(owner,
                       "The import file holds no lines to import: every line is blank, a comment (\"//\") "
                       "or the header line.\r\n\r\nPlease add the lines to import and import the file again.",
                       "Error Parsing Import File", MB_OK | MB_ICONEXCLAMATION);
        return 0;
    }
    ApplyRecordLimit(owner, text, maxRecords);
    return 1;
}
