#include "framework/au/detail/ConnectionGraph.h"

#include <map>
#include <mutex>
#include <utility>
#include <vector>

namespace {
struct Graph {
  std::mutex mutex;
  std::map<std::pair<AudioUnit, UInt32>, AudioUnit> upstreamOf;  // (unit, input) -> source
};

Graph& TheGraph() {
  static Graph& graph = *new Graph;  // outlives every static destructor
  return graph;
}

// Whether target is among the units that unit pulls from, directly or not.
bool Pulls(const Graph& graph, AudioUnit unit, AudioUnit target) {
  std::vector<AudioUnit> pending = {unit};
  std::vector<AudioUnit> seen;
  while (!pending.empty()) {
    const AudioUnit next = pending.back();
    pending.pop_back();
    if (next == target) return true;
    bool visited = false;
    for (AudioUnit s : seen)
      visited = visited || s == next;
    if (visited) continue;
    seen.push_back(next);
    for (auto it = graph.upstreamOf.lower_bound({next, 0});
         it != graph.upstreamOf.end() && it->first.first == next; ++it) {
      pending.push_back(it->second);
    }
  }
  return false;
}
}  // namespace

bool ConnectionGraph::Connect(AudioUnit downstream, UInt32 input, AudioUnit upstream) {
  Graph& graph = TheGraph();
  std::lock_guard<std::mutex> lock(graph.mutex);
  const auto key = std::make_pair(downstream, input);
  const auto previous = graph.upstreamOf.find(key);
  // The input's old source no longer counts: it is being replaced.
  AudioUnit replaced = nullptr;
  if (previous != graph.upstreamOf.end()) {
    replaced = previous->second;
    graph.upstreamOf.erase(previous);
  }
  if (Pulls(graph, upstream, downstream)) {
    if (replaced) graph.upstreamOf[key] = replaced;
    return false;
  }
  graph.upstreamOf[key] = upstream;
  return true;
}

void ConnectionGraph::Disconnect(AudioUnit downstream, UInt32 input) {
  Graph& graph = TheGraph();
  std::lock_guard<std::mutex> lock(graph.mutex);
  graph.upstreamOf.erase({downstream, input});
}

void ConnectionGraph::Forget(AudioUnit unit) {
  Graph& graph = TheGraph();
  std::lock_guard<std::mutex> lock(graph.mutex);
  for (auto it = graph.upstreamOf.begin(); it != graph.upstreamOf.end();) {
    it = it->first.first == unit || it->second == unit ? graph.upstreamOf.erase(it) : std::next(it);
  }
}
