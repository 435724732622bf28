#include "readout/drag_out_win32.h"

#include <ole2.h>
#include <shlobj.h>
#include <string.h>
#include <windowsx.h>

#include <string>
#include <vector>

#include "app/messages.h"
#include "app/platform_win32.h"
#include "readout/drop_list.h"
#include "readout/host_names.h"
#include "readout/read_out.h"

namespace {

FORMATETC DropListFormat() {
  FORMATETC format = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  return format;
}

// The IUnknown part of the two objects handed to the drag loop: one
// interface besides IUnknown, reference counted, deleted at the last Release.
template <class Interface, const IID& kInterfaceId>
class ComObject : public Interface {
 public:
  virtual ~ComObject() = default;
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, kInterfaceId)) {
      *object = static_cast<Interface*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

 private:
  ULONG references_ = 1;
};

// The data source of one drag: it offers its file-drop list as CF_HDROP on
// global memory, owns the block and frees it when it goes.
class FileDropData : public ComObject<IDataObject, IID_IDataObject> {
 public:
  explicit FileDropData(HGLOBAL dropList) : dropList_(dropList) {}
  virtual ~FileDropData() {
    if (dropList_) GlobalFree(dropList_);
  }


  // The receiver frees what it gets, so it gets a copy of the block.
  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
    if (!medium) return E_POINTER;
    HRESULT offered = QueryGetData(format);
    if (offered != S_OK) return offered;
    SIZE_T size = GlobalSize(dropList_);
    HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, size);
    if (!copy) return E_OUTOFMEMORY;
    void* from = GlobalLock(dropList_);
    void* to = GlobalLock(copy);
    if (from && to) memcpy(to, from, size);
    if (from) GlobalUnlock(dropList_);
    if (to) GlobalUnlock(copy);
    if (!from || !to) {
      GlobalFree(copy);
      return E_OUTOFMEMORY;
    }
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = copy;
    medium->pUnkForRelease = nullptr;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return DATA_E_FORMATETC; }
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
    if (!format) return E_INVALIDARG;
    if (format->cfFormat != CF_HDROP || !dropList_) return DV_E_FORMATETC;
    if (format->dwAspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (!(format->tymed & TYMED_HGLOBAL)) return DV_E_TYMED;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
    if (out) out->ptd = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) override {
    if (!formats) return E_POINTER;
    *formats = nullptr;
    if (direction != DATADIR_GET) return E_NOTIMPL;
    FORMATETC format = DropListFormat();
    return SHCreateStdEnumFmtEtc(1, &format, formats);
  }
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
    return OLE_E_ADVISENOTSUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

 private:
  HGLOBAL dropList_;
};

// The drop source of one read-out drag: the standard start wait and
// continue-or-drop rule, plus the device read at the moment of the drop.
class TempFileDropSource : public ComObject<IDropSource, IID_IDropSource> {
 public:
  explicit TempFileDropSource(ReadOut& readOut) : readOut_(readOut) {}
  virtual ~TempFileDropSource() = default;


  HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escapePressed, DWORD keyState) override {
    HRESULT answer = S_OK;
    if (escapePressed || (keyState & kCancelButton))
      answer = DRAGDROP_S_CANCEL;
    else if (!(keyState & kDropButton))
      answer = dragStarted_ ? DRAGDROP_S_DROP : DRAGDROP_S_CANCEL;
    if (answer != DRAGDROP_S_DROP) return answer;
    return readOut_.ReadAtDrop() ? DRAGDROP_S_DROP : DRAGDROP_S_CANCEL;
  }
  HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }

  // The start-of-drag wait: true once the cursor has left the start
  // rectangle or the delay has passed; false when a button or Escape
  // abandoned the drag first.
  bool BeginDrag(HWND window);

 private:
  static constexpr DWORD kDropButton = MK_LBUTTON;
  static constexpr DWORD kCancelButton = MK_RBUTTON;

  ReadOut& readOut_;
  bool dragStarted_ = false;
};

bool TempFileDropSource::BeginDrag(HWND window) {
  // Read once per process, like the system's own drag detection.
  static const int minDistance = GetProfileIntW(L"windows", L"DragMinDist", 2);
  static const UINT delay = GetProfileIntW(L"windows", L"DragDelay", 200);

  POINT cursor;
  GetCursorPos(&cursor);
  RECT area = {cursor.x, cursor.y, cursor.x, cursor.y};
  InflateRect(&area, minDistance, minDistance);

  DWORD begin = GetTickCount();
  bool started = false, abandoned = false;
  SetCapture(window);
  while (!started && !abandoned) {
    DWORD elapsed = GetTickCount() - begin;
    if (elapsed >= delay) {
      started = true;
      break;
    }
    if (GetCapture() != window) {
      abandoned = true;
      break;
    }
    MSG msg;
    if (PeekMessageW(&msg, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE) ||
        PeekMessageW(&msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
      switch (msg.message) {
        case WM_MOUSEMOVE:
          if (!PtInRect(&area, msg.pt)) started = true;
          break;
        case WM_LBUTTONUP: case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK:
        case WM_RBUTTONUP: case WM_RBUTTONDOWN: case WM_RBUTTONDBLCLK:
        case WM_MBUTTONUP: case WM_MBUTTONDOWN: case WM_MBUTTONDBLCLK:
          abandoned = true;
          break;
        case WM_KEYDOWN:
          if (msg.wParam == VK_ESCAPE) abandoned = true;
          break;
        default:
          break;
      }
      continue;
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, delay - elapsed, QS_MOUSE | QS_KEY);
  }
  if (GetCapture() == window) ReleaseCapture();
  dragStarted_ = started;
  return started;
}

// The file-drop list in movable, shareable global memory; null after the
// failure has been shown.
HGLOBAL MakeDropList(const std::vector<std::string>& paths) {
  std::vector<uint8_t> bytes = BuildDropList(paths);
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, bytes.size());
  if (!block) {
    Show(kOutOfMemory, kErrorStyle);
    return nullptr;
  }
  void* memory = GlobalLock(block);
  if (!memory) {
    Show(kInternalError, kErrorStyle);
    GlobalFree(block);
    return nullptr;
  }
  memcpy(memory, bytes.data(), bytes.size());
  GlobalUnlock(block);
  return block;
}

}  // namespace

void DragFilesOut(HWND listBox, const std::vector<DirEntry>& entries) {
  // The mouse button is down: names that cannot be files on the PC are left
  // out without a question, and told after the drop.
  ReadOut readOut;
  std::vector<std::string> refused;
  if (!readOut.Prepare(entries, &refused)) {
    GoOnWithout(refused, false);
    return;
  }
  HGLOBAL dropList = MakeDropList(readOut.tempPaths());
  if (!dropList) return;

  FileDropData* data = new FileDropData(dropList);
  TempFileDropSource* source = new TempFileDropSource(readOut);
  // A drop on the list itself must not write the files back to the device.
  DragAcceptFiles(listBox, FALSE);
  if (source->BeginDrag(listBox)) {
    DWORD effect = DROPEFFECT_NONE;
    DoDragDrop(data, source, DROPEFFECT_COPY, &effect);
  }
  DragAcceptFiles(listBox, TRUE);
  readOut.ReportError();
  GoOnWithout(refused, false);

  source->Release();
  readOut.Cleanup();
  data->Release();
}
