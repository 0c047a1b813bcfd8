// A process that only waits: the tests find and end it by its executable name.
#include <windows.h>

int main() {
  Sleep(120000);
  return 3;
}
