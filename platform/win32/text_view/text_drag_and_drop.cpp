#include "platform/win32/text_view/text_drag_and_drop.h"

#include "platform/win32/text_view/com_object.h"
#include "platform/win32/text_view/text_data_object.h"
#include "platform/win32/text_view/text_view.h"

namespace tambrel::platform::win32 {

// The view as a place to drop on: text goes where the caret shown under the mouse is, files are
// handed to whoever opens them.
class ViewDropTarget final : public ComObject<IDropTarget> {
 public:
  explicit ViewDropTarget(TextView& view) : view_(view) {}

  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL point,
                                      DWORD* effect) override {
    if (effect == nullptr) return E_POINTER;
    carried_ = !FilesIn(data).empty() ? Carried::kFiles
               : TextIn(data)         ? Carried::kText
                                      : Carried::kNothing;
    return DragOver(keys, point, effect);
  }

  HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL point, DWORD* effect) override {
    if (effect == nullptr) return E_POINTER;
    *effect = EffectFor(keys, *effect);
    view_.ShowDropCaret(carried_ == Carried::kText && *effect != DROPEFFECT_NONE
                            ? std::optional<std::size_t>(view_.DropPosition(ClientPoint(point)))
                            : std::nullopt);
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE DragLeave() override {
    view_.ShowDropCaret(std::nullopt);
    carried_ = Carried::kNothing;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL point,
                                 DWORD* effect) override {
    if (effect == nullptr) return E_POINTER;
    view_.ShowDropCaret(std::nullopt);
    *effect = EffectFor(keys, *effect);
    const Carried carried = carried_;
    carried_ = Carried::kNothing;
    if (*effect == DROPEFFECT_NONE) return S_OK;
    if (carried == Carried::kFiles) {
      view_.FilesDropped(FilesIn(data));
      return S_OK;
    }
    const std::optional<std::u16string> text = TextIn(data);
    if (!text) {
      *effect = DROPEFFECT_NONE;
      return S_OK;
    }
    const std::size_t position = view_.DropPosition(ClientPoint(point));
    if (own_drag_) {
      dropped_here_ = true;
      const editor::DragAction action =
          *effect == DROPEFFECT_COPY ? editor::DragAction::kCopy : editor::DragAction::kMove;
      view_.Submit([this, position, action] { view_.Model().DragSelectionTo(position, action); });
    } else {
      view_.Submit([this, position, text = *text] { view_.Model().Drop(position, text); });
      ::SetFocus(view_.Hwnd());
    }
    return S_OK;
  }

  void BeginOwnDrag() {
    own_drag_ = true;
    dropped_here_ = false;
  }
  // Whether the drag that began here ended here too.
  bool EndOwnDrag() {
    own_drag_ = false;
    return dropped_here_;
  }

 private:
  enum class Carried { kNothing, kText, kFiles };

  POINT ClientPoint(POINTL point) const {
    POINT client{point.x, point.y};
    ::ScreenToClient(view_.Hwnd(), &client);
    return client;
  }

  // Files are opened, never moved; text moves unless Ctrl copies it or its source only lets it
  // be copied.
  DWORD EffectFor(DWORD keys, DWORD allowed) const {
    DWORD wanted = DROPEFFECT_NONE;
    if (carried_ == Carried::kFiles) {
      wanted = DROPEFFECT_COPY;
    } else if (carried_ == Carried::kText) {
      const bool copy = (keys & MK_CONTROL) != 0 || !(allowed & DROPEFFECT_MOVE);
      wanted = copy ? DROPEFFECT_COPY : DROPEFFECT_MOVE;
    }
    return wanted & allowed;
  }

  TextView& view_;
  Carried carried_ = Carried::kNothing;
  bool own_drag_ = false;
  bool dropped_here_ = false;
};

namespace {

// The mouse decides how a drag goes: Escape gives it up, letting go of the button drops.
class SelectionDropSource final : public ComObject<IDropSource> {
 public:
  HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD keys) override {
    if (escape) return DRAGDROP_S_CANCEL;
    if (!(keys & MK_LBUTTON)) return DRAGDROP_S_DROP;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }
};

}  // namespace

std::unique_ptr<TextDragAndDrop> TextDragAndDrop::Register(TextView& view) {
  auto* target = new ViewDropTarget(view);
  if (FAILED(::RegisterDragDrop(view.Hwnd(), target))) {
    target->Release();
    return nullptr;
  }
  return std::unique_ptr<TextDragAndDrop>(new TextDragAndDrop(view, target));
}

TextDragAndDrop::TextDragAndDrop(TextView& view, ViewDropTarget* target)
    : view_(view), target_(target) {}

TextDragAndDrop::~TextDragAndDrop() {
  ::RevokeDragDrop(view_.Hwnd());
  target_->Release();
}

IDropTarget* TextDragAndDrop::Target() const { return target_; }

void TextDragAndDrop::DragSelection() {
  const std::u16string text = view_.Model().SelectedTextForClipboard();
  if (text.empty()) return;
  const ComReference<IDataObject> data(new TextDataObject(text));
  const ComReference<IDropSource> source(new SelectionDropSource());
  DWORD effect = DROPEFFECT_NONE;
  target_->BeginOwnDrag();
  const HRESULT result =
      ::DoDragDrop(data.get(), source.get(), DROPEFFECT_MOVE | DROPEFFECT_COPY, &effect);
  const bool dropped_here = target_->EndOwnDrag();
  // Moved into another program: the text leaves this one. Moved here, the drop has moved it.
  if (result == DRAGDROP_S_DROP && effect == DROPEFFECT_MOVE && !dropped_here) {
    view_.Submit([this] { view_.Model().Cut(); });
  }
}

}  // namespace tambrel::platform::win32
