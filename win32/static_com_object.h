#pragma once

// IUnknown for a COM object that lives as long as its program and offers one
// interface: COM counts references on it, but nothing ever frees it.

#include <objbase.h>

namespace win32 {

template <class Interface> class StaticComObject : public Interface {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void **object) override {
        if (!object)
            return E_POINTER;
        if (riid != __uuidof(IUnknown) && riid != __uuidof(Interface)) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        *object = static_cast<Interface *>(this);
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
};

} // namespace win32
