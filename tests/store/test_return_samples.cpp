// The FormPaks and the sample return made by the build (cmake/formpaks.cmake) from the IRS
// forms: they open through the program's reader, and their pages, fields and values are those
// of the descriptions in samples/.
#include "store/store.h"
#include "prepare/prepare.h"
#include "tests/harness/harness.h"

#include <gtest/gtest.h>
#include <string.h>

#include <string>
#include <vector>

static int OpenSample(const char *relative, FileRecord *f)
{
    std::string path = BuildPath(relative);
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES)
        return -1;
    return ReadDataFile(path.c_str(), 0, f, READ_DATA_PAGES);
}

#define OPEN_OR_SKIP(relative, f)                                                    \
    do {                                                                             \
        int opened = OpenSample(relative, f);                                        \
        if (opened < 0)                                                              \
            GTEST_SKIP() << relative << " was not built (Ghostscript or qpdf missing)"; \
        ASSERT_EQ(1, opened) << relative;                                            \
    } while (0)

TEST(SampleFormPaks, Form1040PagesFieldsAndFormulas)
{
    FileRecord f;
    OPEN_OR_SKIP("formpaks/f1040.qvp", &f);
    const char *name;
    GetHeaderStrings(&f, &name, NULL, NULL);
    EXPECT_STREQ("Form 1040", name);
    ASSERT_EQ(2, f.pageCount);
    EXPECT_EQ(0, FindPageInFileRecord(&f, "Form 1040.1"));
    EXPECT_EQ(1, FindPageInFileRecord(&f, "Form 1040.2"));
    const PageDirectoryEntry *dir = GetPageDirectory(&f);
    EXPECT_EQ(PAGE_FLAG_MAIN_FORM, dir[0].flags & PAGE_FLAG_MAIN_FORM);
    EXPECT_EQ(100, dir[0].jurisdiction);
    // Each page is a PCL stream of its own that ends with a form feed.
    for (int i = 0; i < 2; i++) {
        const uint8_t *rec = f.slots[REC_PAGE_DEFS].data;
        uint32_t start = dir[i].imageStart - FindFileEntry(&f, REC_PAGE_DEFS)->offset;
        uint32_t end = dir[i].imageEnd - FindFileEntry(&f, REC_PAGE_DEFS)->offset;
        ASSERT_GT(end, start + 1000);
        EXPECT_EQ(0x1B, rec[start]);
        EXPECT_EQ(0x0C, rec[end - 1]);
    }
    FieldTable *t = BuildFieldTableFromFormPak(&f, 0);
    ASSERT_NE(nullptr, t);
    EXPECT_GT(t->count, 80);
    // The SSN box of the PDF: /Rect [469 690 576 704] points -> page units 1879,367,2325,425; the
    // field lies inside it, off the box's frame and dividers (its last part, the four digits'
    // cell, is the largest clear one).
    int ssn = FindLayoutField(t, 1, "0012", 0);
    ASSERT_GT(ssn, 0);
    EXPECT_STREQ("T[1a]", t->fields[ssn].typeCode);
    ASSERT_NE(nullptr, t->fields[ssn].rect);
    const RECT *box = t->fields[ssn].rect;
    EXPECT_GE(box->left, 1879);
    EXPECT_GE(box->top, 367);
    EXPECT_LE(box->right, 2325);
    EXPECT_LE(box->bottom, 425);
    EXPECT_GT(box->right - box->left, 150);
    EXPECT_GT(box->bottom - box->top, 40);
    // Every field lies on the page (the reserved line has no rectangle); tab links stay inside
    // the table.
    for (int i = 1; i < t->count; i++) {
        const RECT *r = t->fields[i].rect;
        if (!r && t->fields[i].description && !strcmp(t->fields[i].description, "Reserved for future use")) continue;
        ASSERT_NE(nullptr, r) << t->fields[i].seq;
        EXPECT_GE(r->left, 0);
        EXPECT_LE(r->right, 2400);
        EXPECT_LE(r->bottom, 3168);
        EXPECT_LT(t->fields[i].tabLinks[TAB_NEXT], t->count);
    }
    int total = FindLayoutField(t, 1, "0109", 0);
    ASSERT_GT(total, 0);
    EXPECT_STREQ("CN", t->fields[total].typeCode);
    EXPECT_STREQ("0101,0102,0103,0104,0105,0106,0107,0108", t->fields[total].valueList);
    EXPECT_STREQ("1z", t->fields[total].line);
    // The filing-status check marks exclude each other.
    int single = FindLayoutField(t, 1, "0041", 0);
    ASSERT_GT(single, 0);
    EXPECT_STREQ("0042,0043,0044,0045", t->fields[single].valueList);
    FreeLayoutTable(t);
    t = BuildFieldTableFromFormPak(&f, 1);
    ASSERT_NE(nullptr, t);
    int owe = FindLayoutField(t, 1, "0470", 0);
    ASSERT_GT(owe, 0);
    EXPECT_STREQ("0340>0430?0340,-0430;", t->fields[owe].valueList);
    EXPECT_GT(FindLayoutField(t, 2, "S[sig]", 0), 0);
    FreeLayoutTable(t);
    ReleaseFileRecord(&f, NULL);
}

TEST(SampleFormPaks, SchedulesAndTheBitmapPage)
{
    FileRecord f;
    OPEN_OR_SKIP("formpaks/f1040s1.qvp", &f);
    EXPECT_EQ(2, f.pageCount);
    FieldTable *t = BuildFieldTableFromFormPak(&f, 0);
    ASSERT_NE(nullptr, t);
    int line10 = FindLayoutField(t, 1, "0100", 0);   // Form 1040 line 8 reads it
    ASSERT_GT(line10, 0);
    EXPECT_STREQ("10", t->fields[line10].line);
    FreeLayoutTable(t);
    ReleaseFileRecord(&f, NULL);

    OPEN_OR_SKIP("formpaks/f1040sb-bitmap.qvp", &f);
    ASSERT_EQ(1, f.pageCount);
    const PageDirectoryEntry *e = GetPageDirectory(&f);
    EXPECT_EQ(IMAGE_SOURCE_BMP, e->imageSource);
    FormInstance *page = CreatePageRecord(&f, 0, NULL, 1);
    ASSERT_NE(nullptr, page);
    EXPECT_EQ(IMAGE_SOURCE_BMP, page->imageSource);
    const uint8_t *block = f.slots[REC_PAGE_BITMAPS].data + (page->imageStart - page->bmpOffset);
    DWORD length = 0;
    uint8_t *bmp = (uint8_t *)UncompressBlock(block, page->imageEnd - page->imageStart + 1, &length);
    ASSERT_NE(nullptr, bmp);
    EXPECT_EQ(0, memcmp(bmp, "BM", 2));
    int32_t width, height;
    memcpy(&width, bmp + 18, 4);
    memcpy(&height, bmp + 22, 4);
    EXPECT_EQ(2400, width);
    EXPECT_EQ(3168, height);
    EXPECT_EQ(4, bmp[28]);
    MemFree(bmp);
    FreeFormInstance(page);
    ReleaseFileRecord(&f, NULL);
}

TEST(SampleFormPaks, EmploymentAndMinnesotaPaks)
{
    FileRecord f;
    OPEN_OR_SKIP("formpaks/f941.qvp", &f);
    const char *name;
    GetHeaderStrings(&f, &name, NULL, NULL);
    EXPECT_STREQ("Form 941", name);
    EXPECT_EQ(0, FindPageInFileRecord(&f, "Form 941.1"));
    EXPECT_EQ(2, FindPageInFileRecord(&f, "Schedule B (Form 941).1"));
    EXPECT_EQ(941, GetBusinessReturnType(name));
    ReleaseFileRecord(&f, NULL);

    OPEN_OR_SKIP("formpaks/mnm1pr.qvp", &f);
    ASSERT_EQ(3, f.pageCount);
    const PageDirectoryEntry *dir = GetPageDirectory(&f);
    int crp = -1, propst = -1;
    for (int i = 0; i < f.pageCount; i++) {
        if (strcmp(GetPoolString(&f, dir[i].nameOffset), "MN CRP") == 0)
            crp = i;
        if (strcmp(GetPoolString(&f, dir[i].nameOffset), "MN PROPST") == 0)
            propst = i;
        EXPECT_EQ(24, dir[i].jurisdiction);
        EXPECT_EQ(0, dir[i].copiesToAdd);
    }
    ASSERT_GE(crp, 0);
    ASSERT_GE(propst, 0);
    EXPECT_EQ(10, dir[crp].maxCopies);
    EXPECT_EQ(5, dir[propst].maxCopies);
    // The certificate's rental-period dates are the fields the Minnesota import reads.
    FieldTable *t = BuildFieldTableFromFormPak(&f, crp);
    ASSERT_NE(nullptr, t);
    EXPECT_GT(FindLayoutField(t, 1, "0220", 0), 0);
    EXPECT_GT(FindLayoutField(t, 1, "A0310", 0), 0);
    FreeLayoutTable(t);
    ReleaseFileRecord(&f, NULL);
    int copies = 0;
    uint16_t year = 0;
    EXPECT_EQ(propst, FindFormInFormPak(BuildPath("formpaks/mnm1pr.qvp").c_str(), "mn propst.1", &copies, &year));
    EXPECT_EQ(5, copies);
    EXPECT_EQ(2024, year);
}

TEST(SampleReturn, OpensWithItsTaxpayerAndValues)
{
    FileRecord ret;
    OPEN_OR_SKIP("samples/Sample.qvr", &ret);
    ASSERT_EQ((uint32_t)OPEN_RETURN_SIZE, ret.slots[REC_RETURN].length);
    OpenReturn r;
    memcpy(r.bytes, ret.slots[REC_RETURN].data, OPEN_RETURN_SIZE);
    EXPECT_STREQ("John A & Jane B Sample", ReturnText(&r, RETURN_NAME_LINE));
    EXPECT_STREQ("400012345", ReturnText(&r, RETURN_TAXPAYER + PERSON_SSN));
    EXPECT_STREQ("MN", ReturnText(&r, RETURN_STATE));
    EXPECT_STREQ("2", ReturnText(&r, RETURN_FILING_STATUS));
    EXPECT_EQ(1, r.bytes[RETURN_PART_PRESENT]);
    ASSERT_EQ(5, ret.formCount);
    const FormDirectoryEntry *dir = GetFormDirectory(&ret);
    EXPECT_STREQ("Form 1040.1", GetPoolString(&ret, dir[0].pageKeyOffset));
    EXPECT_STREQ("f1040.qvp", GetPoolString(&ret, dir[0].formPakOffset));
    // The values go into the FormPak's page.
    FileRecord pak;
    OPEN_OR_SKIP("formpaks/f1040.qvp", &pak);
    FieldTable *t = BuildFieldTableFromFormPak(&pak, dir[0].formIndex);
    ASSERT_NE(nullptr, t);
    gReturnLoading = 1;
    EXPECT_EQ(4, ApplyReturnFieldPairs(&ret, 0, t, 1));   // calculated lines (2b) are not stored
    gReturnLoading = 0;
    EXPECT_STREQ("52,000", t->fields[FindLayoutField(t, 1, "0101", 0)].value);
    EXPECT_STREQ("X", t->fields[FindLayoutField(t, 1, "0042", 0)].value);
    FreeLayoutTable(t);
    ReleaseFileRecord(&pak, NULL);
    ReleaseFileRecord(&ret, NULL);
}

// Runs qvtool.exe and returns its exit code (-1 when it could not be started).
static int RunQvtool(const std::string &arguments)
{
    std::string command = "qvtool.exe " + arguments;
    STARTUPINFOA si;
    memset(&si, 0, sizeof si);
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    HANDLE nul = CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0, NULL);
    si.hStdOutput = nul;
    si.hStdError = nul;
    PROCESS_INFORMATION pi;
    std::vector<char> line(command.begin(), command.end());
    line.push_back(0);
    if (!CreateProcessA(NULL, line.data(), NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi)) {
        CloseHandle(nul);
        return -1;
    }
    DWORD code = (DWORD)-1;
    if (WaitForSingleObject(pi.hProcess, 60000) == WAIT_OBJECT_0)
        GetExitCodeProcess(pi.hProcess, &code);
    else
        TerminateProcess(pi.hProcess, 99);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    CloseHandle(nul);
    return (int)code;
}

TEST(Qvtool, DumpAcceptsGoodFilesAndRefusesBadOnes)
{
    if (GetFileAttributesA("qvtool.exe") == INVALID_FILE_ATTRIBUTES ||
        GetFileAttributesA(BuildPath("samples/Sample.qvr").c_str()) == INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "qvtool or the samples were not built";
    EXPECT_EQ(0, RunQvtool("dump samples\\Sample.qvr -f"));
    EXPECT_EQ(0, RunQvtool("dump formpaks\\f941.qvp -f"));
    // A damaged copy: refused with exit code 1, never a crash.
    std::string bad = "qv_tool_bad.qvr";
    CopyFileA(BuildPath("samples/Sample.qvr").c_str(), bad.c_str(), FALSE);
    HANDLE h = CreateFileA(bad.c_str(), GENERIC_WRITE, 0, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    SetFilePointer(h, 1000, NULL, FILE_BEGIN);
    DWORD wrote;
    WriteFile(h, "XXXX", 4, &wrote, NULL);
    CloseHandle(h);
    EXPECT_EQ(1, RunQvtool("dump " + bad));
    EXPECT_EQ(1, RunQvtool("dump no_such_file.qvr"));
    DeleteFileA(bad.c_str());
}
