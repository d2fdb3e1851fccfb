// summary_rows.cpp - building the row tables of the Summary and Status pages: the tables and
// their texts, the general information box and the footer.
#include "pages/pages.h"
#include "pages/summary_private.h"

#include <stdarg.h>
#include <stdio.h>
#include <string.h>

// ---- table and text helpers ----

void FreeSummaryTable(SummaryTable *table)
{
    if (!table)
        return;
    for (int i = 0; i < table->ownedCount; i++)
        MemFree(table->owned[i]);
    memset(table, 0, sizeof *table);
}

void *KeepSummaryBlock(SummaryTable *table, void *block)
{
    if (!block)
        return NULL;
    if (table->ownedCount >= (int)(sizeof table->owned / sizeof table->owned[0]))
        return MemFree(block);
    table->owned[table->ownedCount++] = block;
    return block;
}

// A formatted text owned by the table; null when memory ran out.
char *MakeSummaryText(SummaryTable *table, const char *format, ...)
{
    va_list args;
    va_start(args, format);
    int length = vsnprintf(NULL, 0, format, args);
    va_end(args);
    if (length < 0)
        return NULL;
    char *text = (char *)MemAlloc(64, (size_t)length + 1);
    if (!text)
        return NULL;
    va_start(args, format);
    vsnprintf(text, (size_t)length + 1, format, args);
    va_end(args);
    return (char *)KeepSummaryBlock(table, text);
}

// The next row of the table (zero-filled), or a scratch row when the table is full.
SummaryRow *AddSummaryRow(SummaryTable *table, uint32_t kind, uint16_t icon, const char *label, const char *value,
                          COLORREF labelColour)
{
    static SummaryRow scratch;
    if (table->count >= SUMMARY_TABLE_ROWS) {
        memset(&scratch, 0, sizeof scratch);
        return &scratch;
    }
    SummaryRow *row = &table->rows[table->count++];
    memset(row, 0, sizeof *row);
    row->kind = kind;
    row->icon = icon;
    row->label = label;
    row->value = value;
    row->labelColour = labelColour;
    row->valueColour = SUMMARY_BLACK;
    return row;
}

void SetSummarySpan(SummaryRow *row, int index, COLORREF colour, int start, int end)
{
    if (index < 0 || index > 3 || start < 0 || end <= start)
        return;
    row->spans[index].colour = colour;
    row->spans[index].start = (uint32_t)start;
    row->spans[index].end = (uint32_t)end;
}

int FindLastTextOffset(const char *text, const char *find)
{
    int offset = -1;
    return text && FindLastSubString(text, find, &offset) ? offset : -1;
}

int FindFirstTextOffset(const char *text, const char *find)
{
    int offset = -1;
    return text && FindSubString(text, find, &offset) ? offset : -1;
}

// Resolves the audience choices, then the '$' plural choices.
void ResolveSummaryChoices(char *text, const SummaryFacts *facts, int plural)
{
    ResolveTextVariants(text, facts->audience);
    if (plural) {
        ReplaceChar(text, '$', '%');
        ResolveTextVariants(text, facts->plural);
    }
}

// A UTF-16 copy of text owned by the table, the middle blank of its last "(   )" turned into a
// black down-pointing triangle (the arrow of the "Status" button).
const wchar_t *MakeArrowText(SummaryTable *table, const char *text)
{
    if (!text)
        return NULL;
    int count = MultiByteToWideChar(CP_ACP, 0, text, -1, NULL, 0);
    if (count <= 0)
        return NULL;
    wchar_t *wide = (wchar_t *)MemAlloc(64, sizeof(wchar_t) * (size_t)count);
    if (!wide)
        return NULL;
    MultiByteToWideChar(CP_ACP, 0, text, -1, wide, count);
    int at = FindLastTextOffset(text, "(   )");
    if (at >= 0 && at + 2 < count)
        wide[at + 2] = 0x25BC;
    return (const wchar_t *)KeepSummaryBlock(table, wide);
}

uint8_t *GetSummaryPartBlock(const SummaryFacts *facts, int part)
{
    static const int kOffsets[SUMMARY_PARTS] = {RETURN_PART_FEDERAL, RETURN_PART_STATE, RETURN_PART_OTHER};
    return facts->record->bytes + kOffsets[part];
}

char GetSummaryPartLetter(const SummaryFacts *facts, int part)
{
    return (char)GetSummaryPartBlock(facts, part)[PART_STATUS_LETTER];
}

SYSTEMTIME GetSummaryPartTime(const SummaryFacts *facts, int part, int offset)
{
    SYSTEMTIME time;
    memcpy(&time, GetSummaryPartBlock(facts, part) + offset, sizeof time);
    return time;
}

int HasSummaryPartLetter(const SummaryFacts *facts, char letter)
{
    for (int i = 0; i < SUMMARY_PARTS; i++)
        if (GetSummaryPartLetter(facts, i) == letter)
            return 1;
    return 0;
}

int HasSummaryPartSent(const SummaryFacts *facts)
{
    for (int i = 0; i < SUMMARY_PARTS; i++)
        if (GetSummaryPartLetter(facts, i))
            return 1;
    return 0;
}

// A UTC time as a local date "MMMM d',' yyyy" ("" for a zero time).
void FormatSummaryDate(const SYSTEMTIME *utc, char *out, int outSize)
{
    out[0] = 0;
    if (!utc->wYear)
        return;
    SYSTEMTIME local;
    SystemTimeToLocal(utc, &local);
    FormatDateTime(NULL, NULL, 0, out, outSize, &local);
}

// A bounded copy of a text member that may fill its size without a terminator.
void CopyReturnMember(const OpenReturn *record, int offset, int size, char *out, int outSize)
{
    size_t length = strnlen((const char *)record->bytes + offset, (size_t)size);
    if (length >= (size_t)outSize)
        length = (size_t)outSize - 1;
    memcpy(out, record->bytes + offset, length);
    out[length] = 0;
}

// ---- general information ----

void FormatTrackingNumber(const OpenReturn *record, char *out, int outSize)
{
    const char *none = "N/A - automatically assigned after return has been sent";
    const uint8_t *field = record->bytes + RETURN_TRACKING_NUMBER;
    int unassigned = 1;
    for (int i = 0; i < RETURN_TRACKING_LENGTH; i++)
        if (field[i] != TRACKING_UNASSIGNED_BYTE)
            unassigned = 0;
    char number[RETURN_TRACKING_LENGTH + 1];
    CopyReturnMember(record, RETURN_TRACKING_NUMBER, RETURN_TRACKING_LENGTH, number, sizeof number);
    // A number filling the member runs on when the byte after it is a character too.
    int longer = strlen(number) == RETURN_TRACKING_LENGTH && field[RETURN_TRACKING_LENGTH] >= ' ';
    if (unassigned || strlen(number) != RETURN_TRACKING_LENGTH || longer) {
        lstrcpynA(out, none, outSize);
        return;
    }
    snprintf(out, (size_t)outSize, "%2.2s-%6.6s-%5.5s-%s", number, number + 2, number + 8, number + 13);
}

int BuildSummaryInfoRows(const SummaryFacts *facts, int statusPage, SummaryTable *table)
{
    FreeSummaryTable(table);
    const char *unsaved = "N/A - file has not been saved";
    AddSummaryRow(table, SUMMARY_ROW_HEADING, statusPage ? 558 : 411,
                  statusPage ? "Status Information For..." : "General Information", NULL, SUMMARY_BLACK);

    char name[51];
    CopyReturnMember(facts->record, RETURN_NAME_LINE, 50, name, sizeof name);
    CharUpperBuffA(name, (DWORD)strlen(name));
    AddSummaryRow(table, SUMMARY_ROW_LABEL, 109, "Taxpayer(s)", MakeSummaryText(table, "%s", name[0] ? name : "N/A"),
                  SUMMARY_NAVY);

    char tracking[80];
    FormatTrackingNumber(facts->record, tracking, sizeof tracking);
    AddSummaryRow(table, SUMMARY_ROW_LABEL, 349, "Tracking number", MakeSummaryText(table, "%s", tracking),
                  SUMMARY_NAVY);
    if (statusPage)
        return table->count;

    const char *path = facts->returnPath;
    int folderLength = GetFolderPartLength(path);
    const char *file = path[0] ? MakeSummaryText(table, "%s", path + folderLength) : unsaved;
    AddSummaryRow(table, SUMMARY_ROW_LABEL, 102, "Tax return file", file, SUMMARY_NAVY);

    const char *where = unsaved;
    if (path[0]) {
        char folder[MAX_PATH], shown[MAX_PATH];
        int length = folderLength > 0 ? folderLength - 1 : 0; // without the final backslash
        if (length >= (int)sizeof folder)
            length = (int)sizeof folder - 1;
        memcpy(folder, path, (size_t)length);
        folder[length] = 0;
        where = IsUnderDocumentsOrDesktop(folder, shown, sizeof shown) ? MakeSummaryText(table, "%s", shown)
                                                                       : MakeSummaryText(table, "%s", folder);
    }
    AddSummaryRow(table, SUMMARY_ROW_LABEL, 106, "Where saved", where, SUMMARY_NAVY);

    char email[65];
    CopyReturnMember(facts->record, RETURN_EMAIL, 64, email, sizeof email);
    const char *note = " (used to send you status updates regarding this return)";
    char *value = MakeSummaryText(table, "%s%s", email[0] ? email : "N/A", note);
    SummaryRow *row = AddSummaryRow(table, SUMMARY_ROW_PARAGRAPH, 255, "Email address", value, SUMMARY_NAVY);
    if (value)
        SetSummarySpan(row, 0, SUMMARY_NAVY, (int)(strlen(value) - strlen(note)), (int)strlen(value));
    return table->count;
}

// ---- footer ----

int BuildSummaryFooterRows(const SummaryFacts *facts, int mode, SummaryTable *table)
{
    FreeSummaryTable(table);
    SummaryRow *row = AddSummaryRow(table, SUMMARY_ROW_FOOTER, 0, SUMMARY_PRODUCT_VERSION, NULL, SUMMARY_BLACK);
    row->align = 7;
    const char *middle = "";
    if (mode == 1) {
        char date[80] = "", time[32] = "";
        FormatDateTime(NULL, NULL, 0, date, sizeof date, &facts->nowLocal);
        GetTimeFormatA(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &facts->nowLocal, NULL, time, sizeof time);
        char joined[128];
        snprintf(joined, sizeof joined, "%s at %s", date, time);
        middle = MakeSummaryText(table, "Summary generated on %s", joined);
    }
    row = AddSummaryRow(table, SUMMARY_ROW_FOOTER, 0, middle ? middle : "", NULL, SUMMARY_BLACK);
    row->align = 8;
    row = AddSummaryRow(table, SUMMARY_ROW_FOOTER, 0, SUMMARY_PRODUCT_WEB, NULL, SUMMARY_BLACK);
    row->align = 9;
    return table->count;
}
