#pragma once
// The program's module: its instance, its COM object map, the lock of static data and the message
// loop of each user-interface thread (the main thread's and the splash thread's).
#include "platform/AtlApp.h"

CAppModule& GetAppModule();
