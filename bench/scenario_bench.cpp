// Benchmarks of the compile: the two readers, the plan of the line, the cell pass, the
// three binary writers and the whole compile, on the built-in scenario and on a line of
// 1,000,000 m curved along its whole length.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include "compiler/binary_files.h"
#include "compiler/cell_pass.h"
#include "compiler/compile.h"
#include "io/file_names.h"
#include "io/file_system.h"
#include "line_data_bytes.h"
#include "memory_file_system.h"
#include "model/form1.h"
#include "readers/reader_support.h"
#include "readers/route_reader.h"
#include "readers/train_reader.h"
#include "scenario/scenario_texts.h"
#include "scenario/text_file.h"

namespace sb {
namespace {

constexpr char kDir[] = "/scn";

std::string BuiltInRoute() { return RenderLines(LineTable(RouteTextLines())); }
std::string BuiltInTrain() { return RenderLines(LineTable(TrainTextLines())); }

// A route of 1,000,000 m with curves of classes 1 to 3, alternately left and right, one
// after the other from metre 0 to metre 999,999 (the last metre a curve may bend).
std::string LongRoute() {
  std::string s =
      "[generale]\r\n"
      "lunghezza percorso,    1000000\r\n"
      "progressiva chilometrica uno,    0,    0,    0\r\n"
      "progressiva chilometrica due,    0,    0,    0\r\n"
      "progressiva chilometrica tre,    0,    0,    0\r\n"
      "sfondo uno,    1\r\nsfondo due,    0\r\nsfondo tre,    0\r\n"
      "ripetizione segnali 9 codici,    1500,    360000\r\n"
      "[curve]\r\n";
  const char* const keys[] = {"curvas1", "curvad2", "curvas3", "curvad1", "curvas2", "curvad3"};
  constexpr int kLength = 2000;
  for (int k = 0; k * kLength < 1000000; ++k) {
    int start = k * kLength;
    int length = start + kLength > 999999 ? 999999 - start : kLength;
    s += std::string(keys[k % 6]) + ",  " + std::to_string(start) + ",  " +
         std::to_string(length) + "\r\n";
  }
  s += "[pendenze]\r\npendenza,   0,    0\r\npendenza,  500000,   2\r\n[fine]\r\n";
  return s;
}

// A small train for the long route: two stations, speed and adhesion.
std::string LongTrain() {
  return "[generale]\r\n"
         "numero vetture,    10\r\n"
         "[aderenze]\r\naderenza,   0,    100\r\n"
         "[vel_limite]\r\nvelocita,   0,    30\r\nvelocita,    2000,   160\r\n"
         "[stazioni]\r\n"
         "stazione,       0,  8, 1000,  0, 0, 0,  1,1,0,  4,1,1,    1,   9,12,40, PARTENZA\r\n"
         "stazione,  999000,  6, 2200,  0, 0, 0,  1,1,0,  2,1,1,    0,  12, 0, 0, ARRIVO\r\n"
         "[fine]\r\n";
}

// An in-memory folder that reads like any other but drops the files written to it, so
// that a compile is timed without the cost of keeping its output in memory.
class DiscardingFolder : public MemoryFileSystem {
 public:
  bool ReplaceFiles(const std::vector<FileToWrite>& files, ReplaceError*) override {
    for (const FileToWrite& f : files)
      f.produce([&](std::string_view piece) { written += piece.size(); });
    return true;
  }
  size_t written = 0;
};

// A Form1 on an in-memory folder holding the two source texts, which the readers keep.
struct MemoryScenario {
  DiscardingFolder fs;
  Form1 form;

  MemoryScenario(const std::string& route, const std::string& train) {
    form.run.fs = &fs;
    form.run.folder = kDir;
    form.ScenarioName = "Torbena-Sarvico-Zeva";
    form.TrainNumber = "47302";
    form.run.deleteSources = false;
    fs.files()[ScenarioFilePath(form, ScenarioFile::kRouteSource)] = route;
    fs.files()[ScenarioFilePath(form, ScenarioFile::kTrainSource)] = train;
  }

  // The route half only, prepared as memorizza_percorso prepares it.
  ReaderContext ReadRoute(int32_t line_data_flag) {
    form.LineDataFlag = line_data_flag;
    form.ErrorCode = 0;
    form.run.diag.Clear();
    for (StationRecord& r : form.StationTable) r = StationRecord();
    ReaderContext ctx;
    if (!ReadRouteText(form, ctx) || form.ErrorCode != 0) std::abort();
    return ctx;
  }
};

void RouteReader(benchmark::State& state, const std::string& route, int32_t flag) {
  MemoryScenario s(route, "");
  for (auto _ : state) {
    s.ReadRoute(flag);
    benchmark::DoNotOptimize(s.form.TrackCells.data());
  }
  state.counters["points"] = s.form.Grid.Exists() ? s.form.Grid.LastPoint() + 1 : 0;
  state.counters["cells"] = s.form.CellCount + 1;
}

void BM_RouteReader_BuiltIn(benchmark::State& state) { RouteReader(state, BuiltInRoute(), 0); }
void BM_RouteReaderWithPlan_BuiltIn(benchmark::State& state) {
  RouteReader(state, BuiltInRoute(), 1);
}
void BM_RouteReaderWithPlan_1000km(benchmark::State& state) { RouteReader(state, LongRoute(), 1); }

void BM_TrainReader_BuiltIn(benchmark::State& state) {
  MemoryScenario s(BuiltInRoute(), BuiltInTrain());
  const ReaderContext route_ctx = s.ReadRoute(0);
  const Form1 after_route = s.form;
  for (auto _ : state) {
    state.PauseTiming();
    s.form = after_route;
    state.ResumeTiming();
    ReaderContext ctx = route_ctx;
    if (!ReadTrainText(s.form, ctx) || s.form.ErrorCode != 0) std::abort();
  }
}

// Every 2,000 m: a signal, a warning point 5 cells later, a slowdown at 60 km/h from
// cell 28 to cell 38 of the block, and the next block's signal after its end.
Form1 DenseTrack() {
  Form1 f;
  f.CreateTrack(1000000);
  for (int32_t b = 30; b + 40 <= f.CellCount - 2; b += 40) {
    f.TrackCells[b].cellType = kCellSignal;
    f.TrackCells[b + 5].cellType = kCellSlowdownWarning;
    f.TrackCells[b + 5].value1 = 60;
    f.TrackCells[b + 12].cellType = kCellSignal;
    f.TrackCells[b + 20].cellType = kCellSignal;
    f.TrackCells[b + 28].cellType = kCellSlowdownStart;
    f.TrackCells[b + 28].value1 = 60;
    f.TrackCells[b + 38].cellType = kCellSlowdownEnd;
    f.TrackCells[b + 38].value1 = 60;
  }
  return f;
}

void BM_CellPass_Dense(benchmark::State& state) {
  const Form1 dense = DenseTrack();
  Form1 f;
  for (auto _ : state) {
    state.PauseTiming();
    f = dense;
    state.ResumeTiming();
    RunCellPass(f);
    benchmark::DoNotOptimize(f.TrackCells.data());
  }
  state.counters["cells"] = dense.CellCount + 1;
}

// The built-in model as the compile leaves it before writing.
const Form1& CompiledBuiltIn() {
  static MemoryScenario s(BuiltInRoute(), BuiltInTrain());
  static const bool compiled = [] {
    int32_t j = 1;
    memorizza_percorso(s.form, j, BinaryFiles::kNone);
    return true;
  }();
  (void)compiled;
  return s.form;
}

void BM_LineData_BuiltIn(benchmark::State& state) {
  const Form1& f = CompiledBuiltIn();
  size_t bytes = 0;
  for (auto _ : state) {
    std::string out = testing::LineDataBytes(f.Grid);
    bytes = out.size();
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

void BM_TrainSettings_BuiltIn(benchmark::State& state) {
  const Form1& f = CompiledBuiltIn();
  const std::string path = ScenarioFilePath(f, ScenarioFile::kTrainSettings);
  for (auto _ : state) {
    std::string out = EncodeTrainSettings(f, path);
    benchmark::DoNotOptimize(out.data());
  }
}

void BM_Track_BuiltIn(benchmark::State& state) {
  const Form1& f = CompiledBuiltIn();
  for (auto _ : state) {
    std::string out = EncodeTrack(f);
    benchmark::DoNotOptimize(out.data());
  }
}

// The whole compile: readers, pass, codes and the bytes of the three files, which the
// folder drops.
void CompileInMemory(benchmark::State& state, const std::string& route, const std::string& train) {
  MemoryScenario s(route, train);
  for (auto _ : state) {
    int32_t j = 1;
    memorizza_percorso(s.form, j);
    if (s.form.ErrorCode != 0) std::abort();
  }
  state.SetBytesProcessed(static_cast<int64_t>(s.fs.written));
}

void BM_Compile_BuiltIn(benchmark::State& state) {
  CompileInMemory(state, BuiltInRoute(), BuiltInTrain());
}
void BM_Compile_1000km(benchmark::State& state) { CompileInMemory(state, LongRoute(), LongTrain()); }

// The same compile in a real temporary folder: the files are read from and written to disk.
void BM_Compile_1000km_Disk(benchmark::State& state) {
  char dir[] = "/tmp/sb-bench-XXXXXX";
  if (!::mkdtemp(dir)) std::abort();
  std::unique_ptr<FileSystem> fs = MakeRealFileSystem();
  Form1 form;
  form.run.fs = fs.get();
  form.run.folder = dir;
  form.ScenarioName = "Torbena-Sarvico-Zeva";
  form.TrainNumber = "47302";
  form.run.deleteSources = false;
  std::string err;
  if (!fs->ReplaceFile(ScenarioFilePath(form, ScenarioFile::kRouteSource), LongRoute(), &err) ||
      !fs->ReplaceFile(ScenarioFilePath(form, ScenarioFile::kTrainSource), LongTrain(), &err))
    std::abort();
  for (auto _ : state) {
    int32_t j = 1;
    memorizza_percorso(form, j);
    if (form.ErrorCode != 0) std::abort();
  }
  for (ScenarioFile f : {ScenarioFile::kRouteSource, ScenarioFile::kTrainSource,
                         ScenarioFile::kLineData, ScenarioFile::kTrainSettings, ScenarioFile::kTrack})
    std::remove(ScenarioFilePath(form, f).c_str());
  ::rmdir(dir);
}

BENCHMARK(BM_RouteReader_BuiltIn)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RouteReaderWithPlan_BuiltIn)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RouteReaderWithPlan_1000km)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TrainReader_BuiltIn)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CellPass_Dense)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LineData_BuiltIn)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TrainSettings_BuiltIn)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Track_BuiltIn)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Compile_BuiltIn)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Compile_1000km)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Compile_1000km_Disk)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace sb

BENCHMARK_MAIN();
