// summary_rows.cpp - the row tables of the Summary and Status pages, built from the facts of one
// return (SummaryFacts) without a window: the general information, the message box, the
// options box, the status paragraphs and the part tables.
#include "pages/pages.h"
#include "pages/summary_private.h"
#include "calc/calc.h"

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

static void *KeepOwned(SummaryTable *table, void *block)
{
    if (!block)
        return NULL;
    if (table->ownedCount >= (int)(sizeof table->owned / sizeof table->owned[0]))
        return MemFree(block);
    table->owned[table->ownedCount++] = block;
    return block;
}

// A formatted text owned by the table; null when memory ran out.
static char *TableText(SummaryTable *table, const char *format, ...)
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
    return (char *)KeepOwned(table, text);
}

// The next row of the table (zero-filled), or a scratch row when the table is full.
static SummaryRow *AddRow(SummaryTable *table, uint32_t kind, uint16_t icon, const char *label, const char *value,
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

static void SetSpan(SummaryRow *row, int index, COLORREF colour, int start, int end)
{
    if (index < 0 || index > 3 || start < 0 || end <= start)
        return;
    row->spans[index].colour = colour;
    row->spans[index].start = (uint32_t)start;
    row->spans[index].end = (uint32_t)end;
}

static int LastOffset(const char *text, const char *find)
{
    int offset = -1;
    return text && FindLastSubString(text, find, &offset) ? offset : -1;
}

static int FirstOffset(const char *text, const char *find)
{
    int offset = -1;
    return text && FindSubString(text, find, &offset) ? offset : -1;
}

// Resolves the audience choices, then the '$' plural choices.
static void ResolveAudiencePlural(char *text, const SummaryFacts *facts, int plural)
{
    ResolveTextVariants(text, facts->audience);
    if (plural) {
        ReplaceChar(text, '$', '%');
        ResolveTextVariants(text, facts->plural);
    }
}

// A UTF-16 copy of text owned by the table, the middle blank of its last "(   )" turned into a
// black down-pointing triangle (the arrow of the "Status" button).
static const wchar_t *WideWithArrow(SummaryTable *table, const char *text)
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
    int at = LastOffset(text, "(   )");
    if (at >= 0 && at + 2 < count)
        wide[at + 2] = 0x25BC;
    return (const wchar_t *)KeepOwned(table, wide);
}

static uint8_t *PartBlock(const SummaryFacts *facts, int part)
{
    static const int kOffsets[SUMMARY_PARTS] = {RETURN_PART_FEDERAL, RETURN_PART_STATE, RETURN_PART_OTHER};
    return facts->record->bytes + kOffsets[part];
}

static char PartLetter(const SummaryFacts *facts, int part)
{
    return (char)PartBlock(facts, part)[PART_STATUS_LETTER];
}

static SYSTEMTIME PartTime(const SummaryFacts *facts, int part, int offset)
{
    SYSTEMTIME time;
    memcpy(&time, PartBlock(facts, part) + offset, sizeof time);
    return time;
}

static int AnyLetter(const SummaryFacts *facts, char letter)
{
    for (int i = 0; i < SUMMARY_PARTS; i++)
        if (PartLetter(facts, i) == letter)
            return 1;
    return 0;
}

static int AnySent(const SummaryFacts *facts)
{
    for (int i = 0; i < SUMMARY_PARTS; i++)
        if (PartLetter(facts, i))
            return 1;
    return 0;
}

// A UTC time as a local date "MMMM d',' yyyy" ("" for a zero time).
static void FormatLocalDate(const SYSTEMTIME *utc, char *out, int outSize)
{
    out[0] = 0;
    if (!utc->wYear)
        return;
    SYSTEMTIME local;
    SystemTimeToLocal(utc, &local);
    FormatDateTime(NULL, NULL, 0, out, outSize, &local);
}

// A bounded copy of a text member that may fill its size without a terminator.
static void CopyMember(const OpenReturn *record, int offset, int size, char *out, int outSize)
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
    CopyMember(record, RETURN_TRACKING_NUMBER, RETURN_TRACKING_LENGTH, number, sizeof number);
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
    AddRow(table, SUMMARY_ROW_HEADING, statusPage ? 558 : 411,
           statusPage ? "Status Information For..." : "General Information", NULL, SUMMARY_BLACK);

    char name[51];
    CopyMember(facts->record, RETURN_NAME_LINE, 50, name, sizeof name);
    CharUpperBuffA(name, (DWORD)strlen(name));
    AddRow(table, SUMMARY_ROW_LABEL, 109, "Taxpayer(s)", TableText(table, "%s", name[0] ? name : "N/A"),
           SUMMARY_NAVY);

    char tracking[80];
    FormatTrackingNumber(facts->record, tracking, sizeof tracking);
    AddRow(table, SUMMARY_ROW_LABEL, 349, "Tracking number", TableText(table, "%s", tracking), SUMMARY_NAVY);
    if (statusPage)
        return table->count;

    const char *path = facts->returnPath;
    int folderLength = GetFolderPartLength(path);
    const char *file = path[0] ? TableText(table, "%s", path + folderLength) : unsaved;
    AddRow(table, SUMMARY_ROW_LABEL, 102, "Tax return file", file, SUMMARY_NAVY);

    const char *where = unsaved;
    if (path[0]) {
        char folder[MAX_PATH], shown[MAX_PATH];
        int length = folderLength > 0 ? folderLength - 1 : 0;   // without the final backslash
        if (length >= (int)sizeof folder)
            length = (int)sizeof folder - 1;
        memcpy(folder, path, (size_t)length);
        folder[length] = 0;
        where = IsUnderDocumentsOrDesktop(folder, shown, sizeof shown) ? TableText(table, "%s", shown)
                                                                        : TableText(table, "%s", folder);
    }
    AddRow(table, SUMMARY_ROW_LABEL, 106, "Where saved", where, SUMMARY_NAVY);

    char email[65];
    CopyMember(facts->record, RETURN_EMAIL, 64, email, sizeof email);
    const char *note = " (used to send you status updates regarding this return)";
    char *value = TableText(table, "%s%s", email[0] ? email : "N/A", note);
    SummaryRow *row = AddRow(table, SUMMARY_ROW_PARAGRAPH, 255, "Email address", value, SUMMARY_NAVY);
    if (value)
        SetSpan(row, 0, SUMMARY_NAVY, (int)(strlen(value) - strlen(note)), (int)strlen(value));
    return table->count;
}

// ---- message box ----

static const char *const kTransmissionText =
    "%Your/Your client's% tax $return has/returns have$ been successfully transmitted to the Levyline Processing "
    "Center where $it/they$ will be formatted and sent to the #IRS/%%STATEANDSTATEGOVERNMENTREVENUEDEPARTMENTTEXTSTRING%%"
    "/IRS and %%STATEANDSTATEGOVERNMENTREVENUEDEPARTMENTTEXTSTRING%%#.\r\n\r\n%Two steps remain/One step remains%:\r\n"
    "%    1. Your payment information must be verified; and\r\n    2./    1.% The #IRS/%%STATESHORTTEXTSTRING%%/IRS and "
    "%%STATESHORTTEXTSTRING%%# must validate information in the $return/returns$ before they will accept $it/them$."
    "\r\n%These steps/This% usually %take/takes% 24 hours or less to complete but during high-volume periods may take up "
    "to 48 hours.\r\n\r\nShould the $return/returns$ be rejected during %either of these two steps/this step%, you will "
    "need to make the necessary corrections and re-send $it/them$. Note that rejected returns are not considered to be "
    "\"filed\" so IT IS VERY IMPORTANT THAT YOU CHECK THE STATUS OF %YOUR/YOUR CLIENT'S% $RETURN/RETURNS$ TO VERIFY "
    "$IT HAS/THEY HAVE$ BEEN ACCEPTED.";

static const char *const kLateSeasonText =
    "%Your/Your client's% $return was/returns were$ sent VERY CLOSE to the end of the e-filing season.  As a result, "
    "your close attention is required to ensure that the $return is/returns are$ accepted prior to the cut-off date.  "
    "If the $return is/returns are$ rejected, you may have as little as 24 hours to correct and re-send the "
    "$return/returns$ for processing.";

// Replaces every occurrence of find in the MemAlloc text *text.
static void ReplaceEvery(char **text, const char *find, const char *replacement)
{
    int position = 0;
    while (ReplaceSubString(text, find, replacement, 1, &position, 0))
        ;
}

// The pending parts' transmission paragraph (MemAlloc text, the caller's).
static char *BuildTransmissionText(const SummaryFacts *facts)
{
    char *text = DuplicateText(kTransmissionText);
    if (!text)
        return NULL;
    char longName[64] = "%your/your client's% state government";
    char shortName[16] = " ";
    char code[8];
    int state = 0;
    CopyMember(facts->record, RETURN_PART_STATE + PART_CODE, 6, code, sizeof code);
    if (facts->present[1] && code[0])
        state = LookupUsState(code, NULL, 1);
    else {
        CopyMember(facts->record, RETURN_PART_OTHER + PART_CODE, 6, code, sizeof code);
        state = LookupUsState(code, NULL, 1);
    }
    if (state)
        GetStateAgencyName(state, 0, 0, shortName, longName);
    ReplaceEvery(&text, "%%STATEANDSTATEGOVERNMENTREVENUEDEPARTMENTTEXTSTRING%%", longName);
    ReplaceEvery(&text, "%%STATESHORTTEXTSTRING%%", shortName);
    ResolveAudiencePlural(text, facts, 1);
    ReplaceChar(text, '#', '%');
    ResolveTextVariants(text, facts->authority);
    return text;
}

// The accepted text of one part (at most 1040 characters) into out.
static void BuildAcceptedText(const SummaryFacts *facts, int part, char *out, int outSize)
{
    out[0] = 0;
    if (!facts->described[part])
        return;
    const ReturnDescription *d = &facts->description[part];
    const char *description = d->longText[0] ? d->longText : d->shortText;
    char date[80] = "";
    SYSTEMTIME accepted = PartTime(facts, part, PART_STATUS_TIME);
    FormatLocalDate(&accepted, date, sizeof date);
    const char *confirmation = "A confirmation was sent to the email address listed above.";
    if (part == 0) {
        snprintf(out, (size_t)outSize, "%%Your/Your client's%% %s %s was ACCEPTED by the IRS on %s.  %s",
                 facts->taxYear, description, date, confirmation);
        if (facts->individualReturn && (d->kindLetter == RETURN_KIND_DEPOSIT || d->kindLetter == RETURN_KIND_MAIL)) {
            AppendTextBounded(out, (size_t)outSize, "  ");
            AppendTextBounded(out, (size_t)outSize,
                              "(If %you are/your client is% expecting a refund, the email will also include "
                              "instructions for tracking the status of the refund.)");
        }
    } else {
        char shortName[16] = "", longName[64] = "%your/your client's% state government";
        GetStateAgencyName(d->jurisdiction, 0, 0, shortName, longName);
        const char *agency = longName;
        if (part == 2 && shortName[0] && facts->described[1] && facts->description[1].jurisdiction == d->jurisdiction &&
            PartLetter(facts, 1) == 'A') {
            // The state part of the same state was accepted before this one: its agency is named already.
            SYSTEMTIME stateTime = PartTime(facts, 1, PART_STATUS_TIME), otherTime = accepted;
            FILETIME a, b;
            if (SystemTimeToFileTime(&stateTime, &a) && SystemTimeToFileTime(&otherTime, &b) &&
                CompareFileTime(&a, &b) <= 0)
                agency = shortName;
        }
        snprintf(out, (size_t)outSize, "%%Your/Your client's%% %s %s was ACCEPTED by the %s on %s.  %s",
                 facts->taxYear, description, agency, date, confirmation);
        if (part == 2 && d->jurisdiction == 24)
            AppendTextBounded(out, (size_t)outSize,
                              "  (The email also includes information on the MN DOR's refund schedule for property "
                              "tax refund returns.)");
        if (part == 2 && facts->specialCustomer) {
            char *stop = strchr(out, '.');
            if (stop)
                stop[1] = 0;
        }
    }
    ResolveTextVariants(out, facts->audience);
}

#define IRS_WEB_INDIVIDUALS "www.irs.gov/individuals"
#define MN_DOR_WEB "www.revenue.state.mn.us"
#define MN_DOR_EMAIL "individual.incometax@state.mn.us"
#define CA_FTB_WEB "www.ftb.ca.gov"

// The contact paragraph of an accepted part (null: the row carries only its icon).
static const char *ContactText(const SummaryFacts *facts, int part)
{
    int jurisdiction = facts->described[part] ? facts->description[part].jurisdiction : 0;
    if (part == 0 && facts->businessReturn)
        return "Now that %your/your client's% return has been accepted, all questions regarding %your/the% return "
               "should be directed to the IRS. Their toll-free telephone number is 1-800-829-4933.\r\n";
    if (part == 0)
        return "Now that %your/your client's% return has been accepted, all questions regarding %your/the% tax "
               "return, refunds, amount due, etc. should be directed to the IRS. Their toll-free telephone number is "
               "1-800-829-1040.  You can also get additional information, including the status of refunds, by "
               "visiting the IRS's web site at " IRS_WEB_INDIVIDUALS ".\r\n";
    if (part == 1 && jurisdiction == 24)
        return "Now that %your/your client's% return has been accepted, all questions regarding %your/the% tax "
               "return, refunds, amount due, etc. should be directed to the MN DOR.  Their telephone number is "
               "651-296-3781.  You can also check out their web site at " MN_DOR_WEB " or use the MN DOR's Refund "
               "Tracking help line (available 24 hours a day, seven days a week) at 651-296-4444 or 1-800-657-3676.  "
               "Please be aware that the refund line will not have the status of any refund that %you are/your "
               "client is% expecting until after the return has completed processing and the refund is ready to be "
               "issued.\r\n\r\nIf the Refund Tracking line does not have the status and you know it has been 15 "
               "business days or more since the return was accepted, you can send an e-mail to the MN DOR at: "
               MN_DOR_EMAIL ".\r\n";
    if (part == 1 && jurisdiction == 5)
        return "Now that %your/your client's% return has been accepted, all questions regarding %your/the% tax "
               "return, refunds, amount due, etc. should be directed to the Franchise Tax Board.  You can check out "
               "their web site at " CA_FTB_WEB " or their automated tax help line at 1-800-338-0505.\r\n";
    if (part == 2 && jurisdiction == 24)
        return "Now that %your/your client's% return has been accepted, all questions regarding %your/the% tax "
               "return, refunds, etc. should be directed to the MN DOR.  Their telephone number is 651-296-3781.  "
               "You can also check the status of refunds by visiting their web site (" MN_DOR_WEB ") and clicking "
               "\"Check refund status\" under the \"e-Services\" label.  Alternatively, you can use the MN DOR's "
               "Refund Tracking help line (available 24 hours a day, seven days a week) at 651-296-4444 or "
               "1-800-657-3676.  Please be aware that the MN DOR does not update the refund status until after the "
               "return has completed internal processing and the refund is ready to be issued.\r\n";
    return NULL;
}

int BuildSummaryMessageRows(const SummaryFacts *facts, SummaryTable *table, int *optionsOut)
{
    FreeSummaryTable(table);
    *optionsOut = 0;
    SummaryRow *heading = AddRow(table, SUMMARY_ROW_HEADING, 270, "Message", NULL, SUMMARY_BLACK);
    uint8_t codes[SUMMARY_PARTS];
    for (int i = 0; i < SUMMARY_PARTS; i++)
        codes[i] = PartBlock(facts, i)[PART_STATUS_CODE];

    if (!AnySent(facts)) {
        AddRow(table, SUMMARY_ROW_PARAGRAPH, 256,
               "No returns in this file have been e-filed.  To e-file a return, follow the instructions at the top of "
               "the Status page.  (To access the Status page, click the \"Status\" button or click \"Status\" in the "
               "left-hand window.)",
               NULL, SUMMARY_BLACK);
    } else if (AnyLetter(facts, 'R')) {
        const char *resend = "After you have made the necessary changes, click the \"Send\" button and follow the "
                             "on-screen prompts to re-send your return for processing.";
        if (codes[0] == 'A' || codes[1] == 'A' || codes[2] == 'A')
            AddRow(table, SUMMARY_ROW_PARAGRAPH, 256, resend, NULL, SUMMARY_BLACK);
        else
            AddRow(table, SUMMARY_ROW_PARAGRAPH, 256,
                   TableText(table,
                             "Check the email account (listed above) for a status update that describes why your "
                             "return was rejected.  %s\r\n\r\n(Note: If you can't find the email in your \"Inbox\", "
                             "check to make sure your email provider didn't place the email in a \"Junk\" folder "
                             "instead.  If you still don't can't find the email, you can request a description of "
                             "the errors that were found by sending an email -- with the Tracking Number listed "
                             "above -- to %s.)",
                             resend, SUMMARY_SUPPORT_EMAIL),
                   NULL, SUMMARY_BLACK);
    } else if (AnyLetter(facts, 'P')) {
        char *text = (char *)KeepOwned(table, BuildTransmissionText(facts));
        if (text && facts->lateSeason) {
            char *longer = TableText(table, "%s\r\n", text);
            if (longer)
                text = longer;
        }
        SummaryRow *row = AddRow(table, SUMMARY_ROW_PARAGRAPH, 256, text, NULL, SUMMARY_BLACK);
        int from = LastOffset(text, "IT IS VERY"), to = LastOffset(text, ".");
        if (from >= 0 && to > from)
            SetSpan(row, 0, SUMMARY_MAROON, from, to);
        if (facts->lateSeason) {
            char *late = TableText(table, "%s", kLateSeasonText);
            if (late)
                ResolveAudiencePlural(late, facts, 1);
            AddRow(table, SUMMARY_ROW_PARAGRAPH, 557, late, NULL, SUMMARY_MAROON);
            heading->label = "Messages";
        }
        *optionsOut = 1;
    } else if (AnyLetter(facts, 'A')) {
        AddRow(table, SUMMARY_ROW_PARAGRAPH, 559,
               "You can generate a PDF file of this return for your records.  This will allow you to view and print "
               "the return at any time using Adobe Reader.  To generate the file now, click \"File -> Generate PDF "
               "File\".\r\n",
               NULL, SUMMARY_BLACK);
        for (int part = 0; part < SUMMARY_PARTS; part++) {
            if (!facts->present[part] || PartLetter(facts, part) != 'A')
                continue;
            char accepted[1040];
            BuildAcceptedText(facts, part, accepted, sizeof accepted);
            char *text = TableText(table, "%s", accepted);
            SummaryRow *row = AddRow(table, SUMMARY_ROW_PARAGRAPH, 437, text, NULL, SUMMARY_BLACK);
            int from = LastOffset(text, "ACCEPTED"), to = LastOffset(text, "by ");
            if (from >= 0 && to > from)
                SetSpan(row, 0, SUMMARY_GREEN, from, to);
            const char *contact = ContactText(facts, part);
            char *resolved = contact ? TableText(table, "%s", contact) : NULL;
            if (resolved)
                ResolveTextVariants(resolved, facts->audience);
            AddRow(table, SUMMARY_ROW_PARAGRAPH, 259, resolved, NULL, SUMMARY_BLACK);
            heading->label = "Messages";
        }
    } else {
        AddRow(table, SUMMARY_ROW_PARAGRAPH, 256, NULL, NULL, SUMMARY_BLACK);
    }
    return table->count;
}

// ---- options box ----

int BuildSummaryOptionRows(const SummaryFacts *facts, SummaryTable *table)
{
    FreeSummaryTable(table);
    AddRow(table, SUMMARY_ROW_HEADING, 558, "Tax Return Status", NULL, SUMMARY_BLACK);
    char *intro = TableText(table, "%s",
                            "%Two/Three% options are available for checking the status of %your/your client's% tax "
                            "$return/returns$:");
    if (intro)
        ResolveAudiencePlural(intro, facts, 1);
    AddRow(table, SUMMARY_ROW_PARAGRAPH, 268, intro, NULL, SUMMARY_BLACK);

    char *option1 = TableText(table, "%s",
                              "Option 1 (using Levyline) - To check the status of a pending return, start Levyline, "
                              "open %your/your client's% return, then click the down arrow (   ) on the \"Status\" "
                              "button and select \"Check for Updates\".");
    if (option1)
        ResolveAudiencePlural(option1, facts, 0);
    SummaryRow *row = AddRow(table, SUMMARY_ROW_PARAGRAPH, 259, NULL, NULL, SUMMARY_BLACK);
    row->wideLabel = WideWithArrow(table, option1);

    char *option2;
    if (facts->audience == 2 && facts->specialCustomer)
        option2 = TableText(table, "%s",
                            "Option 2 (check your email) - An email will automatically be sent to the address listed "
                            "above if your client's return is rejected.");
    else
        option2 = TableText(table, "%s",
                            "Option 2 (check your email) - An email will automatically be sent to the address listed "
                            "above when the status of %your/your client's% $return/returns$ changes from \"Pending\" "
                            "to \"Accepted\" or from \"Pending\" to \"Rejected\".");
    if (option2)
        ResolveAudiencePlural(option2, facts, 1);
    AddRow(table, SUMMARY_ROW_PARAGRAPH, 259, option2, NULL, SUMMARY_BLACK);

    if (facts->audience == 2)
        AddRow(table, SUMMARY_ROW_PARAGRAPH, 259,
               "Option 3 (run the Batch Status Report) - To retrieve the status for all of the current-year returns "
               "you have submitted for your clients, click \"View -> Batch Status Report\", then click the \"Update\" "
               "button.",
               NULL, SUMMARY_BLACK);

    char *last = TableText(table, "%s",
                           "The last-known status of %your/your client's% $return/returns$ is shown on the Status "
                           "page.  To access the Status page, click the \"Status\" button or click \"Status\" in the "
                           "left-hand window.");
    if (last)
        ResolveAudiencePlural(last, facts, 1);
    uint16_t icon = AnyLetter(facts, 'R') ? 377 : AnyLetter(facts, 'P') ? 425 : AnyLetter(facts, 'A') ? 337 : 0;
    AddRow(table, SUMMARY_ROW_PARAGRAPH, icon, last, NULL, SUMMARY_BLACK);
    return table->count;
}

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
            SYSTEMTIME time = PartTime(facts, part, offsets[k]);
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
    int sent = AnySent(facts);
    *raiseOut = sent ? 40 : 0;
    int pending = AnyLetter(facts, 'P');
    if (pending) {
        const char *text =
            "Returns that have been sent for processing will initially have a status of Pending.  Once processing has "
            "completed, the status will change to either Accepted or Rejected.  A status of \"Accepted\" means the "
            "return was accepted by the taxing authorities and is considered to be filed.  A status of \"Rejected\" "
            "means that errors were detected which must be corrected before the return will be considered to be "
            "filed.";
        SummaryRow *row = AddRow(table, SUMMARY_ROW_PARAGRAPH, 427, text, NULL, SUMMARY_BLACK);
        int p = LastOffset(text, " Pending."), a = LastOffset(text, "r Accepted "), r = LastOffset(text, " Rejected.");
        SetSpan(row, 0, SUMMARY_OLIVE, p + 1, p + 8);
        SetSpan(row, 1, SUMMARY_GREEN, a + 2, a + 10);
        SetSpan(row, 2, SUMMARY_MAROON, r + 1, r + 9);
        AddRow(table, SUMMARY_ROW_PARAGRAPH, 259,
               "Status updates are usually available within 24 hours of sending a return for processing (but can take "
               "up to 48 hours during high-volume periods).",
               NULL, SUMMARY_BLACK);
        char *check = TableText(table, "%s",
                                facts->audience == 2
                                    ? "To check if the status of %your/your client's% pending $return/returns$ has "
                                      "changed, either click the down arrow (   ) on the \"Status\" button, then click "
                                      "\"Check for Updates\" OR click \"View -> Batch Status Report\", then click the "
                                      "\"Update\" button."
                                    : "To check if the status of %your/your client's% pending $return/returns$ has "
                                      "changed, click the down arrow (   ) on the \"Status\" button, then click "
                                      "\"Check for Updates\".");
        if (check)
            ResolveAudiencePlural(check, facts, 1);
        SummaryRow *arrow = AddRow(table, SUMMARY_ROW_PARAGRAPH, 259, NULL, NULL, SUMMARY_BLACK);
        arrow->wideLabel = WideWithArrow(table, check);
    }
    if (!sent) {
        char *text = TableText(table, "%s",
                               "The status of %your/your client's% $return/returns$ will change after $it has/they "
                               "have$ been sent for processing.  (To e-file %your/your client's% $return/returns$, "
                               "check the appropriate $box/boxes$ on the \"Setup -> e-File Options\" screen, then "
                               "click the \"Send\" button and follow the on-screen prompts.)");
        if (text)
            ResolveAudiencePlural(text, facts, 1);
        SummaryRow *row = AddRow(table, SUMMARY_ROW_PARAGRAPH, 268, text, NULL, SUMMARY_BLACK);
        int after = FirstOffset(text, "after ");
        if (after >= 0)
            SetSpan(row, 0, SUMMARY_NAVY, after, after + 5);
        return table->count;
    }
    SYSTEMTIME latest = {};
    char when[64] = "", age[96] = "";
    if (FindLatestTime(facts, &latest)) {
        FormatFileTimeText(NULL, &latest, NULL, when, sizeof when, 1, 1);
        if (pending)
            FormatStatusAge(&facts->nowUtc, &latest, age, sizeof age);
    }
    char *text = TableText(table, "The status of %%your/your client's%% $return/returns$ was last updated on %s%s.",
                           when, age);
    if (text)
        ResolveAudiencePlural(text, facts, 1);
    SummaryRow *row = AddRow(table, SUMMARY_ROW_PARAGRAPH, 268, text, NULL, SUMMARY_BLACK);
    int on = LastOffset(text, "on "), at = LastOffset(text, "at "), end = LastOffset(text, ".");
    if (on >= 0 && at > on)
        SetSpan(row, 0, SUMMARY_NAVY, on + 3, at);
    if (at >= 0 && end > at)
        SetSpan(row, 1, SUMMARY_NAVY, at + 3, end);
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
        CopyMember(facts->record, RETURN_PART_STATE + PART_CODE, 6, code, sizeof code);
        LoadSummaryString(1006, "State Return [empty]", tail, sizeof tail);
        snprintf(name, sizeof name, "%s %s", code, tail);
    } else {
        CopyMember(facts->record, RETURN_PART_OTHER + PART_CODE, 6, code, sizeof code);
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
        AddRow(table, SUMMARY_ROW_HEADING, kIcons[part], TableText(table, "%s %s", facts->taxYear, name), NULL,
               SUMMARY_BLACK);
        return table->count;
    }
    if (!facts->described[part]) {
        AddRow(table, SUMMARY_ROW_HEADING, kIcons[part],
               TableText(table, "%s %s", facts->taxYear, facts->folderCaption[part]), NULL, SUMMARY_BLACK);
        return table->count;
    }
    const ReturnDescription *d = &facts->description[part];
    char *label = TableText(table, "%s %s", facts->taxYear, d->longText[0] ? d->longText : d->shortText);
    if (label && strstr(label, "Form 94x PIN Request"))
        label = TableText(table, "%s", d->shortText);
    AddRow(table, SUMMARY_ROW_HEADING, kIcons[part], label, NULL, SUMMARY_BLACK);
    if (d->kindLetter)
        AddRow(table, SUMMARY_ROW_LABEL, 290, TableText(table, "%s", d->secondLabel),
               TableText(table, "%s", d->secondValue), SUMMARY_NAVY);
    return table->count;
}

int BuildPartStatusRows(const SummaryFacts *facts, int part, SummaryTable *table)
{
    FreeSummaryTable(table);
    char letter = PartLetter(facts, part);
    if (!letter) {
        int otherSent = 0;
        for (int i = 0; i < SUMMARY_PARTS; i++)
            if (i != part && PartLetter(facts, i))
                otherSent = 1;
        const char *first = "This return has not been e-filed.";
        char *value = TableText(table, "%s%s", first,
                                otherSent ? "  (To e-file this return, check the appropriate box on the \"Setup -> "
                                            "e-File Options\" screen, then click the \"Send\" button and follow the "
                                            "on-screen prompts.)"
                                          : "");
        SummaryRow *row = AddRow(table, SUMMARY_ROW_PARAGRAPH, 197, "Status", value, SUMMARY_NAVY);
        SetSpan(row, 0, SUMMARY_MAROON, 0, (int)strlen(first));
        return table->count;
    }
    char date[80];
    SYSTEMTIME sentTime = PartTime(facts, part, PART_SENT_TIME);
    FormatLocalDate(&sentTime, date, sizeof date);
    AddRow(table, SUMMARY_ROW_LABEL, 318, "Postmark", TableText(table, "%s", date), SUMMARY_NAVY);

    SYSTEMTIME statusTime = PartTime(facts, part, PART_STATUS_TIME);
    char statusDate[80];
    FormatLocalDate(&statusTime, statusDate, sizeof statusDate);
    SummaryRow *row;
    if (letter == 'P') {
        row = AddRow(table, SUMMARY_ROW_LABEL, 425, "Status", "Pending", SUMMARY_NAVY);
        SetSpan(row, 0, SUMMARY_OLIVE, 0, 7);
    } else if (letter == 'A') {
        row = AddRow(table, SUMMARY_ROW_LABEL, 337, "Status", TableText(table, "%s on %s", "Accepted", statusDate),
                     SUMMARY_NAVY);
        SetSpan(row, 0, SUMMARY_GREEN, 0, 8);
    } else if (letter == 'R') {
        row = AddRow(table, SUMMARY_ROW_LABEL, 377, "Status", TableText(table, "%s on %s", "Rejected", statusDate),
                     SUMMARY_NAVY);
        SetSpan(row, 0, SUMMARY_MAROON, 0, 8);
    } else {
        AddRow(table, SUMMARY_ROW_LABEL, 0, "Status", "", SUMMARY_NAVY);
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
    DescribeReturnStatus(PartBlock(facts, part) + PART_SENT_TIME, message, sizeof message, facts->record, name, 1,
                         !facts->givenRecord);
    ResolveTextVariants(message, facts->audience);
    AddRow(table, SUMMARY_ROW_PARAGRAPH, 270, "Message", TableText(table, "%s", message), SUMMARY_NAVY);
    return table->count;
}

// ---- footer ----

int BuildSummaryFooterRows(const SummaryFacts *facts, int mode, SummaryTable *table)
{
    FreeSummaryTable(table);
    SummaryRow *row = AddRow(table, SUMMARY_ROW_FOOTER, 0, SUMMARY_PRODUCT_VERSION, NULL, SUMMARY_BLACK);
    row->align = 7;
    const char *middle = "";
    if (mode == 1) {
        char date[80] = "", time[32] = "";
        FormatDateTime(NULL, NULL, 0, date, sizeof date, &facts->nowLocal);
        GetTimeFormatA(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &facts->nowLocal, NULL, time, sizeof time);
        char joined[128];
        snprintf(joined, sizeof joined, "%s at %s", date, time);
        middle = TableText(table, "Summary generated on %s", joined);
    }
    row = AddRow(table, SUMMARY_ROW_FOOTER, 0, middle ? middle : "", NULL, SUMMARY_BLACK);
    row->align = 8;
    row = AddRow(table, SUMMARY_ROW_FOOTER, 0, SUMMARY_PRODUCT_WEB, NULL, SUMMARY_BLACK);
    row->align = 9;
    return table->count;
}
