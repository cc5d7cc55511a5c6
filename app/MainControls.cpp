#include <windows.h>

#include "app/MainControls.h"

MainControls gControls;
