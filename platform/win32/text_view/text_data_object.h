#pragma once

#include <objidl.h>
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/win32/text_view/com_object.h"

namespace tambrel::platform::win32 {

// The dragged text as other programs take it: an IDataObject offering CF_UNICODETEXT.
class TextDataObject final : public ComObject<IDataObject> {
 public:
  explicit TextDataObject(std::u16string text) : text_(std::move(text)) {}

  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override;
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC* format, STGMEDIUM* medium) override;
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override;
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC* format, FORMATETC* out) override;
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) override;
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) override;
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC* format, DWORD flags, IAdviseSink* sink,
                                    DWORD* connection) override;
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD connection) override;
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA** advises) override;

 private:
  std::u16string text_;
};

// What a data object from anywhere holds that the view takes: text as CF_UNICODETEXT, or the
// names of files as CF_HDROP.
std::optional<std::u16string> TextIn(IDataObject* data);
std::vector<std::u16string> FilesIn(IDataObject* data);

}  // namespace tambrel::platform::win32
