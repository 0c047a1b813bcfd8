// Splitting a command text into the argument vector the encoding libraries take, by blank
// and double-quote rules, and the vectors that hold the arguments of one call.
#pragma once
#include <cstddef>
#include <cstdint>

// A vector of references to zero-terminated texts with a fill position. It is allocated
// with all slots empty and filled from its first slot on; one slot more than asked for
// stays empty for good, so the vector also ends with a null reference as a C program's
// argument vector does. A plain aggregate: module-level instances need no start-up or
// shut-down of their own.
template <class Char>
struct ArgVector {
  Char** Slots = nullptr;
  std::int32_t Size = 0;
  std::int32_t Fill = 0;

  bool Allocate(std::int32_t count);
  // Takes over text, allocated with std::malloc, into the next slot; a full vector frees it
  // and answers false.
  bool Put(Char* text);
  // Copies length characters into a newly allocated text in the next slot.
  bool PutCopy(const Char* text, std::size_t length);
  // Frees every non-empty slot, then the vector; the state is empty again.
  void Free();
};

enum class SplitPass { Count, Split };

// One routine for both passes, which read the text identically and fail on the same texts:
// the counting pass counts the tokens into argCount, the splitting pass stores each token
// into the next slot of args (allocated for argCount slots). False on a double quote inside
// a plain token, on a quoted token left open, and when a token cannot be allocated.
bool SplitCommand(const wchar_t* text, SplitPass pass, std::int32_t& argCount, ArgVector<wchar_t>& args);
