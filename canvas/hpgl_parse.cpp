// HP-GL/2 reading: command letters, parameter lists and Polyline Encoded numbers.
#include "canvas/canvas.h"
#include <limits.h>
#include <stdlib.h>
#include <string.h>

#define HPGL_NUMBER_CHARS 23

static int IsParameterByte(unsigned char c)
{
    return c >= 0x2B && c <= 0x39;
}

void *ParseHpglParameters(PclStream *stream, int *count, int *isFloat)
{
    *count = 0;
    *isFloat = 0;
    const unsigned char *d = stream->data;
    unsigned int start = stream->pos, p = start;
    while (p < stream->end && IsParameterByte(d[p])) p++;
    stream->pos = p;
    if (p == start) return NULL;
    int items = 1, dot = 0;
    for (unsigned int i = start; i < p; i++) {
        if (d[i] == ',') items++;
        if (d[i] == '.') dot = 1;
    }
    void *values = MemAlloc(64, (size_t)items * (dot ? sizeof(double) : sizeof(int)));
    if (!values) return NULL;
    int n = 0;
    unsigned int i = start;
    while (i <= p && n < items) {
        char number[HPGL_NUMBER_CHARS + 1];
        int len = 0;
        while (i < p && d[i] != ',') {
            if (len < HPGL_NUMBER_CHARS) number[len++] = (char)d[i];   // longer numbers are cut off
            i++;
        }
        number[len] = 0;
        i++;   // past the comma (or the end)
        if (!len) continue;   // an empty item gives no value
        if (dot) {
            ((double *)values)[n++] = strtod(number, NULL);
        } else {
            long long v = strtoll(number, NULL, 10);
            if (v > INT_MAX) v = INT_MAX;
            if (v < INT_MIN) v = INT_MIN;
            ((int *)values)[n++] = (int)v;
        }
    }
    if (!n) return MemFree(values);
    *count = n;
    *isFloat = dot;
    return values;
}

int DecodePeNumber(PclStream *stream)
{
    const unsigned char *d = stream->data;
    unsigned long long v = 0;
    int shift = 0;
    while (stream->pos < stream->end) {
        unsigned char b = d[stream->pos];
        if (b >= 63 && b <= 126) {
            if (shift <= 36) v |= (unsigned long long)(b - 63) << shift;
            shift += 6;
            stream->pos++;
        } else if (b >= 191 && b <= 254) {
            if (shift <= 36) v |= (unsigned long long)(b - 191) << shift;
            stream->pos++;
            break;
        } else if (b >= 127 && b <= 190) {
            stream->pos++;   // not valid in PE data: skipped
        } else {
            break;   // a flag, the terminator or the end: the number ends unterminated
        }
    }
    if (v > 0x7FFFFFFEull) v = 0x7FFFFFFEull;   // overlong numbers are cut to the 32-bit range
    long long half = (long long)(v / 2);
    return (int)((v & 1) ? -half : half);
}

int ExecuteHpglCommand(PclStream *stream, DrawState *state)
{
    const unsigned char *d = stream->data;
    // Separators and blanks between commands are passed over; an ESC ends the section.
    while (stream->pos < stream->end) {
        unsigned char c = d[stream->pos];
        if (c == 27) return 0;
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) break;
        stream->pos++;
    }
    if (stream->pos + 1 >= stream->end) {
        stream->pos = stream->end;
        return 0;
    }
    char command[3];
    command[0] = (char)(d[stream->pos] & ~0x20);
    command[1] = (char)(d[stream->pos + 1] & ~0x20);
    command[2] = 0;
    if (command[1] < 'A' || command[1] > 'Z') {
        stream->pos++;
        return 0;
    }
    stream->pos += 2;
    int count = 0, isFloat = 0;
    void *values = NULL;
    int textCommand = !strcmp(command, "PE") || !strcmp(command, "LB");
    if (!textCommand && stream->pos < stream->end && IsParameterByte(d[stream->pos]))
        values = ParseHpglParameters(stream, &count, &isFloat);
    RenderVectorShape(command, stream, count, values, isFloat, state);
    MemFree(values);
    if (stream->pos < stream->end && d[stream->pos] == ';') stream->pos++;
    return 1;
}
