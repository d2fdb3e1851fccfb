// Page road speed: the throttled progress bar of the page interpreter and the byte-wise logical
// operations that write raster rows straight into the canvas bits.
#ifndef LEVYLINE_PAGESPEED_H
#define LEVYLINE_PAGESPEED_H

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

#endif
