// text.h - text routines: searching, replacing, tokens, numbers, dates, colours.
// Part of the store's public interface: include store/store.h.
#ifndef LEVYLINE_STORE_TEXT_H
#define LEVYLINE_STORE_TEXT_H

#include <windows.h>
#include <stddef.h>
#include <stdint.h>

// ---- utility services: text routines ----
// All work on zero-ended 8-bit texts. Offsets are byte offsets from the text's start.

// 1 and *offsetOut (when given) = offset of the first occurrence of find; else 0.
int FindSubString(const char *text, const char *find, int *offsetOut);
// 1 and *offsetOut = offset of the last occurrence; else 0.
int FindLastSubString(const char *text, const char *find, int *offsetOut);
// Replaces the first occurrence of find at or after *position (from 0 when position is null) by
// replacement. *text is the buffer: with grow = 1 it must be a MemAlloc block and is reallocated as
// needed (bufferSize ignored); with grow = 0 the buffer holds bufferSize bytes and a replacement that
// would not fit is not made (returns 0). On success stores the offset after the replacement into
// *position and returns 1; returns 0 when find does not occur (or is empty). Callers loop
// "while (ReplaceSubString(...))" with a position to replace every occurrence.
int ReplaceSubString(char **text, const char *find, const char *replacement, int grow, int *position,
                     size_t bufferSize);
// Removes every character of set from text; returns the number removed.
int RemoveChars(char *text, const char *set);
// Replaces every occurrence of from by to; returns the number replaced.
int ReplaceChar(char *text, char from, char to);
// Removes leading and trailing blanks (spaces and tabs); returns text.
char *TrimSpaces(char *text);
// Removes all trailing occurrences of ch; returns 1 when anything is left, else 0.
int TrimTrailingChar(char *text, char ch);
// The number of occurrences of ch.
int CountChar(const char *text, char ch);
// Reentrant tokenizer. Starts at *position when it is non-null, else at text. With skipLeading,
// leading delimiters are skipped first. Cuts the text at the next delimiter (writes a zero) and
// returns the token; an empty token gives null. *position becomes the byte after the delimiter, or
// null at the end of the text (then the next call with text null returns null).
char *TokenizeString(char *text, const char *delimiters, char **position, int skipLeading);
// Joins count parts (null parts count as empty) with separator between them. With out null it returns
// the length needed (without the terminator). With out given it writes the joined text when it fits
// into outSize bytes and returns its length; otherwise writes an empty text and returns -1.
int JoinStrings(char *out, size_t outSize, const char *separator, const char *const *parts, int count);
// 1 when a character of set occurs in text (the set's characters are tried in order, the first that
// occurs wins): its offset, 1-based line and column, the character and the text of its line (without
// the line break, cut to lineBufferSize - 1); outputs may be null. Else 0.
int FindCharLineColumn(const char *text, int reserved, const char *set, int *offsetOut, int *lineOut,
                       int *columnOut, char *charOut, char *lineTextOut, int lineBufferSize);
// Replaces, in place, every choice between percent signs ("%your/your client's%": two or three
// alternatives separated by '/') by its mode-th alternative (1, 2 or 3; a missing third takes the
// last). Texts between percent signs without '/' (such as "%%FORMNAME%%") are kept. Returns the
// number of choices resolved.
int ResolveTextVariants(char *text, int mode);
// A number text (leading blanks, optional sign, thousands commas) as a 64-bit integer; reading stops
// at the first other character; 0 for no digits; saturates at the 64-bit limits.
int64_t ParseNumberText(const char *text);
// A number text (thousands commas removed, optional leading '$') as a double; 0.0 for no number.
double TextToDouble(const char *text);
// Formats value with decimals (0..10) decimals, rounded; flags FORMAT_NUMBER_COMMAS groups the integer
// digits by thousands. Returns the length written, 0 when it does not fit (buffer emptied).
#define FORMAT_NUMBER_COMMAS 1
int FormatNumber(char *buffer, int size, double value, int decimals, unsigned flags);
// Reads a date text in the given layout into *timeOut (zeroed first; validated day/month ranges):
// 'D' mm/dd/yyyy, 'E' yyyy/mm/dd, 'O' mm/dd/yy, 'Y' yyyy, 'd' mm/yyyy, 'e' yyyy/mm (separators '/',
// '-' or none with full-width digits), 'T' the dates of status entries: mm/dd/yyyy optionally
// followed by hh:mm[:ss]. Returns 1 when read, else 0.
int ParseDateText(const char *text, SYSTEMTIME *timeOut, char layout);
// With dateText and timeText null and time given: when dateOut is empty, writes the time's date with
// the pattern "MMMM d',' yyyy" (user locale) into dateOut (dateOutSize bytes). Returns 1 when
// dateOut holds a date afterwards, else 0.
int FormatDateTime(const char *dateText, const char *timeText, int reserved, char *dateOut,
                   int dateOutSize, const SYSTEMTIME *time);
// Formats time (or, when time is null, fileTime) as "%hu/%hu/%hu " (month, day, year), "at " when
// withAt, then "%hu:%2.2hu %s" (12-hour clock, AM/PM); converted to local time first when toLocal.
// text is an optional prefix put before it (may be null). Copies into out and returns 1 when it fits
// in outSize, else 0 (out emptied).
int FormatFileTimeText(const char *text, const SYSTEMTIME *time, const FILETIME *fileTime, char *out,
                       int outSize, int toLocal, int withAt);
// Converts a UTC SYSTEMTIME to local time; 1 on success (else localOut = utc, 0).
int SystemTimeToLocal(const SYSTEMTIME *utc, SYSTEMTIME *localOut);
// Three 16-bit colour components (red, green, blue: 0..255) into hue, saturation and lightness, in
// that order, on the 0..240 scale (hue 160 = undefined for greys).
void RgbToHls(const uint16_t rgb[3], uint16_t hls[3]);
// The reverse: hls[0] hue, hls[1] saturation, hls[2] lightness (0..240) into red, green, blue 0..255.
void HlsToRgb(const uint16_t hls[3], uint16_t rgb[3]);
// Copies text into out with every '&' doubled (captions of menus, tabs and statics).
void DoubleAmpersands(const char *text, char *out, int outSize);
// 1 when text (may be null) begins with prefix.
int StartsWithText(const char *text, const char *prefix);
// A MemAlloc copy of text (the caller frees it); null when text is null or memory ran out.
char *DuplicateText(const char *text);
// Appends text (null = nothing) to the zero-ended text in out (outSize bytes), cut to fit.
void AppendTextBounded(char *out, size_t outSize, const char *text);
// Reads the next item of a value list (items split at commas and double quotes) from list into item
// (cut to itemSize - 1, may be empty at the list's end); returns where the next item search starts.
const char *ReadValueListItem(const char *list, char *item, size_t itemSize);

#endif // LEVYLINE_STORE_TEXT_H
