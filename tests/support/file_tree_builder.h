#pragma once
// Builds a library file tree from files written into a temporary folder.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "emberline/file_tree.h"

class FileTreeBuilder {
 public:
  FileTreeBuilder() {
    char text[EMBERLINE_TEXT_SIZE] = {};
    std::uint32_t status = 0;
    EXPECT_EQ(Emberline_ISO9660JolietFileTree_Create(&tree_, text, sizeof text, &status, nullptr, nullptr), 0) << text;
  }
  ~FileTreeBuilder() {
    if (tree_ != nullptr) Emberline_Destroy(&tree_);
  }
  FileTreeBuilder(const FileTreeBuilder&) = delete;
  FileTreeBuilder& operator=(const FileTreeBuilder&) = delete;

  /// Adds a file of `size` bytes with a recognisable pattern.
  QByteArray AddFile(const QString& name, qsizetype size) {
    QByteArray content(size, '\0');
    for (qsizetype i = 0; i < size; ++i) content[i] = static_cast<char>('a' + (i * 7 + i / 2048) % 26);
    const QString path = folder_.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();
    char text[EMBERLINE_TEXT_SIZE] = {};
    std::uint32_t status = 0;
    EXPECT_EQ(Emberline_ISO9660JolietFileTree_AddFile(tree_, text, sizeof text, &status, "/",
                                                      QFile::encodeName(path).constData(), nullptr),
              0)
        << text;
    return content;
  }

  EmberlineHandle Tree() const { return tree_; }
  QString Folder() const { return folder_.path(); }

 private:
  QTemporaryDir folder_;
  EmberlineHandle tree_ = nullptr;
};
