// Checks and clean-up of a typed explanation, and the caption of a field's explanation. No
// window needed.
#include "entry/explain/explain_private.h"

#include <stdio.h>
#include <string.h>

int GetExplanationLeadKind(const char *text)
{
    if (!text)
        return 0;
    if (text[0] == ' ')
        return 1;
    if (text[0] == '\r' || text[0] == '\n')
        return 2;
    return 0;
}

int CleanExplanationText(char *text)
{
    if (!text)
        return 0;
    for (unsigned char *p = (unsigned char *)text; *p; p++) {
        switch (*p) {
        case 0x96:
            *p = '-';
            break;
        case 0x91:
        case 0x92:
            *p = '\'';
            break;
        case 0x93:
        case 0x94:
            *p = '"';
            break;
        }
    }
    size_t length = strlen(text);
    while (length > 0 && (text[length - 1] == ' ' || text[length - 1] == '\r' || text[length - 1] == '\n'))
        text[--length] = 0;
    return (int)length;
}

int CountExplanationLines(const char *text)
{
    if (!text)
        return 1;
    int lines = 1;
    for (const char *p = text; *p; p++) {
        if (*p == '\r') {
            lines++;
            if (p[1] == '\n')
                p++;
        } else if (*p == '\n') {
            lines++;
        }
    }
    return lines;
}

int BuildFieldExplanationCaption(const FieldRecord *field, const char *pageKey, char *out, int outSize)
{
    if (!out || outSize <= 0)
        return 0;
    out[0] = 0;
    char display[FORM_NAME_SIZE] = "";
    if (pageKey && pageKey[0])
        FormatFormDisplayName(NULL, NULL, pageKey, display, 0);
    const char *line = field && field->line ? field->line : "";
    const char *description = field && field->description ? field->description : "";
    int n = line[0] ? snprintf(out, outSize, "%s Line %s - %s", display, line, description)
                    : snprintf(out, outSize, "%s - %s", display, description);
    return n < 0 ? 0 : (n < outSize ? n : outSize - 1);
}
