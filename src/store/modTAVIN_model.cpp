#include "store/modTAVIN.h"
