#include "authoring/lsp_command.h"

#include <iostream>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#endif

#include "authoring/lsp_channel.h"
#include "authoring/lsp_server.h"

namespace sb {

const char kLspHelp[] =
    "usage: scenario-builder lsp [--stdio]\n"
    "\n"
    "Runs the language server of the route and train texts for an editor: the Language\n"
    "Server Protocol over standard input and output. A scenario is the route text\n"
    "NAME_linea.txt and a train text NAME_NUMBER-.txt of one folder; the server checks\n"
    "the texts open in the editor as they stand and reads the others from the disk, and\n"
    "shows every fault and warning at its field, explains each field on hover, completes\n"
    "keys and section heads, lists the sections, stations, signals, slowdowns and curves,\n"
    "and offers the fixes the messages suggest. It never writes or deletes a file.\n"
    "\n"
    "  --stdio  accepted and ignored (standard input and output are always used)\n"
    "\n"
    "Exit status: 0 after the editor's 'shutdown' and 'exit'; 1 when the input ends or\n"
    "'exit' comes without 'shutdown'; 2 a wrong command line.\n";

void UseBinaryStandardStreams() {
#ifdef _WIN32
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
#endif
}

int LspCommand(const std::vector<std::string>& args, CommandIo& io, Reporter& report) {
  for (const std::string& a : args)
    if (a != "--stdio") return report.WrongUsage("unknown argument '" + a + "'");
  UseBinaryStandardStreams();
  StreamChannel channel(std::cin, *io.out);
  LanguageServer server(channel, *io.fs, io.separator);
  return server.Run();
}

}  // namespace sb
