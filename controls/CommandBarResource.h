#pragma once
// The string resources of the command bar (ids 20100 to 20199): each a status text, a line feed
// and the tooltip, as command strings are. The caption buttons' strings are in the order of the
// parts (minimise, restore, close).
#define IDS_CMDBAR_MINIMIZE 20100
#define IDS_CMDBAR_RESTORE 20101
#define IDS_CMDBAR_CLOSE 20102
