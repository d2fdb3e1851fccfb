// registry.cpp - the program's settings under HKEY_CURRENT_USER, by scope.
#include "store/store.h"

#include <stdio.h>
#include <string.h>

// Every setting lives under one root key; the test programs choose their own (SetRegistryRoot).
static const char kProgramRegistryRoot[] = "Software\\VantorelGroup\\Levyline";
static const char *const kScopeKeys[] = {NULL, "\\2024", "\\2023", "\\2024\\Admin", "\\2024\\Preparer",
                                         "\\Common"};
static char sScopePaths[REG_SCOPE_COMMON + 1][160];

static void BuildScopePaths(const char *root)
{
    for (int scope = REG_SCOPE_YEAR; scope <= REG_SCOPE_COMMON; scope++)
        snprintf(sScopePaths[scope], sizeof(sScopePaths[scope]), "%s%s", root, kScopeKeys[scope]);
}

int SetRegistryRoot(const char *root)
{
    if (!root)
        root = kProgramRegistryRoot;
    if (!root[0] || strlen(root) >= sizeof(sScopePaths[0]) - 16)
        return 0;
    BuildScopePaths(root);
    return 1;
}

const char *GetRegistryScopePath(int scope)
{
    if (scope < REG_SCOPE_YEAR || scope > REG_SCOPE_COMMON)
        return NULL;
    if (!sScopePaths[REG_SCOPE_YEAR][0])
        BuildScopePaths(kProgramRegistryRoot);
    return sScopePaths[scope];
}

int ReadRegistryValue(void *buffer, int scope, int reserved, const char *name, DWORD size, DWORD kind)
{
    (void)reserved;
    if (!buffer || size == 0)
        return 0;
    memset(buffer, 0, size);
    const char *keyPath = GetRegistryScopePath(scope);
    if (!keyPath || !name)
        return 0;
    DWORD type = 0, dataSize = 0;
    char *data = (char *)QueryRegistryValueAlloc(HKEY_CURRENT_USER, keyPath, name, 0, &type, &dataSize);
    if (!data)
        return 0;
    if (kind == REG_SZ || kind == REG_EXPAND_SZ) {
        if (type != REG_SZ && type != REG_EXPAND_SZ) {
            MemFree(data);
            return 0;
        }
        // The copy is zero-ended (QueryRegistryValueAlloc adds two zero bytes): cut to size - 1.
        size_t length = strlen(data);
        if (length > size - 1)
            length = size - 1;
        memcpy(buffer, data, length);
        ((char *)buffer)[length] = 0;
    } else {
        if (kind == REG_DWORD && type != REG_DWORD && !(type == REG_BINARY && dataSize == 4)) {
            MemFree(data);
            return 0;
        }
        memcpy(buffer, data, dataSize < size ? dataSize : size);
    }
    MemFree(data);
    return 1;
}

int WriteRegistryValue(int scope, const char *name, DWORD kind, const void *data, DWORD size)
{
    const char *keyPath = GetRegistryScopePath(scope);
    if (!keyPath || !name || !data)
        return 0;
    if ((kind == REG_SZ || kind == REG_EXPAND_SZ) && size == 0)
        size = (DWORD)strlen((const char *)data) + 1;
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, keyPath, 0, NULL, 0, KEY_SET_VALUE, NULL, &key, NULL) !=
        ERROR_SUCCESS)
        return 0;
    LONG result = RegSetValueExA(key, name, 0, kind, (const BYTE *)data, size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

int DeleteRegistryValue(int scope, const char *name)
{
    const char *keyPath = GetRegistryScopePath(scope);
    if (!keyPath || !name)
        return 0;
    HKEY key;
    LONG result = RegOpenKeyExA(HKEY_CURRENT_USER, keyPath, 0, KEY_SET_VALUE, &key);
    if (result == ERROR_FILE_NOT_FOUND)
        return 1;
    if (result != ERROR_SUCCESS)
        return 0;
    result = RegDeleteValueA(key, name);
    RegCloseKey(key);
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}

void *QueryRegistryValueAlloc(HKEY rootKey, const char *keyPath, const char *valueName, int create,
                              DWORD *typeOut, DWORD *sizeOut)
{
    if (typeOut)
        *typeOut = 0;
    if (sizeOut)
        *sizeOut = 0;
    if (!rootKey || !keyPath)
        return NULL;
    HKEY key;
    LONG result;
    if (create)
        result = RegCreateKeyExA(rootKey, keyPath, 0, NULL, 0, KEY_QUERY_VALUE, NULL, &key, NULL);
    else
        result = RegOpenKeyExA(rootKey, keyPath, 0, KEY_QUERY_VALUE, &key);
    if (result != ERROR_SUCCESS)
        return NULL;
    void *copy = NULL;
    // The value may change between asking its size and reading it: retry a few times.
    for (int attempt = 0; attempt < 4; attempt++) {
        DWORD type = 0, size = 0;
        if (RegQueryValueExA(key, valueName, NULL, &type, NULL, &size) != ERROR_SUCCESS)
            break;
        copy = MemAlloc(64, (size_t)size + 2);  // two zero bytes past the data end any text
        if (!copy)
            break;
        DWORD got = size;
        result = RegQueryValueExA(key, valueName, NULL, &type, (BYTE *)copy, &got);
        if (result == ERROR_SUCCESS) {
            if (typeOut)
                *typeOut = type;
            if (sizeOut)
                *sizeOut = got;
            break;
        }
        copy = MemFree(copy);
        if (result != ERROR_MORE_DATA)
            break;
    }
    RegCloseKey(key);
    return copy;
}
