#include "frame/wrapped_label.h"

namespace ondrelle {

QLabel* WrappedLabel(const QString& text, const QString& name, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  label->setWordWrap(true);
  return label;
}

}  // namespace ondrelle
