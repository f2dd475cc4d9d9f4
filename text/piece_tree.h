#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "text/piece.h"
#include "text/text_chunks.h"

namespace tambrel::text {

// The pieces of a document in order, as a treap whose nodes add up the length and line starts of
// their subtrees, so that a position or a line is found in O(log pieces) and a range is cut out or
// put back whole. Subtrees cut out stay in the pool, detached, for as long as the undo history
// holds them. Node handles are indices, so the pool moves with its owner.
class PieceTree {
 public:
  using NodeId = std::uint32_t;
  static constexpr NodeId kNil = 0;

  PieceTree();

  NodeId MakeNode(const Piece& piece);
  // Returns every node of a detached subtree to the pool.
  void Free(NodeId subtree);

  std::size_t Length(NodeId subtree) const { return nodes_[subtree].length; }
  // Line starts strictly inside the subtree's text; those at its ends depend on its neighbours.
  std::size_t InnerStarts(NodeId subtree) const { return nodes_[subtree].starts; }
  std::uint8_t Edges(NodeId subtree) const { return nodes_[subtree].edges; }

  NodeId Merge(NodeId left, NodeId right);
  // Splits into the first `position` units and the rest, cutting a piece in two when needed.
  std::pair<NodeId, NodeId> Split(NodeId subtree, std::size_t position, const TextChunks& chunks);
  // Grows the last piece of a subtree by `text` when storage allows it (see TextChunks::Extend).
  bool ExtendLast(NodeId subtree, std::u16string_view text, TextChunks& chunks);

  struct Location {
    const Piece* piece;
    std::size_t offset;  // within the piece
  };
  // The piece that holds the unit at `position` < Length(subtree).
  Location Locate(NodeId subtree, std::size_t position) const;
  // Where the n-th inner line start lies, 1 <= n <= InnerStarts(subtree).
  std::size_t NthStart(NodeId subtree, std::size_t n, const TextChunks& chunks) const;
  // How many inner line starts lie at or before `position` < Length(subtree).
  std::size_t StartsThrough(NodeId subtree, std::size_t position, const TextChunks& chunks) const;

  std::size_t MemoryBytes() const;

  // The first way the pool breaks what the tree promises, or nothing. `roots` are every subtree
  // in use (the document and those the undo history keeps): each node must be in one of them or
  // free, once; every subtree must keep its nodes in heap order of priority and hold the sums of
  // its pieces; every piece must be sound in `chunks`. Visits every node: for tests.
  std::optional<std::string> CheckInvariants(std::span<const NodeId> roots,
                                             const TextChunks& chunks) const;

 private:
  struct Node {
    Piece piece;
    NodeId left = kNil;
    NodeId right = kNil;
    std::uint32_t priority = 0;
    std::uint8_t edges = 0;  // of the subtree's first and last units
    std::size_t length = 0;
    std::size_t starts = 0;
  };

  // What a node's subtree adds up to, from its piece and its children's sums.
  struct Sums {
    std::size_t length = 0;
    std::size_t starts = 0;
    std::uint8_t edges = 0;
  };
  Sums SumsOf(const Node& node) const;
  void Update(NodeId node);
  std::uint32_t NextPriority();
  // Split, except that the tail of a piece cut in two is handed back in `cut_tail` rather than
  // put into the second part.
  std::pair<NodeId, NodeId> SplitNodes(NodeId subtree, std::size_t position,
                                       const TextChunks& chunks, NodeId& cut_tail);

  // Node 0 is the empty subtree: all its sums are zero.
  std::vector<Node> nodes_;
  std::vector<NodeId> free_;
  std::uint64_t random_state_ = 0x9E3779B97F4A7C15u;
};

}  // namespace tambrel::text
