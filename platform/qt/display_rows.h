#pragma once

#include <QFont>
#include <QObject>
#include <QPointer>
#include <QTextBlock>
#include <QTimer>
#include <chrono>

class QPlainTextEdit;
class QPlainTextDocumentLayout;

namespace tambrel::platform::qt {

// Display-row numbers of a wrapping plain-text editor, exact at any document size.
//
// The editor's document keeps a row count for every block in its block tree, so the first row of
// a block is a fast look-up; but a block that has not been laid out yet counts as one row, and a
// width or font change puts every block back to one row. This counter lays blocks out in order
// from the top and remembers how far that laid-out prefix reaches (the frontier): the first row
// of any block inside it is exact. It pushes the frontier on in short slices whenever the event
// loop is idle, and a question about a block beyond it lays out just the blocks in between first.
// Edits, width, font and wrapping changes pull the frontier back. The laid-out blocks keep only
// their line positions (glyphs are not cached), about 100 bytes a block.
class DisplayRowCounter final : public QObject {
 public:
  explicit DisplayRowCounter(QPlainTextEdit& editor);
  ~DisplayRowCounter() override;

  // Rows in the whole document: lays out everything not yet counted.
  int RowCount();
  // min(RowCount(), limit), laying out only blocks whose rows start below the limit.
  int RowCountUpTo(int limit);
  // The row that holds the character at the position (clamped to the text).
  int RowOfPosition(int position);
  // min(RowOfPosition(position), limit), laying out no block whose rows start at the limit.
  int RowOfPositionUpTo(int position, int limit);

  struct VisibleRow {
    int row = 0;      // 0-based display row
    qreal top = 0.0;  // its top edge, in the viewport's coordinates
  };
  // The first row whose centre is inside the viewport, given the block the editor shows at the
  // top and that block's top edge in viewport coordinates.
  VisibleRow FirstVisibleRow(const QTextBlock& top_block, qreal top_block_y);

  // True once every block is counted at the present width and font.
  bool AllCounted();
  // Longest stretch of work one idle slice may take.
  void SetSliceBudget(std::chrono::milliseconds budget) { slice_budget_ = budget; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct LayoutKey {
    int width = -1;
    QFont font;
    int wrap_mode = -1;
    int flags = 0;
    qreal tab_stop = 0;
    qreal margin = 0;
    friend bool operator==(const LayoutKey&, const LayoutKey&) = default;
  };

  LayoutKey CurrentKey() const;
  // Pulls the frontier back when the layouts it stands for may be gone.
  void Revalidate();
  void OnContentsChange(int position, int removed, int added);
  // Lays out blocks from the frontier while the predicate over the frontier block holds.
  template <typename KeepGoing>
  void Advance(KeepGoing keep_going);
  void CountSlice();
  void ScheduleSlices();
  // Tells the editor its size changed once for a batch of newly counted rows.
  void AnnounceSize();

  QPointer<QPlainTextEdit> editor_;
  QPointer<QPlainTextDocumentLayout> layout_;
  int frontier_ = 0;  // blocks [0, frontier_) are laid out at the key below
  LayoutKey key_;
  bool size_changed_ = false;
  bool announcing_ = false;
  std::chrono::milliseconds slice_budget_{20};
  QTimer slice_timer_;
};

}  // namespace tambrel::platform::qt
