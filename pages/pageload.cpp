// Page loading: a forms-tree item becomes the page shown in the page view.
#include "pages/pages.h"
#include "ui/ui.h"
#include "calc/calc.h"

#include <stdio.h>
#include <string.h>

void DestroyPageButtons(FormInstance *page)
{
    if (page && page->buttons && page->buttonCount)
        DestroyFieldButtons(page->buttons, page->buttonCount, page->tooltip);
}

static void SetPageBitmap(HBITMAP bitmap)
{
    if (gPageBitmap && gPageBitmap != bitmap)
        DeleteObject(gPageBitmap);
    gPageBitmap = bitmap;
    int width = 0, height = 0;
    if (bitmap && GetBitmapSize(bitmap, &width, &height) && width > 1 && height > 1) {
        gPageBitmapSize.cx = width;
        gPageBitmapSize.cy = height;
    }
}

static void ShowLoadedPage(void)
{
    gPageViewFlags |= PAGE_VIEW_NEWPAGE;
    if (gPageViewWindow) {
        InvalidateRect(gPageViewWindow, NULL, FALSE);
        UpdateWindow(gPageViewWindow);
    }
}

// The Summary and Status pages: drawn into a full-size page bitmap of their own (the view may
// hold the empty 1 x 1 bitmap or another page's image), and marked as shown.
static void LoadGeneratedPage(HTREEITEM treeItem, FormInstance *shown)
{
    if (!gRecomputeDone)
        RecomputeAllFormsNow(1);
    DestroyPageButtons(shown);
    SetCurrentDocument(treeItem);
    SetStatusText(gStatusBar, 2, "Loading page image...", NULL);
    SetBusyCursor(1);
    HWND progress = CreateStatusProgressBar();
    FreeFieldClips();
    SetPageBitmap(CreateDibBitmap(PAGE_CANVAS_WIDTH, PAGE_CANVAS_HEIGHT, 4, WHITENESS, NULL, NULL));
    int mode = treeItem == gTreeSummaryItem ? 1 : treeItem == gTreeStatusItem ? 2 : 0;
    if (mode && gPageBitmap)
        RenderSummaryPage(progress, NULL, mode, 0);
    gPageShown = gPageBitmap != NULL;
    ShowLoadedPage();
    EnableCommand(gMainWindow, IDM_DELETEPAGE, 2, 0);
    SetBusyCursor(0);
    DestroyStatusProgressBar(progress);
}

// The page data of a form page from the cache or its FormPak; null when it cannot be read.
// The data read is kept as the cache of the page's FormPak; *ownedOut is set when there is no
// FormPak record to keep it for (the caller then frees it).
static const uint8_t *ReadShownPageData(FormInstance *form, uint32_t *lengthOut, uint8_t **ownedOut)
{
    *ownedOut = NULL;
    uint32_t offset = form->imageSource == IMAGE_SOURCE_BMP ? form->bmpOffset : form->defOffset;
    uint32_t stored = form->imageSource == IMAGE_SOURCE_BMP ? form->bmpLength : form->defLength;
    uint32_t method = form->imageSource == IMAGE_SOURCE_BMP ? form->bmpMethod : form->defMethod;
    gOperationCode = 300009;
    FormPakRecord *source = FindOrAddFormPakRecord(form->formPakPath, NULL, NULL, NULL);
    const uint8_t *cached = GetCachedPageData(source, offset, stored, method, lengthOut);
    if (cached)
        return cached;
    gOperationCode = 300011;
    uint32_t size = ReadPageImageData(NULL, 0, form);
    if (!size || size == 0xFFFFFFFFu)
        return NULL;
    uint8_t *buffer = (uint8_t *)MemAlloc(64, (size_t)size + 1);
    if (!buffer)
        return NULL;
    gOperationCode = 300012;
    if (ReadPageImageData(buffer, size + 1, form) != size) {
        MemFree(buffer);
        return NULL;
    }
    *lengthOut = size;
    if (!source) {
        *ownedOut = buffer;
        return buffer;
    }
    SetCachedPageData(source, offset, stored, method, buffer, size);
    return buffer;
}

void LoadPageImage(HTREEITEM treeItem, OpenReturn *returnRecord)
{
    gOperationCode = 300001;
    FormInstance *form = treeItem ? (FormInstance *)GetTreeItemForm(treeItem) : NULL;
    gOperationCode = 300002;
    FormInstance *shown = (FormInstance *)GetCurrentDocument(4);
    int alreadyShown = gPageShown && (HTREEITEM)GetCurrentDocument(1) == treeItem;
    if (!form || (form->kind != PAGE_KIND_FORM && form->kind != PAGE_KIND_GENERATED)) {
        gOperationCode = 300014;
        return;
    }
    if (!form->hasPageData) {
        if (form->kind != PAGE_KIND_GENERATED || alreadyShown) {
            gOperationCode = 300014;
            return;
        }
        LoadGeneratedPage(treeItem, shown);
    } else {
        if (alreadyShown) {
            gOperationCode = 300014;
            return;
        }
        if (form->kind == PAGE_KIND_FORM && form->fieldTable) {
            gOperationCode = 300003;
            PropagateFormHeaderName(form->fieldTable, returnRecord, form, 0, 0);
            gOperationCode = 300004;
            RecomputeForm(form);
        }
        gOperationCode = 300005;
        RequestRecompute(1, 0);
        // The page data is read before the page becomes the current document: when it cannot be
        // read the previous page stays shown and current.
        uint32_t length = 0;
        uint8_t *owned = NULL;
        const uint8_t *data = ReadShownPageData(form, &length, &owned);
        if (!data) {
            ReportPageNotDrawn("its FormPak record could not be read (the previous page stays shown).");
            gOperationCode = 300014;
            return;
        }
        gPageDrawProblem[0] = 0;
        gOperationCode = 300006;
        DestroyPageButtons(shown);
        gOperationCode = 300007;
        SetCurrentDocument(treeItem);
        gOperationCode = 300008;
        GetTreeItemText(treeItem, gCurrentFormName, 0, sizeof(gCurrentFormName));
        gOperationCode = 300013;
        SetStatusText(gStatusBar, 2, "Loading page image...", GetStatusPromptIcon(STATUS_ICON_LOADING));
        SetBusyCursor(1);
        HWND progress = CreateStatusProgressBar();
        SetPageBitmap(NULL);
        FreeFieldClips();
        HBITMAP bitmap = NULL;
        switch (form->imageSource) {
        case IMAGE_SOURCE_PCL:
        case IMAGE_SOURCE_PCL2:
            bitmap = RenderPclPage(data, length, form, progress);
            break;
        case IMAGE_SOURCE_BMP:
            bitmap = BuildPageImageFromBmp(data, length, form);
            break;
        default:
            ShowMessageBox(gMainWindow, "Form-image generation source not determined. Research. [RAVOVIVE-only]",
                           "Warning", MB_OK | MB_ICONEXCLAMATION);
            break;
        }
        if (!bitmap) {
            char why[120];
            snprintf(why, sizeof(why), "%s",
                     form->imageSource == IMAGE_SOURCE_BMP ? "its page bitmap is damaged."
                     : form->imageSource == IMAGE_SOURCE_PCL || form->imageSource == IMAGE_SOURCE_PCL2
                         ? "its page stream is damaged or has no form feed."
                         : "its image source is unknown.");
            gPageDrawProblem[0] = 0;
            snprintf(gPageDrawProblem, sizeof(gPageDrawProblem), "%s", why);
        }
        MemFree(owned);
        // Without an image the view shows no page (and clicks find nothing), never a deleted
        // bitmap.
        SetPageBitmap(bitmap ? bitmap : CreateBitmap(1, 1, 1, 1, NULL));
        gPageShown = bitmap != NULL;
        ShowLoadedPage();
        if (gToolbar && SendMessageA(gToolbar, TB_ISBUTTONINDETERMINATE, IDM_DELETEPAGE, 0))
            EnableCommand(gMainWindow, IDM_DELETEPAGE, 0, 0);
        SetBusyCursor(0);
        DestroyStatusProgressBar(progress);
    }
    if (gPageDrawProblem[0] && !gPageShown) {
        char why[sizeof(gPageDrawProblem)];
        snprintf(why, sizeof(why), "%s", gPageDrawProblem);
        ReportPageNotDrawn(why);
    } else {
        gPageDrawProblem[0] = 0;
        if (GetCurrentDocument(3))
            SetStatusText(gStatusBar, 2, "Click a shaded field to enter data", GetStatusPromptIcon(STATUS_ICON_ENTRY));
        else
            SetStatusText(gStatusBar, 2, "Ready", GetStatusPromptIcon(STATUS_ICON_READY));
    }
    gOperationCode = 300014;
}

void ClearPageView(void)
{
    gPageDrawProblem[0] = 0;
    gPageViewFlags |= PAGE_VIEW_NEWPAGE;
    if (gPageBitmap)
        DeleteObject(gPageBitmap);
    FreeFieldClips();
    gPageBitmap = CreateBitmap(1, 1, 1, 1, NULL);
    if (gPageViewWindow) {
        SendMessageA(gPageViewWindow, WM_PAGE_CLEAR, 0, 0);
        InvalidateRect(gPageViewWindow, NULL, FALSE);
    }
    gPageShown = 0;
}
