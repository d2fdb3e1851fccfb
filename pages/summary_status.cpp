// summary_status.cpp - the Status page's paragraphs (pending explanation, never sent, last update
// with its age) and one table per return part (heading, description, postmark, status, message).
#include "pages/pages.h"
#include "pages/summary_private.h"
#include "calc/calc.h"

#include <stdio.h>
#include <string.h>

// ---- status paragraphs ----

void FormatStatusAge(const SYSTEMTIME *now, const SYSTEMTIME *then, char *out, int outSize)
{
    out[0] = 0;
    int days = DiffDates(now, then, 1);
    int hours = DiffDates(now, then, 2);
    int minutes = DiffDates(now, then, 3);
    if (DiffDates(now, then, 6) < 0 || days < 0 || hours < 0 || minutes < 0)
        return;
    hours %= 24;
    minutes %= 60;
    char text[96] = " (";
    char piece[32];
    if (days) {
        snprintf(piece, sizeof piece, "%d %s%s ", days, days > 1 ? "days" : "day", hours ? "," : "");
        AppendTextBounded(text, sizeof text, piece);
    }
    if (hours) {
        snprintf(piece, sizeof piece, "%d %s ", hours, hours > 1 ? "hours" : "hour");
        AppendTextBounded(text, sizeof text, piece);
    }
    if (!days && !hours) {
        snprintf(piece, sizeof piece, "%d %s ", minutes, minutes == 1 ? "minute" : "minutes");
        AppendTextBounded(text, sizeof text, piece);
    }
    AppendTextBounded(text, sizeof text, "ago)");
    lstrcpynA(out, text, outSize);
}

// The latest of the six times of the part blocks; 0 when all are zero.
static int FindLatestTime(const SummaryFacts *facts, SYSTEMTIME *latestOut)
{
    int found = 0;
    FILETIME best = {0, 0};
    for (int part = 0; part < SUMMARY_PARTS; part++) {
        const int offsets[2] = {PART_SENT_TIME, PART_STATUS_TIME};
        for (int k = 0; k < 2; k++) {
            SYSTEMTIME time = GetSummaryPartTime(facts, part, offsets[k]);
            FILETIME file;
            if (!time.wYear || !SystemTimeToFileTime(&time, &file))
                continue;
            if (!found || CompareFileTime(&file, &best) > 0) {
                best = file;
                *latestOut = time;
                found = 1;
            }
        }
    }
    return found;
}

int BuildStatusParagraphRows(const SummaryFacts *facts, SummaryTable *table, int *raiseOut)
{
    FreeSummaryTable(table);
    int sent = HasSummaryPartSent(facts);
    *raiseOut = sent ? 40 : 0;
    int pending = HasSummaryPartLetter(facts, 'P');
    if (pending) {
        const char *text =
            "Returns that have been sent for processing will initially have a status of Pending.  Once processing has "
            "completed, the status will change to either Accepted or Rejected.  A status of \"Accepted\" means the "
            "return was accepted by the taxing authorities and is considered to be filed.  A status of \"Rejected\" "
            "means that errors were detected which must be corrected before the return will be considered to be "
            "filed.";
        SummaryRow *row = AddSummaryRow(table, SUMMARY_ROW_PARAGRAPH, 427, text, NULL, SUMMARY_BLACK);
        int p = FindLastTextOffset(text, " Pending."), a = FindLastTextOffset(text, "r Accepted "),
            r = FindLastTextOffset(text, " Rejected.");
        SetSummarySpan(row, 0, SUMMARY_OLIVE, p + 1, p + 8);
        SetSummarySpan(row, 1, SUMMARY_GREEN, a + 2, a + 10);
        SetSummarySpan(row, 2, SUMMARY_MAROON, r + 1, r + 9);
        AddSummaryRow(
            table, SUMMARY_ROW_PARAGRAPH, 259,
            "Status updates are usually available within 24 hours of sending a return for processing (but can take "
            "up to 48 hours during high-volume periods).",
            NULL, SUMMARY_BLACK);
        char *check = MakeSummaryText(
            table, "%s",
            facts->audience == 2 ? "To check if the status of %your/your client's% pending $return/returns$ has "
                                   "changed, either click the down arrow (   ) on the \"Status\" button, then click "
                                   "\"Check for Updates\" OR click \"View -> Batch Status Report\", then click the "
                                   "\"Update\" button."
                                 : "To check if the status of %your/your client's% pending $return/returns$ has "
                                   "changed, click the down arrow (   ) on the \"Status\" button, then click "
                                   "\"Check for Updates\".");
        if (check)
            ResolveSummaryChoices(check, facts, 1);
        SummaryRow *arrow = AddSummaryRow(table, SUMMARY_ROW_PARAGRAPH, 259, NULL, NULL, SUMMARY_BLACK);
        arrow->wideLabel = MakeArrowText(table, check);
    }
    if (!sent) {
        char *text =
            MakeSummaryText(table, "%s",
                            "The status of %your/your client's% $return/returns$ will change after $it has/they "
                            "have$ been sent for processing.  (To e-file %your/your client's% $return/returns$, "
                            "check the appropriate $box/boxes$ on the \"Setup -> e-File Options\" screen, then "
                            "click the \"Send\" button and follow the on-screen prompts.)");
        if (text)
            ResolveSummaryChoices(text, facts, 1);
        SummaryRow *row = AddSummaryRow(table, SUMMARY_ROW_PARAGRAPH, 268, text, NULL, SUMMARY_BLACK);
        int after = FindFirstTextOffset(text, "after ");
        if (after >= 0)
            SetSummarySpan(row, 0, SUMMARY_NAVY, after, after + 5);
        return table->count;
    }
    SYSTEMTIME latest = {};
    char when[64] = "", age[96] = "";
    if (FindLatestTime(facts, &latest)) {
        FormatFileTimeText(NULL, &latest, NULL, when, sizeof when, 1, 1);
        if (pending)
            FormatStatusAge(&facts->nowUtc, &latest, age, sizeof age);
    }
    char *text = MakeSummaryText(
        table, "The status of %%your/your client's%% $return/returns$ was last updated on %s%s.", when, age);
    if (text)
        ResolveSummaryChoices(text, facts, 1);
    SummaryRow *row = AddSummaryRow(table, SUMMARY_ROW_PARAGRAPH, 268, text, NULL, SUMMARY_BLACK);
    int on = FindLastTextOffset(text, "on "), at = FindLastTextOffset(text, "at "), end = FindLastTextOffset(text, ".");
    if (on >= 0 && at > on)
        SetSummarySpan(row, 0, SUMMARY_NAVY, on + 3, at);
    if (at >= 0 && end > at)
        SetSummarySpan(row, 1, SUMMARY_NAVY, at + 3, end);
    return table->count;
}

// ---- part tables ----

void GetSummaryPartName(const SummaryFacts *facts, int part, char *out, int outSize)
{
    char name[128] = "";
    char code[8];
    if (part == 0) {
        LoadSummaryString(1005, "Federal Return [empty]", name, sizeof name);
    } else if (part == 1) {
        char tail[64];
        CopyReturnMember(facts->record, RETURN_PART_STATE + PART_CODE, 6, code, sizeof code);
        LoadSummaryString(1006, "State Return [empty]", tail, sizeof tail);
        snprintf(name, sizeof name, "%s %s", code, tail);
    } else {
        CopyReturnMember(facts->record, RETURN_PART_OTHER + PART_CODE, 6, code, sizeof code);
        if (!_strnicmp(code, "MN", 2))
            lstrcpynA(name, "MN Property Tax Refund Return", sizeof name);
    }
    // "Federal Return [empty]" reads "Federal Return": cut at the last '[' and the blank before it.
    char *bracket = strrchr(name, '[');
    if (bracket)
        bracket[bracket > name ? -1 : 0] = 0;
    lstrcpynA(out, name, outSize);
}

int BuildPartHeadingRows(const SummaryFacts *facts, int part, SummaryTable *table)
{
    FreeSummaryTable(table);
    static const uint16_t kIcons[SUMMARY_PARTS] = {110, 111, 333};
    char name[128];
    GetSummaryPartName(facts, part, name, sizeof name);
    if (facts->givenRecord) {
        AddSummaryRow(table, SUMMARY_ROW_HEADING, kIcons[part], MakeSummaryText(table, "%s %s", facts->taxYear, name),
                      NULL, SUMMARY_BLACK);
        return table->count;
    }
    if (!facts->described[part]) {
        AddSummaryRow(table, SUMMARY_ROW_HEADING, kIcons[part],
                      MakeSummaryText(table, "%s %s", facts->taxYear, facts->folderCaption[part]), NULL, SUMMARY_BLACK);
        return table->count;
    }
    const ReturnDescription *d = &facts->description[part];
    char *label = MakeSummaryText(table, "%s %s", facts->taxYear, d->longText[0] ? d->longText : d->shortText);
    if (label && strstr(label, "Form 94x PIN Request"))
        label = MakeSummaryText(table, "%s", d->shortText);
    AddSummaryRow(table, SUMMARY_ROW_HEADING, kIcons[part], label, NULL, SUMMARY_BLACK);
    // A part of several main forms (a Form 941 beside a 1040) names the form of each amount.
    static const char kLetters[SUMMARY_PARTS] = {'F', 'S', 'O'};
    ReturnDescription forms[4];
    int count = DescribeReturnForms(kLetters[part], forms, 4);
    if (count > 1) {
        for (int i = 0; i < count && i < 4; i++)
            if (forms[i].kindLetter)
                AddSummaryRow(table, SUMMARY_ROW_LABEL, 290,
                              MakeSummaryText(table, "%s %s", forms[i].shortText, forms[i].secondLabel),
                              MakeSummaryText(table, "%s", forms[i].secondValue), SUMMARY_NAVY);
    } else if (d->kindLetter) {
        AddSummaryRow(table, SUMMARY_ROW_LABEL, 290, MakeSummaryText(table, "%s", d->secondLabel),
                      MakeSummaryText(table, "%s", d->secondValue), SUMMARY_NAVY);
    }
    return table->count;
}

int BuildPartStatusRows(const SummaryFacts *facts, int part, SummaryTable *table)
{
    FreeSummaryTable(table);
    char letter = GetSummaryPartLetter(facts, part);
    if (!letter) {
        int otherSent = 0;
        for (int i = 0; i < SUMMARY_PARTS; i++)
            if (i != part && GetSummaryPartLetter(facts, i))
                otherSent = 1;
        const char *first = "This return has not been e-filed.";
        char *value =
            MakeSummaryText(table, "%s%s", first,
                            otherSent ? "  (To e-file this return, check the appropriate box on the \"Setup -> "
                                        "e-File Options\" screen, then click the \"Send\" button and follow the "
                                        "on-screen prompts.)"
                                      : "");
        SummaryRow *row = AddSummaryRow(table, SUMMARY_ROW_PARAGRAPH, 197, "Status", value, SUMMARY_NAVY);
        SetSummarySpan(row, 0, SUMMARY_MAROON, 0, (int)strlen(first));
        return table->count;
    }
    char date[80];
    SYSTEMTIME sentTime = GetSummaryPartTime(facts, part, PART_SENT_TIME);
    FormatSummaryDate(&sentTime, date, sizeof date);
    AddSummaryRow(table, SUMMARY_ROW_LABEL, 318, "Postmark", MakeSummaryText(table, "%s", date), SUMMARY_NAVY);

    SYSTEMTIME statusTime = GetSummaryPartTime(facts, part, PART_STATUS_TIME);
    char statusDate[80];
    FormatSummaryDate(&statusTime, statusDate, sizeof statusDate);
    SummaryRow *row;
    if (letter == 'P') {
        row = AddSummaryRow(table, SUMMARY_ROW_LABEL, 425, "Status", "Pending", SUMMARY_NAVY);
        SetSummarySpan(row, 0, SUMMARY_OLIVE, 0, 7);
    } else if (letter == 'A') {
        row = AddSummaryRow(table, SUMMARY_ROW_LABEL, 337, "Status",
                            MakeSummaryText(table, "%s on %s", "Accepted", statusDate), SUMMARY_NAVY);
        SetSummarySpan(row, 0, SUMMARY_GREEN, 0, 8);
    } else if (letter == 'R') {
        row = AddSummaryRow(table, SUMMARY_ROW_LABEL, 377, "Status",
                            MakeSummaryText(table, "%s on %s", "Rejected", statusDate), SUMMARY_NAVY);
        SetSummarySpan(row, 0, SUMMARY_MAROON, 0, 8);
    } else {
        AddSummaryRow(table, SUMMARY_ROW_LABEL, 0, "Status", "", SUMMARY_NAVY);
    }

    char message[520] = "None";
    char name[128];
    GetSummaryPartName(facts, part, name, sizeof name);
    if (!name[0]) {
        SummaryTable heading = {};
        BuildPartHeadingRows(facts, part, &heading);
        if (heading.rows[0].label)
            lstrcpynA(name, heading.rows[0].label, sizeof name);
        FreeSummaryTable(&heading);
    }
    DescribeReturnStatus(GetSummaryPartBlock(facts, part) + PART_SENT_TIME, message, sizeof message, facts->record,
                         name, 1, !facts->givenRecord);
    ResolveTextVariants(message, facts->audience);
    AddSummaryRow(table, SUMMARY_ROW_PARAGRAPH, 270, "Message", MakeSummaryText(table, "%s", message), SUMMARY_NAVY);
    return table->count;
}
