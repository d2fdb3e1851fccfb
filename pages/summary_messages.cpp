// summary_messages.cpp - the Summary page's message box (never sent, rejected, pending with the
// late-season warning, accepted with its contact texts) and its options box.
#include "pages/pages.h"
#include "pages/summary_private.h"

#include <stdio.h>
#include <string.h>

// ---- message box ----

static const char *const kTransmissionText =
    "%Your/Your client's% tax $return has/returns have$ been successfully transmitted to the Levyline Processing "
    "Center where $it/they$ will be formatted and sent to the "
    "#IRS/%%STATEANDSTATEGOVERNMENTREVENUEDEPARTMENTTEXTSTRING%%/IRS and "
    "%%STATEANDSTATEGOVERNMENTREVENUEDEPARTMENTTEXTSTRING%%#.\r\n\r\n%Two steps remain/One step remains%:\r\n"
    "%    1. Your payment information must be verified; and\r\n    2./    1.% The "
    "#IRS/%%STATESHORTTEXTSTRING%%/IRS and %%STATESHORTTEXTSTRING%%# must validate information in the "
    "$return/returns$ before they will accept $it/them$.\r\n%These steps/This% usually %take/takes% 24 hours or "
    "less to complete but during high-volume periods may take up to 48 hours.\r\n\r\nShould the $return/returns$ "
    "be rejected during %either of these two steps/this step%, you will need to make the necessary corrections and "
    "re-send $it/them$. Note that rejected returns are not considered to be \"filed\" so IT IS VERY IMPORTANT THAT "
    "YOU CHECK THE STATUS OF %YOUR/YOUR CLIENT'S% $RETURN/RETURNS$ TO VERIFY $IT HAS/THEY HAVE$ BEEN ACCEPTED.";

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
    CopyReturnMember(facts->record, RETURN_PART_STATE + PART_CODE, 6, code, sizeof code);
    if (facts->present[1] && code[0])
        state = LookupUsState(code, NULL, 1);
    else {
        CopyReturnMember(facts->record, RETURN_PART_OTHER + PART_CODE, 6, code, sizeof code);
        state = LookupUsState(code, NULL, 1);
    }
    if (state)
        GetStateAgencyName(state, 0, 0, shortName, longName);
    ReplaceEvery(&text, "%%STATEANDSTATEGOVERNMENTREVENUEDEPARTMENTTEXTSTRING%%", longName);
    ReplaceEvery(&text, "%%STATESHORTTEXTSTRING%%", shortName);
    ResolveSummaryChoices(text, facts, 1);
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
    SYSTEMTIME accepted = GetSummaryPartTime(facts, part, PART_STATUS_TIME);
    FormatSummaryDate(&accepted, date, sizeof date);
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
            GetSummaryPartLetter(facts, 1) == 'A') {
            // The state part of the same state was accepted before this one: its agency is named already.
            SYSTEMTIME stateTime = GetSummaryPartTime(facts, 1, PART_STATUS_TIME), otherTime = accepted;
            FILETIME a, b;
            if (SystemTimeToFileTime(&stateTime, &a) && SystemTimeToFileTime(&otherTime, &b) &&
                CompareFileTime(&a, &b) <= 0)
                agency = shortName;
        }
        snprintf(out, (size_t)outSize, "%%Your/Your client's%% %s %s was ACCEPTED by the %s on %s.  %s", facts->taxYear,
                 description, agency, date, confirmation);
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
               "business days or more since the return was accepted, you can send an e-mail to the MN DOR "
               "at: " MN_DOR_EMAIL ".\r\n";
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
    SummaryRow *heading = AddSummaryRow(table, SUMMARY_ROW_HEADING, 270, "Message", NULL, SUMMARY_BLACK);
    uint8_t codes[SUMMARY_PARTS];
    for (int i = 0; i < SUMMARY_PARTS; i++)
        codes[i] = GetSummaryPartBlock(facts, i)[PART_STATUS_CODE];

    if (!HasSummaryPartSent(facts)) {
        AddSummaryRow(
            table, SUMMARY_ROW_PARAGRAPH, 256,
            "No returns in this file have been e-filed.  To e-file a return, follow the instructions at the top of "
            "the Status page.  (To access the Status page, click the \"Status\" button or click \"Status\" in the "
            "left-hand window.)",
            NULL, SUMMARY_BLACK);
    } else if (HasSummaryPartLetter(facts, 'R')) {
        const char *resend = "After you have made the necessary changes, click the \"Send\" button and follow the "
                             "on-screen prompts to re-send your return for processing.";
        if (codes[0] == 'A' || codes[1] == 'A' || codes[2] == 'A')
            AddSummaryRow(table, SUMMARY_ROW_PARAGRAPH, 256, resend, NULL, SUMMARY_BLACK);
        else
            AddSummaryRow(
                table, SUMMARY_ROW_PARAGRAPH, 256,
                MakeSummaryText(table,
                                "Check the email account (listed above) for a status update that describes why your "
                                "return was rejected.  %s\r\n\r\n(Note: If you can't find the email in your \"Inbox\", "
                                "check to make sure your email provider didn't place the email in a \"Junk\" folder "
                                "instead.  If you still don't can't find the email, you can request a description of "
                                "the errors that were found by sending an email -- with the Tracking Number listed "
                                "above -- to %s.)",
                                resend, SUMMARY_SUPPORT_EMAIL),
                NULL, SUMMARY_BLACK);
    } else if (HasSummaryPartLetter(facts, 'P')) {
        char *text = (char *)KeepSummaryBlock(table, BuildTransmissionText(facts));
        if (text && facts->lateSeason) {
            char *longer = MakeSummaryText(table, "%s\r\n", text);
            if (longer)
                text = longer;
        }
        SummaryRow *row = AddSummaryRow(table, SUMMARY_ROW_PARAGRAPH, 256, text, NULL, SUMMARY_BLACK);
        int from = FindLastTextOffset(text, "IT IS VERY"), to = FindLastTextOffset(text, ".");
        if (from >= 0 && to > from)
            SetSummarySpan(row, 0, SUMMARY_MAROON, from, to);
        if (facts->lateSeason) {
            char *late = MakeSummaryText(table, "%s", kLateSeasonText);
            if (late)
                ResolveSummaryChoices(late, facts, 1);
            AddSummaryRow(table, SUMMARY_ROW_PARAGRAPH, 557, late, NULL, SUMMARY_MAROON);
            heading->label = "Messages";
        }
        *optionsOut = 1;
    } else if (HasSummaryPartLetter(facts, 'A')) {
        AddSummaryRow(
            table, SUMMARY_ROW_PARAGRAPH, 559,
            "You can generate a PDF file of this return for your records.  This will allow you to view and print "
            "the return at any time using Adobe Reader.  To generate the file now, click \"File -> Generate PDF "
            "File\".\r\n",
            NULL, SUMMARY_BLACK);
        for (int part = 0; part < SUMMARY_PARTS; part++) {
            if (!facts->present[part] || GetSummaryPartLetter(facts, part) != 'A')
                continue;
            char accepted[1040];
            BuildAcceptedText(facts, part, accepted, sizeof accepted);
            char *text = MakeSummaryText(table, "%s", accepted);
            SummaryRow *row = AddSummaryRow(table, SUMMARY_ROW_PARAGRAPH, 437, text, NULL, SUMMARY_BLACK);
            int from = FindLastTextOffset(text, "ACCEPTED"), to = FindLastTextOffset(text, "by ");
            if (from >= 0 && to > from)
                SetSummarySpan(row, 0, SUMMARY_GREEN, from, to);
            const char *contact = ContactText(facts, part);
            char *resolved = contact ? MakeSummaryText(table, "%s", contact) : NULL;
            if (resolved)
                ResolveTextVariants(resolved, facts->audience);
            AddSummaryRow(table, SUMMARY_ROW_PARAGRAPH, 259, resolved, NULL, SUMMARY_BLACK);
            heading->label = "Messages";
        }
    } else {
        AddSummaryRow(table, SUMMARY_ROW_PARAGRAPH, 256, NULL, NULL, SUMMARY_BLACK);
    }
    return table->count;
}

// ---- options box ----

int BuildSummaryOptionRows(const SummaryFacts *facts, SummaryTable *table)
{
    FreeSummaryTable(table);
    AddSummaryRow(table, SUMMARY_ROW_HEADING, 558, "Tax Return Status", NULL, SUMMARY_BLACK);
    char *intro =
        MakeSummaryText(table, "%s",
                        "%Two/Three% options are available for checking the status of %your/your client's% tax "
                        "$return/returns$:");
    if (intro)
        ResolveSummaryChoices(intro, facts, 1);
    AddSummaryRow(table, SUMMARY_ROW_PARAGRAPH, 268, intro, NULL, SUMMARY_BLACK);

    char *option1 =
        MakeSummaryText(table, "%s",
                        "Option 1 (using Levyline) - To check the status of a pending return, start Levyline, "
                        "open %your/your client's% return, then click the down arrow (   ) on the \"Status\" "
                        "button and select \"Check for Updates\".");
    if (option1)
        ResolveSummaryChoices(option1, facts, 0);
    SummaryRow *row = AddSummaryRow(table, SUMMARY_ROW_PARAGRAPH, 259, NULL, NULL, SUMMARY_BLACK);
    row->wideLabel = MakeArrowText(table, option1);

    char *option2;
    if (facts->audience == 2 && facts->specialCustomer)
        option2 =
            MakeSummaryText(table, "%s",
                            "Option 2 (check your email) - An email will automatically be sent to the address listed "
                            "above if your client's return is rejected.");
    else
        option2 =
            MakeSummaryText(table, "%s",
                            "Option 2 (check your email) - An email will automatically be sent to the address listed "
                            "above when the status of %your/your client's% $return/returns$ changes from \"Pending\" "
                            "to \"Accepted\" or from \"Pending\" to \"Rejected\".");
    if (option2)
        ResolveSummaryChoices(option2, facts, 1);
    AddSummaryRow(table, SUMMARY_ROW_PARAGRAPH, 259, option2, NULL, SUMMARY_BLACK);

    if (facts->audience == 2)
        AddSummaryRow(
            table, SUMMARY_ROW_PARAGRAPH, 259,
            "Option 3 (run the Batch Status Report) - To retrieve the status for all of the current-year returns "
            "you have submitted for your clients, click \"View -> Batch Status Report\", then click the \"Update\" "
            "button.",
            NULL, SUMMARY_BLACK);

    char *last =
        MakeSummaryText(table, "%s",
                        "The last-known status of %your/your client's% $return/returns$ is shown on the Status "
                        "page.  To access the Status page, click the \"Status\" button or click \"Status\" in the "
                        "left-hand window.");
    if (last)
        ResolveSummaryChoices(last, facts, 1);
    uint16_t icon = HasSummaryPartLetter(facts, 'R')   ? 377
                    : HasSummaryPartLetter(facts, 'P') ? 425
                    : HasSummaryPartLetter(facts, 'A') ? 337
                                                       : 0;
    AddSummaryRow(table, SUMMARY_ROW_PARAGRAPH, icon, last, NULL, SUMMARY_BLACK);
    return table->count;
}
