// urlcheck: checks the HTTP status of every address in D:\url.txt in turn.
#include <windows.h>

#include "shell/app_win.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) { return urlcheck::RunApplication(instance); }
