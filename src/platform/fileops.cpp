#include "platform/fileops.h"
