#include "platform/qt/text_view.h"

#include <QApplication>
#include <QGuiApplication>
#include <QInputMethod>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyleHints>
#include <QTextLayout>
#include <algorithm>
#include <cmath>

#include "platform/qt/font_char_metrics.h"
#include "platform/qt/qt_fonts.h"

namespace tambrel::platform::qt {

namespace {

constexpr int kMargin = kTextMargin;

}  // namespace

TextView::TextView(QWidget* parent, editor::Editor& editor, QtRowGeometry& geometry)
    : QAbstractScrollArea(parent), editor_(editor), geometry_(geometry) {
  setFrameShape(QFrame::NoFrame);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setAttribute(Qt::WA_InputMethodEnabled);
  setFocusPolicy(Qt::StrongFocus);
  setAcceptDrops(true);
  viewport()->setCursor(Qt::IBeamCursor);
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
  viewport()->setAcceptDrops(true);

  caret_blink_.setInterval(std::max(100, QGuiApplication::styleHints()->cursorFlashTime() / 2));
  connect(&caret_blink_, &QTimer::timeout, this, [this] {
    caret_visible_ = !caret_visible_;
    viewport()->update(CaretRect().adjusted(-2, -2, 2, 2));
  });
  counting_.setInterval(0);
  connect(&counting_, &QTimer::timeout, this, [this] {
    if (!editor_.CountSome()) counting_.stop();
    SyncScrollBar();
  });
  drag_scroll_.setInterval(50);
  connect(&drag_scroll_, &QTimer::timeout, this, [this] {
    const QPoint at = viewport()->mapFromGlobal(QCursor::pos());
    if (at.y() < 0) editor_.ScrollBy(-1);
    if (at.y() > viewport()->height()) editor_.ScrollBy(1);
    editor_.DragTo(ScreenRowAt(at), TextXAt(at));
  });
  connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
    if (!updating_scroll_bar_) editor_.ScrollToBarValue(value);
  });
  editor_.on_change = [this](unsigned changed) { OnEditorChanged(changed); };
  // What waited for a command to finish is done once the command has returned to the loop.
  editor_.Input().on_released = [this] {
    QTimer::singleShot(0, this, [this] { editor_.Input().RunWaiting(); });
  };
  FontChanged();
}

TextView::~TextView() {
  editor_.on_change = nullptr;
  editor_.Input().on_released = nullptr;
}

void TextView::Submit(std::function<void()> action) { editor_.Input().Submit(std::move(action)); }

void TextView::OnEditorChanged(unsigned changed) {
  if (changed & (editor::kTextChanged | editor::kLookChanged | editor::kViewMoved)) {
    SyncScrollBar();
    ScheduleCounting();
  }
  if (changed & editor::kSelectionChanged) {
    RestartCaretBlink();
    SetPrimarySelection();
  }
  viewport()->update();
  announcer_.Announce(changed);
  if ((changed & editor::kTextChanged) && text_changed) text_changed();
  if ((changed & editor::kViewMoved) && rows_moved) rows_moved();
}

// --- Look ------------------------------------------------------------------------------------

void TextView::SetColors(const QColor& text, const QColor& background) {
  text_color_ = text;
  background_ = background;
  viewport()->update();
}

void TextView::FontChanged() {
  row_height_ = std::max(1, RowExtent(QStringLiteral("Hy"), geometry_.Font()).height());
  Relayout();
}

void TextView::Relayout() {
  geometry_.SetWidth(WrapWidth());
  editor_.SetVisibleRows(VisibleRows());
  editor_.SetLayout(std::make_unique<text::CharMetrics>(
                        FontCharMetrics(geometry_.Font(), geometry_.TabStop())),
                    WrapWidth());
}

float TextView::WrapWidth() const {
  return static_cast<float>(std::max(1, viewport()->width() - 2 * kMargin));
}

int TextView::VisibleRows() const {
  return std::max(1, (viewport()->height() - kMargin) / row_height_);
}

void TextView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  geometry_.SetWidth(WrapWidth());
  editor_.SetVisibleRows(VisibleRows());
  editor_.SetWidth(WrapWidth());
  SyncScrollBar();
}

int TextView::FirstRowTop() const { return viewport()->geometry().top() + kMargin; }

// --- Painting --------------------------------------------------------------------------------

void TextView::paintEvent(QPaintEvent* event) {
  QPainter painter(viewport());
  painter.fillRect(event->rect(), background_);
  painter.setPen(text_color_);
  const std::optional<std::size_t> caret_row =
      editor_.Composition().empty() ? std::nullopt : editor_.View().IndexOnScreen(editor_.CaretPlace());
  const std::vector<editor::ScreenRow>& rows = editor_.Rows();
  int y = kMargin;
  for (std::size_t i = 0; i < rows.size() && y < viewport()->height(); ++i) {
    if (caret_row && *caret_row == i) {
      // The composition takes as many rows as it needs; the rows after it move down.
      y = PaintComposition(painter, rows[i], y);
      continue;
    }
    PaintRow(painter, rows[i], y);
    y += row_height_;
  }
}

void TextView::PaintRow(QPainter& painter, const editor::ScreenRow& row, int y) {
  std::u16string scratch;
  const editor::RowText text = editor_.TextOf(row, scratch);
  QTextLayout layout(LayoutText(text.text));
  geometry_.LayOut(layout, text.direction);

  const editor::Selection& selection = editor_.GetSelection();
  QList<QTextLayout::FormatRange> selections;
  if (selection.Start() < row.end && selection.End() > row.start) {
    QTextLayout::FormatRange range;
    range.start = static_cast<int>(std::max(selection.Start(), row.start) - row.start);
    range.length = static_cast<int>(std::min(selection.End(), row.end) - row.start) - range.start;
    range.format.setBackground(palette().color(QPalette::Highlight));
    range.format.setForeground(palette().color(QPalette::HighlightedText));
    selections.append(range);
  }
  const QPointF origin(kMargin, y);
  layout.draw(&painter, origin, selections);
  if (editor_.CaretPlace() == row.place) {
    PaintCaret(painter, layout, origin, static_cast<int>(selection.caret.position - row.start));
  }
  if (drop_caret_ && *drop_caret_ >= row.start && *drop_caret_ <= row.end &&
      editor_.PlaceOf(*drop_caret_) == row.place) {
    layout.drawCursor(&painter, origin, static_cast<int>(*drop_caret_ - row.start), 2);
  }
}

int TextView::PaintComposition(QPainter& painter, const editor::ScreenRow& row, int y) {
  std::u16string scratch;
  const editor::Direction direction = editor_.TextOf(row, scratch).direction;
  for (const editor::ComposedRow& composed : editor_.ComposedCaretRow()) {
    QTextLayout layout(LayoutText(composed.text));
    QList<QTextLayout::FormatRange> formats;
    if (composed.composition_end > composed.composition_start) {
      QTextLayout::FormatRange range;
      range.start = static_cast<int>(composed.composition_start);
      range.length = static_cast<int>(composed.composition_end - composed.composition_start);
      range.format.setFontUnderline(true);
      range.format.setUnderlineStyle(QTextCharFormat::SingleUnderline);
      formats.append(range);
    }
    layout.setFormats(formats);
    geometry_.LayOut(layout, direction);
    const QPointF origin(kMargin, y);
    layout.draw(&painter, origin);
    if (composed.cursor) PaintCaret(painter, layout, origin, static_cast<int>(*composed.cursor));
    y += row_height_;
  }
  return y;
}

void TextView::PaintCaret(QPainter& painter, QTextLayout& layout, const QPointF& origin,
                          int offset) {
  if (!caret_visible_ || !hasFocus()) return;
  if (!editor_.Overwriting() || !editor_.Composition().empty()) {
    layout.drawCursor(&painter, origin, offset, 1);
    return;
  }
  // Overwriting shows the caret as a block over the character that typing would replace.
  const QTextLine line = layout.lineAt(0);
  const qreal x = line.cursorToX(offset);
  const int next = layout.nextCursorPosition(offset);
  const qreal width = next > offset ? std::abs(line.cursorToX(next) - x)
                                    : QFontMetricsF(geometry_.Font()).averageCharWidth();
  painter.fillRect(QRectF(origin.x() + std::min(x, x + width), origin.y(), width, row_height_),
                   QColor(text_color_.red(), text_color_.green(), text_color_.blue(), 96));
}

QRect TextView::CaretRect() {
  if (!editor_.Composition().empty()) return CompositionCursorRect();
  const std::optional<editor::Editor::CaretSpot> spot = editor_.CaretOnScreen();
  if (!spot) return QRect();
  const int y = kMargin + static_cast<int>(spot->screen_row) * row_height_;
  return QRect(static_cast<int>(kMargin + spot->x), y, 2, row_height_);
}

QRect TextView::CompositionCursorRect() {
  const std::optional<std::size_t> index = editor_.View().IndexOnScreen(editor_.CaretPlace());
  if (!index) return QRect();
  std::u16string scratch;
  const editor::Direction direction = editor_.TextOf(editor_.Rows()[*index], scratch).direction;
  int y = kMargin + static_cast<int>(*index) * row_height_;
  for (const editor::ComposedRow& composed : editor_.ComposedCaretRow()) {
    if (composed.cursor) {
      QTextLayout layout(LayoutText(composed.text));
      geometry_.LayOut(layout, direction);
      const qreal x = layout.lineAt(0).cursorToX(static_cast<int>(*composed.cursor));
      return QRect(static_cast<int>(kMargin + x), y, 2, row_height_);
    }
    y += row_height_;
  }
  return QRect();
}

// --- Scrolling and counting -----------------------------------------------------------------

void TextView::SyncScrollBar() {
  const editor::ScrollBarState state = editor_.View().ScrollBar();
  QScrollBar* bar = verticalScrollBar();
  updating_scroll_bar_ = true;
  bar->setRange(0, state.maximum);
  bar->setPageStep(state.page);
  bar->setSingleStep(1);
  bar->setValue(state.value);
  updating_scroll_bar_ = false;
}

void TextView::scrollContentsBy(int /*dx*/, int /*dy*/) {
  // Every move goes through the editor, which says what to repaint.
}

void TextView::wheelEvent(QWheelEvent* event) {
  const int notches = event->angleDelta().y() / 120;
  if (notches == 0) {
    event->ignore();
    return;
  }
  editor_.ScrollBy(-static_cast<std::ptrdiff_t>(notches) * QApplication::wheelScrollLines());
  event->accept();
}

void TextView::ScheduleCounting() {
  if (!editor_.View().AllCounted() && !counting_.isActive()) counting_.start();
}

void TextView::RestartCaretBlink() {
  caret_visible_ = true;
  if (hasFocus()) caret_blink_.start();
  QGuiApplication::inputMethod()->update(Qt::ImCursorRectangle | Qt::ImCursorPosition |
                                         Qt::ImSurroundingText | Qt::ImAnchorPosition);
}

}  // namespace tambrel::platform::qt
