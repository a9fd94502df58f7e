#include "browser/tools/PageCommands.h"

#include "browser/tools/DispatchByName.h"

const char* ZoomScript(UINT command)
{
    static const struct {
        UINT command;
        const char* script;
    } kScripts[] = {
        {kZoom50Command, "document.body.style.zoom=0.5"},
        {kZoom80Command, "document.body.style.zoom=0.8"},
        {kZoom100Command, "document.body.style.zoom=1"},
        {kZoom150Command, "document.body.style.zoom=1.5"},
        {kZoom200Command, "document.body.style.zoom=2.0"},
        {kZoomInCommand,
         "if(document.body.style.zoom==''){document.body.style.zoom=1.1}else{document.body.style.zoom*=1.1}"},
        {kZoomOutCommand,
         "if(document.body.style.zoom==''){document.body.style.zoom=10.0/11}else{document.body.style.zoom*=10.0/11}"},
        {kZoomPageCommand, "if(document.body.style.zoom>1.5||document.body.style.zoom==''){document.body.style.zoom=1.5}"
                           "else{document.body.style.zoom=''}"},
    };
    for (const auto& entry : kScripts)
        if (entry.command == command)
            return entry.script;
    return nullptr;
}

void RunPageWindowScript(IUnknown* page, const char* code)
{
    if (!code)
        return;
    if (CComPtr<IDispatch> window = GetObjectByName(PageDocument(page), L"parentWindow"))
        CallByName(window, L"execScript", {CComVariant(code), CComVariant(L"")});  // "": the default language
}

bool RunZoomCommand(IUnknown* page, UINT command)
{
    const char* script = ZoomScript(command);
    if (!script)
        return false;
    RunPageWindowScript(page, script);
    return true;
}
