#pragma once

#include <unknwn.h>
#include <windows.h>

#include <atomic>
#include <memory>

namespace tambrel::platform::win32 {

// IUnknown for an object that offers one COM interface: it starts with one reference, held by
// whoever made it, and deletes itself when the last goes.
template <typename Interface>
class ComObject : public Interface {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (iid == __uuidof(IUnknown) || iid == __uuidof(Interface)) {
      *object = static_cast<Interface*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

 protected:
  ComObject() = default;
  virtual ~ComObject() = default;

 private:
  std::atomic<ULONG> references_{1};
};

struct ComReleaser {
  void operator()(IUnknown* object) const { object->Release(); }
};
// One reference to a COM object, released when it goes.
template <typename Interface>
using ComReference = std::unique_ptr<Interface, ComReleaser>;

// A medium GetData filled, released with ReleaseStgMedium when it goes.
class StorageMedium {
 public:
  StorageMedium() = default;
  ~StorageMedium() { ::ReleaseStgMedium(&medium_); }
  StorageMedium(const StorageMedium&) = delete;
  StorageMedium& operator=(const StorageMedium&) = delete;

  STGMEDIUM* Out() { return &medium_; }
  const STGMEDIUM& get() const { return medium_; }

 private:
  STGMEDIUM medium_{};
};

}  // namespace tambrel::platform::win32
