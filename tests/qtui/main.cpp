#include "GuiTestMain.inc"
