#include "cad/activation.h"

#include "win32/owners.h"

#include <objbase.h>

#include <new>
#include <utility>

namespace cad::com {

// What the two threads share. Each touches `answer` and `stream` only in its turn:
// the activation's thread until it signals `done`, the caller's until it signals
// `handedOver`.
struct Activation::Shared {
    CLSID clsid;
    win32::UniqueHandle done{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    win32::UniqueHandle handedOver{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    HRESULT answer = E_UNEXPECTED;
    IStream *stream = nullptr; // the object, marshaled for the caller's apartment
};

Activation::Activation(const CLSID &clsid) : shared_(std::make_shared<Shared>()) {
    shared_->clsid = clsid;
    auto *forThread = new std::shared_ptr<Shared>(shared_);
    const win32::UniqueHandle thread(
        shared_->done && shared_->handedOver
            ? CreateThread(nullptr, 0, &Activation::run, forThread, 0, nullptr)
            : nullptr);
    if (!thread) { // the system is out of resources
        delete forThread;
        throw std::bad_alloc();
    }
}

Activation::~Activation() {
    SetEvent(shared_->handedOver.get());
}

HANDLE Activation::done() const {
    return shared_->done.get();
}

HRESULT Activation::take(Microsoft::WRL::ComPtr<IDispatch> &object) {
    if (FAILED(shared_->answer))
        return shared_->answer;
    // The stream is consumed whatever the outcome.
    return CoGetInterfaceAndReleaseStream(std::exchange(shared_->stream, nullptr),
                                          IID_PPV_ARGS(&object));
}

DWORD WINAPI Activation::run(void *parameter) {
    const std::unique_ptr<std::shared_ptr<Shared>> owned(
        static_cast<std::shared_ptr<Shared> *>(parameter));
    Shared &shared = **owned;
    const HRESULT initialised = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    if (FAILED(initialised)) {
        shared.answer = initialised;
        SetEvent(shared.done.get());
        return 0;
    }
    {
        // The marshaled object holds references of its own: this apartment's go before
        // the caller goes on, so that the server sees the object end when the caller
        // ends with it.
        Microsoft::WRL::ComPtr<IDispatch> object;
        HRESULT hr = CoCreateInstance(shared.clsid, nullptr, CLSCTX_SERVER, IID_PPV_ARGS(&object));
        if (SUCCEEDED(hr))
            hr = CoMarshalInterThreadInterfaceInStream(IID_IDispatch, object.Get(), &shared.stream);
        shared.answer = hr;
    }
    SetEvent(shared.done.get());
    WaitForSingleObject(shared.handedOver.get(), INFINITE); // the caller's turn; it always ends
    if (shared.stream) {
        // Given up: taken back and released here, in the apartment it came to.
        // (Releasing only the marshal data would not reach the server under Wine.)
        Microsoft::WRL::ComPtr<IDispatch> late;
        CoGetInterfaceAndReleaseStream(std::exchange(shared.stream, nullptr), IID_PPV_ARGS(&late));
    }
    CoUninitialize();
    return 0;
}

} // namespace cad::com
