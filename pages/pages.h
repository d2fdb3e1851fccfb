// pages.h - public interface of the form pages: the page canvas and bitmap toolkit, the PCL and
// HP-GL/2 interpreters, vector artwork, field painting, page images, the page view, printing, PDF.
//
// Several topics live in this one header; each has its own banner section.
#ifndef LEVYLINE_PAGES_H
#define LEVYLINE_PAGES_H

#include <windows.h>
#include <stdint.h>
#include "store/store.h"

// ---- bitmap toolkit ----
// Stateless operations on DIB sections, device contexts and colour tables. Bitmaps returned
// belong to the caller; MemAlloc blocks returned are freed with MemFree.

// The standard 16 VGA colours (black, maroon, green, olive, navy, purple, teal, silver, grey,
// red, lime, yellow, blue, fuchsia, aqua, white) in colour-table order.
extern const RGBQUAD gVgaPalette[16];
// Bytes of a DIB image: rows padded to 16 bits, or to 32 bits when align32 is set.
unsigned int GetDibImageSize(int width, int height, int bitsPerPixel, int align32);
// |height| x ((bitsPerPixel x width + 31) / 32 x 4).
unsigned int GetDibImageSize32(int width, int height, int bitsPerPixel);
// Colour-table entries of a depth: 2, 16, 256 (8 and 16 bits), else 0.
int GetDibColorCount(int bitsPerPixel);
// Header (40 bytes, 3780 pixels per metre) and colour table: palette's entries, or for 1 bit
// black and white, for 4 bits the VGA colours; 8 and 16 bits need a palette (else null).
// A negative height means top-down rows. MemFree the result.
BITMAPINFO *BuildBitmapInfo(int width, int height, int bitsPerPixel, const RGBQUAD *palette);
// A DIB section; fillRop non-zero fills and checks it (VerifyBitmapFill); bits (all rows) are
// copied in when given. Null on failure.
HBITMAP CreateDibBitmap(int width, int height, int bitsPerPixel, DWORD fillRop, const void *bits,
                        const RGBQUAD *palette);
// Checks a WHITENESS / BLACKNESS fill of the bitmap in dc by its corners, flood-fills it when
// they are wrong and logs a "999 BBI: " line when that fails too. Returns 1 when filled.
int VerifyBitmapFill(HDC dc, int width, int height, int bitsPerPixel, DWORD fillRop, const RGBQUAD *palette);
// Bits per pixel of a bitmap, 0 for none.
int GetBitmapBitsPerPixel(HBITMAP bitmap);
// Width and height of a bitmap; 0 for none.
int GetBitmapSize(HBITMAP bitmap, int *width, int *height);
// A MemAlloc copy of the colour table of the bitmap in dc (or of bitmap when dc is null) and its
// entry count (2 to the bits per pixel); null and 0 for bitmaps without one (above 8 bits).
RGBQUAD *GetDibColorTable(HDC dc, HBITMAP bitmap, int *count);
// Loads the page-canvas palette (canvasMode 1: 0 black, 7 silver, 8 grey, last white, others
// zero) or the VGA palette (0) into the bitmap selected in dc. 1 on success.
int LoadCanvasPalette(HDC dc, int canvasMode);
// Puts a colour into the first zero entry (from index 1) of the colour table of the bitmap in
// dc: 1 when added; 0 for greys (black, white), when already present, or when full.
int AddPaletteColor(HDC dc, COLORREF colour);
// Makes sure colour is in the colour table of the bitmap in dc: AddPaletteColor, else on a
// 4-bit bitmap the highest index (14 down to 1) no pixel uses that is not black, white, grey or
// silver takes it. 1 when the colour is in the table afterwards.
int EnsureColorInPalette(HDC dc, COLORREF colour);
// The full ternary raster-operation code of an operation index 0..255.
DWORD GetTernaryRop(int index);
// Four-operand blit: foreground operation (low 24 bits of rop4) where mask is 1, background
// operation (high byte) where it is 0; without a mask a plain BitBlt.
BOOL MaskedBlt(HDC destDc, int x, int y, int width, int height, HDC srcDc, int srcX, int srcY, HBITMAP mask,
               int maskX, int maskY, DWORD rop4);
// Turns the bitmap's pixels (90 clockwise: the top row becomes the right-hand column; 180; 270);
// a new DIB section of the same depth and colour table; other angles null.
HBITMAP RotateBitmap(HBITMAP bitmap, int angle);
// One step of a resampling table (12-bit weights, 4096 = 1.0). Area average (average set and
// the size shrinks): one step per source pixel; output = the output pixel it falls in, current =
// its share of that output, carry = its share of the next output, or -1 when the output ends
// with this pixel (0: the output goes on). Blend: one step per output pixel; output = the left
// (upper) source pixel, current = its weight, carry = the next pixel's weight (-1 when none).
struct ResampleStep {
    int output;
    int current;
    int carry;
};
// The weight table of ResizeBitmap (MemFree it); null for sizes below 1.
ResampleStep *BuildResampleTable(int srcSize, int dstSize, int average);
// 24-bit resampling into a new screen-compatible bitmap: copy, area average (both shrink) or
// 2 x 2 blend; null when one dimension grows and the other shrinks.
HBITMAP ResizeBitmap(HBITMAP bitmap, int width, int height);
// Returns bitmap unchanged when it fits rect and force is 0; else scales it by the smaller of the
// two ratios, deletes the input and returns the new one (scaleOut = the factor). A zero-size
// bitmap or rectangle gives null (the input is then left to the caller).
HBITMAP FitBitmapToRect(const RECT *rect, HBITMAP bitmap, double *scaleOut, int force);
// 24-bit pixel rules, in place (rows as stored, padded to 4 bytes). 1 done, 0 not 24-bit.
int ConvertToGrayscale(unsigned char *bits, const BITMAPINFOHEADER *header);
int ThresholdToBlackWhite(unsigned char *bits, const BITMAPINFOHEADER *header);
// Ink = a pixel with any component 0. rectOut = ink bounds (right and bottom one past),
// percentOut = (ink x 100 + pixels / 2) / pixels. 1 when there is ink.
int GetInkBounds(const unsigned char *bits, const BITMAPINFOHEADER *header, RECT *rectOut, int *percentOut);
// A new DIB section of the bitmap's size, depth and colour table, white, bits copied when asked.
HBITMAP CopyBitmap(HBITMAP bitmap, int copyBits);
// Copies rect (null: the whole bitmap) into a new 1-bit bitmap.
HBITMAP CopyBitmapRegion(HBITMAP bitmap, const RECT *rect);
// Draws src onto dest at (x, y) with rop. 1 on success.
int BlitBitmapOnto(HBITMAP dest, HBITMAP src, int x, int y, DWORD rop);
// Applies rop to rect (null: the whole bitmap) of dc, or of bitmap when dc is null.
int FillRectWithRop(HDC dc, HBITMAP bitmap, const RECT *rect, DWORD rop);
// A device-dependent copy of a bitmap for the screen.
HBITMAP DibToDdb(HBITMAP bitmap);
// An icon from bitmap (or, when null, the bitmap resource resourceId of instance); the colour
// at (0, 0) is transparent; sizeOut (may be null) receives its size.
HICON BitmapToIcon(HBITMAP bitmap, HINSTANCE instance, int resourceId, SIZE *sizeOut);
// A button bitmap widened to width: the part right of column 22 is stretched from column 7 to
// the new edge and columns 0 to 21 drawn again; the input is deleted (returned unchanged when
// it cannot be widened).
HBITMAP WidenButtonBitmap(HBITMAP bitmap, int width);
// A button face width x height: the button bitmap, a frame and the drop-down arrow (resource
// "BTNS_DROPDOWN_BMP", 11/13 of the height), pressed or not.
HBITMAP DrawDropdownButton(HBITMAP buttonBitmap, int width, int height, int pressed);
// The name of a GDI+ Status value ("Ok" .. "PropertyNotSupported"), else "Unknown".
const char *GetGdiplusStatusText(int status);
// Room for the field text colour (GetFieldTextColor) in the palette of the bitmap in dc, as
// EnsureColorInPalette.
int EnsureTextColorInPalette(HDC dc);
// The content rectangle of bitmap (FindPageContentRows; dc holds the bitmap, or null) copied into
// a new 1-bit bitmap; originOut = its top-left corner. Null when the bitmap has no ink.
HBITMAP CropBitmapToInk(HDC dc, HBITMAP bitmap, POINT *originOut);
// The text drawn (alignment 5, black on white, one clipped line, height 48, weight 700, faceName)
// into a 1-bit bitmap of size (the rectangle reaching 4 above and below it), cropped to its ink.
HBITMAP RenderTextBitmap(const char *text, const SIZE *size, const char *faceName);

// ---- page canvas ----
// One memory DC with a 2400 x 3168, 4-bit page bitmap (canvas palette) and a 7200-byte row
// work buffer, shared by every page rendering.
#define PAGE_CANVAS_WIDTH   2400
#define PAGE_CANVAS_HEIGHT  3168
#define PAGE_WORK_BUFFER_SIZE 7200
extern HDC gPageCanvasDc;              // created on first use, kept
extern HBITMAP gPageCanvasBitmap;      // the page bitmap selected in it (null once handed out)
extern HBITMAP gPageCanvasFirstBitmap; // the bitmap the DC held when it was created
extern unsigned char *gPageWorkBuffer; // 7200 bytes
// Clears the work buffer (allocating it), creates the DC on first use (with a 1-pixel black
// pen), deletes a page bitmap still selected, selects a new white canvas bitmap with the canvas
// palette. Returns the DC's first bitmap.
HBITMAP ResetPageCanvas(void);
// Deselects and returns the page bitmap (the caller owns it); null when none is selected.
HBITMAP DetachPageCanvasBitmap(void);
// Frees the work buffer.
void FreePageBuffer(void);
// Whitens ink touching the bottom edge (from the row two above the bottom upward, at most 60
// rows). Returns 1 when nothing was whitened.
int EraseBottomEdgeInk(HBITMAP bitmap);
// Direct access to a DIB section's pixels, rows addressed top row first whatever the row order.
struct CanvasBits {
    unsigned char *row0;   // the top row
    int rowStep;           // bytes from one row to the next one down (negative when bottom-up)
    int width, height, bitsPerPixel;
};
// Fills out for a DIB section; 0 for other bitmaps. Call GdiFlush before touching the bits
// after GDI drawing.
int GetCanvasBits(HBITMAP bitmap, CanvasBits *out);
inline unsigned char *CanvasRow(const CanvasBits &c, int y) { return c.row0 + (ptrdiff_t)y * c.rowStep; }

// ---- PCL page interpreter ----
#define PCL_MAX_ESCAPE_RECORDS 10
#define PCL_MAX_VALUE_CHARS 23

// One command of an escape sequence (a combined sequence gives one record per command).
struct PclEscape {
    unsigned char parameterized;     // byte after ESC
    unsigned char group;             // group character (0 when none)
    unsigned char third;             // first byte after the prefix
    char prefix[3];                  // parameterized + group character, zero-ended
    char terminator;                 // upper-cased
    char sign;                       // '+', '-' or 0
    char digits[PCL_MAX_VALUE_CHARS + 1];
    int value;                       // signed, saturated
    double real;                     // when hasReal
    int hasReal;
};
// Parses the escape sequence at data[pos] (an ESC) within [pos, end): up to 10 records, the
// position after the sequence (before any binary data). A sequence without its terminator runs
// to end and gives no records. Returns the number of records.
int ParsePclEscape(const unsigned char *data, unsigned int pos, unsigned int end, PclEscape *records,
                   unsigned int *nextPos);
// Decoders into a row buffer of bufferSize bytes, starting at offset; they never write outside
// it and always read all length bytes. PackBits returns the end of its output (capped at
// bufferSize), the delta row the end of the last byte it replaced (0 when none).
unsigned int DecodePackBits(const unsigned char *in, unsigned int length, unsigned char *row, int offset,
                            int bufferSize);
unsigned int ApplyDeltaRow(const unsigned char *in, unsigned int length, unsigned char *row, int offset,
                           int bufferSize);

// A palette of the stream (1028 bytes): id, colour count, 256 colours (COLORREF).
struct PclPalette {
    uint16_t id;
    uint16_t count;
    uint32_t colours[256];
};
static_assert(sizeof(PclPalette) == 1028, "PclPalette is 1028 bytes");

// The page stream and the shared position in it.
struct PclStream {
    const unsigned char *data;
    unsigned int pos;
    unsigned int start;
    unsigned int end;
};

// ---- HP-GL/2 vector graphics ----
// The drawing state below takes the name that <winuser.h> gives the DrawStateA/W macro; the
// program calls that Win32 function, where it needs it, by its explicit A name.
#undef DrawState
struct PclRenderState;
struct HpglPenSlot {
    HPEN pen;
    HBRUSH brush;
    unsigned char colour[3];   // blue, green, red
};
struct DrawState {
    int pageWidth, pageHeight;
    int originX, originY;
    int absoluteOrigin;
    int penX, penY;
    int p1x, p1y, p2x, p2y;
    int anchorX, anchorY;
    int scaleValue;
    int clipDivisor;
    int fillPattern;
    HPEN savedPen;
    HBRUSH savedBrush;
    int objectsSaved;
    HpglPenSlot pens[2];
    int selectedPen;
    RECT clipWindow;
    int drawn;
    // Polygon buffer: all points of all figures in one array.
    int pointCount;
    int pointCapacity;
    POINT *points;
    int figureIndex;
    int figureCapacity;
    int *figureCounts;         // null until a polygon was started (PM 0)
    DWORD rasterOp;
    int transparent;
    HDC dc;                    // the canvas DC drawn into
    PclRenderState *pcl;       // the PCL state (text routine, palettes)
};
// Reads and runs one HP-GL/2 command at the stream position (always advances).
int ExecuteHpglCommand(PclStream *stream, DrawState *state);
// The parameters at the stream position: a MemAlloc array of int (or double when *isFloat is
// set on return), *count of them; null when there are none.
void *ParseHpglParameters(PclStream *stream, int *count, int *isFloat);
// Runs one command with its parameters (values as from ParseHpglParameters, may be null).
int RenderVectorShape(const char *command, PclStream *stream, int count, const void *values, int isFloat,
                      DrawState *state);
int DrawPolylineEncoded(PclStream *stream, DrawState *state);
// The next Polyline Encoded number (0 at a terminator or the end).
int DecodePeNumber(PclStream *stream);
int AppendPolygonPoints(DrawState *state, const POINT *points, int count);
void ClearPolygonBuffer(DrawState *state);
int DefineRasterFill(PclStream *stream, int count, const void *values, int isFloat);
int ApplyHpglClip(HDC dc, DrawState *state);
// Selects the saved pen and brush back, deletes both pen slots' objects, frees the PCL palettes
// and clears the polygon buffer (end of page).
void ReleaseDrawingObjects(DrawState *state);
// The raster fill patterns (slots 0..8; null when undefined).
extern HBITMAP gHpglPatterns[9];
void FreeShapeCache(void);

// ---- vector artwork ----
// Outlines of the program's artwork (resources of type "VOF": u32 n, n points of two signed
// 16-bit values, n GDI point-type bytes) laid out from a layer table.
#define VECTOR_BLANK 9999        // a blank of 80 units
#define VECTOR_LINE_BREAK 9998   // a line break (line height 210)
#define VECTOR_LINE_HEIGHT 210
#define VECTOR_MAX_LAYERS 64
struct VectorArtLayer {
    uint16_t resourceId;   // "VOF" resource, VECTOR_BLANK, VECTOR_LINE_BREAK, or 0 = end of table
    COLORREF colour;       // fill and outline colour
    uint32_t shadow;       // non-zero: a grey drop shadow under a filled layer
    uint32_t style;        // 2 outline only (caller's pen width); else filled, 1-unit outline, or
                           // the caller's pen width when bit value 2 is set (3)
    uint32_t spacing;      // extra space after the layer
    uint32_t width;        // extent, set by the layout (kept when already larger)
    uint32_t height;
};
static_assert(sizeof(VectorArtLayer) == 28, "VectorArtLayer is 28 bytes");
// A new bitmap (the caller's) of the layers drawn and scaled, or null when a listed resource is
// missing. layers null (layersSize 0): the default table (413, blank, 414; extended adds a blank,
// 417, 415, 417, 419); stacked turns the first blank into a line break.
HBITMAP DrawVectorArt(double scaleX, double scaleY, int stacked, int extended, int shadowOffset, int penWidth,
                      COLORREF background, const VectorArtLayer *layers, int layersSize);
// Draws a point list (types as in a GDI path) into dc's current path or directly, offset by
// (dx, dy) (the points are shifted for the call and back). Returns 1.
int DrawVectorSegments(HDC dc, POINT *points, const BYTE *types, int count, int dx, int dy);
// The points (as 32-bit pairs) and types of a "VOF" resource of the program; MemFree both.
// 0 when the resource is missing.
int LoadVectorOutline(int resourceId, POINT **pointsOut, BYTE **typesOut, int *countOut);

// ---- PCL page interpreter: render state and entry points ----
struct PclRenderState {
    int pageWidth, pageHeight, pagePixels;
    int verticalMotionIndex, topMargin;
    int cursorX, cursorY, xSet, ySet;
    int unitDivisor;
    int resolution;
    int rectWidth, rectHeight, fillId;
    DWORD logicalOp;
    int compression;
    int rasterWidth, rasterHeight;
    int destWidth, destHeight;
    int anchorX, anchorY, frameWidth, frameHeight;
    PclPalette *palettes;          // growing array
    int paletteCount;
    int selectedPaletteId;
    int selectedPalette;           // index into palettes, -1 when none is selected
    int paletteControlId;
    unsigned char composed[3];
    int hasColour;                 // 0: black
    COLORREF colour;
    int rasterActive, clearSeedRow, rasterSeen;
    int transparentCount;
    int fontId;
    DrawState hpgl;
    // Per page: raster row counter and byte offset, one raster warning per page.
    int rasterRow, rasterOffset;
    int rasterWarningShown, xAdjustShown;
    int rowDirty;                  // bytes of the row buffer written since it was last cleared
    PclStream stream;
    HWND progress;
    int lastPercent;
    HDC dc;                        // the canvas DC
    CanvasBits canvas;             // the canvas bits (written directly under the default operation)
    int clipped;                   // an HP-GL/2 clip region is selected
};
// The current character code (ESC * c # E); lasts beyond a page like the soft fonts.
extern int gPclCharacterCode;
// Draws count bytes as characters at the cursor with the current soft font (glyph painter);
// returns the bytes consumed (a two-byte code counts two).
int DrawPclText(PclRenderState *state, const unsigned char *bytes, int count);
// Renders the stream range [start, end) of data onto a fresh canvas. Stops at the first form feed
// (stopOut = the position after it, or end). landscape non-zero turns the page by 90 degrees.
// When fieldPainter is given it runs on the canvas DC after the rotation. Returns the page
// bitmap (caller owns it), or null when the range holds no form feed.
typedef void (*PclFieldPainterProc)(HDC dc, HBITMAP bitmap, void *context);
extern unsigned int gPclLastStop;   // where the last rendering stopped (as stopOut)
HBITMAP RenderPclRange(const unsigned char *data, unsigned int start, unsigned int end, int landscape,
                       HWND progress, PclFieldPainterProc fieldPainter, void *context, unsigned int *stopOut);
// Pieces of the interpreter (one file each): raster transfers (ESC * b # W; advances the stream
// past the data), one 1-bit row onto the canvas, the rectangle fill (ESC * c # P), the glyph of
// a character code at the cursor (1 when a glyph was drawn).
void TransferRasterData(PclRenderState *s, int value);
void DrawRasterRow(PclRenderState *s, const unsigned char *row, int bytes, int y);
int CanDrawDirect(const PclRenderState *s);
void FillPclRectangle(PclRenderState *s, int fillType);
// The 8 x 8 look of a shading percentage 3..81 (bit 1 = black, first pixel in the high bit, row y
// of the page uses entry y & 7); null for the solid levels.
const unsigned char *GetPclShadePattern(int percent);
int DrawPclGlyph(PclRenderState *s, int code);
// Stores soft-font data of ESC ( s # W (character) or ESC ) s # W (header) from the stream.
void DownloadPclCharacter(PclRenderState *s, const unsigned char *data, unsigned int length);
void DownloadPclFontHeader(PclRenderState *s, const unsigned char *data, unsigned int length);
// 1 when a page key names a landscape form ("Form 3800.3" ... "Schedule R (Form 943).").
int IsLandscapePageKey(const char *pageKey);
// A form page's image record (image-source 219: the page-bitmap record; else the
// page-definition record): with buffer null its decoded length; else fills buffer (bufferSize
// bytes, length + 1 recommended; a zero follows the data when it fits) and returns the bytes
// written. Served from the page-data cache only when it holds this record of this page's FormPak.
// 0 when the FormPak cannot be read.
uint32_t ReadPageImageData(uint8_t *buffer, uint32_t bufferSize, FormInstance *page);
// Renders a form page's PCL stream: the part [imageStart, imageEnd) (as record offsets) of the
// page-definition record (recordLength decoded bytes), turned when its page key names a landscape
// form (which sets the page's landscape flag), with its fields painted (DrawFieldData). progress:
// a progress bar (PBM_SETPOS, one message per percent) or null. The bitmap is the caller's.
HBITMAP RenderPclPage(const uint8_t *record, uint32_t recordLength, FormInstance *page, HWND progress);

// ---- printing ----
// List reports (a list view printed or rendered as report pages), the print job of the return's
// pages, statements and status pages, the print dialogs and their page groups.

// List reports: at most this many page bitmaps are kept when a report is rendered to bitmaps.
#define LIST_REPORT_MAX_BITMAPS 13
// The five fonts of a report.
enum { LIST_FONT_ROWS = 0, LIST_FONT_TITLE, LIST_FONT_SUBTITLE, LIST_FONT_HEADS, LIST_FONT_FOOTER,
       LIST_FONT_COUNT };
// One item of the summary line drawn under its column after the last row.
struct ListSummaryItem {
    int column;
    const char *text;
};
// A list report: filled by the dialog that prints its list (InitListPrintJob sets the defaults),
// completed by PrintListReport.
struct ListPrintJob {
    HWND listView;                  // the list whose rows are printed
    HWND header;                    // its header control (column count, texts, alignment)
    HBITMAP *pageBitmaps;           // LIST_REPORT_MAX_BITMAPS slots, filled when rendering to bitmaps
    const char *title;              // main title line, also the progress caption
    const char *subtitle;           // second title line (may be null)
    const ListSummaryItem *summaryItems;
    int summaryCount;
    int autoSizeColumns;            // size every column to its contents first
    int titleBlock;                 // draw the title block on the first page
    int titleArtwork;               // vector artwork at the left of the title block
    int artworkId;                  // its resource id
    int titleFill, titleDoubleFrame, titleShadow;
    COLORREF titleTextColour, titleFillColour;
    int headsFlag;                  // draw the column heads band on every page
    int headFill, headFrame;
    COLORREF headTextColour, headFillColour;
    int footerFlag, footerFill, footerFrame;
    COLORREF footerTextColour, footerFillColour;
    int centre;                     // centre the table on the page
    int indent;                     // computed: left indent of the centred table
    int clip;                       // bands stop at the printable width
    int maxCellText;                // longest cell text read (0 = 260 characters)
    int singleLine;                 // cells end in an ellipsis on one line instead of wrapping
    float leftMargin, topMargin;    // inches
    int landscape;                  // print across the long side
    int rowLines;                   // a thin rule under each row (default 1)
    SYSTEMTIME printTime;           // local time taken when printing starts (footer)
    // Computed device geometry (device units).
    int pageWidth, pageHeight, marginX, marginY, printableWidth, printableHeight;
    float scaleX, scaleY;           // device pixels per screen pixel
    double artScaleX, artScaleY;    // device dots per inch / 600
    int fontDpi;                    // dots per inch of font heights (the device's, 300 for bitmaps)
    int rotated;                    // 1 when the output is turned (landscape job on a portrait page)
    int spaceX4, spaceX20, spaceY20, spaceY10, spaceY6, spaceY2;
    int fontPoints[LIST_FONT_COUNT];        // rows, title, subtitle, heads, footer
    HFONT fonts[LIST_FONT_COUNT];           // created while printing
    char fontFaces[LIST_FONT_COUNT][32];
    float shrink;                   // computed: column shrink factor (1 when the table fits)
    int pagesProduced;              // computed: pages of the last run
    int failed;                     // computed: 1 when the printer refused a page
};
// One column of a report page.
struct ListReportColumn {
    int listWidth;                  // width in the list (screen pixels)
    int width;                      // width on the page (device units)
    UINT align;                     // DT_LEFT, DT_CENTER or DT_RIGHT
    char head[64];
};
// Defaults of a job for listView (its header, the fonts, colours and margins).
void InitListPrintJob(ListPrintJob *job, HWND listView);
// Prints the job onto printerDc (inside a document the caller started: StartPage and EndPage per
// page) or, with printerDc null, renders it into the job's bitmap slots (4-bit page bitmaps; the
// first LIST_REPORT_MAX_BITMAPS pages are kept, the caller owns them). stamp draws the outlined
// "For Your Records" / "DO NOT MAIL" stamps. Returns the number of pages produced (0 when the
// printer refused a page: job->failed is then 1).
int PrintListReport(HWND owner, HDC printerDc, ListPrintJob *job, int stamp);
// Column layout: page widths = list widths x job->scaleX, alignment and heads as given; when the
// widths exceed the printable width they shrink by (printable x 100 / total, whole) / 100, and a
// factor below 0.45 becomes 0.44 when scaleX <= 1. job->indent is set for a centred table.
// Returns the shrink factor (1 when the table fits).
float LayoutListColumns(ListPrintJob *job, ListReportColumn *columns, int count);
// Device geometry of the job for printerDc, or for bitmaps (printerDc null; bitmapWidth and
// bitmapHeight 0 = the page canvas size); screenDpiX/Y = the screen's dots per inch.
void SetListReportGeometry(ListPrintJob *job, HDC printerDc, int bitmapWidth, int bitmapHeight,
                           int screenDpiX, int screenDpiY);
// The footer's date and time: "mm/dd/yyyy  hh:mm:ss a.m." on the 12-hour clock (0:xx is 12 a.m.,
// 12:xx is 12 p.m.). Returns the length, 0 when out is too small.
int FormatListReportTime(const SYSTEMTIME *time, char *out, int outSize);
// 1 when a row of rowHeight starting at top is drawn on this page (three quarters of it lie
// above bottom).
int ListRowFitsOnPage(int top, int rowHeight, int bottom);

// Print stamps: "For Your Records" (Arial bold 56 points) centred in the upper half of the page,
// "DO NOT MAIL" (72 points) in the lower half, grey, transparent; outlined = drawn as a path with
// a grey pen. On the printer page when printerDc is given, else on the bitmap (300 dpi). 1 = drawn.
int DrawPrintStamps(HDC printerDc, HBITMAP bitmap, int outlined);
// The same on any DC of a page width x height at dpi dots per inch.
int DrawPrintStampsOnDc(HDC dc, int width, int height, int dpi, int outlined);
// 1 when a page with this key takes stamps (a missing key and the signed or filed-as-is pages:
// Summary, Status, payment, 8453, 8879, amended forms ... do not).
int TakesPrintStamps(const char *pageKey);
// 0 for the Minnesota pages that keep their own output font, else 1.
int AllowsMnOutputFont(const FormInstance *page);

// Print dialog with page groups. Control ids of the "PRINTDLGEX" template (the lower part of the
// general page) and of the program's own general page (used where the platform's PrintDlgEx is
// a stub).
#define IDC_PRINT_ALL          1056   // radio " &All" (or the single item's name)
#define IDC_PRINT_GROUP        1057   // radio beside the page-group combo box
#define IDC_PRINT_CURRENT      1058   // radio " C&urrent Page"
#define IDC_PRINT_PAGES        1059   // radio " Pa&ges:"
#define IDC_PRINT_PAGES_EDIT   1152
#define IDC_PRINT_COPIES       1153
#define IDC_PRINT_COLLATE      1040
#define IDC_PRINT_GROUP_COMBO  1477
#define IDC_PRINT_RANGE_BOX    1072
#define IDC_PRINT_COPIES_BOX   1073
#define IDC_PRINT_COPIES_LABEL 1090
#define IDC_PRINT_COLLATE_ICON 1084
#define IDC_PRINT_PRINTER      1139   // own general page: printer combo box
#define IDC_PRINT_PRINTER_INFO 1138   // own general page: the printer's port and comment
#define IDC_PRINT_OPTIONS      2110   // own general page: the "PRINTDLGEX" child dialog
// Caption of the "PRINTDLGEX" template: it only shows where a platform dialog (wrongly) uses the
// template as a whole dialog, which is how the stub is recognised.
#define PRINTDLGEX_TEMPLATE_CAPTION "Levyline Print Options"

// The print dialog's callback object (the platform's IPrintDialogCallback), with the page-group
// combo box of the "PRINTDLGEX" template. Reference counts are kept but never delete the object:
// it lives on the caller's stack for one dialog.
class CPrintDialogEx : public IUnknown {
public:
    class CPrintDialogCallback : public IPrintDialogCallback {
    public:
        CPrintDialogCallback(const char *groupList, const char *caption);
        STDMETHOD(QueryInterface)(REFIID iid, void **out);
        STDMETHOD_(ULONG, AddRef)();
        STDMETHOD_(ULONG, Release)();
        STDMETHOD(InitDone)();
        STDMETHOD(SelectionChange)();
        STDMETHOD(HandleMessage)(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, LRESULT *result);
        int chosenGroup;            // combo box selection when the dialog closed
        const char *caption;        // name of the single tree item printed, or null
        LONG references;
        HWND dialog;                // the template's dialog (kept on WM_INITDIALOG)
        const char *groupList;      // ';'-separated page-group names (owned by the caller), or null
    };
    CPrintDialogEx(HWND owner, const char *groupList, const char *caption);
    STDMETHOD(QueryInterface)(REFIID iid, void **out);
    STDMETHOD_(ULONG, AddRef)();
    STDMETHOD_(ULONG, Release)();
    LONG references;
    HWND owner;
    CPrintDialogCallback *callback;        // points to callbackObject
    CPrintDialogCallback callbackObject;
};

// 1 when the platform's PrintDlgExA is the stub that runs the classic dialog with the template
// as the whole dialog (found out once per process by a probe that lets no window appear).
int IsPrintDlgExStub(HWND owner);
// The program's own general page in place of such a stub: printer, page range and copies with
// the record's template as its lower part, calling the record's IPrintDialogCallback as the
// platform does; fills hDC (PD_RETURNDC), hDevMode, hDevNames, Flags (range choice, collate),
// the page ranges, nCopies and dwResultAction. Returns S_OK, or E_INVALIDARG / E_HANDLE for a
// bad record, E_FAIL when no printer is installed.
HRESULT ShowOwnPrintDialogEx(PRINTDLGEXA *record);
// PrintDlgExA of the platform (looked up at run time), or the program's own page where that is
// the stub. E_NOTIMPL when the platform has no PrintDlgExA.
HRESULT RunPrintDialogEx(PRINTDLGEXA *record);
// Parses a page-range text ("3-5, 7") into at most maxRanges ranges within minPage..maxPage.
// Returns the number of ranges, 0 for an empty text, -1 for a bad text or a page outside.
int ParsePageRangeText(const char *text, PRINTPAGERANGE *ranges, int maxRanges, int minPage, int maxPage);

// The print job's state: 1 once the print dialog returned a printer, 0 again on Cancel (the
// progress dialog) or a refusal; gPrintProgressDialog is the modeless "PRINTABORT" dialog.
extern int gPrintJobActive;
extern HWND gPrintProgressDialog;
// The default printer: with buffer, its name is copied (*size = the buffer's size on entry, the
// length with its terminator on return); without, *size = the length with its terminator.
// Returns 0 when no default printer is defined (or the buffer is too small).
int GetDefaultPrinterName(char *buffer, DWORD *size);
// Scales an image into a page keeping its proportions (the smaller of the two ratios, rounded,
// at most the page) and centres it. Returns 0 for empty sizes.
int FitImageToPage(int imageWidth, int imageHeight, int pageWidth, int pageHeight, int *x, int *y, int *width,
                   int *height);
// Where a band (rectangle of the image) lands in the fitted image on the page.
int FitBandToPage(int imageWidth, int imageHeight, int pageWidth, int pageHeight, const RECT *band, RECT *out);
// Sends the page bitmap to the printer page, scaled and centred (in ten bands on banding
// devices). Returns 1.
int PrintBitmapOnPage(HDC printerDc, HBITMAP bitmap);
// StartPage, the caption ('&' doubled) and progress text into the progress dialog, the bitmap,
// EndPage. 1 when both calls succeeded.
int PrintPageStartEnd(HDC printerDc, HBITMAP bitmap, const char *caption, const char *progress);
// Caption (static 1226, '&' doubled) and progress text (static 1036) of the progress dialog;
// either may be null.
void SetPrintProgressTexts(const char *caption, const char *progress);
// Removes and dispatches the thread's pending messages (the progress dialog's first) so the
// windows paint and Cancel is seen; returns gPrintJobActive.
int PumpPrintMessages(void);
BOOL CALLBACK PrintAbortProc(HDC printerDc, int error);
// "PRINTABORT": creation parameter 1 printing, 2 PDF output (no Cancel button).
INT_PTR CALLBACK PrintAbortDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Hook of the classic "PRINTDLG" template: centres the dialog on its parent.
UINT_PTR CALLBACK PrintDlgHookProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Page groups of the print dialog: one row per group, ended by a row with an empty name.
#define PRINT_GROUP_ROWS        7
#define PRINT_GROUP_FOLDER      16   // a folder of the forms tree
#define PRINT_GROUP_PSEUDO_PAGE 99   // the Summary or the Status page
struct PrintPageGroup {
    char name[64];
    int queryMode;          // page query used without a tree item (0: none)
    int kind;               // PRINT_GROUP_*
    char key[64];           // key of that query
    HTREEITEM item;         // the folder or page item
    int included;           // 1 when offered in the dialog
    int index;              // its index in the combo box, -1 when not offered
};
// Fills rows (PRINT_GROUP_ROWS) from the forms tree: "Federal return", "State return 1", "Other
// return", "Withholding forms" (folders holding pages, offered under their tree text without the
// page count), "Summary page", "Status page". *groupListOut (may be null) = a MemAlloc text of the
// offered names joined by ';' (null when none). Returns the number offered.
int BuildPrintPageGroups(PrintPageGroup *rows, char **groupListOut);
// The dialog's answer as an owned MemAlloc array of pages (*pagesOut, *countOut): a tree item
// given (the forms tree's menu) prints that item's page (a folder: its pages) whatever the range;
// "current page" the page shown (none shown: no pages); the selection the chosen group's pages
// (the classic dialog: the page shown); page numbers the return's pages in those ranges (tree
// order, Summary and Status not counted); otherwise the Summary page, the Status page and all
// pages. Flags and ranges come from whichever record is given. Returns the count (0: none).
int CollectPagesToPrint(const PRINTDLGEXA *recordEx, const PRINTDLGA *record, const PrintPageGroup *rows,
                        int chosenGroup, FormInstance ***pagesOut, int *countOut, HTREEITEM treeItem);
// Runs the print dialog for record with the page groups (mode 1) or the single item's caption,
// and on "print" fills the page list (mode 1) or sets *countOut to 1 (modes 2 and 3). Returns the
// dialog's result.
HRESULT ShowPrintDialogEx(PRINTDLGEXA *record, FormInstance ***pagesOut, int *countOut, int mode,
                          HTREEITEM treeItem);

// The print job. mode 1: the return's pages (treeItem: only that item, from the forms tree's
// menu; stamp: printed copies are stamped where the page takes stamps); mode 2: the list report
// job (stamp: stamped report pages); mode 3: one "Tax Return Status" page per return of the
// null-terminated entries. Returns 1 when the job ran to its end (the dialog was confirmed, not
// cancelled, and the printer took every page), else 0 after its message.
struct BatchStatusEntry;
int PrintForms(HWND owner, ListPrintJob *job, HTREEITEM treeItem, int mode, int stamp, BatchStatusEntry **entries);
// Prints the pages, each on its own printer page (progress texts, Minnesota output flags).
// 0 when the printer refused a page or the job was cancelled.
int PrintReturnPages(HDC printerDc, FormInstance *const *pages, int count, int forPrint);
// One "Tax Return Status" page per run of entries sharing a return identity. 1 when any printed.
int PrintReturnStatusPages(HDC printerDc, BatchStatusEntry *const *entries);
// 1 (after "Unable to Print ...") when a page of the list is an amended form of the "Print and
// Scan Forms" group whose return part is not accepted; else 0.
int CheckAmendedPagesPrintable(FormInstance *const *pages, int count);
// The same for the pages at positions first..last of the return, or (0, 0) the page shown.
int CheckAmendedFormsPrintable(int first, int last);
// The main window's handler of IDM_PRINT (lParam: the tree item from the forms tree's menu).
LRESULT PrintCommandHandler(HWND window, UINT message, WPARAM wParam, LPARAM lParam, int *handled);

// ---- field painting ----
// Field values painted as text over page images: the data font, the alignment of each field
// type, the shrink loop that fits a text into its rectangle, signatures, check boxes, shading.

// Output flags: set by printing and PDF writing around each page (the page's jurisdiction code
// and whether a Minnesota page takes the output font), read by field painting and page images.
extern int gPrintInProgress;
extern int gPdfInProgress;
extern int gPrintPageJurisdiction;
extern int gPdfPageJurisdiction;
extern int gMnOutputFontAllowed;

// Fit modes and background modes of TextDrawParams.
#define TEXT_FIT_SHRINK        0   // one line; the font shrinks (down to height 30) until it fits
#define TEXT_FIT_CLIP          1   // one line clipped to the rectangle, no shrinking
#define TEXT_FIT_WRAP          2   // word-wrapped lines
#define TEXT_BACK_TRANSPARENT  1
#define TEXT_BACK_OPAQUE       2
// One text to draw in a rectangle (thirteen 32-bit words).
struct TextDrawParams {
    int alignment;         // 5..14: the reference point and text alignment (paint_text.cpp)
    int inset;             // horizontal inset (16-bit), added to the left edge, taken from the right
    COLORREF textColour;
    COLORREF backColour;
    char *text;            // 8-bit text (may be null)
    const wchar_t *wideText; // used only when text is null
    RECT *rect;
    int backMode;          // TEXT_BACK_*
    int fitMode;           // TEXT_FIT_*; rewritten by the call (wide text: wrap; shrunk below 31: clip)
    int boxed;             // the text shows only inside the box drawn around the rectangle's centre
    int widthOnly;         // the fit test ignores the height
    int noBottomMargin;    // bottom-line alignments use margin 0 instead of 2
    int measureOnce;       // wrap mode: measure once, do not shrink
};
static_assert(sizeof(TextDrawParams) == 52, "TextDrawParams is thirteen words");
// Draws params' text into params->rect of dc; logFont is shrunk by the call (callers set its
// height again for each text); metrics (may be null) receives the final font's TEXTMETRIC.
// Returns 1 when something was drawn, 0 without a text.
int DrawTextInRect(HDC dc, TextDrawParams *params, LOGFONTA *logFont, TEXTMETRICA *metrics);
// Draws the text cut at spanEnd in colour, then the text cut at spanStart in the params' colour
// over it; the caller's text is left cut at spanStart.
int DrawTextSpanInColor(HDC dc, TextDrawParams *params, LOGFONTA *logFont, COLORREF colour, int spanStart,
                        int spanEnd);

// The field text colour: registry "TxtColor" (year key), 0xC00000 when missing; outQuad (may be
// null) receives it as blue, green, red, 0.
COLORREF GetFieldTextColor(RGBQUAD *outQuad);
// The registry value "DataFont" (year key) as an integer: 0 Arial, 1 Courier New, 2 Times New
// Roman, other numbers the platform's default face. 0 when missing.
int GetDataFontSetting(void);
// 1 while printing or writing a PDF of a Minnesota page that takes the bold Courier New output
// font (page: the page being painted; null = the page the output flags name).
int IsMnOutputPage(const FormInstance *page);
// The font of field values for a page (height 50): the "DataFont" face, the Minnesota output font,
// italic for pages of an earlier tax year.
void BuildDataFont(LOGFONTA *font, const FormInstance *page);
// 1 for the reverse-video types: 'T' with 'x' or 'w' as fourth character, "S[sig]", "Cb...".
int IsTaggedFieldType(const char *type);
// The alignment code of a field's value by its type letter and length; *widthOnly (may be null)
// receives the width-only flag of one-character check marks and 'P' parts.
int GetFieldAlignment(const FieldRecord *field, int *widthOnly);
// Removes, in place, the separators a Minnesota output page does not print for the field's kind.
void CleanMnOutputValue(const FieldRecord *field, char *value);
// The index of field in the page's field table, -1 when it is not one of its records.
int GetPageFieldIndex(const FormInstance *page, const FieldRecord *field);
// Paints count consecutive fields: into dc, or (dc null) into bitmap. rect (may be null)
// replaces every field's rectangle. clearFirst clears each field's area first (tagged fields get
// their saved background back). colourMode 1 black, 2 white, else the field text colour. page is
// the page being painted (its fields' table, jurisdiction and tax year decide the page rules;
// may be null). Returns the number of values drawn.
int DrawFieldData(HDC dc, HBITMAP bitmap, FieldRecord *fields, int count, const RECT *rect, COLORREF backColour,
                  int clearFirst, int colourMode, const FormInstance *page);
// Each pixel of rect ANDed with colour (white becomes the colour, black stays), or with opaque
// the rectangle filled with it.
int TintFieldArea(HDC dc, const RECT *rect, COLORREF colour, int opaque);
// The enclosed interior of the box drawn in rect (not reached by surface fills from the middles
// of the edges and the corners, without the black border) ANDed with colour.
int ShadeBoxInterior(HDC dc, const RECT *rect, COLORREF colour, const RGBQUAD *colourTable);
// The same interior made white (clears a check mark before it is drawn again).
int ClearBoxInterior(HDC dc, const RECT *rect);
// 1 when image (imageLength bytes) is a sound signature block: "qvbb" header, sizes within the
// block, a finite scale above 0 (at most SIGNATURE_MAX_SCALE) and offsets within the page range.
#define SIGNATURE_MAX_SCALE 16.0f
int ReadSignatureImage(const void *image, uint32_t imageLength, float *scaleOut, int *xOut, int *yOut);
// Draws a stored signature image: the field's saved background at rect's corner (0, 0 without a
// rect), the signature scaled and ANDed at the corner plus its offsets; invert turns the
// rectangle to reverse video. 0 (nothing drawn) for a block that is not sound.
int DrawSignatureImage(HDC dc, const RECT *rect, const void *image, uint32_t imageLength, int invert);
// The page view's shaded fields: for each field with a rectangle a block is made from the page
// bitmap (check boxes shaded inside, tagged fields tinted, others filled with the shading colour,
// calculated, label, button and return-type 'T[.0' fields white), its value painted, resampled
// by zoom and composited onto the view bitmap (the scaled page). The view rectangle, moved by
// (offsetX, offsetY), is invalidated in view when invalidate is set. drawEmpty paints empty
// fields at page size too. shadeColour is the page's field shading (white while gViewOnly).
// Returns the number of fields composited.
int DrawActiveFieldAt(FieldRecord *fields, int count, HBITMAP pageBitmap, HBITMAP viewBitmap, float zoom,
                      COLORREF shadeColour, int offsetX, int offsetY, HWND view, int invalidate, int drawEmpty,
                      const FormInstance *page);
// The same for the page shown: zoom gZoom, the page's shading colour (GetFieldShadeColor), the
// view rectangle moved by (toX - fromX, toY - fromY) (margin less scroll) and invalidated in the
// page view window.
int DrawActiveField(FieldRecord *fields, int count, HBITMAP pageBitmap, HBITMAP viewBitmap, int fromX, int toX,
                    int fromY, int toY, int reserved, int invalidate, int drawEmpty);

// ---- page image generation ----
// The finished image of one page: source (PCL, compressed BMP, generated page), field values,
// reverse-video tagged fields, the Minnesota stamp, print stamps and landscape rotation; and the
// saved field backgrounds of the page last built from a BMP.

// A 1-bit bitmap as a block ("qvbb"); also the layout of stored signature images.
#define FIELD_CLIP_MAGIC "qvbb"
#define FIELD_CLIP_SLOTS 3
#define FIELD_CLIP_MAX_SIDE 8192
struct FieldClip {
    char magic[4];          // "qvbb"
    uint32_t type;          // 0; in a signature image the drawing scale as a 32-bit float
    int32_t width;
    int32_t height;
    int32_t rowBytes;       // 16-bit aligned
    int32_t fieldIndex;     // index in the page's FieldTable
    uint32_t unused;        // in a signature image: x, y offsets as signed 16-bit values
    uint32_t size;          // rowBytes x height; the rows follow
};
static_assert(sizeof(FieldClip) == 32, "FieldClip header is 32 bytes");
// The saved backgrounds of the tagged fields of the page last built from a BMP.
extern FieldClip *gFieldClips[FIELD_CLIP_SLOTS];
// A block from a 1-bit DIB section (null for a null or other bitmap). MemFree it.
FieldClip *SaveFieldClip(HBITMAP bitmap, int fieldIndex);
// The block of the field's rectangle of the page bitmap (not selected in a DC), or null.
FieldClip *SaveFieldBackground(HBITMAP pageBitmap, const FieldTable *table, int fieldIndex);
// 1 when block (length bytes) is a sound "qvbb" block.
int IsValidClipBlock(const void *block, uint32_t length);
// A new 1-bit bitmap of the block (white first, then its rows), or null.
HBITMAP CreateBitmapFromClip(const FieldClip *clip);
// The slot holding the field index, or null; its rebuilt bitmap, or null.
FieldClip *FindFieldClip(int fieldIndex);
HBITMAP CreateBitmapForFieldClip(int fieldIndex);
// Draws the saved background of the field at rect's top-left corner; 0 when none is saved.
int RestoreFieldBackground(HDC dc, const RECT *rect, int fieldIndex);
// Frees the three slots (each left null).
void FreeFieldClips(void);
// Exchanges the slots with saved[] (output of another page keeps the clips of the page shown).
void SwapFieldClips(FieldClip *saved[FIELD_CLIP_SLOTS]);
// Appends to list (listSize bytes, zero-ended) the comma-separated indexes of the fields with a
// rectangle whose type is exactly "T[1x]", "T[2x]", "T[1w]", "T[2w]" or "S[sig]", while they fit.
// Returns 1 when one was added.
int CollectTaggedFields(const FieldTable *table, char *list, int listSize);
// A DIB section from the bytes of a BMP file (BITMAPFILEHEADER, BITMAPINFOHEADER, colour table
// for 8 bits or fewer, uncompressed rows): offsets, sizes and depth are checked against length;
// null for anything else.
HBITMAP CreateBitmapFromBmpFile(const uint8_t *data, uint32_t length);
// The page's image from the decoded page-bitmap record (recordLength bytes; the page's block is
// record[imageStart - bmpOffset .. imageEnd - bmpOffset], an "_rvq" compressed BMP): the bitmap
// with the tagged fields' backgrounds saved into the clip slots (first three) and all fields
// painted (backgrounds cleared first). Null when the block is out of range, does not expand or is
// no sound BMP. The caller owns the bitmap.
HBITMAP BuildPageImageFromBmp(const uint8_t *record, uint32_t recordLength, FormInstance *page);
// Reverse video: the first field of each tagged type with a rectangle gets its value painted in
// black (a signature field its signature image) and its rectangle inverted; into dc or (dc
// null) into bitmap. Returns the number of tagged fields found.
int InvertTaggedFields(HDC dc, HBITMAP bitmap, FormInstance *page);
// Scales the content up by extraWidth x extraHeight pixels, keeping the bitmap's size (the part
// pushed past the right and bottom edges is cut). dc: the DC holding bitmap, or null.
int StretchPageContent(HDC dc, HBITMAP bitmap, int extraWidth, int extraHeight);
// The Minnesota form-number stamp box of a page key, and (Schedule M1LTI.1) the band whitened
// beside it (empty for the others).
void GetMinnesotaStampBox(const char *pageKey, RECT *box, RECT *whiteBand);
// The Minnesota output treatment: stamp box whitened and "1029" drawn, light shading colours
// of the colour table made white, tagged fields inverted, content stretched by 17 rows.
int ApplyMinnesotaStamp(HBITMAP image, FormInstance *page);
// Steps after the source of a page image: field values (form pages), the Minnesota treatment,
// print stamps (forPrint and a page that takes them), reverse video, landscape rotation.
// Returns the finished image (it may be a new bitmap: the one passed is then deleted).
HBITMAP FinishPageImage(HBITMAP image, FormInstance *page, int forPrint);
// The finished image of one page for printing and PDF output (caller deletes it), or null: the
// page shown (copied, when no output runs), the Summary or Status page, or a form page read from
// its FormPak (PCL or compressed BMP; another image-source code shows "Form-image generation
// source not determined. Research. [RAVOVIVE-only]"); then FinishPageImage. The saved field
// backgrounds of the page shown are kept while another page is built.
HBITMAP GeneratePageImage(FormInstance *page, int forPrint);
// The page view while no return is open, composed off-screen at the page view's client size
// (rect's size when there is no page view) and copied into rect of dc (erase: rect whitened
// first): the logo, a page picture and the three hint lines. Returns 1 when drawn.
int DrawEmptyPageHint(HDC dc, const RECT *rect, int erase);
// The end of the hint's second line for the view mode (split view, tabs above, tabs below).
const char *GetEmptyPageHintListText(void);

// ---- page view ----
// The page view window (class "PVClass"): the page shown at the zoom, scrolled and clicked;
// page loading; field colours and redraw. All of it runs on the user-interface thread; the
// recompute worker reaches it only through WM_PAGE_REDRAWFIELD sent across threads.

#define PAGE_VIEW_CLASS "PVClass"
#define PAGE_VIEW_CONTROL_ID 1020
// gPageViewFlags
#define PAGE_VIEW_ZOOMED   1   // rebuild the scaled bitmap, keep the scroll position in proportion
#define PAGE_VIEW_NEWPAGE  2   // rebuild it and scroll to the top left
#define PAGE_VIEW_RESIZED  4   // the client size changed: margins again before the next paint
#define PAGE_VIEW_LINE_X   5   // scroll line steps in pixels
#define PAGE_VIEW_LINE_Y   25

// lParam of WM_OPEN_STATEMENT with wParam 1 (84 bytes): the statement grid's parameter block
// as the page view fills it.
struct PageStatementBlock {
    FieldRecord *field;         // the statement's field (the record named by the clicked field)
    FieldRecord *summaryField;  // the page field clicked
    uint32_t fieldIndex;
    char *caption;
    char *importData;
    uint32_t importInvalid;
    uint16_t kind;              // 1 clicked, 2 entered with Tab / Shift+Tab
    uint16_t result;
    uint32_t direction;         // 0 forward, 1 backward
    uint32_t exportShown;
    uint32_t importMarks;
    uint32_t navigated;
    int32_t placeX, placeY;     // the field's top-left in page-view client pixels
    uint32_t showTotal;         // 1 for an "S[t" field
    uint32_t outputTarget, outputArg1, outputArg2, outputResult;
    uint32_t invalidCount;
    HWND owner;
    FormInstance *page;         // the page shown
};
static_assert(sizeof(PageStatementBlock) == 84, "the page view's statement block is 84 bytes");

// The parameter block of the "MultiField" popup as the page view fills it.
struct MultiFieldParams {
    uint32_t groupKind;         // 0 numbered list ('c', "S[m"), 1 name or address ("S[c")
    FieldRecord *field;
    FieldTable *fields;
    uint32_t fieldIndex;
    char *caption;              // tree caption (", Copy %d" added for copies)
    uint32_t firstField;        // IsFirstEditableField: no previous field
    uint16_t kind;              // 1 clicked, 2 entered with Tab / Shift+Tab
    uint16_t result;            // out: 2 the user tabbed out
    uint32_t direction;         // out: 0 forward, 1 backward
    uint32_t wrapLeaves;        // 1: Tab past the first or last member leaves the popup
    int32_t placeX, placeY;     // the field's top-left in page-view client pixels
};

// Globals of the page view (the window itself is gPageViewWindow, shell/shell.h).
extern HBITMAP gPageBitmap;        // the full-size page (300 dpi); 1 x 1 one-bit while empty
extern HBITMAP gScaledPageBitmap;  // the page scaled to gZoom; 0 when none
extern float gZoom;                // page units to screen pixels; 0.3 at start
extern float gLastPaintZoom;       // the zoom of the last rebuild
extern int gPageScrollX, gPageScrollY;       // scroll position in scaled pixels
extern int gPageScrollMaxX, gPageScrollMaxY; // largest scroll positions, never below 0
extern int gPageMarginX, gPageMarginY;       // offset of the scaled page in the client area
extern uint16_t gPageViewFlags;              // PAGE_VIEW_*
extern int gPageShown;             // 1 while a page is loaded
extern int gPageButtonDown;        // a left press in the view awaits its release
extern struct EditRequest gEditRequest; // the page view's request to the edit bar (entry/entry.h)

// Window.
HWND CreatePageView(HWND parent);
LRESULT CALLBACK PageViewWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The page shown: 1 its tree item, 2 its page key, 3 its FieldTable, 4 its FormInstance; 0 for
// another kind or no page.
void *GetCurrentDocument(int kind);
void SetCurrentDocument(HTREEITEM treeItem);
// The record with that sequence number in records (or, when null, the table's own), else 0.
FieldRecord *FindFieldRecord(const char *sequenceText, FieldTable *fieldTable, FieldRecord *records);
// The first field of the page shown whose rectangle holds the page point; its index in outIndex.
FieldRecord *FindFieldAtPoint(POINT pagePoint, int *outIndex);
// The same over a given table (no window needed).
FieldRecord *FindFieldInTable(const FieldTable *table, POINT pagePoint, int *outIndex);
// What a click on the field opens: 0 edit bar, 1 explanation, 2 statement group, 3 and 4
// multi-field popup, 5 and 6 statement, 7 attachment, 8 signature, 9 nothing.
int GetFieldKind(const FieldRecord *field);
int OpenEditBar(HWND pageView, struct EditRequest *request);
int ScrollRectIntoView(HWND window, const RECT *rect, int dx, int dy);
int IsFirstEditableField(const FieldTable *fieldTable, int index);
// The field that Tab (direction 0) or Shift+Tab (1) reaches from index: the tab links followed
// past fields without a rectangle and the kinds the walk passes over. The walk ends after as
// many steps as the table has fields, at a link out of range and back at its start. -1: none.
int FindNextTabField(const FieldTable *table, int index, int direction);
// The amended copy of a sent return: its file name ("_amended" before the extension, else with
// a two-digit counter; 0 when none is free or fits), and the send state it clears.
int MakeAmendedPathName(const char *path, char *out, int outSize);
void ClearReturnSendState(OpenReturn *record);

// Geometry of the view (32-bit float as the page view computes it).
int ScalePageLength(int length, float zoom);               // trunc(length x zoom), at least 1
int PageToClient(int pageCoord, float zoom, int scroll, int margin);
int ClientToPage(unsigned clientCoord, int margin, int scroll, float zoom);
void ComputePageMargins(int clientWidth, int clientHeight, int scaledWidth, int scaledHeight,
                        int *marginX, int *marginY);
// Scroll positions after a zoom change from last to zoom (hScrollHeight: SM_CYHSCROLL).
void AdjustScrollForZoom(float zoom, float last, int clientWidth, int clientHeight, int scaledWidth,
                         int scaledHeight, int hScrollHeight, int *scrollX, int *scrollY);
// Where a paint copies the scaled page: 1 with the destination rectangle and source point, 0
// when the source point lies outside the scaled bitmap.
int ComputePaintCopy(const RECT *paint, int marginX, int marginY, int scrollX, int scrollY,
                     int scaledWidth, int scaledHeight, RECT *dest, POINT *source);
// The grey strips of the client area that the page does not cover; returns their number (0..4).
int ComputeMarginStrips(int clientWidth, int clientHeight, int marginX, int marginY, int scrollX,
                        int scrollY, int scaledWidth, int scaledHeight, RECT strips[4]);
// The field's rectangle in client pixels of the page view.
void GetFieldClientRect(const RECT *pageRect, RECT *out);

// The message of a click on a calculated field from ExplainFieldFormula's text and out-values
// (calc/calc.h): a MemAlloc text and the stretch of it to mark (*markStart -1 for none).
struct FormulaExplainInfo;
char *BuildSourceExplanation(const FieldRecord *field, const char *sources, const struct FormulaExplainInfo *info,
                             int *markStart, int *markLength);
// Its title ("Line %s - description" ...).
int BuildSourceExplanationTitle(const FieldRecord *field, char *out, int outSize);

// Page loading.
void LoadPageImage(HTREEITEM treeItem, OpenReturn *returnRecord);
void ClearPageView(void);
int FindPageContentRows(HDC dc, const BITMAP *bitmapInfo, RECT *outRect);
int IsPixelRowWhite(HDC dc, int width, int row, int margin);
// Stand-in for the Summary and Status page renderer: a white page of the form-page size.
// forPrint: a new bitmap (the caller deletes it); else gPageBitmap is whitened, null returned.
HBITMAP RenderSummaryPage(HWND progressBar, OpenReturn *returnRecord, int mode, int forPrint);

// Field colours and redraw.
// (GetFieldTextColor: field painting above.)
COLORREF GetFieldShadeColor(HDC dc, HBITMAP bitmap);
// The colour that shading code 1 takes from a colour table (CLR_INVALID when none qualifies).
COLORREF PickPageShadeColor(const RGBQUAD *table, int count, COLORREF textColor);
int RedrawField(FieldRecord *field);
int RedrawAllFields(void);

// Hooks to parts built elsewhere; each is called when set (a click whose editor is not set
// stops there). Their owners set them at start-up.
// The "Explain" dialog for one field ({4, field, page key}); its result (non-zero: saved).
extern INT_PTR (*gOpenExplainDialogProc)(HWND owner, FieldRecord *field, const char *pageKey);
// The "MultiField" popup (parent the page view); its result.
extern INT_PTR (*gOpenMultiFieldDialogProc)(HWND parent, MultiFieldParams *params);
// The "SigCapture" dialog for the field; stores a new signature in the field; 1 after OK.
extern INT_PTR (*gOpenSigCaptureDialogProc)(HWND owner, FieldRecord *field, int fieldIndex);
// The click on an attachment field ("S[pdf]").
extern int (*gAttachFileClickProc)(HWND pageView, FieldRecord *field, FieldTable *table, int fieldIndex);
extern int (*gAttachPdfToFieldProc)(FieldRecord *field, FieldRecord *partner, FieldRecord *folderField,
                                    const char *path);
extern int (*gShowEfileInfoSheetProc)(HWND owner, int page);            // ShowEfileInfoSheet
// Field buttons of a page.
extern int (*gDestroyPageButtonsProc)(FieldButtonSlot *slots, int count, HWND tooltipWindow);
extern int (*gPositionFieldButtonsProc)(HWND pageView, FormInstance *form, int scrollX, int marginX,
                                        int scrollY, int marginY, int zoomChanged);
// WM_DRAWITEM and WM_COMMAND of the field buttons (return value of the message).
extern LRESULT (*gFieldButtonMessageProc)(HWND pageView, UINT message, WPARAM wParam, LPARAM lParam);
// Fills the taxpayer items of a page (PropagateFormHeaderName).
extern int (*gPropagateFormHeaderNameProc)(FieldTable *fieldTable, OpenReturn *returnRecord,
                                           FormInstance *formInstance, int firstIndex, int redraw);

#include "pages/page_status.h"
#include "pages/listreport_footer.h"

#endif // LEVYLINE_PAGES_H
