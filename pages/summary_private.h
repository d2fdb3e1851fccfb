// summary_private.h - helpers shared by the files of the Summary and Status pages.
#ifndef LEVYLINE_PAGES_SUMMARY_PRIVATE_H
#define LEVYLINE_PAGES_SUMMARY_PRIVATE_H

#include "pages/summary.h"

// String id of the program's string table into out, or fallback when the table lacks it.
void LoadSummaryString(int id, const char *fallback, char *out, int outSize);

// ---- row tables and their texts (pages/summary_rows.cpp) ----
// Hands a MemAlloc block to the table (freed with it); null (block freed) when the table is full.
void *KeepSummaryBlock(SummaryTable *table, void *block);
// A formatted text owned by the table; null when memory ran out.
char *MakeSummaryText(SummaryTable *table, const char *format, ...);
// The next row of the table, zero-filled with these members (value colour black); a scratch row
// when the table is full.
SummaryRow *AddSummaryRow(SummaryTable *table, uint32_t kind, uint16_t icon, const char *label, const char *value,
                          COLORREF labelColour);
// Span index (0..3) of the row: [start, end) in colour; ignored when empty or out of range.
void SetSummarySpan(SummaryRow *row, int index, COLORREF colour, int start, int end);
// The offset of the last / first occurrence of find in text, -1 when none (or no text).
int FindLastTextOffset(const char *text, const char *find);
int FindFirstTextOffset(const char *text, const char *find);
// Resolves the audience choices of text, then (plural set) its '$' choices by count of parts.
void ResolveSummaryChoices(char *text, const SummaryFacts *facts, int plural);
// A UTF-16 copy of text owned by the table, the middle blank of its last "(   )" turned into a
// black down-pointing triangle (the arrow of the "Status" button).
const wchar_t *MakeArrowText(SummaryTable *table, const char *text);
// The part block (0 federal, 1 state, 2 other) of the record described, its status letter, and
// the SYSTEMTIME at offset (PART_SENT_TIME or PART_STATUS_TIME) of the block.
uint8_t *GetSummaryPartBlock(const SummaryFacts *facts, int part);
char GetSummaryPartLetter(const SummaryFacts *facts, int part);
SYSTEMTIME GetSummaryPartTime(const SummaryFacts *facts, int part, int offset);
// 1 when a part has that status letter / any status letter (was sent).
int HasSummaryPartLetter(const SummaryFacts *facts, char letter);
int HasSummaryPartSent(const SummaryFacts *facts);
// A UTC time as a local date "MMMM d',' yyyy" ("" for a zero time).
void FormatSummaryDate(const SYSTEMTIME *utc, char *out, int outSize);
// A copy of the text member at offset of size bytes, which may fill it without a terminator.
void CopyReturnMember(const OpenReturn *record, int offset, int size, char *out, int outSize);

#endif
