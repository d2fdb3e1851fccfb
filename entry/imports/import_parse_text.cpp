// The import parser's text steps that ask nothing: each rewrites the text in place, never
// writes past its end and runs in one pass (a file of a thousand rows parses in linear time).
#include "entry/imports/imports.h"

#include <string.h>

static int IsBlank(char ch)
{
    return ch == ' ';
}

static int IsSeparatorEnd(char ch)
{
    return ch == IMPORT_FIELD_END || ch == IMPORT_RECORD_END;
}

static int IsDigit(char ch)
{
    return ch >= '0' && ch <= '9';
}

int CutImportTrailingRubbish(char *text, int length)
{
    int last = -1;
    for (int i = length - 1; i >= 0; i--) {
        char ch = text[i];
        if (ch != ',' && ch != '\t' && ch != '\r' && ch != '\n' && ch != ' ') {
            last = i;
            break;
        }
    }
    if (last < 0)
        return length;
    for (int i = last + 1; i + 1 < length; i++) {
        if (text[i] == '\r' && text[i + 1] == '\n') {
            text[i] = 0;
            return i;
        }
    }
    return length;
}

// Where the record that starts at start has its "//" marker (after blanks), or -1.
static int FindCommentMarker(const char *text, int start, int length)
{
    int i = start;
    while (i < length && (text[i] == ' ' || text[i] == '\t'))
        i++;
    if (i + 1 < length && text[i] == '/' && text[i + 1] == '/')
        return i;
    return -1;
}

int StripImportComments(char *text, int length)
{
    int read = 0, write = 0;
    while (read < length) {
        int lineEnd = read;
        while (lineEnd < length && text[lineEnd] != '\r' && text[lineEnd] != '\n')
            lineEnd++;
        int marker = FindCommentMarker(text, read, lineEnd);
        if (marker >= 0) {
            text[write++] = '/';
            text[write++] = '/';
        } else {
            memmove(text + write, text + read, (size_t)(lineEnd - read));
            write += lineEnd - read;
        }
        read = lineEnd;
        // The line end itself is kept.
        while (read < length && (text[read] == '\r' || text[read] == '\n')) {
            text[write++] = text[read++];
            if (text[write - 1] == '\n')
                break;
        }
    }
    text[write] = 0;
    return write;
}

// The replacement of one quoted piece [open, close] (both quotes), written to out (at most
// outSize - 1 characters). Returns 1 when the piece is a quoted number or text, else 0 (kept).
static int BuildQuotedReplacement(const char *text, int open, int close, char *out, int outSize)
{
    // Commas next to a quote are dropped; the others decide the piece's kind.
    char inner[1024];
    int n = 0;
    int asNumber = 0, asText = 0;
    for (int i = open + 1; i < close; i++) {
        char ch = text[i];
        if (ch == ',') {
            if (text[i - 1] == '"' || text[i + 1] == '"')
                continue;
            if (IsDigit(text[i - 1]) || IsDigit(text[i + 1]))
                asNumber = 1;
            else
                asText = 1;
        }
        if (n < (int)sizeof(inner) - 1)
            inner[n++] = ch;
    }
    inner[n] = 0;
    if (!asNumber && !asText) {
        // Only commas next to the quotes: the piece keeps its quotes without them.
        int w = 0;
        out[w++] = '"';
        for (int i = 0; i < n && w < outSize - 2; i++)
            out[w++] = inner[i];
        out[w++] = '"';
        out[w] = 0;
        return w != close - open + 1;
    }
    char joined[1024];
    int limit;
    if (asText) {
        // "Smith, John": the part after the first comma, a blank, the part before it.
        char *comma = strchr(inner, ',');
        *comma = 0;
        char *after = TrimSpaces(comma + 1);
        char *before = TrimSpaces(inner);
        int a = (int)strlen(after), b = (int)strlen(before);
        int w = 0;
        memcpy(joined, after, (size_t)a);
        w = a;
        joined[w++] = ' ';
        memcpy(joined + w, before, (size_t)b);
        w += b;
        joined[w] = 0;
        limit = 259;
    } else {
        // "1,234": the number without its thousands separators.
        int w = 0;
        for (int i = 0; i < n; i++)
            if (inner[i] != ',')
                joined[w++] = inner[i];
        joined[w] = 0;
        limit = 63;
    }
    TrimSpaces(joined);
    lstrcpynA(out, joined, (outSize < limit + 1 ? outSize : limit + 1));
    return 1;
}

int RewriteImportQuotedPieces(char *text, int length)
{
    int read = 0, write = 0;
    while (read < length) {
        if (text[read] != '"') {
            text[write++] = text[read++];
            continue;
        }
        int close = read + 1;
        while (close < length && text[close] != '"')
            close++;
        if (close >= length) {
            // An unpaired quote (refused earlier): copied as it is.
            while (read < length)
                text[write++] = text[read++];
            break;
        }
        char replacement[1024];
        if (close - read + 1 <= (int)sizeof(replacement) - 1 &&
            BuildQuotedReplacement(text, read, close, replacement, sizeof(replacement))) {
            int r = (int)strlen(replacement);
            // Never longer than the piece it replaces: the commas and quotes go.
            memcpy(text + write, replacement, (size_t)r);
            write += r;
        } else {
            memmove(text + write, text + read, (size_t)(close - read + 1));
            write += close - read + 1;
        }
        read = close + 1;
    }
    text[write] = 0;
    return write;
}

int ConvertImportSeparators(char *text, int length)
{
    // First the separators and line ends (in place, shrinking at each CR LF).
    int write = 0;
    for (int read = 0; read < length; read++) {
        char ch = text[read];
        if (ch == '"')
            continue;
        if (ch == ',' || ch == ';' || ch == '\t')
            ch = IMPORT_FIELD_END;
        else if (ch == '\r') {
            if (read + 1 < length && text[read + 1] == '\n')
                read++;
            ch = IMPORT_RECORD_END;
        } else if (ch == '\n')
            ch = IMPORT_RECORD_END;
        text[write++] = ch;
    }
    length = write;
    // Then blanks next to a field or record end and runs of hyphens, in one pass: a run of
    // blanks is kept only when neither neighbour is a separator.
    write = 0;
    int read = 0;
    while (read < length) {
        char ch = text[read];
        if (IsBlank(ch)) {
            int end = read;
            while (end < length && IsBlank(text[end]))
                end++;
            int afterSeparator = write > 0 && IsSeparatorEnd(text[write - 1]);
            int beforeSeparator = end < length && IsSeparatorEnd(text[end]);
            if (!afterSeparator && !beforeSeparator) {
                memmove(text + write, text + read, (size_t)(end - read));
                write += end - read;
            }
            read = end;
            continue;
        }
        if (ch == '-' && write > 0 && text[write - 1] == '-') {
            read++;
            continue;
        }
        text[write++] = ch;
        read++;
    }
    text[write] = 0;
    return write;
}

static int IsCommentRecord(const char *record, int length)
{
    int i = 0;
    while (i < length && record[i] == ' ')
        i++;
    return i + 1 < length && record[i] == '/' && record[i + 1] == '/';
}

// 1 when a record holds only field ends and blanks.
static int IsBlankRecord(const char *record, int length)
{
    for (int i = 0; i < length; i++)
        if (record[i] != IMPORT_FIELD_END && record[i] != ' ')
            return 0;
    return 1;
}

static int RecordLength(const char *text, int start, int length)
{
    int end = start;
    while (end < length && text[end] != IMPORT_RECORD_END)
        end++;
    return end - start;
}

int DropImportSurplusPieces(char *text, int length, int columns)
{
    int read = 0, write = 0;
    while (read < length) {
        int recordLength = RecordLength(text, read, length);
        int keep = recordLength;
        if (columns > 0 && !IsCommentRecord(text + read, recordLength)) {
            int ends = 0;
            for (int i = 0; i < recordLength; i++) {
                if (text[read + i] != IMPORT_FIELD_END)
                    continue;
                ends++;
                if (ends == columns) {
                    int j = i;
                    while (j < recordLength && text[read + j] == IMPORT_FIELD_END)
                        j++;
                    if (j == recordLength)
                        keep = i;
                    break;
                }
            }
        }
        memmove(text + write, text + read, (size_t)keep);
        write += keep;
        read += recordLength;
        if (read < length)
            text[write++] = text[read++];   // the record end
    }
    text[write] = 0;
    return write;
}

int FindImportPieceMismatch(const char *text, int columns, int *piecesOut)
{
    int length = (int)strlen(text);
    int number = 0;
    for (int read = 0; read < length;) {
        int recordLength = RecordLength(text, read, length);
        const char *record = text + read;
        read += recordLength + 1;
        if (IsCommentRecord(record, recordLength))
            continue;
        number++;
        if (IsBlankRecord(record, recordLength))
            continue;
        int pieces = 1;
        for (int i = 0; i < recordLength; i++)
            if (record[i] == IMPORT_FIELD_END)
                pieces++;
        if (pieces != columns) {
            if (piecesOut)
                *piecesOut = pieces;
            return number;
        }
    }
    return 0;
}

int DropImportCommentAndBlankRecords(char *text, int length, uint32_t bufferSize)
{
    int read = 0, write = 0;
    while (read < length) {
        int recordLength = RecordLength(text, read, length);
        int hasEnd = read + recordLength < length;
        if (!IsCommentRecord(text + read, recordLength) && !IsBlankRecord(text + read, recordLength)) {
            memmove(text + write, text + read, (size_t)recordLength);
            write += recordLength;
            if (hasEnd || (uint32_t)write + 2 <= bufferSize)
                text[write++] = IMPORT_RECORD_END;
        }
        read += recordLength + (hasEnd ? 1 : 0);
    }
    text[write] = 0;
    return write;
}

int CountImportRecords(const char *text)
{
    int count = 0;
    for (const char *p = text; p && *p; p++)
        if (*p == IMPORT_RECORD_END)
            count++;
    return count;
}
