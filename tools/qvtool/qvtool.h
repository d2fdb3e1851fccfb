// qvtool.h - the FormPak and return-file tool: shared declarations of its source files.
#ifndef LEVYLINE_QVTOOL_H
#define LEVYLINE_QVTOOL_H

#include "store/store.h"

#include <string>
#include <vector>

// Reports an error on stderr (prefixed "qvtool: ") and returns 0.
int ToolError(const char *format, ...);
// A Unix path ("/work/x") as the Windows path Wine maps it to ("Z:\work\x"); other paths as
// given, with '/' turned into '\'.
std::string ToWindowsPath(const std::string &path);
// Joins a relative path to a folder (absolute paths are kept).
std::string ResolvePath(const std::string &folder, const std::string &path);
// The whole file; 0 when it cannot be read.
int LoadFileBytes(const std::string &path, std::vector<uint8_t> *out);

// qvtool dump FILE [-f]
int RunDump(const char *path, int withFields);
// qvtool build DESCRIPTION OUTPUT [FORMPAK-FOLDER]
int RunBuild(const char *description, const char *output, const char *formPakFolder);

// Rectangles of a PDF's fillable fields from qpdf's JSON
// (qpdf --json=2 --json-key=acroform --json-key=qpdf FILE).
struct PdfFieldIndex;
PdfFieldIndex *LoadPdfFieldIndex(const std::string &jsonPath);
void FreePdfFieldIndex(PdfFieldIndex *index);
// Finds the field named name (its full name, or its full name ending in "." + name) and gives
// its page (1-based) and rectangle in page units (300 dpi, the program's 2400 x 3168 page).
// A comb text field (one character per box) gives its number of boxes in *combBoxesOut, other
// fields 0 (both outputs may be null). Returns 1, or 0 with a message when it is missing or ambiguous.
int FindPdfField(PdfFieldIndex *index, const char *name, int *pageOut, RECT *rectOut, int *isCheckBoxOut,
                 int *combBoxesOut);

// A BMP file as the "_rvq" compressed block of a bitmap page. With crop, a 2550 x 3300 letter
// page at 300 dpi is cut to the program's page (x 75, y 0, 2400 x 3168).
int MakeBitmapPageBlock(const std::string &path, int crop, std::vector<uint8_t> *block);

// Fits each field rectangle of a page inside its cell of the blank page (image: the page's PCL
// stream or "_rvq" BMP block by source; flags: PAGE_FLAG_*): the sides move in off the cell's
// frame, and a cell divided inside keeps its largest clear part. A comb field (combBoxes[i], the
// PDF's box count, equal to the field's length) whose boxes are clear inside keeps the whole row
// and is marked a comb (group label COMB_GROUP_LABEL). A field whose boxes come in groups
// (boxGroups[i], "3-2-4") keeps the whole row over all its groups and is marked with their
// counts and dividers ("[comb 3@132 2@222 4]"). A field with no clear cell is reported and kept.
// 0 when the page cannot be drawn, or a comb's groups are missing or not found on the page.
int FitFieldsInsideCells(const char *pageName, int pageNumber, int source, int flags,
                         const std::vector<uint8_t> &image, std::vector<FieldRecord> *fields,
                         const std::vector<int> &combBoxes, const std::vector<std::string> &boxGroups);
// The ink map (1 = not white) of a bitmap, top row first.
int ReadPageInkMap(HBITMAP bitmap, std::vector<uint8_t> *ink, int *width, int *height);
// Moves rect inside its cell of the ink map; 0 (rect unchanged) when no clear cell is found.
int FitRectInsideCell(const std::vector<uint8_t> &ink, int width, int height, RECT *rect);
// Moves rect inside the frame of a row of boxes; 1 when the inside of each of its boxes
// (GetCombBoxRect) is clear, else 0 (rect unchanged).
int FitCombInsideCell(const std::vector<uint8_t> &ink, int width, int height, RECT *rect, int boxes);
// Moves rect inside the frame of a row whose boxes come in groups (counts in groups): 1 when the
// row shows one divider between each two groups and every box is clear inside; *label is then
// the field's group label. Else 0 (rect unchanged).
int FitGroupedCombInsideCell(const std::vector<uint8_t> &ink, int width, int height, RECT *rect,
                             const std::vector<int> &groups, std::string *label);

#endif
