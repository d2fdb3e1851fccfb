// log.cpp - the program's log file "Quorvel.log" in the data folder.
#include "store/store.h"

#include <stdio.h>
#include <string.h>

int WriteLogLine(const char *line)
{
    if (!line)
        return 0;
    char folder[MAX_PATH];
    if (!GetProgramFolder(folder, FOLDER_DATA))
        return 0;
    char path[MAX_PATH];
    int n = snprintf(path, sizeof path, "%s\\Quorvel.log", folder);
    if (n < 0 || n >= (int)sizeof path)
        return 0;
    return AppendLineToFile(line, path);
}
