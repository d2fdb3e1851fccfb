// The canvas's speed paths against their plain counterparts: the interpreter's progress bar gets
// a few positions a page (never one per percent); the scaled copy of a palette page made from its
// bits equals the 24-bit path byte for byte; raster rows under every logical operation equal
// GDI's blit of the same row; glyphs written a byte at a time equal the same glyphs written pixel
// by pixel; the spare canvas is a white page with the canvas colours and is handed over whole.
#include <windows.h>
#include <commctrl.h>
#include <tlhelp32.h>
#include <gtest/gtest.h>
#include "canvas/canvas.h"
#include "tests/harness/harness.h"
#include "tests/canvas/test_pcl_util.h"
#include "tools/pclgen/pclstreams.h"

#include <string.h>
#include <algorithm>
#include <string>
#include <vector>

namespace {

// ---- progress ----

std::vector<int> gPositions;
WNDPROC gProgressProc;

LRESULT CALLBACK CountingProgressProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == PBM_SETPOS)
        gPositions.push_back((int)wParam);
    return CallWindowProcA(gProgressProc, window, message, wParam, lParam);
}

struct ProgressPage {
    const char *name;
    std::string (*make)();
};

std::string IrsPage()
{
    std::string stream;
    ReadWholeFile(BuildPath("testdata/f1040-1.pcl"), &stream);
    return stream;
}
std::string FeatureStream() { return pclgen::FeaturePage(); }
std::string SoftFontStream() { return pclgen::DenseTextPage(pclgen::RasteriseFont("Arial", 40), 40); }
std::string VectorStream() { return pclgen::VectorPage(); }

class PclProgress : public ::testing::TestWithParam<ProgressPage> {};

TEST_P(PclProgress, AFewRisingPositionsEndingWhereThePageEnds)
{
    std::string stream = GetParam().make();
    if (stream.empty())
        GTEST_SKIP() << "test page not made";
    HWND bar = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_POPUP, 0, 0, 200, 16, NULL, NULL, NULL, NULL);
    ASSERT_TRUE(bar != NULL);
    gProgressProc = (WNDPROC)SetWindowLongPtrA(bar, GWLP_WNDPROC, (LONG_PTR)CountingProgressProc);
    gPositions.clear();
    unsigned int stop = 0;
    HBITMAP page = RenderPclRange((const unsigned char *)stream.data(), 0, (unsigned)stream.size(), 0, bar, NULL,
                                  NULL, &stop);
    ASSERT_TRUE(page != NULL);
    DeleteObject(page);
    DestroyWindow(bar);
    ASSERT_FALSE(gPositions.empty());
    EXPECT_LE(gPositions.size(), 100u / PCL_PROGRESS_STEP);
    for (size_t i = 1; i < gPositions.size(); i++)
        EXPECT_GE(gPositions[i] - gPositions[i - 1], PCL_PROGRESS_STEP);
    EXPECT_EQ((int)((unsigned long long)stop * 100 / stream.size()), gPositions.back());
}

INSTANTIATE_TEST_SUITE_P(Pages, PclProgress,
                         ::testing::Values(ProgressPage{"irs", IrsPage}, ProgressPage{"features", FeatureStream},
                                           ProgressPage{"softfont", SoftFontStream},
                                           ProgressPage{"vectors", VectorStream}),
                         [](const ::testing::TestParamInfo<ProgressPage> &info) { return info.param.name; });

// ---- the scaled copy ----

// A 4-bit DIB with the canvas colours and a few others, filled with white, runs of ink of every
// index, single pixels at odd and even columns and a noisy band.
HBITMAP MakePalettePage(int width, int height)
{
    RGBQUAD table[16] = {};
    for (int i = 0; i < 16; i++) {
        table[i].rgbRed = (BYTE)(i * 17);
        table[i].rgbGreen = (BYTE)(255 - i * 13);
        table[i].rgbBlue = (BYTE)(i * 29 % 256);
    }
    table[0] = RGBQUAD{0, 0, 0, 0};
    table[15] = RGBQUAD{255, 255, 255, 0};
    table[14] = RGBQUAD{255, 255, 255, 0};   // a second white entry
    HBITMAP bitmap = CreateDibBitmap(width, height, 4, 0, NULL, table);
    CanvasBits c;
    if (!bitmap || !GetCanvasBits(bitmap, &c))
        return bitmap;
    unsigned seed = 12345;
    for (int y = 0; y < height; y++) {
        unsigned char *row = CanvasRow(c, y);
        for (int x = 0; x < width; x++) {
            int index = 15;
            if (y % 97 < 3 && x > width / 5 && x < width / 2) index = (x / 7 + y) % 16;
            else if ((x * 31 + y * 17) % 211 == 0) index = (x + y) % 14;
            else if (y > height / 2 && y < height / 2 + 40) {
                seed = seed * 1103515245u + 12345u;
                index = (seed >> 16) % 16;
            }
            unsigned char *p = row + x / 2;
            if (x & 1) *p = (unsigned char)((*p & 0xF0) | index);
            else *p = (unsigned char)((*p & 0x0F) | (index << 4));
        }
    }
    return bitmap;
}

// The same pixels as a 24-bit DIB (which ResizeBitmap reads the plain way).
HBITMAP CopyAs24(HBITMAP bitmap, int width, int height)
{
    HBITMAP copy = CreateDibBitmap(width, height, 24, 0, NULL, NULL);
    HDC a = CreateCompatibleDC(NULL), b = CreateCompatibleDC(NULL);
    HGDIOBJ oa = SelectObject(a, bitmap), ob = SelectObject(b, copy);
    BitBlt(b, 0, 0, width, height, a, 0, 0, SRCCOPY);
    SelectObject(a, oa);
    SelectObject(b, ob);
    DeleteDC(a);
    DeleteDC(b);
    return copy;
}

std::vector<unsigned char> Read24Rows(HBITMAP bitmap, int width, int height)
{
    std::vector<unsigned char> rows((size_t)GetDibImageSize32(width, 1, 24) * height);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    HDC dc = CreateCompatibleDC(NULL);
    GetDIBits(dc, bitmap, 0, height, rows.data(), &info, DIB_RGB_COLORS);
    DeleteDC(dc);
    return rows;
}

struct ShrinkCase {
    int sw, sh, dw, dh;
};

class ShrinkFromBits : public ::testing::TestWithParam<ShrinkCase> {};

TEST_P(ShrinkFromBits, EqualsThe24BitPath)
{
    const ShrinkCase &k = GetParam();
    HBITMAP page = MakePalettePage(k.sw, k.sh);
    ASSERT_TRUE(page != NULL);
    HBITMAP plain = CopyAs24(page, k.sw, k.sh);
    HBITMAP fast = ResizeBitmap(page, k.dw, k.dh), slow = ResizeBitmap(plain, k.dw, k.dh);
    ASSERT_TRUE(fast && slow);
    std::vector<unsigned char> a = Read24Rows(fast, k.dw, k.dh), b = Read24Rows(slow, k.dw, k.dh);
    EXPECT_TRUE(a == b);
    size_t differing = 0;
    for (size_t i = 0; i < a.size(); i++)
        differing += a[i] != b[i];
    EXPECT_EQ(0u, differing);
    DeleteObject(fast);
    DeleteObject(slow);
    DeleteObject(plain);
    DeleteObject(page);
}

INSTANTIATE_TEST_SUITE_P(Sizes, ShrinkFromBits,
                         ::testing::Values(ShrinkCase{2400, 3168, 720, 950}, ShrinkCase{2400, 3168, 1199, 1583},
                                           ShrinkCase{301, 257, 100, 85}, ShrinkCase{301, 257, 300, 256},
                                           ShrinkCase{64, 48, 1, 1}, ShrinkCase{3168, 2400, 950, 720}));

// ---- raster rows under a logical operation ----

struct RopBrush {
    const char *name;
    HBRUSH (*make)();
    int index;   // the brush colour's index in the canvas table
};

HBRUSH WhiteBrush() { return (HBRUSH)GetStockObject(WHITE_BRUSH); }
HBRUSH BlackBrush() { return (HBRUSH)GetStockObject(BLACK_BRUSH); }
HBRUSH GreyBrush() { return CreateSolidBrush(RGB(128, 128, 128)); }
HBRUSH SilverBrush() { return CreateSolidBrush(RGB(192, 192, 192)); }

class RopRows : public ::testing::TestWithParam<RopBrush> {};

// Every operation index: the table-driven row equals GDI's blit of the same 1-bit row (ink
// white, no ink black) over the same canvas pixels, with the brush selected.
TEST_P(RopRows, EveryOperationMatchesTheGdiBlit)
{
    ResetPageCanvas();
    ASSERT_TRUE(gPageCanvasDc && gPageCanvasBitmap);
    CanvasBits c;
    ASSERT_TRUE(GetCanvasBits(gPageCanvasBitmap, &c));
    HBRUSH brush = GetParam().make();
    HGDIOBJ oldBrush = SelectObject(gPageCanvasDc, brush);
    const int pageBytes = PAGE_CANVAS_WIDTH / 8, rowBytes = 250;   // the rest of the row has no ink
    unsigned char row[PAGE_CANVAS_WIDTH / 8 + 4] = {};
    unsigned seed = 99;
    for (int k = 0; k < rowBytes; k++) {
        seed = seed * 1103515245u + 12345u;
        row[k] = k % 9 == 0 ? 0 : (unsigned char)(seed >> 16);
    }
    std::vector<unsigned char> canvas(PAGE_CANVAS_WIDTH / 2);
    for (size_t i = 0; i < canvas.size(); i++) {
        seed = seed * 1103515245u + 12345u;
        canvas[i] = i % 5 == 0 ? 0xFF : (unsigned char)(seed >> 16);
    }
    struct {
        BITMAPINFOHEADER h;
        RGBQUAD colours[2];
    } info = {};
    info.h.biSize = sizeof(BITMAPINFOHEADER);
    info.h.biWidth = PAGE_CANVAS_WIDTH;
    info.h.biHeight = 1;
    info.h.biPlanes = 1;
    info.h.biBitCount = 1;
    info.colours[1] = RGBQUAD{255, 255, 255, 0};
    int mismatched = 0;
    for (int rop = 0; rop < 256; rop++) {
        unsigned char *viaGdi = CanvasRow(c, 10), *direct = CanvasRow(c, 11);
        memcpy(viaGdi, canvas.data(), canvas.size());
        memcpy(direct, canvas.data(), canvas.size());
        StretchDIBits(gPageCanvasDc, 0, 10, PAGE_CANVAS_WIDTH, 1, 0, 0, PAGE_CANVAS_WIDTH, 1, row, (BITMAPINFO *)&info,
                      DIB_RGB_COLORS, GetTernaryRop(rop));
        GdiFlush();
        unsigned char table[4][256];
        int keepsBlank = BuildRopRowTable(rop, GetParam().index, 15, 0, table);
        ApplyRopRow(direct, row, rowBytes, pageBytes, table, keepsBlank);
        if (memcmp(viaGdi, direct, canvas.size())) {
            ADD_FAILURE() << "operation " << rop;
            if (++mismatched > 5) break;
        }
    }
    SelectObject(gPageCanvasDc, oldBrush);
    DeleteObject(brush);
    HBITMAP page = DetachPageCanvasBitmap();
    DeleteObject(page);
}

INSTANTIATE_TEST_SUITE_P(Brushes, RopRows,
                         ::testing::Values(RopBrush{"white", WhiteBrush, 15}, RopBrush{"black", BlackBrush, 0},
                                           RopBrush{"grey", GreyBrush, 8}, RopBrush{"silver", SilverBrush, 7}),
                         [](const ::testing::TestParamInfo<RopBrush> &info) { return info.param.name; });


// ---- glyphs a byte at a time ----

// Glyphs of widths 1 to 19 at even and odd x (the right edge of the canvas included), black and
// white ink, rows hanging over the top and bottom, padding bits set past the width: the
// byte-wise writer changes exactly the pixels a per-pixel writer changes.
TEST(GlyphBytes, EqualTheGlyphsPixelByPixel)
{
    const int width = 64, height = 24;
    HBITMAP bitmap = CreateDibBitmap(width, height, 4, 0, NULL, NULL);
    CanvasBits c;
    ASSERT_TRUE(bitmap && GetCanvasBits(bitmap, &c));
    std::vector<unsigned char> expected((size_t)height * 32);
    unsigned seed = 7;
    int cases = 0;
    for (int glyphWidth = 1; glyphWidth <= 19; glyphWidth++)
        for (int x0 : {0, 1, 6, 13, width - glyphWidth, width - glyphWidth - 1})
            for (int y0 : {-3, 5, height - 4})
                for (unsigned char index : {0, 15}) {
                    if (x0 < 0) continue;
                    int rowBytes = (glyphWidth + 7) / 8 + (glyphWidth % 3 == 0);   // sometimes a spare byte
                    const int glyphHeight = 9;
                    std::vector<unsigned char> rows((size_t)rowBytes * glyphHeight);
                    for (unsigned char &b : rows) {
                        seed = seed * 1103515245u + 12345u;
                        b = (unsigned char)(seed >> 16);
                    }
                    for (int y = 0; y < height; y++)
                        for (int k = 0; k < 32; k++) {
                            seed = seed * 1103515245u + 12345u;
                            CanvasRow(c, y)[k] = expected[(size_t)y * 32 + k] = (unsigned char)(seed >> 16);
                        }
                    for (int gy = 0; gy < glyphHeight; gy++)
                        for (int gx = 0; gx < glyphWidth; gx++) {
                            int x = x0 + gx, y = y0 + gy;
                            if (y < 0 || y >= height || !(rows[(size_t)gy * rowBytes + gx / 8] & (0x80 >> (gx & 7))))
                                continue;
                            unsigned char &p = expected[(size_t)y * 32 + x / 2];
                            p = (x & 1) ? (unsigned char)((p & 0xF0) | index) : (unsigned char)((p & 0x0F) | (index << 4));
                        }
                    ASSERT_EQ(1, WriteGlyphBytes(c, rows.data(), rowBytes, glyphWidth, glyphHeight, x0, y0, index));
                    int same = 1;
                    for (int y = 0; y < height && same; y++)
                        same = !memcmp(CanvasRow(c, y), &expected[(size_t)y * 32], 32);
                    EXPECT_TRUE(same) << "width " << glyphWidth << " at " << x0 << "," << y0 << " index " << (int)index;
                    cases++;
                }
    EXPECT_GT(cases, 600);
    // Glyphs over the canvas's sides and other inks are left to the per-pixel writer.
    unsigned char one[2] = {0xFF, 0xFF};
    EXPECT_EQ(0, WriteGlyphBytes(c, one, 2, 16, 1, -1, 0, 0));
    EXPECT_EQ(0, WriteGlyphBytes(c, one, 2, 16, 1, width - 15, 0, 0));
    EXPECT_EQ(0, WriteGlyphBytes(c, one, 2, 16, 1, 0, 0, 7));
    DeleteObject(bitmap);
}


// ---- the spare canvas ----

// Waits until the worker has made a spare canvas; false when none came within a minute (a hang,
// not a slow machine).
bool WaitForSpareCanvas()
{
    DWORD start = GetTickCount();
    while (!IsSpareCanvasReady()) {
        if (GetTickCount() - start > 60000)
            return false;
        Sleep(1);
    }
    return true;
}

std::vector<DWORD> OwnThreadIds()
{
    std::vector<DWORD> ids;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry = {sizeof entry};
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        if (entry.th32OwnerProcessID == GetCurrentProcessId())
            ids.push_back(entry.th32ThreadID);
    CloseHandle(snapshot);
    return ids;
}

// The threads of this process that call started (those there after it and not before), opened so
// that a test can see them end; the caller closes them.
std::vector<HANDLE> ThreadsStartedBy(void (*call)(void))
{
    std::vector<DWORD> before = OwnThreadIds();
    call();
    std::vector<HANDLE> started;
    for (DWORD id : OwnThreadIds())
        if (std::find(before.begin(), before.end(), id) == before.end()) {
            HANDLE thread = OpenThread(SYNCHRONIZE, FALSE, id);
            if (thread)
                started.push_back(thread);
        }
    return started;
}

bool HasThreadEnded(HANDLE thread) { return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0; }

bool HasAnyThreadEnded(const std::vector<HANDLE> &threads)
{
    return std::any_of(threads.begin(), threads.end(), HasThreadEnded);
}

bool IsAnyThreadRunning(const std::vector<HANDLE> &threads)
{
    return !std::all_of(threads.begin(), threads.end(), HasThreadEnded);
}

// The canvas made beforehand is a white 2400 x 3168 page with the canvas colours, also after a
// page that inked it and added colours of its own.
TEST(SpareCanvas, EveryPageStartsWhiteWithTheCanvasColours)
{
    std::string features = pclgen::FeaturePage(), blank = "\x0c";
    for (int round = 0; round < 3; round++) {
        HBITMAP inked = RenderPclRange((const unsigned char *)features.data(), 0, (unsigned)features.size(), 0, NULL,
                                       NULL, NULL, NULL);
        ASSERT_TRUE(inked != NULL);
        DeleteObject(inked);
        ASSERT_TRUE(WaitForSpareCanvas());   // the next page takes the spare
        HBITMAP page = RenderPclRange((const unsigned char *)blank.data(), 0, 1, 0, NULL, NULL, NULL, NULL);
        ASSERT_TRUE(page != NULL);
        PageInk ink;
        ASSERT_TRUE(ReadPageInk(page, &ink));
        EXPECT_EQ(PAGE_CANVAS_WIDTH, ink.width);
        EXPECT_EQ(PAGE_CANVAS_HEIGHT, ink.height);
        EXPECT_EQ(0, ink.CountNotWhite(0, 0, ink.width, ink.height));
        int count = 0;
        RGBQUAD *table = GetDibColorTable(NULL, page, &count);
        ASSERT_TRUE(table && count == 16);
        for (int i = 0; i < 16; i++) {
            COLORREF expected = i == 7 ? RGB(192, 192, 192) : i == 8 ? RGB(128, 128, 128) : i == 15 ? RGB(255, 255, 255) : 0;
            EXPECT_EQ(expected, RGB(table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue)) << "entry " << i;
        }
        MemFree(table);
        DeleteObject(page);
    }
    RequestSpareCanvas();
    ASSERT_TRUE(WaitForSpareCanvas());
    HBITMAP spare = TakeSpareCanvas();
    ASSERT_TRUE(spare != NULL);
    CanvasBits c;
    ASSERT_TRUE(GetCanvasBits(spare, &c));
    EXPECT_EQ(4, c.bitsPerPixel);
    int white = 1;
    for (int y = 0; y < c.height && white; y++)
        for (int k = 0; k < c.width / 2 && white; k++)
            white = CanvasRow(c, y)[k] == 0xFF;
    EXPECT_TRUE(white);
    DeleteObject(spare);
}

// Whenever a spare is said to be ready, taking it gives a canvas, also with the worker asked again
// while it is taken; stopping ends the worker and deletes the spare it made; a later request
// starts it again.
TEST(SpareCanvas, ReadyAlwaysHoldsACanvasAndStopEndsTheWorker)
{
    StopSpareCanvas();   // no worker left by an earlier test
    for (int start = 0; start < 2; start++) {
        SCOPED_TRACE(start ? "started again" : "first start");
        std::vector<HANDLE> started = ThreadsStartedBy(RequestSpareCanvas);
        ASSERT_FALSE(started.empty()) << "a request starts a worker";
        ASSERT_TRUE(WaitForSpareCanvas());
        for (int i = 0; i < (start ? 1 : 100); i++) {
            RequestSpareCanvas();   // the worker awake while the spare is taken
            HBITMAP spare = TakeSpareCanvas();
            ASSERT_TRUE(spare != NULL) << "round " << i;
            DeleteObject(spare);
            RequestSpareCanvas();
            ASSERT_TRUE(WaitForSpareCanvas()) << "round " << i;
        }
        EXPECT_TRUE(IsAnyThreadRunning(started));
        StopSpareCanvas();
        // The worker is among the threads its request started: when Stop returns it has ended.
        EXPECT_TRUE(HasAnyThreadEnded(started)) << "the worker still runs";
        EXPECT_FALSE(IsSpareCanvasReady());
        EXPECT_TRUE(TakeSpareCanvas() == NULL);
        for (HANDLE thread : started)
            CloseHandle(thread);
    }
}

} // namespace
