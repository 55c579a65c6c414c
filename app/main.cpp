// Velmora: the azimuth at any station of a straight, arc or transition
// spiral, in one window.
#include "platform/win32/form1.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*command_line*/,
                    int /*show*/) {
  return velmora::win32::RunForm1(instance);
}
