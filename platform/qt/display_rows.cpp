#include "platform/qt/display_rows.h"

#include <QElapsedTimer>
#include <QEvent>
#include <QPlainTextDocumentLayout>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTextDocument>
#include <QTextLayout>
#include <algorithm>
#include <climits>

namespace tambrel::platform::qt {

namespace {
// The row inside its block that holds the character at the offset; a block's closing line
// break belongs to its last row.
int RowInBlock(const QTextBlock& block, int offset) {
  const QTextLayout* layout = block.layout();
  if (layout == nullptr || layout->lineCount() == 0) return 0;
  const QTextLine line = layout->lineForTextPosition(offset);
  return line.isValid() ? line.lineNumber() : layout->lineCount() - 1;
}

QPlainTextDocumentLayout* PlainLayout(const QPlainTextEdit* editor) {
  if (editor == nullptr) return nullptr;
  return qobject_cast<QPlainTextDocumentLayout*>(editor->document()->documentLayout());
}
}  // namespace

DisplayRowCounter::DisplayRowCounter(QPlainTextEdit& editor) : editor_(&editor) {
  slice_timer_.setInterval(0);
  QObject::connect(&slice_timer_, &QTimer::timeout, this, [this] { CountSlice(); });
  QObject::connect(
      editor.document(), &QTextDocument::contentsChange, this,
      [this](int position, int removed, int added) { OnContentsChange(position, removed, added); });
  editor.installEventFilter(this);
  editor.viewport()->installEventFilter(this);
  key_ = CurrentKey();
  ScheduleSlices();
}

DisplayRowCounter::~DisplayRowCounter() {
  slice_timer_.stop();
  if (editor_) {
    editor_->removeEventFilter(this);
    editor_->viewport()->removeEventFilter(this);
  }
}

DisplayRowCounter::LayoutKey DisplayRowCounter::CurrentKey() const {
  LayoutKey key;
  if (!editor_) return key;
  const QTextDocument* document = editor_->document();
  const QTextOption option = document->defaultTextOption();
  // The editor lays its document out at its viewport's width.
  key.width = editor_->viewport()->width();
  key.font = document->defaultFont();
  key.wrap_mode = static_cast<int>(option.wrapMode());
  key.flags = static_cast<int>(option.flags());
  key.tab_stop = option.tabStopDistance();
  key.margin = document->documentMargin();
  return key;
}

void DisplayRowCounter::Revalidate() {
  if (!editor_) return;
  const LayoutKey now = CurrentKey();
  if (!(now == key_)) {
    key_ = now;
    frontier_ = 0;
  }
  const QTextDocument* document = editor_->document();
  const int blocks = document->blockCount();
  frontier_ = std::min(frontier_, blocks);
  // Whatever cleared layouts without telling (a relayout) cleared these two as well.
  if (frontier_ > 0 && (document->firstBlock().layout()->lineCount() == 0 ||
                        document->findBlockByNumber(frontier_ - 1).layout()->lineCount() == 0)) {
    frontier_ = 0;
  }
  if (frontier_ < blocks) ScheduleSlices();
}

void DisplayRowCounter::OnContentsChange(int position, int /*removed*/, int /*added*/) {
  if (!editor_) return;
  const QTextBlock changed = editor_->document()->findBlock(position);
  frontier_ = std::clamp(changed.blockNumber(), 0, frontier_);
  ScheduleSlices();
}

template <typename KeepGoing>
void DisplayRowCounter::Advance(KeepGoing keep_going) {
  QPlainTextDocumentLayout* layout = PlainLayout(editor_);
  if (layout == nullptr) return;
  QTextBlock block = editor_->document()->findBlockByNumber(frontier_);
  {
    // One size notice for the whole batch instead of one per block.
    const QSignalBlocker quiet(layout);
    while (block.isValid() && keep_going(block)) {
      if (block.layout()->lineCount() == 0) {
        const int before = block.lineCount();
        layout->ensureBlockLayout(block);
        if (block.lineCount() != before) size_changed_ = true;
      }
      ++frontier_;
      block = block.next();
    }
  }
  AnnounceSize();
}

void DisplayRowCounter::AnnounceSize() {
  if (!size_changed_ || announcing_) return;
  QPlainTextDocumentLayout* layout = PlainLayout(editor_);
  if (layout == nullptr) return;
  size_changed_ = false;
  announcing_ = true;
  // The editor's scroll bar counts rows too; it keeps the same top block and renumbers.
  emit layout->documentSizeChanged(layout->documentSize());
  announcing_ = false;
}

void DisplayRowCounter::CountSlice() {
  if (!editor_) {
    slice_timer_.stop();
    return;
  }
  Revalidate();
  QElapsedTimer clock;
  clock.start();
  const qint64 budget_ns = std::chrono::nanoseconds(slice_budget_).count();
  Advance([&](const QTextBlock&) { return clock.nsecsElapsed() < budget_ns; });
  if (frontier_ >= editor_->document()->blockCount()) slice_timer_.stop();
}

void DisplayRowCounter::ScheduleSlices() {
  if (!slice_timer_.isActive()) slice_timer_.start();
}

bool DisplayRowCounter::eventFilter(QObject* /*watched*/, QEvent* event) {
  switch (event->type()) {
    case QEvent::Resize:
    case QEvent::FontChange:
    case QEvent::StyleChange:
    case QEvent::Show:
      // Layouts may be cleared by the editor's own handling, which comes after this filter.
      ScheduleSlices();
      break;
    default:
      break;
  }
  return false;
}

bool DisplayRowCounter::AllCounted() {
  if (!editor_) return true;
  Revalidate();
  return frontier_ >= editor_->document()->blockCount();
}

int DisplayRowCounter::RowCount() { return RowCountUpTo(INT_MAX); }

int DisplayRowCounter::RowCountUpTo(int limit) {
  if (!editor_) return std::min(1, limit);
  Revalidate();
  Advance(
      [&](const QTextBlock& block) { return limit == INT_MAX || block.firstLineNumber() < limit; });
  const QTextDocument* document = editor_->document();
  if (frontier_ < document->blockCount()) return limit;
  return std::min(std::max(1, document->lineCount()), limit);
}

int DisplayRowCounter::RowOfPosition(int position) { return RowOfPositionUpTo(position, INT_MAX); }

int DisplayRowCounter::RowOfPositionUpTo(int position, int limit) {
  if (!editor_) return 0;
  Revalidate();
  const QTextDocument* document = editor_->document();
  const int clamped = std::clamp(position, 0, std::max(0, document->characterCount() - 1));
  const QTextBlock block = document->findBlock(clamped);
  if (!block.isValid()) return 0;
  const int number = block.blockNumber();
  Advance([&](const QTextBlock& next) {
    return frontier_ <= number && (limit == INT_MAX || next.firstLineNumber() < limit);
  });
  if (frontier_ <= number) return limit;
  const int row = block.firstLineNumber() + RowInBlock(block, clamped - block.position());
  return std::min(row, limit);
}

DisplayRowCounter::VisibleRow DisplayRowCounter::FirstVisibleRow(const QTextBlock& top_block,
                                                                 qreal top_block_y) {
  VisibleRow found;
  QPlainTextDocumentLayout* layout = PlainLayout(editor_);
  if (layout == nullptr) return found;
  Revalidate();
  QTextBlock block = top_block.isValid() ? top_block : editor_->document()->firstBlock();
  int number = block.blockNumber();
  qreal y = top_block_y;
  for (; block.isValid(); block = block.next(), ++number) {
    // The block and every block above it must be counted before its first row is read.
    Advance([&](const QTextBlock&) { return frontier_ <= number; });
    const QTextLayout* rows = block.layout();
    const int first = block.firstLineNumber();
    for (int i = 0; i < rows->lineCount(); ++i) {
      const QTextLine line = rows->lineAt(i);
      found = VisibleRow{first + i, y + line.y()};
      // A sliver of a row left at the top by scrolling does not make it the first row.
      if (found.top + line.height() / 2 >= 0) return found;
    }
    y += layout->blockBoundingRect(block).height();
  }
  return found;
}

}  // namespace tambrel::platform::qt
