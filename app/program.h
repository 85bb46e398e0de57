#pragma once
// The program's windows, created in their fixed order: the welcome window
// (the main window: closing it ends the program), the about window, the
// completion window and the wizard. Destroying the wizard shuts the
// burning library down.

#include <QObject>
#include <memory>

namespace ondrelle {

class TfrmAbout;
class TfrmFinish;
class TfrmWelcome;
class TMainForm;

class TOndrelleProgram : public QObject {
  Q_OBJECT

 public:
  /// Creates the windows; `aboutSettings` overrides where the about window
  /// reads its settings (empty: beside the executable).
  explicit TOndrelleProgram(const QString& aboutSettings = {});
  ~TOndrelleProgram() override;

  /// Shows the welcome window; the caller runs the event loop.
  void Start();

  TfrmWelcome& Welcome() const { return *welcome_; }
  TfrmAbout& About() const { return *about_; }
  TfrmFinish& Finish() const { return *finish_; }
  TMainForm& Wizard() const { return *wizard_; }

 signals:
  /// The main window was closed or Finish pressed: the program ends.
  void Ended();

 private:
  std::unique_ptr<TfrmWelcome> welcome_;
  std::unique_ptr<TfrmAbout> about_;
  std::unique_ptr<TfrmFinish> finish_;
  std::unique_ptr<TMainForm> wizard_;
};

/// Checks the library's version; a mismatch is shown in a warning box and
/// the program goes on.
void CheckLibraryVersionAtStart();

/// Installs the translation of the user's language, when one is shipped.
void InstallTranslations();

}  // namespace ondrelle
