// bitmap.h - the bitmap toolkit and the page canvas.
// Part of the canvas's public interface: include canvas/canvas.h.
#ifndef LEVYLINE_CANVAS_BITMAP_H
#define LEVYLINE_CANVAS_BITMAP_H

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
// Area average of 24-bit rows (sw x sh) into smaller ones (dw x dh) with the area tables of
// BuildResampleTable. sums: room for dw x 9 unsigned values, or null to allocate it. 1 on success.
int ShrinkPixels24(const unsigned char *src, int sw, int sh, int sstride, unsigned char *dst, int dw, int dh,
                   int dstride, const ResampleStep *tx, const ResampleStep *ty, unsigned *sums);
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
// Draws every pixel of source that is not white onto dest, as TransparentBlt with white
// transparent does, straight on the bits: both must be 4-bit DIB sections of one size, row
// order and colour table. 0 (dest untouched) when they are not.
int DrawNonWhiteOnto4(HBITMAP dest, HBITMAP source);
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
// A button face width x height: the button bitmap, a frame and, with dropDown, the drop-down
// arrow (resource "BTNS_DROPDOWN_BMP", 11/13 of the height) right of the picture; pressed or
// not. A pressed drop-down face sinks its hot part only: the arrow with arrowHot, else the
// picture. whiteBack: the face is white instead of the button colour.
HBITMAP DrawDropdownButton(HBITMAP buttonBitmap, int width, int height, int pressed, int dropDown = 1,
                           int arrowHot = 0, int whiteBack = 0);
// The name of a GDI+ Status value ("Ok" .. "PropertyNotSupported"), else "Unknown".
const char *GetGdiplusStatusText(int status);
// Room for the field text colour (GetFieldTextColor) in the palette of the bitmap in dc, as
// EnsureColorInPalette.
int EnsureTextColorInPalette(HDC dc);
// The content rectangle of bitmap (FindPageContentRows; dc holds the bitmap, or null) copied into
// a new 1-bit bitmap; originOut = its top-left corner. Null when the bitmap has no ink.
HBITMAP CropBitmapToInk(HDC dc, HBITMAP bitmap, POINT *originOut);
// The whole text drawn black on white on one line (weight 700, faceName, font height height, 0
// giving 48) into a 1-bit bitmap cropped to its ink; a text whose ink would exceed size is drawn
// at the largest smaller height that fits (not below TYPED_TEXT_MIN_HEIGHT), never cut.
HBITMAP RenderTextBitmap(const char *text, const SIZE *size, const char *faceName, int height);
#define TYPED_TEXT_MIN_HEIGHT 8

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

#endif // LEVYLINE_CANVAS_BITMAP_H
