// text.cpp - in-place routines on zero-ended 8-bit texts.
#include "store/store.h"

#include <string.h>

int FindSubString(const char *text, const char *find, int *offsetOut)
{
    if (!text || !find || !*find)
        return 0;
    const char *hit = strstr(text, find);
    if (!hit)
        return 0;
    if (offsetOut)
        *offsetOut = (int)(hit - text);
    return 1;
}

int FindLastSubString(const char *text, const char *find, int *offsetOut)
{
    if (!text || !find || !*find)
        return 0;
    const char *last = NULL;
    for (const char *hit = strstr(text, find); hit; hit = strstr(hit + 1, find))
        last = hit;
    if (!last)
        return 0;
    if (offsetOut)
        *offsetOut = (int)(last - text);
    return 1;
}

int ReplaceSubString(char **text, const char *find, const char *replacement, int grow, int *position,
                     size_t bufferSize)
{
    if (!text || !*text || !find || !*find)
        return 0;
    if (!replacement)
        replacement = "";
    char *buffer = *text;
    size_t length = strlen(buffer);
    size_t start = 0;
    if (position && *position > 0)
        start = (size_t)*position;
    if (start > length)
        return 0;
    char *hit = strstr(buffer + start, find);
    if (!hit)
        return 0;
    size_t at = (size_t)(hit - buffer);
    size_t findLength = strlen(find);
    size_t newLength = strlen(replacement);
    size_t needed = length - findLength + newLength + 1;
    if (grow) {
        // Grow only when the MemAlloc block itself is too small (never shrink it).
        SIZE_T blockSize = HeapSize(GetProcessHeap(), 0, buffer);
        if (blockSize == (SIZE_T)-1 || blockSize < needed) {
            char *grown = (char *)MemReAlloc(buffer, needed);
            if (!grown)
                return 0;
            buffer = grown;
            *text = buffer;
        }
    } else if (needed > bufferSize) {
        return 0;
    }
    memmove(buffer + at + newLength, buffer + at + findLength, length - at - findLength + 1);
    memcpy(buffer + at, replacement, newLength);
    if (position)
        *position = (int)(at + newLength);
    return 1;
}

int RemoveChars(char *text, const char *set)
{
    if (!text || !set || !*set)
        return 0;
    char *out = text;
    int removed = 0;
    for (char *p = text; *p; p++) {
        if (strchr(set, *p))
            removed++;
        else
            *out++ = *p;
    }
    *out = 0;
    return removed;
}

int ReplaceChar(char *text, char from, char to)
{
    if (!text || !from)
        return 0;
    int count = 0;
    for (char *p = text; *p; p++) {
        if (*p == from) {
            *p = to;
            count++;
        }
    }
    return count;
}

char *TrimSpaces(char *text)
{
    if (!text)
        return text;
    char *p = text;
    while (*p == ' ' || *p == '\t')
        p++;
    size_t length = strlen(p);
    while (length > 0 && (p[length - 1] == ' ' || p[length - 1] == '\t'))
        length--;
    memmove(text, p, length);
    text[length] = 0;
    return text;
}

int TrimTrailingChar(char *text, char ch)
{
    if (!text)
        return 0;
    size_t length = strlen(text);
    while (length > 0 && text[length - 1] == ch)
        text[--length] = 0;
    return length > 0;
}

int CountChar(const char *text, char ch)
{
    if (!text || !ch)
        return 0;
    int count = 0;
    for (; *text; text++)
        if (*text == ch)
            count++;
    return count;
}

char *TokenizeString(char *text, const char *delimiters, char **position, int skipLeading)
{
    if (!delimiters)
        delimiters = "";
    char *p = (position && *position) ? *position : text;
    if (!p) {
        if (position)
            *position = NULL;
        return NULL;
    }
    if (skipLeading)
        while (*p && strchr(delimiters, *p))
            p++;
    if (!*p) {
        if (position)
            *position = NULL;
        return NULL;
    }
    char *token = p;
    while (*p && !strchr(delimiters, *p))
        p++;
    char *next = NULL;
    if (*p) {
        *p = 0;
        next = p + 1;
    }
    if (position)
        *position = next;
    return (p == token) ? NULL : token;
}

int JoinStrings(char *out, size_t outSize, const char *separator, const char *const *parts, int count)
{
    if (!separator)
        separator = "";
    size_t sepLength = strlen(separator);
    size_t total = 0;
    for (int i = 0; parts && i < count; i++) {
        if (i > 0)
            total += sepLength;
        if (parts[i])
            total += strlen(parts[i]);
    }
    if (!out)
        return (int)total;
    if (total + 1 > outSize) {
        if (outSize > 0)
            out[0] = 0;
        return -1;
    }
    size_t o = 0;
    for (int i = 0; parts && i < count; i++) {
        if (i > 0) {
            memcpy(out + o, separator, sepLength);
            o += sepLength;
        }
        if (parts[i]) {
            size_t n = strlen(parts[i]);
            memcpy(out + o, parts[i], n);
            o += n;
        }
    }
    out[o] = 0;
    return (int)total;
}

int FindCharLineColumn(const char *text, int reserved, const char *set, int *offsetOut, int *lineOut,
                       int *columnOut, char *charOut, char *lineTextOut, int lineBufferSize)
{
    (void)reserved;
    if (!text || !set || !*set)
        return 0;
    const char *hit = NULL;
    for (const char *s = set; *s && !hit; s++)
        hit = strchr(text, *s);
    if (!hit)
        return 0;
    int line = 1;
    const char *lineStart = text;
    for (const char *p = text; p < hit; p++) {
        if (*p == '\n') {
            line++;
            lineStart = p + 1;
        }
    }
    if (offsetOut)
        *offsetOut = (int)(hit - text);
    if (lineOut)
        *lineOut = line;
    if (columnOut)
        *columnOut = (int)(hit - lineStart) + 1;
    if (charOut)
        *charOut = *hit;
    if (lineTextOut && lineBufferSize > 0) {
        const char *lineEnd = lineStart;
        while (*lineEnd && *lineEnd != '\r' && *lineEnd != '\n')
            lineEnd++;
        size_t n = (size_t)(lineEnd - lineStart);
        if (n > (size_t)lineBufferSize - 1)
            n = (size_t)lineBufferSize - 1;
        memcpy(lineTextOut, lineStart, n);
        lineTextOut[n] = 0;
    }
    return 1;
}

int ResolveTextVariants(char *text, int mode)
{
    if (!text)
        return 0;
    if (mode < 1)
        mode = 1;
    int resolved = 0;
    char *p = text;
    while ((p = strchr(p, '%')) != NULL) {
        char *close = strchr(p + 1, '%');
        if (!close)
            break;
        // A choice holds one or two '/' (its alternatives may span lines); anything else
        // (placeholders such as "%%FORMNAME%%", a lone percent sign) is kept and the scan moves
        // on by one character.
        int slashes = 0;
        int valid = close > p + 1;
        for (char *q = p + 1; q < close; q++)
            if (*q == '/')
                slashes++;
        if (!valid || slashes < 1 || slashes > 2) {
            p++;
            continue;
        }
        // Locate the mode-th alternative (the last one when there are fewer).
        int wanted = mode > slashes + 1 ? slashes + 1 : mode;
        char *altStart = p + 1;
        for (int i = 1; i < wanted; i++)
            altStart = strchr(altStart, '/') + 1;
        char *altEnd = altStart;
        while (altEnd < close && *altEnd != '/')
            altEnd++;
        size_t altLength = (size_t)(altEnd - altStart);
        memmove(p, altStart, altLength);
        memmove(p + altLength, close + 1, strlen(close + 1) + 1);
        p += altLength;
        resolved++;
    }
    return resolved;
}

// Copies text into out (outSize bytes) with every '&' doubled, so a menu item, tab or
// static shows the text as it is; a pair that would not fit is left out whole.
void DoubleAmpersands(const char *text, char *out, int outSize)
{
    if (!out || outSize <= 0)
        return;
    int n = 0;
    for (const char *p = text ? text : ""; *p && n < outSize - 1; p++) {
        if (*p == '&') {
            if (n + 2 > outSize - 1)
                break;
            out[n++] = '&';
        }
        out[n++] = *p;
    }
    out[n] = 0;
}

int StartsWithText(const char *text, const char *prefix)
{
    return text && strncmp(text, prefix, strlen(prefix)) == 0;
}

char *DuplicateText(const char *text)
{
    if (!text)
        return NULL;
    size_t length = strlen(text) + 1;
    char *copy = (char *)MemAlloc(64, length);
    if (copy)
        memcpy(copy, text, length);
    return copy;
}

void AppendTextBounded(char *out, size_t outSize, const char *text)
{
    size_t used = strlen(out);
    if (!text || used + 1 >= outSize)
        return;
    size_t n = strlen(text);
    if (n > outSize - used - 1)
        n = outSize - used - 1;
    memcpy(out + used, text, n);
    out[used + n] = 0;
}

const char *ReadValueListItem(const char *list, char *item, size_t itemSize)
{
    while (*list == ',' || *list == '"')
        list++;
    const char *end = list;
    while (*end && *end != ',' && *end != '"')
        end++;
    size_t n = (size_t)(end - list) < itemSize - 1 ? (size_t)(end - list) : itemSize - 1;
    memcpy(item, list, n);
    item[n] = 0;
    return end;
}
