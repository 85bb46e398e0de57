#include "app/program.h"

#include <QApplication>
#include <QLocale>
#include <QTranslator>

#include "app/about_form.h"
#include "app/finish_form.h"
#include "app/main_form.h"
#include "app/welcome_form.h"
#include "devices/library_lifetime.h"
#include "frame/error_box.h"

namespace ondrelle {

TOndrelleProgram::TOndrelleProgram(const QString& aboutSettings) {
  welcome_ = std::make_unique<TfrmWelcome>();
  about_ = std::make_unique<TfrmAbout>(nullptr, aboutSettings);
  finish_ = std::make_unique<TfrmFinish>();
  wizard_ = std::make_unique<TMainForm>(*welcome_, *about_, *finish_);

  welcome_->WizardForm = wizard_.get();
  welcome_->ShowAbout = [this] { about_->exec(); };
  finish_->ShowAbout = [this] { about_->exec(); };
  connect(welcome_.get(), &TfrmWelcome::Closed, this, &TOndrelleProgram::Ended);
  connect(finish_.get(), &TfrmFinish::Finished, this, &TOndrelleProgram::Ended);
}

TOndrelleProgram::~TOndrelleProgram() {
  wizard_.reset();  // shuts the library down
  finish_.reset();
  about_.reset();
  welcome_.reset();
}

void TOndrelleProgram::Start() {
  welcome_->show();
}

void CheckLibraryVersionAtStart() {
  const LibraryVersionCheck check = ReportLibraryVersion();
  if (!check.Matches) ShowWarningBox(nullptr, check.Message);
}

void InstallTranslations() {
  auto* translator = new QTranslator(QCoreApplication::instance());
  if (translator->load(QLocale(), QStringLiteral("ondrelle"), QStringLiteral("_"), QStringLiteral(":/i18n")))
    QCoreApplication::installTranslator(translator);
}

}  // namespace ondrelle
