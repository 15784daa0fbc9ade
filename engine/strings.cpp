#include "strings.h"

#include <cstdlib>
#include <cstring>

void SetString(char*& slot, const char* text) {
    std::free(slot);
    slot = nullptr;
    if (text && *text) {
        size_t n = std::strlen(text) + 1;
        slot = static_cast<char*>(std::malloc(n));
        if (slot) std::memcpy(slot, text, n);
    }
}

bool StringEquals(const char* a, const char* b) {
    return a && b && std::strcmp(a, b) == 0;
}

int IndexOfString(const char* text, const char* const* list) {
    if (!text || !list) return 0;
    for (int i = 0; list[i]; ++i)
        if (std::strcmp(list[i], text) == 0) return i + 1;
    return 0;
}

const char* JoinStrings(const char* a, const char* b, const char* c) {
    static char buffer[1024];
    size_t used = 0;
    const char* parts[3] = {a, b, c};
    for (const char* p : parts) {
        if (!p) continue;
        while (*p && used < sizeof(buffer) - 1) buffer[used++] = *p++;
    }
    buffer[used] = 0;
    return buffer;
}

unsigned StringLength(const char* text) {
    return text ? (unsigned)std::strlen(text) : 0;
}

void ParseIntList(const char* text, int* out, int* count_out, int capacity) {
    int count = 0;
    if (!text) text = "";
    const char* p = text;
    for (;;) {
        const char* comma = std::strchr(p, ',');
        if (count < capacity && out) out[count] = std::atoi(p);
        ++count;
        if (!comma) break;
        p = comma + 1;
    }
    // Never report more values than were stored: callers index out by it.
    if (count_out) *count_out = count < capacity ? count : capacity;
}

void CopyString(char* dest, size_t size, const char* src) {
    if (!dest || size == 0) return;
    size_t i = 0;
    if (src)
        for (; i + 1 < size && src[i]; ++i) dest[i] = src[i];
    dest[i] = 0;
}

void SetBit(unsigned char* bytes, int n) {
    if (n >= 0) bytes[n / 8] |= (unsigned char)(1u << (n % 8));
}

void ClearBit(unsigned char* bytes, int n) {
    if (n >= 0) bytes[n / 8] &= (unsigned char)~(1u << (n % 8));
}

bool TestBit(const unsigned char* bytes, int n) {
    return n >= 0 && (bytes[n / 8] >> (n % 8)) & 1;
}
