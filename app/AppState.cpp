#include <windows.h>

#include "app/AppState.h"

AppState gApp;
