#pragma once
// The about window: maker, product, version and copyright from the small
// settings file beside the executable, and, for the genuine product, the
// web and mail links.

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QString>
#include <QUrl>
#include <functional>

namespace ondrelle {

/// Section "SYSTEM" of the about settings file; absent keys are empty.
struct TAboutSettings {
  QString Name;
  QString Company;
  QString Version;

  static TAboutSettings Read(const QString& path);
};

inline constexpr const char* kProductName = "Ondrelle";
inline constexpr const char* kProductSite = "https://www.example.org/ondrelle/";
inline constexpr const char* kSupportAddress = "support@example.org";
inline constexpr const char* kAboutSettingsFile = "lame.dll";

class TfrmAbout : public QDialog {
  Q_OBJECT

 public:
  /// Reads the settings from `settingsPath`; empty means "lame.dll" beside the executable.
  explicit TfrmAbout(QWidget* parent = nullptr, const QString& settingsPath = {});

  QLabel* Image1;
  QLabel* Label1;
  QLabel* lblAppName;
  QLabel* lblVersion;
  QLabel* lblCopyright;
  QLabel* lblSite;
  QLabel* lblEmail;
  QPushButton* Button1;

  /// Hands a link to the desktop; tests watch it.
  std::function<bool(const QUrl&)> OpenUrl;

  void lblSiteClick();
  void lblEmailClick();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FormCreate(const QString& settingsPath);
};

}  // namespace ondrelle
