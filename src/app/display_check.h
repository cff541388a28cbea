#pragma once

#include <QString>

// Why the display server Qt is about to connect to cannot be reached ("cannot open the display
// ...", "no display: ..."), or empty when it can or Qt will use a platform that needs none.
// Qt itself would abort the program with a core dump instead.
QString DisplayProblem();
