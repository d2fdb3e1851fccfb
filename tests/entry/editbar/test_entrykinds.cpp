// Field entry kinds: kind, control and icons by type letter, option flags, value shapes and the
// splitting of values into boxes, the state list and the split-entry layout.
#include "entry/entry.h"
#include "tests/harness/harness.h"

#include <gtest/gtest.h>
#include <string.h>

namespace {

FieldFormatPart MakePart(char letter, const char *bracket = "")
{
    FieldFormatPart part;
    memset(&part, 0, sizeof(part));
    part.letter = letter;
    strncpy(part.bracket, bracket, sizeof(part.bracket) - 1);
    part.number = -1;
    return part;
}

struct KindResult {
    int known, kind, subkind, control, icon0, icon1, icon2;
};

KindResult Resolve(char letter, const char *length, const FieldFormatPart *partIn = NULL, int givenKind = 0,
                   const char *description = NULL, char listLetter = 0)
{
    FieldRecord field;
    memset(&field, 0, sizeof(field));
    field.length = (char *)length;
    field.description = (char *)description;
    FieldFormatPart part = partIn ? *partIn : MakePart(letter);
    KindResult r;
    int icons[3] = {-1, -1, -1};
    r.kind = givenKind;
    r.subkind = 0;
    r.control = -1;
    r.known = GetFieldEntryKind(&field, &part, &r.kind, &r.subkind, icons, &r.control, listLetter);
    r.icon0 = icons[0];
    r.icon1 = icons[1];
    r.icon2 = icons[2];
    return r;
}

struct LetterRow {
    char letter;
    const char *length;
    int control, kind, icon;
};

TEST(EntryKind, EveryLetterGivesItsControlKindAndIcon)
{
    const LetterRow rows[] = {
        {TYPE_LETTER_CODE1, "4", 1, 22, 390},
        {'G', "12", 1, 19, 205}, {'G', "5", 1, 19, 209},
        {'N', "12", 1, 16, 205}, {'N', "9", 5, 14, 247}, {'N', "7", 1, 18, 209},
        {'U', "8", 1, 23, 209},
        {'Z', "10", 1, 11, 391},
        {'m', "10", 6, 31, 376},
        {'*', "30", 1, 8, 223}, {'A', "20", 1, 6, 201}, {'K', "20", 1, 24, 223}, {'a', "20", 1, 7, 223},
        {'f', "20", 1, 4, 201}, {'i', "20", 1, 4, 201}, {'j', "20", 1, 1, 201},
        {'C', "12", 0, 0, 0}, {'L', "", 0, 0, 0}, {'S', "", 0, 0, 0}, {'b', "", 0, 0, 0},
        {'D', "10", 3, 21, 207}, {'E', "10", 3, 21, 207}, {'O', "8", 3, 21, 207},
        {'Y', "4", 3, 21, 207}, {'d', "7", 3, 21, 207}, {'e', "7", 3, 21, 207},
        {'Q', "12", 4, 20, 208}, {'R', "12", 4, 20, 208}, {'r', "7", 4, 20, 208},
        {'V', "2", 2, 0, 206}, {'v', "2", 2, 0, 206},
        {'X', "1", 1, 28, 236}, {'x', "1", 1, 28, 236},
        {'p', "9", 1, 27, 223},
        {'s', "2", 2, 10, 206},
        {'t', "13", 7, 25, 213},
        {'u', "20", 1, 9, 223},
    };
    for (const LetterRow &row : rows) {
        KindResult r = Resolve(row.letter, row.length);
        SCOPED_TRACE(testing::Message() << "letter " << (int)row.letter << " length " << row.length);
        EXPECT_EQ(1, r.known);
        EXPECT_EQ(row.control, r.control);
        EXPECT_EQ(row.kind, r.kind);
        EXPECT_EQ(row.icon, r.icon0);
        EXPECT_EQ(0, r.icon1);
    }
}

TEST(EntryKind, UnknownLetterIsRefusedAndLeavesTheKind)
{
    KindResult r = Resolve('W', "5", NULL, 17);
    EXPECT_EQ(0, r.known);
    EXPECT_EQ(0, r.control);
    EXPECT_EQ(17, r.kind);
    EXPECT_EQ(0, r.icon0);
    // A null part is refused too, without touching anything it cannot know.
    int control = 5;
    EXPECT_EQ(0, GetFieldEntryKind(NULL, NULL, NULL, NULL, NULL, &control, 0));
    EXPECT_EQ(0, control);
}

TEST(EntryKind, NumbersByLengthGivenKindAndPinDescription)
{
    // Lengths 12 and 9 win over a given kind; other lengths keep it.
    EXPECT_EQ(16, Resolve('N', "12", NULL, 29).kind);
    EXPECT_EQ(14, Resolve('N', "9", NULL, 29).kind);
    EXPECT_EQ(29, Resolve('N', "6", NULL, 29).kind);
    // PIN numbers by their description.
    KindResult pin5 = Resolve('N', "5", NULL, 0, "Self-Select PIN");
    EXPECT_EQ(22, pin5.kind);
    EXPECT_EQ(390, pin5.icon0);
    EXPECT_EQ(22, Resolve('N', "10", NULL, 0, "Practitioner PIN").kind);
    EXPECT_EQ(18, Resolve('N', "5", NULL, 0, "Number of dependents").kind);
    FieldFormatPart marked = MakePart('N');
    marked.greaterMark = 1;
    KindResult one = Resolve('N', "1", &marked, 0, "PIN digit");
    EXPECT_EQ(18, one.kind);
    EXPECT_EQ(390, one.icon0);
    EXPECT_EQ(209, Resolve('N', "1", NULL, 0, "PIN digit").icon0);  // no mark: plain number icon
}

TEST(EntryKind, MarkedOneCharacterEinAndStateBecomeSingleEdits)
{
    FieldFormatPart ein = MakePart('m');
    ein.lessMark = 1;
    KindResult r = Resolve('m', "1", &ein);
    EXPECT_EQ(1, r.control);
    EXPECT_EQ(18, r.kind);

    FieldFormatPart state = MakePart('s', "-c");
    KindResult list = Resolve('s', "2", &state);
    EXPECT_EQ(2, list.control);
    EXPECT_EQ(16, list.subkind);  // Canadian provinces only
    state.greaterMark = 1;
    state.colonDigit = '3';
    KindResult single = Resolve('s', "1", &state);
    EXPECT_EQ(1, single.control);
    EXPECT_EQ(201, single.icon0);
    EXPECT_EQ(3, single.subkind);
}

TEST(EntryKind, TextLettersKeepAGivenKindAndNamesGetTheirIcons)
{
    EXPECT_EQ(29, Resolve('a', "20", NULL, 29).kind);
    EXPECT_EQ(223, Resolve('a', "20", NULL, 29).icon0);
    EXPECT_EQ(682, Resolve('A', "20", NULL, 0, NULL, 'F').icon0);
    EXPECT_EQ(683, Resolve('A', "20", NULL, 0, NULL, 'M').icon0);
    EXPECT_EQ(684, Resolve('A', "20", NULL, 0, NULL, 'L').icon0);

    FieldFormatPart two = MakePart('i', "2");
    KindResult r2 = Resolve('i', "30", &two);
    EXPECT_EQ(9, r2.control);
    EXPECT_EQ(682, r2.icon0);
    EXPECT_EQ(684, r2.icon1);
    EXPECT_EQ(0, r2.icon2);
    FieldFormatPart three = MakePart('i', "3");
    KindResult r3 = Resolve('i', "30", &three);
    EXPECT_EQ(10, r3.control);
    EXPECT_EQ(682, r3.icon0);
    EXPECT_EQ(683, r3.icon1);
    EXPECT_EQ(684, r3.icon2);
}

TEST(EntryKind, TenTwoDecimalIsASingleEditAmount)
{
    FieldFormatPart r = MakePart('R');
    r.intDigits = 10;
    r.decimals = 2;
    KindResult money = Resolve('R', "13", &r);
    EXPECT_EQ(1, money.control);
    EXPECT_EQ(17, money.kind);
    EXPECT_EQ(205, money.icon0);
    r.decimals = 4;
    EXPECT_EQ(20, Resolve('R', "15", &r).kind);
}

TEST(OptionFlags, GroupsOfTheStateTable)
{
    EXPECT_EQ(1, GetTypeOptionFlags(""));
    EXPECT_EQ(1, GetTypeOptionFlags(NULL));
    EXPECT_EQ(16, GetTypeOptionFlags("-c"));
    EXPECT_EQ(1 + 2 + 4, GetTypeOptionFlags("mp"));
    EXPECT_EQ(1 + 8 + 32, GetTypeOptionFlags(".w"));
    EXPECT_EQ(2 + 4 + 8 + 16 + 32, GetTypeOptionFlags("-mp.cw"));
}

TEST(EntryShape, SingleEditAndList)
{
    const char *list = "01=January,02=February,\"KG\"";
    // Mode 1: a value that is a list item of a 'V' field opens an empty edit.
    EXPECT_EQ(1, CheckEntryShape("01", 1, NULL, "V", 0, 0));
    EXPECT_EQ(1, CheckEntryShape("01", 1, list, "N", 0, 0));
    EXPECT_EQ(0, CheckEntryShape("01", 1, list, "V", 0, 0));
    EXPECT_EQ(0, CheckEntryShape("February", 1, list, "V", 0, 0));
    EXPECT_EQ(1, CheckEntryShape("01", 1, list, "V", ENTRY_KIND_COUNT, 0));
    EXPECT_EQ(1, CheckEntryShape("0", 1, list, "V", 0, 0));  // a prefix is no item
    // Mode 2.
    EXPECT_EQ(1, CheckEntryShape("KG", 2, list, "V", 0, 0));
    EXPECT_EQ(0, CheckEntryShape("K", 2, list, "V", 0, 0));
    EXPECT_EQ(1, CheckEntryShape("", 2, NULL, "s", ENTRY_KIND_STATE, 1));
    EXPECT_EQ(1, CheckEntryShape("MN", 2, NULL, "s", ENTRY_KIND_STATE, 1));
    EXPECT_EQ(1, CheckEntryShape("Minnesota", 2, NULL, "s", ENTRY_KIND_STATE, 1));
    EXPECT_EQ(0, CheckEntryShape("ON", 2, NULL, "s", ENTRY_KIND_STATE, 1));  // a province, not a state
    EXPECT_EQ(1, CheckEntryShape("ON", 2, NULL, "s", ENTRY_KIND_STATE, 16));
    EXPECT_EQ(0, CheckEntryShape("", 2, NULL, "V", 0, 0));
}

TEST(EntryShape, DatesIdentificationNumbersPhonesAndNames)
{
    EXPECT_EQ(1, CheckEntryShape("1/2/2024", 3, NULL, NULL, 0, 0));
    EXPECT_EQ(1, CheckEntryShape("01/02/2024", 3, NULL, NULL, 0, 0));
    EXPECT_EQ(0, CheckEntryShape("1/2/24", 3, NULL, NULL, 0, 0));
    EXPECT_EQ(1, CheckEntryShape("01/2024", 3, NULL, NULL, 0, 0));
    EXPECT_EQ(1, CheckEntryShape("2024", 3, NULL, NULL, 0, 0));
    EXPECT_EQ(1, CheckEntryShape("2024-01-02", 3, NULL, NULL, 0, 0));
    EXPECT_EQ(1, CheckEntryShape("20240102", 3, NULL, NULL, 0, 0));  // digit-only stored date
    EXPECT_EQ(1, CheckEntryShape("012024", 3, NULL, NULL, 0, 0));
    EXPECT_EQ(0, CheckEntryShape("2024010", 3, NULL, NULL, 0, 0));
    EXPECT_EQ(0, CheckEntryShape("1/2/3/2024", 3, NULL, NULL, 0, 0));

    EXPECT_EQ(1, CheckEntryShape("123-45-6789", 5, NULL, NULL, 0, 0));
    EXPECT_EQ(1, CheckEntryShape("123456789", 5, NULL, NULL, 0, 0));
    EXPECT_EQ(0, CheckEntryShape("12-345-6789", 5, NULL, NULL, 0, 0));
    EXPECT_EQ(0, CheckEntryShape("12345678", 5, NULL, NULL, 0, 0));
    EXPECT_EQ(1, CheckEntryShape("12-3456789", 6, NULL, NULL, 0, 0));
    EXPECT_EQ(1, CheckEntryShape("123456789", 6, NULL, NULL, 0, 0));
    EXPECT_EQ(0, CheckEntryShape("123-456789", 6, NULL, NULL, 0, 0));
    EXPECT_EQ(1, CheckEntryShape("(612)555-0100", 7, NULL, NULL, 0, 0));
    EXPECT_EQ(0, CheckEntryShape("(612) 555-0100", 7, NULL, NULL, 0, 0));
    EXPECT_EQ(1, CheckEntryShape("6125550100", 7, NULL, NULL, 0, 0));

    EXPECT_EQ(1, CheckEntryShape("anything", 4, NULL, NULL, 0, 0));
    EXPECT_EQ(1, CheckEntryShape("Ann Lee", 9, NULL, NULL, 0, 0));
    EXPECT_EQ(0, CheckEntryShape("Ann", 10, NULL, NULL, 0, 0));
    EXPECT_EQ(0, CheckEntryShape("x", 8, NULL, NULL, 0, 0));
    EXPECT_EQ(0, CheckEntryShape(NULL, 5, NULL, NULL, 0, 0));
}

TEST(EntryShape, StoredValuesOpenIntoTheirBoxes)
{
    char pieces[3][16];
    const int ssn[3] = {3, 2, 4};
    ASSERT_EQ(1, SplitEntryValue("123-45-6789", 5, ssn, 3, pieces));
    EXPECT_STREQ("123", pieces[0]);
    EXPECT_STREQ("45", pieces[1]);
    EXPECT_STREQ("6789", pieces[2]);
    ASSERT_EQ(1, SplitEntryValue("987654321", 5, ssn, 3, pieces));
    EXPECT_STREQ("987", pieces[0]);
    EXPECT_STREQ("65", pieces[1]);
    EXPECT_STREQ("4321", pieces[2]);

    const int date[3] = {2, 2, 4};
    ASSERT_EQ(1, SplitEntryValue("1/2/2024", 3, date, 3, pieces));
    EXPECT_STREQ("1", pieces[0]);
    EXPECT_STREQ("2", pieces[1]);
    EXPECT_STREQ("2024", pieces[2]);
    const int isoDate[3] = {4, 2, 2};
    ASSERT_EQ(1, SplitEntryValue("20240102", 3, isoDate, 3, pieces));
    EXPECT_STREQ("2024", pieces[0]);
    EXPECT_STREQ("01", pieces[1]);
    EXPECT_STREQ("02", pieces[2]);
    ASSERT_EQ(1, SplitEntryValue("2024-01-02", 3, isoDate, 3, pieces));
    EXPECT_STREQ("01", pieces[1]);

    const int phone[3] = {3, 3, 4};
    ASSERT_EQ(1, SplitEntryValue("(612)555-0100", 7, phone, 3, pieces));
    EXPECT_STREQ("612", pieces[0]);
    EXPECT_STREQ("555", pieces[1]);
    EXPECT_STREQ("0100", pieces[2]);
    ASSERT_EQ(1, SplitEntryValue("6125550100", 7, phone, 3, pieces));
    EXPECT_STREQ("0100", pieces[2]);

    const int ein[2] = {2, 7};
    ASSERT_EQ(1, SplitEntryValue("41-1234567", 6, ein, 2, pieces));
    EXPECT_STREQ("41", pieces[0]);
    EXPECT_STREQ("1234567", pieces[1]);

    // A value of the wrong shape opens empty boxes.
    EXPECT_EQ(0, SplitEntryValue("12-34", 5, ssn, 3, pieces));
    EXPECT_STREQ("", pieces[0]);
    EXPECT_EQ(0, SplitEntryValue("", 5, ssn, 3, pieces));
}

TEST(StateCombo, FillsTheChosenSectionsAndMeasuresTheWidest)
{
    HWND combo = CreateWindowExA(0, "COMBOBOX", "", CBS_DROPDOWN | WS_POPUP, 0, 0, 200, 300, NULL, NULL,
                                 GetModuleHandleA(NULL), NULL);
    ASSERT_TRUE(combo != NULL);
    HDC dc = GetDC(combo);
    int width = -1;
    int widest = FillStateCombo(combo, STATE_GROUP_STATES, dc, &width);
    EXPECT_EQ(51, SendMessageA(combo, CB_GETCOUNT, 0, 0));
    EXPECT_GT(widest, 0);
    EXPECT_EQ(widest, width);
    char text[80];
    SendMessageA(combo, CB_GETLBTEXT, 0, (LPARAM)text);
    EXPECT_STREQ("AL Alabama", text);
    SendMessageA(combo, CB_GETLBTEXT, 23, (LPARAM)text);
    EXPECT_STREQ("MN Minnesota", text);

    int first = 0, end = 0;
    ASSERT_EQ(1, GetStateSectionRange(STATE_GROUP_CANADA, &first, &end));
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    FillStateCombo(combo, STATE_GROUP_STATES | STATE_GROUP_CANADA, NULL, &width);
    EXPECT_EQ(51 + (end - first), SendMessageA(combo, CB_GETCOUNT, 0, 0));
    EXPECT_EQ(0, width);  // nothing measured without a device context
    SendMessageA(combo, CB_GETLBTEXT, 51, (LPARAM)text);
    EXPECT_EQ(std::string(gStateTable[first].abbreviation) + " " + gStateTable[first].name, std::string(text));
    ReleaseDC(combo, dc);
    DestroyWindow(combo);
}

int WidthOf(HWND dialog, int id)
{
    RECT rect;
    GetWindowRect(GetDlgItem(dialog, id), &rect);
    return rect.right - rect.left;
}

// 1 when text in the control's font fits its client area (an edit's margins taken off).
bool TextFits(HWND control, const char *text)
{
    HDC dc = GetDC(control);
    HFONT font = (HFONT)SendMessageA(control, WM_GETFONT, 0, 0);
    HGDIOBJ old = font ? SelectObject(dc, font) : NULL;
    SIZE size = {0, 0};
    GetTextExtentPoint32A(dc, text, (int)strlen(text), &size);
    if (old) SelectObject(dc, old);
    ReleaseDC(control, dc);
    RECT client;
    GetClientRect(control, &client);
    char cls[16] = "";
    GetClassNameA(control, cls, sizeof cls);
    int margins = 0;
    if (!_stricmp(cls, "EDIT")) {
        DWORD m = (DWORD)SendMessageA(control, EM_GETMARGINS, 0, 0);
        margins = LOWORD(m) + HIWORD(m);
    }
    return size.cx + margins <= client.right - client.left;
}

int gSubclassedBoxes;
void CountSubclass(HWND) { gSubclassedBoxes++; }

TEST(SplitLayout, BoxesSeparatorsAndCuesFromLeftToRight)
{
    HINSTANCE instance = GetModuleHandleA(NULL);
    HWND dialog = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 400, 40, NULL, NULL, instance, NULL);
    ASSERT_TRUE(dialog != NULL);
    const int boxes[3] = {1098, 1099, 1100};
    for (int id : boxes)
        CreateWindowExA(0, "EDIT", "", WS_CHILD, 0, 2, 10, 20, dialog, (HMENU)(INT_PTR)id, instance, NULL);
    CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 2, 6, 20, dialog, (HMENU)1108, instance, NULL);
    CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 2, 6, 20, dialog, (HMENU)1109, instance, NULL);
    CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 2, 6, 20, dialog, (HMENU)1105, instance, NULL);
    SplitEntryRow rows[] = {
        {1098, 3, 22, NULL}, {1108, 0, 0, "-"}, {1099, 2, 0, NULL}, {1109, 0, 0, "-"},
        {1100, 4, 0, NULL}, {1105, 0, 0, "[SSN]"}, {0, 0, 0, NULL},
    };
    gSubclassedBoxes = 0;
    int right = LayoutSplitEntry(rows, dialog, 8, "123-45-6789", ENTRY_CONTROL_SSN, CountSubclass);
    EXPECT_EQ(3, gSubclassedBoxes);
    // Each piece starts where the one before it ends (the cue 5 further right).
    EXPECT_EQ(22, rows[0].x);
    EXPECT_EQ(rows[0].x + WidthOf(dialog, 1098), rows[1].x);
    EXPECT_EQ(rows[1].x + 6, rows[2].x);
    EXPECT_EQ(rows[2].x + WidthOf(dialog, 1099), rows[3].x);
    EXPECT_EQ(rows[3].x + 6, rows[4].x);
    EXPECT_EQ(rows[4].x + WidthOf(dialog, 1100) + 5, rows[5].x);
    EXPECT_EQ(rows[5].x + WidthOf(dialog, 1105), right);
    // Every box shows its characters whole, and the cue its whole text.
    const struct {
        int id;
        const char *text;
    } shown[] = {{1098, "888"}, {1099, "88"}, {1100, "8888"}, {1105, "[SSN]"}};
    for (const auto &c : shown)
        EXPECT_TRUE(TextFits(GetDlgItem(dialog, c.id), c.text)) << c.id << " " << c.text;
    char text[16];
    GetDlgItemTextA(dialog, 1098, text, sizeof(text));
    EXPECT_STREQ("123", text);
    GetDlgItemTextA(dialog, 1100, text, sizeof(text));
    EXPECT_STREQ("6789", text);
    GetDlgItemTextA(dialog, 1108, text, sizeof(text));
    EXPECT_STREQ("-", text);
    EXPECT_EQ(4, (int)SendDlgItemMessageA(dialog, 1100, EM_GETLIMITTEXT, 0, 0));

    // A one-character box is still two characters wide; a name entry takes no value here.
    SplitEntryRow names[] = {{1098, 1, 10, NULL}, {0, 0, 0, NULL}};
    SetDlgItemTextA(dialog, 1098, "");
    EXPECT_EQ(10 + WidthOf(dialog, 1098), LayoutSplitEntry(names, dialog, 8, "Ann Lee", ENTRY_CONTROL_NAME2, NULL));
    EXPECT_TRUE(TextFits(GetDlgItem(dialog, 1098), "88"));
    GetDlgItemTextA(dialog, 1098, text, sizeof(text));
    EXPECT_STREQ("", text);
    DestroyWindow(dialog);
}

}  // namespace

namespace {

struct ItemRow {
    const char *type;
    const char *length;
    int control, kind, subkind;
    char letter;
};

TEST(EntryKind, TaxpayerAndPreparerItemsTakeTheKindOfTheirMember)
{
    const ItemRow rows[] = {
        {"T[1a]", "11", ENTRY_CONTROL_SSN, ENTRY_KIND_SSN, 0, 'N'},
        {"T[2a]", "9", ENTRY_CONTROL_SSN, ENTRY_KIND_SSN, 0, 'N'},
        {"T[1b]", "20", ENTRY_CONTROL_EDIT, 4, 0, 'i'},
        {"T[1i]", "2", ENTRY_CONTROL_LIST, ENTRY_KIND_STATE, STATE_GROUP_STATES, 's'},
        {"T[1j]", "10", ENTRY_CONTROL_EDIT, ENTRY_KIND_ZIP, 0, 'Z'},
        {"T[1y]", "10", ENTRY_CONTROL_DATE, ENTRY_KIND_DATE, 0, 'D'},
        {"T[1s]", "13", ENTRY_CONTROL_PHONE, ENTRY_KIND_PHONE, 0, 't'},
        {"T[1v]", "9", ENTRY_CONTROL_EDIT, ENTRY_KIND_AMOUNT, 0, 'N'},   // an amount, never SSN boxes
        {"T[1z]", "12", ENTRY_CONTROL_EDIT, ENTRY_KIND_PIN, 0, 'N'},     // a PIN, never an amount
        {"T[1@]", "1", ENTRY_CONTROL_EDIT, ENTRY_KIND_CHECK, 0, 'X'},
        {"T[3]", "10", ENTRY_CONTROL_EIN, ENTRY_KIND_EIN, 0, 'm'},
        {"T[7]", "13", ENTRY_CONTROL_PHONE, ENTRY_KIND_PHONE, 0, 't'},
        {"P[a]", "11", ENTRY_CONTROL_EDIT, ENTRY_KIND_PTIN, 0, 'p'},
        {"P[s]", "11", ENTRY_CONTROL_SSN, ENTRY_KIND_SSN, 0, 'N'},
        {"P[i]", "2", ENTRY_CONTROL_LIST, ENTRY_KIND_STATE, STATE_GROUP_STATES, 's'},
        {"P[d]", "10", ENTRY_CONTROL_DATE, ENTRY_KIND_DATE, 0, 'D'},
    };
    for (const ItemRow &row : rows) {
        FieldFormat format;
        ASSERT_GE(ParseFieldFormat(row.type, &format, 0), 1) << row.type;
        FieldRecord field;
        memset(&field, 0, sizeof(field));
        field.length = (char *)row.length;
        field.typeCode = (char *)row.type;
        int kind = 0, subkind = 0, control = -1;
        SCOPED_TRACE(row.type);
        EXPECT_EQ(1, GetFieldEntryKind(&field, &format.parts[0], &kind, &subkind, NULL, &control, 0));
        EXPECT_EQ(row.control, control);
        EXPECT_EQ(row.kind, kind);
        EXPECT_EQ(row.subkind, subkind);
        EXPECT_EQ(row.letter, GetPartEntryLetter(&field, &format.parts[0], NULL));
    }
    // An unknown item is refused.
    FieldFormat format;
    ASSERT_GE(ParseFieldFormat("T[9q]", &format, 0), 1);
    int control = -1;
    EXPECT_EQ(0, GetFieldEntryKind(NULL, &format.parts[0], NULL, NULL, NULL, &control, 0));
}

TEST(EntryKind, HintOfATaxpayerItemShowsItsMembersCharacters)
{
    FieldRecord field;
    memset(&field, 0, sizeof(field));
    field.typeCode = (char *)"T[1a]";
    field.length = (char *)"11";
    char hint[256];
    BuildFieldHintText(hint, sizeof(hint), "Form 1040", 1, &field, NULL, NULL);
    EXPECT_STREQ("Form 1040\r\n  - Allowable chars: 0-9\r\n  - Max length: 11", hint);
    field.typeCode = (char *)"T[1i]";
    field.length = NULL;
    BuildFieldHintText(hint, sizeof(hint), "Form 1040", 1, &field, NULL, NULL);
    EXPECT_STREQ("Form 1040\r\n  - Allowable chars: A-Z", hint);
}

}  // namespace
