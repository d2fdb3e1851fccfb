// Image files read through GDI+ (the flat API): pixels as 24-bit rows, transparent parts on white.
#ifndef LEVYLINE_UI_IMAGEFILE_H
#define LEVYLINE_UI_IMAGEFILE_H

#include <windows.h>

// Composites width pixels of a 32-bit row (blue, green, red, alpha; straight alpha) onto white
// and writes them as 24-bit pixels (blue, green, red) to out.
void CompositeRowOnWhite(const BYTE *argb, BYTE *out, int width);
// Bytes of a 24-bit image of width x height with rows padded to 4 bytes; 0 when either side is
// below 1 or the size does not fit in an int.
int GetImageBufferSize24(int width, int height);

#endif
