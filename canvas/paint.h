// paint.h - field entry kinds, field painting, field-background blocks and print stamps.
// Part of the canvas's public interface: include canvas/canvas.h.
#ifndef LEVYLINE_CANVAS_PAINT_H
#define LEVYLINE_CANVAS_PAINT_H

#include "canvas/bitmap.h"
#include "calc/calc.h"

// ---- field entry kinds ----
// How one part of a field's type code is entered and painted: its validation kind (ENTRY_KIND_*,
// calc/calc.h) and sub-kind, its entry control, kind icons and the option flags of a bracket
// text. Field painting, the edit bar, the statement grid and the import parser share them.

// Entry control kinds of the edit bar.
#define ENTRY_CONTROL_NONE       0
#define ENTRY_CONTROL_EDIT       1    // single edit 1098
#define ENTRY_CONTROL_LIST       2    // drop-down list 1101
#define ENTRY_CONTROL_DATE       3    // date boxes
#define ENTRY_CONTROL_NUMBER     4    // number edit
#define ENTRY_CONTROL_SSN        5    // SSN boxes 3-2-4
#define ENTRY_CONTROL_EIN        6    // EIN boxes 2-7
#define ENTRY_CONTROL_PHONE      7    // phone boxes "(" 3 ")" 3 "-" 4
#define ENTRY_CONTROL_NAME2      9    // first and last name
#define ENTRY_CONTROL_NAME3      10   // first name, middle initial, last name
// The type letter of a part whose letter byte is 1 (a PIN-like digit entry).
#define TYPE_LETTER_CODE1        '\x01'

// Resolves one part of a field's type code. kind and subkind are inputs too: a kind already set
// (by ParseTaxpayerFieldType or ParsePTypeCode) is kept where the letter keeps it. 'T' and 'P'
// parts are resolved to the letter of the item they stand for (an SSN item as 'N' of length 9, a
// name as 'A', a state as 's' ...). icons receive up to three bitmap resource ids (0 = none);
// listLetter is the letter of a lettered '^' list item ('F', 'M', 'L') or 0. Every output may be
// null. Returns 1 when the part's letter is known, 0 when it is not (outputs then: control 0,
// no icons, kind unchanged).
int GetFieldEntryKind(const FieldRecord *field, const FieldFormatPart *part, int *kind, int *subkind,
                      int icons[3], int *controlKind, char listLetter);
// The letter a part is entered and checked as: its own letter, or for 'T' and 'P' parts the
// letter of the item they stand for (0 for an unknown item). *kindOut (may be null) receives the
// kind GetFieldEntryKind gives the part when no kind is set beforehand.
char GetPartEntryLetter(const FieldRecord *field, const FieldFormatPart *part, int *kindOut);
// Option flags of a bracket text: 1 for an empty (or null) text, else the sum of 1 (no '-'),
// 2 ('m'), 4 ('p'), 8 ('.'), 16 ('c'), 32 ('w'). For state parts they are the STATE_GROUP_* flags.
int GetTypeOptionFlags(const char *text);
// ---- field painting ----
// Field values painted as text over page images: the data font, the alignment of each field
// type, the shrink loop that fits a text into its rectangle, signatures, check boxes, shading.

// Output flags: set by printing and PDF writing around each page (the page's jurisdiction code
// and whether a Minnesota page takes the output font), read by field painting and page images.
extern int gPrintInProgress;
extern int gPdfInProgress;
extern int gPrintPageJurisdiction;
extern int gPdfPageJurisdiction;
extern int gMnOutputFontAllowed;

// Fit modes and background modes of TextDrawParams.
#define TEXT_FIT_SHRINK        0   // one line; the font shrinks (down to height 30) until it fits
#define TEXT_FIT_CLIP          1   // one line clipped to the rectangle, no shrinking
#define TEXT_FIT_WRAP          2   // word-wrapped lines
#define TEXT_BACK_TRANSPARENT  1
#define TEXT_BACK_OPAQUE       2
// One text to draw in a rectangle (thirteen 32-bit words).
struct TextDrawParams {
    int alignment;         // 5..14: the reference point and text alignment (paint_text.cpp)
    int inset;             // horizontal inset (16-bit), added to the left edge, taken from the right
    COLORREF textColour;
    COLORREF backColour;
    char *text;            // 8-bit text (may be null)
    const wchar_t *wideText; // used only when text is null
    RECT *rect;
    int backMode;          // TEXT_BACK_*
    int fitMode;           // TEXT_FIT_*; rewritten by the call (wide text: wrap; shrunk below 31: clip)
    int boxed;             // the text shows only inside the box drawn around the rectangle's centre
    int widthOnly;         // the fit test ignores the height
    int noBottomMargin;    // bottom-line alignments use margin 0 instead of 2
    int measureOnce;       // wrap mode: measure once, do not shrink
};
static_assert(sizeof(TextDrawParams) == 52, "TextDrawParams is thirteen words");
// Draws params' text into params->rect of dc; logFont is shrunk by the call (callers set its
// height again for each text); metrics (may be null) receives the final font's TEXTMETRIC.
// Returns 1 when something was drawn, 0 without a text.
int DrawTextInRect(HDC dc, TextDrawParams *params, LOGFONTA *logFont, TEXTMETRICA *metrics);
// Draws the text cut at spanEnd in colour, then the text cut at spanStart in the params' colour
// over it; the caller's text is left cut at spanStart.
int DrawTextSpanInColor(HDC dc, TextDrawParams *params, LOGFONTA *logFont, COLORREF colour, int spanStart,
                        int spanEnd);

// The field text colour: registry "TxtColor" (year key), 0xC00000 when missing; outQuad (may be
// null) receives it as blue, green, red, 0.
COLORREF GetFieldTextColor(RGBQUAD *outQuad);
// The registry value "DataFont" (year key) as an integer: 0 Arial, 1 Courier New, 2 Times New
// Roman, other numbers the platform's default face. 0 when missing.
int GetDataFontSetting(void);
// While held (hold 1, released by hold 0; holds nest), the two settings above are read from the
// registry once for the calling thread and kept: a pass over a page's fields paints each field
// on its own, and each read is three round trips to the server.
void HoldFieldPaintSettings(int hold);
// 1 while printing or writing a PDF of a Minnesota page that takes the bold Courier New output
// font (page: the page being painted; null = the page the output flags name).
int IsMnOutputPage(const FormInstance *page);
// The font of field values for a page (height 50): the "DataFont" face, the Minnesota output font,
// italic for pages of an earlier tax year.
void BuildDataFont(LOGFONTA *font, const FormInstance *page);
// 1 for the reverse-video types: 'T' with 'x' or 'w' as fourth character, "S[sig]", "Cb...".
int IsTaggedFieldType(const char *type);
// The alignment code of a field's value by its type letter and length; *widthOnly (may be null)
// receives the width-only flag of one-character check marks and 'P' parts.
int GetFieldAlignment(const FieldRecord *field, int *widthOnly);
// Removes, in place, the separators a Minnesota output page does not print for the field's kind.
void CleanMnOutputValue(const FieldRecord *field, char *value);
// The index of field in the page's field table, -1 when it is not one of its records.
int GetPageFieldIndex(const FormInstance *page, const FieldRecord *field);
// Comb fields: one character per box of a row of boxes the form draws (a routing number, a PIN).
// Such a field's group label is COMB_GROUP_LABEL, its length the number of boxes and its
// rectangle the whole row inside the outer frame; the form's dividers lie where the boxes meet.
#define COMB_GROUP_LABEL "[comb]"
// A comb whose boxes come in groups (an SSN's 3-2-4) has the label "[comb 3@132 2@222 4]": 3
// boxes from the rectangle's left edge to the divider whose middle lies 132 units right of that
// edge, 2 boxes on to the divider at 222, 4 boxes on to the right edge. Each group's cell is
// divided evenly; the counts add up to the field's length.
#define COMB_GROUP_PREFIX "[comb "
#define COMB_MAX_GROUPS 8
struct CombLayout {
    int boxes;                       // all boxes of the row
    int groups;                      // 1 for an evenly divided row
    int count[COMB_MAX_GROUPS];      // boxes of each group
    long divider[COMB_MAX_GROUPS];   // the divider after each group but the last: offset from the left edge
};
// Reads a comb field's boxes from its group label and length; 0 (and boxes 0) for any other
// field, a label that does not add up, or a length claiming more boxes than the field's
// rectangle holds at one unit a box (its value is painted as one text).
int ReadCombLayout(const FieldRecord *field, CombLayout *layout);
// The number of boxes of a comb field (its length, at least 2); 0 for any other field.
int GetCombBoxCount(const FieldRecord *field);
// The clear inside of box index (from 0) of count boxes dividing rect evenly: the box less a
// margin of a sixth of a box (at least 3 units) on each side that meets another box, where the
// divider is drawn. 0 when index is out of range or the box is empty.
int GetCombBoxRect(const RECT *rect, int count, int index, RECT *box);
// The clear inside of box index of a comb laid out over rect: its group's cell divided as
// GetCombBoxRect divides a row, with the same margin on a side that meets a group's divider.
int GetCombLayoutBox(const CombLayout *layout, const RECT *rect, int index, RECT *box);
// Paints count consecutive fields: into dc, or (dc null) into bitmap. rect (may be null)
// replaces every field's rectangle. clearFirst clears each field's area first (tagged fields get
// their saved background back). colourMode 1 black, 2 white, else the field text colour. page is
// the page being painted (its fields' table, jurisdiction and tax year decide the page rules;
// may be null). Returns the number of values drawn.
int DrawFieldData(HDC dc, HBITMAP bitmap, FieldRecord *fields, int count, const RECT *rect, COLORREF backColour,
                  int clearFirst, int colourMode, const FormInstance *page);
// Each pixel of rect ANDed with colour (white becomes the colour, black stays), or with opaque
// the rectangle filled with it.
int TintFieldArea(HDC dc, const RECT *rect, COLORREF colour, int opaque);
// The enclosed interior of the box drawn in rect (not reached by surface fills from the middles
// of the edges and the corners, without the black border) ANDed with colour.
int ShadeBoxInterior(HDC dc, const RECT *rect, COLORREF colour, const RGBQUAD *colourTable);
// The same interior made white (clears a check mark before it is drawn again).
int ClearBoxInterior(HDC dc, const RECT *rect);
// 1 when image (imageLength bytes) is a sound signature block: "qvbb" header, sizes within the
// block, a finite scale above 0 (at most SIGNATURE_MAX_SCALE) and offsets within the page range.
#define SIGNATURE_MAX_SCALE 16.0f
int ReadSignatureImage(const void *image, uint32_t imageLength, float *scaleOut, int *xOut, int *yOut);
// Draws a stored signature image: the field's saved background at rect's corner (0, 0 without a
// rect), the signature scaled and ANDed at the corner plus its offsets; invert turns the
// rectangle to reverse video. 0 (nothing drawn) for a block that is not sound.
int DrawSignatureImage(HDC dc, const RECT *rect, const void *image, uint32_t imageLength, int invert);
// Inverts rect of dc (reverse video of a tagged field); 0 for an empty rectangle.
int InvertPageRect(HDC dc, const RECT *rect);

// ---- page image generation ----
// The finished image of one page: source (PCL, compressed BMP, generated page), field values,
// reverse-video tagged fields, the Minnesota stamp, print stamps and landscape rotation; and the
// saved field backgrounds of the page last built from a BMP.

// A 1-bit bitmap as a block ("qvbb"); also the layout of stored signature images.
#define FIELD_CLIP_MAGIC "qvbb"
#define FIELD_CLIP_SLOTS 3
#define FIELD_CLIP_MAX_SIDE 8192
struct FieldClip {
    char magic[4];          // "qvbb"
    uint32_t type;          // 0; in a signature image the drawing scale as a 32-bit float
    int32_t width;
    int32_t height;
    int32_t rowBytes;       // 16-bit aligned
    int32_t fieldIndex;     // index in the page's FieldTable
    uint32_t unused;        // in a signature image: x, y offsets as signed 16-bit values
    uint32_t size;          // rowBytes x height; the rows follow
};
static_assert(sizeof(FieldClip) == 32, "FieldClip header is 32 bytes");
// The saved backgrounds of the tagged fields of the page last built from a BMP.
extern FieldClip *gFieldClips[FIELD_CLIP_SLOTS];
// A block from a 1-bit DIB section (null for a null or other bitmap). MemFree it.
FieldClip *SaveFieldClip(HBITMAP bitmap, int fieldIndex);
// The block of the field's rectangle of the page bitmap (not selected in a DC), or null.
FieldClip *SaveFieldBackground(HBITMAP pageBitmap, const FieldTable *table, int fieldIndex);
// 1 when block (length bytes) is a sound "qvbb" block.
int IsValidClipBlock(const void *block, uint32_t length);
// A new 1-bit bitmap of the block (white first, then its rows), or null.
HBITMAP CreateBitmapFromClip(const FieldClip *clip);
// The slot holding the field index, or null; its rebuilt bitmap, or null.
FieldClip *FindFieldClip(int fieldIndex);
HBITMAP CreateBitmapForFieldClip(int fieldIndex);
// Draws the saved background of the field at rect's top-left corner; 0 when none is saved.
int RestoreFieldBackground(HDC dc, const RECT *rect, int fieldIndex);
// Frees the three slots (each left null).
void FreeFieldClips(void);
// Exchanges the slots with saved[] (output of another page keeps the clips of the page shown).
void SwapFieldClips(FieldClip *saved[FIELD_CLIP_SLOTS]);
// Appends to list (listSize bytes, zero-ended) the comma-separated indexes of the fields with a
// rectangle whose type is exactly "T[1x]", "T[2x]", "T[1w]", "T[2w]" or "S[sig]", while they fit.
// Returns 1 when one was added.
int CollectTaggedFields(const FieldTable *table, char *list, int listSize);

#endif // LEVYLINE_CANVAS_PAINT_H
