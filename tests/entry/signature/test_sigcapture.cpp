// Signature capture: the pixel rules (transparency on white, border cleanup, speck test,
// rounding, baseline), image files the tests make (BMP, PNG with a transparent background,
// JPEG) loaded through the real dialog, drawn and typed signatures, refusals, Clear and
// reopening, and a mutation run over damaged image files.
#include "tests/entry/signature/test_sigcapture_util.h"
#include "shell/shell.h"

#include <gtest/gtest.h>

#include <functional>

using namespace sigtest;

namespace {

TEST(SigPixels, TransparencyIsPaperAndBufferSizesAreBounded)
{
    struct Case {
        uint32_t argb;     // as GDI+ hands it over: blue, green, red, alpha in memory
        uint8_t b, g, r;
    } cases[] = {
        {0x00000000, 255, 255, 255},   // transparent black reads as white paper
        {0xFF000000, 0, 0, 0},         // opaque black stays ink
        {0x80000000, 127, 127, 127},   // half-covered black is grey
        {0xFF1020F0, 0xF0, 0x20, 0x10},
        {0x00FFFFFF, 255, 255, 255},
    };
    for (const Case &c : cases) {
        uint8_t out[3];
        CompositeRowOnWhite((const BYTE *)&c.argb, out, 1);
        EXPECT_EQ(c.b, out[0]) << std::hex << c.argb;
        EXPECT_EQ(c.g, out[1]) << std::hex << c.argb;
        EXPECT_EQ(c.r, out[2]) << std::hex << c.argb;
    }
    EXPECT_EQ(4, GetImageBufferSize24(1, 1));
    EXPECT_EQ(12 * 2, GetImageBufferSize24(3, 2));
    EXPECT_EQ(0, GetImageBufferSize24(0, 5));
    EXPECT_EQ(0, GetImageBufferSize24(40000, 40000));   // does not fit in an int
}

// A thresholded 24-bit buffer from rows of '#' (ink) and '.'.
std::vector<unsigned char> Pixels(const std::vector<std::string> &rows, int *w, int *h)
{
    *h = (int)rows.size();
    *w = (int)rows[0].size();
    int stride = (*w * 3 + 3) & ~3;
    std::vector<unsigned char> bits((size_t)stride * *h, 0);
    for (int y = 0; y < *h; y++)
        for (int x = 0; x < *w; x++)
            memset(&bits[(size_t)y * stride + x * 3], rows[y][x] == '#' ? 0 : 255, 3);
    return bits;
}

std::vector<std::string> Rows(const std::vector<unsigned char> &bits, int w, int h)
{
    int stride = (w * 3 + 3) & ~3;
    std::vector<std::string> rows(h, std::string(w, '.'));
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
            if (bits[(size_t)y * stride + x * 3] == 0)
                rows[y][x] = '#';
    return rows;
}

TEST(SigPixels, BorderInkIsWhitenedAndInnerInkStays)
{
    struct Case {
        std::vector<std::string> in, out;
        int whitened;
    } cases[] = {
        // A frame around a blob: only the blob is left.
        {{"#######", "#.....#", "#.##..#", "#.##..#", "#.....#", "#######"},
         {".......", ".......", "..##...", "..##...", ".......", "......."}, 22},
        // A stroke running in from the edge goes with it; ink that only touches it corner to
        // corner (not 4-connected) stays.
        {{"......", "###...", "...#..", "......"}, {"......", "......", "...#..", "......"}, 3},
        // Nothing touches the border: nothing changes.
        {{"....", ".##.", "...."}, {"....", ".##.", "...."}, 0},
        // One column, all ink.
        {{"#", "#", "#"}, {".", ".", "."}, 3},
    };
    for (const Case &c : cases) {
        int w = 0, h = 0;
        std::vector<unsigned char> bits = Pixels(c.in, &w, &h);
        EXPECT_EQ(c.whitened, ClearBorderInk(bits.data(), w, h));
        EXPECT_EQ(c.out, Rows(bits, w, h));
    }
    EXPECT_EQ(0, ClearBorderInk(NULL, 3, 3));
}

TEST(SigPixels, SpeckRuleRoundingAndBaseline)
{
    struct Speck {
        RECT ink;
        int percent, expected;
    } specks[] = {
        {{0, 5, 100, 20}, 5, 1},    // sparse ink from the left edge to the right edge
        {{5, 0, 20, 50}, 2, 1},     // from the top to the bottom
        {{0, 5, 100, 20}, 6, 0},    // 6 percent is not sparse
        {{0, 0, 99, 49}, 1, 0},     // a margin on both axes
        {{1, 5, 100, 20}, 1, 0},
    };
    for (const Speck &s : specks)
        EXPECT_EQ(s.expected, NeedsSpeckCleanup(&s.ink, s.percent, 100, 50));

    struct Round {
        double value;
        int expected;
    } rounds[] = {{2.5, 3}, {2.49, 2}, {-2.5, -3}, {-2.49, -2}, {0.0, 0}, {1e9, 32767}, {-1e9, -32768}};
    for (const Round &r : rounds)
        EXPECT_EQ(r.expected, RoundSignatureOffset(r.value)) << r.value;
    // Page -> pad -> page with the same rounding returns a page offset within one pad pixel.
    for (float scale : {0.5f, 0.53f, 1.0f})
        for (int stored : {-37, -3, 0, 7, 150}) {
            int pad = RoundSignatureOffset(stored * (double)scale);
            EXPECT_LE(abs(RoundSignatureOffset(pad / (double)scale) - stored), (int)(0.5 / scale + 1));
        }

    HBITMAP line = CreateDibBitmap(200, 60, 1, WHITENESS, NULL, NULL);
    EXPECT_EQ(60, FindSignatureBaseline(line));   // all blank below the middle
    HDC dc = CreateCompatibleDC(NULL);
    HGDIOBJ old = SelectObject(dc, line);
    PatBlt(dc, 0, 10, 200, 2, BLACKNESS);     // above the middle: not the signature line
    PatBlt(dc, 0, 44, 1, 1, BLACKNESS);       // inside the 2-pixel margin: ignored
    PatBlt(dc, 20, 47, 150, 2, BLACKNESS);
    SelectObject(dc, old);
    DeleteDC(dc);
    EXPECT_EQ(48, FindSignatureBaseline(line));
    DeleteObject(line);
}

// ---- the dialog on a field of its own ----

// A signature field of 900 x 100 page pixels whose saved background (clip slot 0, field 1) has
// the printed signature line at row 70; the dialog shrinks it to its pad.
struct SigDialog : ::testing::Test {
    FieldRecord fields[2];
    RECT rect = {100, 100, 1000, 200};
    char type[8] = "S[sig]";
    void SetUp() override
    {
        memset(fields, 0, sizeof(fields));
        fields[1].typeCode = type;
        fields[1].rect = &rect;
        FreeFieldClips();
        HBITMAP background = CreateDibBitmap(900, 100, 1, WHITENESS, NULL, NULL);
        RECT line = {0, 68, 900, 70};
        FillRectWithRop(NULL, background, &line, BLACKNESS);
        gFieldClips[0] = SaveFieldClip(background, 1);
        DeleteObject(background);
        gReturnModified = 0;
        ClearShownMessageBoxes();
    }
    void TearDown() override
    {
        SetFieldText(&fields[1].second, NULL);
        FreeFieldClips();
        gReturnModified = 0;
        SetDefaultMessageBoxAnswer(0);
    }
    FieldRecord *Field() { return &fields[1]; }
    INT_PTR Run(const std::function<void(HWND)> &steps)
    {
        return RunDialogWithSteps([&]() { return OpenSigCaptureDialog(NULL, Field(), 1); }, steps);
    }
    // The stored block's geometry (0 when the field holds none).
    int Stored(float *scale, int *x, int *y)
    {
        return Field()->second && ReadSignatureImage(Field()->second, GetFieldSecondLength(Field()), scale, x, y);
    }
    const FieldClip *Clip() { return (const FieldClip *)Field()->second; }
};

TEST_F(SigDialog, ImageFilesAreCleanedPlacedAppliedAndStored)
{
    RECT blob = {200, 60, 320, 100};
    struct Case {
        const char *name;
        const wchar_t *mime;
        uint32_t background;
        int frame;        // a one-pixel frame: sparse ink from edge to edge, cleaned away
        int tolerance;
    } cases[] = {
        {"framed.bmp", NULL, 0xFFFFFFFF, 1, 0},
        {"clear.png", L"image/png", 0x00000000, 0, 0},
        {"photo.jpg", L"image/jpeg", 0xFFFFFFFF, 0, 2},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        SetFieldText(&Field()->second, NULL);
        gReturnModified = 0;
        ClearShownMessageBoxes();
        std::string path = TempFile(c.name);
        TestImage image = MakeBlobImage(600, 200, blob, c.background, c.frame);
        ASSERT_TRUE(c.mime ? WriteWithGdiplus(path, image, c.mime) : WriteBmp24(path, image));
        float padScale = 0;
        int fitWidth = 0, fitHeight = 0, offsetX = 0, offsetY = 0;
        if (c.frame)
            ScriptMessageBoxAnswer(IDOK);
        INT_PTR result = Run([&](HWND dialog) {
            char caption[64] = "";
            GetWindowTextA(dialog, caption, sizeof(caption));
            EXPECT_STREQ("Apply Signature From...", caption);
            EXPECT_FALSE(IsControlEnabled(dialog, IDOK));
            EXPECT_FALSE(IsControlEnabled(dialog, IDC_SIG_APPLY));
            EXPECT_FALSE(ButtonOn(dialog, IDM_SIG_CLEAR));
            EXPECT_EQ(SIG_INSTRUCTION_START, Instruction(dialog));
            EXPECT_EQ(0, PadInk(dialog) > 900 * 2 ? 1 : 0);   // the shrunk signature line only
            SigCaptureRequest *request = GetSigRequest(dialog);
            EXPECT_LT(request->padScale, 1.0f);
            EXPECT_NEAR(70 * request->padScale, request->baseline, 2);   // just below the printed line
            SendFile(dialog, path);
            ASSERT_EQ(1, request->hasSignature);
            // Only the blob is the signature: its own size, at its own resolution.
            ASSERT_TRUE(request->signatureClip != NULL);
            EXPECT_NEAR(120, request->signatureClip->width, c.tolerance * 2);
            EXPECT_NEAR(40, request->signatureClip->height, c.tolerance * 2);
            EXPECT_TRUE(IsControlEnabled(dialog, IDOK));
            EXPECT_TRUE(IsControlEnabled(dialog, IDC_SIG_APPLY));
            EXPECT_EQ(IDC_SIG_APPLY, LOWORD(SendMessageA(dialog, DM_GETDEFID, 0, 0)));
            EXPECT_FALSE(ButtonOn(dialog, IDM_SIG_FILE));
            EXPECT_TRUE(ButtonOn(dialog, IDM_SIG_CLEAR));
            EXPECT_EQ(SIG_INSTRUCTION_PLACE, Instruction(dialog));
            // Placed 10 pixels in, its bottom on the baseline.
            GetBitmapSize(request->signatureBitmap, &fitWidth, &fitHeight);
            EXPECT_EQ(10, request->offsetX);
            EXPECT_EQ(request->baseline - fitHeight, request->offsetY);
            ApplySignature(dialog, request);
            EXPECT_FALSE(IsControlEnabled(dialog, IDC_SIG_APPLY));
            EXPECT_TRUE(IsRectEmpty(&request->marker));
            // The pad's own bitmap holds the signature where it was placed (no marker).
            int w = 0, h = 0;
            std::vector<unsigned> pad = BitmapPixels(PadBitmap(dialog), &w, &h);
            RECT above = {0, 0, w, request->baseline - 4};   // the printed line left out
            RECT box = DarkBox(pad, w, h, &above);
            EXPECT_NEAR(request->offsetX, box.left, 2);
            EXPECT_NEAR(request->offsetY, box.top, 2);
            padScale = request->padScale;
            offsetX = request->offsetX;
            offsetY = request->offsetY;
            ClickButton(dialog, IDOK);
        });
        EXPECT_EQ(1, result);
        if (c.frame) {
            ASSERT_EQ(1u, GetShownMessageBoxes().size());
            EXPECT_EQ("Signature Cleanup", GetShownMessageBoxes()[0].title);
        } else {
            EXPECT_TRUE(GetShownMessageBoxes().empty());
        }
        float scale = 0;
        int x = 0, y = 0;
        ASSERT_EQ(1, Stored(&scale, &x, &y));
        EXPECT_EQ(1, gReturnModified);
        EXPECT_EQ(1, Clip()->fieldIndex);
        // Page pixels per clip pixel: the fitted pad size back to the page.
        EXPECT_NEAR(fitWidth / padScale, Clip()->width * scale, 2.0);
        EXPECT_EQ(RoundSignatureOffset(offsetX / padScale), x);
        EXPECT_EQ(RoundSignatureOffset(offsetY / padScale), y);
        // The field paints it: ink inside the field's rectangle, bottom near the line.
        HBITMAP canvas = CreateDibBitmap(900, 100, 24, WHITENESS, NULL, NULL);
        HDC dc = CreateCompatibleDC(NULL);
        HGDIOBJ old = SelectObject(dc, canvas);
        EXPECT_EQ(1, DrawSignatureImage(dc, NULL, Field()->second, GetFieldSecondLength(Field()), 0));
        SelectObject(dc, old);
        DeleteDC(dc);
        int w = 0, h = 0;
        std::vector<unsigned> pixels = BitmapPixels(canvas, &w, &h);
        RECT above = {0, 0, 900, 66};
        RECT ink = DarkBox(pixels, w, h, &above);
        EXPECT_NEAR(x, ink.left, 3);
        EXPECT_NEAR(y, ink.top, 3);
        DeleteObject(canvas);
        // The file leads the recent signature files.
        char *list = (char *)QueryRegistryValueAlloc(HKEY_CURRENT_USER, GetRegistryScopePath(REG_SCOPE_COMMON),
                                                     "SigFiles", 0, NULL, NULL);
        ASSERT_TRUE(list != NULL);
        EXPECT_EQ(0, strncmp(strchr(list, ';') + 1, path.c_str(), path.size()));
        MemFree(list);
        DeleteFileA(path.c_str());
    }
}

TEST_F(SigDialog, UnreadableOversizedAndInklessFilesAreRefused)
{
    std::string text = TempFile("notes.png");
    WriteBytes(text, std::vector<uint8_t>{'j', 'u', 's', 't', ' ', 't', 'e', 'x', 't', '\n'});
    std::string white = TempFile("white.bmp");
    WriteBmp24(white, MakeBlobImage(80, 40, RECT{0, 0, 0, 0}, 0xFFFFFFFF, 0));
    std::string frame = TempFile("frame.bmp");   // only specks at the border: all cleaned away
    WriteBmp24(frame, MakeBlobImage(300, 100, RECT{0, 0, 0, 0}, 0xFFFFFFFF, 1));
    std::string big = TempFile("big.bmp");
    WriteBmp24(big, MakeBlobImage(SIGNATURE_MAX_IMAGE_SIDE + 1, 2, RECT{5, 0, 9, 1}, 0xFFFFFFFF, 0));
    char folder[MAX_PATH];
    ASSERT_EQ(1, GetProgramFolder(folder, FOLDER_DATA));
    std::string log = std::string(folder) + "\\Quorvel.log";
    DeleteFileA(log.c_str());
    for (int i = 0; i < 5; i++)
        ScriptMessageBoxAnswer(IDOK);
    INT_PTR result = Run([&](HWND dialog) {
        SendFile(dialog, text);
        SendFile(dialog, big);
        SendFile(dialog, white);
        SendFile(dialog, frame);
        SigCaptureRequest *request = GetSigRequest(dialog);
        EXPECT_EQ(0, request->hasSignature);
        EXPECT_TRUE(request->signatureClip == NULL);
        EXPECT_FALSE(IsControlEnabled(dialog, IDOK));
        EXPECT_TRUE(ButtonOn(dialog, IDM_SIG_FILE));
        ClickButton(dialog, IDOK);   // disabled: nothing happens
        EXPECT_TRUE(IsWindow(dialog));
        ClickButton(dialog, IDCANCEL);
    });
    EXPECT_EQ(0, result);
    const std::vector<ShownMessageBox> &boxes = GetShownMessageBoxes();
    ASSERT_EQ(5u, boxes.size());
    for (size_t i = 0; i < boxes.size(); i++) {
        EXPECT_EQ(i == 3 ? "Signature Cleanup" : SIG_TITLE_INVALID, boxes[i].title);
        EXPECT_EQ((unsigned)(MB_OK | (i == 3 ? MB_ICONEXCLAMATION : MB_ICONSTOP)), boxes[i].flags);
    }
    EXPECT_NE(std::string::npos, boxes[4].text.find("holds no signature"));
    EXPECT_NE(std::string::npos, boxes[0].text.find("The selected image file could not be read."));
    EXPECT_NE(std::string::npos, boxes[0].text.find("View the log file for more information. [MS-"));
    EXPECT_NE(std::string::npos, boxes[1].text.find("at most 4000 x 4000 pixels"));
    EXPECT_NE(std::string::npos, boxes[2].text.find("holds no signature"));
    EXPECT_NE(std::string::npos, ReadWholeFile(log).find("999 SIG: " + text + " ["));
    EXPECT_TRUE(Field()->second == NULL);
    EXPECT_EQ(0, gReturnModified);
    DeleteFileA(text.c_str());
    DeleteFileA(white.c_str());
    DeleteFileA(big.c_str());
    DeleteFileA(frame.c_str());
}

TEST_F(SigDialog, DrawnAndTypedSignaturesHaveInk)
{
    // Draw: strokes with synthetic mouse messages, then Draw again.
    float padScale = 0;
    RECT drawnBox = {0, 0, 0, 0};
    INT_PTR result = Run([&](HWND dialog) {
        RECT pad;
        ASSERT_EQ(1, GetSigPadRect(dialog, &pad));
        int before = PadInk(dialog);
        SendMessageA(dialog, WM_COMMAND, IDM_SIG_DRAW, 0);
        EXPECT_NE(std::string::npos, Instruction(dialog).find("Draw your signature with your mouse."));
        EXPECT_FALSE(ButtonOn(dialog, IDM_SIG_FILE));
        Drag(dialog, POINT{pad.left + 30, pad.top + 20}, POINT{pad.left + 130, pad.top + 35}, 10);
        Drag(dialog, POINT{pad.left + 60, pad.top + 10}, POINT{pad.left + 70, pad.top + 40}, 5);
        SendMessageA(dialog, WM_COMMAND, IDM_SIG_DRAW, 0);
        SigCaptureRequest *request = GetSigRequest(dialog);
        ASSERT_EQ(1, request->hasSignature);
        int w = 0, h = 0;
        GetBitmapSize(request->signatureBitmap, &w, &h);
        EXPECT_NEAR(100, w, 3);
        EXPECT_NEAR(30, h, 3);
        EXPECT_NEAR(30, request->offsetX, 1);   // drawn where it was drawn (30 is not below 10)
        EXPECT_EQ(request->baseline - h, request->offsetY);
        EXPECT_GT(PadInk(dialog), before + 100);
        EXPECT_TRUE(IsControlEnabled(dialog, IDOK));
        padScale = request->padScale;
        ApplySignature(dialog, request);
        PadInk(dialog, &drawnBox);
        ClickButton(dialog, IDOK);
    });
    EXPECT_EQ(1, result);
    float scale = 0;
    int x = 0, y = 0;
    ASSERT_EQ(1, Stored(&scale, &x, &y));
    EXPECT_NEAR(1.0f / padScale, scale, 1e-4);   // drawn at pad resolution: back to page pixels
    // Opened again it shows the same ink in the same place (no resampling by a scale that is
    // 1 but for float rounding).
    Run([&](HWND dialog) {
        RECT box;
        PadInk(dialog, &box);
        EXPECT_TRUE(EqualRect(&drawnBox, &box)) << box.left << "," << box.top << "," << box.right << "," << box.bottom;
    });

    // Draw toggled off without a stroke leaves no signature.
    SetFieldText(&Field()->second, NULL);
    Run([&](HWND dialog) {
        SendMessageA(dialog, WM_COMMAND, IDM_SIG_DRAW, 0);
        SendMessageA(dialog, WM_COMMAND, IDM_SIG_DRAW, 0);
        EXPECT_EQ(0, GetSigRequest(dialog)->hasSignature);
        EXPECT_FALSE(IsControlEnabled(dialog, IDOK));
    });

    // Type: the edit bar runs modally on the dialog's own request; Enter ends it.
    result = Run([&](HWND dialog) {
        RunDialogWithSteps(
            [&]() {
                SendMessageA(dialog, WM_COMMAND, IDM_SIG_TYPE, 0);
                return (INT_PTR)0;
            },
            [&](HWND bar) {
                EXPECT_EQ(EDIT_REQUESTER_SIGNATURE, gSigEditRequest.requesterKind);
                EXPECT_STREQ("Segoe Script", gSigEditRequest.fontFace);
                SetDlgItemTextA(gSigEditRequest.partWindows[0], IDC_EB_EDIT1, "Jane Q. Public");
                SendMessageA(gSigEditRequest.partWindows[0], WM_CLOSE, 0, 1);
            });
        SigCaptureRequest *request = GetSigRequest(dialog);
        EXPECT_STREQ("Jane Q. Public", gSigEditRequest.text);
        ASSERT_EQ(1, request->hasSignature);
        int w = 0, h = 0;
        GetBitmapSize(request->signatureBitmap, &w, &h);
        EXPECT_GT(w, 100);
        EXPECT_GT(PadInk(dialog), 200);
        EXPECT_TRUE(ButtonOn(dialog, IDM_SIG_CLEAR));
        EXPECT_FALSE(ButtonOn(dialog, IDM_SIG_TYPE));
        ClickButton(dialog, IDOK);
    });
    EXPECT_EQ(1, result);
    EXPECT_EQ(1, Stored(&scale, &x, &y));

    // Type left with Esc: back to the empty state.
    SetFieldText(&Field()->second, NULL);
    Run([&](HWND dialog) {
        RunDialogWithSteps(
            [&]() {
                SendMessageA(dialog, WM_COMMAND, IDM_SIG_TYPE, 0);
                return (INT_PTR)0;
            },
            [&](HWND bar) { SendMessageA(gSigEditRequest.partWindows[0], WM_KEYDOWN, VK_ESCAPE, 0); });
        EXPECT_EQ(0, GetSigRequest(dialog)->hasSignature);
        EXPECT_TRUE(ButtonOn(dialog, IDM_SIG_FILE));
        EXPECT_TRUE(ButtonOn(dialog, IDM_SIG_DRAW));
        EXPECT_FALSE(ButtonOn(dialog, IDM_SIG_CLEAR));
        EXPECT_EQ(SIG_INSTRUCTION_START, Instruction(dialog));
    });
}

// Typed names at the edit bar's height, drawn whole: a long name is never cut at the pad's edge.
TEST_F(SigDialog, TypedNamesAreDrawnWhole)
{
    const char *names[2] = {"Elizabeth Alexandra Montgomery-Smythe", "Elizabeth Alexandra Montgomery-Smy"};
    double ratio[2] = {0, 0};
    for (int i = 0; i < 2; i++)
        Run([&](HWND dialog) {
            RunDialogWithSteps([&]() { return (INT_PTR)SendMessageA(dialog, WM_COMMAND, IDM_SIG_TYPE, 0); },
                               [&](HWND bar) {
                                   SetDlgItemTextA(gSigEditRequest.partWindows[0], IDC_EB_EDIT1, names[i]);
                                   SendMessageA(gSigEditRequest.partWindows[0], WM_CLOSE, 0, 1);
                               });
            SigCaptureRequest *request = GetSigRequest(dialog);
            int w = 0, h = 0, padWidth = 0, padHeight = 0;
            GetBitmapSize(request->signatureBitmap, &w, &h);
            GetBitmapSize(request->padBackground, &padWidth, &padHeight);
            EXPECT_LE(request->offsetX + w, padWidth - 10) << names[i];
            EXPECT_LE(h, 36) << names[i];   // 20-unit characters and the script's strokes past them
            ratio[i] = h ? (double)w / h : 0;
            ClickButton(dialog, IDCANCEL);
        });
    EXPECT_GT(ratio[0], ratio[1] * 1.04);   // the whole name is the longer for its height
}

TEST_F(SigDialog, RecentSignatureFilesLoadWithoutAskingAndLeadTheList)
{
    const char *key = GetRegistryScopePath(REG_SCOPE_COMMON);
    std::string first = TempFile("first.bmp"), second = TempFile("second.bmp");
    ASSERT_TRUE(WriteBmp24(second, MakeBlobImage(200, 60, RECT{20, 10, 120, 40}, 0xFFFFFFFF, 0)));
    std::string list = "9;" + first + ";" + second;
    HKEY hkey;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, NULL, 0, KEY_WRITE, NULL, &hkey, NULL));
    RegSetValueExA(hkey, "SigFiles", 0, REG_SZ, (const BYTE *)list.c_str(), (DWORD)list.size() + 1);
    RegCloseKey(hkey);
    ScriptFileDialogPath("");   // the entry past the list's end asks, and the user cancels
    Run([&](HWND dialog) {
        SendMessageA(dialog, WM_COMMAND, IDM_RECENTFILE_FIRST + 2, 0);
        EXPECT_EQ(0, GetSigRequest(dialog)->hasSignature);
        SendMessageA(dialog, WM_COMMAND, IDM_RECENTFILE_FIRST + 1, 0);
        EXPECT_EQ(1, GetSigRequest(dialog)->hasSignature);
        EXPECT_EQ(100, GetSigRequest(dialog)->signatureClip->width);
    });
    char *now = (char *)QueryRegistryValueAlloc(HKEY_CURRENT_USER, key, "SigFiles", 0, NULL, NULL);
    ASSERT_TRUE(now != NULL);
    EXPECT_EQ("9;" + second + ";" + first, std::string(now));
    MemFree(now);
    DeleteFileA(second.c_str());
}

// A stored signature block: a 60 x 20 bar at scale 2, offsets (x, y), background field 1.
std::vector<uint8_t> MakeStoredBlock(int16_t x, int16_t y)
{
    HBITMAP bar = CreateDibBitmap(60, 20, 1, BLACKNESS, NULL, NULL);
    FieldClip *clip = SaveFieldClip(bar, 1);
    DeleteObject(bar);
    float scale = 2.0f;
    memcpy(&clip->type, &scale, 4);
    int16_t offsets[2] = {x, y};
    memcpy(&clip->unused, offsets, 4);
    std::vector<uint8_t> block((uint8_t *)clip, (uint8_t *)clip + sizeof(FieldClip) + clip->size);
    MemFree(clip);
    return block;
}

TEST_F(SigDialog, ReopenedSignatureStaysPutAndClearRemovesItAtOnce)
{
    for (int16_t x : {-7, 0, 33, 101}) {
        SCOPED_TRACE(x);
        std::vector<uint8_t> block = MakeStoredBlock(x, 17);
        ASSERT_EQ(1, SetFieldBlob(&Field()->second, block.data(), (uint32_t)block.size()));
        gReturnModified = 0;
        INT_PTR result = Run([&](HWND dialog) {
            SigCaptureRequest *request = GetSigRequest(dialog);
            EXPECT_EQ(1, request->hasSignature);
            EXPECT_EQ("To delete a previously-entered signature, click \"Clear\".", Instruction(dialog));
            EXPECT_TRUE(IsControlEnabled(dialog, IDOK));
            EXPECT_FALSE(IsControlEnabled(dialog, IDC_SIG_APPLY));
            EXPECT_FALSE(ButtonOn(dialog, IDM_SIG_FILE));
            EXPECT_FALSE(ButtonOn(dialog, IDM_SIG_DRAW));
            EXPECT_TRUE(ButtonOn(dialog, IDM_SIG_CLEAR));
            EXPECT_GT(PadInk(dialog), 60 * 20 * 2 * request->padScale * request->padScale);
            // Locked: a drag does not move it.
            RECT pad;
            GetSigPadRect(dialog, &pad);
            Drag(dialog, POINT{pad.left + 40, pad.top + 30}, POINT{pad.left + 80, pad.top + 40});
            EXPECT_EQ(RoundSignatureOffset(x * request->padScale), request->offsetX);
            ClickButton(dialog, IDOK);
        });
        EXPECT_EQ(1, result);
        // The same block: same scale, same offsets, and no change to save.
        ASSERT_EQ(block.size(), GetFieldSecondLength(Field()));
        EXPECT_EQ(0, memcmp(block.data(), Field()->second, block.size()));
        EXPECT_EQ(0, gReturnModified);
    }

    // Clear: Cancel in the question keeps the signature; OK removes it at once, and Cancel
    // afterwards does not bring it back.
    ScriptMessageBoxAnswer(IDCANCEL);
    ScriptMessageBoxAnswer(IDOK);
    INT_PTR result = Run([&](HWND dialog) {
        SendMessageA(dialog, WM_COMMAND, IDM_SIG_CLEAR, 0);
        EXPECT_TRUE(Field()->second != NULL);
        EXPECT_EQ(0, gReturnModified);
        SendMessageA(dialog, WM_COMMAND, IDM_SIG_CLEAR, 0);
        EXPECT_TRUE(Field()->second == NULL);
        EXPECT_EQ(1, gReturnModified);
        SigCaptureRequest *request = GetSigRequest(dialog);
        EXPECT_EQ(0, request->hasSignature);
        EXPECT_TRUE(IsControlEnabled(dialog, IDOK));   // OK confirms the removal
        EXPECT_TRUE(ButtonOn(dialog, IDM_SIG_FILE));
        EXPECT_FALSE(ButtonOn(dialog, IDM_SIG_CLEAR));
        EXPECT_EQ(IDCANCEL, LOWORD(SendMessageA(dialog, DM_GETDEFID, 0, 0)));
        ClickButton(dialog, IDCANCEL);
    });
    EXPECT_EQ(0, result);
    ASSERT_EQ(2u, GetShownMessageBoxes().size());
    EXPECT_EQ("Confirm Signature Removal", GetShownMessageBoxes()[1].title);
    EXPECT_EQ((unsigned)(MB_OKCANCEL | MB_ICONEXCLAMATION | MB_DEFBUTTON2), GetShownMessageBoxes()[1].flags);
    EXPECT_TRUE(Field()->second == NULL);
}

TEST_F(SigDialog, MovedSizedAndRedrawnSignaturesStoreWhatIsShown)
{
    std::string path = TempFile("wide.bmp");
    ASSERT_TRUE(WriteBmp24(path, MakeBlobImage(1600, 300, RECT{100, 50, 1500, 250}, 0xFFFFFFFF, 0)));
    float padScale = 0, userScale = 0;
    int offsetX = 0, offsetY = 0;
    INT_PTR result = Run([&](HWND dialog) {
        SigCaptureRequest *request = GetSigRequest(dialog);
        SendFile(dialog, path);
        ASSERT_EQ(1, request->hasSignature);
        EXPECT_LT(request->fitScale, 1.0f);   // shrunk to the pad
        // File, Clear, Draw: the drawn signature is not shrunk by the old file's fit.
        SendMessageA(dialog, WM_COMMAND, IDM_SIG_CLEAR, 0);
        EXPECT_EQ(0.0f, request->fitScale);
        RECT pad;
        GetSigPadRect(dialog, &pad);
        SendMessageA(dialog, WM_COMMAND, IDM_SIG_DRAW, 0);
        Drag(dialog, POINT{pad.left + 40, pad.top + 20}, POINT{pad.left + 200, pad.top + 40}, 8);
        SendMessageA(dialog, WM_COMMAND, IDM_SIG_DRAW, 0);
        ASSERT_EQ(1, request->hasSignature);
        int w = 0, h = 0;
        GetBitmapSize(request->signatureBitmap, &w, &h);
        // A resize to double width.
        POINT handle = {(request->marker.left + request->marker.right) / 2,
                        (request->marker.top + request->marker.bottom) / 2};
        ASSERT_FALSE(IsRectEmpty(&request->marker));
        Drag(dialog, handle, POINT{handle.x + w, handle.y});
        EXPECT_NEAR(2.0f, request->userScale, 0.05f);
        // The handle dragged past the signature's own corner: the size never turns negative
        // or below two pixels.
        handle = POINT{(request->marker.left + request->marker.right) / 2,
                       (request->marker.top + request->marker.bottom) / 2};
        Drag(dialog, handle, POINT{handle.x - 3 * w - 50, handle.y - 3 * h - 50}, 1);
        EXPECT_NEAR(2.0f, request->userScale, 0.05f);   // no usable size was shown: it stays
        Drag(dialog, handle, POINT{handle.x - 3 * w - 50, handle.y - 3 * h - 50}, 6);
        EXPECT_GT(request->userScale, 0.0f);
        EXPECT_GE(w * request->userScale, 2.0f);
        EXPECT_GE(h * request->userScale, 2.0f);
        POINT inside = {pad.left + request->offsetX + 5, pad.top + request->offsetY + 5};
        Drag(dialog, inside, POINT{inside.x - request->offsetX - 25, inside.y});
        EXPECT_EQ(-25, request->offsetX);
        padScale = request->padScale;
        userScale = request->userScale;
        offsetX = request->offsetX;
        offsetY = request->offsetY;
        ClickButton(dialog, IDOK);   // without Apply: the placement as last moved and sized
    });
    EXPECT_EQ(1, result);
    float scale = 0;
    int x = 0, y = 0;
    ASSERT_EQ(1, Stored(&scale, &x, &y));
    EXPECT_NEAR(userScale / padScale, scale, 1e-3);
    EXPECT_EQ(RoundSignatureOffset(offsetX / padScale), x);
    EXPECT_LT(x, 0);
    EXPECT_EQ(RoundSignatureOffset(offsetY / padScale), y);
    DeleteFileA(path.c_str());
}

// The sizing handle dragged far out: the signature stops at the largest size the readers
// accept, so the field shows it and the dialog opens with it again.
TEST_F(SigDialog, EnlargedSignaturesStayReadable)
{
    std::string path = TempFile("long.bmp");
    ASSERT_TRUE(WriteBmp24(path, MakeBlobImage(1600, 300, RECT{100, 50, 1500, 250}, 0xFFFFFFFF, 0)));
    for (int fromFile : {0, 1}) {   // a drawn mark about 20 pixels wide; a wide image file
        SetFieldText(&Field()->second, NULL);
        Run([&](HWND dialog) {
            SigCaptureRequest *request = GetSigRequest(dialog);
            RECT pad;
            GetSigPadRect(dialog, &pad);
            SendMessageA(dialog, WM_COMMAND, fromFile ? IDM_SIG_FILE : IDM_SIG_DRAW, fromFile ? (LPARAM)path.c_str() : 0);
            if (!fromFile) {
                Drag(dialog, POINT{pad.left + 40, pad.top + 20}, POINT{pad.left + 60, pad.top + 30});
                SendMessageA(dialog, WM_COMMAND, IDM_SIG_DRAW, 0);
            }
            int w = 0, h = 0;
            GetBitmapSize(request->signatureBitmap, &w, &h);
            POINT handle = {(request->marker.left + request->marker.right) / 2,
                            (request->marker.top + request->marker.bottom) / 2};
            Drag(dialog, handle, POINT{handle.x + 19 * w, handle.y}, 8);
            ClickButton(dialog, IDC_SIG_APPLY);
            ClickButton(dialog, IDOK);
        });
        float scale = 0;
        int x = 0, y = 0;
        ASSERT_EQ(1, Stored(&scale, &x, &y)) << "from file " << fromFile;
        Run([&](HWND dialog) { EXPECT_EQ(1, GetSigRequest(dialog)->hasSignature); });
    }
    DeleteFileA(path.c_str());
}

// Damaged copies of good image files: cut at many lengths, header bytes overwritten, bytes
// scrambled through the data. Each goes through the File command of one dialog.
TEST_F(SigDialog, DamagedImageFilesNeverCrash)
{
    RECT blob = {30, 10, 70, 30};
    std::vector<std::pair<std::string, std::vector<uint8_t>>> sources;
    const struct {
        const char *name;
        const wchar_t *mime;
    } kinds[] = {{"m.bmp", NULL}, {"m.png", L"image/png"}, {"m.jpg", L"image/jpeg"}, {"m.gif", L"image/gif"}};
    for (const auto &k : kinds) {
        std::string path = TempFile(k.name);
        TestImage image = MakeBlobImage(100, 40, blob, k.mime ? 0x00FFFFFF : 0xFFFFFFFF, 0);
        if (k.mime ? WriteWithGdiplus(path, image, k.mime) : WriteBmp24(path, image))
            sources.push_back({path, ReadBytes(path)});
    }
    ASSERT_GE(sources.size(), 3u);
    std::vector<std::pair<std::string, std::vector<uint8_t>>> mutants;
    uint32_t seed = 12345;
    auto next = [&]() { return seed = seed * 1103515245u + 12345u, (seed >> 8) & 0xFFFFFF; };
    for (const auto &s : sources) {
        const std::vector<uint8_t> &good = s.second;
        std::string ext = s.first.substr(s.first.rfind('.'));
        for (size_t cut : {(size_t)0, (size_t)1, (size_t)8, (size_t)14, (size_t)33, (size_t)54, good.size() / 3,
                           good.size() / 2, good.size() - 1})
            if (cut < good.size())
                mutants.push_back({ext, std::vector<uint8_t>(good.begin(), good.begin() + cut)});
        for (int i = 0; i < 12; i++) {
            std::vector<uint8_t> bad = good;
            size_t at = next() % (good.size() < 64 ? good.size() : 64);
            bad[at] = (uint8_t)(i % 3 == 0 ? 0xFF : i % 3 == 1 ? 0x00 : bad[at] ^ 0x5A);
            mutants.push_back({ext, bad});
        }
        for (int i = 0; i < 6; i++) {
            std::vector<uint8_t> bad = good;
            for (int n = 0; n < 20; n++)
                bad[next() % bad.size()] = (uint8_t)next();
            mutants.push_back({ext, bad});
        }
    }
    SetDefaultMessageBoxAnswer(IDOK);
    int loaded = 0, refused = 0;
    INT_PTR result = Run([&](HWND dialog) {
        SigCaptureRequest *request = GetSigRequest(dialog);
        for (size_t i = 0; i < mutants.size(); i++) {
            std::string path = TempFile(("mutant" + std::to_string(i) + mutants[i].first).c_str());
            WriteBytes(path, mutants[i].second);
            size_t boxes = GetShownMessageBoxes().size();
            SendFile(dialog, path);
            if (request->hasSignature) {
                loaded++;
                EXPECT_TRUE(IsValidClipBlock(request->signatureClip,
                                             sizeof(FieldClip) + request->signatureClip->size));
                SendMessageA(dialog, WM_COMMAND, IDM_SIG_CLEAR, 0);
            } else {
                refused++;
                EXPECT_GT(GetShownMessageBoxes().size(), boxes) << "refused without a message: " << i;
            }
            DeleteFileA(path.c_str());
        }
        ClickButton(dialog, IDCANCEL);
    });
    EXPECT_EQ(0, result);
    EXPECT_GT(refused, 10);
    EXPECT_EQ((int)mutants.size(), loaded + refused);
    EXPECT_TRUE(Field()->second == NULL);
    for (const auto &s : sources)
        DeleteFileA(s.first.c_str());
}

}  // namespace
