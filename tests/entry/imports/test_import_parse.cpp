// The import parser over the cases a preparer's files bring: quoted names and numbers, trailing
// separators, blank and comment lines, TAB and semicolon lines, header lines, invalid characters,
// odd quotes, piece-count reports, the record limit, line ends of every style and refused
// encodings; and a mutation run over CSV inputs that must never crash or overrun.
#include "entry/entry.h"
#include "tests/harness/harness.h"

#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

namespace {

struct Columns {
    std::vector<FieldRecord> fields;
    explicit Columns(const std::vector<const char *> &types) : fields(types.size())
    {
        memset(fields.data(), 0, fields.size() * sizeof(FieldRecord));
        for (size_t i = 0; i < types.size(); i++) {
            fields[i].typeCode = (char *)types[i];
            fields[i].length = (char *)(types[i][0] == 'N' ? "12" : "30");
        }
    }
};

// Records shown as "a|b;c|d" (field end '|', record end ';').
std::string Show(const char *text)
{
    std::string out;
    for (const char *p = text; *p; p++)
        out += *p == IMPORT_FIELD_END ? '|' : (*p == IMPORT_RECORD_END ? ';' : *p);
    return out;
}

struct ParseResult {
    int ok;
    std::string records;
    std::vector<std::string> titles;
    std::vector<std::string> texts;
};

ParseResult Parse(const std::string &file, const std::vector<const char *> &types, int maxRecords = 1000,
                  uint8_t jurisdiction = 100)
{
    ParseResult r;
    ClearShownMessageBoxes();
    uint32_t size = 0;
    char *text = NormalizeImportText(NULL, (const uint8_t *)file.data(), (uint32_t)file.size(), &size);
    if (!text) {
        r.ok = -1;
    } else {
        Columns columns(types);
        r.ok = ParseImportFile(NULL, text, size, columns.fields.data(), (int)types.size(), (int)types.size(),
                               jurisdiction, maxRecords);
        r.records = Show(text);
        MemFree(text);
    }
    for (const ShownMessageBox &box : GetShownMessageBoxes()) {
        r.titles.push_back(box.title);
        r.texts.push_back(box.text);
    }
    return r;
}

class ImportParse : public ::testing::Test {
protected:
    void SetUp() override { gImportStepPauseMs = 0; }
    void TearDown() override { SetDefaultMessageBoxAnswer(0); }
};

struct ParseCase {
    const char *name;
    std::string file;
    std::vector<const char *> types;
    std::vector<int> answers;
    int ok;
    const char *records;
    std::vector<std::string> titles;
};

TEST_F(ImportParse, CasesOfPreparersFiles)
{
    const std::vector<const char *> two = {"A", "N"};
    const std::vector<const char *> four = {"N", "N", "N", "N"};
    const ParseCase cases[] = {
        {"quoted name", "\"Smith, John\",1200\r\n", two, {}, 1, "John Smith|1200;", {}},
        {"quoted number", "\"1,200\",X\r\n", {"N", "A"}, {}, 1, "1200|X;", {}},
        {"quoted millions", "\"1,234,567\"\r\n", {"N"}, {}, 1, "1234567;", {}},
        {"trailing commas", "a,5,,,\r\nb,6\r\n", two, {}, 1, "a|5;b|6;", {}},
        {"blank line", "a,1\r\n\r\n , \r\nb,2\r\n", two, {}, 1, "a|1;b|2;", {}},
        {"tab and semicolon", "a\t1\r\nb;2\r\n", two, {}, 1, "a|1;b|2;", {}},
        {"blanks and hyphens", "a  b , 1 \r\nc--d,2", two, {}, 1, "a  b|1;c-d|2;", {}},
        {"comment lines", "// brokerage list\r\na,1\r\n  // note\r\nb,2\r\n//x", two, {}, 1, "a|1;b|2;", {}},
        {"slashes in a cell are data", "N//A,1\r\na/b,2\r\n", two, {}, 1, "N//A|1;a/b|2;", {}},
        {"header answered Yes", "Payer,Amount,Tax,Date\r\n1,2,3,4\r\n", four, {IDYES}, 1, "1|2|3|4;",
         {"Treat First Line as a Header Line?"}},
        {"header answered No", "Payer,Amount,Tax,Date\r\n1,2,3,4\r\n", four, {IDNO}, 1,
         "Payer|Amount|Tax|Date;1|2|3|4;", {"Treat First Line as a Header Line?"}},
        {"three bad header pieces ask nothing", "Payer,Amount,Tax,4\r\n1,2,3,4\r\n", four, {}, 1,
         "Payer|Amount|Tax|4;1|2|3|4;", {}},
        {"the header check leaves the text as typed", "1/2/2024,5,6,7\r\n", {"D", "N", "N", "N"}, {}, 1,
         "1/2/2024|5|6|7;", {}},
        {"hash answered OK", "a#,1\r\nb,2#\r\n", two, {IDOK}, 1, "a|1;b|2;", {"Error Parsing Import File"}},
        {"hash answered Cancel", "a#,1\r\n", two, {IDCANCEL}, 0, NULL, {"Error Parsing Import File"}},
        {"odd quotes", "\"a,1\r\nb,2\r\n", two, {IDOK}, 0, NULL, {"Error Parsing Import File"}},
        {"piece count", "a,1\r\nb,2,3\r\n", two, {IDOK}, 1, "a|1;b|2|3;",
         {"Parsing Error Detected While Importing File"}},
        {"only comments", "// nothing\r\n\r\n", two, {IDOK}, 0, NULL, {"Error Parsing Import File"}},
        {"only a header answered Yes", "Payer,Amount,Tax,Date\r\n", four, {IDYES, IDOK}, 0, NULL,
         {"Treat First Line as a Header Line?", "Error Parsing Import File"}},
        {"no line end at all", "a,1", two, {}, 1, "a|1;", {}},
    };
    for (const ParseCase &c : cases) {
        SCOPED_TRACE(c.name);
        for (int answer : c.answers)
            ScriptMessageBoxAnswer(answer);
        ParseResult r = Parse(c.file, c.types);
        EXPECT_EQ(c.ok, r.ok);
        if (c.records) {
            EXPECT_EQ(c.records, r.records);
        }
        EXPECT_EQ(c.titles, r.titles);
    }
}

TEST_F(ImportParse, LineEndsOfEveryStyleGiveTheSameRecords)
{
    const std::vector<const char *> two = {"A", "N"};
    const char *files[] = {"a,1\r\nb,2\r\nc,3\r\n", "a,1\nb,2\nc,3\n", "a,1\rb,2\rc,3\r", "a,1\r\nb,2\nc,3\r"};
    for (const char *file : files) {
        SCOPED_TRACE(file);
        ParseResult r = Parse(file, two);
        EXPECT_EQ(1, r.ok);
        EXPECT_EQ("a|1;b|2;c|3;", r.records);
    }
}

TEST_F(ImportParse, RefusedEncodingsAndSizes)
{
    struct {
        std::string bytes;
        const char *says;
    } cases[] = {
        {std::string("\xEF\xBB\xBF" "a,1\r\n"), "UTF-8"},
        {std::string("\xFF\xFE" "a\0,\0" "1\0", 8), "UTF-16"},
        {std::string("a\0b", 3), "not text"},
    };
    for (auto &c : cases) {
        SetDefaultMessageBoxAnswer(IDOK);
        ParseResult r = Parse(c.bytes, {"A"});
        EXPECT_EQ(-1, r.ok);
        ASSERT_EQ(1u, r.texts.size());
        EXPECT_NE(std::string::npos, r.texts[0].find(c.says)) << r.texts[0];
    }
    std::string big(IMPORT_MAX_FILE_SIZE + 1, 'a');
    ParseResult r = Parse(big, {"A"});
    EXPECT_EQ(-1, r.ok);
    ASSERT_EQ(1u, r.titles.size());
    EXPECT_EQ("Error Reading Import File", r.titles[0]);
}

// A file another program holds without share-read is refused with the system's reason; one it
// holds for writing but lets others read (as spreadsheets do) is read.
TEST_F(ImportParse, HeldImportFilesAreReadOrSayWhy)
{
    char temp[MAX_PATH], reason[256] = "";
    GetTempPathA(sizeof temp, temp);
    std::string path = std::string(temp) + "import-held.csv";
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, NULL, ERROR_SHARING_VIOLATION, 0, reason, sizeof reason, NULL);
    std::string why(reason, strcspn(reason, "\r\n"));
    for (DWORD share : {(DWORD)0, (DWORD)FILE_SHARE_READ}) {
        FILE *file = fopen(path.c_str(), "wb");
        fputs("a,1\r\n", file);
        fclose(file);
        HANDLE holder = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, share, NULL, OPEN_EXISTING, 0, NULL);
        ClearShownMessageBoxes();
        SetDefaultMessageBoxAnswer(IDOK);
        uint32_t size = 0;
        char *text = ReadImportFile(NULL, path.c_str(), &size);
        CloseHandle(holder);
        EXPECT_STREQ(share ? "a,1\r\n" : nullptr, text);
        ASSERT_EQ(share ? 0u : 1u, GetShownMessageBoxes().size());
        if (!share) {
            EXPECT_NE(std::string::npos, GetShownMessageBoxes()[0].text.find(why));
        }
        MemFree(text);
    }
    DeleteFileA(path.c_str());
}

TEST_F(ImportParse, RecordLimitCutsTheExcessAndFormatsTheCounts)
{
    std::string file;
    for (int i = 1; i <= 1001; i++)
        file += "payee " + std::string(1, (char)('a' + i % 26)) + "," + std::to_string(i) + "\r\n";
    SetDefaultMessageBoxAnswer(IDOK);
    ParseResult r = Parse(file, {"A", "N"});
    ASSERT_EQ(1, r.ok);
    ASSERT_EQ(1u, r.titles.size());
    EXPECT_EQ("Import Maximum Reached", r.titles[0]);
    EXPECT_NE(std::string::npos, r.texts[0].find("maximum count of 1,000."));
    EXPECT_NE(std::string::npos, r.texts[0].find("contains 1,001 detectable"));
    int records = 0;
    for (char ch : r.records)
        records += ch == ';';
    EXPECT_EQ(1000, records);
    EXPECT_NE(std::string::npos, r.records.find("|1000;"));
    EXPECT_EQ(std::string::npos, r.records.find("|1001;"));
}

TEST_F(ImportParse, TheRecordEndIsAppendedOnlyWhereTheBufferHasRoom)
{
    Columns columns({"A", "N"});
    char exact[] = "a,1";   // no spare byte: the text must not grow past the buffer
    char buffer[sizeof(exact) + 8];
    memcpy(buffer, exact, sizeof(exact));
    memset(buffer + sizeof(exact), 0x5A, 8);
    ASSERT_EQ(1, ParseImportFile(NULL, buffer, sizeof(exact), columns.fields.data(), 2, 2, 100, 1000));
    EXPECT_EQ('\x5A', buffer[sizeof(exact)]);
    EXPECT_EQ(std::string("a\x01" "1"), std::string(buffer));
}

// Mutations of sample CSV lines: every byte kind the parser treats specially, inserted, replaced,
// deleted and duplicated. The parser must finish, keep within its buffer, and give only records
// of allowed characters.
TEST_F(ImportParse, MutationRunOverCsvInputsNeverCrashes)
{
    const std::string seeds[] = {
        "Payer,Amount,Tax,Date\r\n\"Smith, John\",\"1,200\",15,01/02/2024\r\nAcme Co;300;0;02/03/2024\r\n",
        "// brokerage\r\n\"ABC Fund\"\t\"12,345\"\t-5\t\r\nN//A,,,\r\n\r\n",
        "a,1\rb,2\rc,3",
    };
    const char special[] = {',', ';', '\t', '"', '\r', '\n', '/', ' ', '-', '\x01', '\x02', '#', (char)0xE9, '\0'};
    unsigned seed = 12345;
    auto next = [&seed]() {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) & 0x7FFF;
    };
    SetDefaultMessageBoxAnswer(IDOK);
    int parsed = 0;
    for (int round = 0; round < 1500; round++) {
        std::string file = seeds[round % 3];
        int edits = 1 + (int)(next() % 6);
        for (int e = 0; e < edits && !file.empty(); e++) {
            size_t at = next() % file.size();
            char ch = special[next() % sizeof(special)];
            switch (next() % 4) {
            case 0: file.insert(file.begin() + at, ch); break;
            case 1: file[at] = ch; break;
            case 2: file.erase(at, 1 + next() % 4); break;
            default: file += file.substr(at, next() % 40); break;
            }
        }
        uint32_t size = 0;
        char *text = NormalizeImportText(NULL, (const uint8_t *)file.data(), (uint32_t)file.size(), &size);
        if (!text)
            continue;
        Columns columns({"A", "N", "N", "D"});
        ClearShownMessageBoxes();
        int ok = ParseImportFile(NULL, text, size, columns.fields.data(), 4, 4, 100, 5);
        ASSERT_LT(strnlen(text, size), size);
        if (ok) {
            parsed++;
            for (const char *p = text; *p; p++)
                ASSERT_TRUE(strchr("\r\n\"", *p) == NULL) << "round " << round;
            EXPECT_LE(CountImportRecords(text), 5);
            EXPECT_EQ(IMPORT_RECORD_END, text[strlen(text) - 1]);
        }
        MemFree(text);
    }
    EXPECT_GT(parsed, 100);
}

}  // namespace
