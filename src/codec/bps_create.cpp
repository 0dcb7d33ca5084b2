// The BPS creator: which actions describe the target in the fewest bytes.
//
// An import leaves most of the image where it was (SourceRead), moves maps
// and tables to the new level directory (SourceCopy from anywhere in the
// source), pads with one byte (TargetCopy at distance 1) and writes a few
// truly new bytes (TargetRead). The cost of an action is exact and small:
// the action number (1 byte up to 32 bytes of length, 2 up to 4128) plus,
// for a copy, the cursor move (1 byte when the copy goes on where the last
// one of its kind ended or nearly so, up to 4 bytes across megabytes).
// Greedy longest-match choices waste those bytes: a slightly shorter copy
// next to the cursor, or a SourceRead that needs no cursor at all, is often
// cheaper. So, as in zstd's and lzma's optimal parsers, each stretch of the
// target is parsed by a shortest-path search over byte positions: every
// position knows the cheapest way found to reach it and the cursors that
// way leaves; from each position the candidates are
//   - the SourceRead at the same offset,
//   - the copies that continue at either cursor (a cursor move of 0),
//   - the run of the previous byte (TargetCopy at distance 1),
//   - the longest copy in each cost class of cursor move, found through
//     hash chains over the source and the target (keyed by 4 bytes, or 8
//     when the 4 are a run: see chain_key),
//   - one more literal byte (TargetRead).
// A match of kLongEnough bytes ends the search at once: past that length
// the few bytes a better choice might save do not pay for the search, and
// it keeps the unchanged megabytes of an image linear and fast. Between
// equally cheap ways the literal wins: its run stays open, so the next
// literal byte costs one byte instead of two. What one way per position
// cannot see, absorb_short_matches mends afterwards.
#include <algorithm>
#include <cstring>
#include <memory>

#include "codec/bps.h"
#include "codec/bps_number.h"
#include "common/bytes.h"

namespace gorv {

namespace {

using ByteSpan = std::span<const std::uint8_t>;

constexpr unsigned kMaxHashBits = 18;            // a table of 1 MiB for images of megabytes
constexpr std::uint32_t kHashedLength = 4;       // bytes a hash chain entry stands for
constexpr unsigned kChainDepth = 64;             // candidates looked at per position and side
constexpr std::uint32_t kLongEnough = 512;       // a match this long is taken at once
constexpr std::uint32_t kSearchSpan = 4096;      // positions of one shortest-path search
constexpr std::uint32_t kTargetIndexGap = 1024;  // a longer jump indexes only its last bytes
constexpr std::uint32_t kTargetIndexTail = 64;
constexpr std::uint32_t kUnreached = UINT32_MAX;
constexpr unsigned kMoveClasses = 6;  // cursor moves of 1 to 5 bytes (index 0 unused)

// About one table entry per position up to kMaxHashBits: small inputs get
// a small table, which keeps a round trip of a few bytes cheap.
unsigned hash_bits(std::size_t positions) {
  unsigned bits = 8;
  while (bits < kMaxHashBits && (std::size_t{1} << bits) < positions) ++bits;
  return bits;
}

// The chain key of the bytes at `p`, of which `rest` remain (at least
// kHashedLength): the hash of 4 bytes, or of 8 when the first 4 are one
// byte repeated. Zeros and padding fill the image; keyed by 4 bytes they
// would make one chain longer than any search can walk, and a match of 30
// bytes that happens to start with four zeros would stay unseen.
std::uint32_t chain_key(const std::uint8_t* p, std::size_t rest, unsigned bits) {
  std::uint32_t low;
  std::memcpy(&low, p, 4);
  std::uint64_t v = low;
  if (rest >= 8 && low == p[0] * 0x01010101u) std::memcpy(&v, p, 8);
  return static_cast<std::uint32_t>((v * 0x9E3779B97F4A7C15u) >> (64 - bits));
}

// The length of the common prefix of a and b, at most `limit`.
std::uint32_t common_length(const std::uint8_t* a, const std::uint8_t* b, std::uint64_t limit) {
  return static_cast<std::uint32_t>(
      common_prefix(a, b, static_cast<std::size_t>(std::min<std::uint64_t>(limit, UINT32_MAX))));
}

// Hash chains: the newest position of each hash, and for every position the
// one before it with the same hash.
struct Chains {
  unsigned bits;
  std::vector<std::int32_t> head;
  std::unique_ptr<std::int32_t[]> prev;  // only entries of inserted positions are read

  explicit Chains(std::size_t size)
      : bits(hash_bits(size)),
        head(std::size_t{1} << bits, -1),
        prev(new std::int32_t[std::max<std::size_t>(size, 1)]) {}

  void insert(ByteSpan data, std::uint32_t pos) {
    if (data.size() - pos < kHashedLength) return;
    const std::uint32_t h = chain_key(data.data() + pos, data.size() - pos, bits);
    prev[pos] = head[h];
    head[h] = static_cast<std::int32_t>(pos);
  }
};

// Where the copy cursors are after some actions, and how many TargetRead
// bytes end there (the next literal byte may need no new action).
struct Cursors {
  std::int64_t source = 0;
  std::int64_t target = 0;
  std::uint32_t literals = 0;
};

struct Candidate {
  BpsActionKind kind;
  std::uint32_t from;
  std::uint32_t length;
  std::uint32_t extra;  // bytes after the action number: the cursor move
};

unsigned action_size(std::uint32_t length) {
  return bps_number_size(bps_action_number(length, 0));
}

unsigned literal_cost(std::uint32_t literals_before) {
  return 1 + (literals_before == 0
                  ? action_size(1)
                  : action_size(literals_before + 1) - action_size(literals_before));
}

Cursors after(Cursors cursors, BpsActionKind kind, std::uint32_t from, std::uint32_t length) {
  switch (kind) {
    case BpsActionKind::target_read:
      cursors.literals += length;
      return cursors;
    case BpsActionKind::source_read:
      break;
    case BpsActionKind::source_copy:
      cursors.source = std::int64_t{from} + length;
      break;
    case BpsActionKind::target_copy:
      cursors.target = std::int64_t{from} + length;
      break;
  }
  cursors.literals = 0;
  return cursors;
}

struct Finder {
  ByteSpan source;
  ByteSpan target;
  Chains source_chains;
  Chains target_chains;
  std::uint32_t target_indexed = 0;  // target positions below this are indexed or skipped

  Finder(ByteSpan source_in, ByteSpan target_in)
      : source(source_in),
        target(target_in),
        source_chains(source.size()),
        target_chains(target.size()) {
    for (std::uint32_t pos = 0; pos < source.size(); ++pos) source_chains.insert(source, pos);
  }

  // Makes the target positions before `pos` findable. After a long jump
  // only its last bytes are: what lies further back is mostly in the source
  // too, and indexing every padding byte would cost more than it finds.
  void index_target_before(std::uint32_t pos) {
    if (pos - target_indexed > kTargetIndexGap) target_indexed = pos - kTargetIndexTail;
    for (; target_indexed < pos; ++target_indexed) target_chains.insert(target, target_indexed);
  }

  // The longest match in each class of cursor-move cost along one chain.
  void search_chain(const Chains& chains, ByteSpan data, std::uint32_t pos, std::int64_t cursor,
                    BpsActionKind kind, std::vector<Candidate>& out) const {
    Candidate best[kMoveClasses] = {};
    const std::uint8_t* here = target.data() + pos;
    const std::uint32_t rest = static_cast<std::uint32_t>(target.size() - pos);
    unsigned depth = 0;
    for (std::int32_t c = chains.head[chain_key(here, rest, chains.bits)];
         c >= 0 && depth < kChainDepth; c = chains.prev[c], ++depth) {
      const auto from = static_cast<std::uint32_t>(c);
      if (kind == BpsActionKind::target_copy && from >= pos) continue;
      const std::uint32_t length = common_length(here, data.data() + from,
                                                 std::min<std::uint64_t>(rest, data.size() - from));
      if (length < kHashedLength) continue;
      const unsigned cls =
          std::min(bps_number_size(bps_cursor_move(cursor, from)), kMoveClasses - 1);
      if (length > best[cls].length) best[cls] = {kind, from, length, cls};
    }
    for (unsigned cls = 1; cls < kMoveClasses; ++cls)
      if (best[cls].length > 0) out.push_back(best[cls]);
  }

  // Every candidate at `pos` for the cursors `at`, cheapest kinds first.
  void find(std::uint32_t pos, const Cursors& at, std::vector<Candidate>& out) {
    out.clear();
    const std::uint8_t* here = target.data() + pos;
    const std::uint64_t rest = target.size() - pos;
    const auto add = [&](BpsActionKind kind, std::uint32_t from, std::uint32_t length,
                         std::uint32_t extra) {
      if (length > 0) out.push_back({kind, from, length, extra});
    };
    if (pos < source.size())
      add(BpsActionKind::source_read, pos,
          common_length(here, source.data() + pos, std::min(rest, source.size() - pos)), 0);
    if (at.source >= 0 && static_cast<std::uint64_t>(at.source) < source.size()) {
      const auto from = static_cast<std::uint32_t>(at.source);
      add(BpsActionKind::source_copy, from,
          common_length(here, source.data() + from, std::min(rest, source.size() - from)), 1);
    }
    if (at.target >= 0 && at.target < pos) {
      const auto from = static_cast<std::uint32_t>(at.target);
      add(BpsActionKind::target_copy, from, common_length(here, target.data() + from, rest), 1);
    }
    if (pos > 0 && at.target != pos - 1)
      add(BpsActionKind::target_copy, pos - 1, common_length(here, here - 1, rest),
          bps_number_size(bps_cursor_move(at.target, pos - 1)));
    if (rest < kHashedLength) return;
    search_chain(source_chains, source, pos, at.source, BpsActionKind::source_copy, out);
    index_target_before(pos);
    search_chain(target_chains, target, pos, at.target, BpsActionKind::target_copy, out);
  }
};

// Appends an action, joining it to the last one when the two are one action.
void emit(std::vector<BpsAction>& actions, BpsActionKind kind, std::uint32_t from,
          std::uint32_t length) {
  if (!actions.empty()) {
    BpsAction& last = actions.back();
    if (last.kind == kind && (!is_copy(kind) || last.from + last.length == from)) {
      last.length += length;
      return;
    }
  }
  actions.push_back({kind, length, from});
}

struct Node {
  std::uint32_t cost = kUnreached;  // bytes from the start of the search
  Cursors cursors;
  // The action that reaches this node; a literal is a TargetRead of 1.
  BpsActionKind kind = BpsActionKind::target_read;
  std::uint32_t from = 0;
  std::uint32_t length = 0;
};

Candidate longest(const std::vector<Candidate>& candidates) {
  Candidate best = candidates.front();
  for (const Candidate& c : candidates)
    if (c.length > best.length || (c.length == best.length && c.extra < best.extra)) best = c;
  return best;
}

struct Parser {
  Finder finder;
  std::vector<BpsAction> actions;
  std::vector<Node> nodes;
  std::vector<Candidate> candidates;
  std::vector<std::uint32_t> order;
  std::vector<std::uint32_t> path;

  Parser(ByteSpan source, ByteSpan target)
      : finder(source, target),
        nodes(std::min<std::size_t>(kSearchSpan + kLongEnough, target.size()) + 1) {}

  // Offers every length of the candidates from node `cur`: for each length
  // the cheapest candidate that reaches it.
  void relax(std::uint32_t cur, std::uint32_t& last) {
    order.resize(candidates.size());
    for (std::uint32_t k = 0; k < order.size(); ++k) order[k] = k;
    std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
      return candidates[a].length > candidates[b].length;
    });
    const std::uint32_t reach = candidates[order.front()].length;
    for (; last < cur + reach;) nodes[++last].cost = kUnreached;
    const Node& base = nodes[cur];
    std::size_t next = 0;
    std::uint32_t pick = 0;  // among equally cheap ones, the earliest in `candidates`
    for (std::uint32_t length = reach; length >= 1; --length) {
      for (; next < order.size() && candidates[order[next]].length >= length; ++next) {
        const std::uint32_t k = order[next];
        if (next == 0 || candidates[k].extra < candidates[pick].extra ||
            (candidates[k].extra == candidates[pick].extra && k < pick))
          pick = k;
      }
      const Candidate* best = &candidates[pick];
      const std::uint32_t cost = base.cost + action_size(length) + best->extra;
      Node& node = nodes[cur + length];
      if (cost < node.cost) {
        node.cost = cost;
        node.cursors = after(base.cursors, best->kind, best->from, length);
        node.kind = best->kind;
        node.from = best->from;
        node.length = length;
      }
    }
  }

  void take(Cursors& cursors, std::uint32_t& pos, const Candidate& c) {
    emit(actions, c.kind, c.from, c.length);
    cursors = after(cursors, c.kind, c.from, c.length);
    pos += c.length;
  }

  std::vector<BpsAction> run() {
    const auto size = static_cast<std::uint32_t>(finder.target.size());
    Cursors cursors;
    std::uint32_t pos = 0;
    while (pos < size) {
      finder.find(pos, cursors, candidates);
      if (candidates.empty()) {
        take(cursors, pos, {BpsActionKind::target_read, pos, 1, 0});
        continue;
      }
      if (const Candidate best = longest(candidates); best.length >= kLongEnough) {
        take(cursors, pos, best);
        continue;
      }
      nodes[0].cost = 0;
      nodes[0].cursors = cursors;
      std::uint32_t last = 0;
      relax(0, last);
      std::uint32_t end = 0;
      bool forced = false;  // the search ends with a long match from `end`
      Candidate forced_match{};
      for (std::uint32_t cur = 1; cur <= last; ++cur) {
        const Node& before = nodes[cur - 1];
        const std::uint32_t literal = before.cost + literal_cost(before.cursors.literals);
        if (literal <= nodes[cur].cost) {
          nodes[cur].cost = literal;
          nodes[cur].cursors = after(before.cursors, BpsActionKind::target_read, 0, 1);
          nodes[cur].kind = BpsActionKind::target_read;
          nodes[cur].from = 0;
          nodes[cur].length = 1;
        }
        end = cur;
        if (cur == last) break;
        finder.find(pos + cur, nodes[cur].cursors, candidates);
        if (candidates.empty()) continue;
        if (const Candidate best = longest(candidates);
            best.length >= kLongEnough || cur + best.length > kSearchSpan) {
          forced = true;
          forced_match = best;
          break;
        }
        relax(cur, last);
      }
      // The path back from the end, then its actions in order.
      path.clear();
      for (std::uint32_t at = end; at > 0; at -= nodes[at].length) path.push_back(at);
      for (auto it = path.rbegin(); it != path.rend(); ++it) {
        const Node& node = nodes[*it];
        emit(actions, node.kind, node.from, node.length);
      }
      cursors = nodes[end].cursors;
      pos += end;
      if (forced) take(cursors, pos, forced_match);
    }
    return std::move(actions);
  }
};

}  // namespace

namespace {

std::uint32_t literal_size(std::uint64_t length) {
  return length == 0
             ? 0
             : action_size(static_cast<std::uint32_t>(length)) + static_cast<std::uint32_t>(length);
}

// The search keeps one way to reach each position, so it cannot see that a
// short match between two literal runs, cheaper than its bytes where it
// stands, makes the second run pay a header of its own: TargetRead 190,
// SourceRead 2, TargetRead 177 is one byte more than TargetRead 369. This
// pass turns such matches into literals wherever the patch gets smaller,
// counting what removing a copy does to the cursor move of the next copy of
// its kind.
std::vector<BpsAction> absorb_short_matches(const std::vector<BpsAction>& actions) {
  constexpr std::uint32_t kShort = 64;  // a longer match never pays for two headers
  // For every action, the index of the next copy of each kind after it.
  std::vector<std::size_t> next_source(actions.size() + 1, actions.size());
  std::vector<std::size_t> next_target(actions.size() + 1, actions.size());
  for (std::size_t i = actions.size(); i-- > 0;) {
    next_source[i] = next_source[i + 1];
    next_target[i] = next_target[i + 1];
    if (i + 1 < actions.size() && actions[i + 1].kind == BpsActionKind::source_copy)
      next_source[i] = i + 1;
    if (i + 1 < actions.size() && actions[i + 1].kind == BpsActionKind::target_copy)
      next_target[i] = i + 1;
  }
  std::vector<BpsAction> out;
  std::int64_t source_cursor = 0;
  std::int64_t target_cursor = 0;
  for (std::size_t i = 0; i < actions.size(); ++i) {
    const BpsAction& x = actions[i];
    const bool copy = is_copy(x.kind);
    std::int64_t& cursor = x.kind == BpsActionKind::source_copy ? source_cursor : target_cursor;
    if (x.kind != BpsActionKind::target_read && x.length <= kShort) {
      const std::uint64_t before =
          !out.empty() && out.back().kind == BpsActionKind::target_read ? out.back().length : 0;
      const std::uint64_t after =
          i + 1 < actions.size() && actions[i + 1].kind == BpsActionKind::target_read
              ? actions[i + 1].length
              : 0;
      std::int64_t kept = literal_size(before) + action_size(x.length) + literal_size(after);
      std::int64_t merged = literal_size(before + x.length + after);
      if (copy) {
        kept += bps_number_size(bps_cursor_move(cursor, x.from));
        const std::size_t next =
            x.kind == BpsActionKind::source_copy ? next_source[i] : next_target[i];
        if (next < actions.size()) {
          kept +=
              bps_number_size(bps_cursor_move(std::int64_t{x.from} + x.length, actions[next].from));
          merged += bps_number_size(bps_cursor_move(cursor, actions[next].from));
        }
      }
      if ((before > 0 || after > 0) && merged < kept) {
        emit(out, BpsActionKind::target_read, 0, x.length);
        continue;
      }
    }
    if (copy) cursor = std::int64_t{x.from} + x.length;
    emit(out, x.kind, x.from, x.length);
  }
  return out;
}

}  // namespace

std::vector<BpsAction> bps_plan(ByteSpan source, ByteSpan target) {
  Parser parser(source, target);
  return absorb_short_matches(parser.run());
}

BpsCreateResult bps_create(ByteSpan source, ByteSpan target) {
  BpsCreateResult result;
  if (source.size() > kBpsMaxImageSize || target.size() > kBpsMaxImageSize) {
    result.error = BpsCreateError::too_large;
    return result;
  }
  const std::vector<BpsAction> actions = bps_plan(source, target);
  std::vector<std::uint8_t> patch = bps_serialize(source, target, actions);
  const BpsApplyResult check = bps_apply(patch, source);
  if (check.error != BpsError::none ||
      !std::equal(check.target.begin(), check.target.end(), target.begin(), target.end())) {
    result.error = BpsCreateError::self_check_failed;
    result.check = check.error;
    return result;
  }
  result.patch = std::move(patch);
  return result;
}

}  // namespace gorv
