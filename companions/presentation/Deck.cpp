#include "Deck.h"

#include <windows.h>

namespace standin {

std::wstring PicturePath(const std::wstring& deck, int look) {
  return deck + L".slide" + std::to_wstring(look) + L".bmp";
}

static bool ReadBytes(const std::wstring& path, std::string& bytes) {
  HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  char chunk[4096];
  DWORD got = 0;
  bool ok = true;
  while ((ok = ReadFile(f, chunk, sizeof chunk, &got, nullptr) != FALSE) && got > 0) bytes.append(chunk, got);
  CloseHandle(f);
  return ok;
}

static std::wstring Widen(const std::string& text) {
  if (text.empty()) return std::wstring();
  int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(n, L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0], n);
  return wide;
}

static std::string Trim(const std::string& s) {
  const char* blank = " \t\r";
  size_t first = s.find_first_not_of(blank);
  if (first == std::string::npos) return std::string();
  return s.substr(first, s.find_last_not_of(blank) - first + 1);
}

static std::shared_ptr<Slide> FromLine(const std::string& line, int number) {
  auto slide = std::make_shared<Slide>();
  slide->Look = number;
  std::string title = line;
  size_t at = line.rfind(" @");
  if (at != std::string::npos && at + 2 < line.size() &&
      line.find_first_not_of("0123456789", at + 2) == std::string::npos && line.size() - at - 2 <= 5) {
    slide->TimingSeconds = std::stoi(line.substr(at + 2));
    slide->AdvanceOnTime = slide->TimingSeconds > 0 ? -1 : 0;
    title = Trim(line.substr(0, at));
  }
  slide->Title = Widen(title);
  return slide;
}

bool ReadDeck(const std::wstring& path, SlideList& slides) {
  std::string bytes;
  if (!ReadBytes(path, bytes)) return false;
  slides.clear();
  if (bytes.find('\0') != std::string::npos) {
    for (int n = 1; GetFileAttributesW(PicturePath(path, n).c_str()) != INVALID_FILE_ATTRIBUTES; ++n) {
      auto slide = std::make_shared<Slide>();
      slide->Look = n;
      slides.push_back(slide);
    }
    return !slides.empty();
  }
  size_t start = 0;
  while (start <= bytes.size()) {
    size_t end = bytes.find('\n', start);
    if (end == std::string::npos) end = bytes.size();
    std::string line = Trim(bytes.substr(start, end - start));
    if (!line.empty()) slides.push_back(FromLine(line, static_cast<int>(slides.size()) + 1));
    start = end + 1;
  }
  return !slides.empty();
}

}  // namespace standin
