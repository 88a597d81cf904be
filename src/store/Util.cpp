#include "store/Util.h"
