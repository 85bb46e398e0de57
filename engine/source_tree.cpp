#include "engine/source_tree.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include "devices/library_callback.h"
#include "devices/library_result.h"
#include "emberline/cdvd_writer.h"
#include "emberline/file_tree.h"

namespace ondrelle {

namespace {

/// The path with every link and "." or ".." resolved; a name that does not
/// exist yet is resolved through its folder.
QString ResolvedPath(const QString& path) {
  const QFileInfo info(path);
  if (info.exists()) return info.canonicalFilePath();
  const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
  return folder.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : QDir(folder).filePath(info.fileName());
}

bool Inside(const QString& path, const QString& folder) {
  return path.startsWith(folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/'));
}

}  // namespace

QString CheckSources(const QStringList& sources) {
  QStringList resolved;
  for (const QString& source : sources) {
    if (!QFileInfo::exists(source)) return QStringLiteral("The source \"%1\" does not exist").arg(source);
    resolved << ResolvedPath(source);
  }
  // Each source goes onto the disc whole: one named twice, or one inside
  // another, would put the same files on it twice.
  for (qsizetype i = 0; i < sources.size(); ++i) {
    for (qsizetype j = 0; j < sources.size(); ++j) {
      if (i == j) continue;
      if (i < j && resolved[i] == resolved[j])
        return QStringLiteral("The source \"%1\" is named twice (\"%2\" is the same)").arg(sources[i], sources[j]);
      if (Inside(resolved[j], resolved[i]))
        return QStringLiteral("The source \"%1\" lies inside the source \"%2\"").arg(sources[j], sources[i]);
    }
  }
  return {};
}

QString CheckOutputAgainstSources(const QString& output, const QStringList& sources) {
  const QString target = ResolvedPath(output);
  for (const QString& source : sources) {
    if (!QFileInfo::exists(source)) continue;
    const QString resolved = ResolvedPath(source);
    if (target == resolved)
      return QStringLiteral("The output \"%1\" is the source \"%2\"; it would be destroyed").arg(output, source);
    if (Inside(target, resolved))
      return QStringLiteral("The output \"%1\" lies inside the source \"%2\"; choose a file outside the sources")
          .arg(output, source);
  }
  return {};
}

EmberlineHandle BuildSourceTree(const QStringList& sources, std::int32_t& nodeCount, QString& error,
                                const SourceTreeOptions& options) {
  error = CheckSources(sources);
  if (!error.isEmpty()) return nullptr;
  char text[EMBERLINE_TEXT_SIZE] = {};
  std::uint32_t status = 0;
  EmberlineHandle tree = nullptr;
  std::uint8_t code =
      Emberline_ISO9660JolietFileTree_Create(&tree, text, EMBERLINE_TEXT_SIZE, &status, &EmberlineCallBack, &nodeCount);
  if (code != 0) {
    error = EmberlineFailureText("ISO9660JolietFileTree_Create", code, status, text);
    return nullptr;
  }
  if (options.rockRidge) {
    std::uint32_t flags = EMBERLINE_ROCK_RIDGE;
    if (options.keepOwners) flags |= EMBERLINE_ROCK_RIDGE_KEEP_OWNERS;
    if (options.followLinks) flags |= EMBERLINE_ROCK_RIDGE_FOLLOW_LINKS;
    code = Emberline_ISO9660JolietFileTree_SetRockRidge(tree, text, EMBERLINE_TEXT_SIZE, &status, flags);
    if (code != 0) {
      error = EmberlineFailureText("ISO9660JolietFileTree_SetRockRidge", code, status, text);
      Emberline_Destroy(&tree);
      return nullptr;
    }
  }
  for (const QString& source : sources) {
    const QByteArray path = QFile::encodeName(QFileInfo(source).absoluteFilePath());
    code = QFileInfo(source).isDir() ? Emberline_ISO9660JolietFileTree_AddFolder(tree, text, EMBERLINE_TEXT_SIZE,
                                                                                 &status, "/", path.constData())
                                     : Emberline_ISO9660JolietFileTree_AddFile(tree, text, EMBERLINE_TEXT_SIZE, &status,
                                                                               "/", path.constData(), nullptr);
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

}  // namespace ondrelle
