#pragma once
// One burn, from the check of the drive to the eject, on one worker thread.
// The job runs the actions the wizard or the command line assembled, in
// order; each action goes through its steps (check, prepare, write, verify,
// close, eject) without waiting on anyone. What the job has to say reaches
// the caller as signals: queued onto the receiver's thread for a receiver
// that lives there (the wizard's pages), direct for one without a context.

#include <QObject>
#include <QString>
#include <memory>

#include "engine/burn_step.h"
#include "log/log_item_type.h"

namespace ondrelle {

class TsbActionList;
class TsbBurner;

class TsbBurnJob : public QObject {
  Q_OBJECT

 public:
  /// The list and the session must outlive the job.
  TsbBurnJob(TsbActionList& actions, TsbBurner& burner, QObject* parent = nullptr);
  /// Waits for a running job to end.
  ~TsbBurnJob() override;

  /// Starts the worker and returns at once; Finished says when it ends. One start per job.
  void Start();
  /// Returns once the worker has ended (for callers without an event loop).
  void Wait();
  bool Running() const;
  /// Asks the session to stop; the job ends as soon as the running call returns.
  void Cancel();

  /// How the job ended; valid once Finished has been emitted.
  TsbBurnOutcome Outcome() const { return outcome_; }
  /// The failure's text for a failed job, else empty.
  const QString& Failure() const { return failure_; }

 signals:
  void StepChanged(ondrelle::TsbBurnStep step);
  void Message(const QString& text, ondrelle::TsbLogItemType kind);
  /// The job's last signal, sent from the worker as its last act.
  void Finished(ondrelle::TsbBurnOutcome outcome, const QString& failure);

 private:
  void Run();

  TsbActionList& actions_;
  TsbBurner& burner_;
  TsbBurnOutcome outcome_ = TsbBurnOutcome::Failed;
  QString failure_;
  struct Worker;
  std::unique_ptr<Worker> worker_;
};

}  // namespace ondrelle
