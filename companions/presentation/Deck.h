// A deck is a text file with one slide per non-blank line: the line is the slide's title,
// and a line ending in " @N" carries an automatic timing of N seconds. A file that is not
// text (it holds a zero byte) has the pictures beside it as its slides, numbered from 1.
// Slide n shows the picture "<deck>.slide<n>.bmp" when it exists.
#pragma once
#include <memory>
#include <string>
#include <vector>

namespace standin {

struct Slide {
  std::wstring Title;
  int Look = 1;           // the slide number it is drawn as; a copy keeps its original's
  int TimingSeconds = 0;  // 0: no automatic timing
  long AdvanceOnTime = 0;  // -1 (true) while the slide moves on by its timing
};

using SlideList = std::vector<std::shared_ptr<Slide>>;

std::wstring PicturePath(const std::wstring& deck, int look);

// False when the file cannot be read or holds no slide.
bool ReadDeck(const std::wstring& path, SlideList& slides);

}  // namespace standin
