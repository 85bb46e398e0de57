#pragma once
// The wizard's texts that run over several lines: a label that wraps its
// words at its width, named for tests and style sheets.

#include <QLabel>
#include <QString>

namespace ondrelle {

/// A word-wrapping label of `parent` showing `text`, with object name `name`.
QLabel* WrappedLabel(const QString& text, const QString& name, QWidget* parent);

}  // namespace ondrelle
