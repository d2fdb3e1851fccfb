// canvas.h - public interface of the page canvas: everything that draws a page without a window.
//
// Layering: the canvas sits on the data layers (store, calc, prepare, transmit) and below every
// window layer (pages, print, entry, shell). It holds the bitmap toolkit, the page canvas, the PCL
// and HP-GL/2 interpreters, vector artwork, field painting, the field-background blocks and the
// print stamps. Tools and tests use it on its own; it never includes a window folder.
//
// Several topics live in this one header; each has its own banner section.
#ifndef LEVYLINE_CANVAS_H
#define LEVYLINE_CANVAS_H

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

// Page content scans: the rows and columns holding ink (the content rectangle; white bitmaps give
// 0), and whether one row of a page is white inside its margins.
int FindPageContentRows(HDC dc, const BITMAP *bitmapInfo, RECT *outRect);
int IsPixelRowWhite(HDC dc, int width, int row, int margin);

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

#endif // LEVYLINE_CANVAS_H
