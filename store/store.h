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
// 1 when path ends with extension (".qvr"; case ignored) and has more before it.
int HasFileExtension(const char *path, const char *extension);
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
static_assert(sizeof(UsStateRow) == 67, "UsStateRow is 67 bytes");
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

// ---- open return and form model ----
// The return master record, pages (form instances), field records and tables, the file record
// of a read data file, the soft-font records and the globals of the open return.
// File formats of FormPaks and return files: docs/file-formats.md.

struct FormPakRecord;   // the forms tree's FormPak list entry (entry/entry.h)
struct _TREEITEM;
typedef struct _TREEITEM *HTREEITEM;   // as in <commctrl.h>

// The return master record: 3200 bytes, reached through the RETURN_* offsets below (byte
// positions as stored in the return file). Text members are zero-ended within their size.
#define OPEN_RETURN_SIZE        3200
#define OPEN_RETURN_SIZE_2656   2656   // older layout, recognised by the size word
#define OPEN_RETURN_SIZE_2560   2560   // oldest layout, recognised by the size word
struct OpenReturn {
    uint8_t bytes[OPEN_RETURN_SIZE];
};
static_assert(sizeof(OpenReturn) == 3200, "OpenReturn is 3200 bytes");

#define RETURN_SIZE_WORD          0      // u32: 3200
#define RETURN_LAYOUT_FLAGS       4      // u32: reserved for the layout
// Person blocks (taxpayer at RETURN_TAXPAYER, spouse at RETURN_SPOUSE), 287 bytes each; members
// at PERSON_* offsets from the block start.
#define RETURN_TAXPAYER           8
#define RETURN_SPOUSE             295
#define PERSON_BLOCK_SIZE         287
#define PERSON_SSN                0      // char[12] identification number
#define PERSON_FIRST_NAME         12     // char[21]
#define PERSON_MIDDLE_NAME        33     // char[21]
#define PERSON_LAST_NAME          54     // char[21]
#define PERSON_SUFFIX             75     // char[4]  ("Jr", the member after the last name)
#define PERSON_TITLE              79     // char[5]  ("Dr")
#define PERSON_BIRTH_DATE         84     // char[11] mm/dd/yyyy
#define PERSON_DEATH_DATE         95     // char[11] mm/dd/yyyy
#define PERSON_AGI                106    // char[13] this year's adjusted gross income
#define PERSON_PRIOR_AGI          119    // char[13] prior-year AGI
#define PERSON_IP_PIN             132    // char[13] identity-protection PIN
#define PERSON_PRIOR_PIN          145    // char[13] prior-year PIN
#define PERSON_SELF_PIN           158    // char[12] self-select PIN
#define PERSON_SELF_PIN_FLAG      170    // u8: 1 = self-select PIN used
#define PERSON_SIGN_DATE          171    // char[11] signature date
#define PERSON_PHONE              182    // char[15] daytime phone
#define PERSON_OCCUPATION         197    // char[40]
#define PERSON_EMAIL              237    // char[50]
// Return-level members.
#define RETURN_NAME_LINE          582    // char[50] taxpayer and spouse joined, or the business name
#define RETURN_IN_CARE_OF         632    // char[36]
#define RETURN_ADDRESS_KIND       668    // u8: '3' non-US address, else US
#define RETURN_STREET             670    // char[36]
#define RETURN_CITY               706    // char[36]
#define RETURN_STATE              742    // char[3]  US state abbreviation
#define RETURN_ZIP                745    // char[11] US ZIP code
#define RETURN_PROVINCE           756    // char[17] non-US province or state
#define RETURN_COUNTRY            773    // char[36] non-US country
#define RETURN_POSTAL_CODE        809    // char[18] non-US postal code
#define RETURN_PHONE              827    // char[13] phone of the return
#define RETURN_APARTMENT          840    // char[21] apartment (US address; cleared for non-US)
#define RETURN_FOREIGN_APARTMENT  861    // char[21] apartment or suite of a non-US address
#define RETURN_CONTACT_NAME       882    // char[36] contact person
#define RETURN_FILING_STATUS      918    // char[2] "1".."5" ("" = not chosen)
#define RETURN_DEPENDENT_FLAG     920    // char[2] "X" when the taxpayer can be claimed as a dependent
#define RETURN_EIN                1004   // char[12] employer identification number
#define RETURN_EMAIL              1016   // char[64] e-mail address
#define RETURN_TRACKING_NUMBER    1080   // char[14], 14 x 0xB1 = not yet assigned (no terminator)
#define RETURN_TRACKING_LENGTH    14
#define TRACKING_UNASSIGNED_BYTE  0xB1
#define RETURN_PART_PRESENT       1094   // u8[3]: federal, state, other part present
#define RETURN_TRANSMISSION       1098   // 14-byte transmission block (before the federal part block)
#define RETURN_TRANSMISSION_SIZE  14
// Part blocks: federal, state, other; 264 bytes apart; members at PART_* offsets.
#define RETURN_PART_FEDERAL       1112
#define RETURN_PART_STATE         1376
#define RETURN_PART_OTHER         1640
#define PART_BLOCK_SIZE           264
#define PART_CODE                 0      // char[6]: state or return code text, 4 characters ("MN", "940X")
#define PART_TAX_YEAR             6      // u16
#define PART_SENT_TIME            8      // SYSTEMTIME (UTC)
#define PART_STATUS_TIME          24     // SYSTEMTIME (UTC); for an accepted part the acceptance time
#define PART_STATUS_LETTER        40     // u8: 'A' accepted, 'P' pending, 'R' rejected, 0 never sent
#define PART_STATUS_CODE          41     // u8
#define PART_REJECT_LETTER        42     // u8
#define PART_FORM_COUNT           44     // u16
#define PART_MESSAGE              46     // char[218]
#define RETURN_BUSINESS_NAME      1904   // char[72] business name
#define RETURN_IDENTITY           1976   // char[40] return identity text
#define RETURN_TRADE_NAME         2016   // char[72] trade name ("doing business as")
#define RETURN_SIGNER_NAME        2088   // char[40] business signer's name
#define RETURN_SIGNER_TITLE       2128   // char[40] business signer's title
#define RETURN_BUSINESS_PHONE     2168   // char[16]
// 2184..3199: spare (zero).

// Access to the record through the offsets (no alignment assumed).
inline char *ReturnText(OpenReturn *r, int offset) { return (char *)r->bytes + offset; }
inline uint8_t *ReturnBytes(OpenReturn *r, int offset) { return r->bytes + offset; }
uint16_t GetReturnU16(const OpenReturn *r, int offset);
uint32_t GetReturnU32(const OpenReturn *r, int offset);
void SetReturnU16(OpenReturn *r, int offset, uint16_t value);
void SetReturnU32(OpenReturn *r, int offset, uint32_t value);
// Copies text into the member at offset of size bytes (cut, always zero-ended); 1 when it fit.
int SetReturnText(OpenReturn *r, int offset, int size, const char *text);
// The size of the text member at offset (0 for an offset that is not a text member).
int GetReturnMemberSize(int offset);
// Zero-fills the record, sets its size word and the "not assigned" tracking number.
void InitOpenReturn(OpenReturn *r);

// One field of a page or of a record layout: twelve 4-byte words. Words 0..9 are owned
// MemAlloc texts (null = empty).
// Word 9 (second) holds either a zero-ended text (overflow text, present flag) or a binary
// signature block: a block that starts with "qvbb" is a FieldClip whose length is 32 plus its
// u32 at byte 28 (GetFieldSecondLength). Store blocks with SetFieldBlob, texts with SetFieldText.
struct FieldRecord {
    char *seq;          // [0] sequence number text ("0010")
    char *description;  // [1]
    char *line;         // [2] line text of the form
    char *length;       // [3] length text ("12")
    char *typeCode;     // [4] type code ("N", "T[1a]", "S[sig]", "CN")
    char *valueList;    // [5] value list, literal or formula
    char *value;        // [6] current value text
    char *seqPrefix;    // [7] sequence prefix characters
    char *groupLabel;   // [8] "[group|label]"
    char *second;       // [9] second text or "qvbb" signature block (see above)
    RECT *rect;         // [10] rectangle in page units (300 dpi); null = not on the page
    uint16_t tabLinks[2]; // [11] previous, next field index in tab order
};
static_assert(sizeof(FieldRecord) == 48, "FieldRecord is twelve words");
#define TAB_PREVIOUS 0
#define TAB_NEXT     1

// A page's fields. fields[0] is a dummy record (index 0 means "not found" to FindLayoutField);
// count includes it. sortedIndex holds count - 1 field indexes (1..count-1) in ascending order
// of their sequence number texts (compared with strcmp).
struct FieldTable {
    int count;
    FieldRecord *fields;
    int *sortedIndex;
};

// One button of a page (four words).
struct FieldButtonSlot {
    HWND window;          // owner-drawn "BUTTON", 0 until created
    HBITMAP bitmap;       // 0 until loaded
    int action;           // action number from the field's type code
    FieldRecord *field;   // the button's field
};

// Image-source codes of a page.
#define IMAGE_SOURCE_PCL     0
#define IMAGE_SOURCE_PCL2    203
#define IMAGE_SOURCE_BMP     219
// Page kinds (first u16 of every forms-tree record).
#define PAGE_KIND_FORM       3
#define PAGE_KIND_GENERATED  4

// One page of one form in the open return (136 bytes).
// Image range: for PCL pages [imageStart, imageEnd) and for BMP pages [imageStart, imageEnd]
// (inclusive), both as "record offset + position in the decoded record", so the bytes of the
// page are record[imageStart - recordOffset ...].
struct FormInstance {
    uint16_t kind;            // 0: 3 form page, 4 generated page
    uint8_t hasPageData;      // 2: 1 when the page has page data of its own
    uint8_t jurisdiction;     // 3: 100 federal, 97 withholding, 101 print and scan, 1..51 states
    uint16_t groupOrder;      // 4: set by the forms tree
    uint16_t imageSource;     // 6: 0/203 PCL, 219 compressed BMP
    uint32_t defOffset;       // 8: page-definition record: file offset, stored length, method
    uint32_t defLength;       // 12
    uint32_t defMethod;       // 16
    uint32_t bmpOffset;       // 20: page-bitmap record: file offset, stored length, method
    uint32_t bmpLength;       // 24
    uint32_t bmpMethod;       // 28
    uint32_t imageStart;      // 32: this page's image range (see above)
    uint32_t imageEnd;        // 36
    uint16_t fileYear;        // 40: tax year of the FormPak file
    uint16_t taxYear;         // 42: the form's tax year
    char *formPakPath;        // 44: the FormPak's path (points to the FormPakRecord's path or owned)
    FieldTable *fieldTable;   // 48: owned
    char *pageKey;            // 52: "Form 1040.1", owned
    char *displayName;        // 56: owned
    HTREEITEM treeItem;       // 60: set by the forms tree
    uint16_t shadingCode;     // 64: 0..8
    uint16_t buttonCount;     // 66
    HWND tooltip;             // 68
    FieldButtonSlot *buttons; // 72: buttonCount slots, owned
    uint16_t orderKey[2];     // 76: sort keys of the forms tree (filled at creation)
    uint32_t accentColor;     // 80: RGB, written by the forms tree
    uint8_t mainForm;         // 84: 1 = main-form page
    uint8_t amended;          // 85: 1 = amended main-form page
    uint8_t landscape;        // 86: 1 = landscape page (set by the PCL interpreter too)
    uint8_t ownsFormPakPath;  // 87: 1 when formPakPath is an owned copy
    uint16_t formIndex;       // 88: index in the FormPak's page directory
    uint16_t copyNumber;      // 90: 1-based copy of this page key in the return
    uint16_t pageNumber;      // 92: page number of the form (the number after the key's dot)
    uint16_t reserved0;       // 94
    void *blob;               // 96: owned copy of page data (generated pages), may be null
    uint32_t blobLength;      // 100
    HBITMAP pageBitmap;       // 104: cached page bitmap, owned, may be null
    HBITMAP thumbBitmap;      // 108: owned, may be null
    uint32_t reserved[6];     // 112..135
};
static_assert(sizeof(FormInstance) == 136, "FormInstance is 136 bytes");

// FormPak page-directory entry (in memory, as decoded). One entry is one page, named by its
// form name; the page key is name + "." + pageNumber.
#define PAGE_FLAG_MAIN_FORM  1
#define PAGE_FLAG_LANDSCAPE  2
struct PageDirectoryEntry {
    uint32_t nameOffset;      // form name: offset into the file record's string pool
    uint16_t maxCopies;       // largest number of copies of the form offered
    uint8_t copiesToAdd;      // copies-to-add mark (start dialogs write it, adding reads it)
    uint8_t pageNumber;       // 1-based page of the form
    uint8_t jurisdiction;     // as FormInstance.jurisdiction
    uint8_t flags;            // PAGE_FLAG_*
    uint16_t imageSource;     // as FormInstance.imageSource
    uint32_t imageStart;      // image range as in FormInstance
    uint32_t imageEnd;
    uint32_t fieldStart;      // first byte of this page's field definitions in the field record
    uint32_t fieldLength;     // their byte length
    uint16_t fieldCount;      // fields (without the dummy record 0)
    uint16_t orderKey[2];     // sort keys of the forms tree
    uint16_t reserved;
};
static_assert(sizeof(PageDirectoryEntry) == 36, "PageDirectoryEntry is 36 bytes");

// Return-file form-directory entry: 28 bytes.
struct FormDirectoryEntry {
    uint32_t pageKeyOffset;   // page key ("Form 1040.1"): offset into the string pool
    uint32_t pairOffset;      // field-pair data: offset into the field-pair record
    uint32_t pairCount;       // number of field pairs
    uint32_t formPakOffset;   // FormPak file name: offset into the string pool
    uint16_t formIndex;       // index in that FormPak's page directory
    uint16_t taxYear;         // the form's tax year
    uint8_t jurisdiction;
    uint8_t flags;            // PAGE_FLAG_* and FORM_FLAG_AMENDED
    uint16_t copyNumber;
    uint32_t pairLength;      // byte length of the field-pair data
};
static_assert(sizeof(FormDirectoryEntry) == 28, "FormDirectoryEntry is 28 bytes");
#define FORM_FLAG_AMENDED 4

#define PROGRAM_TAX_YEAR   2024   // the tax year of this program, its returns and FormPaks

// Packed file types.
#define FILE_TYPE_FORMPAK  1
#define FILE_TYPE_RETURN   2
#define FILE_TYPE_UPLOAD   3
#define FILE_TYPE_STATUS   4

// The packed data-file container (docs/file-formats.md): a 312-byte header, stored scrambled,
// then entryCount 16-byte entries, then the records.
#define PACKED_MAGIC          "QVPK"
#define PACKED_VERSION        1
#define PACKED_MAX_ENTRIES    64
#define PACKED_MAX_FILE_LENGTH (256u * 1024u * 1024u)
struct PackedFileHeader {
    char magic[4];            // 0: "QVPK"
    uint16_t version;         // 4: PACKED_VERSION
    uint16_t fileType;        // 6: FILE_TYPE_*
    uint16_t taxYear;         // 8
    uint16_t entryCount;      // 10
    uint32_t fileLength;      // 12: the whole file
    uint32_t checksum;        // 16: CRC-32 of the file with the header clear and this word 0
    uint32_t flags;           // 20
    char writer[64];          // 24: the writing program's text
    uint8_t keyArea[224];     // 88: key material of upload packages; zero otherwise
};
static_assert(sizeof(PackedFileHeader) == 312, "PackedFileHeader is 312 bytes");
struct PackedFileEntry {
    uint16_t recordId;        // REC_*
    uint16_t method;          // RECORD_METHOD_*
    uint32_t offset;          // file offset of the stored bytes
    uint32_t storedLength;    // bytes in the file
    uint32_t decodedLength;   // bytes after decoding (never more than storedLength)
};
static_assert(sizeof(PackedFileEntry) == 16, "PackedFileEntry is 16 bytes");
// Record encoding methods (decoding works in place and never grows the data).
#define RECORD_METHOD_PLAIN   0
#define RECORD_METHOD_XOR     1   // XOR with the tax-year keystream

// One decoded record of a read data file.
struct FileRecordSlot {
    uint8_t *data;            // MemAlloc block (one zero byte past the data), null when absent
    uint32_t length;
};
// Record ids (slot index = id).
#define REC_HEADER_STRINGS   0   // zero-separated texts; the first is the form name
#define REC_PAGE_DIRECTORY   1   // FormPak page directory (PageDirectoryEntry array)
#define REC_STRING_POOL      2   // length-prefixed texts and blobs
#define REC_FIELD_DEFS       3   // FormPak field definitions
#define REC_PAGE_DEFS        4   // PCL page definitions (read on demand by offset)
#define REC_PAGE_BITMAPS     5   // compressed BMP pages (read on demand by offset)
#define REC_RETURN           6   // OpenReturn record (size word first)
#define REC_FORM_DIRECTORY   7   // return-file form directory (FormDirectoryEntry array)
#define REC_FIELD_PAIRS      8   // return-file field values
#define REC_NOTES            9   // return notes (three zero-separated texts)
#define REC_BATCH_STATUS     10  // status file block
#define REC_SLOT_COUNT       11

// The in-memory result of reading a packed data file (108 bytes).
struct FileRecord {
    uint16_t fileType;                  // 0: FILE_TYPE_*
    uint16_t taxYear;                   // 2
    uint16_t pageCount;                 // 4: FormPak page-directory entries
    uint16_t formCount;                 // 6: return-file form-directory entries
    FileRecordSlot slots[REC_SLOT_COUNT]; // 8..95: decoded records by id (page records are
                                        //     loaded only with READ_DATA_PAGES)
    PackedFileEntry *entries;           // 96: owned copy of the file's entries (checked)
    uint32_t entryCount;                // 100
    char *path;                         // 104: owned copy of the file's path
};
static_assert(sizeof(FileRecord) == 108, "FileRecord is 108 bytes");
// Typed views of a file record's slots (null when absent).
inline PageDirectoryEntry *GetPageDirectory(FileRecord *f)
{ return (PageDirectoryEntry *)f->slots[REC_PAGE_DIRECTORY].data; }
inline FormDirectoryEntry *GetFormDirectory(FileRecord *f)
{ return (FormDirectoryEntry *)f->slots[REC_FORM_DIRECTORY].data; }
// The string-pool text at offset, or "" when the offset is not the start of a pool entry.
// *lengthOut (may be null) = the entry's byte length (binary entries may hold zero bytes).
const char *GetPoolString(const FileRecord *f, uint32_t offset);
const char *GetPoolEntry(const FileRecord *f, uint32_t offset, uint32_t *lengthOut);
// The entry of a record id in a read file, or null.
const PackedFileEntry *FindFileEntry(const FileRecord *f, int recordId);

// Soft-font store of the PCL interpreter: one record per font id.
#pragma pack(push, 1)
struct FontCharSlot {
    uint16_t byteCount;       // bytes of the character's bitmap rows
    uint8_t *rows;            // owned; freed when the return is closed
    uint8_t descriptor[16];   // PCL character descriptor (big-endian fields at bytes 6..15)
    uint8_t spare[2];
};
struct FormRecord {
    uint16_t id;              // font id
    uint8_t kind;
    uint8_t fontHeader[64];   // ESC ) s # W header
    FontCharSlot chars[255];  // character codes 0..254
};
#pragma pack(pop)
static_assert(sizeof(FontCharSlot) == 24, "FontCharSlot is 24 bytes");

// One part of a parsed type code.
struct FieldFormatPart {
    char letter;              // type letter (the format's first byte is the first part's letter)
    char sign;                // '+', '-' or 0
    uint8_t mark;             // 'a' and '*' parts, and 'z' bracket texts: zero-or-alternative mark
    uint8_t greaterMark;      // '>' taken off the end of the bracket text
    uint8_t lessMark;         // '<' taken off the end of the bracket text
    char colonDigit;          // digit after ':' in the bracket text, 0 when none
    uint16_t intDigits;       // integer digits
    uint16_t decimals;        // decimals
    char taxKind;             // 'T': kind character ('0'..'8')
    char itemLetter;          // 'T': item letter
    char itemFlag;            // 'T': flag character after the item letter
    char position;            // one-character position ('0'..'9'), 0 when none
    uint8_t lMark;            // 'i' / 'B': 'L' mark after the number
    uint8_t calculated;       // part of a 'C' / 'c' prefixed code
    int16_t number;           // 'i' / 'B': the number carried (-1 when none)
    char bracket[64];         // bracket text (without '>' / '<' and ':' digit)
};
#define FIELD_FORMAT_MAX_PARTS 5
struct FieldFormat {
    FieldFormatPart parts[FIELD_FORMAT_MAX_PARTS];
    int count;
    char prefix;              // 'C' or 'c' when the code is calculated, else 0
};

// Globals of the open return (defined in store/return_globals.cpp).
extern OpenReturn gOpenReturn;             // the one return record
extern OpenReturn *gOpenReturnPtr;         // = &gOpenReturn
extern char gReturnPath[260];              // the open return's file (empty: no file name yet)
extern int gReturnModified;                // 1 = unsaved changes
extern int gReturnLoading;                 // 1 while a return is loaded
extern int gFormRecordCount;               // loaded soft-font records
extern FormRecord *gCurrentFormRecord;     // current soft-font record
extern char gCurrentFormName[128];         // current form name (log lines)
extern uint8_t *gCachedPageData;           // page-definition record last read from a FormPak
extern uint32_t gCachedPageLength;         // its decoded length
extern uint32_t gCachedPageOffset;         // record file offset, stored length and method it came from
extern uint32_t gCachedPageStored;
extern uint32_t gCachedPageMethod;
extern struct FormPakRecord *gCachedPageSource; // the FormPak it came from

// Field values.
// Replaces the text in *slot by a copy of text (null/empty frees it). 1 when the text changed,
// 0 when equal; a change sets gReturnModified unless gReturnLoading.
int SetFieldText(char **slot, const char *text);
// Stores the one character text[position] as the value (empty text or a position past its end
// frees the slot). 1 when changed, else 0; marks the return modified as SetFieldText does.
int SetFieldChar(char **slot, const char *text, int position);
// Stores a "qvbb" signature block (its stated length must equal length) or a text of length
// bytes without zero bytes in *slot (null/0 frees it); 1 when changed, 0 when equal or refused.
// SetFieldText refuses texts beginning with "qvbb" (the block marker).
int SetFieldBlob(char **slot, const void *data, uint32_t length);
// The byte length of a field's second word: a "qvbb" block's length, else the text length.
uint32_t GetFieldSecondLength(const FieldRecord *field);
// The field's length text as a number (0 without a field or a length).
int GetFieldLength(const FieldRecord *field);
// Parses a type code into up to five parts; returns the number of parts (0 for null/empty).
int ParseFieldFormat(const char *typeCode, FieldFormat *formatOut, int skipFlag);
// The four integers of the field's "*"-prefixed attribute text (value list), 0 when missing.
int ParseFieldAttributes(const FieldRecord *field, int *a, int *b, int *c, int *d);

// Field tables.
#define FIELD_TABLE_MAX_FIELDS 16000
// A zero-filled table of count records (record 0 is the dummy), no index yet; null when count is
// outside 1..FIELD_TABLE_MAX_FIELDS. Freed with FreeLayoutTable (prepare/prepare.h).
FieldTable *CreateFieldTable(int count);
// (Re)builds table->sortedIndex: field indexes 1..count-1 in ascending strcmp order of their
// sequence numbers, equal numbers in table order. 1 on success. Call it again after changing
// count or a sequence number: FindLayoutField relies on count - 1 index entries.
int BuildSortedFieldIndex(FieldTable *table);

// Page records.
// Frees a page record and what it owns (page key, display name, blob, bitmaps, buttons,
// field table, an owned FormPak path). Accepts null; returns null.
FormInstance *FreeFormInstance(FormInstance *page);
// Destroys a page's field-button windows and bitmaps and frees their array (buttons null, count 0).
void FreePageButtons(FormInstance *page);

// Page query over the open return (modes in store/pages_query.cpp). key is a text for the
// key modes, a 1-based position (intptr_t) for mode 15, an HTREEITEM for modes 16 and 17.
// outArray receives pages (mode 13: out[0] = the page of the found tree item); null = count.
int FindReturnPages(int mode, const void *key, FormInstance **outArray, intptr_t reference);
// The pages of a FindReturnPages query (mode and key as there) as a new MemAlloc array the caller
// frees, and their count in *countOut; null (count 0) when there are none or memory ran out.
FormInstance **SnapshotReturnPages(int mode, const void *key, int *countOut);
// Seam: the forms tree enumerates its pages in tree order (folder null = all pages; else the
// pages below that folder item), filling out (when not null, up to capacity) and returning the
// count. While it is null, the test page list below is used.
typedef int (*ReturnPageEnumProc)(HTREEITEM folder, FormInstance **out, int capacity);
extern ReturnPageEnumProc gReturnPageEnumerator;
// Test page list: the pages of the return in order (null/0 clears it). The array is copied.
void SetTestReturnPages(FormInstance *const *pages, int count);

// Soft-font records (PCL interpreter).
// Makes the record of fontId current (gCurrentFormRecord), creating a zero-filled one when
// absent; returns it, or null when it cannot be made.
FormRecord *GetFormRecord(int fontId);
// Frees every soft-font record with its character rows (the return is closed); returns the count.
int FreeFormRecords(void);

// Return and page names.
#define FORM_NAME_SIZE 128
// The page's copy number when its form (page key) has two or more pages in the open return,
// else 0.
int GetFormCopyNumber(const FormInstance *page);
// Return type of formName (or, null/empty, of the open return's main form): 1040, 4868, 540,
// 2401 (MN M1), 2402 (MN M1PR); 0 for the 94x family or no main form.
int GetReturnType(const char *formName);
// Employment-tax return type of formName (or of the open return): 940, 941, 943, 944, 945,
// 9401 / 9411 / 9431 / 9441 / 9451 for the amended "-X" forms, 0 when not one.
int GetBusinessReturnType(const char *formName);
// Splits a page key ("Form 1040.2"). formPart (FORM_NAME_SIZE bytes, may be null) = "Form 1040";
// pagePart (16 bytes, may be null) = "2"; out (FORM_NAME_SIZE bytes, may be null) = mode 0
// "Form 1040, Page 2", mode 2 "Form 1040". Returns the page number (0 when the key has none).
int FormatFormDisplayName(char *formPart, char *pagePart, const char *pageKey, char *out, int mode);
// 1 when every page of the open return has taxYear; else 0, and with show set the message
// "Error Adding Forms To Return".
int ShowFormPakYearError(uint16_t taxYear, int show);

// Reading data files (store/packed_read.cpp). Never trusts the file: every offset, length,
// count and index is checked; a damaged file is refused with a "999 FHE: " log line and a
// message box, and nothing partial is returned (the record is left empty).
#define READ_DATA_PAGES 1   // mode bit: also load the page-definition and page-bitmap records
#define READ_DATA_QUIET 2   // mode bit: log only, no message box
// The record is overwritten (release an earlier content first). 1 on success.
int ReadDataFile(const char *path, int reserved, FileRecord *fileRecord, int mode);
// Frees what the record holds and zero-fills it (returnRecord is not touched; may be null).
int ReleaseFileRecord(FileRecord *fileRecord, OpenReturn *returnRecord);
// Decodes length bytes of buffer in place by method; out must equal buffer (in place only).
// Returns the byte count (0 for an unknown method).
int DecodeRecordData(int reserved, void *buffer, int method, int reserved2, void *out,
                     uint32_t length, int reserved3, uint16_t taxYear);
// The reverse of DecodeRecordData (in place, same length); returns the byte count.
int EncodeRecordData(void *buffer, int method, uint32_t length, uint16_t taxYear);
// The index of pageKey ("Form 1040.1", case ignored) in the FormPak's page directory, or -1.
// copyValueOut = the entry's largest number of copies, taxYearOut = the FormPak's tax year.
int FindFormInFormPak(const char *formPakPath, const char *pageKey, int *copyValueOut,
                      uint16_t *taxYearOut);
// The same on a read FormPak record; -1 when absent.
int FindPageInFileRecord(FileRecord *formPak, const char *pageKey);
// Reads one record of a FormPak by its entry values (file offset, stored length, method) and
// decodes it. With buffer null returns the decoded length; otherwise fills buffer (bufferSize
// bytes; length + 1 recommended) and returns the bytes written; 0 on any failure (logged).
uint32_t ReadFormPakRecord(const char *formPakPath, uint32_t offset, uint32_t storedLength,
                           uint32_t method, uint16_t taxYear, uint8_t *buffer, uint32_t bufferSize);
// The page-data cache, keyed by FormPak record and (offset, stored length, method).
// GetCachedPageData returns the cached bytes (and *lengthOut) when the key matches, else null.
const uint8_t *GetCachedPageData(struct FormPakRecord *source, uint32_t offset, uint32_t stored,
                                 uint32_t method, uint32_t *lengthOut);
// Takes ownership of data (MemAlloc block of length + 1 bytes) as the cached page record.
void SetCachedPageData(struct FormPakRecord *source, uint32_t offset, uint32_t stored,
                       uint32_t method, uint8_t *data, uint32_t length);
// Frees the cache; call whenever FormPak records are freed.
void ClearCachedPageData(void);

// Pages and fields from read files (store/return_load.cpp).
// The field table of page pageIndex of a read FormPak (with the dummy record 0), or null.
FieldTable *BuildFieldTableFromFormPak(FileRecord *formPak, int pageIndex);
// A new page record (kind 3) for page pageIndex of a read FormPak: image references, key,
// display name, field table; formPakPath is copied (owned). Not filed in the forms tree.
FormInstance *CreatePageRecord(FileRecord *formPak, int pageIndex, const char *formPakPath,
                               int copyNumber);
// Stores the saved values of form formIndex of a read return file into table (fields found by
// sequence number; unknown numbers skipped). clearFirst empties every value first. Returns the
// number of values stored, -1 when the form's data is damaged (nothing stored).
int ApplyReturnFieldPairs(FileRecord *returnFile, int formIndex, FieldTable *table, int clearFirst);
// Copies the read return record into record, upgrading older layouts; 1 on success.
int UpgradeReturnRecord(OpenReturn *record, const uint8_t *stored, uint32_t length);

// Pieces of the packed format shared by readers and writers (store/packed_codec.cpp).
// The header's scrambling (its own inverse) and the file checksum.
void ScramblePackedHeader(void *header);
uint32_t ComputePackedChecksum(const uint8_t *file, uint32_t length);
uint32_t ComputePackedChecksumParts(const PackedFileHeader *clearHeader, const uint8_t *rest,
                                    uint32_t restLength);
// A growing MemAlloc byte buffer (always one zero byte past the data). After a failed append
// `failed` is set and further appends do nothing.
struct PackBuffer {
    uint8_t *data;
    uint32_t length;
    uint32_t capacity;
    int failed;
};
int PackAppend(PackBuffer *b, const void *data, uint32_t length);   // data null: zeros
int PackAppendU16(PackBuffer *b, uint16_t v);
int PackAppendU32(PackBuffer *b, uint32_t v);
void PackFree(PackBuffer *b);
// Appends a string-pool entry (u32 length, bytes, zero) and returns its offset (0 on failure).
uint32_t PackPoolString(PackBuffer *pool, const void *data, uint32_t length);
// 1 when bytes may be held by text word `word` of a FieldRecord: no zero bytes, or for word 9 a
// "qvbb" block of exactly its stated length.
int CheckFieldWordBytes(int word, const uint8_t *bytes, uint32_t length);
// Field definitions of one page: fields[1..count-1] (fields[0] is the dummy) appended to out.
int EncodeFieldDefinitions(PackBuffer *out, const FieldRecord *fields, int count);
// Checks a page's run of count field definitions; with tableOut builds its FieldTable (dummy
// record 0, sorted index). 0 with *whyOut (may be null) = the reason when the run is damaged.
int DecodeFieldDefinitions(const uint8_t *data, uint32_t length, int count, FieldTable **tableOut,
                           const char **whyOut);
// The field pairs of a table (values and second words) appended to out.
int EncodeFieldPairs(PackBuffer *out, const FieldTable *table, uint32_t *pairCountOut);
// Walks count field pairs, checking each; calls proc (may be null) per pair. proc returns 0 to
// fail the walk. 0 with *whyOut when the data is damaged.
typedef int (*FieldPairProc)(void *context, int word, const char *seq, uint32_t seqLength,
                             const uint8_t *value, uint32_t valueLength);
int WalkFieldPairs(const uint8_t *data, uint32_t length, uint32_t count, FieldPairProc proc,
                   void *context, const char **whyOut);

// Writing data files (store/packed_write.cpp). The file is written to "<path>.tmp" and renamed
// over path only when complete; on failure the previous file is untouched.
struct PackedRecordSpec {
    int recordId;
    int method;
    const void *data;
    uint32_t length;
};
// The file offset that record index of records will get.
uint32_t GetPackedRecordOffset(const PackedRecordSpec *records, int count, int index);
int WritePackedFile(const char *path, int fileType, uint16_t taxYear, const char *writer,
                    const PackedRecordSpec *records, int count);
// One page of a FormPak to write.
struct FormPakPageSpec {
    const char *formName;     // "Form 1040"
    int pageNumber;           // 1-based
    int maxCopies;
    int jurisdiction;
    int flags;                // PAGE_FLAG_*
    int imageSource;          // IMAGE_SOURCE_*
    const uint8_t *image;     // PCL stream, or a "_rvq" compressed BMP block
    uint32_t imageLength;
    const FieldRecord *fields; // fields[0] is the dummy record (skipped)
    int fieldCount;            // including the dummy
    uint16_t orderKey[2];
};
// Writes a FormPak; headerStrings: count texts (the first the form name). method: record
// encoding method of the records. 1 on success.
int WriteFormPak(const char *path, uint16_t taxYear, const char *const *headerStrings,
                 int headerCount, const FormPakPageSpec *pages, int pageCount, int method);
// Writes a return file of record, the given pages (their values and second texts) and the three
// notes (note to IRS, note to self, regulatory explanation; any may be null). 1 on success.
int WriteReturnFile(const char *path, const OpenReturn *record, FormInstance *const *pages,
                    int count, const char *const notes[3]);

// ---- return road ----
// Pages entering the open return (from a FormPak or from a return file), opening return files,
// installing FormPaks, adding forms, saving and closing (store/returnroad*.cpp).

// Creates the page of form formIndex of a read FormPak (fileRecord; read from formPakPath when
// null) and files it in the forms tree. add, add2: 1 when the user adds the page (not loaded
// from a return file). copyValue > 0 is the form's copy limit: no page is made when the return
// already holds that many pages of its key. Returns the new tree item, 0 on failure or refusal.
HTREEITEM CreateFormInstance(const char *formPakPath, int formIndex, int add, int add2, int copyValue,
                             FileRecord *fileRecord, int reserved);
// Creates the page of entry directoryIndex of a read return file whose FormPak cannot be used
// (filed under "FormPak Not Found" with the saved values, which a save writes back).
HTREEITEM CreateSessionFormInstance(FileRecord *returnFile, int directoryIndex);
// Stores the saved values of entry directoryIndex of a read return file into the page of
// treeItem (flag 1: empty every value first) and updates its caption. Returns the number of
// values stored, -1 when nothing could be stored.
int BuildFormFieldTable(HTREEITEM treeItem, FileRecord *returnFile, int directoryIndex, int reserved, int flag);
// mode 0: opens the return file (".qvr") or installs the FormPak (".qvp") at path (asking
// "Save Changes?" first when the open return is modified); mode 1: "Add Form": asks for a
// FormPak file and adds forms from it. Returns 1 when done, 0 when refused or cancelled.
int OpenTaxFile(HWND owner, const char *path, OpenReturn *returnRecord, int mode);
// Start dialogs of employment-tax and Minnesota M1PR FormPaks (kind below). Returns the
// dialog's result bits (> 0: add the marked copies), 0 cancelled, -1 show the forms list.
#define START_DIALOG_94X  1
#define START_DIALOG_M1PR 2
typedef int (*AddFormsStartProc)(HWND owner, FileRecord *formPak, int kind);
extern AddFormsStartProc gAddFormsStartHook;  // null: add the marked copies
// Which start dialog a FormPak gets: START_DIALOG_*, or 0 for the forms list.
int GetFormPakStartDialog(FileRecord *formPak);
// Adds forms of a read FormPak to the open return: the start dialog or the forms list marks the
// copies, then every page-directory entry's marked copies are made. Returns the pages added.
int AddFormsToReturn(HWND owner, FileRecord *formPak, const char *formPakPath);
// Writes the open return to path (temporary file renamed over it); on success it becomes the
// return's path and the return is unmodified. 1 on success.
int SaveReturnFile(HWND owner, const char *path);
// The common save dialog (through gFileDialogHook in tests). pathBuffer holds the proposed name
// on entry. 1 when a name was chosen.
int ShowFileSaveDialog(HWND owner, const char *title, const char *defaultExtension, const char *filter,
                       char *pathBuffer, int bufferSize);
// Closes the open return: stops the recompute worker, empties the forms tree and frees what the
// return owned (FormPak list, page-data cache, soft fonts); the return record starts afresh.
int CloseOpenReturn(void);

// ---- edit bar: part edit times ----
// When a 'U' or 'K' field of a part's main-form page (or "Form 8888.1") last changed: one
// SYSTEMTIME (UTC) per part block, in the spare area of the return record, apart from the
// part blocks' sent and status times.
#define RETURN_EDIT_TIME_FEDERAL  2184
#define RETURN_EDIT_TIME_STATE    2200
#define RETURN_EDIT_TIME_OTHER    2216

#include "store/formpak_missing.h"
#include "store/page_copies.h"

#endif // LEVYLINE_STORE_H
