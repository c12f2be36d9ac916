// The language server of the two source texts: LSP 3.17 over a MessageChannel. It keeps the
// texts the editor has open, checks a scenario (a route text NAME_linea.txt and a train text
// NAME_NUMBER-.txt of one folder) on every change with the compile that writes nothing,
// reading the open texts as they stand and the rest from the disk, and answers hover,
// completion, signature help, the outline and the quick fixes. It never writes or deletes
// a file.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "authoring/json_output.h"
#include "authoring/lsp_channel.h"
#include "model/diagnostics.h"

namespace sb {

class FileSystem;

// JSON-RPC error codes.
constexpr int kParseError = -32700;
constexpr int kInvalidRequest = -32600;
constexpr int kMethodNotFound = -32601;
constexpr int kInvalidParams = -32602;
constexpr int kInternalError = -32603;
constexpr int kServerNotInitialized = -32002;

class LanguageServer {
 public:
  LanguageServer(MessageChannel& channel, FileSystem& disk, char separator)
      : channel_(channel), disk_(disk), separator_(separator) {}

  // Answers messages until `exit` or the end of the input. Returns the exit status: 0 after
  // a `shutdown`, 1 otherwise.
  int Run();
  // Answers one message (its body); malformed ones get an error response.
  void Handle(std::string_view body);
  bool Exited() const { return exited_; }
  int ExitStatus() const { return shutdown_ ? 0 : 1; }

 private:
  struct QuickFix {
    Json diagnostic;
    std::string uri;  // of the text the edit changes
    Json edit;        // a TextEdit
    std::string title;
  };
  struct Document {
    std::string path;
    std::string text;  // UTF-8, as the editor holds it
    int64_t version = 0;
    SourceFile kind = SourceFile::kNone;
    std::string folder, scenario, train;
    std::vector<QuickFix> fixes;  // of the diagnostics last published
  };

  void Dispatch(const std::string& method, const Json& id, const Json& params);
  void Respond(const Json& id, Json result);
  void Error(const Json& id, int code, const std::string& message);
  void Notify(const std::string& method, Json params);

  Json Initialize();
  void Open(const Json& params);
  void Change(const Json& params);
  void Close(const Json& params);
  Json CodeActions(const Json& params);

  // Checks the scenario of the document and publishes the diagnostics of the texts it
  // touches: a route text re-checks every train text of its scenario in its folder, open or
  // on disk.
  void CheckAndPublish(const std::string& uri);
  // The train numbers of the train texts of a scenario in its folder: those open and those on
  // disk, sorted by file name. When the folder cannot be listed, *err says why and only the
  // open ones are given.
  std::vector<std::string> TrainsOf(const std::string& folder, const std::string& scenario, std::string* err);
  // Clears the diagnostics of the unopened train texts published for the route text at
  // `route_path`, but those in `keep`.
  void ClearUnopened(const std::string& route_path, const std::vector<std::string>& keep);
  // Compiles one pair; publishes the diagnostics of `publish` (route, train or both).
  // `route_note` is a diagnostic added to the route text's.
  void CheckPair(const std::string& folder, const std::string& scenario, const std::string& train,
                 bool train_is_real, bool publish_route, bool publish_train, const Json& route_note = Json());
  // Publishes for an open text, or for a train text not open when `route_path` names the
  // route text whose check it is (noted, to be cleared when that one closes).
  void Publish(const std::string& uri, Json diagnostics, std::vector<QuickFix> fixes,
               const std::string& route_path = "");

  Document* Find(const std::string& uri);
  std::string UriOf(const std::string& path) const;

  MessageChannel& channel_;
  FileSystem& disk_;
  char separator_;
  bool initialized_ = false;
  bool shutdown_ = false;
  bool exited_ = false;
  std::map<std::string, Document> docs_;  // by URI
  // The train texts not open whose diagnostics were published: URI to the path of the route
  // text whose check published them.
  std::map<std::string, std::string> unopened_;
};

// The kind of a source text and its scenario, from its file name: NAME_linea.txt is a route
// text, NAME_NUMBER-.txt a train text; anything else is kNone.
SourceFile SourceKindOf(const std::string& file_name, std::string* scenario, std::string* train);

}  // namespace sb
