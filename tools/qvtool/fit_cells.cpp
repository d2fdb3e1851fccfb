// fit_cells.cpp - places each field's rectangle inside its cell of the blank page: the PDF's
// field rectangles include the cell's frame, and the program whitens a field's rectangle before
// it paints the value, so a rectangle over a frame line would erase that line from every shown
// and printed page.
#include "tools/qvtool/qvtool.h"
#include "pages/pages.h"

#include <numeric>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

// A pixel that is not (nearly) white counts as ink of the form.
static int IsInkPixel(uint32_t rgb)
{
    int r = (rgb >> 16) & 255, g = (rgb >> 8) & 255, b = rgb & 255;
    return r + g + b < 3 * 200;
}

int ReadPageInkMap(HBITMAP bitmap, std::vector<uint8_t> *ink, int *width, int *height)
{
    BITMAP info;
    if (!bitmap || !GetObjectA(bitmap, sizeof info, &info) || info.bmWidth <= 0 || info.bmHeight <= 0)
        return 0;
    int w = info.bmWidth, h = info.bmHeight;
    BITMAPINFO bi;
    memset(&bi, 0, sizeof bi);
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    std::vector<uint32_t> pixels((size_t)w * h);
    HDC dc = CreateCompatibleDC(NULL);
    int rows = GetDIBits(dc, bitmap, 0, (UINT)h, pixels.data(), &bi, DIB_RGB_COLORS);
    DeleteDC(dc);
    if (rows != h)
        return 0;
    ink->resize(pixels.size());
    for (size_t i = 0; i < pixels.size(); i++)
        (*ink)[i] = (uint8_t)IsInkPixel(pixels[i]);
    *width = w;
    *height = h;
    return 1;
}

static long CountInkIn(const std::vector<uint8_t> &ink, int width, const RECT &r)
{
    long n = 0;
    for (long y = r.top; y < r.bottom; y++)
        for (long x = r.left; x < r.right; x++)
            n += ink[(size_t)y * width + x];
    return n;
}

// The largest ink-free rectangle inside r (row by row, the heights of clear columns as a histogram).
static RECT LargestClearRect(const std::vector<uint8_t> &ink, int width, const RECT &r)
{
    RECT best = {r.left, r.top, r.left, r.top};
    long bestArea = 0;
    int w = (int)(r.right - r.left);
    std::vector<int> heights(w + 1, 0), stack;
    for (long y = r.top; y < r.bottom; y++) {
        for (int i = 0; i < w; i++)
            heights[i] = ink[(size_t)y * width + r.left + i] ? 0 : heights[i] + 1;
        heights[w] = 0;
        stack.clear();
        for (int i = 0; i <= w; i++) {
            while (!stack.empty() && heights[stack.back()] >= heights[i]) {
                int h = heights[stack.back()];
                stack.pop_back();
                int left = stack.empty() ? 0 : stack.back() + 1;
                long area = (long)h * (i - left);
                if (area > bestArea) {
                    bestArea = area;
                    best.left = r.left + left;
                    best.right = r.left + i;
                    best.top = y + 1 - h;
                    best.bottom = y + 1;
                }
            }
            stack.push_back(i);
        }
    }
    return best;
}

// Clips rect to the page and moves its sides in off the cell's frame: while an edge line is a
// rule (inked along half its length or more), the side whose line is inked most moves in (a rule
// along one side also touches the ends of the two sides across it). Other ink (dividers, a
// label) is left. 0 when too little of the rectangle is on the page.
static int TrimCellFrame(const std::vector<uint8_t> &ink, int width, int height, RECT *rect)
{
    RECT r = *rect;
    if (r.left < 0) r.left = 0;
    if (r.top < 0) r.top = 0;
    if (r.right > width) r.right = width;
    if (r.bottom > height) r.bottom = height;
    if (r.right - r.left < 2 || r.bottom - r.top < 2)
        return 0;
    while (r.right - r.left > 2 && r.bottom - r.top > 2) {
        RECT edges[4] = {{r.left, r.top, r.left + 1, r.bottom}, {r.right - 1, r.top, r.right, r.bottom},
                         {r.left, r.top, r.right, r.top + 1}, {r.left, r.bottom - 1, r.right, r.bottom}};
        int side = -1;
        double most = 0.5 - 1e-9;
        for (int k = 0; k < 4; k++) {
            long length = k < 2 ? r.bottom - r.top : r.right - r.left;
            double share = (double)CountInkIn(ink, width, edges[k]) / length;
            if (share > most) {
                most = share;
                side = k;
            }
        }
        if (side < 0)
            break;
        if (side == 0) r.left++;
        else if (side == 1) r.right--;
        else if (side == 2) r.top++;
        else r.bottom--;
    }
    *rect = r;
    return 1;
}

int FitRectInsideCell(const std::vector<uint8_t> &ink, int width, int height, RECT *rect)
{
    RECT r = *rect;
    if (!TrimCellFrame(ink, width, height, &r))
        return 0;
    // Ink inside (comb dividers): the largest clear part, when it keeps most of the cell's height.
    if (CountInkIn(ink, width, r)) {
        RECT clear = LargestClearRect(ink, width, r);
        if ((clear.bottom - clear.top) * 2 < r.bottom - r.top || clear.right - clear.left < 8)
            return 0;
        r = clear;
    }
    *rect = r;
    return 1;
}

int FitCombInsideCell(const std::vector<uint8_t> &ink, int width, int height, RECT *rect, int boxes)
{
    RECT r = *rect;
    if (boxes < 2 || !TrimCellFrame(ink, width, height, &r))
        return 0;
    for (int i = 0; i < boxes; i++) {
        RECT box;
        if (!GetCombBoxRect(&r, boxes, i, &box) || box.right - box.left < 8 || CountInkIn(ink, width, box))
            return 0;
    }
    *rect = r;
    return 1;
}

// The middles of the dividers inside rect: runs of columns inked along a third of its height or
// more (the dashes between an SSN's groups), as offsets from its left edge.
static std::vector<long> FindCombDividers(const std::vector<uint8_t> &ink, int width, const RECT &r)
{
    std::vector<long> middles;
    long runStart = -1, height = r.bottom - r.top;
    for (long x = r.left; x <= r.right; x++) {
        RECT column = {x, r.top, x + 1, r.bottom};
        int divider = x < r.right && CountInkIn(ink, width, column) * 3 >= height;
        if (divider && runStart < 0) runStart = x;
        if (!divider && runStart >= 0) {
            middles.push_back((runStart + x - 1) / 2 - r.left);
            runStart = -1;
        }
    }
    return middles;
}

int FitGroupedCombInsideCell(const std::vector<uint8_t> &ink, int width, int height, RECT *rect,
                             const std::vector<int> &groups, std::string *label)
{
    RECT r = *rect;
    if (groups.size() < 2 || groups.size() > COMB_MAX_GROUPS || !TrimCellFrame(ink, width, height, &r))
        return 0;
    std::vector<long> dividers = FindCombDividers(ink, width, r);
    if (dividers.size() != groups.size() - 1)
        return 0;
    std::string text = COMB_GROUP_PREFIX;
    for (size_t g = 0; g < groups.size(); g++) {
        text += std::to_string(groups[g]);
        text += g + 1 < groups.size() ? "@" + std::to_string(dividers[g]) + " " : "]";
    }
    // The painter's own boxes must be clear inside.
    FieldRecord probe;
    memset(&probe, 0, sizeof probe);
    std::string length = std::to_string(std::accumulate(groups.begin(), groups.end(), 0));
    probe.length = (char *)length.c_str();
    probe.groupLabel = (char *)text.c_str();
    CombLayout layout;
    if (!ReadCombLayout(&probe, &layout))
        return 0;
    for (int i = 0; i < layout.boxes; i++) {
        RECT box;
        if (!GetCombLayoutBox(&layout, &r, i, &box) || box.right - box.left < 8 || CountInkIn(ink, width, box))
            return 0;
    }
    *rect = r;
    *label = text;
    return 1;
}

// "3-2-4" as its numbers; empty when it is not such a list.
static std::vector<int> ParseBoxGroups(const std::string &text)
{
    std::vector<int> groups;
    const char *p = text.c_str();
    while (*p) {
        char *end = NULL;
        long n = strtol(p, &end, 10);
        if (end == p || n < 1 || n > 99 || (*end && *end != '-'))
            return std::vector<int>();
        groups.push_back((int)n);
        p = *end ? end + 1 : end;
    }
    return groups;
}

int FitFieldsInsideCells(const char *pageName, int pageNumber, int source, int flags,
                         const std::vector<uint8_t> &image, std::vector<FieldRecord> *fields,
                         const std::vector<int> &combBoxes, const std::vector<std::string> &boxGroups)
{
    HBITMAP page = NULL;
    if (source == IMAGE_SOURCE_BMP) {
        DWORD length = 0;
        uint8_t *file = (uint8_t *)UncompressBlock(image.data(), (DWORD)image.size(), &length);
        if (file)
            page = CreateBitmapFromBmpFile(file, length);
        MemFree(file);
    } else {
        page = RenderPclRange(image.data(), 0, (unsigned)image.size(), (flags & PAGE_FLAG_LANDSCAPE) ? 1 : 0, NULL,
                              NULL, NULL, NULL);
        FreeFormRecords();
    }
    std::vector<uint8_t> ink;
    int width = 0, height = 0;
    int ok = page && ReadPageInkMap(page, &ink, &width, &height);
    if (page)
        DeleteObject(page);
    if (!ok)
        return ToolError("page %s %d: the blank page could not be drawn", pageName, pageNumber);
    for (size_t i = 1; i < fields->size(); i++) {
        FieldRecord &f = (*fields)[i];
        // A comb keeps its whole row (each character is painted inside its own box); one whose
        // boxes are not clear inside (dividers between groups of digits) is fitted as one cell.
        int boxes = i < combBoxes.size() ? combBoxes[i] : 0;
        const char *seq = f.seq ? f.seq : "";
        if (i < boxGroups.size() && !boxGroups[i].empty()) {
            // boxes=3-2-4: the row spans every group; each group's cell lies between the form's
            // dividers.
            std::vector<int> groups = ParseBoxGroups(boxGroups[i]);
            std::string label;
            if (groups.empty() || std::accumulate(groups.begin(), groups.end(), 0) != GetFieldLength(&f) ||
                f.groupLabel || !f.rect)
                return ToolError("page %s %d field %s: boxes=%s must add up to its len, without group=", pageName,
                                 pageNumber, seq, boxGroups[i].c_str());
            if (!FitGroupedCombInsideCell(ink, width, height, f.rect, groups, &label))
                return ToolError("page %s %d field %s: the form shows no %d groups of clear boxes under it", pageName,
                                 pageNumber, seq, (int)groups.size());
            f.groupLabel = (char *)MemAlloc(64, label.size() + 1);
            memcpy(f.groupLabel, label.c_str(), label.size() + 1);
            continue;
        }
        if (f.rect && boxes >= 2 && boxes == GetFieldLength(&f) && !f.groupLabel &&
            FitCombInsideCell(ink, width, height, f.rect, boxes)) {
            f.groupLabel = (char *)MemAlloc(64, sizeof COMB_GROUP_LABEL);
            memcpy(f.groupLabel, COMB_GROUP_LABEL, sizeof COMB_GROUP_LABEL);
            continue;
        }
        // A comb whose even boxes cross the form's lines has its boxes in groups: fitting it as one
        // cell would squeeze the number into the widest group.
        if (f.rect && boxes >= 2 && boxes == GetFieldLength(&f) && !f.groupLabel)
            return ToolError("page %s %d field %s: its %d boxes come in groups: give them with boxes=", pageName,
                             pageNumber, seq, boxes);
        if (f.rect && !FitRectInsideCell(ink, width, height, f.rect))
            fprintf(stderr, "qvtool: page %s %d field %s: no clear cell under its rectangle; it is kept\n", pageName,
                    pageNumber, f.seq ? f.seq : "");
    }
    return 1;
}
