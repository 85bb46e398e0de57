// The burn log speaks the user's language: the engine's numbered texts come
// through the installed translation, the rest stays as it is.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTranslator>
#include <map>
#include <vector>

#include "action_run.h"
#include "engine/burn_at_once_action.h"
#include "engine/burner.h"
#include "engine/tsb_error.h"
#include "support/file_tree_builder.h"
#include "support/virtual_writers.h"

using namespace ondrelle;

namespace {

/// A translation as a translator would deliver it in a .qm file, for a few
/// of the numbered texts only.
class GermanTexts : public QTranslator {
 public:
  QString translate(const char* context, const char* /*source*/, const char* disambiguation, int /*n*/) const override {
    if (disambiguation == nullptr || qstrcmp(context, "StringTable") != 0) return {};
    const auto found = texts_.find(QByteArray(disambiguation));
    return found == texts_.end() ? QString() : found->second;
  }
  bool isEmpty() const override { return false; }

 private:
  std::map<QByteArray, QString> texts_ = {
      {"15131", QStringLiteral("Ja")},
      {"15132", QStringLiteral("Nein")},
      {"15140", QStringLiteral("Brennvorgang gestartet")},
      {"15141", QStringLiteral("Laufwerk bereit?")},
      {"15145", QStringLiteral("ISO-Abbild wird erstellt")},
      {"15148", QStringLiteral("Brennvorgang abgeschlossen")},
      {"15154", QStringLiteral("Zwischenspeicher: %d MB")},
      {"15157", QStringLiteral("Disc auswerfen")},
      {"15169", QStringLiteral("Brennmodus")},
  };
};

std::vector<QString> BurnTrackAtOnce() {
  VirtualWriters writers("cd-r");
  FileTreeBuilder files;
  files.AddFile(QStringLiteral("holiday.mpg"), 300000);
  TsbBurner burner;
  OpenVirtualWriter(burner);
  burner.BurnMode = bmTAOFromTree;
  burner.TestMode = true;
  burner.FileTree = files.Tree();
  TsbActionList list;
  list.Burner = &burner;
  TsbActionItem& item = list.Add();
  TsbBurnAtOnceToCDDVDAction action;
  item.Action = &action;
  std::vector<QString> messages;
  action.OnMessage = [&messages](const void*, const QString& m, TsbLogItemType) { messages.push_back(m); };
  try {
    action.Execute(&item);
  } catch (const TsbError& e) {
    ADD_FAILURE() << e.Message().toStdString();
  }
  burner.FileTree = nullptr;
  return messages;
}

bool Saw(const std::vector<QString>& messages, const QString& text) {
  return std::find(messages.begin(), messages.end(), text) != messages.end();
}

}  // namespace

TEST(TranslatedTexts, TheBurnLogUsesTheInstalledTranslationForNumberedTextsOnly) {
  int argc = 1;
  char name[] = "engine-tests";
  char* argv[] = {name, nullptr};
  QCoreApplication application(argc, argv);

  const std::vector<QString> english = BurnTrackAtOnce();
  EXPECT_TRUE(Saw(english, QStringLiteral("160 MBs of cache will be used during burn process")));
  EXPECT_TRUE(Saw(english, QStringLiteral("Burning mode: Track-At-Once (from tree)")));

  GermanTexts german;
  ASSERT_TRUE(QCoreApplication::installTranslator(&german));
  const std::vector<QString> translated = BurnTrackAtOnce();
  QCoreApplication::removeTranslator(&german);

  // Stage announcements, the write-mode report's answers, the burn thread's
  // lines and the finishing steps: each in the translation.
  EXPECT_EQ(translated.front(), QStringLiteral("Zwischenspeicher: 160 MB"));
  EXPECT_TRUE(Saw(translated, QStringLiteral("Laufwerk bereit?")));
  EXPECT_TRUE(Saw(translated, QStringLiteral("Track-At-Once: Ja, Session-At-Once: Ja, Disc-At-Once PQ: Ja, "
                                             "Disc-At-Once raw P-W: Ja")));
  EXPECT_TRUE(Saw(translated, QStringLiteral("ISO-Abbild wird erstellt")));
  EXPECT_TRUE(Saw(translated, QStringLiteral("Brennmodus: Track-At-Once (from tree)")));
  EXPECT_TRUE(Saw(translated, QStringLiteral("Brennvorgang gestartet")));
  EXPECT_TRUE(Saw(translated, QStringLiteral("Disc auswerfen")));
  EXPECT_EQ(translated.back(), QStringLiteral("Brennvorgang abgeschlossen"));
  // A numbered text the translation leaves out stays English.
  EXPECT_TRUE(Saw(translated, QStringLiteral("Getting track information")));
  // The same run, line for line, apart from the translated texts.
  EXPECT_EQ(translated.size(), english.size());
}
