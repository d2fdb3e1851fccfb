// The floor of a page: what no interpreter can avoid - a white canvas and the stream's raster
// rows decoded into a row buffer - with nothing drawn. The walk knows only the escape sequences,
// the raster transfers and the data of W records; text and HP-GL/2 bytes are passed over.
#include "tools/pagebench/pagebench.h"
#include "pages/pages.h"

#include <string.h>

HBITMAP RenderPageFloor(const unsigned char *data, unsigned int length, int *rowsOut)
{
    ResetPageCanvas();
    if (!gPageWorkBuffer) return NULL;
    static unsigned char row[PAGE_WORK_BUFFER_SIZE];
    int compression = 0, rows = 0;
    PclEscape records[PCL_MAX_ESCAPE_RECORDS];
    unsigned int pos = 0;
    while (pos < length) {
        if (data[pos] != 27) {
            if (data[pos] == 12) break;   // the page ends at its form feed
            pos++;
            continue;
        }
        unsigned int next;
        int count = ParsePclEscape(data, pos, length, records, &next);
        pos = next > pos ? next : pos + 1;
        for (int i = 0; i < count; i++) {
            const PclEscape &r = records[i];
            if (r.terminator != 'W') {
                if (!strcmp(r.prefix, "*b") && r.terminator == 'M') compression = r.value;
                if (!strcmp(r.prefix, "*r") && r.terminator == 'A') memset(row, 0, sizeof row);
                continue;
            }
            unsigned int n = r.value <= 0 ? 0 : (unsigned)r.value;
            if (n > length - pos) n = length - pos;
            if (!strcmp(r.prefix, "*b")) {
                if (compression == 0) {
                    memset(row, 0, sizeof row);
                    memcpy(row, data + pos, n < sizeof row ? n : sizeof row);
                } else if (compression == 2) {
                    memset(row, 0, sizeof row);
                    DecodePackBits(data + pos, n, row, 0, sizeof row);
                } else if (compression == 3) {
                    ApplyDeltaRow(data + pos, n, row, 0, sizeof row);
                }
                rows++;
            }
            pos += n;
        }
    }
    *rowsOut = rows + (row[0] & 1);   // the rows are used, so the decoding is not optimised away
    RequestSpareCanvas();                 // as the interpreter does when a page is done
    return DetachPageCanvasBitmap();
}
