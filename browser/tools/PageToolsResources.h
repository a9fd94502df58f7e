#pragma once
// Resource ids of the page tools: the design's dialog and control ids, and the tools' own from the
// range 21000-21199. The resources are in resources/PageTools.rc.

// The auto-refresh frequency dialog.
#define IDD_AUTO_REFRESH 173
#define IDC_AUTO_REFRESH_LABEL 1304
#define IDC_AUTO_REFRESH_SECONDS 17301

// Strings.
#define IDS_PAGETOOLS_SOURCE_PAGE 21000
