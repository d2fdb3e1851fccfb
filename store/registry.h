// registry.h - the program's registry values and the state and region table.
// Part of the store's public interface: include store/store.h.
#ifndef LEVYLINE_STORE_REGISTRY_H
#define LEVYLINE_STORE_REGISTRY_H

#include <windows.h>

// ---- utility services: registry ----

// Scopes: keys under HKEY_CURRENT_USER, below the settings root ("Software\VantorelGroup\Levyline").
#define REG_SCOPE_YEAR      1   // "<root>\2024"
#define REG_SCOPE_PREVYEAR  2   // "<root>\2023"
#define REG_SCOPE_ADMIN     3   // "<root>\2024\Admin"
#define REG_SCOPE_PREPARER  4   // "<root>\2024\Preparer"
#define REG_SCOPE_COMMON    5   // "<root>\Common"
// Makes root (below HKEY_CURRENT_USER; null: the program's own) the key every setting is read from
// and written to, before anything reads settings. The test programs keep theirs apart this way.
// 1, or 0 for an empty or too long root (the root stays as it was).
int SetRegistryRoot(const char *root);
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

#endif // LEVYLINE_STORE_REGISTRY_H
