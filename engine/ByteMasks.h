#ifndef VASKREPORT_ENGINE_BYTEMASKS_H
#define VASKREPORT_ENGINE_BYTEMASKS_H

#include <cstddef>
#include <cstdint>

// Where the delimiters, line feeds and NULs are among 64 bytes: bit k stands
// for byte k.
struct ByteMasks {
  uint64_t Delimiters;
  uint64_t Feeds;
  uint64_t Nuls;
};

enum { MASK_BLOCK = 64 };

// Finds the masks of `blocks` whole blocks of MASK_BLOCK bytes at p, one
// ByteMasks each in out.
typedef void (*MaskFinder)(const char* p, size_t blocks, unsigned char delimiter, ByteMasks* out);

// The masks of the n (at most MASK_BLOCK) bytes at p, one byte at a time.
void ScalarMasks(const char* p, size_t n, unsigned char delimiter, ByteMasks& out);

// Every finder this processor can run, the fastest last; the first is the
// portable one.
struct MaskFinderList {
  MaskFinder Finder[4];
  const char* Name[4];
  int Count;
};
MaskFinderList AvailableMaskFinders();

// The fastest finder this processor runs, chosen once.
MaskFinder BestMaskFinder();

#endif
