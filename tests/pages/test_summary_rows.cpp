// The row tables of the Summary and Status pages, built from synthetic return records without a
// window: never sent, pending (taxpayer and preparer), accepted, rejected, sent late in the
// season, tracking numbers and name lines that fill their members, and the age of a status.
#include "pages/pages.h"
#include "prepare/prepare.h"

#include <gtest/gtest.h>
#include <string.h>

#include <string>
#include <vector>

namespace
{

SYSTEMTIME Utc(int year, int month, int day, int hour = 12, int minute = 0)
{
    SYSTEMTIME t = {};
    t.wYear = (WORD)year;
    t.wMonth = (WORD)month;
    t.wDay = (WORD)day;
    t.wHour = (WORD)hour;
    t.wMinute = (WORD)minute;
    return t;
}

const int kParts[3] = {RETURN_PART_FEDERAL, RETURN_PART_STATE, RETURN_PART_OTHER};

void SetPart(OpenReturn *r, int part, char letter, SYSTEMTIME sent, SYSTEMTIME status, char code = 0, char reject = 0,
             const char *message = "")
{
    uint8_t *block = r->bytes + kParts[part];
    r->bytes[RETURN_PART_PRESENT + part] = 1;
    SetReturnU16(r, kParts[part] + PART_TAX_YEAR, 2024);
    memcpy(block + PART_SENT_TIME, &sent, sizeof sent);
    memcpy(block + PART_STATUS_TIME, &status, sizeof status);
    block[PART_STATUS_LETTER] = (uint8_t)letter;
    block[PART_STATUS_CODE] = (uint8_t)code;
    block[PART_REJECT_LETTER] = (uint8_t)reject;
    SetReturnText(r, kParts[part] + PART_MESSAGE, PART_BLOCK_SIZE - PART_MESSAGE, message);
}

// A married couple's record with one federal part (never sent unless SetPart changes it).
struct SummaryRecord : ::testing::Test {
    OpenReturn record;
    SummaryFacts facts;
    SummaryTable table = {};
    void SetUp() override
    {
        InitOpenReturn(&record);
        SetReturnText(&record, RETURN_NAME_LINE, 50, "John A & Jane B Sample");
        SetReturnText(&record, RETURN_EMAIL, 64, "john@example.com");
        record.bytes[RETURN_PART_PRESENT] = 1;
    }
    void TearDown() override
    {
        FreeSummaryTable(&table);
    }
    // Gathers the facts of the record as a taxpayer (audience 1) sees them.
    void Gather(int audience = 1)
    {
        GatherSummaryFacts(&record, &facts);
        facts.audience = audience;
        facts.specialCustomer = 0;
    }
};

std::string RowText(const SummaryRow &row)
{
    std::string label = row.label ? row.label : "";
    if (!row.label && row.wideLabel) {
        char narrow[2048];
        WideCharToMultiByte(CP_ACP, 0, row.wideLabel, -1, narrow, sizeof narrow, "#", NULL);
        label = narrow;
    }
    return row.value ? label + " | " + row.value : label;
}

std::vector<std::string> Texts(const SummaryTable &table)
{
    std::vector<std::string> out;
    for (int i = 0; i < table.count; i++)
        out.push_back(RowText(table.rows[i]));
    return out;
}

std::string Span(const SummaryRow &row, int i)
{
    const char *text = row.value ? row.value : row.label;
    return std::string(text + row.spans[i].start, row.spans[i].end - row.spans[i].start);
}

bool StartsWith(const std::string &text, const std::string &start)
{
    return text.compare(0, start.size(), start) == 0;
}

bool EndsWith(const std::string &text, const std::string &end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

std::string LocalDate(SYSTEMTIME utc)
{
    SYSTEMTIME local;
    SystemTimeToLocal(&utc, &local);
    char out[80] = "";
    FormatDateTime(NULL, NULL, 0, out, sizeof out, &local);
    return out;
}

} // namespace

TEST_F(SummaryRecord, NeverSentUnsavedReturn)
{
    Gather();
    BuildSummaryInfoRows(&facts, 0, &table);
    EXPECT_EQ(Texts(table),
              (std::vector<std::string>{
                  "General Information", "Taxpayer(s) | JOHN A & JANE B SAMPLE",
                  "Tracking number | N/A - automatically assigned after return has been sent",
                  "Tax return file | N/A - file has not been saved", "Where saved | N/A - file has not been saved",
                  "Email address | john@example.com (used to send you status updates regarding this return)"}));
    EXPECT_EQ(Span(table.rows[5], 0), " (used to send you status updates regarding this return)");
    EXPECT_EQ(table.rows[5].spans[0].colour, (COLORREF)SUMMARY_NAVY);

    int options = 1;
    BuildSummaryMessageRows(&facts, &table, &options);
    EXPECT_EQ(options, 0);
    ASSERT_EQ(table.count, 2);
    EXPECT_TRUE(StartsWith(RowText(table.rows[1]), "No returns in this file have been e-filed.  To e-file"));

    int raise = 1;
    BuildStatusParagraphRows(&facts, &table, &raise);
    EXPECT_EQ(raise, 0);
    EXPECT_EQ(Texts(table), (std::vector<std::string>{
                                "The status of your return will change after it has been sent for processing.  (To "
                                "e-file your return, check the appropriate box on the \"Setup -> e-File Options\" "
                                "screen, then click the \"Send\" button and follow the on-screen prompts.)"}));
    EXPECT_EQ(Span(table.rows[0], 0), "after");

    BuildPartHeadingRows(&facts, 0, &table);
    EXPECT_EQ(Texts(table), (std::vector<std::string>{"2024 Federal Return"}));
    BuildPartStatusRows(&facts, 0, &table);
    EXPECT_EQ(Texts(table), (std::vector<std::string>{"Status | This return has not been e-filed."}));
    EXPECT_EQ(Span(table.rows[0], 0), "This return has not been e-filed.");

    // A saved file names its file and folder.
    lstrcpynA(facts.returnPath, "C:\\Returns\\Sample.qvr", sizeof facts.returnPath);
    BuildSummaryInfoRows(&facts, 0, &table);
    EXPECT_EQ(RowText(table.rows[3]), "Tax return file | Sample.qvr");
    EXPECT_EQ(RowText(table.rows[4]), "Where saved | C:\\Returns");
}

TEST_F(SummaryRecord, TrackingNumbersAndFullNameLine)
{
    struct {
        const char *stored;
        const char *shown;
    } cases[] = {
        {"12ABCDEF34567X", "12-ABCDEF-34567-X"},
        {"12ABCDEF34567", "N/A - automatically assigned after return has been sent"},
        {"12ABCDEF34567XY", "N/A - automatically assigned after return has been sent"},
        {"\xB1\xB1\xB1\xB1\xB1\xB1\xB1\xB1\xB1\xB1\xB1\xB1\xB1\xB1",
         "N/A - automatically assigned after return has been sent"},
    };
    for (auto &c : cases) {
        memset(record.bytes + RETURN_TRACKING_NUMBER, 0, RETURN_TRACKING_LENGTH + 1);
        // The 15th character runs into the byte after the member.
        memcpy(record.bytes + RETURN_TRACKING_NUMBER, c.stored, strlen(c.stored));
        char out[80];
        FormatTrackingNumber(&record, out, sizeof out);
        EXPECT_STREQ(c.shown, out) << c.stored;
    }
    // A name line of 50 characters has no terminator: the next member's bytes are not shown.
    memset(record.bytes + RETURN_NAME_LINE, 'a', 50);
    memset(record.bytes + RETURN_IN_CARE_OF, 'z', 10);
    memcpy(record.bytes + RETURN_TRACKING_NUMBER, "12ABCDEF34567X", 14);
    Gather();
    BuildSummaryInfoRows(&facts, 1, &table);
    EXPECT_EQ(Texts(table),
              (std::vector<std::string>{"Status Information For...", "Taxpayer(s) | " + std::string(50, 'A'),
                                        "Tracking number | 12-ABCDEF-34567-X"}));
}

TEST_F(SummaryRecord, PendingAsTaxpayerAndAsPreparer)
{
    SYSTEMTIME sent = Utc(2025, 3, 2, 9, 30);
    SetPart(&record, 0, 'P', sent, SYSTEMTIME{});
    struct {
        int audience;
        const char *steps, *intro;
        int rows;
    } cases[] = {
        {1,
         "Two steps remain:\r\n    1. Your payment information must be verified; and\r\n    2. The IRS must validate",
         "Two options are available for checking the status of your tax return:", 5},
        {2, "One step remains:\r\n    1. The IRS must validate",
         "Three options are available for checking the status of your client's tax return:", 6},
    };
    for (auto &c : cases) {
        Gather(c.audience);
        int options = 0;
        BuildSummaryMessageRows(&facts, &table, &options);
        EXPECT_EQ(options, 1);
        ASSERT_EQ(table.count, 2);
        std::string text = RowText(table.rows[1]);
        EXPECT_EQ(text.find(c.audience == 1 ? "Your tax return has been successfully transmitted to the Levyline "
                                              "Processing Center where it will be formatted and sent to the IRS."
                                            : "Your client's tax return has been"),
                  0u);
        EXPECT_NE(text.find(c.steps), std::string::npos) << text;
        EXPECT_EQ(text.find('%'), std::string::npos) << text;
        EXPECT_TRUE(StartsWith(Span(table.rows[1], 0), "IT IS VERY IMPORTANT THAT YOU CHECK THE STATUS OF"));

        BuildSummaryOptionRows(&facts, &table);
        ASSERT_EQ(table.count, c.rows);
        EXPECT_EQ(RowText(table.rows[1]), c.intro);
        ASSERT_TRUE(table.rows[2].wideLabel);
        EXPECT_NE(std::wstring(table.rows[2].wideLabel).find(L"click the down arrow ( \x25BC ) on the"),
                  std::wstring::npos);
        EXPECT_TRUE(StartsWith(RowText(table.rows[c.rows - 2]), c.audience == 2 ? "Option 3" : "Option 2"));
        EXPECT_EQ(table.rows[c.rows - 1].icon, 425);

        // Two days and three hours after the send.
        facts.nowUtc = Utc(2025, 3, 4, 12, 45);
        int raise = 0;
        BuildStatusParagraphRows(&facts, &table, &raise);
        EXPECT_EQ(raise, 40);
        ASSERT_EQ(table.count, 4);
        EXPECT_EQ(Span(table.rows[0], 0), "Pending");
        EXPECT_EQ(Span(table.rows[0], 1), "Accepted");
        EXPECT_EQ(Span(table.rows[0], 2), "Rejected");
        std::string updated = RowText(table.rows[3]);
        EXPECT_TRUE(StartsWith(updated, c.audience == 1 ? "The status of your return was last updated on "
                                                        : "The status of your client's return was last updated on "))
            << updated;
        EXPECT_TRUE(EndsWith(updated, " (2 days, 3 hours ago).")) << updated;
        EXPECT_TRUE(EndsWith(Span(table.rows[3], 1), "M (2 days, 3 hours ago)")) << Span(table.rows[3], 1);
    }
}

TEST_F(SummaryRecord, AcceptedFederalReturnWithRefund)
{
    SYSTEMTIME accepted = Utc(2025, 3, 5);
    SetPart(&record, 0, 'A', Utc(2025, 3, 2), accepted);
    Gather();
    facts.givenRecord = 0; // the open return: described from its main form
    facts.individualReturn = 1;
    facts.described[0] = 1;
    ReturnDescription &d = facts.description[0];
    d.kindLetter = RETURN_KIND_DEPOSIT;
    d.jurisdiction = 100;
    lstrcpynA(d.shortText, "Form 1040", sizeof d.shortText);
    lstrcpynA(d.longText, "U.S. Individual Income Tax Return (Form 1040)", sizeof d.longText);
    lstrcpynA(d.secondLabel, "Refund", sizeof d.secondLabel);
    lstrcpynA(d.secondValue, "$1,640", sizeof d.secondValue);

    int options = 1;
    BuildSummaryMessageRows(&facts, &table, &options);
    EXPECT_EQ(options, 0);
    ASSERT_EQ(table.count, 4);
    EXPECT_EQ(RowText(table.rows[0]), "Messages");
    EXPECT_EQ(table.rows[1].icon, 559);
    EXPECT_EQ(RowText(table.rows[2]),
              "Your 2024 U.S. Individual Income Tax Return (Form 1040) was ACCEPTED by the IRS on " +
                  LocalDate(accepted) +
                  ".  A confirmation was sent to the email address listed above.  (If you are expecting a refund, "
                  "the email will also include instructions for tracking the status of the refund.)");
    EXPECT_EQ(Span(table.rows[2], 0), "ACCEPTED ");
    EXPECT_TRUE(StartsWith(RowText(table.rows[3]), "Now that your return has been accepted, all questions "
                                                   "regarding your tax return, refunds, amount due, etc."));

    BuildPartHeadingRows(&facts, 0, &table);
    EXPECT_EQ(Texts(table),
              (std::vector<std::string>{"2024 U.S. Individual Income Tax Return (Form 1040)", "Refund | $1,640"}));
    BuildPartStatusRows(&facts, 0, &table);
    EXPECT_EQ(Texts(table),
              (std::vector<std::string>{"Postmark | " + LocalDate(Utc(2025, 3, 2)),
                                        "Status | Accepted on " + LocalDate(accepted),
                                        "Message | Federal Return has been accepted.  No further action is needed."}));
    EXPECT_EQ(Span(table.rows[1], 0), "Accepted");
}

TEST_F(SummaryRecord, RejectedWithCodeAndMessageWinsOverPending)
{
    SetPart(&record, 0, 'R', Utc(2025, 3, 2), Utc(2025, 3, 3), 0, 'C', "Card expired.");
    SetPart(&record, 1, 'P', Utc(2025, 3, 2), SYSTEMTIME{});
    memcpy(record.bytes + RETURN_PART_STATE + PART_CODE, "MN", 2);
    Gather();
    int options = 1;
    BuildSummaryMessageRows(&facts, &table, &options);
    EXPECT_EQ(options, 0);
    ASSERT_EQ(table.count, 2);
    std::string text = RowText(table.rows[1]);
    EXPECT_TRUE(StartsWith(text, "Check the email account (listed above) for a status update"));
    EXPECT_TRUE(EndsWith(text, "-- with the Tracking Number listed above -- to support@levyline.com.)"));

    BuildPartStatusRows(&facts, 0, &table);
    EXPECT_EQ(RowText(table.rows[1]), "Status | Rejected on " + LocalDate(Utc(2025, 3, 3)));
    EXPECT_EQ(RowText(table.rows[2]), "Message | Reject code C: Credit card was declined.  Card expired.");
    BuildPartHeadingRows(&facts, 1, &table);
    EXPECT_EQ(Texts(table), (std::vector<std::string>{"2024 MN State Return"}));

    // A status code 'A' leaves out the e-mail note.
    record.bytes[RETURN_PART_FEDERAL + PART_STATUS_CODE] = 'A';
    Gather();
    BuildSummaryMessageRows(&facts, &table, &options);
    EXPECT_EQ(RowText(table.rows[1]), "After you have made the necessary changes, click the \"Send\" button and "
                                      "follow the on-screen prompts to re-send your return for processing.");
}

TEST_F(SummaryRecord, SentNearTheEndOfTheSeason)
{
    struct {
        SYSTEMTIME sent;
        int warned;
    } cases[] = {
        {Utc(2025, 10, 14), 1}, {Utc(2025, 10, 11, 0, 0), 1}, {Utc(2025, 10, 10, 23, 59), 0}, {Utc(2025, 3, 1), 0}};
    for (auto &c : cases) {
        SetPart(&record, 0, 'P', c.sent, SYSTEMTIME{});
        EXPECT_EQ(c.warned, IsEfileWindowOpen(&record, 5, 0, 0, 0));
        Gather();
        int options = 0;
        BuildSummaryMessageRows(&facts, &table, &options);
        ASSERT_EQ(table.count, c.warned ? 3 : 2);
        EXPECT_EQ(RowText(table.rows[0]), c.warned ? "Messages" : "Message");
        if (c.warned) {
            EXPECT_TRUE(EndsWith(RowText(table.rows[1]), "BEEN ACCEPTED.\r\n"));
            EXPECT_EQ(table.rows[2].icon, 557);
            EXPECT_EQ(table.rows[2].labelColour, (COLORREF)SUMMARY_MAROON);
            EXPECT_TRUE(StartsWith(RowText(table.rows[2]),
                                   "Your return was sent VERY CLOSE to the end of the e-filing season.  As a result"));
        }
    }
    EXPECT_EQ(0, IsEfileWindowOpen(&record, 4, 0, 0, 0));
}

TEST(SummaryAge, DaysHoursAndMinutes)
{
    struct {
        SYSTEMTIME then;
        const char *age;
    } cases[] = {
        {Utc(2025, 3, 2, 9, 30), " (2 days, 3 hours ago)"}, {Utc(2025, 3, 3, 12, 30), " (1 day ago)"},
        {Utc(2025, 3, 4, 7, 30), " (5 hours ago)"},         {Utc(2025, 3, 4, 12, 29), " (1 minute ago)"},
        {Utc(2025, 3, 4, 12, 30), " (0 minutes ago)"},      {Utc(2025, 3, 4, 12, 31), ""},
    };
    SYSTEMTIME now = Utc(2025, 3, 4, 12, 30);
    for (auto &c : cases) {
        char out[96];
        FormatStatusAge(&now, &c.then, out, sizeof out);
        EXPECT_STREQ(c.age, out);
    }
}
