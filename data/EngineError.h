#pragma once

#include <QString>
#include <stdexcept>

namespace orvelan {

// Every failure of the data layer is one of these, carrying a message fit for the user.
class EngineError : public std::runtime_error {
public:
    explicit EngineError(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString &message() const { return m_message; }

private:
    QString m_message;
};

}  // namespace orvelan
