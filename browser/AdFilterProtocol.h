#pragma once
// The http/https namespace handler lives with the ad filter; start-up's object map includes it here.
#include "browser/filter/AdFilterProtocol.h"
