// Settings of the shell: zoom fitting, recent files, preparer settings and the
// folder text of attached files.
#include "ui/ui.h"
#include "store/store.h"

#include <shlobj.h>
#include <stdio.h>
#include <string.h>

PreparerSettings gPreparerSettings;
SIZE gPageBitmapSize = {2400, 3168};

// Pure part of ComputeFitZoom: zoom = available pixels / bitmap size, percentage
// relative to the program's 100 % (zoom 0.3).
int ComputeFitZoomFor(int mode, int bitmapWidth, int bitmapHeight, int availWidth, int availHeight, float *zoomOut)
{
    float zoom;
    if (mode == 1) {
        if (bitmapWidth <= 0)
            return 0;
        zoom = (float)availWidth / (float)bitmapWidth;
    } else {
        if (bitmapHeight <= 0)
            return 0;
        zoom = (float)availHeight / (float)bitmapHeight;
    }
    if (zoom <= 0.0f)
        return 0;  // no room at all: no zoom (never 0 or below)
    // Held to the range the page view offers (50 % to 200 %).
    const float smallest = 50.0f * 0.3f / 100.0f, largest = 200.0f * 0.3f / 100.0f;
    if (zoom < smallest)
        zoom = smallest;
    if (zoom > largest)
        zoom = largest;
    if (zoomOut)
        *zoomOut = zoom;
    return (int)(zoom * 100.0f / 0.3f + 0.5f);
}

int ComputeFitZoom(int mode, float *zoomOut)
{
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    int availWidth = (work.right - work.left) - 2 * (GetSystemMetrics(SM_CXEDGE) + 1) - GetSystemMetrics(SM_CXVSCROLL);
    if (!gFullScreen && gFormsTreeWindow) {
        RECT tr;
        GetWindowRect(gFormsTreeWindow, &tr);
        availWidth -= (tr.right - tr.left) + GetSystemMetrics(SM_CXEDGE);
    }
    int availHeight = 0;
    if (gPageViewWindow) {
        RECT pr;
        GetClientRect(gPageViewWindow, &pr);
        availHeight = pr.bottom;
    }
    return ComputeFitZoomFor(mode, gPageBitmapSize.cx, gPageBitmapSize.cy, availWidth, availHeight, zoomOut);
}

// The recent-files list: "max;path1;path2..." in a registry value under HKEY_CURRENT_USER.
int UpdateRecentFilesMenu(HMENU menu, const char *pathToAdd, const char *registryKeyPath, const char *valueName)
{
    const char *keyPath = registryKeyPath ? registryKeyPath : GetRegistryScopePath(REG_SCOPE_YEAR);
    if (!valueName)
        return 0;
    char list[4096] = "";
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        DWORD type = 0, size = sizeof(list) - 1;
        if (RegQueryValueExA(key, valueName, NULL, &type, (BYTE *)list, &size) != ERROR_SUCCESS || type != REG_SZ)
            list[0] = 0;
        list[sizeof(list) - 1] = 0;
        RegCloseKey(key);
    }
    // Parse: first the maximum, then the paths.
    enum { kMaxPaths = 9 };
    char paths[kMaxPaths][MAX_PATH];
    int count = 0, maximum = kMaxPaths;
    char *position = NULL;
    char *token = TokenizeString(list, ";", &position, 1);
    if (token) {
        int m = atoi(token);
        if (m > 0 && m <= kMaxPaths)
            maximum = m;
        while ((token = TokenizeString(NULL, ";", &position, 1)) != NULL && count < kMaxPaths)
            lstrcpynA(paths[count++], token, MAX_PATH);
    }
    // ';' separates the list's paths: a path holding one cannot be listed.
    if (pathToAdd && pathToAdd[0] && !strchr(pathToAdd, ';')) {
        int found = -1;
        for (int i = 0; i < count; i++)
            if (!lstrcmpiA(paths[i], pathToAdd))
                found = i;
        if (found < 0)
            found = count < kMaxPaths ? count++ : kMaxPaths - 1;
        for (int i = found; i > 0; i--)
            memcpy(paths[i], paths[i - 1], MAX_PATH);
        lstrcpynA(paths[0], pathToAdd, MAX_PATH);
        if (count > maximum)
            count = maximum;
        char out[4096];
        int n = snprintf(out, sizeof(out), "%d", maximum);
        for (int i = 0; i < count && n < (int)sizeof(out); i++)
            n += snprintf(out + n, sizeof(out) - n, ";%s", paths[i]);
        if (n < (int)sizeof(out) &&
            RegCreateKeyExA(HKEY_CURRENT_USER, keyPath, 0, NULL, 0, KEY_WRITE, NULL, &key, NULL) == ERROR_SUCCESS) {
            RegSetValueExA(key, valueName, 0, REG_SZ, (const BYTE *)out, (DWORD)strlen(out) + 1);
            RegCloseKey(key);
        }
    }
    if (count > maximum)
        count = maximum;
    if (!menu)
        return count;
    // Drop the items of an earlier call, then append one per path.
    for (int id = IDM_RECENTFILE_FIRST; id <= IDM_RECENTFILE_LAST; id++)
        DeleteMenu(menu, id, MF_BYCOMMAND);
    int added = 0;
    for (int i = 0; i < count && IDM_RECENTFILE_FIRST + i <= IDM_RECENTFILE_LAST; i++) {
        const char *name = paths[i] + GetFolderPartLength(paths[i]);
        char doubled[2 * MAX_PATH];
        DoubleAmpersands(name, doubled, sizeof(doubled));
        char caption[2 * MAX_PATH + 16];
        snprintf(caption, sizeof(caption), "%d. %s", i + 1, doubled);
        if (AppendMenuA(menu, MF_STRING, IDM_RECENTFILE_FIRST + i, caption))
            added++;
    }
    return added;
}

int ReadPreparerSettings(PreparerSettings *settings)
{
    if (!settings)
        return 0;
    memset(settings, 0, sizeof(*settings));
    static const char *const kNames[PREPARER_SLOT_COUNT] = {
        "FirmName", "Name",  "PTIN",  "EIN",   "Address", "City",  "State", "Zip",   "Phone", "Email",
        "CustId",   "Kind",  "SelfEmp", "Slot13", "Slot14", "Slot15", "Slot16", "Slot17", "Slot18", "Slot19",
        "Slot20",   "Slot21", "Slot22", "Slot23", "Slot24", "Slot25", "Slot26", "Slot27"};
    int found = 0;
    for (int i = 0; i < PREPARER_SLOT_COUNT; i++)
        if (ReadRegistryValue(settings->slot[i], 4, 0, kNames[i], PREPARER_SLOT_SIZE, REG_SZ))
            found++;
    return found;
}

// A paid ("P") or volunteer ("V") preparer with a customer id.
int IsPreparerSetupComplete(int flag)
{
    const PreparerSettings *s = &gPreparerSettings;
    char kind = s->slot[PREP_KIND][0];
    return (kind == 'P' || kind == 'V') && s->slot[PREP_CUSTOMER_ID][0];
}

// Two customer accounts whose returns the Summary page words differently.
int IsSpecialCustomer(int flag)
{
    const char *id = gPreparerSettings.slot[PREP_CUSTOMER_ID];
    if (!strcmp(id, "VG-100001"))
        return 1;
    if (!strcmp(id, "VG-100002"))
        return 2;
    return 0;
}

// The folder text stored with an attached file: a folder inside the user's profile is
// shown from the Documents (or Desktop) folder's name on.
int MaskProfileFolder(const char *path, char *out, int outSize)
{
    if (!path || !out || outSize <= 0)
        return 0;
    int length = GetFolderPartLength(path);
    char folder[MAX_PATH];
    if (length <= 0 || length >= (int)sizeof(folder)) {
        out[0] = 0;
        return 0;
    }
    memcpy(folder, path, length);
    folder[length] = 0;
    if (IsUnderDocumentsOrDesktop(folder, out, outSize))
        return 1;
    if ((int)strlen(folder) >= outSize) {
        out[0] = 0;
        return 0;
    }
    lstrcpynA(out, folder, outSize);
    return 1;
}
