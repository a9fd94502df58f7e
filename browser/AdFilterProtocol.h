#pragma once
// The http/https namespace handler: the class of the module's one object-map entry (class id all
// zero), whose class object start-up registers with COM. It filters nothing yet: the object it
// makes offers only IPersist.
#include "platform/AtlCom.h"

#include <objidl.h>

class CAdFilterProtocol : public CComObjectRootEx<CComSingleThreadModel>,
                                     public CComCoClass<CAdFilterProtocol>,
                                     public IPersist {
public:
    BEGIN_COM_MAP(CAdFilterProtocol)
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
