#pragma once
// Printing an edit window's text: the job prints its pages into a page sink, which is the printer
// for the user and a metafile recorder for tests. The system's print and page-setup dialogs go
// through seams as well.
#include <windows.h>
#include <commdlg.h>

#include <string>

#include "editctl/model/PrintLayout.h"
#include "editctl/win/EditData.h"

namespace quill::win {

class PageSink {
public:
    virtual ~PageSink() = default;
    // A device context with the output's resolution and size, for the metrics.
    virtual HDC InfoDc() = 0;
    virtual bool StartDocument(const std::string& name) = 0;
    // The device context of a new page, or nullptr when the page cannot be started.
    virtual HDC StartPage() = 0;
    virtual bool EndPage() = 0;
    virtual void EndDocument(bool completed) = 0;
};

// Prints the text (or the lines of the selection) copies times; false when the output failed or
// the page leaves no room for text. Failures are reported in the control's message box.
bool PrintText(EditData& ed, PageSink& sink, bool selection, int copies);

// The page layout a job would use on a device context, for the given window.
PageMetrics PrintMetricsFor(EditData& ed, HDC dc, HFONT font);

// The margins every job uses (hundredths of a millimetre), kept for the process.
PrintMargins& PageMargins();
// Frees the kept printer settings when the control stops.
void FreePrintSettings();

} // namespace quill::win
