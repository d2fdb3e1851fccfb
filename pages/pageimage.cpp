// pageimage.cpp - the finished image of one page of the open return for printing and PDF
// output: its source (the page shown, a generated page, a PCL stream or a compressed BMP from
// its FormPak), then the values, stamps and turns of FinishPageImage.
#include "pages/pages.h"
#include "ui/ui.h"
#include "store/store.h"

// A form page's source image read from its FormPak: rendered PCL or an expanded BMP.
static HBITMAP ReadFormPageSource(FormInstance *page)
{
    if (page->imageSource != IMAGE_SOURCE_PCL && page->imageSource != IMAGE_SOURCE_PCL2 &&
        page->imageSource != IMAGE_SOURCE_BMP) {
        ShowMessageBox(gMainWindow, "Form-image generation source not determined. Research. [RAVOVIVE-only]", "Warning",
                       MB_OK | MB_ICONEXCLAMATION);
        return NULL;
    }
    // The page's FormPak record answers the page-data cache while the page is read.
    struct FormPakRecord *previousSource = gCachedPageSource;
    int added = 0;
    FormPakRecord *source = FindOrAddFormPakRecord(page->formPakPath, NULL, &added, NULL);
    gCachedPageSource = source;
    HBITMAP image = NULL;
    uint32_t length = ReadPageImageData(NULL, 0, page);
    uint8_t *buffer = length ? (uint8_t *)MemAlloc(64, (size_t)length + 1) : NULL;
    if (buffer) {
        uint32_t read = ReadPageImageData(buffer, length + 1, page);
        if (read == length) {
            if (page->imageSource == IMAGE_SOURCE_BMP) image = BuildPageImageFromBmp(buffer, length, page);
            else image = RenderPclPage(buffer, length, page, NULL);
        }
        MemFree(buffer);
    }
    gCachedPageSource = previousSource;
    return image;
}

HBITMAP GeneratePageImage(FormInstance *page, int forPrint)
{
    if (!page) return NULL;
    HBITMAP image = NULL;
    FieldClip *savedClips[FIELD_CLIP_SLOTS] = {NULL, NULL, NULL};
    int otherPage = 1;
    if (page == (FormInstance *)GetCurrentDocument(4) && !gPdfInProgress && !gPrintInProgress && gPageBitmap) {
        image = CopyBitmap(gPageBitmap, 1);
        otherPage = 0;
    }
    // Another page's BMP source saves its own tagged backgrounds: the clips of the page shown
    // are put aside while it is built and come back afterwards.
    if (otherPage) SwapFieldClips(savedClips);
    if (otherPage) {
        if (page->kind == PAGE_KIND_GENERATED) {
            int mode = 0;
            if (page->treeItem && page->treeItem == gTreeSummaryItem) mode = 1;
            else if (page->treeItem && page->treeItem == gTreeStatusItem) mode = 2;
            if (mode) image = RenderSummaryPage(NULL, NULL, mode, 1);
        } else if (page->kind == PAGE_KIND_FORM) {
            image = ReadFormPageSource(page);
        }
    }
    if (image) image = FinishPageImage(image, page, forPrint);
    if (otherPage) {
        FreeFieldClips();
        SwapFieldClips(savedClips);
    }
    return image;
}
