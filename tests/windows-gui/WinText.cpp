// Reads texts of Windows for the Windows GUI check, run under Wine beside
// the program under test:
//   wintext clipboard   the clipboard's text
//   wintext client TITLE  the screen position of the client area of the
//                         top-level window with that caption, as "X Y"
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstring>

namespace {

int PrintClipboard() {
  if (!OpenClipboard(nullptr))
    return 1;
  int result = 1;
  if (HANDLE data = GetClipboardData(CF_TEXT)) {
    if (const auto* text = static_cast<const char*>(GlobalLock(data))) {
      std::fputs(text, stdout);
      GlobalUnlock(data);
      result = 0;
    }
  }
  CloseClipboard();
  return result;
}

int PrintClientOrigin(const char* title) {
  const HWND window = FindWindowA(nullptr, title);
  POINT origin = {0, 0};
  if (window == nullptr || !ClientToScreen(window, &origin))
    return 1;
  std::printf("%ld %ld\n", origin.x, origin.y);
  return 0;
}

} // namespace

int main(int argc, char** argv) {
  // The texts as they are, without CR before every LF.
  _setmode(_fileno(stdout), _O_BINARY);
  if (argc == 2 && std::strcmp(argv[1], "clipboard") == 0)
    return PrintClipboard();
  if (argc == 3 && std::strcmp(argv[1], "client") == 0)
    return PrintClientOrigin(argv[2]);
  std::fputs("usage: wintext clipboard | client <title>\n", stderr);
  return 2;
}
