// pcl.h - the PCL page interpreter, HP-GL/2 vector graphics and vector artwork.
// Part of the canvas's public interface: include canvas/canvas.h.
#ifndef LEVYLINE_CANVAS_PCL_H
#define LEVYLINE_CANVAS_PCL_H

#include "canvas/bitmap.h"

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
    int lastPercent;               // the position last sent to the progress bar (-1: none yet)
    LARGE_INTEGER progressTime;    // when rendering started or the position was last sent
    HDC dc;                        // the canvas DC
    CanvasBits canvas;             // the canvas bits (written directly under the default operation)
    int clipped;                   // an HP-GL/2 clip region is selected
    // While only raster rows have drawn (freshRows), a row not yet written (rowWritten[y] 0) is
    // still white and takes its first raster row whole (see pcl_freshrows.cpp).
    int freshRows;
    unsigned char rowWritten[PAGE_CANVAS_HEIGHT];
    // The last PackBits transfer decoded into the row buffer (a transfer with the same bytes at
    // the same offset gives the same row, which is not decoded again).
    const unsigned char *packedData;
    unsigned int packedLength;
    int packedOffset;
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

#endif // LEVYLINE_CANVAS_PCL_H
