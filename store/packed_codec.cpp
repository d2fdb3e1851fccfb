// packed_codec.cpp - the pieces of the packed data-file format shared by reader and writer:
// header scrambling, the checksum, record encoding methods, the growing byte buffer, string
// pools and the field-definition and field-pair encodings.
#include "store/store.h"

#include <string.h>
#include <zlib.h>

void ScramblePackedHeader(void *header)
{
    uint8_t *p = (uint8_t *)header;
    uint32_t state = 0x5156504Bu;
    for (size_t i = 0; i < sizeof(PackedFileHeader); i++) {
        state = state * 1664525u + 1013904223u;
        p[i] ^= (uint8_t)(state >> 24);
    }
}

uint32_t ComputePackedChecksumParts(const PackedFileHeader *clearHeader, const uint8_t *rest,
                                    uint32_t restLength)
{
    uLong crc = crc32(0L, Z_NULL, 0);
    crc = crc32(crc, (const Bytef *)clearHeader, sizeof *clearHeader);
    if (restLength)
        crc = crc32(crc, rest, restLength);
    return (uint32_t)crc;
}

uint32_t ComputePackedChecksum(const uint8_t *file, uint32_t length)
{
    // The header in clear with its checksum word zero, then the rest of the file.
    PackedFileHeader header;
    if (length < sizeof header)
        return 0;
    memcpy(&header, file, sizeof header);
    header.checksum = 0;
    return ComputePackedChecksumParts(&header, file + sizeof header, length - (uint32_t)sizeof header);
}

// The tax-year keystream of method 1 (xorshift32).
static void XorWithYearStream(uint8_t *data, uint32_t length, uint16_t taxYear)
{
    uint32_t state = 0x2F6B3A91u ^ ((uint32_t)taxYear * 0x9E3779B1u);
    if (!state)
        state = 1;
    for (uint32_t i = 0; i < length; i++) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        data[i] ^= (uint8_t)state;
    }
}

int DecodeRecordData(int reserved, void *buffer, int method, int reserved2, void *out,
                     uint32_t length, int reserved3, uint16_t taxYear)
{
    if (!buffer || (out && out != buffer))
        return 0;   // decoding works in place only
    switch (method) {
    case RECORD_METHOD_PLAIN:
        return (int)length;
    case RECORD_METHOD_XOR:
        XorWithYearStream((uint8_t *)buffer, length, taxYear);
        return (int)length;
    default:
        return 0;
    }
}

int EncodeRecordData(void *buffer, int method, uint32_t length, uint16_t taxYear)
{
    return DecodeRecordData(0, buffer, method, 0, buffer, length, 0, taxYear);
}

// ---- growing byte buffer ----

int PackAppend(PackBuffer *b, const void *data, uint32_t length)
{
    if (!b || b->failed)
        return 0;
    if (length > 0x7FFFFFFFu - b->length) {
        b->failed = 1;
        return 0;
    }
    if (!b->data || b->length + length > b->capacity) {
        uint32_t capacity = b->capacity ? b->capacity : 256;
        while (capacity < b->length + length)
            capacity = capacity > 0x3FFFFFFFu ? 0x7FFFFFFFu : capacity * 2;
        uint8_t *grown = (uint8_t *)MemReAlloc(b->data, (size_t)capacity + 1);
        if (!grown) {
            b->failed = 1;
            return 0;
        }
        b->data = grown;
        b->capacity = capacity;
    }
    if (length && data)
        memcpy(b->data + b->length, data, length);
    else if (length)
        memset(b->data + b->length, 0, length);
    b->length += length;
    b->data[b->length] = 0;
    return 1;
}

int PackAppendU16(PackBuffer *b, uint16_t v)
{
    return PackAppend(b, &v, 2);
}

int PackAppendU32(PackBuffer *b, uint32_t v)
{
    return PackAppend(b, &v, 4);
}

void PackFree(PackBuffer *b)
{
    if (!b)
        return;
    MemFree(b->data);
    memset(b, 0, sizeof *b);
}

uint32_t PackPoolString(PackBuffer *pool, const void *data, uint32_t length)
{
    if (!PackAppendU32(pool, length))
        return 0;
    uint32_t offset = pool->length;
    uint8_t zero = 0;
    if (!PackAppend(pool, data, length) || !PackAppend(pool, &zero, 1))
        return 0;
    return offset;
}

const char *GetPoolEntry(const FileRecord *f, uint32_t offset, uint32_t *lengthOut)
{
    if (lengthOut)
        *lengthOut = 0;
    if (!f)
        return NULL;
    const FileRecordSlot *pool = &f->slots[REC_STRING_POOL];
    if (!pool->data || offset < 4 || offset > pool->length)
        return NULL;
    uint32_t length;
    memcpy(&length, pool->data + offset - 4, 4);
    if (length >= pool->length - offset)   // the bytes and the zero byte after them
        return NULL;
    if (pool->data[offset + length] != 0)
        return NULL;
    if (lengthOut)
        *lengthOut = length;
    return (const char *)pool->data + offset;
}

const char *GetPoolString(const FileRecord *f, uint32_t offset)
{
    const char *text = GetPoolEntry(f, offset, NULL);
    return text ? text : "";
}

// ---- field texts ----

// 1 when the bytes are acceptable for text word `word`: a text without zero bytes, or (word
// 9 only) a "qvbb" block whose stated length is its length.
int CheckFieldWordBytes(int word, const uint8_t *bytes, uint32_t length)
{
    if (word == 9 && length >= 4 && memcmp(bytes, "qvbb", 4) == 0) {
        if (length < 32)
            return 0;
        uint32_t bits;
        memcpy(&bits, bytes + 28, 4);
        return bits <= 0x7FFFFFFFu - 32 && bits + 32 == length;
    }
    return memchr(bytes, 0, length) == NULL;
}

// Bytes held by text word `word` of a field (0 for none).
static uint32_t GetFieldWordLength(const FieldRecord *field, int word)
{
    char *const *words = &field->seq;
    if (!words[word])
        return 0;
    if (word == 9)
        return GetFieldSecondLength(field);
    return (uint32_t)strlen(words[word]);
}

// A MemAlloc copy of length bytes with a zero byte after them.
static char *CopyBytes(const uint8_t *bytes, uint32_t length)
{
    char *copy = (char *)MemAlloc(64, (size_t)length + 1);
    if (copy)
        memcpy(copy, bytes, length);
    return copy;
}

int EncodeFieldDefinitions(PackBuffer *out, const FieldRecord *fields, int count)
{
    for (int i = 1; i < count; i++) {
        const FieldRecord *f = &fields[i];
        char *const *words = &f->seq;
        uint16_t mask = 0;
        for (int w = 0; w < 10; w++)
            if (words[w] && GetFieldWordLength(f, w))
                mask |= (uint16_t)(1u << w);
        if (f->rect)
            mask |= 1u << 10;
        PackAppendU16(out, mask);
        for (int w = 0; w < 10; w++) {
            if (!(mask & (1u << w)))
                continue;
            uint32_t len = GetFieldWordLength(f, w);
            PackAppendU32(out, len);
            PackAppend(out, words[w], len);
        }
        if (f->rect) {
            int32_t r[4] = {f->rect->left, f->rect->top, f->rect->right, f->rect->bottom};
            PackAppend(out, r, sizeof r);
        }
        PackAppendU16(out, f->tabLinks[TAB_PREVIOUS]);
        PackAppendU16(out, f->tabLinks[TAB_NEXT]);
    }
    return !out->failed;
}

// Bounded reader over a run of bytes.
struct ByteReader {
    const uint8_t *p;
    uint32_t left;
};

static int ReadBytes(ByteReader *r, void *out, uint32_t n)
{
    if (n > r->left)
        return 0;
    if (out)
        memcpy(out, r->p, n);
    r->p += n;
    r->left -= n;
    return 1;
}

int DecodeFieldDefinitions(const uint8_t *data, uint32_t length, int count, FieldTable **tableOut,
                           const char **whyOut)
{
    const char *why = NULL;
    FieldTable *table = NULL;
    if (tableOut) {
        *tableOut = NULL;
        table = CreateFieldTable(count + 1);
        if (!table) {
            if (whyOut)
                *whyOut = "the field table could not be made";
            return 0;
        }
    }
    if (count < 0 || count + 1 > FIELD_TABLE_MAX_FIELDS)
        why = "too many fields on a page";
    ByteReader r = {data, length};
    for (int i = 1; !why && i <= count; i++) {
        FieldRecord *f = table ? &table->fields[i] : NULL;
        uint16_t mask;
        if (!ReadBytes(&r, &mask, 2)) {
            why = "a field definition is cut short";
            break;
        }
        if (mask & 0xF800u) {
            why = "a field definition has unknown parts";
            break;
        }
        for (int w = 0; w < 10 && !why; w++) {
            if (!(mask & (1u << w)))
                continue;
            uint32_t len;
            if (!ReadBytes(&r, &len, 4) || len > r.left) {
                why = "a field text runs past its record";
                break;
            }
            if (!CheckFieldWordBytes(w, r.p, len)) {
                why = "a field text holds binary data";
                break;
            }
            if (f) {
                char **words = &f->seq;
                words[w] = CopyBytes(r.p, len);
                if (!words[w])
                    why = "out of memory";
            }
            ReadBytes(&r, NULL, len);
        }
        if (why)
            break;
        if (mask & (1u << 10)) {
            int32_t rc[4];
            if (!ReadBytes(&r, rc, sizeof rc)) {
                why = "a field rectangle is cut short";
                break;
            }
            if (rc[0] < 0 || rc[1] < 0 || rc[0] > rc[2] || rc[1] > rc[3] || rc[2] > 4000 || rc[3] > 4000) {
                why = "a field rectangle is outside the page";
                break;
            }
            if (f) {
                f->rect = (RECT *)MemAlloc(64, sizeof(RECT));
                if (!f->rect) {
                    why = "out of memory";
                    break;
                }
                f->rect->left = rc[0];
                f->rect->top = rc[1];
                f->rect->right = rc[2];
                f->rect->bottom = rc[3];
            }
        }
        uint16_t links[2];
        if (!ReadBytes(&r, links, sizeof links)) {
            why = "a field's tab links are cut short";
            break;
        }
        if (links[0] > count || links[1] > count) {
            why = "a field's tab link points outside its page";
            break;
        }
        if (f) {
            f->tabLinks[0] = links[0];
            f->tabLinks[1] = links[1];
        }
    }
    if (!why && r.left)
        why = "a page's field definitions have bytes left over";
    if (why) {
        if (whyOut)
            *whyOut = why;
        if (table)
            FreeLayoutTable(table);
        return 0;
    }
    if (table) {
        if (!BuildSortedFieldIndex(table)) {
            FreeLayoutTable(table);
            if (whyOut)
                *whyOut = "out of memory";
            return 0;
        }
        *tableOut = table;
    }
    return 1;
}

int EncodeFieldPairs(PackBuffer *out, const FieldTable *table, uint32_t *pairCountOut)
{
    uint32_t pairs = 0;
    for (int i = 1; table && i < table->count; i++) {
        const FieldRecord *f = &table->fields[i];
        if (!f->seq || !*f->seq)
            continue;
        uint16_t seqLength = (uint16_t)strnlen(f->seq, 65535);
        int words[2] = {6, 9};
        for (int k = 0; k < 2; k++) {
            uint32_t len = GetFieldWordLength(f, words[k]);
            if (!len)
                continue;
            const char *bytes = words[k] == 6 ? f->value : f->second;
            uint8_t w = (uint8_t)words[k];
            PackAppend(out, &w, 1);
            PackAppendU16(out, seqLength);
            PackAppend(out, f->seq, seqLength);
            PackAppendU32(out, len);
            PackAppend(out, bytes, len);
            pairs++;
        }
    }
    if (pairCountOut)
        *pairCountOut = pairs;
    return !out->failed;
}

int WalkFieldPairs(const uint8_t *data, uint32_t length, uint32_t count, FieldPairProc proc,
                   void *context, const char **whyOut)
{
    ByteReader r = {data, length};
    const char *why = NULL;
    for (uint32_t i = 0; i < count && !why; i++) {
        uint8_t word;
        uint16_t seqLength;
        uint32_t valueLength;
        if (!ReadBytes(&r, &word, 1) || !ReadBytes(&r, &seqLength, 2) || seqLength > r.left) {
            why = "a saved value is cut short";
            break;
        }
        if (word != 6 && word != 9) {
            why = "a saved value names an unknown word";
            break;
        }
        const uint8_t *seq = r.p;
        if (!seqLength || !CheckFieldWordBytes(0, seq, seqLength)) {
            why = "a saved field number is damaged";
            break;
        }
        ReadBytes(&r, NULL, seqLength);
        if (!ReadBytes(&r, &valueLength, 4) || valueLength > r.left) {
            why = "a saved value runs past its record";
            break;
        }
        if (!CheckFieldWordBytes(word, r.p, valueLength)) {
            why = "a saved value holds binary data";
            break;
        }
        if (proc && !proc(context, word, (const char *)seq, seqLength, r.p, valueLength))
            why = "out of memory";
        ReadBytes(&r, NULL, valueLength);
    }
    if (!why && r.left)
        why = "saved values have bytes left over";
    if (why && whyOut)
        *whyOut = why;
    return why == NULL;
}
