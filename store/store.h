// store.h - public interface of the return data store (utility library, registry and folders,
// packed data files, open return, form instances, page query, FormPaks).
//
// Several topics live in this one header; each has its own banner section.
#ifndef LEVYLINE_STORE_H
#define LEVYLINE_STORE_H

#include <windows.h>
#include <commdlg.h>
#include <stdint.h>
#include <stddef.h>

// ---- utility services: memory and messages ----

// Zero-filled block of size bytes (callers pass flags 64 = zero-init; every block is zeroed anyway).
// On failure shows "Error Allocating Memory" and returns null.
void *MemAlloc(unsigned flags, size_t size);
// Frees a block from MemAlloc; accepts null; always returns null so callers write p = MemFree(p).
void *MemFree(void *block);
// Grows a MemAlloc block to newSize bytes keeping its contents; the added bytes are zeroed.
// Returns the new block, or null (the old block is then still valid and owned by the caller).
void *MemReAlloc(void *block, size_t newSize);

// Test seam: when set, ShowMessageBox and ShowAppMessageBox call it with the final (joined) text
// and return its answer instead of showing a window.
typedef int (*MessageBoxHookProc)(HWND owner, const char *text, const char *title, unsigned flags);
extern MessageBoxHookProc gMessageBoxHook;

// The common message box. Single line breaks (CR LF, LF or CR) of the text are joined into one
// space; paragraph breaks (two or more line breaks) are kept. flags are MB_* flags. Returns the
// button pressed (IDOK, IDCANCEL, IDRETRY, IDYES, IDNO ...), 0 when no box could be shown.
int ShowMessageBox(HWND owner, const char *text, const char *title, unsigned flags);

// Parameter block of the program's own message dialog (template "MESSAGEBOXAPPEX").
struct AppMessageBoxParams {
    HWND owner;                 // may be null
    HINSTANCE instance;         // module holding the template; null = the program's module
    const char *caption;        // window title
    const char *text;           // message text (CR LF line breaks)
    int markStart;              // start offset of a stretch of the text to mark (-1 / length 0: none)
    int markLength;             // length of that stretch
    unsigned options[3];        // option words of the caller (e.g. 0x80, 0x123, 1); kept for the dialog
    const char *markWords[4];   // further texts to mark wherever they occur ("Form not found", " = "); null-ended
};
// Shows the block's message in the "MESSAGEBOXAPPEX" dialog with an OK button; returns IDOK,
// or through gMessageBoxHook (text, caption, options[0]) in tests. 0 on a bad block.
int ShowAppMessageBox(const AppMessageBoxParams *block);

// Appends a line (formatted by the caller, e.g. "999 SIG: ...\r\n") to "Quorvel.log" in the data
// folder; CR LF is appended only when the line does not already end with a line break. 1 = written.
int WriteLogLine(const char *line);

// Busy cursor on (1) or off (0); calls nest. gBusyCursorCount > 0 while it is on (the main window's
// WM_SETCURSOR may consult it).
void SetBusyCursor(int on);
extern int gBusyCursorCount;

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

// ---- utility services: files, folders and dialogs ----

// 1 when the file or folder exists; the path must begin with a drive letter and a colon, or with
// two backslashes (anything else gives 0).
int FileExists(const char *path);
// Opens a file read-only with read sharing and stores its size (sizeOut may be null). Returns the
// handle (the caller closes it) or null; files of 4 GB or more are refused with "File Size Error".
// flags: 0, or OPEN_FILE_QUIET to show no message.
#define OPEN_FILE_QUIET 1
HANDLE OpenFileForRead(const char *path, DWORD *sizeOut, unsigned flags);
// Opens (CreateFileA) with read sharing; on failure creates the missing folder path and tries up to
// 3 more times 500 ms apart; after the last failure shows "Error %s File" / "File %s could not be %s."
// with the system's error text. Returns the handle or INVALID_HANDLE_VALUE.
HANDLE OpenFileWithRetry(const char *path, DWORD access, DWORD creation, DWORD attributes);
// Creates every missing folder of a folder path (no file name); 1 when the folder exists afterwards.
int CreateFolderPath(const char *folder);
// Opens or creates the file and appends text and CR LF (unless text already ends with a line break).
int AppendLineToFile(const char *text, const char *path);
// Grows a MemAlloc buffer by extra zeroed bytes, keeping its contents; returns the new buffer and
// updates *size; null on failure (the old buffer is then untouched and still the caller's).
void *AppendToBuffer(void *buffer, size_t *size, size_t extra);
// The length of path up to and including its last backslash (or '/'), 0 when it has none.
int GetFolderPartLength(const char *path);
// pathBuffer holds bufferSize bytes. When the file exists, puts suffix (and, when counterWidth > 0, a
// zero-padded counter 1, 2 ... of that width) before the extension until no file of that name exists
// (with counterWidth 0 only the one name with the suffix is tried). Returns 1 with the free name in pathBuffer, or 0 (pathBuffer
// unchanged) when no free name was found or it would not fit. A path that does not exist is left
// unchanged (returns 1).
int MakeUniquePathName(char *pathBuffer, int bufferSize, const char *suffix, int counterWidth);

// Folder kinds of GetProgramFolder.
#define FOLDER_PROGRAM 0   // folder of the program file
#define FOLDER_DATA    1   // data folder: registry "DataDir", else <Documents>\Levyline 2024, else <program>\Data
#define FOLDER_SENT    2   // "Sent" below the data folder
#define FOLDER_FORMPAK 3   // FormPak folder: registry "FormDir", else "FormPaks" below the data folder
#define FOLDER_TEMP    4   // "Temp" below the data folder
// Writes the folder's path (no trailing backslash) into buffer (MAX_PATH bytes); data, Sent, FormPak
// and Temp folders are created when missing. Returns 1, or 0 (buffer empty) on failure.
int GetProgramFolder(char *buffer, int kind);
// 0 unless path begins (case ignored) with the user's Documents folder path or, failing that, the
// Desktop folder path. Then, when out is given and the text fits in outSize, copies the path from that
// folder's own name onward ("Documents\Returns\a.qvr") into out; returns 1.
int IsUnderDocumentsOrDesktop(const char *path, char *out, int outSize);

// Test seam: when set, ShowFileOpenDialog (save = 0) and the save dialog (save = 1) call it instead of
// the common dialog; it fills pathBuffer (bufferSize bytes) and returns 1 (picked) or 0 (cancelled).
typedef int (*FileDialogSeamProc)(int save, const char *title, char *pathBuffer, int bufferSize);
extern FileDialogSeamProc gFileDialogHook;
// The program's OFN hook (set by the shell at start-up); null = no hook.
extern LPOFNHOOKPROC gOpenDialogHookProc;
// The common open-file dialog. filter: pairs of zero-ended texts ending in an extra zero. Starts in
// startFolder, or (when null/empty) in the folder held by the registry value folderValueName of
// scope (1 when scope is 0). Returns 1 when a file was picked (full path in pathBuffer, its folder
// written back to folderValueName), 0 when cancelled or when a dialog with the same title is already
// open (that window is focused with a beep). pathBuffer's text on entry is the proposed file name.
int ShowFileOpenDialog(const char *title, const char *defaultExtension, const char *filter, int scope,
                       int reserved, const char *folderValueName, const char *startFolder,
                       char *pathBuffer, int bufferSize, HWND owner);

// Test seam for OpenWithShell: when set it is called instead of ShellExecuteEx and its answer returned.
typedef int (*ShellExecuteHookProc)(const char *verb, const char *file);
extern ShellExecuteHookProc gShellExecuteHook;
// Opens file with the shell verb ("open", "print" ...; null = default); 1 on success.
int OpenWithShell(const char *verb, const char *file);

// Loads the system library module when needed and returns the address of name, or null.
FARPROC GetDllProc(const char *module, const char *name);

// ---- utility services: compression ----

#define COMPRESSED_BLOCK_MAGIC "_rvq"          // 4 bytes, followed by the u32 expanded length
#define COMPRESSED_BLOCK_HEADER_SIZE 8
#define COMPRESSED_BLOCK_MAX_EXPANDED (256u * 1024u * 1024u)
// Compresses buffer (length bytes) in place with zlib (compress2 level 9 when best, else the default
// level), with the 8-byte "_rvq" header when header is set. Stores the new length and returns 1.
// When the result would be longer than the input, shows "Zipped data size exceeds original data
// length." ("Warning"), leaves buffer and length untouched and returns 0.
int CompressBlock(void *buffer, DWORD length, DWORD *newLengthOut, int best, int header);
// Expands a block into a new MemAlloc buffer (one zero byte past the data), or null. A block starting
// with "_rvq" states its expanded length (refused above 256 MB, or when the data is short of it);
// otherwise the output may be up to six times the input length. *outLength (may be null) = length.
void *UncompressBlock(const void *data, DWORD length, DWORD *outLength);

// ---- utility services: registry ----

// Scopes: keys under HKEY_CURRENT_USER.
#define REG_SCOPE_YEAR      1   // "Software\VantorelGroup\Levyline\2024"
#define REG_SCOPE_PREVYEAR  2   // "Software\VantorelGroup\Levyline\2023"
#define REG_SCOPE_ADMIN     3   // "...\2024\Admin"
#define REG_SCOPE_PREPARER  4   // "...\2024\Preparer"
#define REG_SCOPE_COMMON    5   // "Software\VantorelGroup\Levyline\Common"
// The key path of a scope (below HKEY_CURRENT_USER), or null for an unknown scope.
const char *GetRegistryScopePath(int scope);
// Reads value name of the scope's key into buffer (at most size bytes). kind: REG_SZ (the text is
// always zero-ended within size; a longer value is cut), REG_DWORD, REG_BINARY, or 0 (any type, raw).
// Non-zero when the value exists; a missing value leaves the buffer zeroed.
int ReadRegistryValue(void *buffer, int scope, int reserved, const char *name, DWORD size, DWORD kind);
// Writes value name under the scope's key (created when missing). kind REG_SZ with size 0 writes the
// text with its terminator; other kinds write size bytes. 1 on success.
int WriteRegistryValue(int scope, const char *name, DWORD kind, const void *data, DWORD size);
// Deletes value name of the scope's key; 1 when it is gone afterwards.
int DeleteRegistryValue(int scope, const char *name);
// A new MemAlloc copy of the value's data (two zero bytes past it), or null when the value (or, with
// create 0, the key) is missing; with create 1 a missing key is created. typeOut/sizeOut may be null.
void *QueryRegistryValueAlloc(HKEY rootKey, const char *keyPath, const char *valueName, int create,
                              DWORD *typeOut, DWORD *sizeOut);

// ---- utility services: state table ----

// One row of the state and region table: two-letter abbreviation (zero-ended) and name.
struct UsStateRow {
    char abbreviation[3];
    char name[64];
};
// Groups of the table (the option flags of a state type's bracket text).
#define STATE_GROUP_STATES      1    // the 50 states and DC, rows 1..51 = jurisdiction codes
#define STATE_GROUP_MILITARY    2
#define STATE_GROUP_POSSESSIONS 4
#define STATE_GROUP_OTHER       8
#define STATE_GROUP_CANADA      16
#define STATE_GROUP_COUNTRIES   32
// Row 0 is empty; each section starts with a row with an empty abbreviation (row 0 for the states)
// and ends at the next such row; sections in the order of the group flags; a final empty row.
extern const UsStateRow gStateTable[];
extern const int gStateTableRowCount;
// The rows of one group's section: *firstRow = first real row, *endRow = one past the last. 1, or 0
// for a flag that is not exactly one group.
int GetStateSectionRange(int groupFlag, int *firstRow, int *endRow);
// Finds text (case ignored) as an abbreviation or a name in the sections chosen by groupFlags (0 is
// taken as 1, the states). Returns the row number (1..51 for states and DC), 0 when not found. With
// out (64 bytes) given it writes the row's name when text was an abbreviation, else its abbreviation.
int LookupUsState(const char *text, char *out, int groupFlags);
// The short (shortOut, 16 bytes) and long (longOut, 64 bytes) name of the tax agency of the state
// with jurisdiction code code (either output may be null): 1 for a known agency (5, 23, 24), else 0
// with the outputs untouched.
int GetStateAgencyName(int code, int reserved1, int reserved2, char *shortOut, char *longOut);

#endif // LEVYLINE_STORE_H
