// The remote-control command link: a DDE client of the resident remote-control program.
#pragma once

// 0 when the link is open, 1 when it could not be made (no DDE, no resident program).
int OpenCommandLink();
void CloseCommandLink();
