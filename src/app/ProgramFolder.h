#pragma once

#include <QString>

// The program folder: the folder of the running executable, always ending with "/".
QString GetAppPath();

// The same rule applied to any folder text: a trailing "/" is added unless there is one.
QString withTrailingSeparator(const QString& folder);
