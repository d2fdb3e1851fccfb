// pclstreams.h - builders of PCL page streams for the interpreter's tests, the benchmark and the
// pclgen tool: escape sequences, raster rows, bitmap soft fonts rasterised from a TrueType font
// with GetGlyphOutline, text, fills, palettes and HP-GL/2 sections with Polyline Encoded data.
// Header-only; every function returns or appends to a std::string of stream bytes.
#ifndef LEVYLINE_PCLSTREAMS_H
#define LEVYLINE_PCLSTREAMS_H

#include <windows.h>
#include <stdio.h>
#include <string>
#include <vector>

namespace pclgen {

inline void Esc(std::string &s, const char *sequence)
{
    s += '\x1b';
    s += sequence;
}

// ESC <prefix> <value> <terminator>, e.g. Cmd(s, "*p", 100, 'X').
inline void Cmd(std::string &s, const char *prefix, long value, char terminator)
{
    char buffer[64];
    snprintf(buffer, sizeof buffer, "\x1b%s%ld%c", prefix, value, terminator);
    s += buffer;
}

inline void CursorTo(std::string &s, int x, int y)
{
    Cmd(s, "*p", x, 'x');
    Cmd(s, "*p", y, 'Y');
}

// ESC <prefix> <count> W followed by the data.
inline void DataCmd(std::string &s, const char *prefix, const std::string &data)
{
    Cmd(s, prefix, (long)data.size(), 'W');
    s += data;
}

// PackBits encoding of a row (literal runs and repeats, as TIFF publishes it).
inline std::string PackBits(const std::string &row)
{
    std::string out;
    size_t i = 0, n = row.size();
    while (i < n) {
        size_t run = 1;
        while (i + run < n && run < 128 && row[i + run] == row[i]) run++;
        if (run >= 2) {
            out += (char)(257 - run);
            out += row[i];
            i += run;
            continue;
        }
        size_t start = i, len = 0;
        while (i < n && len < 128) {
            if (i + 1 < n && row[i + 1] == row[i]) break;
            i++;
            len++;
        }
        out += (char)(len - 1);
        out.append(row, start, len);
    }
    return out;
}

// Delta-row encoding of row against seed (both the same length).
inline std::string DeltaRow(const std::string &seed, const std::string &row)
{
    std::string out;
    size_t i = 0, last = 0, n = row.size();
    while (i < n) {
        if (row[i] == seed[i]) {
            i++;
            continue;
        }
        size_t start = i;
        size_t count = 0;
        while (i < n && count < 8 && row[i] != seed[i]) {
            i++;
            count++;
        }
        size_t offset = start - last;
        unsigned char command = (unsigned char)((count - 1) << 5);
        if (offset < 31) {
            out += (char)(command | offset);
        } else {
            out += (char)(command | 31);
            offset -= 31;
            while (offset >= 255) {
                out += (char)255;
                offset -= 255;
            }
            out += (char)offset;
        }
        out.append(row, start, count);
        last = i;
    }
    return out;
}

// A page of raster rows (bit 1 = ink) at (x, y) with the given compression method (0, 2 or 3).
inline void RasterBlock(std::string &s, int x, int y, const std::vector<std::string> &rows, int method)
{
    CursorTo(s, x, y);
    Cmd(s, "*b", method, 'M');
    Esc(s, "*r1A");
    std::string seed(rows.empty() ? 0 : rows[0].size(), '\0');
    for (const std::string &row : rows) {
        if (method == 2) DataCmd(s, "*b", PackBits(row));
        else if (method == 3) {
            if (seed.size() < row.size()) seed.resize(row.size(), '\0');
            DataCmd(s, "*b", DeltaRow(seed.substr(0, row.size()), row));
            seed = row;
        } else DataCmd(s, "*b", row);
    }
    Esc(s, "*rB");
}

// ---- bitmap soft fonts ----

inline void PutBe16(std::string &s, int v)
{
    s += (char)((v >> 8) & 255);
    s += (char)(v & 255);
}

// The 64-byte bitmap font header (ESC ) s 64 W).
inline std::string FontHeader(int height, int pitch)
{
    std::string h;
    PutBe16(h, 64);        // descriptor size
    h += (char)0;          // format
    h += (char)2;          // font type: 8-bit
    PutBe16(h, 0);
    PutBe16(h, height * 3 / 4);   // baseline position
    PutBe16(h, pitch);     // cell width
    PutBe16(h, height);    // cell height
    h += (char)0;          // orientation
    h += (char)1;          // proportional
    PutBe16(h, 277);       // symbol set 8U
    PutBe16(h, pitch * 4); // pitch in quarter dots
    PutBe16(h, height * 4);
    h.resize(64, '\0');
    return h;
}

// The 16-byte character descriptor of a bitmap glyph.
inline std::string CharDescriptor(int left, int top, int width, int height, int deltaQuarterDots)
{
    std::string d;
    d += (char)4;   // format: LaserJet
    d += (char)0;   // continuation
    d += (char)14;  // descriptor size
    d += (char)1;   // class: bitmap
    d += (char)0;   // orientation
    d += (char)0;
    PutBe16(d, left);
    PutBe16(d, top);
    PutBe16(d, width);
    PutBe16(d, height);
    PutBe16(d, deltaQuarterDots);
    return d;
}

// One character download: ESC * c # E then ESC ( s # W with the descriptor and the rows.
inline void CharDownload(std::string &s, int code, int left, int top, int width, int height, int deltaQuarterDots,
                         const std::string &rows)
{
    Cmd(s, "*c", code, 'E');
    DataCmd(s, "(s", CharDescriptor(left, top, width, height, deltaQuarterDots) + rows);
}

// A glyph as the interpreter stores it: rows of (width + 7) / 8 bytes.
struct Glyph {
    int code = 0, left = 0, top = 0, width = 0, height = 0, advance = 0;
    std::string rows;
};

// Rasterises the printable characters 32..126 of a TrueType face at pixelHeight with
// GetGlyphOutline (monochrome), as soft-font glyphs.
inline std::vector<Glyph> RasteriseFont(const char *face, int pixelHeight)
{
    std::vector<Glyph> glyphs;
    HDC dc = CreateCompatibleDC(NULL);
    HFONT font = CreateFontA(-pixelHeight, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, OUT_TT_ONLY_PRECIS,
                             CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, DEFAULT_PITCH, face);
    HGDIOBJ old = SelectObject(dc, font);
    MAT2 identity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};
    for (int code = 32; code < 127; code++) {
        GLYPHMETRICS gm;
        DWORD size = GetGlyphOutlineA(dc, code, GGO_BITMAP, &gm, 0, NULL, &identity);
        Glyph g;
        g.code = code;
        g.advance = gm.gmCellIncX;
        if (size == GDI_ERROR) continue;
        std::vector<unsigned char> buffer(size ? size : 4);
        if (size) GetGlyphOutlineA(dc, code, GGO_BITMAP, &gm, size, buffer.data(), &identity);
        g.left = gm.gmptGlyphOrigin.x;
        g.top = gm.gmptGlyphOrigin.y;
        g.width = size ? (int)gm.gmBlackBoxX : 1;
        g.height = size ? (int)gm.gmBlackBoxY : 1;
        int rowBytes = (g.width + 7) / 8, stride = ((g.width + 31) / 32) * 4;
        for (int y = 0; y < g.height; y++)
            for (int b = 0; b < rowBytes; b++) g.rows += size ? (char)buffer[(size_t)y * stride + b] : '\0';
        glyphs.push_back(g);
    }
    SelectObject(dc, old);
    DeleteObject(font);
    DeleteDC(dc);
    return glyphs;
}

// Font id, header and every glyph's download.
inline void DownloadFont(std::string &s, int fontId, const std::vector<Glyph> &glyphs, int height)
{
    Cmd(s, "*c", fontId, 'D');
    DataCmd(s, ")s", FontHeader(height, height / 2));
    for (const Glyph &g : glyphs) CharDownload(s, g.code, g.left, g.top, g.width, g.height, g.advance * 4, g.rows);
    Cmd(s, "(", fontId, 'X');
}

// ---- HP-GL/2 ----

// One Polyline Encoded number (base 64: non-terminating digits 63.., terminating digits 191..).
inline void PeNumber(std::string &s, long v)
{
    unsigned long u = v < 0 ? (unsigned long)(-v) * 2 + 1 : (unsigned long)v * 2;
    while (u >= 64) {
        s += (char)(63 + (u & 63));
        u >>= 6;
    }
    s += (char)(191 + u);
}

// PE with flags ("<" pen up, "=" absolute, "" relative) and coordinate pairs.
inline void Pe(std::string &s, const char *flags, const std::vector<POINT> &points)
{
    s += "PE";
    s += flags;
    for (const POINT &p : points) {
        PeNumber(s, p.x);
        PeNumber(s, p.y);
    }
    s += ';';
}

// ---- sample pages ----

// A dense text page: the font downloaded, then lines of text filling the page.
inline std::string DenseTextPage(const std::vector<Glyph> &glyphs, int pixelHeight)
{
    std::string s;
    Esc(s, "E");
    DownloadFont(s, 7, glyphs, pixelHeight);
    const char *words = "The quick brown fox jumps over the lazy dog; 1040 Schedule B interest 0123456789 ";
    std::string line;
    while (line.size() < 110) line += words;
    line.resize(110);
    for (int y = 60; y + pixelHeight < 3160; y += pixelHeight + 6) {
        CursorTo(s, 40, y + pixelHeight);
        s += line;
        s += '\r';
    }
    s += '\f';
    return s;
}

// A page of HP-GL/2 drawing: a grid of encoded polylines, filled and outlined polygons, curves,
// rectangles and labels.
inline std::string VectorPage()
{
    std::string s;
    Esc(s, "E");
    CursorTo(s, 0, 0);
    Esc(s, "%1B");
    s += "IN;SP1;PC1,0,0,0;";
    for (int row = 0; row < 30; row++) {
        int y = 100 + row * 100;
        s += "PM0;";
        std::vector<POINT> start = {{100, y}};
        Pe(s, "<=", start);
        std::vector<POINT> zigzag;
        for (int k = 0; k < 40; k++) zigzag.push_back({50, (k & 1) ? -30 : 30});
        Pe(s, "", zigzag);
        s += "EP;";
    }
    for (int i = 0; i < 20; i++) {
        int x = 300 + (i % 5) * 400, y = 400 + (i / 5) * 600;
        char buffer[128];
        snprintf(buffer, sizeof buffer, "PU%d,%d;PM0;", x, y);
        s += buffer;
        std::vector<POINT> star = {{x + 150, y + 300}, {x - 100, y + 110}, {x + 200, y + 110}, {x - 50, y + 300},
                                   {x, y}};
        Pe(s, "=", star);
        s += (i & 1) ? "FP1;" : "FP0;";
        snprintf(buffer, sizeof buffer, "PU%d,%d;PM0;BZ%d,%d,%d,%d,%d,%d;EP;", x, y + 350, x + 80, y + 250, x + 160,
                 y + 450, x + 240, y + 350);
        s += buffer;
        snprintf(buffer, sizeof buffer, "PU%d,%d;RR60,40;", x + 250, y);
        s += buffer;
    }
    s += "SP1;";
    Esc(s, "%0A");
    s += '\f';
    return s;
}

// A page using every feature the interpreter draws: PJL, a soft font, text with CR, transparent
// print, a palette and coloured text, a colour raster, delta-row, PackBits and plain rows, shading
// and hatch fills, a logical operation, and an HP-GL/2 section with encoded polylines, a winding
// fill, a raster fill pattern, a rectangle, a label, a curve and a clip window.
inline std::string FeaturePage()
{
    std::string s;
    Esc(s, "E");
    s += "@PJL SET RESOLUTION=300\r\n";
    Esc(s, "*t300R");
    Cmd(s, "*c", 11, 'D');
    DataCmd(s, ")s", FontHeader(8, 8));
    for (int c = 'a'; c <= 'h'; c++) CharDownload(s, c, 1, 6, 8, 6, 36, std::string("\x3c\x42\x81\x81\x42\x3c", 6));
    CursorTo(s, 100, 100);
    s += "abcdefgh\rabc";
    Esc(s, "&p4X");
    s += "\x1b\r\x80\x05";
    Esc(s, "&p1I");
    Esc(s, "&p6C");
    Esc(s, "&p1S");
    Esc(s, "*v200A*v10B*v10C*v2I");
    Esc(s, "*v2S");
    s += "bad";
    Esc(s, "*r6S");
    Esc(s, "*r3T");
    Esc(s, "*r1A");
    Esc(s, "*b5M");
    DataCmd(s, "*b", std::string("\x00\x00\x03\x12\x34\x56\x02\x00\x02\xfe\x21\x03\x00\x02\x01\x77", 16));
    Esc(s, "*rB");
    RasterBlock(s, 64, 300, {std::string("\xff\x81\x81\xff", 4), std::string("\x18\x18\x18\x18", 4)}, 3);
    RasterBlock(s, 64, 320, {std::string(40, '\xaa'), std::string(40, '\x55')}, 2);
    Esc(s, "*c200a100b45g2P");
    Esc(s, "*c5g3P");
    Esc(s, "*l136O");
    RasterBlock(s, 64, 400, {std::string(10, '\xf0')}, 0);
    Esc(s, "%1B");
    s += "IN;SP1;PC1,0,0,255;PU500,500;PM0;";
    Pe(s, "=", {{600, 500}, {600, 600}, {500, 600}});
    s += "PM1;";
    Pe(s, "", {{10, 10}, {30, 0}, {0, 30}});
    s += "FP1;RF2,8,2,1,0,1,0,1,0,1,0,0,1,0,1,0,1,0,1;FT11,2;PU700,700;RR50,50;LBab\x03";
    s += "PM0;BZ800,800,900,700,1000,800;EP;IW0,0,2000,2000;PU10,10;PM0;";
    Esc(s, "%0A");
    s += '\f';
    return s;
}

} // namespace pclgen

#endif
