#include "platform/win32/text_view/text_data_object.h"

#include <shellapi.h>
#include <shlobj.h>

#include "platform/win32/text_view/dropped_files.h"
#include "platform/win32/text_view/global_memory.h"

namespace tambrel::platform::win32 {
namespace {

FORMATETC FormatOf(CLIPFORMAT format) {
  return FORMATETC{format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

bool IsUnicodeText(const FORMATETC* format) {
  return format != nullptr && format->cfFormat == CF_UNICODETEXT &&
         format->dwAspect == DVASPECT_CONTENT && (format->tymed & TYMED_HGLOBAL) != 0;
}

}  // namespace

HRESULT TextDataObject::GetData(FORMATETC* format, STGMEDIUM* medium) {
  if (medium == nullptr) return E_POINTER;
  if (!IsUnicodeText(format)) return DV_E_FORMATETC;
  GlobalMemory memory = UnicodeTextMemory(text_);
  if (!memory) return E_OUTOFMEMORY;
  // The receiver frees the memory with ReleaseStgMedium.
  *medium = STGMEDIUM{};
  medium->tymed = TYMED_HGLOBAL;
  medium->hGlobal = memory.Release();
  medium->pUnkForRelease = nullptr;
  return S_OK;
}

HRESULT TextDataObject::GetDataHere(FORMATETC*, STGMEDIUM*) { return E_NOTIMPL; }

HRESULT TextDataObject::QueryGetData(FORMATETC* format) {
  return IsUnicodeText(format) ? S_OK : DV_E_FORMATETC;
}

HRESULT TextDataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) {
  if (out == nullptr) return E_POINTER;
  out->ptd = nullptr;
  return DATA_S_SAMEFORMATETC;
}

HRESULT TextDataObject::SetData(FORMATETC*, STGMEDIUM*, BOOL) { return E_NOTIMPL; }

HRESULT TextDataObject::EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) {
  if (formats == nullptr) return E_POINTER;
  *formats = nullptr;
  if (direction != DATADIR_GET) return E_NOTIMPL;
  const FORMATETC text = FormatOf(CF_UNICODETEXT);
  return ::SHCreateStdEnumFmtEtc(1, &text, formats);
}

HRESULT TextDataObject::DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) {
  return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT TextDataObject::DUnadvise(DWORD) { return OLE_E_ADVISENOTSUPPORTED; }

HRESULT TextDataObject::EnumDAdvise(IEnumSTATDATA**) { return OLE_E_ADVISENOTSUPPORTED; }

std::optional<std::u16string> TextIn(IDataObject* data) {
  if (data == nullptr) return std::nullopt;
  FORMATETC format = FormatOf(CF_UNICODETEXT);
  StorageMedium medium;
  if (FAILED(data->GetData(&format, medium.Out())) || medium.get().tymed != TYMED_HGLOBAL) {
    return std::nullopt;
  }
  return UnicodeTextIn(medium.get().hGlobal);
}

std::vector<std::u16string> FilesIn(IDataObject* data) {
  if (data == nullptr) return {};
  FORMATETC format = FormatOf(CF_HDROP);
  StorageMedium medium;
  if (FAILED(data->GetData(&format, medium.Out())) || medium.get().tymed != TYMED_HGLOBAL)
    return {};
  return DroppedFileNames(static_cast<HDROP>(medium.get().hGlobal));
}

}  // namespace tambrel::platform::win32
