// files.h - files, folders, the common file dialogs, the shell and compression.
// Part of the store's public interface: include store/store.h.
#ifndef LEVYLINE_STORE_FILES_H
#define LEVYLINE_STORE_FILES_H

#include <windows.h>
#include <commdlg.h>
#include <stddef.h>
#include <stdint.h>

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

// The reason path cannot be used by this program, or null when it can: no path; a "\\?\" or
// "\\.\" prefix; a character no file name may hold ('?', what a character outside the Windows
// code page becomes in the program's texts, '*' or a control character); a file or folder named
// as a device the system keeps (CON, PRN, AUX, NUL, COM1-COM9, LPT1-LPT9, with any extension).
// The reason reads after "could not be written: " (it may sit in a buffer the next call reuses).
const char *FindPathProblem(const char *path);
// 1 when path is usable; otherwise says why not (message titled title) and returns 0.
int CheckPathUsable(HWND owner, const char *path, const char *title);
// The temporary name under which a file's new bytes are written beside it: "<path>.tmp", or, when
// that would pass the system's path limit or make the file's name longer than 255 characters, the
// path with its last character changed to '~'. The next write of the same file uses the same name,
// so a killed write's leftover is replaced.
// 1 with the name in out (outSize bytes), 0 when there is none.
int MakeReplaceTempName(const char *path, char *out, int outSize);
// The reason the file at path may not be replaced, or null when it may: a path FindPathProblem
// refuses or one too long, a folder that does not exist (it is not made), a folder of that name, a
// read-only target (with the system's reason), a target another program holds.
const char *CheckFileReplaceable(const char *path);
// A file being replaced: its new bytes go to the temporary file (handle) beside the target.
struct FileReplace {
    HANDLE handle;               // null when no temporary file is open
    char target[MAX_PATH];
    char temporary[MAX_PATH];
    DWORD attributes;            // the target's before (0: a new file)
};
// Checks the target (CheckFileReplaceable), removes a temporary file an earlier write left
// whatever its attributes, and creates the temporary file. 1 with replace->handle open for
// writing; 0 with the reason in *whyOut (nothing is left to finish).
int BeginFileReplace(FileReplace *replace, const char *path, const char **whyOut);
// complete: the bytes are all written: flushes and closes the temporary file, gives it the
// target's attributes and renames it over the target. Otherwise, or when that fails (the reason
// in *whyOut), the temporary file is deleted and the target stays as it was. 1 when replaced.
int FinishFileReplace(FileReplace *replace, int complete, const char **whyOut);
// Replaces the file at path with length bytes through BeginFileReplace and FinishFileReplace.
// 1 on success; 0 with the reason in *whyOut.
int ReplaceFileContents(const char *path, const void *data, uint32_t length, const char **whyOut);

// What identifies a file and the version of its bytes: the volume and file index (the same file
// under any spelling of its path) and its size and last-write time. known is 0 when unread.
struct FileStamp {
    int known;
    DWORD volume, indexHigh, indexLow;
    DWORD sizeHigh, sizeLow;
    FILETIME lastWrite;
};
// Reads the stamp of the file at path (also of a file held open by this or another program);
// 0 (stamp zeroed) when there is no such file or it cannot be opened.
int ReadFileStamp(const char *path, FileStamp *stamp);
// 1 when now is another file than then, or the same file with another size or last-write time.
int IsFileStampChanged(const FileStamp *then, const FileStamp *now);
// 1 when both paths name the same existing file.
int IsSameFile(const char *path, const char *otherPath);

// The open return's file is held open while the return is open: others may read it but not write,
// rename or delete it. HoldFileOpen lets go of any earlier hold first; 1 when the file is held.
int HoldFileOpen(const char *path);
void ReleaseHeldFile(void);
// 1 when path names the file this program holds (by the file's identity, not the path's text).
int IsHeldFile(const char *path);
// 1 when an open handle of another program (or of this one) keeps path from being written; who
// (whoSize bytes, may be null) receives the programs that hold it where the system names them
// (program, process and user), else "".
int FindFileHolder(const char *path, char *who, int whoSize);

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

// The common open-file dialog (through gFileDialogHook in tests, store/seams.h; with the hook
// procedure gAppCallbacks.fileDialogHookProc when set). filter: pairs of zero-ended texts ending
// in an extra zero. Starts in startFolder, or (when null/empty) in the folder held by the
// registry value folderValueName of scope (1 when scope is 0). Returns 1 when a file was picked
// (full path in pathBuffer, its folder written back to folderValueName), 0 when cancelled or when
// a dialog with the same title is already open (that window is focused with a beep).
// pathBuffer's text on entry is the proposed file name.
int ShowFileOpenDialog(const char *title, const char *defaultExtension, const char *filter, int scope,
                       int reserved, const char *folderValueName, const char *startFolder,
                       char *pathBuffer, int bufferSize, HWND owner);
// The common save dialog (through gFileDialogHook in tests). pathBuffer holds the proposed name
// on entry. 1 when a name was chosen.
int ShowFileSaveDialog(HWND owner, const char *title, const char *defaultExtension, const char *filter,
                       char *pathBuffer, int bufferSize);

// Opens file with the shell verb ("open", "print" ...; null = default); 1 on success. Tests
// record the call instead (gShellExecuteHook, store/seams.h).
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

#endif // LEVYLINE_STORE_FILES_H
