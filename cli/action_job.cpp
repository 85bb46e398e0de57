#include "cli/action_job.h"

#include "cli/console_report.h"
#include "engine/action.h"
#include "engine/action_list.h"
#include "engine/burn_job.h"
#include "engine/burner.h"
#include "engine/disc_verify.h"

namespace ondrelle::cli {

int RunActionAsJob(TsbAction& action, TsbBurner& burner, const QString& fileName, ConsoleReport& report) {
  TsbActionList list;
  list.Options.FileName = fileName;
  TsbActionItem& item = list.Add();
  item.Action = &action;
  TsbBurnJob job(list, burner);
  // Without an event loop here: the console takes the job's lines on its worker.
  QObject::connect(&job, &TsbBurnJob::Message,
                   [&report](const QString& text, TsbLogItemType kind) { report.Message(text, kind); });
  job.Start();
  job.Wait();
  report.Finish();
  if (job.Outcome() != TsbBurnOutcome::Failed) return 0;
  report.Message(job.Failure(), TsbLogItemType::litError);
  if (burner.VerifyFailed) report.Message(VerifyFailedText(), TsbLogItemType::litError);
  return 1;
}

}  // namespace ondrelle::cli
