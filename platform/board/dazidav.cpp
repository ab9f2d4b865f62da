// DAZIDAV.VXD: the remote-control driver of the virtual board.
#include "device_module.h"
KIVO_DEVICE_MODULE(board::kDazidav)
