// Helpers for owned NUL-terminated strings, string lists and bit sets.
#pragma once
#include <cstddef>

// Frees what slot holds; stores a fresh copy of text unless it is null or empty.
void SetString(char*& slot, const char* text);
// Exact comparison; false when either side is null.
bool StringEquals(const char* a, const char* b);
// 1-based position of text in a null-terminated list; 0 for none.
int IndexOfString(const char* text, const char* const* list);
// a + b + c in one shared 1024-byte buffer that the next call overwrites.
const char* JoinStrings(const char* a, const char* b = nullptr, const char* c = nullptr);
unsigned StringLength(const char* text);
// Splits text at commas into at most capacity integers.
void ParseIntList(const char* text, int* out, int* count_out, int capacity);
// Copies at most size - 1 characters and always terminates (size > 0).
void CopyString(char* dest, size_t size, const char* src);

void SetBit(unsigned char* bytes, int n);
void ClearBit(unsigned char* bytes, int n);
bool TestBit(const unsigned char* bytes, int n);
