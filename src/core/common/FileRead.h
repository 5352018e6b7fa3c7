#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The whole content of a file; std::nullopt when it is missing, a folder or cannot be read, with
// the reason in *reason (when given).
std::optional<QByteArray> readWholeFile(const QString& path, QString* reason = nullptr);
