#include "cad/activation.h"

#include "win32/owners.h"

#include <objbase.h>

#include <new>
#include <utility>
#include <vector>

namespace cad::com {
namespace {

// The threads of activations that may still be running. A program ended under
// one would leave the server it started holding an object for a client that is
// gone, until COM's clean-up notices, hours later. Only the thread that connects
// (the window's) makes activations and waits for them.
class Threads {
public:
    void add(win32::UniqueHandle thread) {
        std::erase_if(threads_, [](const win32::UniqueHandle &t) {
            return WaitForSingleObject(t.get(), 0) == WAIT_OBJECT_0;
        });
        threads_.push_back(std::move(thread));
    }
    // Answering, meanwhile, what is sent to the thread's windows, as any wait of the
    // apartment's thread must: a program that broadcasts would be held otherwise.
    void awaitAll(DWORD graceMs) {
        const ULONGLONG deadline = GetTickCount64() + graceMs;
        for (const win32::UniqueHandle &thread : threads_) {
            const ULONGLONG now = GetTickCount64();
            HANDLE handle = thread.get();
            DWORD index = 0;
            CoWaitForMultipleHandles(0, now < deadline ? static_cast<DWORD>(deadline - now) : 0, 1,
                                     &handle, &index);
        }
    }

private:
    std::vector<win32::UniqueHandle> threads_;
};

Threads g_threads;

} // namespace

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
    win32::UniqueHandle thread(
        shared_->done && shared_->handedOver
            ? CreateThread(nullptr, 0, &Activation::run, forThread, 0, nullptr)
            : nullptr);
    if (!thread) { // the system is out of resources
        delete forThread;
        throw std::bad_alloc();
    }
    g_threads.add(std::move(thread));
}

Activation::~Activation() {
    SetEvent(shared_->handedOver.get());
}

void Activation::letGivenUpEnd(DWORD graceMs) {
    g_threads.awaitAll(graceMs);
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
        // Only a program can keep the window waiting; a class in a DLL is made where
        // it is used.
        HRESULT hr =
            CoCreateInstance(shared.clsid, nullptr, CLSCTX_LOCAL_SERVER, IID_PPV_ARGS(&object));
        if (SUCCEEDED(hr))
            hr = CoMarshalInterThreadInterfaceInStream(__uuidof(IDispatch), object.Get(),
                                                       &shared.stream);
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
