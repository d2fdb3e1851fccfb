// pdf.h - the PDF writer: each page of the return becomes a PDF page holding one compressed image
// of its bitmap; a text becomes Courier pages. Part of print's public interface: include
// print/print.h.
#ifndef LEVYLINE_PRINT_PDF_H
#define LEVYLINE_PRINT_PDF_H

#include <windows.h>
#include <stdint.h>

// Object kinds of PdfObject.
enum {
    PDF_HEADER = 0, PDF_CATALOG, PDF_OUTLINES, PDF_PAGES, PDF_PAGE, PDF_TEXT_CONTENT, PDF_IMAGE_CONTENT,
    PDF_IMAGE, PDF_FONT, PDF_FONT_DESCRIPTOR, PDF_XREF, PDF_TRAILER
};
// One object of the file being built: its complete bytes (owned) and where it was written.
struct PdfObject {
    uint32_t kind;
    uint32_t number;     // 0 for the header, the cross-reference table and the trailer
    char *text;
    uint32_t length;
    uint32_t offset;     // file offset, filled while writing
};
// One image page: the page object, its content stream and its image.
struct PdfPageEntry {
    PdfObject page, content, image;
};

// The page tree's kinds (MakePdfPages): image pages (kids 4, 7, 10 ...) or text pages.
#define PDF_PAGES_IMAGE 1
#define PDF_PAGES_TEXT  2
// Lines of Courier 11 on one text page (from y 712 down, 14 points apart).
#define PDF_TEXT_LINES_PER_PAGE 48
// Columns the text of a text PDF is wrapped to.
#define PDF_TEXT_COLUMNS 80

// The object makers; each fills one object (its text a new MemAlloc block) and returns 1, or 0
// when memory ran out. Texts end lines with CR, as the rest of the file.
int MakePdfHeader(PdfObject *object);
int MakePdfCatalog(PdfObject *object);
int MakePdfOutlines(PdfObject *object);
// The page tree: kids are the numbers in kids[0..count-1].
int MakePdfPages(PdfObject *object, const uint32_t *kids, uint32_t count);
// An image page (fontName null) or a text page (imageOrFont = the font's object number).
int MakePdfPage(PdfObject *object, uint32_t number, uint32_t parent, uint32_t contents, uint32_t imageOrFont,
                const char *fontName, uint32_t rotation);
int MakePdfPageContent(PdfObject *object, uint32_t number, uint32_t imageNumber);
// The image object of bitmap (4- or 1-bit palette bitmap; blackWhite turns it into 1 bit by
// luminance first). Rows are packed to whole bytes, compressed at zlib level 9 when that makes
// them smaller, else stored without a filter.
int MakePdfImage(PdfObject *object, HBITMAP bitmap, uint32_t number, int blackWhite);
// The image object made in three steps, so its compression can run on another thread:
// PreparePdfImage reads the bitmap (on the thread that owns it) into packed rows;
// CompressPdfImage compresses them into a block of their compressed size (touches nothing else,
// shows no message; safe on any thread) and returns 0 when that failed (memory ran out): the work
// is then empty, so the page fails rather than being stored another way; FinishPdfImage makes the
// object and frees the work. The bytes are MakePdfImage's. Prepare returns 0 (the work empty) when
// MakePdfImage would fail; Finish 0 when memory ran out or the compression failed.
struct PdfImageWork {
    uint32_t number;
    int width, height, bpp, colours;
    char palette[256 * 6 + 3];   // "<RRGGBB...>"
    uint8_t *rows;               // packed rows, length bytes (freed once compressed)
    uint32_t length;
    uint32_t room;               // bytes the compression sets aside for its output (zlib's bound)
    uint8_t *packed;             // the compressed rows
    uint32_t packedLength;       // 0: the rows are stored as they are
};
int PreparePdfImage(PdfImageWork *work, HBITMAP bitmap, uint32_t number, int blackWhite);
int CompressPdfImage(PdfImageWork *work);
int FinishPdfImage(PdfImageWork *work, PdfObject *object);
void FreePdfImageWork(PdfImageWork *work);
// One text page's content stream of lines[first .. first + count - 1] (wrapped lines).
int MakePdfTextContent(PdfObject *object, char *const *lines, int count, uint32_t number, const char *fontName,
                       int compress);
int MakePdfFont(PdfObject *object, const char *fontName, uint32_t number, uint32_t descriptor);
int MakePdfFontDescriptor(PdfObject *object, uint32_t number);
// The cross-reference table of objects[0..count-1] (in object-number order, numbers 1..count).
int MakePdfXref(PdfObject *object, const uint32_t *offsets, uint32_t count);
int MakePdfTrailer(PdfObject *object, uint32_t xrefOffset, uint32_t entries);
// Frees the object's text (the object is left empty).
void FreePdfObject(PdfObject *object);

// Pure helpers: a PDF string's special characters escaped ("\", "(", ")") into out (outSize bytes,
// always zero-ended); the rows of a top-down DIB of width x height at bpp copied without their
// 32-bit padding (rowBytes = ceil(width x bpp / 8)) into out; a 24-bit top-down DIB's pixels turned
// into 1-bit rows (1 = white) by luminance with an ordered 4 x 4 threshold, so grey rules and
// shading keep their ink.
int EscapePdfText(const char *text, char *out, int outSize);
int PackDibRows(const uint8_t *dibBits, int width, int height, int bpp, uint8_t *out);
int ThresholdRowsToMono(const uint8_t *rgbBits, int width, int height, uint8_t *out);
// The pixel rows of a 1-, 4- or 8-bit bitmap, top row first, packed to whole bytes as a PDF image
// holds them: a new MemAlloc block, *lengthOut bytes, *bppOut (may be null) its depth. Null for
// other bitmaps or when memory ran out.
uint8_t *ReadPackedImageRows(HBITMAP bitmap, int *bppOut, uint32_t *lengthOut);
// Wraps text at columns (at a blank where there is one), splitting it at CR and LF: a new
// MemAlloc array of MemAlloc lines (leading line breaks skipped); *countOut lines. Null on no memory.
char **WrapPdfTextLines(const char *text, int columns, int *countOut);
void FreePdfTextLines(char **lines, int count);

// Output flags of the PDF writer (declared with the field painting that reads them):
// gPdfInProgress, gPdfPageJurisdiction, gMnOutputFontAllowed.

// Threads that compress the page images of an image PDF while the calling thread makes the next
// pages and writes the finished ones in order (the file's bytes do not depend on it): 0 (the
// default) one per processor the process may run on (its affinity), at least 2; 1 compresses on
// the calling thread; n that many. A worker is started for each page queued, up to that many.
extern int gPdfCompressWorkers;
// The most workers a PDF of at most pageCount pages gets under that setting (never more than its
// pages, at most 16); 0: none, the pages are compressed where they are made.
int CountPdfCompressWorkers(int setting, uint32_t pageCount);

// kind 1: WriteImagePdf (path, formName, bitmap, silent, colour); kind 2: WriteTextPdf (path,
// text, silent). gPdfInProgress is 1 around the call. 1 when a file was written.
int GeneratePdf(const char *path, const char *text, const char *formName, HBITMAP bitmap, int kind, int silent);
// The target is path with its extension replaced by "pdf" (no path or no extension: 0). The pages:
// bitmap alone; else the pages of formName's form; else the Summary and Status pages and every
// page of the return. Unless silent: the progress dialog and the closing "PDF File Created"
// question. A write that fails (locked or full target) says so and returns 0.
int WriteImagePdf(const char *path, const char *formName, HBITMAP bitmap, int silent, int blackWhite);
int WriteTextPdf(const char *path, const char *text, int silent);
// Writes the PDF of one form next to the return file ("<return>_<form key>.pdf") after asking
// before an existing file is replaced; outPath (outSize bytes) receives its path. 1 when written.
int ConfirmPdfTarget(const char *formName, char *outPath, int outSize);
// The main window's handler of IDM_PDFRETURN: the whole return as a PDF beside its file.
LRESULT PdfCommandHandler(HWND window, UINT message, WPARAM wParam, LPARAM lParam, int *handled);

#endif // LEVYLINE_PRINT_PDF_H
