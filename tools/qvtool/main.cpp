// main.cpp - qvtool: prints and makes the program's data files.
//   qvtool dump FILE [-f]                       prints the records and pages (-f: fields too)
//   qvtool build DESCRIPTION OUTPUT [FOLDER]    writes a FormPak or a return file from a text
//                                               description (FOLDER: where the FormPaks of a
//                                               return are; default the output's folder)
// A file the program refuses gives its message on stderr and exit code 1.
#include "tools/qvtool/qvtool.h"

#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

int ToolError(const char *format, ...)
{
    va_list args;
    va_start(args, format);
    fputs("qvtool: ", stderr);
    vfprintf(stderr, format, args);
    fputs("\n", stderr);
    va_end(args);
    return 0;
}

std::string ToWindowsPath(const std::string &path)
{
    std::string out = path;
    if (!out.empty() && out[0] == '/')
        out = "Z:" + out;
    for (char &ch : out)
        if (ch == '/')
            ch = '\\';
    return out;
}

std::string ResolvePath(const std::string &folder, const std::string &path)
{
    std::string p = ToWindowsPath(path);
    if (p.size() >= 2 && (p[1] == ':' || (p[0] == '\\' && p[1] == '\\')))
        return p;
    if (folder.empty())
        return p;
    std::string f = ToWindowsPath(folder);
    if (f.back() != '\\')
        f += '\\';
    return f + p;
}

int LoadFileBytes(const std::string &path, std::vector<uint8_t> *out)
{
    DWORD size = 0;
    HANDLE file = OpenFileForRead(path.c_str(), &size, OPEN_FILE_QUIET);
    if (!file)
        return ToolError("cannot open %s", path.c_str());
    out->assign(size, 0);
    DWORD done = 0;
    while (done < size) {
        DWORD got = 0;
        if (!ReadFile(file, out->data() + done, size - done, &got, NULL) || !got)
            break;
        done += got;
    }
    CloseHandle(file);
    if (done != size)
        return ToolError("cannot read %s", path.c_str());
    return 1;
}

// The program's message boxes go to stderr; the tool never waits for a click.
static int PrintMessageBox(HWND, const char *text, const char *title, unsigned)
{
    fprintf(stderr, "%s: %s\n", title ? title : "", text ? text : "");
    return IDOK;
}

static int Usage(void)
{
    fputs("usage: qvtool dump FILE [-f]\n"
          "       qvtool build DESCRIPTION OUTPUT [FORMPAK-FOLDER]\n", stderr);
    return 2;
}

int main(int argc, char **argv)
{
    gMessageBoxHook = PrintMessageBox;
    // Started by a test program, the tool keeps to the tests' settings (LEVYLINE_REGISTRY_ROOT),
    // their data folder among them: the log lines of a file it refuses stay out of the user's.
    const char *root = getenv("LEVYLINE_REGISTRY_ROOT");
    if (root && root[0])
        SetRegistryRoot(root);
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    if (argc < 3)
        return Usage();
    if (strcmp(argv[1], "dump") == 0) {
        int withFields = argc > 3 && strcmp(argv[3], "-f") == 0;
        return RunDump(ToWindowsPath(argv[2]).c_str(), withFields) ? 0 : 1;
    }
    if (strcmp(argv[1], "build") == 0 && argc >= 4) {
        std::string folder = argc > 4 ? ToWindowsPath(argv[4]) : "";
        return RunBuild(ToWindowsPath(argv[2]).c_str(), ToWindowsPath(argv[3]).c_str(),
                        folder.empty() ? NULL : folder.c_str())
                   ? 0
                   : 1;
    }
    return Usage();
}
