#pragma once

#include <oleidl.h>
#include <windows.h>

#include <memory>

namespace tambrel::platform::win32 {

class TextView;
class ViewDropTarget;

// Dragging and dropping with OLE, as every Windows program does: text and files dropped on the
// view from anywhere, and the selection dragged out of it, within it (Ctrl copies) or to another
// program. Needs OLE on the view's thread (OleInitialize); without it the view drags its selection
// within itself only and takes files through WM_DROPFILES.
class TextDragAndDrop {
 public:
  // Registers the view as a drop target; nothing when the thread has no OLE.
  static std::unique_ptr<TextDragAndDrop> Register(TextView& view);
  ~TextDragAndDrop();
  TextDragAndDrop(const TextDragAndDrop&) = delete;
  TextDragAndDrop& operator=(const TextDragAndDrop&) = delete;

  // Drags the selection until it is dropped or the drag is given up. Moved to another program,
  // the text leaves the view.
  void DragSelection();

  // The drop target as OLE sees it.
  IDropTarget* Target() const;

 private:
  TextDragAndDrop(TextView& view, ViewDropTarget* target);

  TextView& view_;
  ViewDropTarget* target_;
};

}  // namespace tambrel::platform::win32
