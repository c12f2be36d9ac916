#include "readers/source_reader.h"

#include "io/file_names.h"
#include "io/file_system.h"
#include "model/faults.h"
#include "model/run_errors.h"
#include "readers/reader_support.h"
#include "readers/route_reader.h"
#include "readers/train_reader.h"

namespace sb {

void memorizza_dati(Form1& form) {
  ReaderContext ctx;
  try {
    if (!ReadRouteText(form, ctx)) return;
    ReadTrainText(form, ctx);
  } catch (const ReadFailure& e) {
    FaultRecord& r = RecordFault(form, 25, std::nullopt, e.where().value_or(ctx.where), e.what());
    r.notes = e.notes();
    if (ctx.where.file == SourceFile::kRoute)
      r.notes.push_back(DiagnosticNote{SourceRef{}, "the train text was not read"});
    if (form.run.deleteSources) {
      std::string err;
      for (ScenarioFile f : {ScenarioFile::kRouteSource, ScenarioFile::kTrainSource}) {
        std::string path = ScenarioFilePath(form, f);
        if (form.run.fs->Exists(path)) form.run.fs->RemoveFile(path, &err);
      }
    }
  }
}

}  // namespace sb
