#include "SplitCommand.h"

#include <cstdlib>
#include <cstring>

template <class Char>
bool ArgVector<Char>::Allocate(std::int32_t count) {
  Free();
  if (count < 0) return false;
  Slots = static_cast<Char**>(std::calloc(static_cast<std::size_t>(count) + 1, sizeof(Char*)));
  if (Slots == nullptr) return false;
  Size = count;
  return true;
}

template <class Char>
bool ArgVector<Char>::Put(Char* text) {
  if (Fill >= Size) {
    std::free(text);
    return false;
  }
  Slots[Fill++] = text;
  return true;
}

template <class Char>
bool ArgVector<Char>::PutCopy(const Char* text, std::size_t length) {
  if (Fill >= Size) return false;
  Char* copy = static_cast<Char*>(std::malloc((length + 1) * sizeof(Char)));
  if (copy == nullptr) return false;
  if (length > 0) std::memcpy(copy, text, length * sizeof(Char));
  copy[length] = 0;
  Slots[Fill++] = copy;
  return true;
}

template <class Char>
void ArgVector<Char>::Free() {
  if (Slots != nullptr) {
    for (std::int32_t i = 0; i < Size; ++i) std::free(Slots[i]);
    std::free(Slots);
  }
  Slots = nullptr;
  Size = Fill = 0;
}

template struct ArgVector<char>;
template struct ArgVector<wchar_t>;

bool SplitCommand(const wchar_t* text, SplitPass pass, std::int32_t& argCount, ArgVector<wchar_t>& args) {
  const wchar_t Blank = L' ', Quote = L'"';
  bool inToken = false, quoted = false;
  std::size_t begin = 0;
  std::int32_t count = 0;
  auto token = [&](std::size_t end) {
    ++count;
    return pass == SplitPass::Count || args.PutCopy(text + begin, end - begin);
  };
  std::size_t i = 0;
  for (; text[i] != 0; ++i) {
    wchar_t c = text[i];
    if (!inToken) {
      if (c == Blank) continue;
      inToken = true;
      quoted = c == Quote;
      begin = quoted ? i + 1 : i;
    } else if (quoted) {
      if (c == Quote) {
        inToken = false;
        if (!token(i)) return false;
      }
    } else if (c == Blank) {
      inToken = false;
      if (!token(i)) return false;
    } else if (c == Quote) {
      return false;
    }
  }
  if (inToken) {
    if (quoted) return false;
    if (!token(i)) return false;
  }
  if (pass == SplitPass::Count) argCount = count;
  return true;
}
