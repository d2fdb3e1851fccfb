// pclrender STREAM.pcl OUTPREFIX - renders a PCL stream file page by page (pages end at their
// form feed) through the program's own RenderPclPage and writes each page's canvas as
// OUTPREFIX-N.bmp (N from 1). Messages the interpreter would show go to stderr. Exits 0; a page
// that cannot be rendered is reported on stderr and skipped.
#include <windows.h>
#include <stdio.h>
#include <string.h>
#include "pages/pages.h"
#include "store/store.h"

static int PrintMessage(HWND owner, const char *text, const char *title, unsigned flags)
{
    fprintf(stderr, "pclrender: message \"%s\": %s\n", title ? title : "", text ? text : "");
    return IDOK;
}

// Writes a DIB section as a .bmp file (its own depth and colour table, bottom-up rows).
static int WriteBitmapFile(const char *path, HBITMAP bitmap)
{
    DIBSECTION ds;
    if (GetObjectA(bitmap, sizeof ds, &ds) != sizeof ds || !ds.dsBm.bmBits) return 0;
    int bits = ds.dsBm.bmBitsPixel, width = ds.dsBm.bmWidth, height = ds.dsBm.bmHeight;
    int colours = 0;
    RGBQUAD *table = GetDibColorTable(NULL, bitmap, &colours);
    unsigned stride = GetDibImageSize32(width, 1, bits);
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = (WORD)bits;
    info.biSizeImage = stride * height;
    info.biXPelsPerMeter = info.biYPelsPerMeter = 11811;   // 300 dpi
    info.biClrUsed = colours;
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info + colours * sizeof(RGBQUAD);
    file.bfSize = file.bfOffBits + info.biSizeImage;
    FILE *f = fopen(path, "wb");
    if (!f) {
        MemFree(table);
        return 0;
    }
    fwrite(&file, sizeof file, 1, f);
    fwrite(&info, sizeof info, 1, f);
    if (colours) fwrite(table, sizeof(RGBQUAD), colours, f);
    CanvasBits c;
    GetCanvasBits(bitmap, &c);
    GdiFlush();
    for (int y = height - 1; y >= 0; y--) fwrite(CanvasRow(c, y), 1, stride, f);
    int ok = ferror(f) == 0;
    fclose(f);
    MemFree(table);
    return ok;
}

int main(int argc, char **argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: pclrender STREAM.pcl OUTPREFIX\n");
        return 0;
    }
    gMessageBoxHook = PrintMessage;
    FILE *f = fopen(argv[1], "rb");
    if (!f) {
        fprintf(stderr, "pclrender: cannot open %s\n", argv[1]);
        return 0;
    }
    fseek(f, 0, SEEK_END);
    long size = ftell(f);
    fseek(f, 0, SEEK_SET);
    if (size < 0 || size > 0x7FFFFFF0L) size = 0;
    uint8_t *data = (uint8_t *)MemAlloc(64, (size_t)size + 1);
    if (!data || fread(data, 1, (size_t)size, f) != (size_t)size) {
        fprintf(stderr, "pclrender: cannot read %s\n", argv[1]);
        fclose(f);
        return 0;
    }
    fclose(f);

    FormInstance page;
    memset(&page, 0, sizeof page);
    page.kind = PAGE_KIND_FORM;
    char key[] = "pclrender.1";
    page.pageKey = key;
    uint32_t pos = 0;
    int number = 0, written = 0;
    while (pos < (uint32_t)size) {
        number++;
        page.imageStart = pos;
        page.imageEnd = (uint32_t)size;
        page.landscape = 0;
        DWORD started = GetTickCount();
        HBITMAP bitmap = RenderPclPage(data, (uint32_t)size, &page, NULL);
        uint32_t stop = gPclLastStop;
        if (bitmap) {
            char path[MAX_PATH];
            snprintf(path, sizeof path, "%s-%d.bmp", argv[2], number);
            if (WriteBitmapFile(path, bitmap)) {
                written++;
                fprintf(stderr, "pclrender: page %d -> %s (%lu ms)\n", number, path,
                        (unsigned long)(GetTickCount() - started));
            } else {
                fprintf(stderr, "pclrender: page %d: cannot write %s\n", number, path);
            }
            DeleteObject(bitmap);
        } else if (stop >= (uint32_t)size) {
            fprintf(stderr, "pclrender: page %d: no form feed before the end of the stream; skipped\n", number);
        } else {
            fprintf(stderr, "pclrender: page %d could not be rendered; skipped\n", number);
        }
        if (stop <= pos) break;   // never loop on the same bytes
        pos = stop;
    }
    fprintf(stderr, "pclrender: %d page(s) written\n", written);
    MemFree(data);
    FreeFormRecords();
    FreePageBuffer();
    return 0;
}
