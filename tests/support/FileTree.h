#pragma once

#include <QString>

// Copies the folder tree `from` (files, folders and hidden entries) into `to`, which is made when
// missing. False on any failure. Shared by the tests and the bench.
bool copyTree(const QString& from, const QString& to);
