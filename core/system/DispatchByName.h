#pragma once
// Page objects reached by name through IDispatch, the way page scripts reach them: every document,
// window, element and text range of the engine answers its names, so the page tools need no
// interface of their own for each. Every call is checked; a failure gives an empty value.
#include "platform/AtlCom.h"

#include <oaidl.h>

#include <initializer_list>

// A property's value; VT_EMPTY when it cannot be read.
CComVariant GetByName(IDispatch* object, const wchar_t* name);
// A property that is an object; null when it is not one.
CComPtr<IDispatch> GetObjectByName(IDispatch* object, const wchar_t* name);
HRESULT PutByName(IDispatch* object, const wchar_t* name, const VARIANT& value);
// Calls a method with its arguments in their natural order; the result into *result when given.
HRESULT CallByName(IDispatch* object, const wchar_t* name, std::initializer_list<CComVariant> arguments,
                   VARIANT* result = nullptr);
// The document of a page given as a web browser or as a document; null when there is none.
CComPtr<IDispatch> PageDocument(IUnknown* page);
