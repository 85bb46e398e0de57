#pragma once
// The error the program raises: a message text the user sees as it stands.

#include <QString>
#include <stdexcept>

namespace ondrelle {

class TsbError : public std::runtime_error {
 public:
  explicit TsbError(const QString& message) : std::runtime_error(message.toStdString()), message_(message) {}
  const QString& Message() const { return message_; }

 private:
  QString message_;
};

}  // namespace ondrelle
