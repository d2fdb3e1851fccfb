// Page road speed: the page interpreter's throttled progress bar, raster rows under a logical
// operation and soft-font glyphs written straight into the canvas bits, the spare canvas made by
// a worker thread, and the page view's scaled copy made from a palette page's bits.
#ifndef LEVYLINE_CANVAS_PAGESPEED_H
#define LEVYLINE_CANVAS_PAGESPEED_H

// The progress bar is told a new position only when it has moved PCL_PROGRESS_STEP points and
// PCL_PROGRESS_MS milliseconds have passed since the last one (or since rendering started), and
// once more at the page's end: at most 100 / PCL_PROGRESS_STEP messages a page, none on the
// way for a page that renders faster than the interval.
#define PCL_PROGRESS_STEP 20
#define PCL_PROGRESS_MS 20

// Tells the progress bar of s how far the stream has come (pageEnd: the page is done, the
// position is sent whenever it changed). 1 when a message was sent.
int ReportPclProgress(PclRenderState *s, int pageEnd);

// ResizeBitmap's area average for a 4-bit palette DIB with 16 colours, read from its bits: fills
// the 24-bit top-down rows of dst (dw x dh, dstride bytes a row) as the 24-bit path would. 0 when
// the bitmap is not such a DIB (nothing written).
int ShrinkPaletteBitmap(HBITMAP bitmap, unsigned char *dst, int dw, int dh, int dstride, const ResampleStep *tx,
                        const ResampleStep *ty);

// The table of a raster row under the operation with index byte ropIndex: table[pair][byte] is a
// canvas byte (two 4-bit pixels) after the operation, pair holding the two pixels' source bits
// (high bit: the left pixel; 1 = ink, drawn with inkIndex, 0 with noneIndex), brushIndex the
// brush's index. Returns 1 when pixels without ink keep their value.
int BuildRopRowTable(int ropIndex, int brushIndex, int inkIndex, int noneIndex, unsigned char table[4][256]);
// Applies the table to a canvas row (4-bit pixels) for a 1-bit row of `bytes` bytes (bit 1 =
// ink) over pageBytes bytes of raster (the part beyond `bytes` carries no ink); keepsBlank skips
// the bytes without ink.
void ApplyRopRow(unsigned char *out, const unsigned char *row, int bytes, int pageBytes, const unsigned char table[4][256],
                 int keepsBlank);
// Draws a raster row under s->logicalOp straight into the canvas (as DrawRasterRow's GDI path
// would); 0 when it cannot (a patterned brush, or a colour the canvas table lacks), nothing drawn.
int DrawRasterRowByRop(PclRenderState *s, const unsigned char *row, int bytes, int y);

// Writes a glyph's ink (rows of rowBytes bytes, bit 1 = ink, width x height) at x0, y0 of the
// 4-bit canvas as index 0 or 15, a glyph byte at a time; rows above or below the canvas are
// passed over. 0 (nothing written) for another index or a glyph not wholly inside the canvas's
// width, which the per-pixel writer clips.
int WriteGlyphBytes(const CanvasBits &c, const uint8_t *rows, int rowBytes, int width, int height, int x0, int y0,
                    unsigned char index);

// For each raster byte, the 32-bit AND mask over the four canvas bytes (eight 4-bit pixels) it
// covers that turns its set bits to index 0 (black) and keeps the other pixels; on a white
// canvas it is also the four bytes themselves.
const uint32_t *GetRasterInkMasks(void);
// Writes a 1-bit row (bit 1 = ink, `bytes` bytes, no ink beyond) onto a 4-bit canvas row that is
// still white (out, pageBytes * 4 bytes): the 64-byte lines with ink are written whole (streaming
// stores, the canvas is not read), the rest is left white. 0 (nothing written) when out is not
// 16-byte aligned or pageBytes is not a multiple of 4.
int WriteFreshRasterRow(unsigned char *out, const unsigned char *row, int bytes, int pageBytes);
// Ends the fresh-row writing of a page (before anything else draws on the canvas or the page is
// handed out): later raster rows read the canvas; the streaming stores are fenced.
void FinishFreshRows(PclRenderState *s);

// Whether the page view's scaled copy is a bitmap of the given size (made at the zoom shown).
int IsScaledPageCurrent(HBITMAP scaled, int width, int height);

// A new page canvas bitmap: 2400 x 3168, 4-bit, the canvas colour table, every pixel white.
HBITMAP CreateWhiteCanvasBitmap(void);
// The spare canvas (pcl_spare.cpp): a white canvas bitmap made beforehand by a worker thread, so
// that a page does not wait for 3.8 MB of fresh memory to be mapped and whitened. Take returns
// it (the caller owns it) or null when none is ready; Request has the next one made (after a
// page is rendered). Stop ends the worker thread (it finishes a canvas in hand) and deletes the
// spare; a later Request starts it again.
HBITMAP TakeSpareCanvas(void);
void RequestSpareCanvas(void);
void StopSpareCanvas(void);
// Whether a spare canvas is ready (the benchmark waits for it as a page switch would).
int IsSpareCanvasReady(void);

#endif
