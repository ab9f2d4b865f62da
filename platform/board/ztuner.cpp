// ZTUNER.VXD: the tuner driver of the virtual board.
#include "device_module.h"
KIVO_DEVICE_MODULE(board::kZtuner)
