// Starts `scenario-builder lsp` for the route texts (*_linea.txt) and train texts (*-.txt).
import * as vscode from "vscode";
import { LanguageClient, LanguageClientOptions, ServerOptions } from "vscode-languageclient/node";

let client: LanguageClient | undefined;

function serverOptions(): ServerOptions {
  const program = vscode.workspace.getConfiguration("scenarioBuilder").get<string>("path", "scenario-builder");
  // No transport: the server speaks on standard input and output and takes no --stdio.
  return { command: program, args: ["lsp"] };
}

async function start(): Promise<void> {
  const clientOptions: LanguageClientOptions = {
    documentSelector: [{ scheme: "file", language: "scenario" }],
  };
  client = new LanguageClient("scenarioBuilder", "Scenario Builder", serverOptions(), clientOptions);
  await client.start();
}

export async function activate(context: vscode.ExtensionContext): Promise<void> {
  context.subscriptions.push(
    vscode.workspace.onDidChangeConfiguration(async (e) => {
      if (!e.affectsConfiguration("scenarioBuilder.path")) return;
      await client?.stop();
      await start();
    }),
  );
  await start();
}

export async function deactivate(): Promise<void> {
  await client?.stop();
}
