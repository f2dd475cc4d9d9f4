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
#include "platform/qt/text_view_row.h"

namespace tambrel::platform::qt {

namespace {

constexpr int kMargin = kTextMargin;
constexpr float kTabStop = kTabStopDistance;
// Text read per idle slice while counting rows: a few milliseconds' work.
constexpr std::size_t kCountingSlice = std::size_t{1} << 20;

// Characters that would end a row of a text layout on their own; the view shows them as spaces,
// as wide as the wrapping measured them.
bool BreaksALayoutLine(char16_t unit) {
  return unit == 0x2028 || unit == 0x2029 || unit == 0x0B || unit == 0x0C || unit == 0x85;
}

}  // namespace

void LayOutRow(QTextLayout& layout, const QFont& font) {
  QTextOption option;
  option.setWrapMode(QTextOption::NoWrap);
  option.setTabStopDistance(kTabStop);
  layout.setFont(font);
  layout.setTextOption(option);
  layout.setCacheEnabled(true);
  layout.beginLayout();
  QTextLine line = layout.createLine();
  if (line.isValid()) {
    line.setLeadingIncluded(true);
    line.setPosition(QPointF(0, 0));
  }
  layout.endLayout();
}

TextView::TextView(QWidget* parent)
    : QAbstractScrollArea(parent),
      metrics_(std::make_unique<text::CharMetrics>(FontCharMetrics(font_, kTabStop))),
      doc_(*metrics_, 1) {
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
  connect(&counting_, &QTimer::timeout, this, [this] { CountSlice(); });
  drag_scroll_.setInterval(50);
  connect(&drag_scroll_, &QTimer::timeout, this, [this] {
    const QPoint at = viewport()->mapFromGlobal(QCursor::pos());
    if (at.y() < 0) MoveVertically(-1, Selecting::kExtend);
    if (at.y() > viewport()->height()) MoveVertically(1, Selecting::kExtend);
  });
  connect(verticalScrollBar(), &QScrollBar::valueChanged, this,
          [this](int value) { OnScrollBarMoved(value); });
  SetTextFont(font());
}

TextView::~TextView() = default;

// --- The text
// -------------------------------------------------------------------------------------

void TextView::SetText(std::u16string text) { SetBuffer(text::TextBuffer(std::move(text))); }

void TextView::SetBuffer(text::TextBuffer buffer) {
  doc_.Adopt(std::move(buffer));
  caret_ = anchor_ = 0;
  preferred_x_ = -1;
  top_ = text::RowPlace{};
  announced_top_number_.reset();
  SyncScrollBar();
  ScheduleCounting();
  viewport()->update();
  if (text_changed) text_changed();
  NotifyRowsMoved();
}

void TextView::Edit(std::size_t position, std::size_t length, std::u16string_view replacement,
                    text::Merge merge) {
  const std::size_t top = TopPosition();
  const text::Change change = doc_.Replace(position, length, replacement, merge);
  AfterChange(change, position + replacement.size(), top);
}

std::size_t TextView::TopPosition() {
  return LineStart(top_.line) + doc_.RowOfLine(top_.line, top_.row_in_line).start;
}

void TextView::PutAtTop(std::size_t position) {
  // Only the top line is wrapped, and only as far as the position: a change of width in a line
  // of many megabytes does not wait for the whole line.
  top_ = doc_.PlaceOfPosition(std::min(position, Length()));
}

void TextView::AfterChange(const text::Change& change, std::size_t caret, std::size_t top) {
  caret_ = anchor_ = std::min(caret, Length());
  preferred_x_ = -1;
  // The text at the top stays there, moved along by what changed before it.
  if (change.position < top) {
    top = change.position + change.removed <= top ? top - change.removed + change.inserted
                                                  : change.position;
  }
  PutAtTop(top);
  EnsureCaretVisible();
  SyncScrollBar();
  ScheduleCounting();
  RestartCaretBlink();
  viewport()->update();
  if (text_changed) text_changed();
  NotifyRowsMoved();
}

void TextView::ReplaceSelection(std::u16string_view replacement) {
  doc_.BreakUndoGroup();
  Edit(SelectionStart(), SelectionEnd() - SelectionStart(), replacement, text::Merge::kNever);
  doc_.BreakUndoGroup();
}

void TextView::Undo() {
  const std::size_t top = TopPosition();
  if (const auto change = doc_.Undo()) {
    AfterChange(*change, change->position + change->inserted, top);
  }
}

void TextView::Redo() {
  const std::size_t top = TopPosition();
  if (const auto change = doc_.Redo()) {
    AfterChange(*change, change->position + change->inserted, top);
  }
}

// --- Look
// -----------------------------------------------------------------------------------------

void TextView::SetTextFont(const QFont& font) {
  font_ = font;
  // Kerning would move glyphs away from the advances rows are wrapped by.
  font_.setKerning(false);
  const QRect row = RowExtent(QStringLiteral("Hy"), font_);
  row_height_ = std::max(1, row.height());
  ascent_ = QFontMetrics(font_).ascent();
  Relayout();
}

void TextView::SetColors(const QColor& text, const QColor& background) {
  text_color_ = text;
  background_ = background;
  viewport()->update();
}

void TextView::Relayout() {
  const std::size_t top = TopPosition();
  const bool caret_shown = CaretRect().isValid();
  auto metrics = std::make_unique<text::CharMetrics>(FontCharMetrics(font_, kTabStop));
  doc_.SetLayout(*metrics, WrapWidth());
  metrics_ = std::move(metrics);
  // The text at the top stays at the top, and a caret in view stays in view.
  PutAtTop(top);
  if (caret_shown) EnsureCaretVisible();
  announced_top_number_.reset();
  SyncScrollBar();
  ScheduleCounting();
  viewport()->update();
  NotifyRowsMoved(Announce::kAlways);
}

float TextView::WrapWidth() const {
  return static_cast<float>(std::max(1, viewport()->width() - 2 * kMargin));
}

void TextView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  if (std::abs(doc_.Width() - WrapWidth()) >= 0.5f) {
    const std::size_t top = TopPosition();
    const bool caret_shown = CaretRect().isValid();
    doc_.SetLayout(*metrics_, WrapWidth());
    PutAtTop(top);
    if (caret_shown) EnsureCaretVisible();
    announced_top_number_.reset();
    ScheduleCounting();
    NotifyRowsMoved(Announce::kAlways);
  }
  SyncScrollBar();
}

// --- Rows
// -----------------------------------------------------------------------------------------

int TextView::FirstRowTop() const { return viewport()->geometry().top() + kMargin; }

int TextView::VisibleRows() const {
  return std::max(1, (viewport()->height() - kMargin) / row_height_);
}

std::size_t TextView::CountTopRowNumber() {
  while (!doc_.RowNumberOf(top_)) doc_.CountSome(kCountingSlice * 64);
  return *doc_.RowNumberOf(top_);
}

QString TextView::RowText(text::RowPlace place, text::RowSpan span) const {
  const std::u16string units =
      doc_.Buffer().Substring(LineStart(place.line) + span.start, span.end - span.start);
  QString shown(reinterpret_cast<const QChar*>(units.data()), static_cast<qsizetype>(units.size()));
  for (QChar& c : shown) {
    if (BreaksALayoutLine(c.unicode())) c = QLatin1Char(' ');
  }
  return shown;
}

// --- Painting
// -------------------------------------------------------------------------------------

void TextView::paintEvent(QPaintEvent* event) {
  QPainter painter(viewport());
  painter.fillRect(event->rect(), background_);
  painter.setPen(text_color_);
  const std::size_t selection_start = SelectionStart();
  const std::size_t selection_end = SelectionEnd();
  const text::RowPlace caret_place = doc_.PlaceOfPosition(caret_);
  const QPalette colors = palette();

  text::RowPlace place = top_;
  for (int y = kMargin; y < viewport()->height(); y += row_height_) {
    const text::RowSpan span = doc_.RowOfLine(place.line, place.row_in_line);
    const std::size_t row_start = LineStart(place.line) + span.start;
    const std::size_t row_end = LineStart(place.line) + span.end;
    QTextLayout layout(RowText(place, span));
    const bool caret_here = place == caret_place;
    if (caret_here && !preedit_.isEmpty()) {
      layout.setPreeditArea(static_cast<int>(caret_ - row_start), preedit_);
    }
    LayOutRow(layout, font_);

    QList<QTextLayout::FormatRange> selections;
    if (selection_start < row_end && selection_end > row_start) {
      QTextLayout::FormatRange range;
      range.start = static_cast<int>(std::max(selection_start, row_start) - row_start);
      range.length = static_cast<int>(std::min(selection_end, row_end) - row_start) - range.start;
      range.format.setBackground(colors.color(QPalette::Highlight));
      range.format.setForeground(colors.color(QPalette::HighlightedText));
      selections.append(range);
    }
    const QPointF origin(kMargin, y);
    layout.draw(&painter, origin, selections);
    if (caret_here && caret_visible_ && hasFocus()) {
      const int at =
          static_cast<int>(caret_ - row_start) + (preedit_.isEmpty() ? 0 : preedit_cursor_);
      layout.drawCursor(&painter, origin, at, 1);
    }

    // The next row, found without wrapping more of a long line than the screen shows.
    const text::RowPlace next = doc_.MoveByRows(place, 1);
    if (next == place) break;
    place = next;
  }
}

QRect TextView::CaretRect() {
  const text::RowPlace place = doc_.PlaceOfPosition(caret_);
  std::ptrdiff_t rows = 0;
  // Rows between the top and the caret, counted no further than the viewport.
  text::RowPlace walk = top_;
  const int visible = VisibleRows() + 1;
  while (!(walk == place) && rows <= visible) {
    const text::RowPlace next = doc_.MoveByRows(walk, 1);
    if (next == walk) break;
    walk = next;
    ++rows;
  }
  if (!(walk == place)) return QRect();
  // Only a caret on screen has its row laid out to find its x.
  const qreal x = XOfPosition(caret_);
  const int y = kMargin + static_cast<int>(rows) * row_height_;
  return QRect(static_cast<int>(kMargin + x), y, 2, row_height_);
}

// --- Scrolling
// ------------------------------------------------------------------------------------

void TextView::ScrollTo(text::RowPlace top) {
  if (top == top_) return;
  top_ = top;
  SyncScrollBar();
  viewport()->update();
  NotifyRowsMoved(Announce::kAlways);
  if (hasFocus()) QGuiApplication::inputMethod()->update(Qt::ImCursorRectangle);
}

void TextView::EnsureCaretVisible() {
  const text::RowPlace caret = doc_.PlaceOfPosition(caret_);
  // Above the view: the caret's row becomes the top one.
  if (caret.line < top_.line || (caret.line == top_.line && caret.row_in_line < top_.row_in_line)) {
    ScrollTo(caret);
    return;
  }
  // Below: the caret's row becomes the last whole one. Only the rows in between are looked at.
  const int visible = VisibleRows();
  text::RowPlace walk = top_;
  for (int row = 0; row < visible; ++row) {
    if (walk == caret) return;
    const text::RowPlace next = doc_.MoveByRows(walk, 1);
    if (next == walk) return;
    walk = next;
  }
  ScrollTo(doc_.MoveByRows(caret, -(visible - 1)));
}

void TextView::SyncScrollBar() {
  QScrollBar* bar = verticalScrollBar();
  const std::size_t total = doc_.EstimatedRows();
  const auto visible = static_cast<std::size_t>(VisibleRows());
  const int maximum = static_cast<int>(std::min<std::size_t>(
      total > visible ? total - visible : 0, static_cast<std::size_t>(INT32_MAX / 2)));
  std::size_t value = 0;
  if (const auto known = doc_.RowNumberOf(top_)) {
    value = *known;
  } else if (doc_.Buffer().LineCount() > 1) {
    // Not counted so far down yet: where the top line stands among the lines, in rows.
    value = static_cast<std::size_t>(static_cast<double>(top_.line) /
                                     static_cast<double>(doc_.Buffer().LineCount()) *
                                     static_cast<double>(total));
  }
  updating_scroll_bar_ = true;
  bar->setRange(0, maximum);
  bar->setPageStep(static_cast<int>(visible));
  bar->setSingleStep(1);
  bar->setValue(static_cast<int>(std::min<std::size_t>(value, static_cast<std::size_t>(maximum))));
  updating_scroll_bar_ = false;
}

void TextView::OnScrollBarMoved(int value) {
  if (updating_scroll_bar_) return;
  const auto row = static_cast<std::size_t>(std::max(0, value));
  if (const auto place = doc_.PlaceOfRow(row)) {
    ScrollTo(*place);
    return;
  }
  // Beyond the rows counted so far: the line as far down the document as the bar is.
  const double share = static_cast<double>(row) / std::max<std::size_t>(1, doc_.EstimatedRows());
  const std::size_t lines = doc_.Buffer().LineCount();
  const auto line =
      std::min(lines - 1, static_cast<std::size_t>(share * static_cast<double>(lines)));
  ScrollTo(text::RowPlace{line, 0});
}

void TextView::scrollContentsBy(int /*dx*/, int /*dy*/) {
  // Every move goes through ScrollTo, which repaints what it must.
}

void TextView::wheelEvent(QWheelEvent* event) {
  const int notches = event->angleDelta().y() / 120;
  if (notches == 0) {
    event->ignore();
    return;
  }
  const int step = QApplication::wheelScrollLines();
  ScrollTo(doc_.MoveByRows(top_, -static_cast<std::ptrdiff_t>(notches) * step));
  event->accept();
}

// --- Counting
// -------------------------------------------------------------------------------------

void TextView::ScheduleCounting() {
  if (!doc_.AllCounted() && !counting_.isActive()) counting_.start();
}

void TextView::CountSlice() {
  // The lines in view first, then the document from the top.
  doc_.CountSome(kCountingSlice / 4, top_.line);
  doc_.CountSome(kCountingSlice, 0);
  SyncScrollBar();
  // Whoever hears of the new numbers may change the layout (the gutter may take room from the
  // view): whether counting is done is asked afterwards.
  NotifyRowsMoved();
  if (doc_.AllCounted()) counting_.stop();
}

void TextView::NotifyRowsMoved(Announce announce) {
  const std::optional<std::size_t> number = doc_.RowNumberOf(top_);
  if (announce == Announce::kWhenChanged && number == announced_top_number_) return;
  announced_top_number_ = number;
  if (rows_moved) rows_moved();
}

void TextView::RestartCaretBlink() {
  caret_visible_ = true;
  if (hasFocus()) caret_blink_.start();
  QGuiApplication::inputMethod()->update(Qt::ImCursorRectangle | Qt::ImCursorPosition |
                                         Qt::ImSurroundingText | Qt::ImAnchorPosition);
}

}  // namespace tambrel::platform::qt
