// The native build of the loaders sees the Windows types that shared headers
// name (window handles, message parameters) and nothing else: no Windows
// function is declared, so any system call that creeps into the parsing
// code fails this build.
#pragma once
#include <cstdint>

typedef void* HWND;
typedef void* HICON;
typedef void* HINSTANCE;
typedef unsigned int UINT;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef int BOOL;
typedef uintptr_t WPARAM;
typedef intptr_t LPARAM;
typedef intptr_t LRESULT;
