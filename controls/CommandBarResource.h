#pragma once
// The string resources of the command bar (ids 20100 to 20199): each a status text, a line feed
// and the tooltip, as command strings are.
#define IDS_CMDBAR_MINIMIZE 20100
#define IDS_CMDBAR_RESTORE 20101
#define IDS_CMDBAR_CLOSE 20102
#define IDS_CMDBAR_CHEVRON 20103
