// A main window with a return of test pages in its forms tree, for the page view's window tests.
#ifndef LEVYLINE_TEST_PAGEVIEW_UTIL_H
#define LEVYLINE_TEST_PAGEVIEW_UTIL_H

#include "entry/entry.h"
#include "pages/pages.h"
#include "shell/shell.h"
#include "store/store.h"
#include "tests/harness/harness.h"
#include "tests/harness/pixels.h"
#include "tests/harness/sample.h"

#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

namespace pageview_test {

struct FieldDesc {
    const char *seq, *type, *length, *description, *line, *valueList, *seqPrefix;
    RECT rect;
};

// Page 1 (PCL): one field of each kind the click road tells apart, linked in tab order.
const FieldDesc kPage1Fields[] = {
    {"0010", "N", "12", "Wages", "1a", NULL, NULL, {1300, 1000, 2300, 1070}},
    {"0020", "X", "1", "Single", "c1", NULL, NULL, {200, 1000, 260, 1060}},
    {"0030", "CN", "12", "Total income", "9", "0010", NULL, {1300, 1200, 2300, 1270}},
    {"0040", "S[m]", "30", "Address", "a", "0050,0080", NULL, {200, 1200, 1100, 1270}},
    {"0050", "A", "30", "Note", "n", NULL, "@1", {200, 1400, 1100, 1470}},
    {"0060", "S[sig]", "20", "Signature", "s", NULL, NULL, {200, 1600, 1100, 1700}},
    {"0070", "L", "20", "Label", "l", "Label text", NULL, {1300, 1400, 2300, 1470}},
    {"0080", "A", "30", "Last field", "z", NULL, NULL, {200, 2900, 1100, 2970}},
    {"0090", "S[pdf]", "20", "Attachment", "p", "0100", NULL, {1300, 1600, 2300, 1670}},
    {"0100", "A", "99", "Attachment path", "q", NULL, NULL, {0, 0, 0, 0}},
};
const int kPage1FieldCount = sizeof(kPage1Fields) / sizeof(kPage1Fields[0]);

// Page 2 (compressed BMP): its signature field's background is saved when the page is built.
const FieldDesc kPage2Fields[] = {
    {"0010", "N", "12", "Amount", "1", NULL, NULL, {1300, 400, 2300, 470}},
    {"0020", "S[sig]", "20", "Signature", "s", NULL, NULL, {200, 600, 1100, 700}},
};

struct DescribedRecords {
    std::vector<FieldRecord> records;
    std::vector<RECT> rects;
    DescribedRecords(const FieldDesc *descs, int count) : records(count + 1), rects(count + 1)
    {
        memset(records.data(), 0, records.size() * sizeof(FieldRecord));
        for (int i = 0; i < count; i++) {
            FieldRecord &r = records[i + 1];
            r.seq = (char *)descs[i].seq;
            r.typeCode = (char *)descs[i].type;
            r.length = (char *)descs[i].length;
            r.description = (char *)descs[i].description;
            r.line = (char *)descs[i].line;
            r.valueList = (char *)descs[i].valueList;
            r.seqPrefix = (char *)descs[i].seqPrefix;
            rects[i + 1] = descs[i].rect;
            if (!IsRectEmpty(&rects[i + 1]))
                r.rect = &rects[i + 1];
            r.tabLinks[TAB_PREVIOUS] = (uint16_t)i;
            r.tabLinks[TAB_NEXT] = (uint16_t)(i + 1 < count ? i + 2 : 0);
        }
    }
};

inline std::string TempPath(const char *name)
{
    char folder[MAX_PATH];
    GetTempPathA(sizeof(folder), folder);
    return std::string(folder) + name;
}

// A PCL page: the real Form 1040 page 1 when the build made it, else a page with a black square.
inline std::string PclPage()
{
    std::string path = BuildPath("testdata/f1040-1.pcl");
    FILE *f = fopen(path.c_str(), "rb");
    std::string s;
    if (f) {
        char buffer[65536];
        size_t n;
        while ((n = fread(buffer, 1, sizeof(buffer), f)) > 0)
            s.append(buffer, n);
        fclose(f);
    }
    if (s.empty())
        s = "\x1b" "E\x1b*p100x100Y\x1b*c200a50B\x1b*c0P\f";
    return s;
}

// A compressed 1-bit BMP page, white with a black bar across rows 100..119.
inline std::vector<uint8_t> BmpPage()
{
    const int width = 2400, height = 3168, stride = (width + 31) / 32 * 4;
    const uint32_t offset = 14 + 40 + 8;
    const RGBQUAD mono[2] = {{0, 0, 0, 0}, {255, 255, 255, 0}};
    std::vector<uint8_t> file = MakeBmpFile(width, height, 1, mono, 2, 0xFF);
    for (int y = 100; y < 120; y++)   // bottom-up rows: row y of the page is stored at height-1-y
        memset(file.data() + offset + (size_t)(height - 1 - y) * stride, 0, stride);
    DWORD packed = 0;
    if (!CompressBlock(file.data(), (DWORD)file.size(), &packed, 1, 1))
        return std::vector<uint8_t>();
    file.resize(packed);
    return file;
}

// The main window (1200 x 900) with the test FormPak's two pages filed in the forms tree.
struct TestReturn {
    HWND main = NULL;
    std::string path;
    FileRecord file;
    FormInstance *pages[2] = {NULL, NULL};

    int Open()
    {
        memset(&file, 0, sizeof(file));
        gReturnModified = 0;
        main = CreateMainWindow(gInstance);
        if (!main)
            return 0;
        ShowWindow(main, SW_SHOW);
        MoveWindow(main, 0, 0, 1200, 900, TRUE);
        PumpMessages(50);
        path = TempPath("PageViewTest.qvp");
        std::string pcl = PclPage();
        std::vector<uint8_t> bmp = BmpPage();
        DescribedRecords f1(kPage1Fields, kPage1FieldCount), f2(kPage2Fields, 2);
        FormPakPageDesc descs[2];
        memset(descs, 0, sizeof(descs));
        descs[0] = {"Form 1040", 1, 1, 100, PAGE_FLAG_MAIN_FORM, IMAGE_SOURCE_PCL, (const uint8_t *)pcl.data(),
                    (uint32_t)pcl.size(), f1.records.data(), (int)f1.records.size(), {1, 1}};
        descs[1] = {"Form 1040", 2, 1, 100, 0, IMAGE_SOURCE_BMP, bmp.data(), (uint32_t)bmp.size(),
                    f2.records.data(), (int)f2.records.size(), {1, 2}};
        const char *header[1] = {"Form 1040"};
        if (bmp.empty() || WriteFormPak(path.c_str(), 2024, header, 1, descs, 2, RECORD_METHOD_XOR) != 1)
            return 0;
        if (ReadDataFile(path.c_str(), 0, &file, READ_DATA_QUIET) != 1)
            return 0;
        for (int i = 0; i < 2; i++) {
            pages[i] = CreatePageRecord(&file, i, path.c_str(), 0);
            if (!pages[i] || !AddFormToTree(pages[i]->displayName, TREE_IMAGE_PAGE, pages[i], NULL))
                return 0;
        }
        PumpMessages(20);
        return 1;
    }
    void Close()
    {
        CloseEditBar(&gEditRequest);
        gReturnModified = 0;
        if (main && IsWindow(main))
            DestroyWindow(main);
        PumpMessages(20);
        ReleaseFileRecord(&file, NULL);
        DeleteFileA(path.c_str());
    }
};

inline void Select(HTREEITEM item)
{
    SendMessageA(gFormsTreeWindow, TVM_SELECTITEM, TVGN_CARET, (LPARAM)item);
    PumpMessages(30);
}

inline std::string StatusText()
{
    char text[128] = "";
    SendMessageA(gStatusBar, SB_GETTEXTA, 0, (LPARAM)text);
    return text;
}

// Repaints the page view after a change of zoom (flag ZOOMED) or page state (flag NEWPAGE).
inline void Repaint(int flags)
{
    gPageViewFlags |= (uint16_t)flags;
    InvalidateRect(gPageViewWindow, NULL, FALSE);
    UpdateWindow(gPageViewWindow);
    PumpMessages(10);
}

inline SIZE ScaledSize()
{
    SIZE size = {0, 0};
    HBITMAP scaled = (HBITMAP)SendMessageA(gPageViewWindow, WM_PAGE_GETSCALED, 0, 0);
    int w = 0, h = 0;
    if (GetBitmapSize(scaled, &w, &h)) {
        size.cx = w;
        size.cy = h;
    }
    return size;
}

// What the page view shows on the screen (its client area, 0x00RRGGBB, top row first). The page
// view draws only on WM_PAINT, so the pixels are read back from its window after a repaint.
inline int CaptureView(Screenshot *out)
{
    RECT rc;
    GetClientRect(gPageViewWindow, &rc);
    if (rc.right <= 0 || rc.bottom <= 0)
        return 0;
    RedrawWindow(gPageViewWindow, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
    HDC dc = GetDC(gPageViewWindow);
    out->width = rc.right;
    out->height = rc.bottom;
    out->pixels = SnapDc(dc, rc.right, rc.bottom);
    ReleaseDC(gPageViewWindow, dc);
    return 1;
}

// A click (press and release) at a client point of the page view.
inline void ClickAt(int x, int y)
{
    SendMessageA(gPageViewWindow, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageA(gPageViewWindow, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    PumpMessages(10);
}

// A click in the middle of a field, through the page-to-client mapping.
inline void ClickField(const FieldRecord *field)
{
    RECT rc;
    GetFieldClientRect(field->rect, &rc);
    ClickAt((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
}

// A main window (1200 x 900) with a return the build made (a path relative to the build folder)
// opened from the build's FormPaks; null when the build made none.
inline HWND OpenBuiltReturn(const char *relative)
{
    std::string path = BuiltFilePath(relative);
    if (path.empty())
        return NULL;
    UseBuildFormPaks();
    gZoom = PAGE_ZOOM_START;
    HWND main = OpenMainWindow();
    ShowWindow(main, SW_SHOW);
    MoveWindow(main, 0, 0, 1200, 900, TRUE);
    SendMessageA(main, WM_OPEN_FILE, 0, (LPARAM)path.c_str());
    WaitForRecompute();
    PumpMessages(50);
    return main;
}

inline void CloseBuiltReturn(HWND main)
{
    gReturnModified = 0;
    DestroyMainWindow(main);
    RestoreFormPakFolder();
}

// The one page of the open return keyed key (null when there is not exactly one).
inline FormInstance *FindReturnPage(const char *key)
{
    FormInstance *page = NULL;
    return FindReturnPages(1, key, NULL, 0) == 1 && FindReturnPages(1, key, &page, 0) == 1 ? page : NULL;
}

} // namespace pageview_test

#endif
