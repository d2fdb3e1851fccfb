// The amended copy of a sent return: ticking "Amended" on a return whose federal part was sent
// keeps that file as it is and saves the return under a new name, without its send state.
#include "pages/pages_private.h"
#include "ui/ui.h"

#include <string.h>

static int sAmendedPosted;   // a WM_PAGE_AMENDED is on its way

void ClearAmendedPost(void)
{
    sAmendedPosted = 0;
}

// After a paint: the edit bar's commit of the "Amended" box (1 ticked, 2 cleared) goes to the
// page view once. While the bar is open the box holds its own marker, which is no commit.
void PostAmendedCommit(HWND window)
{
    if ((gEditRequest.amendedBox == 1 || gEditRequest.amendedBox == 2) && !sAmendedPosted) {
        sAmendedPosted = 1;
        PostMessageA(window, WM_PAGE_AMENDED, 0, (LPARAM)gEditRequest.amendedBox);
    }
}

// The send state that an amended copy clears: the three part blocks' send data and the
// transmission block before the federal part.
struct SendStateCopy {
    uint8_t transmission[RETURN_TRANSMISSION_SIZE];
    uint8_t parts[3][PART_BLOCK_SIZE];
};

static const int kPartOffsets[3] = {RETURN_PART_FEDERAL, RETURN_PART_STATE, RETURN_PART_OTHER};

static void SaveSendState(OpenReturn *record, SendStateCopy *copy)
{
    memcpy(copy->transmission, ReturnBytes(record, RETURN_TRANSMISSION), RETURN_TRANSMISSION_SIZE);
    for (int i = 0; i < 3; i++)
        memcpy(copy->parts[i], ReturnBytes(record, kPartOffsets[i]), PART_BLOCK_SIZE);
}

static void RestoreSendState(OpenReturn *record, const SendStateCopy *copy)
{
    memcpy(ReturnBytes(record, RETURN_TRANSMISSION), copy->transmission, RETURN_TRANSMISSION_SIZE);
    for (int i = 0; i < 3; i++)
        memcpy(ReturnBytes(record, kPartOffsets[i]), copy->parts[i], PART_BLOCK_SIZE);
}

// Clears what marks the return as sent: each part's sent and status times, status letter and
// code, reject letter and message (the part's code and tax year stay, except the federal kind
// text), and the transmission block.
void ClearReturnSendState(OpenReturn *record)
{
    memset(ReturnBytes(record, RETURN_TRANSMISSION), 0, RETURN_TRANSMISSION_SIZE);
    for (int i = 0; i < 3; i++) {
        uint8_t *part = ReturnBytes(record, kPartOffsets[i]);
        memset(part + PART_SENT_TIME, 0, PART_BLOCK_SIZE - PART_SENT_TIME);
    }
    memset(ReturnBytes(record, RETURN_PART_FEDERAL + PART_CODE), 0, PART_TAX_YEAR - PART_CODE);
}

// The file name of the amended copy: "_amended" before the extension, or with a two-digit
// counter when that name is taken. 0 when no free name fits.
int MakeAmendedPathName(const char *path, char *out, int outSize)
{
    if (!path || !path[0] || outSize < 2)
        return 0;
    lstrcpynA(out, path, outSize);
    if ((int)strlen(path) >= outSize)
        return 0;
    if (MakeUniquePathName(out, outSize, "_amended", 0) && lstrcmpiA(out, path) != 0)
        return 1;
    lstrcpynA(out, path, outSize);
    if (MakeUniquePathName(out, outSize, "_amended", 2) && lstrcmpiA(out, path) != 0)
        return 1;
    // The return's own file is missing (the unique-name routine keeps a free name as it is):
    // put the suffix in by hand.
    const char *dot = strrchr(path, '.');
    const char *slash = strrchr(path, '\\');
    int stem = (dot && (!slash || dot > slash)) ? (int)(dot - path) : (int)strlen(path);
    if (stem + 8 + (int)strlen(path + stem) + 1 > outSize)
        return 0;
    memcpy(out, path, stem);
    strcpy(out + stem, "_amended");
    strcat(out, path + stem);
    return !FileExists(out);
}

void OnPageViewAmended(HWND window, int ticked)
{
    gEditRequest.amendedBox = 0;
    ClearAmendedPost();
    if (ticked != 1 || !gReturnPath[0] || !gOpenReturnPtr)
        return;
    OpenReturn *record = gOpenReturnPtr;
    const char *kind = ReturnText(record, RETURN_PART_FEDERAL + PART_CODE);
    if (!ReturnBytes(record, RETURN_PART_FEDERAL + PART_STATUS_LETTER)[0] || !kind[0] || lstrcmpiA(kind, "940X") == 0)
        return;
    ShowMessageBox(gMainWindow,
                   "Levyline detected that you are checking the \"Amended\" box for a previously-sent return.\r\n\r\n"
                   "The software will keep your existing return as-is and instead create a new tax return file and "
                   "append \"_amended\" to the existing file name.",
                   "Creating Amended Return", MB_OK | MB_ICONINFORMATION);
    // The new name is settled before anything changes: without one the return stays as it is.
    char newPath[sizeof(gReturnPath)];
    if (!MakeAmendedPathName(gReturnPath, newPath, sizeof(newPath))) {
        ShowMessageBox(gMainWindow, "No file name could be found for the amended return.\r\n\r\n"
                                    "The return has not been changed.",
                       "Creating Amended Return", MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    SendStateCopy saved;
    SaveSendState(record, &saved);
    char oldPath[sizeof(gReturnPath)];
    lstrcpynA(oldPath, gReturnPath, sizeof(oldPath));
    int oldModified = gReturnModified;
    ClearReturnSendState(record);
    lstrcpynA(gReturnPath, newPath, sizeof(gReturnPath));
    gReturnModified = 1;
    if (gMainWindow)
        SendMessageA(gMainWindow, WM_COMMAND, IDM_SAVEAS, 1);
    // Saved when the return now lives in the new file with nothing left to save.
    if (!gReturnModified && lstrcmpiA(gReturnPath, newPath) == 0 && FileExists(newPath))
        return;
    RestoreSendState(record, &saved);
    lstrcpynA(gReturnPath, oldPath, sizeof(gReturnPath));
    gReturnModified = oldModified;
}
