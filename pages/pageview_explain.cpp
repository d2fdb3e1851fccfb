// The message shown for a click on a calculated field: where its value comes from.
#include "pages/pages.h"
#include "calc/calc.h"

#include <stdio.h>
#include <string.h>

static const char kSourcesHeading[] = "Source Field(s):\r\n";
static const char kTipStart[] = "\r\n\r\nTIP: ";

// Appends text to the MemAlloc block *buffer of *size bytes, growing it; 0 when out of memory.
static int AppendText(char **buffer, size_t *size, const char *text)
{
    if (!text)
        return 1;
    size_t used = *buffer ? strlen(*buffer) : 0, extra = strlen(text);
    if (!*buffer || used + extra + 1 > *size) {
        size_t newSize = used + extra + 256;
        char *grown = (char *)MemReAlloc(*buffer, newSize);
        if (!grown && *buffer)
            return 0;
        if (!grown) {
            grown = (char *)MemAlloc(64, newSize);
            if (!grown)
                return 0;
        }
        *buffer = grown;
        *size = newSize;
    }
    memcpy(*buffer + used, text, extra + 1);
    return 1;
}

char *BuildSourceExplanation(const FieldRecord *field, const char *sources, const FormulaExplainInfo *info,
                             int *markStart, int *markLength)
{
    if (markStart)
        *markStart = -1;
    if (markLength)
        *markLength = 0;
    char *text = NULL;
    size_t size = 0;
    int fromInfo = info->taxpayerItem || info->taxpayerOnly;
    int haveSources = sources && sources[0];
    int ok = 1;
    if (!fromInfo && haveSources) {
        // The choice between this form and other forms (the alternatives hold line breaks).
        int other = info->onOtherForms;
        const char *opening =
            info->copied ? (other ? "Data for this field is automatically copied from a field on another form."
                                  : "Data for this field is automatically copied from another field on this form.")
                         : (other ? "Data for this field is automatically computed from data that you enter in "
                                    "fields on\r\nthis form or another form."
                                  : "Data for this field is automatically computed from data that you enter in other "
                                    "fields\r\non this form.");
        ok = AppendText(&text, &size, opening) &&
             AppendText(&text, &size,
                        "\r\n\r\nIf you want to enter or change the data in this field, you will instead need to "
                        "enter\r\nyour data into one (or more) of the \"Source Field(s)\" listed below.\r\n\r\n") &&
             AppendText(&text, &size, kSourcesHeading) && AppendText(&text, &size, sources);
        if (ok && info->formMissing)
            ok = AppendText(&text, &size, "\r\n\r\n* = Form not found in this return\r\n");
        else if (ok && info->onOtherForms)
            ok = AppendText(&text, &size,
                            "\r\n\r\nTIP: To display a different form or page, click the form name in the "
                            "left-hand window.\r\n");
    } else if (!fromInfo && (info->assigned || (info->sourceCount == 0 && info->assignedOrGenerated == 1))) {
        ok = AppendText(&text, &size,
                        info->generated ? "Data for this field is automatically generated based on\r\ninformation "
                                          "that you entered either on the main tax form\r\nor via the \"Setup -> "
                                          "Taxpayer Info\" screen."
                                        : "Data for this field is automatically assigned by Levyline\r\nand cannot "
                                          "be changed.");
    } else if (fromInfo) {
        const char *formula = field ? field->valueList : NULL;
        if (formula && strstr(formula, "T[4]"))
            ok = AppendText(&text, &size,
                            "Data for this field is automatically assigned by Levyline and cannot\r\nbe changed.");
        else
            ok = AppendText(&text, &size,
                            "Data in this field is automatically copied from information that you entered\r\n"
                            "either on the main tax form or via the \"Setup -> Taxpayer Info\" screen.");
    } else {
        ok = AppendText(&text, &size,
                        "Data for this field is automatically computed from data that you enter in fields on\r\n"
                        "this form or another form.");
    }
    size_t length = text ? strlen(text) : 0;
    if (ok && (length < 2 || strcmp(text + length - 2, "\r\n") != 0))
        ok = AppendText(&text, &size, "\r\n");
    if (!ok)
        return (char *)MemFree(text);
    int start = 0;
    if (haveSources && !fromInfo && FindSubString(text, kSourcesHeading, &start)) {
        int end = (int)strlen(text), tip = 0;
        if (FindSubString(text + start, kTipStart, &tip))
            end = start + tip;
        if (markStart)
            *markStart = start;
        if (markLength)
            *markLength = end - start;
    }
    return text;
}

int BuildSourceExplanationTitle(const FieldRecord *field, char *out, int outSize)
{
    if (!out || outSize <= 0)
        return 0;
    out[0] = 0;
    if (!field)
        return 0;
    const char *line = field->line ? field->line : "";
    const char *description = field->description ? field->description : "";
    if (strncmp(line, "WS", 2) == 0) {
        char pieces[2][64] = {"", ""};
        const char *bar = strchr(line + 2, '|');
        int firstLength = bar ? (int)(bar - (line + 2)) : (int)strlen(line + 2);
        if (firstLength > 63)
            firstLength = 63;
        memcpy(pieces[0], line + 2, firstLength);
        pieces[0][firstLength] = 0;
        if (bar)
            lstrcpynA(pieces[1], bar + 1, sizeof(pieces[1]));
        snprintf(out, outSize, "Worksheet %s Line %s - %s", pieces[0], pieces[1], description);
    } else if (strstr(line, "Worksheet")) {
        snprintf(out, outSize, "%s - %s", line, description);
    } else if (line[0]) {
        snprintf(out, outSize, "Line %s - %s", line, description);
    } else {
        snprintf(out, outSize, "%s", description);
    }
    return 1;
}
