// Marks for the library's interface, shared by every public header.
//
// OSTRELLE_API marks what the shared library exports (the classes and free
// functions a program may call); everything else stays inside the library.
// A program that links the static library defines OSTRELLE_STATIC (the
// CMake target Ostrelle::ostrelle does so); one that links the DLL or the
// shared object defines nothing.
//
// OSTRELLE_PRINTF(fmt, args) lets the compiler check printf-style calls:
// fmt is the position of the format argument, args that of the first
// argument it formats (counting `this` as 1 in a method).
#pragma once

#if defined(OSTRELLE_STATIC)
#define OSTRELLE_API
#elif defined(_WIN32)
#if defined(OSTRELLE_BUILDING)
#define OSTRELLE_API __declspec(dllexport)
#else
#define OSTRELLE_API __declspec(dllimport)
#endif
#elif defined(__GNUC__) || defined(__clang__)
#define OSTRELLE_API __attribute__((visibility("default")))
#else
#define OSTRELLE_API
#endif

#if defined(__GNUC__) || defined(__clang__)
#define OSTRELLE_PRINTF(fmt, args) __attribute__((format(printf, fmt, args)))
#else
#define OSTRELLE_PRINTF(fmt, args)
#endif
