// The 32-bit side of the flat thunk to the 16-bit partner KVTU3216.DLL.
#pragma once
#include <windows.h>

// Makes, checks or drops the partner link for one entry-point notification; FALSE when the
// partner is missing or unusable.
BOOL ConnectPartner(HINSTANCE self, DWORD reason);
