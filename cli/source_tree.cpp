#include "cli/source_tree.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include "devices/library_callback.h"
#include "devices/library_result.h"
#include "emberline/cdvd_writer.h"
#include "emberline/file_tree.h"

namespace ondrelle::cli {

EmberlineHandle BuildSourceTree(const QStringList& sources, std::int32_t& nodeCount, QString& error) {
  for (const QString& source : sources) {
    if (!QFileInfo::exists(source)) {
      error = QStringLiteral("The source \"%1\" does not exist").arg(source);
      return nullptr;
    }
  }
  char text[EMBERLINE_TEXT_SIZE] = {};
  std::uint32_t status = 0;
  EmberlineHandle tree = nullptr;
  std::uint8_t code = Emberline_ISO9660JolietFileTree_Create(&tree, text, EMBERLINE_TEXT_SIZE, &status,
                                                             &EmberlineCallBack, &nodeCount);
  if (code != 0) {
    error = EmberlineFailureText("ISO9660JolietFileTree_Create", code, status, text);
    return nullptr;
  }
  for (const QString& source : sources) {
    const QByteArray path = QFile::encodeName(QFileInfo(source).absoluteFilePath());
    code = QFileInfo(source).isDir()
               ? Emberline_ISO9660JolietFileTree_AddFolder(tree, text, EMBERLINE_TEXT_SIZE, &status, "/",
                                                           path.constData())
               : Emberline_ISO9660JolietFileTree_AddFile(tree, text, EMBERLINE_TEXT_SIZE, &status, "/",
                                                         path.constData(), nullptr);
    if (code != 0) {
      error = QString::fromLocal8Bit(text);
      Emberline_Destroy(&tree);
      return nullptr;
    }
  }
  return tree;
}

std::int64_t SourceSize(const QStringList& sources) {
  std::int64_t total = 0;
  for (const QString& source : sources) {
    const QFileInfo info(source);
    if (info.isFile()) total += info.size();
    if (!info.isDir()) continue;
    QDirIterator it(source, QDir::Files | QDir::Hidden | QDir::NoSymLinks, QDirIterator::Subdirectories);
    while (it.hasNext()) total += it.nextFileInfo().size();
  }
  return total;
}

}  // namespace ondrelle::cli
