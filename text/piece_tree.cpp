#include "text/piece_tree.h"

#include <cassert>
#include <string>

namespace tambrel::text {
namespace {

constexpr std::uint8_t kFirstEdge = kStartsWithLf;
constexpr std::uint8_t kLastEdges = kEndsWithCr | kEndsWithLf;

}  // namespace

PieceTree::PieceTree() : nodes_(1) {}

std::uint32_t PieceTree::NextPriority() {
  // splitmix64: fixed seed, so the same edits give the same tree.
  std::uint64_t z = (random_state_ += 0x9E3779B97F4A7C15u);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
  return static_cast<std::uint32_t>((z ^ (z >> 31)) >> 32);
}

PieceTree::NodeId PieceTree::MakeNode(const Piece& piece) {
  NodeId id;
  if (!free_.empty()) {
    id = free_.back();
    free_.pop_back();
    nodes_[id] = Node{};
  } else {
    id = static_cast<NodeId>(nodes_.size());
    nodes_.emplace_back();
  }
  nodes_[id].piece = piece;
  nodes_[id].priority = NextPriority();
  Update(id);
  return id;
}

void PieceTree::Free(NodeId subtree) {
  if (subtree == kNil) return;
  std::vector<NodeId> pending{subtree};
  while (!pending.empty()) {
    const NodeId id = pending.back();
    pending.pop_back();
    if (nodes_[id].left != kNil) pending.push_back(nodes_[id].left);
    if (nodes_[id].right != kNil) pending.push_back(nodes_[id].right);
    free_.push_back(id);
  }
}

PieceTree::Sums PieceTree::SumsOf(const Node& node) const {
  const Node& left = nodes_[node.left];
  const Node& right = nodes_[node.right];
  const std::uint8_t own = node.piece.edges;
  std::size_t starts = left.starts + node.piece.inner_starts + right.starts;
  std::uint8_t first = own & kFirstEdge;
  std::uint8_t last = own & kLastEdges;
  if (node.left != kNil) {
    starts += StartsLineBetween(left.edges, own) ? 1 : 0;
    first = left.edges & kFirstEdge;
  }
  if (node.right != kNil) {
    starts += StartsLineBetween(own, right.edges) ? 1 : 0;
    last = right.edges & kLastEdges;
  }
  return {left.length + node.piece.length + right.length, starts,
          static_cast<std::uint8_t>(first | last)};
}

void PieceTree::Update(NodeId id) {
  Node& node = nodes_[id];
  const Sums sums = SumsOf(node);
  node.length = sums.length;
  node.starts = sums.starts;
  node.edges = sums.edges;
}

PieceTree::NodeId PieceTree::Merge(NodeId left, NodeId right) {
  if (left == kNil) return right;
  if (right == kNil) return left;
  if (nodes_[left].priority > nodes_[right].priority) {
    const NodeId merged = Merge(nodes_[left].right, right);
    nodes_[left].right = merged;
    Update(left);
    return left;
  }
  const NodeId merged = Merge(left, nodes_[right].left);
  nodes_[right].left = merged;
  Update(right);
  return right;
}

std::pair<PieceTree::NodeId, PieceTree::NodeId> PieceTree::Split(NodeId subtree,
                                                                 std::size_t position,
                                                                 const TextChunks& chunks) {
  NodeId cut_tail = kNil;
  const auto [first, rest] = SplitNodes(subtree, position, chunks, cut_tail);
  // The tail of a cut piece is a new node with a priority of its own: merged in from the top, it
  // sinks to where that priority belongs instead of sitting above nodes that outrank it.
  return {first, Merge(cut_tail, rest)};
}

std::pair<PieceTree::NodeId, PieceTree::NodeId> PieceTree::SplitNodes(NodeId subtree,
                                                                      std::size_t position,
                                                                      const TextChunks& chunks,
                                                                      NodeId& cut_tail) {
  if (subtree == kNil) return {kNil, kNil};
  const std::size_t left_length = nodes_[nodes_[subtree].left].length;
  if (position <= left_length) {
    const auto [first, rest] = SplitNodes(nodes_[subtree].left, position, chunks, cut_tail);
    nodes_[subtree].left = rest;
    Update(subtree);
    return {first, subtree};
  }
  const std::size_t piece_end = left_length + nodes_[subtree].piece.length;
  if (position >= piece_end) {
    const auto [first, rest] =
        SplitNodes(nodes_[subtree].right, position - piece_end, chunks, cut_tail);
    nodes_[subtree].right = first;
    Update(subtree);
    return {subtree, rest};
  }
  // The cut falls inside this node's piece: it keeps the head, a new node takes the tail.
  const std::size_t offset = position - left_length;
  const Piece whole = nodes_[subtree].piece;
  cut_tail = MakeNode(chunks.Cut(whole, offset, whole.length - offset));
  nodes_[subtree].piece = chunks.Cut(whole, 0, offset);
  const NodeId right = nodes_[subtree].right;
  nodes_[subtree].right = kNil;
  Update(subtree);
  return {subtree, right};
}

bool PieceTree::ExtendLast(NodeId subtree, std::u16string_view text, TextChunks& chunks) {
  if (subtree == kNil) return false;
  std::vector<NodeId> spine;
  for (NodeId id = subtree; id != kNil; id = nodes_[id].right) spine.push_back(id);
  Piece grown = nodes_[spine.back()].piece;
  if (!chunks.Extend(grown, text)) return false;
  nodes_[spine.back()].piece = grown;
  for (auto it = spine.rbegin(); it != spine.rend(); ++it) Update(*it);
  return true;
}

PieceTree::Location PieceTree::Locate(NodeId subtree, std::size_t position) const {
  assert(position < nodes_[subtree].length);
  NodeId id = subtree;
  for (;;) {
    const Node& node = nodes_[id];
    const std::size_t left_length = nodes_[node.left].length;
    if (position < left_length) {
      id = node.left;
      continue;
    }
    position -= left_length;
    if (position < node.piece.length) return {&node.piece, position};
    position -= node.piece.length;
    id = node.right;
  }
}

std::size_t PieceTree::NthStart(NodeId subtree, std::size_t n, const TextChunks& chunks) const {
  assert(n >= 1 && n <= nodes_[subtree].starts);
  std::size_t base = 0;
  NodeId id = subtree;
  for (;;) {
    const Node& node = nodes_[id];
    const Node& left = nodes_[node.left];
    if (node.left != kNil) {
      if (n <= left.starts) {
        id = node.left;
        continue;
      }
      n -= left.starts;
      if (StartsLineBetween(left.edges, node.piece.edges)) {
        if (n == 1) return base + left.length;
        --n;
      }
    }
    base += left.length;
    const Piece& piece = node.piece;
    if (n <= piece.inner_starts) {
      return base + (chunks.Starts(piece.chunk)[piece.first_start + n - 1] - piece.start);
    }
    n -= piece.inner_starts;
    base += piece.length;
    assert(node.right != kNil);
    if (StartsLineBetween(piece.edges, nodes_[node.right].edges)) {
      if (n == 1) return base;
      --n;
    }
    id = node.right;
  }
}

std::size_t PieceTree::StartsThrough(NodeId subtree, std::size_t position,
                                     const TextChunks& chunks) const {
  assert(position < nodes_[subtree].length);
  std::size_t count = 0;
  NodeId id = subtree;
  for (;;) {
    const Node& node = nodes_[id];
    const Node& left = nodes_[node.left];
    if (position < left.length) {
      id = node.left;
      continue;
    }
    if (node.left != kNil) {
      count += left.starts + (StartsLineBetween(left.edges, node.piece.edges) ? 1 : 0);
    }
    position -= left.length;
    const Piece& piece = node.piece;
    if (position < piece.length) {
      return count + chunks.Starts(piece.chunk).UpperBound(piece.start + position) -
             piece.first_start;
    }
    position -= piece.length;
    assert(node.right != kNil);
    count += piece.inner_starts;
    if (StartsLineBetween(piece.edges, nodes_[node.right].edges)) ++count;
    id = node.right;
  }
}

std::size_t PieceTree::MemoryBytes() const {
  return nodes_.capacity() * sizeof(Node) + free_.capacity() * sizeof(NodeId);
}

std::optional<std::string> PieceTree::CheckInvariants(std::span<const NodeId> roots,
                                                      const TextChunks& chunks) const {
  const Node& nil = nodes_[kNil];
  if (nil.left != kNil || nil.right != kNil || nil.length != 0 || nil.starts != 0 ||
      nil.edges != 0) {
    return "the empty subtree has children or sums";
  }
  const auto name = [](NodeId id) { return "node " + std::to_string(id); };
  std::vector<bool> seen(nodes_.size(), false);
  for (const NodeId id : free_) {
    if (id == kNil || id >= nodes_.size()) return "the free list holds " + name(id);
    if (seen[id]) return name(id) + " is freed twice";
    seen[id] = true;
  }
  std::vector<NodeId> pending;
  for (const NodeId root : roots) {
    if (root != kNil) pending.push_back(root);
  }
  while (!pending.empty()) {
    const NodeId id = pending.back();
    pending.pop_back();
    if (id >= nodes_.size()) return name(id) + " is outside the pool";
    if (seen[id]) return name(id) + " is in two places (trees or the free list)";
    seen[id] = true;
    const Node& node = nodes_[id];
    for (const NodeId child : {node.left, node.right}) {
      if (child == kNil) continue;
      if (child >= nodes_.size()) return name(id) + " has a child outside the pool";
      if (nodes_[child].priority > node.priority) {
        return name(id) + " has a child of higher priority: the treap is out of order";
      }
      pending.push_back(child);
    }
    const Sums sums = SumsOf(node);
    if (sums.length != node.length || sums.starts != node.starts || sums.edges != node.edges) {
      return name(id) + " holds stale sums: length " + std::to_string(node.length) +
             " instead of " + std::to_string(sums.length) + ", line starts " +
             std::to_string(node.starts) + " instead of " + std::to_string(sums.starts);
    }
    if (const std::optional<std::string> problem = chunks.CheckPiece(node.piece)) {
      return name(id) + ": " + *problem;
    }
  }
  for (NodeId id = 1; id < nodes_.size(); ++id) {
    if (!seen[id]) return name(id) + " is lost: in no tree and not free";
  }
  return std::nullopt;
}

}  // namespace tambrel::text
