#pragma once
// The class of the module's one object-map entry (class id all zero) until the browser view brings
// the http/https namespace handler: start-up registers its class object with COM, and the object it
// makes offers nothing but IPersist.
#include "platform/AtlCom.h"

#include <objidl.h>

class CNamespaceHandlerPlaceholder : public CComObjectRootEx<CComSingleThreadModel>,
                                     public CComCoClass<CNamespaceHandlerPlaceholder>,
                                     public IPersist {
public:
    BEGIN_COM_MAP(CNamespaceHandlerPlaceholder)
        COM_INTERFACE_ENTRY(IPersist)
    END_COM_MAP()

    STDMETHOD(GetClassID)(CLSID* classId) override
    {
        if (!classId)
            return E_POINTER;
        *classId = CLSID_NULL;
        return S_OK;
    }
};
