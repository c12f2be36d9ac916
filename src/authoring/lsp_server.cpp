#include "authoring/lsp_server.h"

#include <algorithm>
#include <exception>
#include <memory>
#include <stdexcept>

#include "authoring/lsp_features.h"
#include "authoring/lsp_text.h"
#include "authoring/version.h"
#include "compiler/compile.h"
#include "io/file_names.h"
#include "io/file_system.h"
#include "io/text_encoding.h"
#include "model/faults.h"
#include "model/run_errors.h"

namespace sb {
namespace {

constexpr int kSeverityError = 1;
constexpr int kSeverityWarning = 2;
constexpr int kSeverityInformation = 3;
constexpr int kSyncIncremental = 2;
constexpr char kSource[] = "scenario-builder";
// The train text a route text is checked with when no train text of its scenario is open:
// it holds nothing, so every diagnostic is the route text's own.
constexpr char kNoTrainText[] = "[generale]\r\n[fine]\r\n";
constexpr char kNoTrainNumber[] = "\x01";

// The folder on disk with the open texts laid over it: reads see the editor's texts, every
// change is refused.
class OpenTexts : public FileSystem {
 public:
  explicit OpenTexts(FileSystem& disk) : disk_(disk) {}
  std::map<std::string, std::string> texts;  // by path, Windows-1252

  bool Exists(const std::string& path) override { return texts.count(path) || disk_.Exists(path); }
  bool ReadFile(const std::string& path, std::string* contents, std::string* err) override {
    auto it = texts.find(path);
    if (it == texts.end()) return disk_.ReadFile(path, contents, err);
    *contents = it->second;
    return true;
  }
  bool ReplaceFiles(const std::vector<FileToWrite>& files, ReplaceError* error) override {
    error->path = files.empty() ? "" : files.front().path;
    error->reason = "the language server writes no file";
    return false;
  }
  bool RemoveFile(const std::string& path, std::string* err) override {
    *err = "the language server deletes no file (" + path + ")";
    return false;
  }
  bool MakeFolders(const std::string& path, std::string* err) override {
    *err = "the language server makes no folder (" + path + ")";
    return false;
  }
  std::unique_ptr<FolderLock> LockFolder(const std::string&, std::chrono::milliseconds) override {
    return std::make_unique<FolderLock>();
  }

 private:
  FileSystem& disk_;
};

std::string FileName(const std::string& path, char separator) {
  const size_t slash = path.find_last_of(separator == '/' ? "/" : "/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool EndsWith(const std::string& s, std::string_view end) {
  return s.size() >= end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
}

Json Position(int32_t line, int32_t character) { return Json{{"line", line}, {"character", character}}; }

// The range of a place: the field's columns, the whole line when no column is known, the
// start of the text when no line is.
Json RangeOf(const SourceRef& where, const std::vector<std::string_view>* lines) {
  const int32_t line = std::max(0, where.line - 1);
  if (where.line <= 0) return Json{{"start", Position(0, 0)}, {"end", Position(0, 0)}};
  if (where.column > 0) {
    const int32_t a = where.column - 1;
    return Json{{"start", Position(line, a)}, {"end", Position(line, std::max(a, where.endColumn - 1))}};
  }
  if (lines && static_cast<size_t>(line) < lines->size())
    return Json{{"start", Position(line, 0)},
                {"end", Position(line, static_cast<int32_t>((*lines)[static_cast<size_t>(line)].size()))}};
  return Json{{"start", Position(line, 0)}, {"end", Position(line + 1, 0)}};
}

// Params that do not have the members a method needs.
class BadParams : public std::runtime_error {
 public:
  explicit BadParams(const std::string& what) : std::runtime_error(what) {}
};

const Json& Member(const Json& j, const char* name) {
  if (!j.is_object() || !j.contains(name)) throw BadParams(std::string("no member '") + name + "'");
  return j.at(name);
}

std::string StringMember(const Json& j, const char* name) {
  const Json& v = Member(j, name);
  if (!v.is_string()) throw BadParams(std::string("'") + name + "' is not a string");
  return v.get<std::string>();
}

TextPosition PositionMember(const Json& j, const char* name) {
  const Json& p = Member(j, name);
  TextPosition t;
  t.line = Member(p, "line").get<int32_t>();
  t.character = Member(p, "character").get<int32_t>();
  return t;
}

// A fix's text in the line ends of the document.
std::string FixText(const std::string& cp1252, bool crlf) {
  std::string text = Cp1252ToUtf8(cp1252);
  if (!crlf) {
    for (size_t at; (at = text.find("\r\n")) != std::string::npos;) text.replace(at, 2, "\n");
  }
  return text;
}

}  // namespace

namespace {

// Whether `file_name` is a train text of `scenario` (named as the compile names it, and taken
// for one of that scenario when opened); *train is then its train number.
bool IsTrainTextOf(const std::string& file_name, const std::string& scenario, std::string* train) {
  const std::string shape = ScenarioFileName(scenario, std::string(1, '\0'), ScenarioFile::kTrainSource);
  const size_t at = shape.find('\0');
  const size_t tail = shape.size() - at - 1;
  if (file_name.size() <= at + tail || file_name.compare(0, at, shape, 0, at) != 0 ||
      file_name.compare(file_name.size() - tail, tail, shape, at + 1, tail) != 0)
    return false;
  *train = file_name.substr(at, file_name.size() - at - tail);
  std::string s, t;
  return ScenarioFileName(scenario, *train, ScenarioFile::kTrainSource) == file_name &&
         SourceKindOf(file_name, &s, &t) == SourceFile::kTrain && s == scenario && t == *train;
}

}  // namespace

SourceFile SourceKindOf(const std::string& file_name, std::string* scenario, std::string* train) {
  if (EndsWith(file_name, "_linea.txt")) {
    *scenario = file_name.substr(0, file_name.size() - 10);
    train->clear();
    return scenario->empty() ? SourceFile::kNone : SourceFile::kRoute;
  }
  if (EndsWith(file_name, "-.txt")) {
    const std::string stem = file_name.substr(0, file_name.size() - 5);
    const size_t bar = stem.rfind('_');
    if (bar == std::string::npos || bar == 0 || bar + 1 == stem.size()) return SourceFile::kNone;
    *scenario = stem.substr(0, bar);
    *train = stem.substr(bar + 1);
    return SourceFile::kTrain;
  }
  return SourceFile::kNone;
}

int LanguageServer::Run() {
  std::string body, error;
  while (!exited_) {
    const ReadOutcome r = channel_.Read(&body, &error);
    if (r == ReadOutcome::kEnd) break;
    if (r == ReadOutcome::kBadFrame) {
      Error(nullptr, kParseError, error);
      continue;
    }
    Handle(body);
  }
  return ExitStatus();
}

void LanguageServer::Handle(std::string_view body) {
  Json message = Json::parse(body, nullptr, false);
  if (message.is_discarded()) {
    Error(nullptr, kParseError, "the message is not valid JSON");
    return;
  }
  if (!message.is_object()) {
    Error(nullptr, kInvalidRequest, "a message must be a JSON object");
    return;
  }
  Json id = message.contains("id") ? message["id"] : Json();
  const bool has_id = message.contains("id");
  if (has_id && !id.is_number_integer() && !id.is_string()) {
    Error(nullptr, kInvalidRequest, "the id of a request must be a number or a string");
    return;
  }
  if (!message.contains("method")) {
    if (has_id && (message.contains("result") || message.contains("error"))) return;  // a response
    Error(has_id ? id : Json(nullptr), kInvalidRequest, "a request without a method");
    return;
  }
  if (!message["method"].is_string()) {
    Error(has_id ? id : Json(nullptr), kInvalidRequest, "the method must be a string");
    return;
  }
  const std::string method = message["method"].get<std::string>();
  const Json params = message.contains("params") ? message["params"] : Json::object();
  try {
    if (!has_id) {
      Dispatch(method, nullptr, params);
      return;
    }
    Dispatch(method, id, params);
  } catch (const BadParams& e) {
    if (has_id) Error(id, kInvalidParams, std::string("invalid params of ") + method + ": " + e.what());
  } catch (const Json::exception& e) {
    if (has_id) Error(id, kInvalidParams, std::string("invalid params of ") + method + ": " + e.what());
  } catch (const std::exception& e) {
    if (has_id) Error(id, kInternalError, std::string(method) + " failed: " + e.what());
  }
}

void LanguageServer::Dispatch(const std::string& method, const Json& id, const Json& params) {
  const bool request = !id.is_null();
  if (method == "exit") {
    exited_ = true;
    return;
  }
  if (!initialized_ && method != "initialize") {
    if (request) Error(id, kServerNotInitialized, "the server is not initialized yet");
    return;
  }
  if (shutdown_) {
    if (request) Error(id, kInvalidRequest, "the server was shut down: only 'exit' is accepted");
    return;
  }
  if (method == "initialize") {
    if (!request) return;
    if (initialized_) {
      Error(id, kInvalidRequest, "the server is initialized already");
      return;
    }
    initialized_ = true;
    Respond(id, Initialize());
    return;
  }
  if (method == "shutdown") {
    shutdown_ = true;
    if (request) Respond(id, nullptr);
    return;
  }
  if (method == "textDocument/didOpen") return Open(params);
  if (method == "textDocument/didChange") return Change(params);
  if (method == "textDocument/didClose") return Close(params);

  // Requests on an open text.
  static const char* const kTextRequests[] = {"textDocument/hover", "textDocument/completion",
                                               "textDocument/signatureHelp", "textDocument/documentSymbol",
                                               "textDocument/codeAction"};
  if (std::find_if(std::begin(kTextRequests), std::end(kTextRequests),
                   [&](const char* m) { return method == m; }) == std::end(kTextRequests)) {
    // Other notifications ("initialized", "$/cancelRequest", ...) need nothing.
    if (request) Error(id, kMethodNotFound, "the server does not handle '" + method + "'");
    return;
  }
  if (!request) return;
  const std::string uri = StringMember(Member(params, "textDocument"), "uri");
  const Document* doc = Find(uri);
  if (!doc || doc->kind == SourceFile::kNone) {
    Respond(id, method == "textDocument/documentSymbol" || method == "textDocument/codeAction" ? Json::array()
                                                                                                 : Json(nullptr));
    return;
  }
  if (method == "textDocument/codeAction") {
    Respond(id, CodeActions(params));
    return;
  }
  const std::string text = Utf8ToCp1252(doc->text);
  if (method == "textDocument/documentSymbol") {
    Respond(id, DocumentSymbols(doc->kind, text));
    return;
  }
  const TextPosition p = PositionMember(params, "position");
  if (method == "textDocument/hover") Respond(id, HoverAt(doc->kind, text, p));
  else if (method == "textDocument/completion") Respond(id, CompletionAt(doc->kind, text, p));
  else Respond(id, SignatureHelpAt(doc->kind, text, p));
}

Json LanguageServer::Initialize() {
  Json caps = {
      {"positionEncoding", "utf-16"},
      {"textDocumentSync", {{"openClose", true}, {"change", kSyncIncremental}}},
      {"hoverProvider", true},
      {"completionProvider", {{"triggerCharacters", Json::array({"["})}, {"resolveProvider", false}}},
      {"signatureHelpProvider", {{"triggerCharacters", Json::array({","})}, {"retriggerCharacters", Json::array({" "})}}},
      {"documentSymbolProvider", true},
      {"codeActionProvider", {{"codeActionKinds", Json::array({"quickfix"})}}},
  };
  return Json{{"capabilities", caps}, {"serverInfo", {{"name", kSource}, {"version", Version()}}}};
}

void LanguageServer::Open(const Json& params) {
  const Json& td = Member(params, "textDocument");
  const std::string uri = StringMember(td, "uri");
  Document doc;
  doc.path = UriToPath(uri, separator_);
  doc.text = StringMember(td, "text");
  doc.version = td.contains("version") && td["version"].is_number_integer() ? td["version"].get<int64_t>() : 0;
  if (!doc.path.empty()) {
    doc.kind = SourceKindOf(FileName(doc.path, separator_), &doc.scenario, &doc.train);
    doc.folder = ParentFolder(doc.path, separator_);
  }
  docs_[uri] = std::move(doc);
  unopened_.erase(uri);  // open now: its diagnostics are those of the buffer
  CheckAndPublish(uri);
}

void LanguageServer::Change(const Json& params) {
  const Json& td = Member(params, "textDocument");
  const std::string uri = StringMember(td, "uri");
  Document* doc = Find(uri);
  if (!doc) return;  // a text the editor never opened here
  const Json& changes = Member(params, "contentChanges");
  if (!changes.is_array()) throw BadParams("'contentChanges' is not an array");
  // Checked first: a malformed change leaves the text as it was.
  std::string text = doc->text;
  for (const Json& c : changes) {
    const std::string replacement = StringMember(c, "text");
    if (c.contains("range")) {
      const Json& r = c["range"];
      ReplaceRange(&text, PositionMember(r, "start"), PositionMember(r, "end"), replacement);
    } else {
      text = replacement;
    }
  }
  doc->text = std::move(text);
  if (td.contains("version") && td["version"].is_number_integer()) doc->version = td["version"].get<int64_t>();
  CheckAndPublish(uri);
}

void LanguageServer::Close(const Json& params) {
  const std::string uri = StringMember(Member(params, "textDocument"), "uri");
  auto it = docs_.find(uri);
  if (it == docs_.end()) return;
  const Document closed = std::move(it->second);
  docs_.erase(it);
  Notify("textDocument/publishDiagnostics", Json{{"uri", uri}, {"diagnostics", Json::array()}});
  // The train texts of a route text closed are checked against the one on disk; those not
  // open lose the diagnostics its check gave them, as nothing would check them again.
  if (closed.kind == SourceFile::kRoute) ClearUnopened(closed.path, {});
  if (closed.kind == SourceFile::kRoute)
    for (const auto& [u, d] : docs_)
      if (d.kind == SourceFile::kTrain && d.folder == closed.folder && d.scenario == closed.scenario)
        CheckPair(d.folder, d.scenario, d.train, true, false, true);
}

Json LanguageServer::CodeActions(const Json& params) {
  const std::string uri = StringMember(Member(params, "textDocument"), "uri");
  const Json& range = Member(params, "range");
  const int32_t from = Member(Member(range, "start"), "line").get<int32_t>();
  const int32_t to = Member(Member(range, "end"), "line").get<int32_t>();
  Json actions = Json::array();
  const Document* doc = Find(uri);
  if (!doc) return actions;
  for (const QuickFix& f : doc->fixes) {
    const int32_t a = f.diagnostic["range"]["start"]["line"].get<int32_t>();
    const int32_t b = f.diagnostic["range"]["end"]["line"].get<int32_t>();
    if (b < from || a > to) continue;
    Json changes = Json::object();
    changes[f.uri] = Json::array({f.edit});
    actions.push_back(Json{{"title", f.title},
                           {"kind", "quickfix"},
                           {"diagnostics", Json::array({f.diagnostic})},
                           {"isPreferred", true},
                           {"edit", {{"changes", changes}}}});
  }
  return actions;
}

void LanguageServer::CheckAndPublish(const std::string& uri) {
  const Document* doc = Find(uri);
  if (!doc) return;
  if (doc->kind == SourceFile::kTrain) {
    CheckPair(doc->folder, doc->scenario, doc->train, true, false, true);
    return;
  }
  if (doc->kind != SourceFile::kRoute) return;
  const std::string folder = doc->folder, scenario = doc->scenario, route_path = doc->path;
  std::string err;
  const std::vector<std::string> trains = TrainsOf(folder, scenario, &err);
  Json note;
  if (!err.empty())
    note = Json{{"range", RangeOf(SourceRef{SourceFile::kRoute, 0}, nullptr)},
                {"severity", kSeverityWarning},
                {"source", kSource},
                {"message", "the folder " + PathToUtf8(folder.empty() ? std::string(".") : folder) +
                                " cannot be read: " + PathToUtf8(err) + "; only the open train texts are checked"}};
  // The route text's own diagnostics come from the check with the first train text.
  for (size_t i = 0; i < trains.size(); ++i) CheckPair(folder, scenario, trains[i], true, i == 0, true, i == 0 ? note : Json());
  if (trains.empty()) CheckPair(folder, scenario, kNoTrainNumber, false, true, false, note);
  std::vector<std::string> checked;
  for (const std::string& t : trains)
    checked.push_back(UriOf(ScenarioFilePath(ScenarioNaming{folder, separator_, scenario, t}, ScenarioFile::kTrainSource)));
  ClearUnopened(route_path, checked);  // train texts gone from the folder since
}

std::vector<std::string> LanguageServer::TrainsOf(const std::string& folder, const std::string& scenario,
                                                  std::string* err) {
  std::map<std::string, std::string> by_name;  // file name to train number
  for (const auto& [u, d] : docs_)
    if (d.kind == SourceFile::kTrain && d.folder == folder && d.scenario == scenario)
      by_name[FileName(d.path, separator_)] = d.train;
  std::vector<std::string> names;
  if (disk_.ListFiles(folder, &names, err)) {
    err->clear();
    std::string train;
    for (const std::string& n : names)
      if (IsTrainTextOf(n, scenario, &train)) by_name.emplace(n, train);
  }
  std::vector<std::string> trains;
  for (const auto& [name, train] : by_name) trains.push_back(train);
  return trains;
}

void LanguageServer::ClearUnopened(const std::string& route_path, const std::vector<std::string>& keep) {
  for (auto it = unopened_.begin(); it != unopened_.end();) {
    if (it->second != route_path || std::find(keep.begin(), keep.end(), it->first) != keep.end()) {
      ++it;
      continue;
    }
    Notify("textDocument/publishDiagnostics", Json{{"uri", it->first}, {"diagnostics", Json::array()}});
    it = unopened_.erase(it);
  }
}

void LanguageServer::CheckPair(const std::string& folder, const std::string& scenario, const std::string& train,
                               bool train_is_real, bool publish_route, bool publish_train,
                               const Json& route_note) {
  OpenTexts fs(disk_);
  Form1 form;
  form.run.fs = &fs;
  form.run.folder = folder;
  form.run.separator = separator_;
  form.run.deleteSources = false;
  form.ScenarioName = scenario;
  form.TrainNumber = train;
  const std::string paths[3] = {"", ScenarioFilePath(form, ScenarioFile::kRouteSource),
                                ScenarioFilePath(form, ScenarioFile::kTrainSource)};
  for (const auto& [u, d] : docs_)
    if (d.path == paths[1] || d.path == paths[2]) fs.texts[d.path] = Utf8ToCp1252(d.text);
  if (!train_is_real) fs.texts[paths[2]] = kNoTrainText;

  std::optional<std::string> fatal;
  SourceRef fatal_where;
  try {
    int32_t j = 1;
    memorizza_percorso(form, j, BinaryFiles::kNone);
  } catch (const CompileStop& e) {
    fatal = PathToUtf8(e.what());
  } catch (const StampPlaceTaken& e) {
    fatal = "something stands at position 0, where the compile puts " +
            std::string(e.code() == "1250" ? "the fixed stamp" : "the scenario code") + "; Errore n. " + e.code() +
            ", no binary file could be written";
    if (form.HasTrack && form.run.cellSource.size() > 1) fatal_where = form.run.cellSource[1];
  } catch (const std::exception& e) {
    fatal = PathToUtf8(e.what());
  }

  // The lines of the two texts, for whole-line ranges.
  std::string texts[3];
  std::vector<std::string_view> lines[3];
  for (int f = 1; f <= 2; ++f) {
    auto it = fs.texts.find(paths[f]);
    if (it != fs.texts.end()) {
      texts[f] = it->second;
      lines[f] = SplitLines(texts[f]);
    }
  }
  auto uri_of = [&](SourceFile f) { return UriOf(paths[static_cast<int>(f)]); };
  auto crlf = [&](SourceFile f) { return texts[static_cast<int>(f)].find("\r\n") != std::string::npos; };
  auto lines_of = [&](SourceFile f) -> const std::vector<std::string_view>* {
    const auto& l = lines[static_cast<int>(f)];
    return l.empty() ? nullptr : &l;
  };

  Json out[3] = {Json::array(), Json::array(), Json::array()};
  std::vector<QuickFix> fixes[3];
  auto add = [&](SourceFile file, const SourceRef& where, int severity, std::optional<int32_t> code,
                 std::string message, const std::vector<DiagnosticNote>& notes, const std::string& help,
                 const std::optional<TextFix>& fix) {
    Json related = Json::array();
    for (const DiagnosticNote& n : notes) {
      if (n.where.file == SourceFile::kNone) {
        message += "\nnote: " + n.message;
        continue;
      }
      message += "\nnote: " + std::string(n.where.file == SourceFile::kRoute ? "route" : "train") + " text line " +
                 std::to_string(n.where.line) + ": " + n.message;
      related.push_back(Json{{"location", {{"uri", uri_of(n.where.file)}, {"range", RangeOf(n.where, lines_of(n.where.file))}}},
                             {"message", n.message}});
    }
    if (!help.empty()) message += "\nhelp: " + help;
    Json d = {{"range", RangeOf(where, lines_of(file))}, {"severity", severity}, {"source", kSource}, {"message", message}};
    if (code) d["code"] = *code;
    if (!related.empty()) d["relatedInformation"] = related;
    const int f = static_cast<int>(file);
    if (fix && fix->where.file != SourceFile::kNone) {
      const SourceFile ff = fix->where.file;
      fixes[f].push_back(QuickFix{d, uri_of(ff),
                                  Json{{"range", RangeOf(fix->where, lines_of(ff))}, {"newText", FixText(fix->text, crlf(ff))}},
                                  fix->title});
    }
    out[f].push_back(std::move(d));
  };

  const Diagnostics& diag = form.run.diag;
  for (const FaultRecord& r : diag.faults) {
    // Faults without a text of their own belong to the train text, whose items the cell pass works on.
    const SourceFile file = r.where.file == SourceFile::kNone ? SourceFile::kTrain : r.where.file;
    std::string message = r.message;
    if (r.cell) message = CellAt(*r.cell) + ": " + message;
    add(file, r.where, kSeverityError, r.code, message, r.notes, r.help, r.fix);
  }
  for (const WarningRecord& w : diag.warnings)
    add(w.where.file == SourceFile::kNone ? SourceFile::kTrain : w.where.file, w.where, kSeverityWarning,
        std::nullopt, w.message, w.notes, w.help, w.fix);
  for (SourceFile f : {SourceFile::kRoute, SourceFile::kTrain}) {
    const size_t left = diag.warningsLeftOut[static_cast<size_t>(f)];
    if (left > 0)
      add(f, SourceRef{f, 0}, kSeverityInformation, std::nullopt,
          std::to_string(left) + " more warnings of this text left out; the first " +
              std::to_string(kWarningsKeptPerText) + " are shown",
          {}, "", std::nullopt);
  }
  if (fatal) {
    for (SourceFile f : {SourceFile::kRoute, SourceFile::kTrain}) {
      const SourceRef where = fatal_where.file == f ? fatal_where : SourceRef{f, 0};
      add(f, where, kSeverityError, std::nullopt, "the compile could not complete: " + *fatal, {}, "", std::nullopt);
    }
  }
  if (!route_note.is_null()) out[1].push_back(route_note);
  if (publish_route) Publish(UriOf(paths[1]), std::move(out[1]), std::move(fixes[1]));
  if (publish_train) Publish(UriOf(paths[2]), std::move(out[2]), std::move(fixes[2]), paths[1]);
}

void LanguageServer::Publish(const std::string& uri, Json diagnostics, std::vector<QuickFix> fixes,
                             const std::string& route_path) {
  Document* doc = Find(uri);
  if (!doc) {
    // A train text on disk: shown in the editor's list of problems, without a version.
    if (route_path.empty()) return;
    unopened_[uri] = route_path;
    Notify("textDocument/publishDiagnostics", Json{{"uri", uri}, {"diagnostics", std::move(diagnostics)}});
    return;
  }
  doc->fixes = std::move(fixes);
  Notify("textDocument/publishDiagnostics",
         Json{{"uri", uri}, {"version", doc->version}, {"diagnostics", std::move(diagnostics)}});
}

LanguageServer::Document* LanguageServer::Find(const std::string& uri) {
  auto it = docs_.find(uri);
  return it == docs_.end() ? nullptr : &it->second;
}

std::string LanguageServer::UriOf(const std::string& path) const {
  for (const auto& [u, d] : docs_)
    if (d.path == path) return u;
  return PathToUri(path, separator_);
}

void LanguageServer::Respond(const Json& id, Json result) {
  channel_.Write(Json{{"jsonrpc", "2.0"}, {"id", id}, {"result", std::move(result)}}.dump(-1, ' ', false, Json::error_handler_t::replace));
}

void LanguageServer::Error(const Json& id, int code, const std::string& message) {
  channel_.Write(Json{{"jsonrpc", "2.0"}, {"id", id}, {"error", {{"code", code}, {"message", message}}}}
                     .dump(-1, ' ', false, Json::error_handler_t::replace));
}

void LanguageServer::Notify(const std::string& method, Json params) {
  channel_.Write(Json{{"jsonrpc", "2.0"}, {"method", method}, {"params", std::move(params)}}
                     .dump(-1, ' ', false, Json::error_handler_t::replace));
}

}  // namespace sb
