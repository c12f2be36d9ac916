// The language server on the built-in texts, in memory: the time from receiving a change of
// the train text to the diagnostics written, and the memory over many edits.
// Usage: lsp_bench [EDITS]   (default 10,000)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "authoring/json_output.h"
#include "authoring/lsp_channel.h"
#include "authoring/lsp_server.h"
#include "io/text_encoding.h"
#include "memory_file_system.h"
#include "scenario/scenario_texts.h"
#include "scenario/text_file.h"

namespace {

// Resident and peak resident memory in kB (Linux).
std::pair<long, long> Memory() {
  std::ifstream status("/proc/self/status");
  std::string key;
  long rss = 0, peak = 0;
  while (status >> key) {
    if (key == "VmRSS:") status >> rss;
    else if (key == "VmHWM:") status >> peak;
  }
  return {rss, peak};
}

double Percentile(std::vector<double> v, double p) {
  std::sort(v.begin(), v.end());
  return v[static_cast<size_t>(p * static_cast<double>(v.size() - 1))];
}

}  // namespace

int main(int argc, char** argv) {
  using sb::Json;
  const int edits = argc > 1 ? std::atoi(argv[1]) : 10000;
  sb::MemoryFileSystem fs;
  const std::string route = sb::RenderLines(sb::LineTable(sb::RouteTextLines()));
  const std::string train = sb::Cp1252ToUtf8(sb::RenderLines(sb::LineTable(sb::TrainTextLines())));
  fs.files()["/b/Torbena-Sarvico-Zeva_linea.txt"] = route;
  const std::string uri = "file:///b/Torbena-Sarvico-Zeva_47302-.txt";
  sb::MemoryChannel channel;
  sb::LanguageServer server(channel, fs, '/');
  server.Handle(R"({"jsonrpc":"2.0","id":1,"method":"initialize","params":{}})");
  server.Handle(Json{{"jsonrpc", "2.0"}, {"method", "textDocument/didOpen"},
                     {"params", {{"textDocument", {{"uri", uri}, {"languageId", "scenario"}, {"version", 1}, {"text", train}}}}}}
                    .dump());
  // The line of the signal at 8000 m; each edit types over its hundreds digit, one way and back.
  int line = 0;
  for (size_t at = 0, n = 0; at < train.size(); at = train.find('\n', at) + 1, ++n)
    if (train.compare(at, 16, "segnale,    8000") == 0) line = static_cast<int>(n);
  auto edit = [&](int version) {
    return Json{{"jsonrpc", "2.0"}, {"method", "textDocument/didChange"},
                {"params", {{"textDocument", {{"uri", uri}, {"version", version}}},
                            {"contentChanges", Json::array({{{"range", {{"start", {{"line", line}, {"character", 13}}},
                                                                       {"end", {{"line", line}, {"character", 14}}}}},
                                                             {"text", version % 2 ? "0" : "5"}}})}}}}
        .dump();
  };
  const std::string full = Json{{"jsonrpc", "2.0"}, {"method", "textDocument/didChange"},
                                {"params", {{"textDocument", {{"uri", uri}, {"version", 0}}},
                                            {"contentChanges", Json::array({{{"text", train}}})}}}}
                               .dump();
  std::vector<double> ms, full_ms;
  std::pair<long, long> at100{};
  for (int i = 0; i < edits; ++i) {
    const std::string body = i % 100 == 99 ? full : edit(i + 2);
    channel.written.clear();
    const auto t0 = std::chrono::steady_clock::now();
    server.Handle(body);
    const auto t1 = std::chrono::steady_clock::now();
    if (channel.written.size() != 1) {
      std::fprintf(stderr, "edit %d: %zu messages written\n", i, channel.written.size());
      return 1;
    }
    (i % 100 == 99 ? full_ms : ms).push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
    if (i == 99) at100 = Memory();
  }
  const auto end = Memory();
  std::printf("edits of one character: %zu, diagnostics written after median %.2f ms, p95 %.2f ms, max %.2f ms\n",
              ms.size(), Percentile(ms, 0.5), Percentile(ms, 0.95), Percentile(ms, 1.0));
  if (!full_ms.empty())
    std::printf("whole-text changes (%zu bytes): %zu, median %.2f ms, max %.2f ms\n", train.size(), full_ms.size(),
                Percentile(full_ms, 0.5), Percentile(full_ms, 1.0));
  std::printf("resident memory after 100 edits %ld kB, after %d edits %ld kB (peak %ld kB)\n", at100.first, edits,
              end.first, end.second);
  return 0;
}
