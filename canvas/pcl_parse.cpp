// PCL stream parsing: escape sequences and the raster row decoders.
#include "canvas/canvas.h"
#include <emmintrin.h>
#include <limits.h>
#include <stdlib.h>
#include <string.h>

static int IsValueChar(unsigned char c)
{
    return (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
}

// Integer and real value of a record's digits, with its sign.
static void FinishRecord(PclEscape *r)
{
    long long v = 0;
    int seenDot = 0;
    for (const char *p = r->digits; *p; p++) {
        if (*p == '.') {
            seenDot = 1;
            continue;
        }
        if (*p < '0' || *p > '9' || seenDot) continue;
        v = v * 10 + (*p - '0');
        if (v > INT_MAX) v = INT_MAX;
    }
    r->value = (int)v;
    if (strchr(r->digits, '.')) {
        r->hasReal = 1;
        char clean[PCL_MAX_VALUE_CHARS + 1];
        int n = 0;
        int dot = 0;
        for (const char *p = r->digits; *p && n < PCL_MAX_VALUE_CHARS; p++) {
            if (*p >= '0' && *p <= '9') clean[n++] = *p;
            else if (*p == '.' && !dot) {
                clean[n++] = '.';
                dot = 1;
            }
        }
        clean[n] = 0;
        r->real = n ? strtod(clean, NULL) : 0.0;
    } else {
        r->real = (double)r->value;
    }
    if (r->sign == '-') {
        r->value = -r->value;
        r->real = -r->real;
    }
}

int ParsePclEscape(const unsigned char *data, unsigned int pos, unsigned int end, PclEscape *records,
                   unsigned int *nextPos)
{
    unsigned int p = pos + 1;
    *nextPos = end;
    if (p >= end) return 0;
    unsigned char first = data[p];
    // Two-character escapes: anything that is not a parameterized character (0x21..0x2F).
    if (first < 0x21 || first > 0x2F) {
        *nextPos = p + 1;
        if (first == 'E') {
            memset(&records[0], 0, sizeof records[0]);
            records[0].parameterized = first;
            records[0].terminator = 'E';
            return 1;
        }
        return 0;   // ESC 9, ESC = and the other two-character escapes are ignored
    }
    PclEscape proto;
    memset(&proto, 0, sizeof proto);
    proto.parameterized = first;
    proto.prefix[0] = (char)first;
    p++;
    if (p < end && data[p] >= 0x60 && data[p] <= 0x7E) {
        proto.group = data[p];
        proto.prefix[1] = (char)data[p];
        p++;
    }
    if (p < end) proto.third = data[p];

    int count = 0;
    PclEscape current = proto;
    int length = 0;
    while (p < end) {
        unsigned char c = data[p];
        if (IsValueChar(c)) {
            if (c == '+' || c == '-') {
                if (!current.sign && length == 0) current.sign = (char)c;
            } else if (length < PCL_MAX_VALUE_CHARS) {
                current.digits[length++] = (char)c;   // longer numbers are cut off
            }
            p++;
            continue;
        }
        int lower = c >= 0x60 && c <= 0x7E;
        int upper = c >= 0x40 && c <= 0x5E;
        if (!lower && !upper) {
            // Not a terminator (a control byte or blank): the sequence is malformed and ends here;
            // the byte is left to the caller.
            *nextPos = p;
            return count;
        }
        current.terminator = (char)(lower ? c - 0x20 : c);
        FinishRecord(&current);
        if (count < PCL_MAX_ESCAPE_RECORDS) records[count++] = current;
        p++;
        if (upper) {
            *nextPos = p;
            return count;
        }
        current = proto;
        length = 0;
    }
    // The data ended before the sequence's terminator: nothing of it is acted on.
    *nextPos = end;
    return 0;
}

// Copies (or fills with v) k bytes; a row's runs are short (at most 128 bytes), and a library
// call for each of them cost more than the bytes. The last 16 (8, 4) bytes are moved as a whole,
// overlapping the ones before.
static inline void CopyRun(unsigned char *d, const unsigned char *s, unsigned int k)
{
    if (k >= 16) {
        for (unsigned int j = 0; j + 16 < k; j += 16)
            _mm_storeu_si128((__m128i *)(d + j), _mm_loadu_si128((const __m128i *)(s + j)));
        _mm_storeu_si128((__m128i *)(d + k - 16), _mm_loadu_si128((const __m128i *)(s + k - 16)));
    } else if (k >= 8) {
        uint64_t a, b;
        memcpy(&a, s, 8);
        memcpy(&b, s + k - 8, 8);
        memcpy(d, &a, 8);
        memcpy(d + k - 8, &b, 8);
    } else if (k >= 4) {
        uint32_t a, b;
        memcpy(&a, s, 4);
        memcpy(&b, s + k - 4, 4);
        memcpy(d, &a, 4);
        memcpy(d + k - 4, &b, 4);
    } else {
        for (unsigned int j = 0; j < k; j++) d[j] = s[j];
    }
}

static inline void FillRun(unsigned char *d, unsigned char v, unsigned int k)
{
    if (k >= 16) {
        __m128i a = _mm_set1_epi8((char)v);
        for (unsigned int j = 0; j + 16 < k; j += 16) _mm_storeu_si128((__m128i *)(d + j), a);
        _mm_storeu_si128((__m128i *)(d + k - 16), a);
    } else if (k >= 4) {
        uint32_t a = v * 0x01010101u;
        for (unsigned int j = 0; j + 4 < k; j += 4) memcpy(d + j, &a, 4);
        memcpy(d + k - 4, &a, 4);
    } else {
        for (unsigned int j = 0; j < k; j++) d[j] = v;
    }
}

unsigned int DecodePackBits(const unsigned char *in, unsigned int length, unsigned char *row, int offset,
                            int bufferSize)
{
    unsigned int i = 0;
    long long out = offset < 0 ? 0 : offset;
    while (i < length) {
        unsigned char n = in[i++];
        if (n < 128) {
            unsigned int count = n + 1u;
            if (count > length - i) count = length - i;
            if (out < bufferSize) {
                long long room = bufferSize - out;
                CopyRun(row + out, in + i, count < room ? count : (unsigned int)room);
            }
            out += count;
            i += count;
        } else if (n > 128) {
            if (i >= length) break;
            unsigned char v = in[i++];
            unsigned int count = 257u - n;
            if (out < bufferSize) {
                long long room = bufferSize - out;
                FillRun(row + out, v, count < room ? count : (unsigned int)room);
            }
            out += count;
        }
        // 128 is a no-op header.
    }
    return (unsigned int)(out < bufferSize ? out : bufferSize);
}

unsigned int ApplyDeltaRow(const unsigned char *in, unsigned int length, unsigned char *row, int offset,
                           int bufferSize)
{
    unsigned int i = 0;
    long long position = offset < 0 ? 0 : offset;
    long long written = 0;
    while (i < length) {
        unsigned char command = in[i++];
        int count = (command >> 5) + 1;
        long long skip = command & 31;
        if (skip == 31) {
            while (i < length) {
                unsigned char more = in[i++];
                skip += more;
                if (more < 255) break;
            }
        }
        position += skip;
        for (int k = 0; k < count && i < length; k++, position++, i++) {
            if (position < bufferSize) {
                row[position] = in[i];
                if (position + 1 > written) written = position + 1;
            }
        }
    }
    return (unsigned int)written;
}
