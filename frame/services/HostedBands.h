#pragma once
// What a browser tab tells the main frame's hosted toolbar bands: the engine of the tab that has
// just become active, which the bands reach through their site from then on. Nothing happens while
// no main frame exists. UI thread only.
#include <unknwn.h>

void SetHostedBandsBrowser(IUnknown* browser);
