// Signature capture on the sample return in the main window: a click on the signature field of
// Form 1040 page 2 (a PCL page, which keeps no saved field background) opens the dialog through
// the page view's hook; the signature stored from a PNG file shows on the page, asks to be saved,
// and shows the same pixels after saving, closing and opening the return again; both signatures of
// a joint return reach the printed and PDF page images.
#include "tests/entry/signature/test_sigcapture_util.h"
#include "prepare/prepare.h"
#include "shell/shell.h"
#include "tests/harness/pixels.h"
#include "tests/harness/sample.h"

#include <gtest/gtest.h>

using namespace sigtest;

namespace {

struct SigSample : ::testing::Test {
    HWND main = NULL;
    std::string path;
    void SetUp() override
    {
        std::string source = BuiltFilePath("samples/Sample.qvr");
        if (source.empty())
            GTEST_SKIP() << "the sample return was not built";
        path = TempFile("Sample.qvr");
        ASSERT_TRUE(CopyFileA(source.c_str(), path.c_str(), FALSE));
        UseBuildFormPaks();
        gReturnModified = 0;
        gZoom = 0.3f;
        main = CreateMainWindow(gInstance);
        ShowWindow(main, SW_SHOW);
        MoveWindow(main, 0, 0, 1200, 1000, TRUE);
        PumpMessages(50);
        ClearShownMessageBoxes();
    }
    void TearDown() override
    {
        gReturnModified = 0;
        if (main && IsWindow(main))
            DestroyWindow(main);
        PumpMessages(20);
        if (!path.empty()) {
            DeleteFileA(path.c_str());
            RestoreFormPakFolder();
        }
    }
    // Opens the return and shows Form 1040 page 2; its signature field, or null.
    FieldRecord *OpenSignaturePage(int *indexOut)
    {
        SendMessageA(main, WM_OPEN_FILE, 0, (LPARAM)path.c_str());
        PumpMessages(100);
        WaitForRecompute();
        FormInstance *pages[64];
        int count = EnumerateTreePages(NULL, pages, 64);
        for (int i = 0; i < count; i++)
            if (pages[i]->pageKey && !strcmp(pages[i]->pageKey, "Form 1040.2")) {
                SendMessageA(gFormsTreeWindow, TVM_SELECTITEM, TVGN_CARET, (LPARAM)pages[i]->treeItem);
                PumpMessages(50);
            }
        FormInstance *page = (FormInstance *)GetCurrentDocument(4);
        if (!page || strcmp(page->pageKey, "Form 1040.2") != 0)
            return NULL;
        *indexOut = FindLayoutField(page->fieldTable, 1, "0510", 0);
        return *indexOut > 0 ? &page->fieldTable->fields[*indexOut] : NULL;
    }
    // The field's area of the scaled page the view shows.
    std::vector<unsigned> ViewPixels(const FieldRecord *field, RECT *areaOut)
    {
        HBITMAP scaled = (HBITMAP)SendMessageA(gPageViewWindow, WM_PAGE_GETSCALED, 0, 0);
        int w = 0, h = 0;
        std::vector<unsigned> all = BitmapPixels(scaled, &w, &h);
        RECT area = {(LONG)(field->rect->left * gZoom), (LONG)(field->rect->top * gZoom),
                     (LONG)(field->rect->right * gZoom), (LONG)(field->rect->bottom * gZoom)};
        std::vector<unsigned> out;
        for (int y = area.top; y < area.bottom && y < h; y++)
            for (int x = area.left; x < area.right && x < w; x++)
                out.push_back(all[(size_t)y * w + x]);
        *areaOut = area;
        return out;
    }
    void Click(const FieldRecord *field)
    {
        RECT client;
        GetFieldClientRect(field->rect, &client);
        LPARAM point = MAKELPARAM((client.left + client.right) / 2, (client.top + client.bottom) / 2);
        SendMessageA(gPageViewWindow, WM_LBUTTONDOWN, MK_LBUTTON, point);
        SendMessageA(gPageViewWindow, WM_LBUTTONUP, 0, point);
    }
};

TEST_F(SigSample, SignatureFromPngShowsOnThePageAndSurvivesSaveAndReopen)
{
    int index = 0;
    FieldRecord *field = OpenSignaturePage(&index);
    ASSERT_TRUE(field != NULL);
    ASSERT_TRUE(field->second == NULL);
    RECT area;
    std::vector<unsigned> before = ViewPixels(field, &area);
    int areaWidth = area.right - area.left;

    std::string png = TempFile("sample-sig.png");
    ASSERT_TRUE(WriteWithGdiplus(png, MakeBlobImage(300, 80, RECT{20, 10, 280, 70}, 0x00000000, 0), L"image/png"));
    INT_PTR shownResult = -1;
    RunDialogWithSteps(
        [&]() {
            Click(field);
            return (INT_PTR)0;
        },
        [&](HWND dialog) {
            SigCaptureRequest *request = GetSigRequest(dialog);
            ASSERT_TRUE(request != NULL);
            EXPECT_EQ(field, request->field);
            EXPECT_EQ(index, request->backgroundIndex);
            // A PCL page keeps no saved background: the pad is the field's piece of the page.
            ASSERT_TRUE(request->padBackground != NULL);
            EXPECT_FALSE(IsControlEnabled(dialog, IDOK));
            EXPECT_FALSE(IsControlEnabled(dialog, IDC_SIG_APPLY));
            SendFile(dialog, png);
            EXPECT_EQ(1, request->hasSignature);
            ClickButton(dialog, IDC_SIG_APPLY);
            ClickButton(dialog, IDOK);
            shownResult = 1;
        });
    PumpMessages(50);
    WaitForRecompute();
    EXPECT_EQ(1, shownResult);
    float scale = 0;
    int x = 0, y = 0;
    ASSERT_TRUE(field->second != NULL);
    ASSERT_EQ(1, ReadSignatureImage(field->second, GetFieldSecondLength(field), &scale, &x, &y));
    EXPECT_EQ(1, gReturnModified);
    const FieldClip *clip = (const FieldClip *)field->second;
    EXPECT_EQ(index, clip->fieldIndex);

    // The page shows it at its place: the pixels that turned dark lie where the block puts the
    // signature.
    std::vector<unsigned> after = ViewPixels(field, &area);
    ASSERT_EQ(before.size(), after.size());
    RECT changed = {areaWidth, 1 << 20, -1, -1};
    int darkened = 0;
    for (size_t i = 0; i < after.size(); i++)
        if (IsDark(after[i]) && !IsDark(before[i])) {
            int px = (int)(i % areaWidth), py = (int)(i / areaWidth);
            darkened++;
            changed.left = px < changed.left ? px : changed.left;
            changed.top = py < changed.top ? py : changed.top;
            changed.right = px + 1 > changed.right ? px + 1 : changed.right;
            changed.bottom = py + 1 > changed.bottom ? py + 1 : changed.bottom;
        }
    EXPECT_GT(darkened, 50);
    EXPECT_NEAR(x * gZoom, changed.left, 3);
    EXPECT_NEAR((x + clip->width * scale) * gZoom, changed.right, 3);

    // Closing asks to save the change; Cancel keeps the return open.
    ScriptMessageBoxAnswer(IDCANCEL);
    SendMessageA(main, WM_COMMAND, IDM_CLOSE, 0);
    PumpMessages(20);
    ASSERT_EQ(1u, GetShownMessageBoxes().size());
    EXPECT_EQ("Save Changes?", GetShownMessageBoxes()[0].title);
    ASSERT_TRUE(GetCurrentDocument(4) != NULL);

    std::vector<uint8_t> block((const uint8_t *)field->second, (const uint8_t *)field->second + GetFieldSecondLength(field));
    SendMessageA(main, WM_COMMAND, IDM_SAVE, 0);
    PumpMessages(20);
    EXPECT_EQ(0, gReturnModified);
    SendMessageA(main, WM_COMMAND, IDM_CLOSE, 0);
    PumpMessages(20);
    EXPECT_EQ(nullptr, GetCurrentDocument(4));

    FieldRecord *reopened = OpenSignaturePage(&index);
    ASSERT_TRUE(reopened != NULL);
    ASSERT_EQ(block.size(), GetFieldSecondLength(reopened));
    EXPECT_EQ(0, memcmp(block.data(), reopened->second, block.size()));
    // The same picture: every pixel within a few levels (the view's resampling of a dark edge
    // may round one level apart), and the same pixels dark.
    std::vector<unsigned> again = ViewPixels(reopened, &area);
    ASSERT_EQ(after.size(), again.size());
    // The area's outer rows and columns of the scaled view blend in the cell's rules around the
    // field, which the live redraw and a rebuilt page shade differently: the signature is
    // compared inside them.
    int columns = area.right - area.left, rows = columns > 0 ? (int)after.size() / columns : 0;
    int differ = 0;
    for (size_t i = 0; i < after.size(); i++) {
        int x = columns > 0 ? (int)(i % columns) : 0, y = columns > 0 ? (int)(i / columns) : 0;
        if (x == 0 || y == 0 || x == columns - 1 || y == rows - 1)
            continue;
        for (int shift : {0, 8, 16})
            differ += abs((int)((after[i] >> shift) & 255) - (int)((again[i] >> shift) & 255)) > 8 ||
                      IsDark(after[i]) != IsDark(again[i]);
    }
    EXPECT_EQ(0, differ);
    DeleteFileA(png.c_str());
}

// A signature typed as a user types it: a click on the field opens the dialog, a click on Type
// the edit bar, where Enter, Tab and Shift+Tab take the name, Escape drops it and a refused
// character keeps the bar open; then Enter applies and stores, Escape leaves.
TEST_F(SigSample, TypedSignatureLandsInTheField)
{
    struct SigRun {
        const char *name;
        const char *barKeys;
        const char *dialogKeys;
        int refusals;
        const char *typed;   // the name the edit bar took
        int stored;          // a signature in the field afterwards
    };
    static const SigRun runs[] = {
        {"Enter takes the name, Enter applies and stores", "John Q{Return}", "{Return}{Return}", 0, "John Q", 1},
        // \xe9: an e with an acute accent, no character of the signature's text.
        {"a refused character keeps the bar open", "Ann\xe9{Return}{End}{BackSpace}e{Tab}", "{Return}{Return}", 1,
         "Anne", 1},
        {"Shift+Tab takes the name, Escape leaves", "Bob{shift+Tab}", "{Escape}", 0, "Bob", 0},
        {"Escape drops the name", "Zed{Escape}", "{Escape}", 0, "", 0},
    };
    gEditBarFocusEvents = 1;   // as in the program: the bar follows the focus
    SetForegroundWindow(main);
    for (const SigRun &run : runs) {
        SCOPED_TRACE(run.name);
        gReturnModified = 0;
        int index = 0;
        FieldRecord *field = OpenSignaturePage(&index);
        ASSERT_TRUE(field != NULL);
        ClearShownMessageBoxes();
        for (int i = 0; i < run.refusals; i++)
            ScriptMessageBoxAnswer(IDOK);
        RECT client;
        GetFieldClientRect(field->rect, &client);
        POINT point = {(client.left + client.right) / 2, (client.top + client.bottom) / 2};
        ClientToScreen(gPageViewWindow, &point);
        RunDialogsWithSteps([&]() { return (INT_PTR)ClickScreen(point.x, point.y); },
                            {[&](HWND dialog) {
                                 SigCaptureRequest *request = GetSigRequest(dialog);
                                 ASSERT_TRUE(request != NULL);
                                 RECT button;
                                 SendMessageA(request->toolbar, TB_GETRECT, IDM_SIG_TYPE, (LPARAM)&button);
                                 POINT type = {(button.left + button.right) / 2, (button.top + button.bottom) / 2};
                                 ClientToScreen(request->toolbar, &type);
                                 EXPECT_TRUE(ClickScreen(type.x, type.y));   // the bar's steps type the name
                                 EXPECT_TRUE(TypeKeys(run.dialogKeys));
                                 EXPECT_FALSE(IsWindowVisible(dialog));   // ended
                             },
                             [&](HWND) { EXPECT_TRUE(TypeKeys(run.barKeys)); }});
        EXPECT_STREQ(run.typed, gSigEditRequest.text);
        EXPECT_EQ(run.stored, field->second != NULL);
        EXPECT_EQ((size_t)run.refusals, GetShownMessageBoxes().size());
    }
    gReturnModified = 0;
}

// A joint return's two signatures are both in the page image that printing and the PDF take.
TEST_F(SigSample, BothSignaturesReachPrintedAndPdfPages)
{
    int index = 0;
    ASSERT_TRUE(OpenSignaturePage(&index) != NULL);
    FormInstance *page = (FormInstance *)GetCurrentDocument(4);
    HBITMAP bar = CreateDibBitmap(100, 20, 1, BLACKNESS, NULL, NULL);
    FieldClip *clip = SaveFieldClip(bar, 0);
    DeleteObject(bar);
    float scale = 2.0f;   // 200 x 40 page pixels at the field's corner
    memcpy(&clip->type, &scale, 4);
    RECT bars[2];
    const char *seqs[2] = {"0510", "0513"};
    for (int k = 0; k < 2; k++) {
        FieldRecord *field = &page->fieldTable->fields[FindLayoutField(page->fieldTable, 1, seqs[k], 0)];
        ASSERT_EQ(1, SetFieldBlob(&field->second, clip, (uint32_t)(sizeof(FieldClip) + clip->size)));
        SetRect(&bars[k], field->rect->left, field->rect->top, field->rect->left + 200, field->rect->top + 40);
    }
    MemFree(clip);
    for (int *road : {&gPrintInProgress, &gPdfInProgress}) {
        *road = 1;
        HBITMAP image = GeneratePageImage(page, 1);
        *road = 0;
        ASSERT_TRUE(image != NULL);
        for (int k = 0; k < 2; k++)
            EXPECT_GT(CountInk(image, &bars[k]), 7600) << seqs[k] << (road == &gPdfInProgress ? " PDF" : " print");
        DeleteObject(image);
    }
}

}  // namespace
