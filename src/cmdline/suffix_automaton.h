// Command-line engine: substring tests on a text that only grows, backed by a suffix automaton.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvolin::cmdline::detail {

/// The suffix automaton of the bytes appended so far, built online: linear time and memory in
/// the text, and a substring test in the length of the text looked for.
class SuffixAutomaton {
 public:
  SuffixAutomaton() {
    root_edges_.fill(-1);
    states_.push_back({0, -1, -1});
  }

  void Append(std::string_view text) {
    for (const char c : text) Extend(static_cast<unsigned char>(c));
  }

  /// Whether `text` occurs in what was appended.
  bool Contains(std::string_view text) const {
    std::int32_t state = 0;
    for (const char c : text) {
      state = Next(state, static_cast<unsigned char>(c));
      if (state < 0) return false;
    }
    return true;
  }

 private:
  struct State {
    std::int32_t Length;     // longest text ending in this state
    std::int32_t Link;       // suffix link; -1 for the root
    std::int32_t FirstEdge;  // head of this state's edge list; -1 when none
  };
  // The root has an edge for nearly every byte that occurs, so it keeps a table of them; the
  // other states keep a list.
  struct Edge {
    std::int32_t Target;
    std::int32_t Next;
    unsigned char Byte;
  };

  State& StateAt(std::int32_t state) { return states_[static_cast<std::size_t>(state)]; }
  const State& StateAt(std::int32_t state) const {
    return states_[static_cast<std::size_t>(state)];
  }
  Edge& EdgeAt(std::int32_t edge) { return edges_[static_cast<std::size_t>(edge)]; }
  const Edge& EdgeAt(std::int32_t edge) const { return edges_[static_cast<std::size_t>(edge)]; }

  std::int32_t Next(std::int32_t state, unsigned char c) const {
    if (state == 0) return root_edges_[c];
    for (std::int32_t e = StateAt(state).FirstEdge; e >= 0; e = EdgeAt(e).Next) {
      if (EdgeAt(e).Byte == c) return EdgeAt(e).Target;
    }
    return -1;
  }

  void SetEdge(std::int32_t state, unsigned char c, std::int32_t target) {
    if (state == 0) {
      root_edges_[c] = target;
      return;
    }
    for (std::int32_t e = StateAt(state).FirstEdge; e >= 0; e = EdgeAt(e).Next) {
      if (EdgeAt(e).Byte == c) {
        EdgeAt(e).Target = target;
        return;
      }
    }
    edges_.push_back({target, StateAt(state).FirstEdge, c});
    StateAt(state).FirstEdge = static_cast<std::int32_t>(edges_.size() - 1);
  }

  std::int32_t NewState(std::int32_t length, std::int32_t link) {
    states_.push_back({length, link, -1});
    return static_cast<std::int32_t>(states_.size() - 1);
  }

  void Extend(unsigned char c) {
    const std::int32_t current = NewState(StateAt(last_).Length + 1, 0);
    std::int32_t p = last_;
    while (p >= 0 && Next(p, c) < 0) {
      SetEdge(p, c, current);
      p = StateAt(p).Link;
    }
    if (p >= 0) {
      const std::int32_t q = Next(p, c);
      if (StateAt(p).Length + 1 == StateAt(q).Length) {
        StateAt(current).Link = q;
      } else {
        const std::int32_t clone = NewState(StateAt(p).Length + 1, StateAt(q).Link);
        for (std::int32_t e = StateAt(q).FirstEdge; e >= 0; e = EdgeAt(e).Next) {
          const Edge edge = EdgeAt(e);
          SetEdge(clone, edge.Byte, edge.Target);
        }
        while (p >= 0 && Next(p, c) == q) {
          SetEdge(p, c, clone);
          p = StateAt(p).Link;
        }
        StateAt(q).Link = clone;
        StateAt(current).Link = clone;
      }
    }
    last_ = current;
  }

  std::vector<State> states_;
  std::vector<Edge> edges_;
  std::array<std::int32_t, 256> root_edges_{};
  std::int32_t last_ = 0;
};

/// Whether a text occurs anywhere in a text that only grows, without searching all of it each
/// time: up to a few KiB a plain search, beyond that the suffix automaton of the text, so a
/// command line of many thousand distinct arguments is validated in linear rather than
/// quadratic time. Answers exactly as a plain substring search of the whole text would.
class SubstringIndex {
 public:
  void Append(std::string_view text) {
    if (automaton_) {
      automaton_->Append(text);
      return;
    }
    text_.append(text);
    if (text_.size() <= kPlainSearchLimit) return;
    // From here on the automaton serves; it starts with everything appended so far.
    automaton_.emplace();
    automaton_->Append(text_);
    std::string().swap(text_);
  }

  bool Contains(std::string_view text) const {
    return automaton_ ? automaton_->Contains(text) : text_.find(text) != std::string::npos;
  }

 private:
#ifdef TARVOLIN_FUZZING
  static constexpr std::size_t kPlainSearchLimit = 0;  // the fuzz build checks the automaton
#else
  static constexpr std::size_t kPlainSearchLimit = 16384;
#endif

  std::string text_;                          // while plain search serves
  std::optional<SuffixAutomaton> automaton_;  // once the text outgrew it
};

}  // namespace tarvolin::cmdline::detail
