// The finished page image of the sample's Form 1040 page 2 with both signatures of a joint
// return: each signature field has its ink in the image the page view, printing and the PDF
// writer take.
#include "pages/pages.h"
#include "shell/shell.h"
#include "tests/harness/harness.h"
#include "tests/harness/pixels.h"
#include "tests/harness/sample.h"

#include <gtest/gtest.h>
#include <string.h>
#include <vector>

namespace {

// A stored signature: a solid 100 x 20 bar at scale 2, 20 pixels into the field.
std::vector<uint8_t> MakeSignatureBlock(int fieldIndex)
{
    HBITMAP bar = CreateDibBitmap(100, 20, 1, BLACKNESS, NULL, NULL);
    FieldClip *clip = SaveFieldClip(bar, fieldIndex);
    DeleteObject(bar);
    float scale = 2.0f;
    memcpy(&clip->type, &scale, 4);
    int16_t offsets[2] = {20, 10};
    memcpy(&clip->unused, offsets, 4);
    std::vector<uint8_t> block((uint8_t *)clip, (uint8_t *)clip + sizeof(FieldClip) + clip->size);
    MemFree(clip);
    return block;
}

TEST(PageImageSample, BothSignaturesOfAJointReturnAreInTheFinishedImage)
{
    std::string path = SampleReturnFolder("lvsigimage", {"f1040.qvp", "f1040s1.qvp", "f1040sb.qvp"}) + "Sample.qvr";
    if (BuiltFilePath("samples/Sample.qvr").empty())
        GTEST_SKIP() << "the sample return was not built";
    UseBuildFormPaks();
    gReturnModified = 0;
    HWND main = CreateMainWindow(gInstance);
    ASSERT_TRUE(main != NULL);
    SendMessageA(main, WM_OPEN_FILE, 0, (LPARAM)path.c_str());
    PumpMessages(100);
    FormInstance *pages[64], *page = NULL;
    int count = EnumerateTreePages(NULL, pages, 64);
    for (int i = 0; i < count && i < 64; i++)
        if (pages[i]->pageKey && !strcmp(pages[i]->pageKey, "Form 1040.2")) page = pages[i];
    ASSERT_TRUE(page != NULL && page->fieldTable != NULL);
    SendMessageA(gFormsTreeWindow, TVM_SELECTITEM, TVGN_CARET, (LPARAM)page->treeItem);
    PumpMessages(50);
    const char *signatures[2] = {"0510", "0513"};   // "Your signature", "Spouse's signature"
    FieldRecord *fields[2];
    for (int k = 0; k < 2; k++) {
        int index = FindLayoutField(page->fieldTable, 1, signatures[k], 0);
        ASSERT_GT(index, 0);
        fields[k] = &page->fieldTable->fields[index];
        ASSERT_STREQ("S[sig]", fields[k]->typeCode);
        std::vector<uint8_t> block = MakeSignatureBlock(index);
        ASSERT_EQ(1, SetFieldBlob(&fields[k]->second, block.data(), (uint32_t)block.size()));
    }
    // The bar's place on the page, inside the field.
    RECT bars[2];
    for (int k = 0; k < 2; k++)
        SetRect(&bars[k], fields[k]->rect->left + 20, fields[k]->rect->top + 10, fields[k]->rect->left + 220,
                fields[k]->rect->top + 50);
    const struct {
        const char *what;
        int printing, pdf, forPrint;
    } roads[] = {
        {"page shown", 0, 0, 0},
        {"printing", 1, 0, 1},
        {"PDF", 0, 1, 1},
    };
    for (const auto &road : roads) {
        gPrintInProgress = road.printing;
        gPdfInProgress = road.pdf;
        HBITMAP image = GeneratePageImage(page, road.forPrint);
        gPrintInProgress = gPdfInProgress = 0;
        ASSERT_TRUE(image != NULL) << road.what;
        for (int k = 0; k < 2; k++) {
            int area = (bars[k].right - bars[k].left) * (bars[k].bottom - bars[k].top);
            EXPECT_GT(CountInk(image, &bars[k]), area * 9 / 10) << road.what << ", field " << signatures[k];
        }
        DeleteObject(image);
    }
    gReturnModified = 0;
    DestroyWindow(main);
    PumpMessages(20);
    RestoreFormPakFolder();
}

}  // namespace
