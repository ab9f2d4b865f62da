// VZORSPKD.VXD: the support kit's machine-information driver on the virtual board's machine.
#include "device_module.h"
KIVO_DEVICE_MODULE(board::kSpkd)
