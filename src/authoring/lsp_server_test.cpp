// The language server in memory: messages through a MemoryChannel, the folder a
// MemoryFileSystem.
#include "authoring/lsp_server.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "authoring/json_output.h"
#include "memory_file_system.h"
#include "test_support.h"

namespace sb {
namespace {

using testing::Route;
using testing::Train;

constexpr char kRoutePath[] = "/scn/Linea_linea.txt";
constexpr char kTrainPath[] = "/scn/Linea_7-.txt";
constexpr char kRouteUri[] = "file:///scn/Linea_linea.txt";
constexpr char kTrainUri[] = "file:///scn/Linea_7-.txt";

class Lsp : public ::testing::Test {
 protected:
  Lsp() : server(channel, fs, '/') {
    fs.files()[kRoutePath] = Route(30000);
    fs.files()[kTrainPath] = Train({"segnale, 8000, 2,4,1, 1, 0, 2, 2,1,1, 0"});
  }

  // Sends one message; returns what the server wrote in answer.
  std::vector<Json> Send(const Json& message) { return SendRaw(message.dump()); }
  std::vector<Json> SendRaw(const std::string& body) {
    channel.written.clear();
    server.Handle(body);
    std::vector<Json> out;
    for (const std::string& w : channel.written) out.push_back(Json::parse(w));
    return out;
  }
  Json Request(const std::string& method, Json params) {
    std::vector<Json> out = Send(Json{{"jsonrpc", "2.0"}, {"id", ++id}, {"method", method}, {"params", params}});
    EXPECT_EQ(out.size(), 1u);
    return out.empty() ? Json() : out.back();
  }
  std::vector<Json> Notify(const std::string& method, Json params) {
    return Send(Json{{"jsonrpc", "2.0"}, {"method", method}, {"params", params}});
  }
  void Initialize() {
    Request("initialize", {{"processId", nullptr}, {"capabilities", Json::object()}});
    Notify("initialized", Json::object());
  }
  // The diagnostics published for `uri` among the messages.
  static Json DiagnosticsOf(const std::vector<Json>& out, const std::string& uri) {
    Json found;
    for (const Json& m : out)
      if (m.value("method", "") == "textDocument/publishDiagnostics" && m["params"]["uri"] == uri)
        found = m["params"]["diagnostics"];
    return found;
  }
  std::vector<Json> Open(const std::string& uri, const std::string& text) {
    return Notify("textDocument/didOpen",
                  {{"textDocument", {{"uri", uri}, {"languageId", "scenario"}, {"version", 1}, {"text", text}}}});
  }
  static Json At(const std::string& uri, int line, int character) {
    return Json{{"textDocument", {{"uri", uri}}}, {"position", {{"line", line}, {"character", character}}}};
  }

  MemoryChannel channel;
  MemoryFileSystem fs;
  LanguageServer server;
  int id = 0;
};

TEST_F(Lsp, InitializeAnswersTheCapabilitiesAndNothingComesBeforeIt) {
  Json early = Request("textDocument/hover", At(kTrainUri, 0, 0));
  EXPECT_EQ(early["error"]["code"], kServerNotInitialized);
  Json init = Request("initialize", {{"capabilities", Json::object()}});
  const Json& caps = init["result"]["capabilities"];
  EXPECT_EQ(caps["textDocumentSync"]["change"], 2);
  for (const char* c : {"hoverProvider", "documentSymbolProvider"}) EXPECT_EQ(caps[c], true) << c;
  EXPECT_TRUE(caps.contains("completionProvider"));
  EXPECT_TRUE(caps.contains("signatureHelpProvider"));
  EXPECT_TRUE(caps.contains("codeActionProvider"));
  EXPECT_EQ(Request("initialize", Json::object())["error"]["code"], kInvalidRequest);
}

// A signal in the cell of another: fault 16 at the position's columns, with the line of the
// first signal as related information and the lines left unread in the message.
TEST_F(Lsp, DiagnosticsOfAnOpenTrainTextAsItStands) {
  Initialize();
  const std::string text = Train({"segnale, 8000, 2,4,1, 1, 0, 2, 2,1,1, 0",
                                  "segnale, 8010, 2,4,1, 1, 0, 2, 2,1,1, 0",
                                  "segnale, 9000, 2,4,1, 1, 0, 2, 2,1,1, 0"});
  Json d = DiagnosticsOf(Open(kTrainUri, text), kTrainUri);
  ASSERT_EQ(d.size(), 1u) << d.dump(1);
  EXPECT_EQ(d[0]["code"], 16);
  EXPECT_EQ(d[0]["severity"], 1);
  EXPECT_EQ(d[0]["range"], Json::parse(R"({"start":{"line":2,"character":9},"end":{"line":2,"character":13}})"));
  EXPECT_EQ(d[0]["relatedInformation"][0]["location"]["uri"], kTrainUri);
  EXPECT_EQ(d[0]["relatedInformation"][0]["location"]["range"]["start"]["line"], 1);
  EXPECT_NE(d[0]["message"].get<std::string>().find("1 signal"), std::string::npos) << d[0]["message"];

  // An incremental change that mends it: "8010" becomes "8500"; then a whole new text.
  std::vector<Json> out = Notify(
      "textDocument/didChange",
      {{"textDocument", {{"uri", kTrainUri}, {"version", 2}}},
       {"contentChanges", Json::array({{{"range", {{"start", {{"line", 2}, {"character", 10}}},
                                                   {"end", {{"line", 2}, {"character", 12}}}}},
                                        {"text", "50"}}})}});
  EXPECT_EQ(DiagnosticsOf(out, kTrainUri), Json::array());
  out = Notify("textDocument/didChange", {{"textDocument", {{"uri", kTrainUri}, {"version", 3}}},
                                          {"contentChanges", Json::array({{{"text", "[generale]\r\nsabbia, 70000\r\n"}}})}});
  d = DiagnosticsOf(out, kTrainUri);
  ASSERT_EQ(d.size(), 1u);
  EXPECT_EQ(d[0]["code"], 25);
  EXPECT_EQ(d[0]["range"]["start"], Json::parse(R"({"line":1,"character":8})"));

  out = Notify("textDocument/didClose", {{"textDocument", {{"uri", kTrainUri}}}});
  EXPECT_EQ(DiagnosticsOf(out, kTrainUri), Json::array());
  // Nothing was written or deleted.
  EXPECT_EQ(fs.files().size(), 2u);
  EXPECT_EQ(fs.files()[kTrainPath], Train({"segnale, 8000, 2,4,1, 1, 0, 2, 2,1,1, 0"}));
}

// The route text open and changed: the open train text is checked again against it; closed,
// against the one on disk.
TEST_F(Lsp, AChangeOfTheRouteTextChecksTheOpenTrainTextsAgain) {
  Initialize();
  EXPECT_EQ(DiagnosticsOf(Open(kTrainUri, fs.files()[kTrainPath]), kTrainUri), Json::array());
  std::vector<Json> out = Open(kRouteUri, Route(500));  // the signal at 8000 m is now beyond the track
  EXPECT_EQ(DiagnosticsOf(out, kRouteUri), Json::array());
  Json d = DiagnosticsOf(out, kTrainUri);
  ASSERT_EQ(d.size(), 1u);
  EXPECT_EQ(d[0]["code"], 15);
  out = Notify("textDocument/didClose", {{"textDocument", {{"uri", kRouteUri}}}});
  EXPECT_EQ(DiagnosticsOf(out, kTrainUri), Json::array());

  // A route text without a route length: its own diagnostics, from the check with the train
  // text on disk.
  out = Open(kRouteUri, "[generale]\r\nlunghezza percorso, 2000000\r\n[fine]\r\n");
  d = DiagnosticsOf(out, kRouteUri);
  ASSERT_GE(d.size(), 1u);
  EXPECT_EQ(d[0]["code"], 1);
  EXPECT_EQ(d[0]["range"]["start"], Json::parse(R"({"line":1,"character":20})"));
}

// A route text open alone: the train texts of its scenario on disk are checked with it and
// their diagnostics published (without a version: they are not open), again on every change,
// cleared when the route text closes. Other texts of the folder are left alone.
TEST_F(Lsp, ARouteTextAloneChecksTheTrainTextsOnDisk) {
  constexpr char kOtherUri[] = "file:///scn/Linea_12-.txt";
  fs.files()["/scn/Linea_12-.txt"] = Train({"segnale, 7500, 2,4,1, 1, 0, 2, 2,1,1, 0"});
  fs.files()["/scn/Linea_Prova_3-.txt"] = Train({"segnale, 8000, 2,4,1, 1, 0, 2, 2,1,1, 0"});  // of Linea_Prova
  fs.files()["/scn/Altra_7-.txt"] = "";
  fs.files()["/scn/Linea_7_note.txt"] = "";
  fs.files()["/scn/sub/Linea_8-.txt"] = "";
  const std::map<std::string, std::string> before = fs.files();
  Initialize();
  auto published = [&](const std::vector<Json>& out) {
    std::set<std::string> uris;
    for (const Json& m : out)
      if (m.value("method", "") == "textDocument/publishDiagnostics") {
        uris.insert(m["params"]["uri"].get<std::string>());
        if (m["params"]["uri"] == kOtherUri) {
          EXPECT_FALSE(m["params"].contains("version")) << m.dump();
        }
      }
    return uris;
  };
  const std::set<std::string> scenario = {kRouteUri, kTrainUri, kOtherUri};

  std::vector<Json> out = Open(kRouteUri, Route(1000));  // the signal at 8000 m is beyond the track
  EXPECT_EQ(published(out), scenario);
  EXPECT_EQ(DiagnosticsOf(out, kRouteUri), Json::array());
  Json d = DiagnosticsOf(out, kTrainUri);
  ASSERT_EQ(d.size(), 1u) << d.dump(1);
  EXPECT_EQ(d[0]["code"], 15);
  EXPECT_EQ(DiagnosticsOf(out, kOtherUri), Json::array());

  // Lengthened: both again, the fault gone; shortened to 500 m: a fault in each.
  auto change = [&](const std::string& text, int version) {
    return Notify("textDocument/didChange", {{"textDocument", {{"uri", kRouteUri}, {"version", version}}},
                                             {"contentChanges", Json::array({{{"text", text}}})}});
  };
  out = change(Route(30000), 2);
  EXPECT_EQ(published(out), scenario);
  EXPECT_EQ(DiagnosticsOf(out, kTrainUri), Json::array());
  EXPECT_EQ(DiagnosticsOf(out, kOtherUri), Json::array());
  out = change(Route(500), 3);
  EXPECT_EQ(DiagnosticsOf(out, kTrainUri).size(), 1u);
  ASSERT_EQ(DiagnosticsOf(out, kOtherUri).size(), 1u);
  EXPECT_EQ(DiagnosticsOf(out, kOtherUri)[0]["code"], 15);

  // A train text opened is checked as it stands; one gone from the disk loses its diagnostics.
  out = Open(kTrainUri, Train());
  EXPECT_EQ(DiagnosticsOf(out, kTrainUri), Json::array());
  fs.files().erase("/scn/Linea_12-.txt");
  out = change(Route(500), 4);
  EXPECT_EQ(published(out), scenario);
  EXPECT_EQ(DiagnosticsOf(out, kOtherUri), Json::array());
  fs.files()["/scn/Linea_12-.txt"] = before.at("/scn/Linea_12-.txt");
  EXPECT_EQ(DiagnosticsOf(change(Route(500), 5), kOtherUri).size(), 1u);

  // Closed: its own diagnostics and those of the train text not open are cleared; the open
  // one is checked against the route text on disk.
  out = Notify("textDocument/didClose", {{"textDocument", {{"uri", kRouteUri}}}});
  EXPECT_EQ(published(out), scenario);
  for (const char* uri : {kRouteUri, kOtherUri, kTrainUri}) EXPECT_EQ(DiagnosticsOf(out, uri), Json::array()) << uri;
  EXPECT_EQ(fs.files(), before);  // nothing written or deleted
}

// A folder that cannot be listed: the route text says so and is checked with the open
// train texts alone.
TEST_F(Lsp, AFolderThatCannotBeListed) {
  Initialize();
  Json d = DiagnosticsOf(Open("file:///gone/Linea_linea.txt", Route(30000)), "file:///gone/Linea_linea.txt");
  ASSERT_EQ(d.size(), 1u) << d.dump(1);
  EXPECT_EQ(d[0]["severity"], 2);
  EXPECT_EQ(d[0]["message"], "the folder /gone cannot be read: No such file or directory; only the open train texts are checked");
}

TEST_F(Lsp, HoverCompletionSignatureHelpAndSymbols) {
  Initialize();
  const std::string text = Train({"stazione, 12000, 12, 900, 0, 0, 0, 1,1,0, 4,1,1, 0, 0, 0, 0, COMPIOBBI",
                                  "segnale, 8000, 2,4,1, 1, 0, 2, 2,1,1, 0", "rallentamento, 100000, 60, 500, 0, 1, 0"});
  Open(kTrainUri, text);
  auto hover = [&](int line, int character) {
    Json r = Request("textDocument/hover", At(kTrainUri, line, character))["result"];
    return r.is_null() ? std::string() : r["contents"]["value"].get<std::string>();
  };
  const std::string position = hover(2, 10);
  EXPECT_NE(position.find("**position** (m, 32-bit integer)"), std::string::npos) << position;
  EXPECT_NE(position.find("As read: 8000 m: cell 161"), std::string::npos) << position;
  EXPECT_NE(hover(1, 12).find("the station's extent: 11550 m to 12450 m"), std::string::npos);
  EXPECT_NE(hover(2, 2).find("**segnale**: signal"), std::string::npos);
  EXPECT_NE(hover(3, 18).find("start in cell 2001, warning point in cell 1977"), std::string::npos);
  EXPECT_NE(hover(0, 3).find("section head"), std::string::npos);

  Json items = Request("textDocument/completion", At(kTrainUri, 4, 0))["result"]["items"];
  std::vector<std::string> labels;
  for (const Json& i : items) labels.push_back(i["label"]);
  EXPECT_NE(std::find(labels.begin(), labels.end(), "segnale"), labels.end());
  EXPECT_NE(std::find(labels.begin(), labels.end(), "[stazioni]"), labels.end());
  EXPECT_EQ(std::find(labels.begin(), labels.end(), "[generale]"), labels.end());
  for (const Json& i : items) {
    if (i["label"] != "segnale") continue;
    EXPECT_EQ(i["textEdit"]["newText"], "segnale, ${1:position}, ${2:sx}, ${3:s1}, ${4:s2}, ${5:s3}, ${6:rapp}, "
                                          "${7:dx}, ${8:d1}, ${9:d2}, ${10:d3}, ${11:tempo}");
  }
  // After the key, no keys.
  EXPECT_EQ(Request("textDocument/completion", At(kTrainUri, 2, 12))["result"]["items"], Json::array());

  Json sig = Request("textDocument/signatureHelp", At(kTrainUri, 2, 16))["result"];  // after "8000, "
  EXPECT_EQ(sig["activeParameter"], 1);
  EXPECT_EQ(sig["signatures"][0]["parameters"].size(), 11u);

  Json symbols = Request("textDocument/documentSymbol", {{"textDocument", {{"uri", kTrainUri}}}})["result"];
  ASSERT_EQ(symbols.size(), 2u);  // [generale], [fine]
  const Json& in_general = symbols[0]["children"];
  ASSERT_EQ(in_general.size(), 3u);
  EXPECT_EQ(in_general[0]["name"], "COMPIOBBI");
  EXPECT_EQ(in_general[1]["name"], "signal 8000 m");
  EXPECT_EQ(in_general[2]["name"], "slowdown 100000 m");
}

// The route text's completion knows its sections: the general keys inside the general
// section, the feature keys after it.
TEST_F(Lsp, RouteCompletionByPartOfTheText) {
  Initialize();
  Open(kRouteUri, "[generale]\r\n\r\n[curve]\r\n\r\n");
  auto labels = [&](int line) {
    std::vector<std::string> l;
    const Json r = Request("textDocument/completion", At(kRouteUri, line, 0));
    for (const Json& i : r["result"]["items"]) l.push_back(i["label"]);
    return l;
  };
  const std::vector<std::string> general = labels(1), features = labels(3);
  EXPECT_NE(std::find(general.begin(), general.end(), "lunghezza percorso"), general.end());
  EXPECT_EQ(std::find(general.begin(), general.end(), "pendenza"), general.end());
  EXPECT_NE(std::find(features.begin(), features.end(), "pendenza"), features.end());
  EXPECT_EQ(std::find(features.begin(), features.end(), "lunghezza percorso"), features.end());
  EXPECT_EQ(labels(0), std::vector<std::string>{"[generale]"});
}

// The fixes of the diagnostics: the key a typo meant, the section head that is missing.
TEST_F(Lsp, CodeActionsForTheFixesOfTheDiagnostics) {
  Initialize();
  const std::string route = "[generale]\r\nlunghezza percorso, 30000\r\npendenza, 0, 1\r\n[pendenze]\r\npendnza, 1000, 2\r\n[fine]\r\n";
  Json d = DiagnosticsOf(Open(kRouteUri, route), kRouteUri);
  ASSERT_EQ(d.size(), 2u) << d.dump(1);
  auto actions = [&](int line) {
    return Request("textDocument/codeAction",
                   {{"textDocument", {{"uri", kRouteUri}}},
                    {"range", {{"start", {{"line", line}, {"character", 0}}}, {"end", {{"line", line}, {"character", 0}}}}},
                    {"context", {{"diagnostics", Json::array()}}}})["result"];
  };
  Json head = actions(2);
  ASSERT_EQ(head.size(), 1u);
  EXPECT_EQ(head[0]["kind"], "quickfix");
  EXPECT_EQ(head[0]["title"], "insert the head '[pendenze]'");
  EXPECT_EQ(head[0]["edit"]["changes"][kRouteUri][0],
            Json::parse(R"({"range":{"start":{"line":2,"character":0},"end":{"line":2,"character":0}},"newText":"[pendenze]\r\n"})"));
  Json typo = actions(4);
  ASSERT_EQ(typo.size(), 1u);
  EXPECT_EQ(typo[0]["edit"]["changes"][kRouteUri][0]["newText"], "pendenza");
  EXPECT_EQ(typo[0]["edit"]["changes"][kRouteUri][0]["range"]["end"]["character"], 7);
  EXPECT_EQ(actions(1), Json::array());
}

TEST_F(Lsp, ShutdownThenExit) {
  Initialize();
  EXPECT_TRUE(Request("shutdown", nullptr)["result"].is_null());
  EXPECT_EQ(Request("textDocument/hover", At(kTrainUri, 0, 0))["error"]["code"], kInvalidRequest);
  EXPECT_FALSE(server.Exited());
  Notify("exit", nullptr);
  EXPECT_TRUE(server.Exited());
  EXPECT_EQ(server.ExitStatus(), 0);
}

TEST(LspRun, EndsOnExitOrAtTheEndOfTheInput) {
  MemoryFileSystem fs;
  for (bool shutdown : {false, true}) {
    MemoryChannel channel;
    channel.input = {R"({"jsonrpc":"2.0","id":1,"method":"initialize","params":{}})"};
    if (shutdown) channel.input.push_back(R"({"jsonrpc":"2.0","id":2,"method":"shutdown"})");
    channel.input.push_back(R"({"jsonrpc":"2.0","method":"exit"})");
    channel.input.push_back(R"({"jsonrpc":"2.0","id":3,"method":"shutdown"})");  // never read
    LanguageServer server(channel, fs, '/');
    EXPECT_EQ(server.Run(), shutdown ? 0 : 1);
    EXPECT_EQ(channel.input.size(), 1u);
  }
  MemoryChannel closed;  // the input ends at once
  EXPECT_EQ(LanguageServer(closed, fs, '/').Run(), 1);
}

// Malformed messages get JSON-RPC errors; the server goes on.
TEST_F(Lsp, MalformedMessagesGetErrors) {
  Initialize();
  const struct {
    const char* body;
    int code;
  } cases[] = {
      {"{not json", kParseError},
      {"[1, 2]", kInvalidRequest},
      {R"({"jsonrpc":"2.0","id":{"a":1},"method":"shutdown"})", kInvalidRequest},
      {R"({"jsonrpc":"2.0","id":5})", kInvalidRequest},
      {R"({"jsonrpc":"2.0","id":5,"method":7})", kInvalidRequest},
      {R"({"jsonrpc":"2.0","id":5,"method":"workspace/frobnicate"})", kMethodNotFound},
      {R"({"jsonrpc":"2.0","id":5,"method":"textDocument/hover","params":{"position":{}}})", kInvalidParams},
      {R"({"jsonrpc":"2.0","id":5,"method":"textDocument/hover","params":{"textDocument":{"uri":"file:///scn/Linea_7-.txt"},"position":{"line":"x"}}})",
       kInvalidParams},
  };
  Open(kTrainUri, "[generale]\r\n");
  for (const auto& c : cases) {
    std::vector<Json> out = SendRaw(c.body);
    ASSERT_EQ(out.size(), 1u) << c.body;
    EXPECT_EQ(out[0]["error"]["code"], c.code) << c.body;
  }
  // A notification with bad params is dropped without an answer; a bad change leaves the text.
  EXPECT_TRUE(SendRaw(R"({"jsonrpc":"2.0","method":"textDocument/didChange","params":{"textDocument":{"uri":"file:///scn/Linea_7-.txt"},"contentChanges":[{"text":"x"},{"range":1}]}})")
                  .empty());
  EXPECT_TRUE(SendRaw(R"({"jsonrpc":"2.0","id":9,"result":null})").empty());  // a response to no request
  EXPECT_FALSE(Request("textDocument/hover", At(kTrainUri, 0, 3))["result"].is_null());
}

TEST(SourceKind, FromTheFileName) {
  std::string scenario, train;
  EXPECT_EQ(SourceKindOf("Torbena-Sarvico-Zeva_linea.txt", &scenario, &train), SourceFile::kRoute);
  EXPECT_EQ(scenario, "Torbena-Sarvico-Zeva");
  EXPECT_EQ(SourceKindOf("Linea_Prova_123-.txt", &scenario, &train), SourceFile::kTrain);
  EXPECT_EQ(scenario, "Linea_Prova");
  EXPECT_EQ(train, "123");
  for (const char* other : {"notes.txt", "_linea.txt", "Linea-.txt", "Linea_-.txt", "Linea_7_note.txt"})
    EXPECT_EQ(SourceKindOf(other, &scenario, &train), SourceFile::kNone) << other;
}

}  // namespace
}  // namespace sb
