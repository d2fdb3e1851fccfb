// The objects of a PDF file, each as its complete bytes: header, catalog, outlines, page tree,
// pages, content streams, images, the Courier font, the cross-reference table and the trailer.
#include "print/print.h"

#include <stdarg.h>
#include <stdio.h>
#include <string.h>
#include <zlib.h>

static int SetObjectText(PdfObject *object, uint32_t kind, uint32_t number, const char *format, ...)
{
    memset(object, 0, sizeof *object);
    object->kind = kind;
    object->number = number;
    va_list args;
    va_start(args, format);
    int n = vsnprintf(NULL, 0, format, args);
    va_end(args);
    if (n < 0)
        return 0;
    object->text = (char *)MemAlloc(64, (size_t)n + 1);
    if (!object->text)
        return 0;
    va_start(args, format);
    vsnprintf(object->text, (size_t)n + 1, format, args);
    va_end(args);
    object->length = (uint32_t)n;
    return 1;
}

// An object made of a head text, binary stream data and a tail text.
static int SetStreamObject(PdfObject *object, uint32_t kind, uint32_t number, const char *head,
                           const uint8_t *data, uint32_t dataLength, const char *tail)
{
    memset(object, 0, sizeof *object);
    object->kind = kind;
    object->number = number;
    size_t headLength = strlen(head), tailLength = strlen(tail);
    size_t total = headLength + dataLength + tailLength;
    object->text = (char *)MemAlloc(64, total + 1);
    if (!object->text)
        return 0;
    memcpy(object->text, head, headLength);
    if (dataLength)
        memcpy(object->text + headLength, data, dataLength);
    memcpy(object->text + headLength + dataLength, tail, tailLength);
    object->length = (uint32_t)total;
    return 1;
}

void FreePdfObject(PdfObject *object)
{
    if (!object)
        return;
    MemFree(object->text);
    memset(object, 0, sizeof *object);
}

int MakePdfHeader(PdfObject *object)
{
    return SetObjectText(object, PDF_HEADER, 0, "%%PDF-1.5\r%%\xE2\xE3\xCF\xD3\n");
}

int MakePdfCatalog(PdfObject *object)
{
    return SetObjectText(object, PDF_CATALOG, 1, "1 0 obj\r<< /Type /Catalog\r/Outlines 2 0 R\r/Pages 3 0 R\r>>\rendobj\r");
}

int MakePdfOutlines(PdfObject *object)
{
    return SetObjectText(object, PDF_OUTLINES, 2, "2 0 obj\r<< /Type /Outlines\r/Count 0\r>>\rendobj\r");
}

int MakePdfPages(PdfObject *object, const uint32_t *kids, uint32_t count)
{
    // "n 0 R" per kid, CR between them.
    size_t size = (size_t)count * 16 + 1;
    char *list = (char *)MemAlloc(64, size);
    if (!list)
        return 0;
    size_t used = 0;
    for (uint32_t i = 0; i < count; i++)
        used += (size_t)snprintf(list + used, size - used, i ? "\r%lu 0 R" : "%lu 0 R", (unsigned long)kids[i]);
    int ok = SetObjectText(object, PDF_PAGES, 3, "3 0 obj\r<< /Type /Pages\r/Kids [%s]\r/Count %lu\r>>\rendobj\r", list,
                           (unsigned long)count);
    MemFree(list);
    return ok;
}

int MakePdfPage(PdfObject *object, uint32_t number, uint32_t parent, uint32_t contents, uint32_t imageOrFont,
                const char *fontName, uint32_t rotation)
{
    if (fontName)
        return SetObjectText(object, PDF_PAGE, number,
                             "%lu 0 obj\r<< /Type /Page\r/Parent %lu 0 R\r/CropBox[0 0 612 792]\r/MediaBox[0 0 612 792]\r"
                             "/Contents %lu 0 R\r/Resources << /ProcSet[/PDF /Text]\r/Font << /%s %lu 0 R >>\r>>\r"
                             "/Rotate %lu\r>>\rendobj\r",
                             (unsigned long)number, (unsigned long)parent, (unsigned long)contents, fontName,
                             (unsigned long)imageOrFont, (unsigned long)rotation);
    return SetObjectText(object, PDF_PAGE, number,
                         "%lu 0 obj\r<< /Type /Page\r/Parent %lu 0 R\r/MediaBox[0 0 612 792]\r/Contents %lu 0 R\r"
                         "/Resources << /ProcSet [/PDF /ImageI]\r/XObject << /I%5.5lu %lu 0 R >>\r>>\r/Rotate %lu\r>>\r"
                         "endobj\r",
                         (unsigned long)number, (unsigned long)parent, (unsigned long)contents,
                         (unsigned long)imageOrFont, (unsigned long)imageOrFont, (unsigned long)rotation);
}

int MakePdfPageContent(PdfObject *object, uint32_t number, uint32_t imageNumber)
{
    // The image fills 576 x 756 points at (18, 18) of the US Letter page.
    char stream[96];
    int n = snprintf(stream, sizeof stream, "q\r1 0 0 1 18 18 cm\r576 0 0 756 0 0 cm\r/I%5.5lu Do\rQ\r",
                     (unsigned long)imageNumber);
    // "stream" is followed by CR LF: a lone CR there is refused by strict readers.
    return SetObjectText(object, PDF_IMAGE_CONTENT, number, "%lu 0 obj\r<< /Length %d >>\rstream\r\n%sendstream\rendobj\r",
                         (unsigned long)number, n, stream);
}

// Compresses data at level into a new MemAlloc block when that makes it smaller; otherwise
// returns null and the caller stores the data as it is.
static uint8_t *DeflateIfSmaller(const uint8_t *data, uint32_t length, int level, uint32_t *packedLength)
{
    uLongf bound = compressBound(length);
    uint8_t *packed = (uint8_t *)MemAlloc(64, bound);
    if (!packed)
        return NULL;
    uLongf out = bound;
    if (compress2(packed, &out, data, length, level) != Z_OK || out >= length) {
        MemFree(packed);
        return NULL;
    }
    *packedLength = (uint32_t)out;
    return packed;
}

int PackDibRows(const uint8_t *dibBits, int width, int height, int bpp, uint8_t *out)
{
    if (!dibBits || !out || width <= 0 || height <= 0 || bpp <= 0)
        return 0;
    size_t stride = (((size_t)width * bpp + 31) / 32) * 4;
    size_t rowBytes = ((size_t)width * bpp + 7) / 8;
    for (int y = 0; y < height; y++)
        memmove(out + (size_t)y * rowBytes, dibBits + (size_t)y * stride, rowBytes);
    return 1;
}

int ThresholdRowsToMono(const uint8_t *rgbBits, int width, int height, uint8_t *out)
{
    // Ordered thresholds: solid black and white stay as they are, greys keep a share of ink.
    static const uint8_t kBayer[4][4] = {{8, 136, 40, 168}, {200, 72, 232, 104}, {56, 184, 24, 152},
                                         {248, 120, 216, 88}};
    if (!rgbBits || !out || width <= 0 || height <= 0)
        return 0;
    size_t stride = ((size_t)width * 3 + 3) & ~(size_t)3;
    size_t monoStride = (((size_t)width + 31) / 32) * 4;
    for (int y = 0; y < height; y++) {
        const uint8_t *p = rgbBits + (size_t)y * stride;
        uint8_t *row = out + (size_t)y * monoStride;
        memset(row, 0, monoStride);
        for (int x = 0; x < width; x++, p += 3) {
            unsigned luminance = (p[2] * 77u + p[1] * 150u + p[0] * 29u) >> 8;   // BGR order
            if (luminance > kBayer[y & 3][x & 3])
                row[x >> 3] |= (uint8_t)(0x80 >> (x & 7));
        }
    }
    return 1;
}

// A 1-bit copy of bitmap (white 1, black 0) made by luminance, or null.
static HBITMAP MakeMonoCopy(HBITMAP bitmap, int width, int height)
{
    size_t stride = ((size_t)width * 3 + 3) & ~(size_t)3;
    uint8_t *rgb = (uint8_t *)MemAlloc(64, stride * height);
    BITMAPINFO *info = BuildBitmapInfo(width, -height, 24, NULL);
    HBITMAP mono = NULL;
    if (rgb && info) {
        HDC screen = GetDC(NULL);
        int got = GetDIBits(screen, bitmap, 0, (UINT)height, rgb, info, DIB_RGB_COLORS);
        ReleaseDC(NULL, screen);
        size_t monoStride = (((size_t)width + 31) / 32) * 4;
        uint8_t *bits = got ? (uint8_t *)MemAlloc(64, monoStride * height) : NULL;
        if (bits && ThresholdRowsToMono(rgb, width, height, bits))
            mono = CreateDibBitmap(width, -height, 1, 0, bits, NULL);
        MemFree(bits);
    }
    MemFree(info);
    MemFree(rgb);
    return mono;
}

uint8_t *ReadPackedImageRows(HBITMAP bitmap, int *bppOut, uint32_t *lengthOut)
{
    int width = 0, height = 0;
    int bpp = GetBitmapBitsPerPixel(bitmap);
    *lengthOut = 0;
    if (bppOut)
        *bppOut = bpp;
    if (!GetBitmapSize(bitmap, &width, &height) || width <= 0 || height <= 0 || (bpp != 1 && bpp != 4 && bpp != 8))
        return NULL;
    size_t stride = (((size_t)width * bpp + 31) / 32) * 4;
    uint8_t *rows = (uint8_t *)MemAlloc(64, stride * height);
    // Room for the colour table GetDIBits writes after the header.
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colours[256];
    } info;
    memset(&info, 0, sizeof info);
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = width;
    info.header.biHeight = -height;
    info.header.biPlanes = 1;
    info.header.biBitCount = (WORD)bpp;
    int got = 0;
    if (rows) {
        HDC screen = GetDC(NULL);
        got = GetDIBits(screen, bitmap, 0, (UINT)height, rows, (BITMAPINFO *)&info, DIB_RGB_COLORS);
        ReleaseDC(NULL, screen);
    }
    if (!got || !PackDibRows(rows, width, height, bpp, rows))
        return (uint8_t *)MemFree(rows);
    *lengthOut = (uint32_t)((((size_t)width * bpp + 7) / 8) * height);
    return rows;
}

int PreparePdfImage(PdfImageWork *work, HBITMAP bitmap, uint32_t number, int blackWhite)
{
    int width = 0, height = 0;
    if (!work)
        return 0;
    memset(work, 0, sizeof *work);
    if (!bitmap || !GetBitmapSize(bitmap, &width, &height) || width <= 0 || height <= 0)
        return 0;
    HBITMAP mono = NULL;
    if (blackWhite && GetBitmapBitsPerPixel(bitmap) > 1) {
        mono = MakeMonoCopy(bitmap, width, height);
        if (!mono)
            return 0;
        bitmap = mono;
    }
    int bpp = GetBitmapBitsPerPixel(bitmap);
    int colours = 0;
    RGBQUAD *table = GetDibColorTable(NULL, bitmap, &colours);
    if (table && colours > 0 && colours <= 256 && (bpp == 1 || bpp == 4 || bpp == 8)) {
        work->rows = ReadPackedImageRows(bitmap, NULL, &work->length);
        // The compressed rows never take more than zlib's bound.
        work->room = (uint32_t)compressBound(work->length);
        if (work->rows) {
            // The palette as "<RRGGBB...>".
            size_t p = 0;
            work->palette[p++] = '<';
            for (int i = 0; i < colours; i++)
                p += (size_t)snprintf(work->palette + p, 7, "%2.2X%2.2X%2.2X", table[i].rgbRed, table[i].rgbGreen,
                                      table[i].rgbBlue);
            work->palette[p++] = '>';
            work->palette[p] = 0;
            work->number = number;
            work->width = width;
            work->height = height;
            work->bpp = bpp;
            work->colours = colours;
        }
    }
    MemFree(table);
    if (mono)
        DeleteObject(mono);
    if (!work->rows) {
        FreePdfImageWork(work);
        return 0;
    }
    return 1;
}

int CompressPdfImage(PdfImageWork *work)
{
    // Level 9 when that makes the rows smaller, else they are stored as they are. zlib's worst
    // case is set aside only while compressing; the page keeps a block of the compressed size.
    // The blocks come from the heap MemAlloc uses (MemFree frees them) but without its message:
    // this may run on a worker thread.
    HANDLE heap = GetProcessHeap();
    uint8_t *room = work->rows ? (uint8_t *)HeapAlloc(heap, 0, work->room ? work->room : 1) : NULL;
    uLongf out = work->room;
    int ok = room && compress2(room, &out, work->rows, work->length, 9) == Z_OK;
    if (ok && out < work->length) {
        work->packed = (uint8_t *)HeapAlloc(heap, 0, out);
        ok = work->packed != NULL;
        if (ok) {
            memcpy(work->packed, room, out);
            work->packedLength = (uint32_t)out;
            work->rows = (uint8_t *)MemFree(work->rows);
        }
    }
    if (room)
        HeapFree(heap, 0, room);
    // A failure is not stored uncompressed (a page's bytes never depend on the thread or memory):
    // the work is emptied and FinishPdfImage fails.
    if (!ok)
        FreePdfImageWork(work);
    return ok;
}

int FinishPdfImage(PdfImageWork *work, PdfObject *object)
{
    memset(object, 0, sizeof *object);
    int packed = work->packedLength != 0;
    int ok = 0;
    if (packed || work->rows) {
        char head[4096];
        snprintf(head, sizeof head,
                 "%lu 0 obj\r<</Type /XObject\r/Subtype /Image\r/Width %lu\r/Height %lu\r/ColorSpace\r"
                 "[/Indexed\r/DeviceRGB\r%lu\r%s ]\r/BitsPerComponent %lu\r/Length %lu\r%s>>\rstream\r\n",
                 (unsigned long)work->number, (unsigned long)work->width, (unsigned long)work->height,
                 (unsigned long)(work->colours - 1), work->palette, (unsigned long)work->bpp,
                 (unsigned long)(packed ? work->packedLength : work->length), packed ? "/Filter /FlateDecode\r" : "");
        ok = SetStreamObject(object, PDF_IMAGE, work->number, head, packed ? work->packed : work->rows,
                             packed ? work->packedLength : work->length, "\rendstream\rendobj\r");
    }
    FreePdfImageWork(work);
    return ok;
}

void FreePdfImageWork(PdfImageWork *work)
{
    MemFree(work->rows);
    MemFree(work->packed);
    memset(work, 0, sizeof *work);
}

int MakePdfImage(PdfObject *object, HBITMAP bitmap, uint32_t number, int blackWhite)
{
    PdfImageWork work;
    if (!object || !PreparePdfImage(&work, bitmap, number, blackWhite))
        return 0;
    CompressPdfImage(&work);
    return FinishPdfImage(&work, object);
}

int EscapePdfText(const char *text, char *out, int outSize)
{
    if (!out || outSize <= 0)
        return 0;
    int n = 0;
    for (const char *p = text ? text : ""; *p; p++) {
        int special = *p == '\\' || *p == '(' || *p == ')';
        if (n + special + 1 >= outSize)
            break;
        if (special)
            out[n++] = '\\';
        out[n++] = *p;
    }
    out[n] = 0;
    return n;
}

int MakePdfTextContent(PdfObject *object, char *const *lines, int count, uint32_t number, const char *fontName,
                       int compress)
{
    // Each line (escaped, at most twice its length) plus its operators.
    size_t size = 64;
    for (int i = 0; i < count; i++)
        size += strlen(lines[i]) * 2 + 16;
    char *stream = (char *)MemAlloc(64, size);
    if (!stream)
        return 0;
    size_t used = (size_t)snprintf(stream, size, "BT\r/%s 11 Tf\r36.25 712 TD\r", fontName);
    for (int i = 0; i < count; i++) {
        char escaped[2 * PDF_TEXT_COLUMNS + 8];
        EscapePdfText(lines[i], escaped, sizeof escaped);
        // The first line's move sets the 14-point leading and already goes down to the second
        // line; each line after the second steps down with T*.
        const char *format = i == 0 ? "(%s) Tj\r0 -14 TD\r" : i == 1 ? "(%s) Tj\r" : "T*\r(%s) Tj\r";
        used += (size_t)snprintf(stream + used, size - used, format, escaped);
    }
    used += (size_t)snprintf(stream + used, size - used, "ET");
    uint32_t packedLength = 0;
    uint8_t *packed = compress ? DeflateIfSmaller((const uint8_t *)stream, (uint32_t)used, Z_DEFAULT_COMPRESSION,
                                                  &packedLength)
                               : NULL;
    char head[96];
    snprintf(head, sizeof head, packed ? "%lu 0 obj\r<< /Filter /FlateDecode\r/Length %lu >>\rstream\r\n"
                                       : "%lu 0 obj\r<< /Length %lu >>\rstream\r\n",
             (unsigned long)number, (unsigned long)(packed ? packedLength : used));
    int ok = SetStreamObject(object, PDF_TEXT_CONTENT, number, head, packed ? packed : (const uint8_t *)stream,
                             packed ? packedLength : (uint32_t)used, "\rendstream\rendobj\r");
    MemFree(packed);
    MemFree(stream);
    return ok;
}

int MakePdfFont(PdfObject *object, const char *fontName, uint32_t number, uint32_t descriptor)
{
    // WinAnsiEncoding: bytes of 0x80 and above print as the program's own 8-bit texts mean them.
    return SetObjectText(object, PDF_FONT, number,
                         "%lu 0 obj\r<< /Type /Font\r/Subtype /Type1\r/Name /%s\r/BaseFont /Courier\r"
                         "/Encoding /WinAnsiEncoding\r/FontDescriptor %lu 0 R\r>>\rendobj\r",
                         (unsigned long)number, fontName, (unsigned long)descriptor);
}

int MakePdfFontDescriptor(PdfObject *object, uint32_t number)
{
    return SetObjectText(object, PDF_FONT_DESCRIPTOR, number,
                         "%lu 0 obj\r<< /Type /FontDescriptor\r/FontName /Courier\r/Flags 32\r/ItalicAngle 0\r"
                         "/Ascent 629\r/Descent -157\r/CapHeight 562\r/AvgWidth 600\r/MaxWidth 659\r/FontWeight 400\r"
                         "/XHeight 426\r/StemV 60\r/FontBBox[ -23 -250 715 805] >>\rendobj\r",
                         (unsigned long)number);
}

int MakePdfXref(PdfObject *object, const uint32_t *offsets, uint32_t count)
{
    // Two header lines, the free entry, then 20 bytes per object.
    size_t size = 32 + 20 * ((size_t)count + 1) + 1;
    char *text = (char *)MemAlloc(64, size);
    if (!text)
        return 0;
    size_t used = (size_t)snprintf(text, size, "xref\r0 %lu\r0000000000 65535 f \r", (unsigned long)count + 1);
    for (uint32_t i = 0; i < count; i++)
        used += (size_t)snprintf(text + used, size - used, "%10.10lu 00000 n \r", (unsigned long)offsets[i]);
    memset(object, 0, sizeof *object);
    object->kind = PDF_XREF;
    object->text = text;
    object->length = (uint32_t)used;
    return 1;
}

int MakePdfTrailer(PdfObject *object, uint32_t xrefOffset, uint32_t entries)
{
    return SetObjectText(object, PDF_TRAILER, 0, "trailer\r<< /Size %lu\r/Root 1 0 R\r>>\rstartxref\r%lu\r%%%%EOF",
                         (unsigned long)entries, (unsigned long)xrefOffset);
}

// ---- text lines ----

void FreePdfTextLines(char **lines, int count)
{
    if (!lines)
        return;
    for (int i = 0; i < count; i++)
        MemFree(lines[i]);
    MemFree(lines);
}

static int AddLine(char ***lines, int *count, int *capacity, const char *start, size_t length)
{
    if (*count == *capacity) {
        int grown = *capacity ? *capacity * 2 : 64;
        char **bigger = (char **)MemReAlloc(*lines, sizeof(char *) * (size_t)grown);
        if (!bigger)
            return 0;
        *lines = bigger;
        *capacity = grown;
    }
    char *line = (char *)MemAlloc(64, length + 1);
    if (!line)
        return 0;
    memcpy(line, start, length);
    (*lines)[(*count)++] = line;
    return 1;
}

char **WrapPdfTextLines(const char *text, int columns, int *countOut)
{
    *countOut = 0;
    if (columns < 1)
        columns = PDF_TEXT_COLUMNS;
    char **lines = NULL;
    int count = 0, capacity = 0;
    const char *p = text ? text : "";
    while (*p == '\r' || *p == '\n')
        p++;
    while (*p) {
        size_t length = strcspn(p, "\r\n");
        const char *start = p;
        // One text line gives as many wrapped lines as its length needs.
        do {
            size_t take = length;
            if (take > (size_t)columns) {
                take = (size_t)columns;
                for (size_t k = take; k > 0; k--)
                    if (start[k] == ' ') {
                        take = k;
                        break;
                    }
            }
            if (!AddLine(&lines, &count, &capacity, start, take)) {
                FreePdfTextLines(lines, count);
                return NULL;
            }
            start += take;
            length -= take;
            while (length && *start == ' ') {
                start++;
                length--;
            }
        } while (length);
        p += strcspn(p, "\r\n");
        // CR LF counts as one line break.
        if (*p == '\r' && p[1] == '\n')
            p += 2;
        else if (*p)
            p++;
    }
    if (!lines && !AddLine(&lines, &count, &capacity, "", 0))
        return NULL;
    *countOut = count;
    return lines;
}
