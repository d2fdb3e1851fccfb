// Vector artwork: the program's outlines (resources of type "VOF") laid out from a layer table and
// drawn as filled or outlined GDI paths into a 16-colour bitmap, then scaled.
#include "canvas/canvas.h"
#include <string.h>

#define VECTOR_MAX_POINTS 16384

// The standard VGA colours as the artwork's palette lists them (COLORREF).
static const COLORREF kArtPalette[16] = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
};

// The default table with the extended layers; without the extended option the fourth entry
// ends it.
static const VectorArtLayer kDefaultLayers[9] = {
    {413, 0x000080, 1, 0, 0, 0, 0},
    {VECTOR_BLANK, 0, 0, 0, 0, 80, 0},
    {414, 0x800000, 1, 0, 0, 0, 0},
    {VECTOR_BLANK, 0, 0, 0, 0, 80, 0},
    {417, 0x800000, 0, 2, 25, 0, 0},
    {415, 0x800000, 0, 2, 25, 0, 0},
    {417, 0x800000, 0, 3, 25, 0, 0},
    {419, 0x800000, 0, 3, 25, 0, 0},
    {0, 0, 0, 0, 0, 0, 0},
};

int LoadVectorOutline(int resourceId, POINT **pointsOut, BYTE **typesOut, int *countOut)
{
    *pointsOut = NULL;
    *typesOut = NULL;
    *countOut = 0;
    HMODULE module = GetModuleHandleA(NULL);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(resourceId), "VOF");
    if (!found) return 0;
    DWORD size = SizeofResource(module, found);
    HGLOBAL handle = LoadResource(module, found);
    const unsigned char *data = handle ? (const unsigned char *)LockResource(handle) : NULL;
    if (!data || size < 4) return 0;
    uint32_t n;
    memcpy(&n, data, 4);
    // Only as many points as the resource really holds.
    uint32_t fits = (size - 4) / 5;
    if (n > fits) n = fits;
    if (n > VECTOR_MAX_POINTS) n = VECTOR_MAX_POINTS;
    POINT *points = (POINT *)MemAlloc(64, (size_t)(n ? n : 1) * sizeof(POINT));
    BYTE *types = (BYTE *)MemAlloc(64, n ? n : 1);
    if (!points || !types) {
        MemFree(points);
        MemFree(types);
        return 0;
    }
    for (uint32_t i = 0; i < n; i++) {
        int16_t xy[2];
        memcpy(xy, data + 4 + 4 * i, 4);
        points[i].x = xy[0];
        points[i].y = xy[1];
    }
    memcpy(types, data + 4 + 4 * n, n);
    *pointsOut = points;
    *typesOut = types;
    *countOut = (int)n;
    return 1;
}

int DrawVectorSegments(HDC dc, POINT *points, const BYTE *types, int count, int dx, int dy)
{
    for (int i = 0; i < count; i++) {
        points[i].x += dx;
        points[i].y += dy;
    }
    POINT start = {0, 0};
    int i = 0;
    while (i < count) {
        BYTE t = types[i];
        if (t == 6) {
            MoveToEx(dc, points[i].x, points[i].y, NULL);
            start = points[i];
            i++;
        } else if (t == 2) {
            LineTo(dc, points[i].x, points[i].y);
            i++;
        } else if (t == 3) {
            LineTo(dc, points[i].x, points[i].y);
            LineTo(dc, start.x, start.y);
            i++;
        } else if (t == 4) {
            // A run of Bezier points, ended by a closing one (included) or another type.
            int first = i, closing = 0;
            while (i < count && types[i] == 4) i++;
            if (i < count && types[i] == 5) {
                closing = 1;
                i++;
            }
            int n = i - first;
            int usable = n - n % 3;
            if (usable > 0) PolyBezierTo(dc, points + first, usable);
            POINT last = points[i - 1];
            if (closing && (last.x != start.x || last.y != start.y)) LineTo(dc, start.x, start.y);
        } else {
            i++;   // a lone closing point or an unknown type: passed over
        }
    }
    for (int k = 0; k < count; k++) {
        points[k].x -= dx;
        points[k].y -= dy;
    }
    return 1;
}

// One filled (path) or outlined drawing of an outline in a pen and brush colour.
static void DrawOutline(HDC dc, POINT *points, const BYTE *types, int count, int x, int y, COLORREF penColour,
                        int penWidth, COLORREF brushColour, int filled)
{
    HPEN pen = CreatePen(PS_SOLID, penWidth, penColour);
    HBRUSH brush = CreateSolidBrush(brushColour);
    HGDIOBJ oldPen = SelectObject(dc, pen), oldBrush = SelectObject(dc, brush);
    if (filled) {
        BeginPath(dc);
        DrawVectorSegments(dc, points, types, count, x, y);
        EndPath(dc);
        StrokeAndFillPath(dc);
    } else {
        DrawVectorSegments(dc, points, types, count, x, y);
    }
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(pen);
    DeleteObject(brush);
}

HBITMAP DrawVectorArt(double scaleX, double scaleY, int stacked, int extended, int shadowOffset, int penWidth,
                      COLORREF background, const VectorArtLayer *layers, int layersSize)
{
    // 1. The table (a copy: the layout writes the extents into it).
    VectorArtLayer table[VECTOR_MAX_LAYERS + 1];
    int entries = 0;
    if (layers && layersSize > 0) {
        entries = layersSize / (int)sizeof(VectorArtLayer);
        if (entries > VECTOR_MAX_LAYERS) entries = VECTOR_MAX_LAYERS;
        memcpy(table, layers, entries * sizeof(VectorArtLayer));
    } else {
        entries = 9;
        memcpy(table, kDefaultLayers, sizeof kDefaultLayers);
        if (!extended) table[3].resourceId = 0;
    }
    int count = 0;
    while (count < entries && table[count].resourceId != 0) count++;
    if (stacked) {
        for (int i = 0; i < count; i++) {
            if (table[i].resourceId == VECTOR_BLANK) {
                table[i].resourceId = VECTOR_LINE_BREAK;
                table[i].width = 0;
                table[i].height = VECTOR_LINE_HEIGHT;
                break;
            }
        }
    }
    POINT *points[VECTOR_MAX_LAYERS] = {};
    BYTE *types[VECTOR_MAX_LAYERS] = {};
    int pointCounts[VECTOR_MAX_LAYERS] = {};
    HBITMAP result = NULL;
    int anyShadow = 0;
    for (int i = 0; i < count; i++) {
        VectorArtLayer &layer = table[i];
        if (layer.shadow) anyShadow = 1;
        if (layer.resourceId == VECTOR_BLANK) {
            if (layer.width < 80) layer.width = 80;
            continue;
        }
        if (layer.resourceId == VECTOR_LINE_BREAK) {
            layer.height = VECTOR_LINE_HEIGHT;
            continue;
        }
        if (!LoadVectorOutline(layer.resourceId, &points[i], &types[i], &pointCounts[i])) goto done;
        for (int k = 0; k < pointCounts[i]; k++) {
            if (points[i][k].x > 0 && (uint32_t)points[i][k].x > layer.width) layer.width = points[i][k].x;
            if (points[i][k].y > 0 && (uint32_t)points[i][k].y > layer.height) layer.height = points[i][k].y;
        }
    }
    {
        // 2. Lines: widths and spacings summed per line, the tallest entry gives the height.
        long long total = 0, widest = 0, allHeight = 0, stackHeight = 0, lineWidth = 0, lineHeight = 0;
        int line = 0;
        for (int i = 0; i <= count; i++) {
            if (i == count || table[i].resourceId == VECTOR_LINE_BREAK) {
                long long indented = 90LL * line + lineWidth;
                if (indented > widest) widest = indented;
                stackHeight += lineHeight;
                if (i == count) break;
                line++;
                lineWidth = 0;
                lineHeight = table[i].height;
                continue;
            }
            long long w = (long long)table[i].width + table[i].spacing;
            lineWidth += w;
            total += w;
            if (table[i].height > lineHeight) lineHeight = table[i].height;
            if (table[i].height > allHeight) allHeight = table[i].height;
        }
        long long width = stacked ? widest : total;
        long long height = stacked ? stackHeight : allHeight;
        if (anyShadow) {
            width += shadowOffset;
            height += shadowOffset;
        }
        width += 25;
        height += 20;
        if (width > 32767 || height > 32767) goto done;

        // 3. A 4-bit bitmap with the VGA colours (the background takes grey's place when it is
        // not one of them), white, then the background flooded over the white surface.
        RGBQUAD palette[16];
        int backgroundListed = 0;
        for (int k = 0; k < 16; k++) {
            COLORREF c = kArtPalette[k];
            palette[k].rgbRed = GetRValue(c);
            palette[k].rgbGreen = GetGValue(c);
            palette[k].rgbBlue = GetBValue(c);
            palette[k].rgbReserved = 0;
            if (c == (background & 0xFFFFFF)) backgroundListed = 1;
        }
        if (!backgroundListed) {
            palette[8].rgbRed = GetRValue(background);
            palette[8].rgbGreen = GetGValue(background);
            palette[8].rgbBlue = GetBValue(background);
        }
        HBITMAP art = CreateDibBitmap((int)width, (int)height, 4, WHITENESS, NULL, palette);
        if (!art) goto done;
        HDC dc = CreateCompatibleDC(NULL);
        HGDIOBJ oldBitmap = SelectObject(dc, art);
        if ((background & 0xFFFFFF) != 0xFFFFFF) {
            HBRUSH brush = CreateSolidBrush(background);
            HGDIOBJ old = SelectObject(dc, brush);
            ExtFloodFill(dc, 0, 0, RGB(255, 255, 255), FLOODFILLSURFACE);
            SelectObject(dc, old);
            DeleteObject(brush);
        }
        SetPolyFillMode(dc, ALTERNATE);

        // 4. The entries, left to right, line by line.
        int x = 0, y = 10, breaks = 0;
        for (int i = 0; i < count; i++) {
            VectorArtLayer &layer = table[i];
            if (layer.resourceId == VECTOR_BLANK) {
                x += 80;
                continue;
            }
            if (layer.resourceId == VECTOR_LINE_BREAK) {
                breaks++;
                y = VECTOR_LINE_HEIGHT * breaks;
                x = 90 * breaks;
                continue;
            }
            int ly = layer.resourceId == 696 ? y + 41 : y;
            if (layer.shadow && layer.style != 2)
                DrawOutline(dc, points[i], types[i], pointCounts[i], x + shadowOffset, ly + shadowOffset, 0x808080, 1,
                            0x808080, 1);
            if (layer.style == 2)
                DrawOutline(dc, points[i], types[i], pointCounts[i], x, ly, layer.colour, penWidth, layer.colour, 0);
            else
                DrawOutline(dc, points[i], types[i], pointCounts[i], x, ly, layer.colour, (layer.style & 2) ? penWidth : 1,
                            layer.colour, 1);
            x += (int)(layer.spacing + layer.width);
        }
        SelectObject(dc, oldBitmap);
        DeleteDC(dc);

        // 5. Scaled to the caller's size.
        int outW = (int)(width * scaleX + 0.5), outH = (int)(height * scaleY + 0.5);
        result = ResizeBitmap(art, outW, outH);
        DeleteObject(art);
    }
done:
    for (int i = 0; i < VECTOR_MAX_LAYERS; i++) {
        MemFree(points[i]);
        MemFree(types[i]);
    }
    return result;
}
