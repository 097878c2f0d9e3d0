// Changes the display mode and then ends in the way the first argument
// names, so that the test can see the mode come back in each case:
//   displaymode_peer <exit|abort|segv> <display> <width> <height> <bits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/system/displaymode.h"

// Never destroyed, on purpose: only the exit and crash hooks may put the mode back.
TXRandRDisplayModes* g_modes = nullptr;

int main(int argc, char** argv) {
  if (argc != 6) return 2;
  g_modes = new TXRandRDisplayModes(argv[2]);
  TXRandRDisplayModes* modes = g_modes;
  const HRESULT hr = modes->SetDisplayMode(QRect(0, 0, 1, 1), std::atoi(argv[3]), std::atoi(argv[4]),
                                           std::atoi(argv[5]));
  std::printf("%s\n", FAILED(hr) ? "refused" : "changed");
  std::fflush(stdout);
  if (FAILED(hr)) return 3;
  if (std::strcmp(argv[1], "abort") == 0) std::abort();
  if (std::strcmp(argv[1], "segv") == 0) {
    // Not null: a sanitizer would stop a null store before it faults.
    volatile int* nowhere = reinterpret_cast<volatile int*>(std::uintptr_t{16});
    *nowhere = 1;
  }
  return 0;
}
